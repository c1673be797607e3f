#include "tools/render/param_setting.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "tools/host/host_error.h"

namespace vrender {

namespace {

using vhost::HostError;

std::string trim(const std::string& s) {
  size_t a = 0, b = s.size();
  while (a < b && std::isspace(static_cast<unsigned char>(s[a]))) ++a;
  while (b > a && std::isspace(static_cast<unsigned char>(s[b - 1]))) --b;
  return s.substr(a, b - a);
}

std::string lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool parseNumber(const std::string& text, double& out) {
  if (text.empty()) return false;
  char* end = nullptr;
  out = std::strtod(text.c_str(), &end);
  return end && *end == '\0' && std::isfinite(out);
}

bool startsWithNumber(const std::string& text) {
  char* end = nullptr;
  std::strtod(text.c_str(), &end);
  return end && end != text.c_str();
}

// A few names that look like what was typed, so the error helps without listing everything.
std::string suggestions(const vhost::PluginInstance& plugin, const std::string& name) {
  const std::string key = lower(name);
  std::vector<std::string> found;
  for (const vhost::ParamInfo& p : plugin.parameters()) {
    const std::string t = lower(p.title);
    if (!key.empty() && (t.find(key) != std::string::npos || key.find(t) != std::string::npos ||
                         t.substr(0, 2) == key.substr(0, 2)))
      found.push_back("\"" + p.title + "\"");
    if (found.size() == 5) break;
  }
  if (found.empty()) return " (--info lists the parameters)";
  std::string s = " (similar: ";
  for (size_t i = 0; i < found.size(); ++i) s += (i ? ", " : "") + found[i];
  return s + ")";
}

std::string choices(const vhost::PluginInstance& plugin, const vhost::ParamInfo& p) {
  std::string s;
  const int n = std::min(p.stepCount, 40);
  for (int i = 0; i <= n; ++i)
    s += (i ? ", " : "") + plugin.displayText(p.id, static_cast<double>(i) / p.stepCount);
  if (p.stepCount > n) s += ", ...";
  return s;
}

} // namespace

ParamSetting resolveSetting(const vhost::PluginInstance& plugin, const std::string& assignment) {
  const size_t eq = assignment.find('=');
  if (eq == std::string::npos)
    throw HostError("--set needs NAME=VALUE, got \"" + assignment + "\"");
  const std::string name = trim(assignment.substr(0, eq));
  const std::string value = trim(assignment.substr(eq + 1));
  const vhost::ParamInfo* p = plugin.findParameter(name);
  if (!p) throw HostError("unknown parameter \"" + name + "\"" + suggestions(plugin, name));
  ParamSetting s;
  s.id = p->id;
  s.name = p->title;
  double number = 0.0;
  if (parseNumber(value, number)) {
    const double lo = plugin.normalizedToPlain(p->id, 0.0);
    const double hi = plugin.normalizedToPlain(p->id, 1.0);
    const double eps = 1e-9 * std::max(1.0, std::fabs(hi - lo));
    if (number < std::min(lo, hi) - eps || number > std::max(lo, hi) + eps) {
      char range[96];
      std::snprintf(range, sizeof range, "%g to %g", std::min(lo, hi), std::max(lo, hi));
      throw HostError("value " + value + " of \"" + p->title + "\" is outside its range " + range);
    }
    s.normalized = std::clamp(plugin.plainToNormalized(p->id, number), 0.0, 1.0);
    return s;
  }
  double normalized = 0.0;
  bool ok = plugin.textToNormalized(p->id, value, normalized);
  const bool choice = (p->flags & Steinberg::Vst::ParameterInfo::kIsList) || p->stepCount == 1;
  if (ok) {
    // A plug-in may answer any text with some value (a list with its first item, a number
    // with what atof makes of it); accept only a text it shows, or a number with a unit.
    const bool shown = lower(trim(plugin.displayText(p->id, normalized))) == lower(value);
    ok = shown || (!choice && startsWithNumber(value));
  }
  if (!ok) {
    if (choice)
      throw HostError("\"" + value + "\" is not a value of \"" + p->title +
                      "\" (values: " + choices(plugin, *p) + ")");
    throw HostError("\"" + value + "\" is not a value of \"" + p->title + "\" (it shows e.g. \"" +
                    p->defaultDisplay + "\", or give a number)");
  }
  s.normalized = std::clamp(normalized, 0.0, 1.0);
  return s;
}

} // namespace vrender
