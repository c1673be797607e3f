#include "framework/vst3/utf16.h"

#include <gtest/gtest.h>

#include <string>

using Steinberg::char16;

TEST(Vst3Utf16, RoundTripsTextBeyondAscii) {
  for (const char* text : {"", "Saw", "Ré♭ 440 Hz", "Pad \xF0\x9F\x8E\xB9 wide"}) {
    char16 wide[128];
    Utf8ToUtf16(text, wide, 128);
    EXPECT_EQ(Utf16ToUtf8(wide), text);
  }
}

TEST(Vst3Utf16, CutsAtAWholeCharacterAndAlwaysTerminates) {
  char16 wide[4];
  Utf8ToUtf16("ab\xF0\x9F\x8E\xB9", wide, 4); // the surrogate pair does not fit after "ab"
  EXPECT_EQ(Utf16ToUtf8(wide), "ab");
  Utf8ToUtf16("abcdef", wide, 4);
  EXPECT_EQ(Utf16ToUtf8(wide), "abc");
}

TEST(Vst3Utf16, MalformedInputBecomesReplacementCharacters) {
  char16 wide[16];
  Utf8ToUtf16("a\xC3", wide, 16); // a lead byte at the very end
  EXPECT_EQ(Utf16ToUtf8(wide), "a\xEF\xBF\xBD");
  const char16 lone[] = {u'x', 0xD800, u'y', 0};
  EXPECT_EQ(Utf16ToUtf8(lone), "x\xEF\xBF\xBDy");
}
