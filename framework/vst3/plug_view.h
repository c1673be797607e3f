#pragma once
// The editor's VST3 view on Linux: an IPlugView for "X11EmbedWindowID" that shows an IGraphics
// in an X11 child window of the host's window, driven by the host's run loop.
#include "pluginterfaces/gui/iplugview.h"

#include <functional>
#include <memory>

class IGraphics;
class PluginBase;

// Makes the editor of one opening of the window: the IGraphics with its size and scale, the
// layout run. nullptr when it cannot.
using GraphicsMaker = std::function<std::unique_ptr<IGraphics>(PluginBase& plug)>;
// Told just before an editor is destroyed, so the plug-in drops what it kept of it.
using GraphicsCloser = std::function<void(IGraphics& graphics)>;

// A new view (reference count 1); the editor is made when the host first asks for its size or
// attaches it, and destroyed in removed().
Steinberg::IPlugView* MakeX11PlugView(PluginBase& plug, GraphicsMaker make,
                                      GraphicsCloser closed = nullptr);
