#pragma once
// Key presses into key symbols and UTF-8 text through xkbcommon with the server's own keymap,
// so text fields type every character of the user's layout (Xlib's lookup gives Latin-1 only).
// The keymap is read once over a private XCB connection to the same server.
#include "framework/gui/geometry.h"

#include <memory>

struct xkb_context;
struct xkb_keymap;
struct xkb_state;

class XkbKeyTranslator {
public:
  // displayName as XOpenDisplay takes it (null: $DISPLAY).
  explicit XkbKeyTranslator(const char* displayName);
  ~XkbKeyTranslator();
  XkbKeyTranslator(const XkbKeyTranslator&) = delete;
  XkbKeyTranslator& operator=(const XkbKeyTranslator&) = delete;

  // False when the server offers no XKB keymap; then nothing is translated.
  bool Valid() const { return mState != nullptr; }
  // The key of an X key event (keycode and modifier state) as keysym and typed text.
  bool Translate(unsigned keycode, unsigned state, IKeyPress& key) const;

private:
  xkb_context* mContext = nullptr;
  xkb_keymap* mKeymap = nullptr;
  xkb_state* mState = nullptr;
};
