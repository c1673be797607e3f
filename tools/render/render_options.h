#pragma once
// Everything the varnel-render command line can ask for.
#include <string>
#include <vector>

namespace vrender {

struct RenderOptions {
  std::string bundle; // empty: ~/.vst3/Varnel.vst3
  std::string midi;
  bool demo = false;
  std::string out, png;
  double rate = 48000.0;
  int block = 512;
  int precision = 32;
  double tempo = 120.0;
  bool tempoGiven = false;
  double tail = 10.0;
  std::string program, fxp, fxb, saveFxp;
  std::vector<std::string> sets;
  bool info = false, listPrograms = false, bench = false;
  bool progress = true; // a bar on stderr when it is a terminal and the render is long

  // Something is played when a source or an output is named.
  bool wantsRender() const { return demo || !midi.empty() || !out.empty() || !png.empty(); }
};

std::string defaultBundlePath();

} // namespace vrender
