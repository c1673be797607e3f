#pragma once
// Opens a plug-in's editor exactly as a Linux DAW does: a top-level X11 window of the host as
// the parent, an IPlugFrame whose resizeView resizes that window, the host's IRunLoop (offered
// through the frame) that the host pumps, and the view attached as "X11EmbedWindowID".
// Also the host's view of the result: screenshots, and mouse and keys through XTest.
#include <string>
#include <vector>

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "tools/host/editor/run_loop.h"
#include "tools/host/ref_counted.h"

typedef struct _XDisplay Display;
typedef struct _cairo_surface cairo_surface_t;

namespace vhost {

class PlugFrame;

struct EditorOptions {
  // Whether the frame offers the run loop; a host without one shows what a plug-in does then.
  bool offerRunLoop = true;
  // Set through IPlugViewContentScaleSupport before attaching; 0 leaves it alone.
  float contentScale = 0.0f;
};

class EditorHost {
public:
  // Opens the host's own connection to the X display (empty: $DISPLAY). Throws HostError.
  explicit EditorHost(const std::string& display = "");
  ~EditorHost();
  EditorHost(const EditorHost&) = delete;
  EditorHost& operator=(const EditorHost&) = delete;

  // Creates the controller's "editor" view and attaches it to a new parent window. False, with
  // the reason in `why`, when the plug-in has no editor or refuses the window.
  bool open(Steinberg::Vst::IEditController* controller, const EditorOptions& options = {},
            std::string* why = nullptr);
  // Detaches and releases the view and destroys the parent window.
  void close();
  // As some hosts do: destroys the parent window (and with it the plug-in's) first, then
  // tells the view.
  void closeWindowFirst();
  bool isOpen() const { return view_ != nullptr; }
  Steinberg::IPlugView* view() const { return view_; }

  // Processes the run loop (plug-in handlers and timers) and the host's own X events.
  void pump(int ms);
  RunLoop& runLoop() { return *runLoop_; }
  Display* display() const { return display_; }

  unsigned long parentWindow() const { return parent_; }
  // The plug-in's window: the child of the parent window (0 when there is none).
  unsigned long pluginWindow() const;
  bool pluginWindowSize(int& w, int& h) const;
  // The parent's current size (it follows resizeView).
  int width() const;
  int height() const;
  int resizeRequests() const;

  // The parent window as the X server shows it (the plug-in's child window included).
  // The caller destroys the image surface.
  cairo_surface_t* capture() const;
  bool screenshot(const std::string& pngPath) const;

  // The window that has the keyboard focus now.
  unsigned long focusWindow() const;
  // Whether the pointer's cursor is invisible now (as an editor hides it during a drag).
  bool cursorInvisible() const;

  // XTest input at window coordinates of the parent; each call flushes to the server.
  void moveTo(int x, int y);
  void buttonDown(int button);
  void buttonUp(int button);
  void click(int x, int y, int button = 1);
  // Moves from (x0, y0) to (x1, y1) in `steps` motions with the button held, pumping between.
  void drag(int x0, int y0, int x1, int y1, int steps = 10, int button = 1);
  void keyDown(unsigned long keysym);
  void keyUp(unsigned long keysym);

private:
  void rootPosition(int x, int y, int& rx, int& ry) const;
  void drainOwnEvents();

  Display* display_ = nullptr;
  unsigned long parent_ = 0;
  Steinberg::IPtr<RunLoop> runLoop_;
  PlugFrame* frame_ = nullptr;
  Steinberg::IPlugView* view_ = nullptr;
};

} // namespace vhost
