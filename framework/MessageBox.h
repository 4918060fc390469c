// Every message box of the programs goes through ShowMessageBox, so that a
// test can record boxes instead of blocking on them.
#pragma once

#include <windows.h>

#include <string>

namespace framework {

struct MessageBoxRecord {
    HWND owner;
    std::string text;
    std::string caption; // empty when the platform's default title is used
    UINT type;           // MB_ flags as passed (icon and buttons)
};

// A recorder receives each box instead of the user and returns the button id
// the box would have returned.
using MessageBoxRecorder = int (*)(const MessageBoxRecord& box, void* context);

// Shows a modal box (or hands it to the recorder). caption may be null: the
// platform then shows its default title.
int ShowMessageBox(HWND owner, const char* text, const char* caption, UINT type);

// A framework message box: no owner, the application's title.
int AfxMessageBox(const char* text, UINT type = MB_OK);

// The program file's name without folder and extension, e.g. "KV480".
std::string ProgramTitle();

// The title of the programs' own boxes: the name the application object was
// given (the product's name, which a user knows it by), else ProgramTitle().
std::string AppTitle();
// Called by the application object with the name it was given.
void SetAppTitle(const std::string& title);

// Installs a recorder for the whole process; null restores real boxes.
void SetMessageBoxRecorder(MessageBoxRecorder recorder, void* context);

} // namespace framework
