// UTF-8 strings, as the programs keep text, to and from the UTF-16 of the W
// functions, and the ANSI code page's text to UTF-8.
#pragma once

#include <windows.h>

#include <string>

namespace widetext {

std::wstring Widen(const std::string& strUtf8);
// nLength -1: up to the terminating zero.
std::string Narrow(const wchar_t* pszText, int nLength = -1);
// Text of the system's ANSI code page as UTF-8.
std::string AnsiToUtf8(const std::string& strAnsi);
// UTF-8 text in the ANSI code page, for the A functions; characters the page
// lacks become its default character.
std::string Utf8ToAnsi(const std::string& strUtf8);
// The same, but false (and strAnsi unspecified) when any character would
// be replaced or approximated by the code page.
bool Utf8ToAnsiExact(const std::string& strUtf8, std::string& strAnsi);

} // namespace widetext
