#include "framework/vst3/plug_view.h"

#include "framework/gui/graphics.h"
#include "framework/gui/x11_window.h"
#include "framework/vst3/plug_view_link.h"
#include "framework/vst3/vst3_plugin.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"

#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

using namespace Steinberg;

namespace {

constexpr Linux::TimerInterval kTimerMs = 20;
constexpr int kMaxPixels = 16384;
constexpr float kMaxContentScale = 8.f;

// The host's key codes (VirtualKeyCodes) that text entry needs, as X keysyms.
uint32_t KeysymOf(char16 key, int16 keyCode) {
  switch (keyCode) {
  case 1: return 0xff08;  // back space
  case 2: return 0xff09;  // tab
  case 4: return 0xff0d;  // return
  case 6: return 0xff1b;  // escape
  case 9: return 0xff57;  // end
  case 10: return 0xff50; // home
  case 11: return 0xff51; // left
  case 13: return 0xff53; // right
  case 19: return 0xff8d; // keypad enter
  case 22: return 0xffff; // delete
  default: break;
  }
  return key >= 0x20 && key < 0x7f ? static_cast<uint32_t>(key) : 0;
}

class X11PlugView;

// What the host's run loop holds: it may outlive the view's window and even the view, and some
// hosts call it once more after removed(); then it does nothing.
class LoopHandler : public Linux::IEventHandler, public Linux::ITimerHandler {
public:
  explicit LoopHandler(X11PlugView* view) : mView(view) {}
  void Detach() { mView = nullptr; }

  void PLUGIN_API onFDIsSet(Linux::FileDescriptor fd) override;
  void PLUGIN_API onTimer() override;

  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    if (!obj) return kInvalidArgument;
    *obj = nullptr;
    if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) ||
        FUnknownPrivate::iidEqual(iid, Linux::IEventHandler::iid))
      *obj = static_cast<Linux::IEventHandler*>(this);
    else if (FUnknownPrivate::iidEqual(iid, Linux::ITimerHandler::iid))
      *obj = static_cast<Linux::ITimerHandler*>(this);
    if (!*obj) return kNoInterface;
    addRef();
    return kResultOk;
  }
  uint32 PLUGIN_API addRef() override { return ++mRefs; }
  uint32 PLUGIN_API release() override {
    const uint32 left = --mRefs;
    if (left == 0) delete this;
    return left;
  }

private:
  virtual ~LoopHandler() = default;
  std::atomic<uint32> mRefs{1};
  X11PlugView* mView;
};

class X11PlugView : public IPlugView,
                    public IPlugViewContentScaleSupport,
                    public PlugViewLink,
                    private X11WindowOwner {
public:
  X11PlugView(PluginBase& plug, GraphicsMaker make, GraphicsCloser closed)
      : mPlug(plug), mMake(std::move(make)), mClosed(std::move(closed)) {}

  // FUnknown
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    if (!obj) return kInvalidArgument;
    *obj = nullptr;
    if (FUnknownPrivate::iidEqual(iid, FUnknown::iid) ||
        FUnknownPrivate::iidEqual(iid, IPlugView::iid))
      *obj = static_cast<IPlugView*>(this);
    else if (FUnknownPrivate::iidEqual(iid, IPlugViewContentScaleSupport::iid))
      *obj = static_cast<IPlugViewContentScaleSupport*>(this);
    if (!*obj) return kNoInterface;
    addRef();
    return kResultOk;
  }
  uint32 PLUGIN_API addRef() override { return ++mRefs; }
  uint32 PLUGIN_API release() override {
    const uint32 left = --mRefs;
    if (left == 0) delete this;
    return left;
  }

  // IPlugView
  tresult PLUGIN_API isPlatformTypeSupported(FIDString type) override {
    return type && std::strcmp(type, kPlatformTypeX11EmbedWindowID) == 0 ? kResultTrue
                                                                          : kResultFalse;
  }
  tresult PLUGIN_API attached(void* parent, FIDString type) override;
  tresult PLUGIN_API removed() override;
  tresult PLUGIN_API onWheel(float /*distance*/) override { return kResultFalse; }
  tresult PLUGIN_API onKeyDown(char16 key, int16 keyCode, int16 modifiers) override;
  tresult PLUGIN_API onKeyUp(char16 /*key*/, int16 /*keyCode*/, int16 /*modifiers*/) override {
    return kResultFalse;
  }
  tresult PLUGIN_API getSize(ViewRect* size) override;
  tresult PLUGIN_API onSize(ViewRect* newSize) override;
  tresult PLUGIN_API onFocus(TBool /*state*/) override { return kResultOk; }
  tresult PLUGIN_API setFrame(IPlugFrame* frame) override {
    if (frame) frame->addRef();
    if (mFrame) mFrame->release();
    mFrame = frame;
    return kResultTrue;
  }
  tresult PLUGIN_API canResize() override { return kResultTrue; }
  tresult PLUGIN_API checkSizeConstraint(ViewRect* rect) override;

  // IPlugViewContentScaleSupport
  tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) override;

  // PlugViewLink
  void LinkController(Vst3Plugin* controller) override {
    if (controller) controller->addRef();
    if (mController) mController->release();
    mController = controller;
  }

  // From the run loop.
  void OnEvents() { Run([this] { mWindow->Pump(); }); }
  void OnTick() { Run([this] { mWindow->Tick(); }); }

private:
  ~X11PlugView() override {
    if (mAttached) removed();
    Teardown();
    if (mHandler) mHandler->release();
    if (mFrame) mFrame->release();
    if (mController) mController->release();
  }

  // Runs a callback of the host's loop: the view stays alive through it, and a removed() from
  // inside it (a host that closes the editor from its context menu) takes effect afterwards.
  template <typename F> void Run(F&& work) {
    if (!mAttached || !mWindow) return;
    addRef();
    ++mDepth;
    work();
    --mDepth;
    if (mDepth == 0 && mTeardownPending) Teardown();
    release();
  }

  bool EnsureGraphics();
  void Teardown();
  Linux::IRunLoop* FindRunLoop() const;
  float ScaleForPixels(int w, int h) const;

  // X11WindowOwner
  void WindowResized(int pixelW, int pixelH) override;
  void WindowContextMenu(int paramIdx, int pixelX, int pixelY) override;

  std::atomic<uint32> mRefs{1};
  PluginBase& mPlug;
  GraphicsMaker mMake;
  GraphicsCloser mClosed;
  Vst3Plugin* mController = nullptr;
  IPlugFrame* mFrame = nullptr;
  Linux::IRunLoop* mRunLoop = nullptr;
  LoopHandler* mHandler = nullptr;
  std::unique_ptr<IGraphics> mGraphics;
  std::unique_ptr<X11Window> mWindow;
  float mContentScale = 1.f;
  bool mAttached = false;
  int mDepth = 0;
  bool mTeardownPending = false;
  bool mInResizeView = false;
};

void PLUGIN_API LoopHandler::onFDIsSet(Linux::FileDescriptor /*fd*/) {
  if (mView) mView->OnEvents();
}

void PLUGIN_API LoopHandler::onTimer() {
  if (mView) mView->OnTick();
}

bool X11PlugView::EnsureGraphics() {
  if (mGraphics) return true;
  if (!mMake) return false;
  mGraphics = mMake(mPlug);
  return mGraphics != nullptr;
}

Linux::IRunLoop* X11PlugView::FindRunLoop() const {
  void* loop = nullptr;
  if (mFrame && mFrame->queryInterface(Linux::IRunLoop::iid, &loop) == kResultOk && loop)
    return static_cast<Linux::IRunLoop*>(loop);
  FUnknown* context = mController ? mController->GetHostContext() : nullptr;
  loop = nullptr;
  if (context && context->queryInterface(Linux::IRunLoop::iid, &loop) == kResultOk && loop)
    return static_cast<Linux::IRunLoop*>(loop);
  return nullptr;
}

tresult PLUGIN_API X11PlugView::attached(void* parent, FIDString type) {
  if (!parent || !type) return kInvalidArgument;
  if (isPlatformTypeSupported(type) != kResultTrue) return kResultFalse;
  if (mAttached || mTeardownPending) return kResultFalse;
  if (!EnsureGraphics()) {
    std::fprintf(stderr, "Varnel editor: the editor could not be made\n");
    return kResultFalse;
  }
  std::string why;
  mWindow = X11Window::Open(reinterpret_cast<unsigned long>(parent), *mGraphics, mContentScale,
                            this, &why);
  if (!mWindow) {
    std::fprintf(stderr, "Varnel editor: %s\n", why.c_str());
    Teardown();
    return kResultFalse;
  }
  mGraphics->SetPlatform(mWindow.get());
  mAttached = true;

  mRunLoop = FindRunLoop();
  if (mRunLoop) {
    if (!mHandler) mHandler = new LoopHandler(this);
    mRunLoop->registerEventHandler(mHandler, mWindow->ConnectionFd());
    mRunLoop->registerTimer(mHandler, kTimerMs);
  } else {
    std::fprintf(stderr, "Varnel editor: the host offers no run loop (IRunLoop); the editor "
                         "cannot take input or refresh\n");
  }
  // The first picture now; later ones come from the loop.
  mWindow->Pump();
  return kResultOk;
}

tresult PLUGIN_API X11PlugView::removed() {
  if (!mAttached) return kResultFalse;
  mAttached = false;
  if (mHandler) {
    mHandler->Detach();
    if (mRunLoop) {
      mRunLoop->unregisterEventHandler(mHandler);
      mRunLoop->unregisterTimer(mHandler);
    }
    // A new handler for a later attach: the host may still hold this one.
    mHandler->release();
    mHandler = nullptr;
  }
  if (mRunLoop) {
    mRunLoop->release();
    mRunLoop = nullptr;
  }
  if (mDepth > 0)
    mTeardownPending = true;
  else
    Teardown();
  return kResultOk;
}

void X11PlugView::Teardown() {
  mTeardownPending = false;
  // The editor ends a gesture in progress when it loses its window, so the host sees its end.
  if (mGraphics) {
    if (mClosed) mClosed(*mGraphics);
    mGraphics->SetPlatform(nullptr);
  }
  mWindow.reset();
  mGraphics.reset();
}

tresult PLUGIN_API X11PlugView::getSize(ViewRect* size) {
  if (!size) return kInvalidArgument;
  if (mWindow) {
    *size = ViewRect(0, 0, mWindow->PixelWidth(), mWindow->PixelHeight());
    return kResultOk;
  }
  if (!EnsureGraphics()) return kResultFalse;
  *size = ViewRect(0, 0, static_cast<int32>(std::lround(mGraphics->WindowWidth() * mContentScale)),
                   static_cast<int32>(std::lround(mGraphics->WindowHeight() * mContentScale)));
  return kResultOk;
}

float X11PlugView::ScaleForPixels(int w, int h) const {
  const float dw = static_cast<float>(mGraphics->Width()) * mContentScale;
  const float dh = static_cast<float>(mGraphics->Height()) * mContentScale;
  const float s = std::min(static_cast<float>(w) / dw, static_cast<float>(h) / dh);
  return std::min(std::max(s, mGraphics->GetMinScale()), mGraphics->GetMaxScale());
}

tresult PLUGIN_API X11PlugView::onSize(ViewRect* newSize) {
  if (!newSize) return kInvalidArgument;
  const int w = newSize->getWidth(), h = newSize->getHeight();
  if (w <= 0 || h <= 0 || w > kMaxPixels || h > kMaxPixels) return kInvalidArgument;
  // Inside our own resizeView the host only confirms; otherwise the user resized the host's
  // window and the editor takes the nearest scale that fits.
  if (!mAttached || !mWindow || !mGraphics || mInResizeView) return kResultOk;
  if (w == mWindow->PixelWidth() && h == mWindow->PixelHeight()) return kResultOk;
  const float scale = ScaleForPixels(w, h);
  if (scale != mGraphics->GetScale())
    mGraphics->Resize(mGraphics->Width(), mGraphics->Height(), scale);
  return kResultOk;
}

tresult PLUGIN_API X11PlugView::checkSizeConstraint(ViewRect* rect) {
  if (!rect) return kInvalidArgument;
  if (!EnsureGraphics()) return kResultFalse;
  const int w = std::max(1, static_cast<int>(rect->getWidth()));
  const int h = std::max(1, static_cast<int>(rect->getHeight()));
  const float s = ScaleForPixels(std::min(w, kMaxPixels), std::min(h, kMaxPixels));
  rect->right = rect->left + static_cast<int32>(std::lround(mGraphics->Width() * s * mContentScale));
  rect->bottom =
      rect->top + static_cast<int32>(std::lround(mGraphics->Height() * s * mContentScale));
  return kResultTrue;
}

tresult PLUGIN_API X11PlugView::setContentScaleFactor(ScaleFactor factor) {
  if (!(factor > 0.f) || factor > kMaxContentScale) return kInvalidArgument;
  if (factor == mContentScale) return kResultTrue;
  mContentScale = factor;
  if (mWindow) mWindow->SetContentScale(factor);
  return kResultTrue;
}

tresult PLUGIN_API X11PlugView::onKeyDown(char16 key, int16 keyCode, int16 modifiers) {
  if (!mAttached || !mGraphics) return kResultFalse;
  IKeyPress press;
  press.keysym = KeysymOf(key, keyCode);
  if (!press.keysym) return kResultFalse;
  if (key >= 0x20 && key < 0x7f) press.utf8[0] = static_cast<char>(key);
  press.shift = (modifiers & 1) != 0; // kShiftKey
  press.ctrl = (modifiers & 8) != 0;  // kControlKey
  return mGraphics->OnKeyDown(0.f, 0.f, press) ? kResultTrue : kResultFalse;
}

void X11PlugView::WindowResized(int pixelW, int pixelH) {
  if (!mFrame || mInResizeView) return;
  ViewRect rect(0, 0, pixelW, pixelH);
  addRef();
  mInResizeView = true;
  mFrame->resizeView(this, &rect);
  mInResizeView = false;
  release();
}

void X11PlugView::WindowContextMenu(int paramIdx, int pixelX, int pixelY) {
  if (!mController || paramIdx < 0) return;
  Vst::IComponentHandler* handler = mController->GetComponentHandler();
  if (!handler) return;
  void* found = nullptr;
  if (handler->queryInterface(Vst::IComponentHandler3::iid, &found) != kResultOk || !found) return;
  auto* handler3 = static_cast<Vst::IComponentHandler3*>(found);
  const Vst::ParamID id = static_cast<Vst::ParamID>(paramIdx);
  addRef(); // the host's menu may run its own loop, in which it could release the view
  if (Vst::IContextMenu* menu = handler3->createContextMenu(this, &id)) {
    menu->popup(pixelX, pixelY);
    menu->release();
  }
  handler3->release();
  release();
}

} // namespace

IPlugView* MakeX11PlugView(PluginBase& plug, GraphicsMaker make, GraphicsCloser closed) {
  return new X11PlugView(plug, std::move(make), std::move(closed));
}
