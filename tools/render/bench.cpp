#include "tools/render/bench.h"

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <ostream>

#include "tools/host/plugin_instance.h"
#include "tools/render/bench_reference.h"
#include "tools/render/param_setting.h"

namespace vrender {

std::vector<BenchCase> benchCases() {
  return {
      {"default", {}},
      {"heavy",
       {"SG1 Wave=0.45", "SG2 Wave=0.25", "K35/LP4=4-Pole Ladder", "fC Mod=on", "fC MG1=0.3",
        "MG1 Freq=200", "RS Int=0.5", "EQ 8kHz=6", "EQ 4kHz=6", "EQ 2kHz=6", "EQ 1kHz=6",
        "EQ 500=6", "EQ 250=6", "EQ 125=6", "Ensembl=0.5"}},
  };
}

const std::vector<int>& benchVoiceCounts() {
  static const std::vector<int> counts = {1, 8, 16, 32, 64};
  return counts;
}

namespace {

// Distinct keys spread over five octaves around middle C.
int benchKey(int i, int n) {
  return 28 + (i * 64) / n + (64 / n) / 2;
}

void processFrames(vhost::PluginInstance& plugin, int64_t frames, int32_t block) {
  for (int64_t done = 0; done < frames; done += block)
    plugin.process(static_cast<int32_t>(std::min<int64_t>(block, frames - done)));
}

} // namespace

// The voice paths the plug-in offers on this CPU: one voice at a time (the reference the lanes
// are checked against), then the SIMD lanes. The plug-in reads the choice when an instance is
// made.
std::vector<std::string> benchPaths() {
  std::vector<std::string> paths = {"scalar", "sse2"};
  if (__builtin_cpu_supports("avx2")) paths.push_back("avx2");
  return paths;
}

void runBench(const vhost::Bundle& bundle, const RenderOptions& options, std::ostream& out,
              double measureSeconds) {
  vhost::ProcessConfig config;
  config.sampleRate = options.rate;
  config.maxBlock = options.block;
  config.use64 = options.precision == 64;
  const int64_t warmup = static_cast<int64_t>(0.25 * config.sampleRate);
  const int64_t measured = static_cast<int64_t>(measureSeconds * config.sampleRate);
  const auto line = [&out](const char* format, auto... args) {
    char text[200];
    std::snprintf(text, sizeof text, format, args...);
    out << text << std::endl;
  };
  line("case=reference voices=64 ns_per_voice_sample=%.2f", referenceNsPerVoiceSample());
  const std::vector<std::string> paths = benchPaths();
  const char* previous = std::getenv("VARNEL_VOICE_PATH");
  const std::string saved = previous ? previous : "";
  for (const BenchCase& c : benchCases()) {
    // One instance per path, made while the variable names it; measured in turns per note count
    // so that a busy moment of the machine does not fall on one path alone.
    std::vector<std::unique_ptr<vhost::PluginInstance>> plugins;
    for (const std::string& path : paths) {
      setenv("VARNEL_VOICE_PATH", path.c_str(), 1);
      plugins.push_back(std::make_unique<vhost::PluginInstance>(bundle));
    }
    for (int voices : benchVoiceCounts()) {
      for (size_t p = 0; p < paths.size(); ++p) {
        vhost::PluginInstance& plugin = *plugins[p];
        std::vector<ParamSetting> settings;
        for (const std::string& s : c.settings) settings.push_back(resolveSetting(plugin, s));
        // A fresh start silences the previous notes; the settings go with the first block.
        plugin.start(config);
        for (const ParamSetting& s : settings) plugin.setParameter(s.id, s.normalized);
        for (int i = 0; i < voices; ++i) plugin.noteOn(0, benchKey(i, voices), 100, 0);
        processFrames(plugin, warmup, config.maxBlock);
        const double t0 = threadCpuNs();
        processFrames(plugin, measured, config.maxBlock);
        const double ns = threadCpuNs() - t0;
        plugin.stop();
        const double audioNs = static_cast<double>(measured) / config.sampleRate * 1e9;
        line("case=%s path=%s voices=%d realtime=%.1f ns_per_voice_sample=%.2f", c.name.c_str(),
             paths[p].c_str(), voices, ns > 0 ? audioNs / ns : 0.0,
             ns / (static_cast<double>(measured) * voices));
      }
    }
  }
  if (previous)
    setenv("VARNEL_VOICE_PATH", saved.c_str(), 1);
  else
    unsetenv("VARNEL_VOICE_PATH");
  line("case=reference voices=64 ns_per_voice_sample=%.2f", referenceNsPerVoiceSample());
}

} // namespace vrender
