#include "framework/gui/text_entry_utf8.h"

namespace utf8 {
namespace {

constexpr unsigned kReplacement = 0xFFFD;

// Decodes one character at pos; returns its length, or 0 when the sequence is invalid.
size_t Decode(const std::string& text, size_t pos, unsigned& cp) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char b0 = byte(pos);
  size_t n;
  unsigned min;
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  } else if ((b0 & 0xE0) == 0xC0) {
    n = 2;
    cp = b0 & 0x1F;
    min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    n = 3;
    cp = b0 & 0x0F;
    min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    n = 4;
    cp = b0 & 0x07;
    min = 0x10000;
  } else {
    return 0;
  }
  if (pos + n > text.size()) return 0;
  for (size_t i = 1; i < n; ++i) {
    if ((byte(pos + i) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (byte(pos + i) & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return n;
}

bool IsContinuation(unsigned char c) {
  return (c & 0xC0) == 0x80;
}

} // namespace

void Append(std::string& text, unsigned cp) {
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return;
  if (cp < 0x80) {
    text += static_cast<char>(cp);
  } else if (cp < 0x800) {
    text += static_cast<char>(0xC0 | (cp >> 6));
    text += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    text += static_cast<char>(0xE0 | (cp >> 12));
    text += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    text += static_cast<char>(0xF0 | (cp >> 18));
    text += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    text += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    text += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

std::string Sanitize(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    unsigned cp = 0;
    const size_t n = Decode(text, pos, cp);
    if (n == 0) {
      Append(out, kReplacement);
      ++pos;
      // The rest of a broken sequence is part of the same fault.
      while (pos < text.size() && IsContinuation(static_cast<unsigned char>(text[pos]))) ++pos;
    } else {
      out.append(text, pos, n);
      pos += n;
    }
  }
  return out;
}

size_t Length(const std::string& text) {
  size_t n = 0;
  for (char c : text)
    if (!IsContinuation(static_cast<unsigned char>(c))) ++n;
  return n;
}

std::string Cut(const std::string& text, size_t maxChars, size_t maxBytes) {
  size_t pos = 0, chars = 0;
  while (pos < text.size() && chars < maxChars) {
    size_t next = pos + 1;
    while (next < text.size() && IsContinuation(static_cast<unsigned char>(text[next]))) ++next;
    if (next > maxBytes) break;
    pos = next;
    ++chars;
  }
  return text.substr(0, pos);
}

std::string WithoutControls(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  size_t pos = 0;
  while (pos < text.size()) {
    unsigned cp = 0;
    size_t n = Decode(text, pos, cp);
    if (n == 0) { // left for Sanitize; keep the byte as it is
      out += text[pos++];
      continue;
    }
    if (cp == '\t' || cp == '\n' || cp == '\r') {
      out += ' ';
    } else if (!(cp < 0x20 || cp == 0x7F || (cp >= 0x80 && cp < 0xA0))) {
      out.append(text, pos, n);
    }
    pos += n;
  }
  return out;
}

size_t PreviousBoundary(const std::string& text, size_t pos) {
  if (pos == 0 || text.empty()) return 0;
  if (pos > text.size()) pos = text.size();
  --pos;
  while (pos > 0 && IsContinuation(static_cast<unsigned char>(text[pos]))) --pos;
  return pos;
}

} // namespace utf8
