#pragma once
// Drawing an editor without a window: into a Cairo image or a PNG file, and a stand-in platform
// that records what the editor asked of its window, so tests can drive gestures without X.
#include "framework/gui/graphics.h"
#include "framework/gui/graphics_platform.h"

#include <cairo.h>

#include <string>
#include <vector>

// A new ARGB image of the whole window (WindowWidth x WindowHeight); the caller destroys it.
cairo_surface_t* RenderToImage(IGraphics& g);
// Writes the whole window as PNG; false (and a message on stderr) on failure.
bool RenderToPng(IGraphics& g, const std::string& path);

// Gestures as a window delivers them, in window pixels.
void Click(IGraphics& g, float x, float y, const IMouseMod& mod = IMouseMod(true));
// Press at (x, y), move by (dX, dY) in `steps` equal moves, release where the pointer ends.
void Drag(IGraphics& g, float x, float y, float dX, float dY,
          const IMouseMod& mod = IMouseMod(true), int steps = 1);

class OffscreenPlatform : public IGraphicsPlatform {
public:
  struct ContextMenuRequest {
    int paramIdx;
    float x, y;
  };

  void Invalidate() override { ++invalidations; }
  void HideCursor(bool hide) override {
    cursorHidden = hide;
    if (hide) ++cursorHides;
  }
  void SetCursor(ECursor c) override { cursor = c; }
  void RequestResize(int w, int h) override {
    windowW = w;
    windowH = h;
    ++resizeRequests;
  }
  void OpenHostContextMenu(int paramIdx, float x, float y) override {
    contextMenus.push_back({paramIdx, x, y});
  }

  int invalidations = 0;
  bool cursorHidden = false;
  int cursorHides = 0;
  ECursor cursor = ECursor::kArrow;
  int windowW = 0, windowH = 0;
  int resizeRequests = 0;
  std::vector<ContextMenuRequest> contextMenus;
};
