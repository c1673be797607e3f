#include "framework/gui/text_entry_xkb.h"

#include <xcb/xcb.h>
#include <xkbcommon/xkbcommon-x11.h>
#include <xkbcommon/xkbcommon.h>

#include <cstring>

XkbKeyTranslator::XkbKeyTranslator(const char* displayName) {
  xcb_connection_t* connection = xcb_connect(displayName, nullptr);
  if (!connection || xcb_connection_has_error(connection)) {
    if (connection) xcb_disconnect(connection);
    return;
  }
  if (xkb_x11_setup_xkb_extension(
          connection, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
          XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, nullptr, nullptr)) {
    mContext = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const int32_t device = xkb_x11_get_core_keyboard_device_id(connection);
    if (mContext && device >= 0)
      mKeymap =
          xkb_x11_keymap_new_from_device(mContext, connection, device, XKB_KEYMAP_COMPILE_NO_FLAGS);
    if (mKeymap) mState = xkb_x11_state_new_from_device(mKeymap, connection, device);
  }
  // The keymap is kept; the connection is not needed any more.
  xcb_disconnect(connection);
}

XkbKeyTranslator::~XkbKeyTranslator() {
  if (mState) xkb_state_unref(mState);
  if (mKeymap) xkb_keymap_unref(mKeymap);
  if (mContext) xkb_context_unref(mContext);
}

bool XkbKeyTranslator::Translate(unsigned keycode, unsigned state, IKeyPress& key) const {
  if (!mState) return false;
  // The event's state holds the modifiers (low byte) and the layout group (bits 13 and 14).
  xkb_state_update_mask(mState, state & 0xFF, 0, 0, 0, 0, (state >> 13) & 3);
  key.keysym = xkb_state_key_get_one_sym(mState, keycode);
  std::memset(key.utf8, 0, sizeof key.utf8);
  xkb_state_key_get_utf8(mState, keycode, key.utf8, sizeof key.utf8);
  key.shift = (state & 1) != 0;
  key.ctrl = (state & 4) != 0;
  return true;
}
