#pragma once
// A small instrument with a two-knob editor, run in the test process behind our own VST3
// adapter, so the window tests need no artwork: what the host sees of an editor is the same.
#include "framework/core/plugin_base.h"
#include "framework/gui/graphics.h"
#include "framework/vst3/vst3_plugin.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "tools/host/host_context.h"

namespace itest {

class TinyEditorPlugin {
public:
  static constexpr int kDesignW = 400, kDesignH = 200;
  static constexpr int kLevel = 0, kDrive = 1; // parameter indices, also their VST3 IDs

  TinyEditorPlugin();
  ~TinyEditorPlugin();
  TinyEditorPlugin(const TinyEditorPlugin&) = delete;
  TinyEditorPlugin& operator=(const TinyEditorPlugin&) = delete;

  Steinberg::Vst::IEditController* controller() const;
  vhost::ComponentHandler& handler() const { return *handler_; }
  PluginBase& plug() const { return plugin_->Plug(); }
  // The value that plays (the processor's side).
  double value(int param) const;
  // As a DAW's automation: the controller is told, and the processor receives the same change.
  void automate(int param, double normalized);

  // The editor that is open now (nullptr when none), and how many were made and closed.
  static IGraphics* openEditor();
  static int editorsMade();
  static int editorsClosed();
  // The rectangle of knob 0 or 1 in design pixels.
  static IRECT knobRect(int knob);

private:
  vhost::HostApplication* host_;
  vhost::ComponentHandler* handler_;
  Vst3Plugin* plugin_;
};

} // namespace itest
