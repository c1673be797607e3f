#pragma once
// Programs written as text: "[Name]" starts a program, then one "Parameter Name = value" line for
// each parameter that differs from its default. A value is a parameter's display text ("on",
// "1/8", "4-Pole Ladder") or a plain real value. Lines starting with "#" are comments.
#include "framework/core/plugin_base.h"

#include <string>
#include <vector>

struct ProgramSetting {
  int param = -1;
  double value = 0.0;
  int line = 0;
};

struct ProgramText {
  std::string name;
  int line = 0;
  std::vector<ProgramSetting> settings;
};

constexpr int kMaxProgramNameLength = 24;

// Resolves names and values against the parameters of plug. On failure returns false with
// error = "file:line: what is wrong"; programs then holds what was read before that line.
bool ParseProgramText(const std::string& text, const std::string& fileName, const PluginBase& plug,
                      int maxPrograms, std::vector<ProgramText>& programs, std::string& error);

// Every parameter back to its default, then the program's values; runs the handlers.
void ApplyProgram(PluginBase& plug, const ProgramText& program);

// Makes slot the current program and stores the program's sound and name in it.
bool StoreProgram(PluginBase& plug, int slot, const ProgramText& program);
