#pragma once
// An open editor without a window: the plug-in with the bundle's artwork and factory programs,
// its editor on the offscreen stand-in, and gestures in design coordinates.
#include "framework/gui/graphics.h"
#include "framework/gui/offscreen.h"
#include "plugin/panel_layout.h"
#include "plugin/varnel.h"
#include "store/fxb_file.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace editortest {

// Records what the host hears of the editor's edits.
struct HostEdits : IHostCallbacks {
  struct Edit {
    char kind; // 'b'egin, 'p'erform, 'e'nd
    int param;
    double value;
  };
  std::vector<Edit> edits;
  void BeginEdit(int id) override { edits.push_back({'b', id, 0}); }
  void PerformEdit(int id, double v) override { edits.push_back({'p', id, v}); }
  void EndEdit(int id) override { edits.push_back({'e', id, 0}); }
  void ParamValuesChanged() override {}
};

class Editor {
public:
  explicit Editor(double scale = 0.5, int program = 0, bool resonators = false)
      : plug(std::make_unique<Varnel>()) {
    plug->editorResourcePath = VARNEL_BUNDLE_RESOURCES;
    EXPECT_TRUE(LoadBankFromFXB(*plug, std::string(VARNEL_BUNDLE_RESOURCES) + "/init.fxb"));
    plug->editorScale = scale;
    if (program) plug->changePreset(program);
    if (resonators) plug->SetParameterValue(kEqRes, 1.0);
    plug->SetHostCallbacks(&host);
    plug->SyncControllerValues();
    open();
  }
  ~Editor() { close(); }

  void open() {
    g = plug->openEditor();
    g->SetPlatform(&window);
  }
  void close() {
    if (!g) return;
    g->SetPlatform(nullptr);
    plug->closeEditor(*g);
    g.reset();
  }

  // The visible control bound to a parameter (or carrying an identifier).
  IControl* control(int id) const {
    for (int i = g->NControls() - 1; i >= 0; --i) {
      IControl* c = g->GetControl(i);
      if (c->ParamIdx() == id && !c->IsHidden()) return c;
    }
    ADD_FAILURE() << "no control " << id;
    return nullptr;
  }
  // Pointer positions in window pixels for a point in design space.
  float wx(float x) const { return x * g->GetScale(); }
  float wy(float y) const { return y * g->GetScale(); }

  void click(int id, const IMouseMod& mod = IMouseMod(true)) {
    const IRECT r = control(id)->GetTargetRECT();
    g->OnMouseDown(wx(r.MW()), wy(r.MH()), mod);
    g->OnMouseUp(wx(r.MW()), wy(r.MH()), mod);
  }
  // A vertical drag in design pixels (negative: upwards), in steps of at most `step`.
  void drag(int id, float dy, const IMouseMod& mod = IMouseMod(true), float step = 4.f) {
    press(id, mod);
    move(id, dy, mod, step);
    release(id, mod);
  }
  void press(int id, const IMouseMod& mod = IMouseMod(true)) {
    const IRECT r = control(id)->GetTargetRECT();
    g->OnMouseDown(wx(r.MW()), wy(r.MH()), mod);
    pointerY = r.MH();
  }
  void move(int id, float dy, const IMouseMod& mod = IMouseMod(true), float step = 4.f) {
    const IRECT r = control(id)->GetTargetRECT();
    for (float done = 0; done != dy;) {
      float d = dy - done;
      if (d > step) d = step;
      if (d < -step) d = -step;
      done += d;
      pointerY += d;
      g->OnMouseDrag(wx(r.MW()), wy(pointerY), 0.f, wy(d), mod);
    }
  }
  void release(int id, const IMouseMod& mod = IMouseMod(true)) {
    const IRECT r = control(id)->GetTargetRECT();
    g->OnMouseUp(wx(r.MW()), wy(pointerY), mod);
  }
  void wheel(int id, float d, const IMouseMod& mod = IMouseMod()) {
    const IRECT r = control(id)->GetTargetRECT();
    g->OnMouseWheel(wx(r.MW()), wy(r.MH()), mod, d);
  }
  void doubleClick(int id) {
    const IRECT r = control(id)->GetTargetRECT();
    g->OnMouseDblClick(wx(r.MW()), wy(r.MH()), IMouseMod(true));
  }
  // Sets a parameter as the host would, and lets the editor follow.
  void setPlain(int param, double value) {
    plug->GetParam(param)->SetValue(value);
    plug->SetControllerValue(param, plug->GetParam(param)->GetNormalized());
    plug->OnParamChange(param);
    g->OnTimer();
  }
  double plain(int param) const { return plug->GetParam(param)->GetValue(); }
  double normalized(int param) const { return plug->GetParam(param)->GetNormalized(); }

  HostEdits host;
  std::unique_ptr<Varnel> plug;
  std::unique_ptr<IGraphics> g;
  OffscreenPlatform window;
  float pointerY = 0;
};

} // namespace editortest
