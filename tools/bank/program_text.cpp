#include "tools/bank/program_text.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>

namespace {

std::string trim(const std::string& s) {
  const char* blanks = " \t\r\n";
  const size_t first = s.find_first_not_of(blanks);
  if (first == std::string::npos) return "";
  const size_t last = s.find_last_not_of(blanks);
  return s.substr(first, last - first + 1);
}

int findParam(const PluginBase& plug, const std::string& name) {
  for (int i = 0; i < plug.NParams(); ++i)
    if (name == plug.GetParam(i)->GetName()) return i;
  return -1;
}

// A whole-string number; nothing but blanks may follow it.
bool parseNumber(const std::string& text, double& value) {
  if (text.empty()) return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return errno == 0 && end == text.c_str() + text.size() && std::isfinite(value);
}

std::string formatNumber(double v) {
  char buf[32];
  std::snprintf(buf, sizeof(buf), "%g", v);
  return buf;
}

// The value as display text or as a number inside the range; whole numbers for stepped types.
bool parseValue(const IParam& param, const std::string& text, double& value, std::string& why) {
  if (param.MapDisplayText(text.c_str(), &value)) return true;
  if (!parseNumber(text, value)) {
    why = "\"" + text + "\" is neither a display text nor a number";
    if (param.NDisplayTexts() > 0) {
      why += " (texts:";
      for (int i = 0; i < param.NDisplayTexts() && i < 24; ++i)
        why += std::string(i ? ", \"" : " \"") + param.GetDisplayTextAtIdx(i) + "\"";
      if (param.NDisplayTexts() > 24) why += ", ...";
      why += ")";
    }
    return false;
  }
  if (value < param.GetMin() || value > param.GetMax()) {
    why = text + " is outside " + formatNumber(param.GetMin()) + " .. " +
          formatNumber(param.GetMax());
    return false;
  }
  if (param.Type() != IParam::kTypeDouble && value != std::floor(value)) {
    why = text + " is not a whole number";
    return false;
  }
  return true;
}

} // namespace

bool ParseProgramText(const std::string& text, const std::string& fileName, const PluginBase& plug,
                      int maxPrograms, std::vector<ProgramText>& programs, std::string& error) {
  programs.clear();
  std::istringstream in(text);
  std::string raw;
  int lineNo = 0;
  const auto fail = [&](const std::string& what) {
    error = fileName + ":" + std::to_string(lineNo) + ": " + what;
    return false;
  };

  while (std::getline(in, raw)) {
    ++lineNo;
    const std::string line = trim(raw);
    if (line.empty() || line[0] == '#') continue;

    if (line[0] == '[') {
      if (line.back() != ']') return fail("a program header is written [Name]");
      const std::string name = trim(line.substr(1, line.size() - 2));
      if (name.empty()) return fail("empty program name");
      if (name.size() > static_cast<size_t>(kMaxProgramNameLength))
        return fail("program name \"" + name + "\" is longer than " +
                    std::to_string(kMaxProgramNameLength) + " characters");
      if (static_cast<int>(programs.size()) >= maxPrograms)
        return fail("more than " + std::to_string(maxPrograms) + " programs");
      ProgramText program;
      program.name = name;
      program.line = lineNo;
      programs.push_back(program);
      continue;
    }

    const size_t eq = line.find('=');
    if (eq == std::string::npos) return fail("expected \"Parameter Name = value\" or [Name]");
    if (programs.empty()) return fail("a parameter line before the first [Name]");
    const std::string name = trim(line.substr(0, eq));
    const std::string valueText = trim(line.substr(eq + 1));

    const int index = findParam(plug, name);
    if (index < 0) return fail("unknown parameter \"" + name + "\"");
    ProgramText& program = programs.back();
    for (const ProgramSetting& s : program.settings)
      if (s.param == index)
        return fail("\"" + name + "\" is set twice in [" + program.name + "] (first on line " +
                    std::to_string(s.line) + ")");

    double value = 0.0;
    std::string why;
    if (!parseValue(*plug.GetParam(index), valueText, value, why))
      return fail("bad value for \"" + name + "\": " + why);
    program.settings.push_back({index, value, lineNo});
  }
  return true;
}

void ApplyProgram(PluginBase& plug, const ProgramText& program) {
  for (int i = 0; i < plug.NParams(); ++i)
    plug.GetParam(i)->SetValue(plug.GetParam(i)->GetDefault());
  for (const ProgramSetting& s : program.settings) plug.GetParam(s.param)->SetValue(s.value);
  plug.OnParamReset(EParamSource::kPresetRecall);
}

bool StoreProgram(PluginBase& plug, int slot, const ProgramText& program) {
  if (slot < 0 || slot >= plug.NPresets()) return false;
  // Selecting the slot makes it current, so the stored chunk carries its index.
  if (!plug.RestorePreset(slot) || plug.GetCurrentPresetIdx() != slot) return false;
  ApplyProgram(plug, program);
  // The chunk carries the name too: set it before the state is taken.
  std::snprintf(plug.GetPreset(slot).name, IPreset::kNameSize, "%s", program.name.c_str());
  plug.ModifyCurrentPreset(program.name.c_str());
  return plug.GetPreset(slot).initialized;
}
