// The editor's life cycle: building the panel from the layout table, scaling, the activity
// lamps, the resonator/equaliser switch-over and the program section.
#include "framework/core/param.h"
#include "framework/gui/basic_controls.h"
#include "framework/gui/graphics.h"
#include "framework/vst3/plug_view.h"
#include "framework/vst3/plug_view_factory.h"
#include "plugin/panel_layout.h"
#include "plugin/varnel.h"
#include "plugin/varnel_controls.h"
#include "plugin/varnel_controls_menus.h"
#include "plugin/varnel_controls_selector.h"

#include <map>

namespace {

const int kDesignW = static_cast<int>(panel::kWidth);
const int kDesignH = static_cast<int>(panel::kHeight);
constexpr float kMinScale = 0.25f, kMaxScale = 2.0f;
const char* const kVersionText = "VERSION 1.1.2";

enum ActivityLamp { kLampSH, kLampMG1, kLampMG2, kLampGEG };

} // namespace

float Varnel::scaleOf(GUISize size) {
  static const float scales[] = {0.25f, 0.375f, 0.5f, 0.70710677f, 1.0f, 2.0f};
  const int i = static_cast<int>(size);
  return (i >= 0 && i < 6) ? scales[i] : 0.f;
}

std::unique_ptr<IGraphics> Varnel::openEditor() {
  auto g = std::make_unique<IGraphics>(*this, kDesignW, kDesignH, static_cast<float>(editorScale));
  g->SetResourcePath(editorResourcePath.empty() ? pluginFolder + "Varnel.vst3/Contents/Resources"
                                                : editorResourcePath);
  editor = g.get();
  layoutEditor(*g);
  return g;
}

void Varnel::closeEditor(IGraphics& g) {
  if (editor != &g) return;
  editor = nullptr;
  ui = EditorRefs{};
}

bool Varnel::editorOpen() const {
  return editor && editor->GetPlatform();
}

void Varnel::layoutEditor(IGraphics& g) {
  using namespace panel;
  std::map<Bitmap, IBitmap> pics;
  for (Bitmap b : editorBitmaps()) pics[b] = g.LoadBitmap(bitmapSpec(b).file, bitmapSpec(b).frames);
  g.LoadFont(kFontFile, kFontFile);
  g.EnableMouseOver(true);
  g.EnableTooltips(false);
  g.EnableMultiTouch(g.PlatformSupportsMultiTouch());
  g.AttachBackground(kBackgroundFile);
  ui = EditorRefs{};

  for (const Entry& e : layout()) {
    const float x = e.place.l, y = e.place.t;
    const IRECT rect(e.place.l, e.place.t, e.place.r, e.place.b);
    IControl* c = nullptr;
    switch (e.kind) {
    case Kind::SizeContext:
      c = g.AttachControl(new IVellSizeContextControl(rect, e.id));
      g.SetScaleLimits(kMinScale, kMaxScale);
      g.Resize(kDesignW, kDesignH, static_cast<float>(editorScale));
      break;
    case Kind::CornerResizer:
      g.AttachCornerResizer(
          new IVellCornerResizer(IRECT(0.f, 0.f, float(kDesignW), float(kDesignH)), 20.f));
      break;
    case Kind::PresetMenu:
      c = g.AttachControl(new IVellPresetMenu(x, y, pics[e.bitmap]));
      break;
    case Kind::Kick:
      c = g.AttachControl(new IVellUtilityKick(x, y, e.id, pics[e.bitmap]));
      break;
    case Kind::PresetName:
      c = ui.presetName = static_cast<IVellPresetName*>(g.AttachControl(new IVellPresetName(rect)));
      break;
    case Kind::Led:
      c = g.AttachControl(new IBitmapControl(x, y, pics[e.bitmap]));
      c->Hide(true);
      break;
    case Kind::OptionMenu:
      c = g.AttachControl(new IVellOptionMenu(rect, e.id));
      break;
    case Kind::VersionLabel:
      c = g.AttachControl(new ITextControl(
          rect, kVersionText,
          IText(22.f, IColor(128, 255, 255, 255), kFontFile, EAlign::kNear, EVAlign::kMiddle)));
      break;
    case Kind::MidiLearn:
      // The button starts off, and so does the learn store.
      midiLearnActive.arm(false, false);
      takeLearnButtonOffRequest();
      c = ui.learnButton = static_cast<IVellSwitchMidiLearn*>(
          g.AttachControl(new IVellSwitchMidiLearn(x, y, pics[e.bitmap], e.id)));
      break;
    case Kind::InfoBubble:
      c = ui.infoBubble =
          static_cast<IVellInfoBubble*>(g.AttachControl(new IVellInfoBubble(x, y, e.id)));
      break;
    case Kind::Knob:
      c = g.AttachControl(new IVellKnobControl(x, y, e.id, pics[e.bitmap], e.gearing));
      break;
    case Kind::KnobText:
      c = g.AttachControl(new IVellKnobTextControl(x, y, e.id, pics[e.bitmap], e.gearing));
      break;
    case Kind::Switch:
      c = g.AttachControl(new IVellSwitchControl(x, y, e.id, pics[e.bitmap]));
      break;
    case Kind::Selector: {
      const IColor text = e.menuType == 1 ? IColor(160, 255, 255, 255) : IColor(255, 0, 0, 0);
      c = g.AttachControl(new IVellPopUpMenuControl(x, y, e.id, text, pics[e.bitmap],
                                                    pics[e.bitmap2], e.menuType, ui.infoBubble));
      break;
    }
    case Kind::Picture:
      c = g.AttachControl(new IBitmapControl(x, y, pics[e.bitmap]));
      break;
    }
    switch (e.role) {
    case Role::BankLamp:
      ui.bankLamps[e.roleIndex] = c;
      break;
    case Role::ProgramLamp:
      ui.programLamps[e.roleIndex] = c;
      break;
    case Role::ResBack:
      ui.resBack = c;
      break;
    case Role::ResControl:
      for (IControl*& slot : ui.resControls)
        if (!slot) {
          slot = c;
          break;
        }
      break;
    case Role::EqBack:
      ui.eqBack = c;
      break;
    case Role::EqKnob:
      for (IControl*& slot : ui.eqKnobs)
        if (!slot) {
          slot = c;
          break;
        }
      break;
    case Role::LampSH:
      ui.activityLamps[kLampSH] = c;
      break;
    case Role::LampMG1:
      ui.activityLamps[kLampMG1] = c;
      break;
    case Role::LampMG2:
      ui.activityLamps[kLampMG2] = c;
      break;
    case Role::LampGEG:
      ui.activityLamps[kLampGEG] = c;
      break;
    default:
      break;
    }
  }
  g.SyncControlsToParams();
  resonatorPanelRequest.store(-1, std::memory_order_relaxed);
  applyResonatorPanel(GetParam(kEqRes)->GetValue() >= 0.5);
  updatePresetControls();
}

// ---- Scale ----

void Varnel::resizeUI() {
  if (editorOpen()) editor->Resize(kDesignW, kDesignH, static_cast<float>(editorScale));
}

void Varnel::resizeUI(GUISize size) {
  resizeUI(scaleOf(size));
}

void Varnel::resizeUI(float scale) {
  if (!(scale > 0.f)) return;
  editorScale = scale;
  resizeUI();
}

double Varnel::currentEditorScale() const {
  return editor ? static_cast<double>(editor->GetScale()) : editorScale;
}

// ---- Idle refresh ----

void Varnel::OnIdle() {
  if (!editor) return;
  applyEditorRequests();
  if (!editorOpen()) return;
  // A lamp is lit in the first half of its generator's cycle; only changes reach the toolkit.
  const struct {
    int lamp;
    bool lit;
  } lamps[] = {{kLampMG1, 2 * mg1.getCounter() >= mg1.getPeriod()},
               {kLampMG2, 2 * mg2.getCounter() >= mg2.getPeriod()},
               {kLampSH, 2 * sh.getCounter() >= sh.getPeriod()},
               {kLampGEG, geg.isOn()}};
  for (const auto& l : lamps) {
    if (l.lit == ui.lampOn[l.lamp]) continue;
    ui.lampOn[l.lamp] = l.lit;
    if (IControl* c = ui.activityLamps[l.lamp]) c->Hide(!l.lit);
  }
  // A program change that did not come through the panel (MIDI, host) moves the lamps too.
  if (GetCurrentPresetIdx() != 16 * bank + programInBank) updatePresetControls();
}

void Varnel::applyEditorRequests() {
  const int panelRequest = resonatorPanelRequest.exchange(-1, std::memory_order_acq_rel);
  if (panelRequest >= 0) applyResonatorPanel(panelRequest == 1);
  if (takeLearnButtonOffRequest() && ui.learnButton) ui.learnButton->SetValueFromPlug(0.0);
}

// ---- Resonators and equaliser ----

void Varnel::showResonators(bool on) {
  resonatorPanelRequest.store(on ? 1 : 0, std::memory_order_release);
}

void Varnel::applyResonatorPanel(bool show) {
  if (!editor) return;
  if (ui.resBack) ui.resBack->Hide(!show);
  for (IControl* c : ui.resControls)
    if (c) c->Hide(!show);
  if (ui.eqBack) ui.eqBack->Hide(show);
  for (IControl* c : ui.eqKnobs)
    if (c) c->Hide(show);
}

// ---- Programs ----

void Varnel::changePreset(int index) {
  Synth::changePreset(index);
  updatePresetControls();
}

void Varnel::updatePresetControls() {
  const int current = GetCurrentPresetIdx();
  bank = current / 16;
  programInBank = current % 16;
  if (!editor) return;
  if (ui.presetName) ui.presetName->SetDirty(false);
  for (int k = 0; k < 4; ++k)
    if (ui.bankLamps[k]) ui.bankLamps[k]->Hide(k != bank);
  for (int k = 0; k < 16; ++k)
    if (ui.programLamps[k]) ui.programLamps[k]->Hide(k != programInBank);
}

// ---- Manual trigger (audio thread, start of a control period) ----

void Varnel::applyManualTrigger() {
  if (!manualTriggerRequest.exchange(false, std::memory_order_acq_rel)) return;
  trigState[0] = true;
  trigPrevState[0] = false;
}

// ---- View ----

namespace {
Steinberg::IPlugView* makeVarnelView(PluginBase& plug) {
  return MakeX11PlugView(
      plug, [](PluginBase& p) { return static_cast<Varnel&>(p).openEditor(); },
      [](IGraphics& g) { static_cast<Varnel&>(g.GetDelegate()).closeEditor(g); });
}
} // namespace

void Varnel::createGraphics() {
  editorResourcePath.clear();
  SetPlugViewFactory(&makeVarnelView);
}
