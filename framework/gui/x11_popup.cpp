#include "framework/gui/x11_popup.h"

#include "framework/gui/popup_menu_draw.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <cairo-xlib.h>
#include <cairo.h>

#include <cmath>

namespace {
constexpr long kPointerEvents = ButtonPressMask | ButtonReleaseMask | PointerMotionMask;
} // namespace

X11PopupMenu::X11PopupMenu(Display* display, unsigned long parent, float contentScale)
    : mDisplay(display), mParent(parent), mContentScale(contentScale > 0.f ? contentScale : 1.f) {
  const int screen = DefaultScreen(mDisplay);
  const Visual* v = DefaultVisual(mDisplay, screen);
  mPutImage = DefaultDepth(mDisplay, screen) == 24 && v->c_class == TrueColor &&
              v->red_mask == 0xFF0000 && v->green_mask == 0xFF00 && v->blue_mask == 0xFF &&
              ImageByteOrder(mDisplay) == LSBFirst;
}

X11PopupMenu::~X11PopupMenu() {
  Close();
}

unsigned long X11PopupMenu::PanelWindow(int level) const {
  return level >= 0 && level < static_cast<int>(mPanels.size())
             ? mPanels[static_cast<size_t>(level)].window
             : 0;
}

bool X11PopupMenu::Open(IPopupMenu& menu, const IRECT& anchor, const PopupMenuStyle& style,
                        IGraphicsPlatform::PopupMenuDone done) {
  Close();
  const int screen = DefaultScreen(mDisplay);
  const Window root = RootWindow(mDisplay, screen);
  // The anchor in root coordinates, in physical pixels.
  int rx = 0, ry = 0;
  Window child = 0;
  if (!XTranslateCoordinates(
          mDisplay, mParent, root, static_cast<int>(std::lround(anchor.L * mContentScale)),
          static_cast<int>(std::lround(anchor.T * mContentScale)), &rx, &ry, &child))
    return false;
  const PopupRect rootAnchor{static_cast<float>(rx), static_cast<float>(ry),
                             static_cast<float>(rx) + anchor.W() * mContentScale,
                             static_cast<float>(ry) + anchor.H() * mContentScale};
  const PopupRect screenRect{0.f, 0.f, static_cast<float>(DisplayWidth(mDisplay, screen)),
                             static_cast<float>(DisplayHeight(mDisplay, screen))};
  PopupMenuStyle scaled = style;
  scaled.scale = style.scale * mContentScale;
  mSession = std::make_unique<PopupMenuSession>(menu, rootAnchor, screenRect, scaled);
  mDone = std::move(done);
  SyncPanels();
  if (mPanels.empty()) {
    Close();
    return false;
  }
  Grab();
  XFlush(mDisplay);
  return true;
}

void X11PopupMenu::Grab() {
  const Window w = mPanels.front().window;
  // The grab window's events carry root coordinates, which is all the session needs.
  mPointerGrabbed = XGrabPointer(mDisplay, w, False, kPointerEvents, GrabModeAsync, GrabModeAsync,
                                 None, None, CurrentTime) == GrabSuccess;
  mKeyboardGrabbed =
      XGrabKeyboard(mDisplay, w, False, GrabModeAsync, GrabModeAsync, CurrentTime) == GrabSuccess;
}

void X11PopupMenu::Ungrab() {
  if (mPointerGrabbed) XUngrabPointer(mDisplay, CurrentTime);
  if (mKeyboardGrabbed) XUngrabKeyboard(mDisplay, CurrentTime);
  mPointerGrabbed = mKeyboardGrabbed = false;
}

void X11PopupMenu::Close() {
  Ungrab();
  for (Panel& p : mPanels) DestroyPanel(p);
  mPanels.clear();
  mSession.reset();
  mDone = nullptr;
  XFlush(mDisplay);
}

void X11PopupMenu::DestroyPanel(Panel& panel) {
  if (panel.surface) cairo_surface_destroy(panel.surface);
  if (panel.gc) XFreeGC(mDisplay, static_cast<GC>(panel.gc));
  if (panel.window) XDestroyWindow(mDisplay, panel.window);
  panel = Panel();
}

bool X11PopupMenu::OwnsWindow(unsigned long window) const {
  for (const Panel& p : mPanels)
    if (p.window == window) return true;
  return false;
}

// One window per open panel: panels that changed are made anew, the rest are repainted.
void X11PopupMenu::SyncPanels() {
  const int n = mSession->NLevels();
  size_t keep = 0;
  while (keep < mPanels.size() && static_cast<int>(keep) < n) {
    const PopupMenuSession::Level& level = mSession->GetLevel(static_cast<int>(keep));
    const Panel& p = mPanels[keep];
    if (p.menu != level.menu || p.bounds.L != level.bounds.L || p.bounds.T != level.bounds.T) break;
    ++keep;
  }
  // The first panel holds the grab; it is never replaced while the menu is open.
  if (keep == 0 && !mPanels.empty()) keep = 1;
  while (mPanels.size() > keep) {
    DestroyPanel(mPanels.back());
    mPanels.pop_back();
  }
  const Window root = RootWindow(mDisplay, DefaultScreen(mDisplay));
  for (int i = static_cast<int>(mPanels.size()); i < n; ++i) {
    const PopupMenuSession::Level& level = mSession->GetLevel(i);
    XSetWindowAttributes a{};
    a.override_redirect = True;
    a.save_under = True;
    a.background_pixmap = None;
    a.event_mask = ExposureMask | kPointerEvents | KeyPressMask;
    const int w = std::max(1, static_cast<int>(std::lround(level.bounds.W())));
    const int h = std::max(1, static_cast<int>(std::lround(level.bounds.H())));
    Panel p;
    p.window = XCreateWindow(
        mDisplay, root, static_cast<int>(level.bounds.L), static_cast<int>(level.bounds.T),
        static_cast<unsigned>(w), static_cast<unsigned>(h), 0, CopyFromParent, InputOutput,
        CopyFromParent, CWOverrideRedirect | CWSaveUnder | CWBackPixmap | CWEventMask, &a);
    if (!p.window) break;
    XMapRaised(mDisplay, p.window);
    if (mPutImage) {
      p.surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
      p.gc = XCreateGC(mDisplay, p.window, 0, nullptr);
    } else {
      p.surface = cairo_xlib_surface_create(mDisplay, p.window,
                                            DefaultVisual(mDisplay, DefaultScreen(mDisplay)), w, h);
    }
    p.menu = level.menu;
    p.bounds = level.bounds;
    mPanels.push_back(p);
  }
  PaintAll();
}

void X11PopupMenu::PaintAll() {
  for (size_t i = 0; i < mPanels.size(); ++i) Paint(mPanels[i], static_cast<int>(i));
  XFlush(mDisplay);
}

void X11PopupMenu::Paint(Panel& panel, int level) {
  if (!mSession || !panel.surface || level >= mSession->NLevels()) return;
  const PopupMenuSession::Level& l = mSession->GetLevel(level);
  cairo_t* cr = cairo_create(panel.surface);
  cairo_push_group_with_content(cr, CAIRO_CONTENT_COLOR);
  cairo_translate(cr, -l.bounds.L, -l.bounds.T);
  DrawPopupLevel(cr, l, mSession->Style());
  cairo_pop_group_to_source(cr);
  cairo_paint(cr);
  cairo_destroy(cr);
  cairo_surface_flush(panel.surface);
  if (!mPutImage || !panel.gc) return;
  const int w = cairo_image_surface_get_width(panel.surface);
  const int h = cairo_image_surface_get_height(panel.surface);
  XImage* image =
      XCreateImage(mDisplay, DefaultVisual(mDisplay, DefaultScreen(mDisplay)), 24, ZPixmap, 0,
                   reinterpret_cast<char*>(cairo_image_surface_get_data(panel.surface)),
                   static_cast<unsigned>(w), static_cast<unsigned>(h), 32,
                   cairo_image_surface_get_stride(panel.surface));
  if (!image) return;
  XPutImage(mDisplay, panel.window, static_cast<GC>(panel.gc), image, 0, 0, 0, 0,
            static_cast<unsigned>(w), static_cast<unsigned>(h));
  image->data = nullptr; // the pixels belong to the Cairo image
  XDestroyImage(image);
}

void X11PopupMenu::FinishIfDone() {
  if (!mSession || mSession->IsOpen()) return;
  const PopupMenuResult result = mSession->Result();
  IGraphicsPlatform::PopupMenuDone done = std::move(mDone);
  Close();
  if (done) done(result.menu, result.position);
}

bool X11PopupMenu::HandleEvent(XEvent& event) {
  if (!mSession) return false;
  const bool ours = OwnsWindow(event.xany.window);
  switch (event.type) {
  case Expose:
    if (!ours) return false;
    if (event.xexpose.count == 0)
      for (size_t i = 0; i < mPanels.size(); ++i)
        if (mPanels[i].window == event.xany.window) Paint(mPanels[i], static_cast<int>(i));
    XFlush(mDisplay);
    return true;
  case MotionNotify: {
    if (!ours && !mPointerGrabbed) return false;
    while (XCheckTypedEvent(mDisplay, MotionNotify, &event)) {
    }
    if (mSession->OnMouseMove(static_cast<float>(event.xmotion.x_root),
                              static_cast<float>(event.xmotion.y_root)))
      SyncPanels();
    return true;
  }
  case ButtonPress:
  case ButtonRelease: {
    if (!ours && !mPointerGrabbed) return false;
    const XButtonEvent& b = event.xbutton;
    if (b.button != Button1 && b.button != Button3) return true; // wheel: nothing
    const float x = static_cast<float>(b.x_root), y = static_cast<float>(b.y_root);
    const bool changed =
        event.type == ButtonPress ? mSession->OnMouseDown(x, y) : mSession->OnMouseUp(x, y);
    if (changed && mSession->IsOpen()) SyncPanels();
    FinishIfDone();
    return true;
  }
  case KeyPress: {
    if (!ours && !mKeyboardGrabbed) return false;
    const KeySym sym = XLookupKeysym(&event.xkey, 0);
    PopupMenuSession::EKey key;
    switch (sym) {
    case XK_Up:
    case XK_KP_Up:
      key = PopupMenuSession::EKey::kUp;
      break;
    case XK_Down:
    case XK_KP_Down:
      key = PopupMenuSession::EKey::kDown;
      break;
    case XK_Left:
    case XK_KP_Left:
      key = PopupMenuSession::EKey::kLeft;
      break;
    case XK_Right:
    case XK_KP_Right:
      key = PopupMenuSession::EKey::kRight;
      break;
    case XK_Return:
    case XK_KP_Enter:
    case XK_space:
      key = PopupMenuSession::EKey::kEnter;
      break;
    case XK_Escape:
      key = PopupMenuSession::EKey::kEscape;
      break;
    default:
      return true;
    }
    if (mSession->OnKey(key) && mSession->IsOpen()) SyncPanels();
    FinishIfDone();
    return true;
  }
  case KeyRelease:
    return ours || mKeyboardGrabbed;
  default:
    return ours;
  }
}
