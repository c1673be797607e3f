#pragma once
// The machine-readable listings: class information with one line per parameter, and programs.
#include <iosfwd>

#include "tools/host/bundle.h"
#include "tools/host/plugin_instance.h"

namespace vrender {

// The program list a host asks for when the plug-in announces none.
constexpr Steinberg::Vst::ProgramListID kProgramNameList = 65537;

std::string quoted(const std::string& text);
void printInfo(const vhost::Bundle& bundle, const vhost::PluginInstance& plugin, std::ostream& out);
// One "<number> <name>" line per program; returns how many.
int printPrograms(const vhost::PluginInstance& plugin, std::ostream& out);

} // namespace vrender
