#include "framework/vst3/utf16.h"

namespace {
// Decodes one UTF-8 sequence at s; malformed bytes become U+FFFD so bad text never stops the
// copy or reads past the terminator.
char32_t decodeUtf8(const unsigned char*& s) {
  const unsigned char c = *s++;
  if (c < 0x80) return c;
  int extra = 0;
  char32_t cp = 0;
  if ((c & 0xE0) == 0xC0) {
    extra = 1;
    cp = c & 0x1F;
  } else if ((c & 0xF0) == 0xE0) {
    extra = 2;
    cp = c & 0x0F;
  } else if ((c & 0xF8) == 0xF0) {
    extra = 3;
    cp = c & 0x07;
  } else {
    return 0xFFFD;
  }
  for (int i = 0; i < extra; ++i) {
    if ((*s & 0xC0) != 0x80) return 0xFFFD;
    cp = (cp << 6) | (*s++ & 0x3F);
  }
  if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0xFFFD;
  return cp;
}

void appendUtf8(std::string& out, char32_t cp) {
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

void Utf8ToUtf16(const char* src, Steinberg::char16* dest, int capacity) {
  if (!dest || capacity <= 0) return;
  int n = 0;
  const unsigned char* s = reinterpret_cast<const unsigned char*>(src ? src : "");
  while (*s) {
    const char32_t cp = decodeUtf8(s);
    if (cp >= 0x10000) {
      if (n + 2 >= capacity) break;
      const char32_t v = cp - 0x10000;
      dest[n++] = static_cast<Steinberg::char16>(0xD800 + (v >> 10));
      dest[n++] = static_cast<Steinberg::char16>(0xDC00 + (v & 0x3FF));
    } else {
      if (n + 1 >= capacity) break;
      dest[n++] = static_cast<Steinberg::char16>(cp);
    }
  }
  dest[n] = 0;
}

std::string Utf16ToUtf8(const Steinberg::char16* src, int maxUnits) {
  std::string out;
  if (!src) return out;
  for (int i = 0; i < maxUnits && src[i]; ++i) {
    char32_t cp = static_cast<char16_t>(src[i]);
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < maxUnits && src[i + 1] >= 0xDC00 &&
        src[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<char16_t>(src[i + 1]) - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    appendUtf8(out, cp);
  }
  return out;
}
