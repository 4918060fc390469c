#pragma once

#include <windows.h>

#include <string>

// The program file of a process, also of one that runs as administrator;
// empty when it cannot be read.
std::wstring ProcessImage(DWORD dwProcess);
