#include "tools/render/render_app.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <ostream>

#include "tools/host/bundle.h"
#include "tools/host/host_error.h"
#include "tools/host/plugin_instance.h"
#include "tools/render/bench.h"
#include "tools/render/command_line.h"
#include "tools/render/demo_phrase.h"
#include "tools/render/fx_files.h"
#include "tools/render/info_print.h"
#include "tools/render/midi_file.h"
#include "tools/render/param_setting.h"
#include "tools/render/program_select.h"
#include "tools/render/progress_bar.h"
#include "tools/render/render_picture.h"
#include "tools/render/renderer.h"
#include "tools/render/wav_writer.h"

namespace vrender {

namespace {

constexpr double kProgressAfterSeconds = 3.0;

void chooseSound(const vhost::Bundle& bundle, vhost::PluginInstance& plugin, const RenderOptions& o,
                 std::ostream& out) {
  const FxIdentity id = identityOf(plugin);
  if (!o.program.empty() || !o.fxb.empty()) {
    const std::string bankPath = o.fxb.empty() ? bundle.resourcesPath() + "/init.fxb" : o.fxb;
    if (o.fxb.empty() && !std::ifstream(bankPath))
      throw vhost::HostError("the bundle has no program bank (" + bankPath + ")");
    const FxBank bank = readFxb(bankPath, id);
    const int index =
        o.program.empty()
            ? pickProgram(bank,
                          std::to_string(std::max(
                              0, std::min<int>(bank.currentProgram,
                                               static_cast<int>(bank.programs.size()) - 1))),
                          bankPath)
            : pickProgram(bank, o.program, bankPath);
    const FxProgram& p = bank.programs[static_cast<size_t>(index)];
    applyProgram(plugin, p, index, bankPath);
    out << "program " << index << " " << p.name << "\n";
  }
  if (!o.fxp.empty()) {
    const FxProgram p = readFxp(o.fxp, id);
    applyProgram(plugin, p, -1, o.fxp);
    out << "program file " << o.fxp << " (" << p.name << ")\n";
  }
}

std::string dbText(double peak) {
  char text[48];
  if (peak <= 0.0)
    std::snprintf(text, sizeof text, "-inf dBFS");
  else
    std::snprintf(text, sizeof text, "%.1f dBFS", 20.0 * std::log10(peak));
  return text;
}

} // namespace

int runRender(const RenderOptions& o, std::ostream& out, std::ostream& err) {
  try {
    const auto bundle = vhost::Bundle::load(o.bundle);
    if (o.bench) {
      runBench(*bundle, o, out);
      return 0;
    }
    vhost::PluginInstance plugin(*bundle);
    if (o.info || o.listPrograms) {
      if (o.info) printInfo(*bundle, plugin, out);
      if (o.listPrograms) printPrograms(plugin, out);
      return 0;
    }

    // The sound first (as a DAW restores a project), then processing, then the settings,
    // which reach the processor with the first block.
    chooseSound(*bundle, plugin, o, out);
    std::vector<ParamSetting> settings;
    for (const std::string& s : o.sets) settings.push_back(resolveSetting(plugin, s));
    vhost::ProcessConfig config;
    config.sampleRate = o.rate;
    config.maxBlock = o.block;
    config.use64 = o.precision == 64;
    plugin.start(config);
    for (const ParamSetting& s : settings) plugin.setParameter(s.id, s.normalized);

    if (!o.saveFxp.empty()) {
      plugin.process(0); // hand pending parameter changes over before the state is taken
      saveProgram(plugin, o.saveFxp);
      out << "saved " << o.saveFxp << "\n";
    }
    if (!o.wantsRender()) return 0;

    Score score = o.midi.empty() ? demoPhrase(o.rate, o.tempo) : readMidiFile(o.midi, o.rate);
    if (o.tempoGiven || o.midi.empty()) score.tempo = o.tempo;
    plugin.transport().setTempo(score.tempo);
    plugin.transport().setPlaying(true);
    plugin.transport().locate(0);

    RenderSettings rs;
    rs.block = o.block;
    rs.tailSeconds = o.tail;
    const double expected = (score.endFrame + o.tail * o.rate) / o.rate;
    ProgressBar bar("rendering",
                    o.progress && stderrIsTerminal() && expected > kProgressAfterSeconds);
    const Rendered audio = renderScore(plugin, score, rs, [&bar](double f) { bar.update(f); });
    bar.finish();
    plugin.stop();

    if (!o.out.empty()) writeWav(o.out, audio);
    if (!o.png.empty()) {
      char title[160];
      std::snprintf(title, sizeof title, "%s  |  %.1f s at %g Hz  |  peak %s",
                    plugin.classInfo().name.c_str(), audio.frames() / o.rate, o.rate,
                    dbText(audio.peak).c_str());
      writePicture(o.png, audio, title);
    }
    char summary[200];
    std::snprintf(summary, sizeof summary, "rendered %.2f s at %g Hz, peak %s%s%s",
                  audio.frames() / o.rate, o.rate, dbText(audio.peak).c_str(),
                  o.out.empty() ? "" : " -> ", o.out.c_str());
    out << summary << "\n";
    if (!audio.finite)
      out << "warning: the render contains NaN or infinite samples\n";
    else if (audio.peak == 0.0)
      out << "note: the render is silent\n";
    return 0;
  } catch (const vhost::HostError& e) {
    err << "varnel-render: error: " << e.what() << "\n";
    return 1;
  } catch (const std::exception& e) {
    err << "varnel-render: error: " << e.what() << "\n";
    return 1;
  }
}

int renderMain(int argc, const char* const* argv, std::ostream& out, std::ostream& err) {
  RenderOptions options;
  if (const auto status = parseCommandLine(argc, argv, options, out, err)) return *status;
  return runRender(options, out, err);
}

} // namespace vrender
