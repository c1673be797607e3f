#include "tools/host/editor/editor_host.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/extensions/Xfixes.h>
#include <cairo.h>
#include <cstring>

#include "tools/host/host_error.h"

using namespace Steinberg;

namespace vhost {

// The frame of the host's editor window: resizes the parent and tells the view its new size,
// and hands out the run loop.
class PlugFrame : public IPlugFrame {
public:
  PlugFrame(Display* display, unsigned long window, RunLoop* loop)
      : display_(display), window_(window), loop_(loop) {}
  virtual ~PlugFrame() = default;

  tresult PLUGIN_API resizeView(IPlugView* view, ViewRect* newSize) override {
    if (!view || !newSize) return kInvalidArgument;
    const int w = newSize->getWidth(), h = newSize->getHeight();
    if (w <= 0 || h <= 0) return kInvalidArgument;
    ++resizeRequests;
    XResizeWindow(display_, window_, static_cast<unsigned>(w), static_cast<unsigned>(h));
    XSync(display_, False);
    // Hosts tell the view its new size after resizing their window.
    ViewRect r(0, 0, w, h);
    view->onSize(&r);
    return kResultTrue;
  }

  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    if (!obj) return kInvalidArgument;
    if (loop_ && sameIid(iid, Linux::IRunLoop_iid)) {
      loop_->addRef();
      *obj = static_cast<Linux::IRunLoop*>(loop_.get());
      return kResultOk;
    }
    return answerQuery<IPlugFrame>(this, IPlugFrame_iid, iid, obj);
  }

  int resizeRequests = 0;

  VHOST_REFCOUNTED

private:
  Display* display_;
  unsigned long window_;
  IPtr<RunLoop> loop_;
};

EditorHost::EditorHost(const std::string& display) : runLoop_(owned(new RunLoop)) {
  display_ = XOpenDisplay(display.empty() ? nullptr : display.c_str());
  if (!display_)
    throw HostError("cannot open the X display " + (display.empty() ? "$DISPLAY" : display));
}

EditorHost::~EditorHost() {
  close();
  XCloseDisplay(display_);
}

bool EditorHost::open(Vst::IEditController* controller, const EditorOptions& options,
                      std::string* why) {
  const auto fail = [&](const std::string& reason) {
    if (why) *why = reason;
    close();
    return false;
  };
  close();
  if (!controller) return fail("no edit controller");
  view_ = controller->createView(Vst::ViewType::kEditor);
  if (!view_) return fail("the plug-in has no editor");
  if (view_->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID) != kResultTrue)
    return fail("the editor does not support X11 embedding");

  if (options.contentScale > 0.0f) {
    IPlugViewContentScaleSupport* scaling = nullptr;
    if (view_->queryInterface(IPlugViewContentScaleSupport_iid,
                              reinterpret_cast<void**>(&scaling)) == kResultOk &&
        scaling) {
      scaling->setContentScaleFactor(options.contentScale);
      scaling->release();
    }
  }

  ViewRect size;
  if (view_->getSize(&size) != kResultOk || size.getWidth() <= 0 || size.getHeight() <= 0)
    return fail("the editor reports no size");

  const int screen = DefaultScreen(display_);
  parent_ = XCreateSimpleWindow(display_, RootWindow(display_, screen), 0, 0,
                                static_cast<unsigned>(size.getWidth()),
                                static_cast<unsigned>(size.getHeight()), 0,
                                BlackPixel(display_, screen), BlackPixel(display_, screen));
  XStoreName(display_, parent_, "Varnel editor host");
  XSelectInput(display_, parent_, StructureNotifyMask | ExposureMask);
  XMapWindow(display_, parent_);
  XSync(display_, False);

  frame_ = new PlugFrame(display_, parent_, options.offerRunLoop ? runLoop_.get() : nullptr);
  view_->setFrame(frame_);
  const tresult attached =
      view_->attached(reinterpret_cast<void*>(parent_), kPlatformTypeX11EmbedWindowID);
  if (attached != kResultOk) return fail("the editor refused the window");
  XSync(display_, False);
  return true;
}

void EditorHost::close() {
  if (view_) {
    // removed() when attached; a view that was never attached answers kResultFalse.
    view_->removed();
    view_->setFrame(nullptr);
    view_->release();
    view_ = nullptr;
  }
  if (frame_) {
    frame_->release();
    frame_ = nullptr;
  }
  if (parent_) {
    XDestroyWindow(display_, parent_);
    XSync(display_, False);
    parent_ = 0;
  }
  drainOwnEvents();
}

void EditorHost::closeWindowFirst() {
  if (parent_) {
    XDestroyWindow(display_, parent_);
    XSync(display_, False);
    parent_ = 0;
  }
  close();
}

void EditorHost::drainOwnEvents() {
  while (XPending(display_)) {
    XEvent e;
    XNextEvent(display_, &e);
  }
}

void EditorHost::pump(int ms) {
  XFlush(display_);
  runLoop_->pump(ms, {ConnectionNumber(display_)});
  drainOwnEvents();
}

unsigned long EditorHost::pluginWindow() const {
  if (!parent_) return 0;
  Window root = 0, parent = 0;
  Window* children = nullptr;
  unsigned n = 0;
  unsigned long child = 0;
  if (XQueryTree(display_, parent_, &root, &parent, &children, &n) && n > 0) child = children[0];
  if (children) XFree(children);
  return child;
}

bool EditorHost::pluginWindowSize(int& w, int& h) const {
  const unsigned long child = pluginWindow();
  XWindowAttributes a{};
  if (!child || !XGetWindowAttributes(display_, child, &a)) return false;
  w = a.width;
  h = a.height;
  return true;
}

int EditorHost::width() const {
  XWindowAttributes a{};
  if (!parent_ || !XGetWindowAttributes(display_, parent_, &a)) return 0;
  return a.width;
}

int EditorHost::height() const {
  XWindowAttributes a{};
  if (!parent_ || !XGetWindowAttributes(display_, parent_, &a)) return 0;
  return a.height;
}

int EditorHost::resizeRequests() const {
  return frame_ ? frame_->resizeRequests : 0;
}

cairo_surface_t* EditorHost::capture() const {
  const int w = width(), h = height();
  if (w <= 0 || h <= 0) return nullptr;
  XImage* image = XGetImage(display_, parent_, 0, 0, static_cast<unsigned>(w),
                            static_cast<unsigned>(h), AllPlanes, ZPixmap);
  if (!image) return nullptr;
  cairo_surface_t* out = cairo_image_surface_create(CAIRO_FORMAT_RGB24, w, h);
  unsigned char* data = cairo_image_surface_get_data(out);
  const int stride = cairo_image_surface_get_stride(out);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<uint32_t*>(data + y * stride);
    for (int x = 0; x < w; ++x) {
      const unsigned long p = XGetPixel(image, x, y);
      // A TrueColor visual of depth 24: red, green and blue masks as cairo's RGB24 holds them.
      const uint32_t r = static_cast<uint32_t>((p & image->red_mask) >> 16) & 0xff;
      const uint32_t g = static_cast<uint32_t>((p & image->green_mask) >> 8) & 0xff;
      const uint32_t b = static_cast<uint32_t>(p & image->blue_mask) & 0xff;
      row[x] = (r << 16) | (g << 8) | b;
    }
  }
  cairo_surface_mark_dirty(out);
  XDestroyImage(image);
  return out;
}

bool EditorHost::screenshot(const std::string& pngPath) const {
  cairo_surface_t* image = capture();
  if (!image) return false;
  const bool ok = cairo_surface_write_to_png(image, pngPath.c_str()) == CAIRO_STATUS_SUCCESS;
  cairo_surface_destroy(image);
  return ok;
}

unsigned long EditorHost::focusWindow() const {
  Window focus = 0;
  int revert = 0;
  XGetInputFocus(display_, &focus, &revert);
  return focus;
}

bool EditorHost::cursorInvisible() const {
  XFixesCursorImage* image = XFixesGetCursorImage(display_);
  if (!image) return false;
  bool invisible = true;
  const size_t n = static_cast<size_t>(image->width) * image->height;
  for (size_t i = 0; i < n && invisible; ++i)
    if ((image->pixels[i] >> 24) & 0xff) invisible = false;
  XFree(image);
  return invisible;
}

void EditorHost::rootPosition(int x, int y, int& rx, int& ry) const {
  Window child = 0;
  XTranslateCoordinates(display_, parent_, DefaultRootWindow(display_), x, y, &rx, &ry, &child);
}

void EditorHost::moveTo(int x, int y) {
  int rx = 0, ry = 0;
  rootPosition(x, y, rx, ry);
  XTestFakeMotionEvent(display_, DefaultScreen(display_), rx, ry, CurrentTime);
  XFlush(display_);
}

void EditorHost::buttonDown(int button) {
  XTestFakeButtonEvent(display_, static_cast<unsigned>(button), True, CurrentTime);
  XFlush(display_);
}

void EditorHost::buttonUp(int button) {
  XTestFakeButtonEvent(display_, static_cast<unsigned>(button), False, CurrentTime);
  XFlush(display_);
}

void EditorHost::click(int x, int y, int button) {
  moveTo(x, y);
  pump(5);
  buttonDown(button);
  pump(5);
  buttonUp(button);
  pump(5);
}

void EditorHost::drag(int x0, int y0, int x1, int y1, int steps, int button) {
  moveTo(x0, y0);
  pump(5);
  buttonDown(button);
  pump(5);
  for (int i = 1; i <= steps; ++i) {
    moveTo(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
    pump(5);
  }
  buttonUp(button);
  pump(5);
}

void EditorHost::keyDown(unsigned long keysym) {
  XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, keysym), True, CurrentTime);
  XFlush(display_);
}

void EditorHost::keyUp(unsigned long keysym) {
  XTestFakeKeyEvent(display_, XKeysymToKeycode(display_, keysym), False, CurrentTime);
  XFlush(display_);
}

} // namespace vhost
