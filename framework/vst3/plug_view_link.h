#pragma once
// A view made by the plug-in's view factory learns its edit controller from createView, for
// what goes through the host's component handler (the host's context menu of a parameter).
class Vst3Plugin;

class PlugViewLink {
public:
  virtual ~PlugViewLink() = default;
  virtual void LinkController(Vst3Plugin* controller) = 0;
};
