#include "tools/render/info_print.h"

#include <cstdio>
#include <ostream>

#include "pluginterfaces/vst/ivstcomponent.h"

namespace vrender {

std::string quoted(const std::string& text) {
  std::string s = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') s += '\\';
    if (c == '\n')
      s += "\\n";
    else
      s += c;
  }
  return s + "\"";
}

void printInfo(const vhost::Bundle& bundle, const vhost::PluginInstance& plugin,
               std::ostream& out) {
  const vhost::FactoryInfo& f = bundle.factoryInfo();
  out << "bundle " << quoted(bundle.path()) << " library=" << quoted(bundle.libraryPath()) << "\n";
  out << "factory vendor=" << quoted(f.vendor) << " url=" << quoted(f.url)
      << " email=" << quoted(f.email) << " flags=" << f.flags << "\n";
  for (const vhost::ClassInfo& c : bundle.classes()) {
    out << "class " << quoted(c.name) << " category=" << quoted(c.category)
        << " subcategories=" << quoted(c.subCategories) << " vendor=" << quoted(c.vendor)
        << " version=" << quoted(c.version) << " sdk=" << quoted(c.sdkVersion)
        << " cid=" << c.cidHex() << " cardinality=" << c.cardinality << " flags=" << c.classFlags
        << "\n";
  }
  out << "instance " << quoted(plugin.classInfo().name)
      << " controller=" << (plugin.singleComponent() ? "single-component" : "separate")
      << " midi-mapping=" << (plugin.hasMidiMapping() ? "yes" : "no") << "\n";
  const auto params = plugin.parameters();
  out << "parameters " << params.size() << "\n";
  char number[32];
  for (const vhost::ParamInfo& p : params) {
    std::snprintf(number, sizeof number, "%.6f", p.defaultNormalized);
    out << "param " << p.id << " " << quoted(p.title) << " default=" << number
        << " steps=" << p.stepCount << " units=" << quoted(p.units)
        << " display=" << quoted(p.defaultDisplay) << "\n";
  }
}

int printPrograms(const vhost::PluginInstance& plugin, std::ostream& out) {
  const auto names = plugin.programNames(kProgramNameList, 64);
  for (size_t i = 0; i < names.size(); ++i) out << i << " " << names[i] << "\n";
  return static_cast<int>(names.size());
}

} // namespace vrender
