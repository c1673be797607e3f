#include "framework/gui/x11_window.h"

#include "framework/gui/graphics.h"
#include "framework/gui/text_entry_xkb.h"
#include "framework/gui/x11_error_trap.h"
#include "framework/gui/x11_popup.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/cursorfont.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <cmath>
#include <cstdio>

namespace {

constexpr unsigned long kDoubleClickMs = 400;
constexpr int kDoubleClickSlop = 4; // pixels the pointer may move between the two clicks
constexpr unsigned kLeft = 1, kRight = 2;
constexpr int kMaxPixels = 16384;
// No key events unless the editor asks for the keyboard: a window that selects them would take
// the host's shortcuts (the space bar) whenever the pointer is over the editor.
constexpr long kEventMask = ExposureMask | ButtonPressMask | ButtonReleaseMask | PointerMotionMask |
                            EnterWindowMask | LeaveWindowMask | StructureNotifyMask;

int ClampPixels(int v) {
  return v < 1 ? 1 : (v > kMaxPixels ? kMaxPixels : v);
}

} // namespace

std::unique_ptr<X11Window> X11Window::Open(unsigned long parent, IGraphics& graphics,
                                           float contentScale, X11WindowOwner* owner,
                                           std::string* why) {
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    if (why) *why = "cannot open the X display";
    return nullptr;
  }
  std::unique_ptr<X11Window> window(new X11Window(display, graphics, owner, contentScale));
  if (!window->Create(parent, why)) return nullptr;
  return window;
}

X11Window::X11Window(Display* display, IGraphics& graphics, X11WindowOwner* owner,
                     float contentScale)
    : mDisplay(display), mTrap(new X11ErrorTrap(display)), mGraphics(graphics), mOwner(owner),
      mContentScale(contentScale > 0.f ? contentScale : 1.f) {}

bool X11Window::Create(unsigned long parent, std::string* why) {
  Window root = 0;
  int px = 0, py = 0;
  unsigned pw = 0, ph = 0, border = 0, depth = 0;
  if (!XGetGeometry(mDisplay, parent, &root, &px, &py, &pw, &ph, &border, &depth)) {
    if (why) *why = "the host's window does not exist";
    return false;
  }
  mPixelW = ClampPixels(static_cast<int>(std::lround(mGraphics.WindowWidth() * mContentScale)));
  mPixelH = ClampPixels(static_cast<int>(std::lround(mGraphics.WindowHeight() * mContentScale)));

  XSetWindowAttributes attributes{};
  // No background: the server must not clear what we are about to paint (no flicker).
  attributes.background_pixmap = None;
  attributes.bit_gravity = NorthWestGravity;
  attributes.event_mask = kEventMask;
  mWindow = XCreateWindow(mDisplay, parent, 0, 0, static_cast<unsigned>(mPixelW),
                          static_cast<unsigned>(mPixelH), 0, CopyFromParent, InputOutput,
                          CopyFromParent, CWBackPixmap | CWBitGravity | CWEventMask, &attributes);
  XWindowAttributes created{};
  XSync(mDisplay, False);
  if (mTrap->Errors() > 0 || !XGetWindowAttributes(mDisplay, mWindow, &created)) {
    if (why) *why = "cannot create a window in the host's window";
    return false;
  }
  mSurface = cairo_xlib_surface_create(mDisplay, mWindow, created.visual, mPixelW, mPixelH);
  // On the usual 24-bit TrueColor visual, cairo's RGB24 pixels are the server's own: they go up
  // with XPutImage. cairo-xlib's drawing path keeps per-connection caches that it does not free
  // when the connection closes, which would leak a little at every opening of the editor; it is
  // used only for other visuals.
  const Visual* v = created.visual;
  const bool littleEndian = [] {
    const uint16_t one = 1;
    return *reinterpret_cast<const uint8_t*>(&one) == 1;
  }();
  if (created.depth == 24 && v->c_class == TrueColor && v->red_mask == 0xff0000 &&
      v->green_mask == 0xff00 && v->blue_mask == 0xff &&
      (ImageByteOrder(mDisplay) == LSBFirst) == littleEndian) {
    mVisual = created.visual;
    mGC = XCreateGC(mDisplay, mWindow, 0, nullptr);
  }
  XMapWindow(mDisplay, mWindow);
  XFlush(mDisplay);
  return true;
}

X11Window::~X11Window() {
  mPopup.reset(); // an open menu goes away without an answer
  SetKeyboardFocus(false);
  if (mGC) XFreeGC(mDisplay, mGC);
  if (mSurface) cairo_surface_destroy(mSurface);
  if (mWindow) {
    // The host may already have destroyed its window and ours with it; the trap takes the error.
    XDestroyWindow(mDisplay, mWindow);
  }
  if (mBlankCursor) XFreeCursor(mDisplay, mBlankCursor);
  for (unsigned long c : mShapeCursors)
    if (c) XFreeCursor(mDisplay, c);
  XSync(mDisplay, False);
  XCloseDisplay(mDisplay);
  mTrap.reset();
}

int X11Window::ConnectionFd() const {
  return ConnectionNumber(mDisplay);
}

IMouseMod X11Window::Mods(unsigned state) const {
  IMouseMod mod;
  mod.L = (mButtons & kLeft) != 0;
  mod.R = (mButtons & kRight) != 0;
  mod.S = (state & ShiftMask) != 0;
  mod.C = (state & ControlMask) != 0;
  return mod;
}

void X11Window::Pump() {
  while (XPending(mDisplay)) {
    XEvent event;
    XNextEvent(mDisplay, &event);
    Handle(event);
  }
  Paint();
}

void X11Window::Tick() {
  // Hosts differ in how promptly they report the connection readable; look at the queue here too.
  while (XPending(mDisplay)) {
    XEvent event;
    XNextEvent(mDisplay, &event);
    Handle(event);
  }
  mGraphics.OnTimer();
  Paint();
}

void X11Window::Handle(XEvent& event) {
  if (mPopup && mPopup->HandleEvent(event)) return;
  if (event.xany.window != mWindow) return;
  switch (event.type) {
  case Expose: {
    const XExposeEvent& e = event.xexpose;
    mExposed = mExposed.Union(
        IRECT(ToLogical(e.x), ToLogical(e.y), ToLogical(e.x + e.width), ToLogical(e.y + e.height)));
    break;
  }
  case ConfigureNotify:
    if (event.xconfigure.width != mPixelW || event.xconfigure.height != mPixelH) {
      mPixelW = event.xconfigure.width;
      mPixelH = event.xconfigure.height;
      cairo_xlib_surface_set_size(mSurface, mPixelW, mPixelH);
    }
    break;
  case ButtonPress: {
    const XButtonEvent& b = event.xbutton;
    Reconcile(b.state);
    const float x = ToLogical(b.x), y = ToLogical(b.y);
    mLastX = b.x;
    mLastY = b.y;
    if (b.button == Button4 || b.button == Button5) {
      if (!mButtons) mGraphics.OnMouseWheel(x, y, Mods(b.state), b.button == Button4 ? 1.f : -1.f);
      break;
    }
    if (b.button != Button1 && b.button != Button3) break;
    const unsigned bit = b.button == Button1 ? kLeft : kRight;
    if (mButtons) { // a second button during a gesture is not a new gesture
      mButtons |= bit;
      break;
    }
    mButtons = bit;
    const bool isDouble = bit == kLeft && !mLastPressWasDouble &&
                          b.time - mLastPressTime <= kDoubleClickMs &&
                          std::abs(b.x - mLastPressX) <= kDoubleClickSlop &&
                          std::abs(b.y - mLastPressY) <= kDoubleClickSlop;
    if (bit == kLeft) {
      mLastPressTime = b.time;
      mLastPressX = b.x;
      mLastPressY = b.y;
      mLastPressWasDouble = isDouble;
    }
    if (isDouble)
      mGraphics.OnMouseDblClick(x, y, Mods(b.state));
    else
      mGraphics.OnMouseDown(x, y, Mods(b.state));
    // A menu opened by this press takes the pointer and its release: the gesture ends here.
    if (IsPopupMenuOpen()) {
      mButtons = 0;
      mGraphics.OnMouseUp(x, y, Mods(b.state));
    }
    break;
  }
  case ButtonRelease: {
    const XButtonEvent& b = event.xbutton;
    if (b.button != Button1 && b.button != Button3) break;
    const unsigned bit = b.button == Button1 ? kLeft : kRight;
    if (!(mButtons & bit)) break; // pressed elsewhere
    const IMouseMod mod = Mods(b.state);
    mButtons &= ~bit;
    if (!mButtons) mGraphics.OnMouseUp(ToLogical(b.x), ToLogical(b.y), mod);
    mLastX = b.x;
    mLastY = b.y;
    break;
  }
  case MotionNotify: {
    // Only the newest position matters; deltas come from the last one handled.
    while (XCheckTypedWindowEvent(mDisplay, mWindow, MotionNotify, &event)) {
    }
    const XMotionEvent& m = event.xmotion;
    Reconcile(m.state);
    const float x = ToLogical(m.x), y = ToLogical(m.y);
    if (mButtons)
      mGraphics.OnMouseDrag(x, y, ToLogical(m.x - mLastX), ToLogical(m.y - mLastY), Mods(m.state));
    else
      mGraphics.OnMouseOver(x, y, Mods(m.state));
    mLastX = m.x;
    mLastY = m.y;
    break;
  }
  case EnterNotify:
    mInside = true;
    if (!mButtons && event.xcrossing.mode == NotifyNormal)
      mGraphics.OnMouseOver(ToLogical(event.xcrossing.x), ToLogical(event.xcrossing.y),
                            Mods(event.xcrossing.state));
    break;
  case LeaveNotify:
    mInside = false;
    // During a drag the pointer is grabbed: leaving the window does not end hovering.
    if (!mButtons && event.xcrossing.mode == NotifyNormal) mGraphics.OnMouseOut();
    break;
  case KeyPress: {
    IKeyPress key;
    // The user's layout through xkbcommon; Xlib's Latin-1 lookup when the server has no XKB.
    if (!mKeys || !mKeys->Translate(event.xkey.keycode, event.xkey.state, key)) {
      KeySym sym = 0;
      char text[sizeof key.utf8] = {};
      const int n = XLookupString(&event.xkey, text, sizeof text - 1, &sym, nullptr);
      key.keysym = static_cast<uint32_t>(sym);
      for (int i = 0; i < n && i < static_cast<int>(sizeof key.utf8) - 1; ++i)
        key.utf8[i] = text[i];
    }
    key.shift = (event.xkey.state & ShiftMask) != 0;
    key.ctrl = (event.xkey.state & ControlMask) != 0;
    mGraphics.OnKeyDown(ToLogical(event.xkey.x), ToLogical(event.xkey.y), key);
    break;
  }
  default:
    break;
  }
}

void X11Window::Paint() {
  IRECT dirty = mGraphics.TakeDirtyRect().Union(mExposed);
  mExposed = IRECT();
  mInvalid = false;
  const IRECT bounds(0.f, 0.f, ToLogical(mPixelW), ToLogical(mPixelH));
  dirty = dirty.Intersect(bounds);
  if (dirty.Empty() || !mSurface) return;

  // Whole physical pixels, and the logical region that covers them exactly.
  const IRECT pixels = dirty.Scaled(mContentScale).PixelAligned();
  const IRECT region = pixels.Scaled(1.f / mContentScale);
  const int w = static_cast<int>(pixels.W()), h = static_cast<int>(pixels.H());
  // Drawn in our own memory, exactly as the offscreen renderer draws, and shown in one copy:
  // no half-drawn frame is ever visible, and the server's caches of drawing state (which
  // cairo does not free when a connection closes) are never filled.
  cairo_surface_t* image = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  cairo_t* ic = cairo_create(image);
  cairo_translate(ic, -pixels.L, -pixels.T);
  cairo_scale(ic, mContentScale, mContentScale);
  mGraphics.Draw(ic, region);
  cairo_destroy(ic);
  cairo_surface_flush(image);

  if (mGC) {
    XImage* x = XCreateImage(mDisplay, static_cast<Visual*>(mVisual), 24, ZPixmap, 0,
                             reinterpret_cast<char*>(cairo_image_surface_get_data(image)),
                             static_cast<unsigned>(w), static_cast<unsigned>(h), 32,
                             cairo_image_surface_get_stride(image));
    if (x) {
      XPutImage(mDisplay, mWindow, mGC, x, 0, 0, static_cast<int>(pixels.L),
                static_cast<int>(pixels.T), static_cast<unsigned>(w), static_cast<unsigned>(h));
      x->data = nullptr; // cairo owns the pixels
      XDestroyImage(x);
    }
  } else {
    cairo_t* cr = cairo_create(mSurface);
    cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
    cairo_set_source_surface(cr, image, pixels.L, pixels.T);
    cairo_rectangle(cr, pixels.L, pixels.T, pixels.W(), pixels.H());
    cairo_fill(cr);
    cairo_destroy(cr);
  }
  cairo_surface_destroy(image);
  cairo_surface_flush(mSurface);
  XFlush(mDisplay);
  ++mPaints;
  mLastPainted = pixels;
}

void X11Window::ApplyCursor() {
  unsigned long cursor = None;
  if (mCursorHidden) {
    if (!mBlankCursor) {
      static const char empty[1] = {0};
      const Pixmap bitmap = XCreateBitmapFromData(mDisplay, mWindow, empty, 1, 1);
      XColor black{};
      mBlankCursor = XCreatePixmapCursor(mDisplay, bitmap, bitmap, &black, &black, 0, 0);
      XFreePixmap(mDisplay, bitmap);
    }
    cursor = mBlankCursor;
  } else if (mCursor != ECursor::kArrow) {
    const int index = static_cast<int>(mCursor);
    if (index >= 0 && index < 4) {
      static const unsigned shapes[4] = {XC_left_ptr, XC_hand2, XC_bottom_right_corner, XC_xterm};
      if (!mShapeCursors[index]) mShapeCursors[index] = XCreateFontCursor(mDisplay, shapes[index]);
      cursor = mShapeCursors[index];
    }
  }
  if (cursor == None)
    XUndefineCursor(mDisplay, mWindow); // the host's own arrow
  else
    XDefineCursor(mDisplay, mWindow, cursor);
  XFlush(mDisplay);
}

void X11Window::HideCursor(bool hide) {
  if (hide == mCursorHidden) return;
  mCursorHidden = hide;
  ApplyCursor();
}

void X11Window::SetCursor(ECursor cursor) {
  if (cursor == mCursor) return;
  mCursor = cursor;
  ApplyCursor();
}

void X11Window::SetKeyboardFocus(bool take) {
  if (take == mHasKeyboard) return;
  mHasKeyboard = take;
  if (take) {
    // The keymap is read when typing starts, not for every editor that is only looked at.
    if (!mKeys) mKeys = std::make_unique<XkbKeyTranslator>(DisplayString(mDisplay));
    int revert = 0;
    XGetInputFocus(mDisplay, &mPreviousFocus, &revert);
    XSelectInput(mDisplay, mWindow, kEventMask | KeyPressMask | KeyReleaseMask);
    XSetInputFocus(mDisplay, mWindow, RevertToParent, CurrentTime);
  } else {
    XSelectInput(mDisplay, mWindow, kEventMask);
    // Back to whoever had it; the trap takes the error if that window is gone meanwhile.
    if (mPreviousFocus != None)
      XSetInputFocus(mDisplay, mPreviousFocus, RevertToParent, CurrentTime);
    mPreviousFocus = None;
  }
  XFlush(mDisplay);
}

void X11Window::ResizePixels(int w, int h) {
  w = ClampPixels(w);
  h = ClampPixels(h);
  if (w == mPixelW && h == mPixelH) return;
  mPixelW = w;
  mPixelH = h;
  XResizeWindow(mDisplay, mWindow, static_cast<unsigned>(w), static_cast<unsigned>(h));
  cairo_xlib_surface_set_size(mSurface, w, h);
  mExposed = IRECT(0.f, 0.f, ToLogical(w), ToLogical(h));
  XFlush(mDisplay);
}

void X11Window::RequestResize(int windowW, int windowH) {
  ResizePixels(static_cast<int>(std::lround(windowW * mContentScale)),
               static_cast<int>(std::lround(windowH * mContentScale)));
  if (mOwner) mOwner->WindowResized(mPixelW, mPixelH);
}

void X11Window::SetContentScale(float scale) {
  if (!(scale > 0.f) || scale == mContentScale) return;
  mContentScale = scale;
  RequestResize(mGraphics.WindowWidth(), mGraphics.WindowHeight());
}

void X11Window::OpenHostContextMenu(int paramIdx, float x, float y) {
  if (mOwner)
    mOwner->WindowContextMenu(paramIdx, static_cast<int>(std::lround(x * mContentScale)),
                              static_cast<int>(std::lround(y * mContentScale)));
}

void X11Window::Reconcile(unsigned state) {
  // A release we never saw (a host menu or another client took it) must not leave the window
  // believing a button is still held.
  unsigned held = 0;
  if (state & Button1Mask) held |= kLeft;
  if (state & Button3Mask) held |= kRight;
  if (!mButtons || (mButtons & held) == mButtons) return;
  mButtons &= held;
  if (!mButtons) mGraphics.OnMouseUp(ToLogical(mLastX), ToLogical(mLastY), IMouseMod());
}

bool X11Window::CreatePopupMenu(IPopupMenu& menu, const IRECT& anchor, const PopupMenuStyle& style,
                                PopupMenuDone done) {
  if (!mPopup) mPopup = std::make_unique<X11PopupMenu>(mDisplay, mWindow, mContentScale);
  mPopup->SetContentScale(mContentScale);
  return mPopup->Open(menu, anchor, style, std::move(done));
}

void X11Window::ClosePopupMenu() {
  if (mPopup) mPopup->Close();
}

bool X11Window::IsPopupMenuOpen() const {
  return mPopup && mPopup->IsOpen();
}
