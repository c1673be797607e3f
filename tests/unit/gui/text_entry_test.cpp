#include "framework/gui/text_entry.h"

#include "framework/gui/text_entry_utf8.h"

#include <X11/keysym.h>
#include <gtest/gtest.h>

#include <cstring>

namespace {

IKeyPress Key(uint32_t keysym, const char* text = "") {
  IKeyPress k;
  k.keysym = keysym;
  std::strncpy(k.utf8, text, sizeof k.utf8 - 1);
  return k;
}

void Type(TextEntry& e, const char* text) {
  for (const char* p = text; *p; ++p) {
    const char one[2] = {*p, 0};
    e.OnKey(Key(static_cast<unsigned char>(*p), one));
  }
}

} // namespace

TEST(TextEntry, TypingReplacesTheSelectedTextAndEnterCompletes) {
  TextEntry e("Old Name", 253);
  EXPECT_TRUE(e.AllSelected());
  Type(e, "Pad");
  EXPECT_EQ(e.Text(), "Pad");
  e.OnKey(Key(XK_Left));
  e.OnKey(Key(XK_BackSpace));
  e.OnKey(Key(0xE9, "\xC3\xA9")); // é, typed as one key
  EXPECT_EQ(e.Text(), "P\xC3\xA9"
                      "d");
  e.OnKey(Key(XK_End));
  e.OnKey(Key(XK_BackSpace));
  e.OnKey(Key(XK_Home));
  e.OnKey(Key(XK_Delete));
  EXPECT_EQ(e.Text(), "\xC3\xA9");
  e.OnKey(Key(XK_BackSpace)); // nothing before the cursor
  e.OnKey(Key(XK_Right));
  e.OnKey(Key(XK_BackSpace)); // removes the whole two-byte character
  EXPECT_EQ(e.Text(), "");
  EXPECT_TRUE(e.OnKey(Key(XK_Return)));
  EXPECT_EQ(e.State(), TextEntry::EState::kCompleted);
  EXPECT_FALSE(e.OnKey(Key('x', "x"))); // a finished field takes no more keys
}

TEST(TextEntry, EscapeCancelsAndKeepsNothing) {
  TextEntry e("Name", 253);
  Type(e, "abc");
  e.OnKey(Key(XK_Escape));
  EXPECT_EQ(e.State(), TextEntry::EState::kCancelled);
}

TEST(TextEntry, HoldsAtMostItsLimitAndOnlyPrintableValidText) {
  TextEntry e("", 5);
  e.Insert("ab\x01\tc\xFF"
           "defgh");
  // The tab becomes a blank, the broken byte U+FFFD; the rest does not fit.
  EXPECT_EQ(e.Text(), "ab c\xEF\xBF\xBD");
  EXPECT_EQ(utf8::Length(e.Text()), 5u);
  e.OnKey(Key(XK_End));
  e.OnKey(Key('z', "z"));
  EXPECT_EQ(utf8::Length(e.Text()), 5u);
  TextEntry ctrl("x", 10);
  IKeyPress k = Key('a', "a");
  k.ctrl = true;
  EXPECT_FALSE(ctrl.OnKey(k)); // shortcuts are not text
  TextEntry longName(std::string(300, 'n'), 253);
  EXPECT_EQ(longName.Text().size(), 253u);
}
