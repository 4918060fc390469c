// What KV480 and the editor both read of another program's window: the
// program it stands for, and whether the shell hides it.
#pragma once

#include <windows.h>

#include <string>

// The program file of a window's process; for a Store app's frame, the app's
// inside it, so that the editor names what KV480 matches. Empty when it
// cannot be read.
std::wstring ProgramOf(HWND hWnd);

// Cloaked by the shell: on another virtual desktop, or a suspended Store
// app's window that is "visible" yet never shown.
bool IsCloaked(HWND hWnd);
