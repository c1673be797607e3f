#pragma once
// The built-in demo: about twenty seconds of chords over a bass line, with sustain pedal,
// modulation wheel and pitch bend, so one render shows what a sound does.
#include "tools/render/score.h"

namespace vrender {

Score demoPhrase(double sampleRate, double tempo = 120.0);

} // namespace vrender
