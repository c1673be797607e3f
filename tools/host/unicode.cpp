#include "tools/host/unicode.h"

namespace vhost {

namespace {

void appendUtf8(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

} // namespace

std::string toUtf8(const Steinberg::char16* text, size_t maxUnits) {
  std::string out;
  if (!text) return out;
  for (size_t i = 0; i < maxUnits && text[i] != 0; ++i) {
    uint32_t cp = static_cast<uint16_t>(text[i]);
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < maxUnits) {
      const uint32_t low = static_cast<uint16_t>(text[i + 1]);
      if (low >= 0xDC00 && low < 0xE000) {
        cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
        ++i;
      } else {
        cp = 0xFFFD;
      }
    } else if (cp >= 0xD800 && cp < 0xE000) {
      cp = 0xFFFD;
    }
    appendUtf8(out, cp);
  }
  return out;
}

void toUtf16(const std::string& text, Steinberg::char16* out, size_t capacity) {
  if (capacity == 0) return;
  size_t n = 0;
  const auto* s = reinterpret_cast<const unsigned char*>(text.data());
  const size_t len = text.size();
  size_t i = 0;
  while (i < len && n + 1 < capacity) {
    uint32_t cp = s[i];
    int extra = 0;
    if (cp >= 0xF0) {
      cp &= 0x07;
      extra = 3;
    } else if (cp >= 0xE0) {
      cp &= 0x0F;
      extra = 2;
    } else if (cp >= 0xC0) {
      cp &= 0x1F;
      extra = 1;
    } else if (cp >= 0x80) {
      cp = 0xFFFD;
    }
    ++i;
    for (int k = 0; k < extra; ++k) {
      if (i >= len || (s[i] & 0xC0) != 0x80) {
        cp = 0xFFFD;
        break;
      }
      cp = (cp << 6) | (s[i] & 0x3F);
      ++i;
    }
    if (cp >= 0x10000) {
      if (n + 2 >= capacity) break;
      cp -= 0x10000;
      out[n++] = static_cast<Steinberg::char16>(0xD800 + (cp >> 10));
      out[n++] = static_cast<Steinberg::char16>(0xDC00 + (cp & 0x3FF));
    } else {
      out[n++] = static_cast<Steinberg::char16>(cp);
    }
  }
  out[n] = 0;
}

} // namespace vhost
