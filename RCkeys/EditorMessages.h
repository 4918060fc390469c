// The editor's private window messages.
#pragma once

#include <windows.h>

// The finder was let go over a window: wParam is that window.
constexpr UINT WM_FINDER_DROPPED = WM_USER + 40;
// A keystroke was captured: wParam the virtual key, lParam the modifiers
// (CKeystrokeCapture::MOD_ bits).
constexpr UINT WM_KEYSTROKE_CAPTURED = WM_USER + 41;

// The title of the editor's message boxes: its window's caption.
constexpr const char* EDITOR_TITLE = "Remote Control keys";
