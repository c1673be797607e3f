#include "tools/render/bench.h"

#include <chrono>
#include <cstdio>
#include <ostream>

#include "tools/host/plugin_instance.h"
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

void runBench(const vhost::Bundle& bundle, const RenderOptions& options, std::ostream& out,
              double measureSeconds) {
  vhost::ProcessConfig config;
  config.sampleRate = options.rate;
  config.maxBlock = options.block;
  config.use64 = options.precision == 64;
  const int64_t warmup = static_cast<int64_t>(0.25 * config.sampleRate);
  const int64_t measured = static_cast<int64_t>(measureSeconds * config.sampleRate);
  for (const BenchCase& c : benchCases()) {
    vhost::PluginInstance plugin(bundle);
    std::vector<ParamSetting> settings;
    for (const std::string& s : c.settings) settings.push_back(resolveSetting(plugin, s));
    for (int voices : benchVoiceCounts()) {
      // A fresh start silences the previous notes; the settings go with the first block.
      plugin.start(config);
      for (const ParamSetting& s : settings) plugin.setParameter(s.id, s.normalized);
      for (int i = 0; i < voices; ++i) plugin.noteOn(0, benchKey(i, voices), 100, 0);
      processFrames(plugin, warmup, config.maxBlock);
      const auto t0 = std::chrono::steady_clock::now();
      processFrames(plugin, measured, config.maxBlock);
      const auto t1 = std::chrono::steady_clock::now();
      plugin.stop();
      const double ns = std::chrono::duration<double, std::nano>(t1 - t0).count();
      const double audioNs = static_cast<double>(measured) / config.sampleRate * 1e9;
      char line[160];
      std::snprintf(line, sizeof line, "case=%s voices=%d realtime=%.1f ns_per_voice_sample=%.2f",
                    c.name.c_str(), voices, ns > 0 ? audioNs / ns : 0.0,
                    ns / (static_cast<double>(measured) * voices));
      out << line << std::endl;
    }
  }
}

} // namespace vrender
