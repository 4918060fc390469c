// The key maps' text as Unicode: the encodings a hand-written file may come
// in, and UTF-8 taken apart into code points for comparing names. Uses no
// operating-system service; the system's ANSI code page is the caller's.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace unicodetext {

enum class Encoding {
    Utf8,    // valid UTF-8 (plain ASCII too), no byte-order mark
    Utf8Bom, // UTF-8 after EF BB BF
    Utf16Le, // after FF FE
    Ansi,    // anything else: the system's ANSI code page
};

// Turns text in the ANSI code page into UTF-8; bytes it cannot convert may
// be dropped or replaced, never read past.
using AnsiToUtf8 = std::function<std::string(const std::string&)>;

// bCutShort: the bytes are the start of a longer file, so a character cut at
// the end does not make UTF-8 text ANSI.
Encoding Detect(const char* pBytes, std::size_t nSize, bool bCutShort = false);

// The text as UTF-8 without its byte-order mark. Without pAnsi, text of the
// ANSI code page stays as it is. An unpaired surrogate becomes U+FFFD, an odd
// last byte of UTF-16 is dropped.
std::string ToUtf8(const char* pBytes, std::size_t nSize, bool bCutShort = false,
                   const AnsiToUtf8& pAnsi = nullptr);

// The code points of UTF-8 text. A byte that starts no valid sequence gives
// 0xDC00 + the byte (a lone surrogate that no valid text holds), so such
// bytes compare exactly among themselves and with nothing else.
std::u32string CodePoints(const std::string& strText);

// UTF-16 units of UTF-8 text, as Windows takes characters; invalid bytes
// become U+FFFD.
std::u16string ToUtf16(const std::string& strText);

void AppendUtf8(std::string& strText, char32_t c);

// The small letter for a capital of Latin (Basic, Latin-1, Extended-A),
// Greek and Cyrillic; other code points as they are. Enough for window
// captions of the languages the product ships to.
char32_t FoldCase(char32_t c);
// Whether two UTF-8 texts are the same name once their case is folded
// character by character (mode and menu names: "Präsentation" is
// "PRÄSENTATION").
bool EqualFolded(const std::string& strA, const std::string& strB);

// The longest start of UTF-8 text of at most nMax bytes that does not cut a
// character.
std::size_t CutPoint(const std::string& strText, std::size_t nMax);

} // namespace unicodetext
