#include "tools/render/program_select.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "tools/host/host_error.h"
#include "tools/render/state_chunk.h"

namespace vrender {

namespace {

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool isNumber(const std::string& s) {
  return !s.empty() && s.size() < 10 && std::all_of(s.begin(), s.end(), [](char c) {
    return std::isdigit(static_cast<unsigned char>(c));
  });
}

} // namespace

FxIdentity identityOf(const vhost::PluginInstance& plugin) {
  const auto& cid = plugin.classInfo().cid;
  FxIdentity id;
  id.fxId = static_cast<int32_t>((static_cast<uint32_t>(cid[12]) << 24) |
                                 (static_cast<uint32_t>(cid[13]) << 16) |
                                 (static_cast<uint32_t>(cid[14]) << 8) | cid[15]);
  id.fxVersion = fxVersionFromString(plugin.classInfo().version);
  id.numParams = static_cast<int32_t>(plugin.parameters().size());
  return id;
}

int pickProgram(const FxBank& bank, const std::string& which, const std::string& bankPath) {
  const int count = static_cast<int>(bank.programs.size());
  if (count == 0) throw vhost::HostError(bankPath + " holds no programs");
  int index = -1;
  if (isNumber(which)) {
    index = std::stoi(which);
    if (index >= count)
      throw vhost::HostError("unknown program " + which + ": " + bankPath +
                             " holds programs 0 to " + std::to_string(count - 1));
  } else {
    for (int i = 0; i < count && index < 0; ++i)
      if (bank.programs[static_cast<size_t>(i)].name == which) index = i;
    for (int i = 0; i < count && index < 0; ++i)
      if (lower(bank.programs[static_cast<size_t>(i)].name) == lower(which)) index = i;
    if (index < 0)
      throw vhost::HostError("unknown program \"" + which + "\" (--list-programs lists them)");
  }
  if (!bank.programs[static_cast<size_t>(index)].initialised)
    throw vhost::HostError("program " + std::to_string(index) + " of " + bankPath + " is empty");
  return index;
}

void applyProgram(vhost::PluginInstance& plugin, const FxProgram& program, int index,
                  const std::string& source) {
  if (program.isChunk) {
    std::vector<uint8_t> chunk = program.chunk;
    if (index >= 0) chunk = withProgram(chunk, index, program.name);
    if (!plugin.setState(hostState(chunk)))
      throw vhost::HostError("the plug-in refused the program \"" + program.name + "\" from " +
                             source);
    return;
  }
  const auto params = plugin.parameters();
  const size_t n = std::min(params.size(), program.values.size());
  for (size_t i = 0; i < n; ++i) {
    const double v = program.values[i];
    if (std::isfinite(v)) plugin.setParameter(params[i].id, std::clamp(v, 0.0, 1.0));
  }
}

void saveProgram(vhost::PluginInstance& plugin, const std::string& path) {
  const std::vector<uint8_t> chunk = chunkOfHostState(plugin.getState());
  writeFile(path, buildFxp(identityOf(plugin), stateProgramName(chunk), chunk));
}

} // namespace vrender
