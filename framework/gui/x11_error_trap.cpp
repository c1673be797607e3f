#include "framework/gui/x11_error_trap.h"

#include <X11/Xlib.h>
#include <cstdio>
#include <map>

namespace {

using Handler = int (*)(Display*, XErrorEvent*);

// Touched only on the user-interface thread, like every X call of the editor.
std::map<Display*, int>& Trapped() {
  static std::map<Display*, int> displays;
  return displays;
}
Handler gPrevious = nullptr;
bool gInstalled = false;

int OnXError(Display* display, XErrorEvent* event) {
  auto& trapped = Trapped();
  const auto it = trapped.find(display);
  if (it == trapped.end()) return gPrevious ? gPrevious(display, event) : 0;
  ++it->second;
  char text[128] = {};
  XGetErrorText(display, event->error_code, text, sizeof text);
  std::fprintf(stderr, "Varnel editor: X error ignored (%s, request %d)\n", text,
               static_cast<int>(event->request_code));
  return 0;
}

} // namespace

X11ErrorTrap::X11ErrorTrap(Display* display) : mDisplay(display) {
  Trapped()[display] = 0;
  if (!gInstalled) {
    gPrevious = XSetErrorHandler(OnXError);
    gInstalled = true;
  }
}

X11ErrorTrap::~X11ErrorTrap() {
  Trapped().erase(mDisplay);
  if (gInstalled && Trapped().empty()) {
    // Give the host its own handler back, unless someone installed another one meanwhile.
    const Handler current = XSetErrorHandler(gPrevious);
    if (current != OnXError) XSetErrorHandler(current);
    gInstalled = false;
    gPrevious = nullptr;
  }
}

int X11ErrorTrap::Errors() const {
  const auto it = Trapped().find(mDisplay);
  return it == Trapped().end() ? 0 : it->second;
}
