#pragma once
// UTF-8 helpers of text entry and menus: texts from files or keyboards may be broken, and the
// renderer refuses broken UTF-8, so every text shown or stored passes through here.
#include <cstddef>
#include <string>

namespace utf8 {

// Every invalid byte sequence (stray continuation bytes, overlong forms, surrogates, code points
// past U+10FFFF, cut sequences) becomes U+FFFD.
std::string Sanitize(const std::string& text);
// Number of code points of valid UTF-8 text.
size_t Length(const std::string& text);
// The first maxChars code points and at most maxBytes bytes, never splitting a character.
std::string Cut(const std::string& text, size_t maxChars, size_t maxBytes = std::string::npos);
// Removes control characters (C0, DEL and C1); tabs and line ends become blanks.
std::string WithoutControls(const std::string& text);
// Appends the UTF-8 form of a code point (nothing for invalid ones).
void Append(std::string& text, unsigned codePoint);
// The byte position of the character before pos (0 at the start).
size_t PreviousBoundary(const std::string& text, size_t pos);

} // namespace utf8
