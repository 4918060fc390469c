// Windows' own words for an error code, as every program shows them.
#pragma once

#include <windows.h>

#include <string>

// The system's message for dwError (a Win32 error or an HRESULT) in UTF-8, on
// one line and without its closing period, so that callers can put it inside
// sentences of their own; "Windows error N" when the system has no text.
std::string SystemErrorText(DWORD dwError);
