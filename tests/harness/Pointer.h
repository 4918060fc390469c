// The mouse as a user moves it: events through the input queue, each carrying
// its own place on the screen.
#pragma once

#include <windows.h>

namespace harness {

// A mouse event (MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, ...) at point. The
// place travels with the event: under Wine, another process may still turn a
// stale X motion into a move, so the pointer's place when the event is queued
// is not to be trusted.
void MouseAt(DWORD flags, POINT point);

// Moves the pointer to point and waits (at most about two seconds) until
// GetCursorPos of any process reads it there.
bool MovePointer(POINT point);

} // namespace harness
