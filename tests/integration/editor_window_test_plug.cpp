#include "tests/integration/editor_window_test_plug.h"

#include "framework/vst3/plug_view.h"
#include "framework/vst3/plug_view_factory.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace itest {

namespace {

const Config& TinyConfig() {
  static const Config config = [] {
    Config c;
    c.nParams = 2;
    c.nPresets = 1;
    c.pluginName = "Tiny";
    c.productName = "Tiny";
    c.mfrName = "Vellsound";
    c.uniqueID = FourCC('T', 'i', 'n', 'y');
    c.mfrID = FourCC('V', 'l', 's', 'd');
    return c;
  }();
  return config;
}

class TinyPlug : public PluginBase {
public:
  TinyPlug() : PluginBase(TinyConfig()) {
    GetParam(TinyEditorPlugin::kLevel)->InitDouble("Level", 0.5, 0.0, 1.0, 0.001);
    GetParam(TinyEditorPlugin::kDrive)->InitDouble("Drive", 0.25, 0.0, 1.0, 0.001);
  }
  void ProcessBlock(double**, double** outputs, int nFrames) override {
    std::fill(outputs[0], outputs[0] + nFrames, 0.0);
    std::fill(outputs[1], outputs[1] + nFrames, 0.0);
  }
};

// A knob: vertical drags turn it (Shift for fine steps), the wheel steps it; the cursor hides
// while it is dragged. The pointer shows the value.
class TestKnob : public IControl {
public:
  TestKnob(const IRECT& r, int param) : IControl(r, param) {}
  void Draw(IGraphics& g) override {
    g.FillRect(IColor(255, 48, 52, 60), mRECT);
    const float cx = mRECT.MW(), cy = mRECT.MH(), r = mRECT.W() * 0.4f;
    g.FillCircle(IColor(255, 200, 200, 190), cx, cy, r);
    const float a = static_cast<float>((-135.0 + 270.0 * GetValue()) * M_PI / 180.0);
    g.DrawLine(IColor(255, 200, 30, 30), cx, cy, cx + 0.9f * r * std::sin(a),
               cy - 0.9f * r * std::cos(a), 6.f);
  }
  void OnMouseDown(float, float, const IMouseMod&) override { HideCursor(true); }
  void OnMouseDrag(float, float, float, float dY, const IMouseMod& mod) override {
    const double step = mod.S ? 0.001 : 0.01;
    SetValueFromUserInput(std::clamp(GetValue() - dY * step, 0.0, 1.0));
  }
  void OnMouseWheel(float, float, const IMouseMod&, float d) override {
    SetValueFromUserInput(std::clamp(GetValue() + 0.05 * d, 0.0, 1.0));
  }
};

IGraphics* gOpen = nullptr;
int gMade = 0, gClosed = 0;

Steinberg::IPlugView* MakeTinyView(PluginBase& plug) {
  return MakeX11PlugView(
      plug,
      [](PluginBase& p) {
        auto g = std::make_unique<IGraphics>(p, TinyEditorPlugin::kDesignW,
                                             TinyEditorPlugin::kDesignH, 1.f);
        g->AttachControl(new TestKnob(TinyEditorPlugin::knobRect(0), TinyEditorPlugin::kLevel));
        g->AttachControl(new TestKnob(TinyEditorPlugin::knobRect(1), TinyEditorPlugin::kDrive));
        gOpen = g.get();
        ++gMade;
        return g;
      },
      [](IGraphics&) {
        gOpen = nullptr;
        ++gClosed;
      });
}

} // namespace

TinyEditorPlugin::TinyEditorPlugin()
    : host_(new vhost::HostApplication("editor test")), handler_(new vhost::ComponentHandler),
      plugin_(new Vst3Plugin(std::make_unique<TinyPlug>())) {
  SetPlugViewFactory(&MakeTinyView);
  plugin_->initialize(host_);
  plugin_->setComponentHandler(handler_);
}

TinyEditorPlugin::~TinyEditorPlugin() {
  plugin_->terminate();
  static_cast<Steinberg::Vst::IEditController*>(plugin_)->release();
  handler_->release();
  host_->release();
  SetPlugViewFactory(nullptr);
}

Steinberg::Vst::IEditController* TinyEditorPlugin::controller() const {
  return plugin_;
}

double TinyEditorPlugin::value(int param) const {
  return plugin_->Plug().GetParam(param)->GetNormalized();
}

void TinyEditorPlugin::automate(int param, double normalized) {
  plugin_->setParamNormalized(static_cast<Steinberg::Vst::ParamID>(param), normalized);
  plugin_->Plug().GetParam(param)->SetFromNormalized(normalized);
}

IGraphics* TinyEditorPlugin::openEditor() {
  return gOpen;
}
int TinyEditorPlugin::editorsMade() {
  return gMade;
}
int TinyEditorPlugin::editorsClosed() {
  return gClosed;
}

IRECT TinyEditorPlugin::knobRect(int knob) {
  return knob == 0 ? IRECT(50.f, 50.f, 150.f, 150.f) : IRECT(250.f, 50.f, 350.f, 150.f);
}

} // namespace itest
