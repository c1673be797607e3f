#pragma once
// Choosing the sound before a render: a program from a bank (the bundle's init.fxb or --fxb),
// a program file, then single parameter settings.
#include <string>

#include "tools/host/bundle.h"
#include "tools/host/plugin_instance.h"
#include "tools/render/fx_files.h"

namespace vrender {

// Who this instance's files belong to: the ID is the last four bytes of the class ID.
FxIdentity identityOf(const vhost::PluginInstance& plugin);

// The index of program N or NAME (case-insensitive) in the bank; throws for an unknown one.
int pickProgram(const FxBank& bank, const std::string& which, const std::string& bankPath);

// Restores the program: a state chunk through setState (marked as program `index` with its
// name), a parameter list as parameter changes for the next block. Throws when refused.
void applyProgram(vhost::PluginInstance& plugin, const FxProgram& program, int index,
                  const std::string& source);

// The state chunk of the current sound and its program name, as --save-fxp writes it.
void saveProgram(vhost::PluginInstance& plugin, const std::string& path);

} // namespace vrender
