#pragma once
// The editor hook: whoever provides the editor installs a function that makes its view.
#include "pluginterfaces/gui/iplugview.h"

class PluginBase;

// Returns a new view (reference count 1) or nullptr when the plug-in has no editor.
using PlugViewFactory = Steinberg::IPlugView* (*)(PluginBase& plug);

void SetPlugViewFactory(PlugViewFactory factory);
PlugViewFactory GetPlugViewFactory();
