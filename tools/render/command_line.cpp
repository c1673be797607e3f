#include "tools/render/command_line.h"

#include <CLI/CLI.hpp>

#include <cstdlib>
#include <ostream>
#include <sstream>

namespace vrender {

std::string defaultBundlePath() {
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.vst3/Varnel.vst3";
}

namespace {

std::string checkRanges(const RenderOptions& o) {
  std::ostringstream s;
  // Every rate the plug-in accepts, so that any render can be reproduced here.
  if (!(o.rate >= 1000.0 && o.rate <= 1000000.0))
    s << "sample rate " << o.rate << " Hz is not supported (use 1000 to 1000000)";
  else if (o.block < 1 || o.block > 8192)
    s << "block size " << o.block << " is not supported (use 1 to 8192 frames)";
  else if (o.precision != 32 && o.precision != 64)
    s << "precision " << o.precision << " is not supported (use 32 or 64)";
  else if (!(o.tempo >= 10.0 && o.tempo <= 1000.0))
    s << "tempo " << o.tempo << " BPM is not supported (use 10 to 1000)";
  else if (!(o.tail >= 0.0 && o.tail <= 3600.0))
    s << "tail " << o.tail << " s is not supported (use 0 to 3600 seconds)";
  else if (o.demo && !o.midi.empty())
    s << "--demo and --midi exclude each other";
  else if (!o.fxp.empty() && (!o.program.empty() || !o.fxb.empty()))
    s << "--fxp replaces the program; it cannot be combined with --program or --fxb";
  return s.str();
}

} // namespace

std::optional<int> parseCommandLine(int argc, const char* const* argv, RenderOptions& o,
                                    std::ostream& out, std::ostream& err) {
  CLI::App app{"varnel-render: plays a MIDI file or a demo phrase through a VST3 instrument "
               "and writes a WAV file (and a PNG picture of it)",
               "varnel-render"};
  app.add_option("BUNDLE", o.bundle, "the .vst3 bundle (default ~/.vst3/Varnel.vst3)");
  app.add_option("--midi", o.midi, "Standard MIDI File to play")->type_name("FILE.mid");
  app.add_flag("--demo", o.demo, "play the built-in demo phrase (about 20 seconds)");
  app.add_option("--out", o.out, "write the render as 32-bit float stereo WAV")
      ->type_name("FILE.wav");
  app.add_option("--png", o.png, "write a picture of the render (waveform and spectrogram)")
      ->type_name("FILE.png");
  app.add_option("--rate", o.rate, "sample rate, 1000 to 1000000 (default 48000)")->type_name("HZ");
  app.add_option("--block", o.block, "frames per block, 1 to 8192 (default 512)")
      ->type_name("FRAMES");
  app.add_option("--precision", o.precision, "32 or 64-bit processing (default 32)")
      ->type_name("32|64");
  auto* tempo =
      app.add_option("--tempo", o.tempo, "transport tempo (default 120, or the MIDI file's tempo)")
          ->type_name("BPM");
  app.add_option("--tail", o.tail,
                 "after the music, render until silence but at most this long; 0 stops at the "
                 "end (default 10)")
      ->type_name("SECONDS");
  app.add_option("--program", o.program,
                 "program number or name from the bundle's init.fxb (or from --fxb)")
      ->type_name("N|NAME");
  app.add_option("--fxp", o.fxp, "load a program file")->type_name("FILE");
  app.add_option("--fxb", o.fxb, "take the program from this bank file")->type_name("FILE");
  app.add_option("--save-fxp", o.saveFxp, "save the program as played to an FXP file")
      ->type_name("FILE");
  app.add_option("--set", o.sets,
                 "set a parameter: \"NAME=VALUE\" with a display text (\"4-Pole Ladder\", \"on\") "
                 "or a number for the plain value; repeatable")
      ->type_name("\"NAME=VALUE\"");
  app.add_flag("--info", o.info, "print class information and one line per parameter");
  app.add_flag("--list-programs", o.listPrograms, "print one line per program");
  app.add_flag("--bench", o.bench, "measure the cost of 1 to 64 held notes");
  app.footer(
      "Examples:\n  varnel-render --demo --out demo.wav --png demo.png\n"
      "  varnel-render build/release/Varnel.vst3 --midi song.mid --program 5 --out song.wav\n"
      "  varnel-render --info");
  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp&) {
    out << app.help();
    return 0;
  } catch (const CLI::CallForAllHelp&) {
    out << app.help("", CLI::AppFormatMode::All);
    return 0;
  } catch (const CLI::ParseError& e) {
    err << "varnel-render: " << e.what() << " (see --help)\n";
    return 2;
  }
  o.tempoGiven = tempo->count() > 0;
  const std::string problem = checkRanges(o);
  if (!problem.empty()) {
    err << "varnel-render: " << problem << "\n";
    return 2;
  }
  if (o.bundle.empty()) o.bundle = defaultBundlePath();
  return std::nullopt;
}

} // namespace vrender
