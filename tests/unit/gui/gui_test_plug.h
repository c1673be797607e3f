#pragma once
// A small plug-in for editor tests: a few parameters and a host that records every edit.
#include "framework/core/plugin_base.h"

#include <string>
#include <vector>

class RecordingHost : public IHostCallbacks {
public:
  void BeginEdit(int id) override { log.push_back("begin " + std::to_string(id)); }
  void PerformEdit(int id, double v) override {
    log.push_back("perform " + std::to_string(id));
    lastValue = v;
  }
  void EndEdit(int id) override { log.push_back("end " + std::to_string(id)); }
  void ParamValuesChanged() override {}

  std::vector<std::string> log;
  double lastValue = -1.0;
};

class GuiTestPlug : public PluginBase {
public:
  enum { kGain, kMode, kSwitch, kNumParams };

  GuiTestPlug() : PluginBase(MakeConfig()) {
    GetParam(kGain)->InitDouble("Gain", 0.25, 0.0, 1.0, 0.001);
    GetParam(kMode)->InitInt("Mode", 2, 0, 5);
    GetParam(kSwitch)->InitBool("Switch", false);
    SyncControllerValues(); // as the host adapter does when it starts the plug-in
    SetHostCallbacks(&host);
  }
  void ProcessBlock(double**, double**, int) override {}
  // A value that the host (automation, a program) gives the plug-in: what plays and what the
  // controller reports.
  void HostSets(int index, double plain) {
    GetParam(index)->SetValue(plain);
    SetControllerValue(index, GetParam(index)->GetNormalized());
  }
  void OnIdle() override { ++idleCalls; }

  RecordingHost host;
  int idleCalls = 0;

private:
  static Config MakeConfig() {
    Config c;
    c.nParams = kNumParams;
    return c;
  }
};
