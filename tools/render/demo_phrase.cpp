#include "tools/render/demo_phrase.h"

#include <cmath>

namespace vrender {

namespace {

// Written in beats; ten bars of 4/4 last 20 seconds at 120 BPM.
class PhraseWriter {
public:
  PhraseWriter(Score& score, double sampleRate, double tempo)
      : score_(score), framesPerBeat_(sampleRate * 60.0 / tempo) {}

  void note(double beat, double length, int key, int velocity) {
    add(beat, ScoreEvent::Kind::NoteOn, key, velocity);
    add(beat + length, ScoreEvent::Kind::NoteOff, key, 0);
  }
  void chord(double beat, double length, std::initializer_list<int> keys, int velocity) {
    int v = velocity;
    for (int k : keys) note(beat, length, k, v--); // a hand never strikes every key equally
  }
  void controller(double beat, int number, int value) {
    add(beat, ScoreEvent::Kind::Controller, number, value);
  }
  void bend(double beat, int value14) { add(beat, ScoreEvent::Kind::PitchBend, 0, value14); }
  // A straight ramp of a controller (or of the bend when number < 0), one step per 1/16 beat.
  void ramp(double from, double to, int number, int v0, int v1) {
    const int steps = static_cast<int>((to - from) * 16.0);
    for (int i = 0; i <= steps; ++i) {
      const double t = steps == 0 ? 1.0 : static_cast<double>(i) / steps;
      const int v = static_cast<int>(std::lround(v0 + (v1 - v0) * t));
      if (number < 0)
        bend(from + (to - from) * t, v);
      else
        controller(from + (to - from) * t, number, v);
    }
  }

private:
  void add(double beat, ScoreEvent::Kind kind, int d1, int d2) {
    ScoreEvent e;
    e.frame = static_cast<int64_t>(std::llround(beat * framesPerBeat_));
    e.kind = kind;
    e.data1 = d1;
    e.data2 = d2;
    score_.events.push_back(e);
  }

  Score& score_;
  double framesPerBeat_;
};

constexpr int kBendCentre = 8192;
constexpr int kSustain = 64;
constexpr int kModWheel = 1;

} // namespace

Score demoPhrase(double sampleRate, double tempo) {
  Score score;
  score.tempo = tempo;
  PhraseWriter w(score, sampleRate, tempo);

  // A minor: Am F C G | Am F Dm E, then a held Am with a bend into its last bass note.
  const std::initializer_list<int> chords[8] = {
      {57, 60, 64, 69}, {57, 60, 65, 69}, {55, 60, 64, 67}, {55, 59, 62, 67},
      {57, 60, 64, 72}, {57, 60, 65, 72}, {57, 62, 65, 69}, {56, 59, 64, 68}};
  const int roots[8] = {33, 29, 36, 31, 33, 29, 26, 28};

  w.bend(0.0, kBendCentre);
  w.controller(0.0, kModWheel, 0);
  for (int bar = 0; bar < 8; ++bar) {
    const double b = bar * 4.0;
    // Pedal changes just after each new chord, as a pianist does.
    w.controller(b + 0.05, kSustain, 127);
    w.chord(b, 1.5, chords[bar], 92);
    w.chord(b + 2.5, 0.5, chords[bar], 70);
    w.controller(b + 3.9, kSustain, 0);
    const int r = roots[bar];
    w.note(b, 0.9, r, 110);
    w.note(b + 1.0, 0.4, r + 12, 80);
    w.note(b + 1.5, 0.9, r, 96);
    w.note(b + 2.5, 0.4, r + 7, 84);
    w.note(b + 3.0, 0.9, r + 12, 100);
  }
  // Vibrato from the wheel through bars 5 and 6, back to none by bar 8.
  w.ramp(16.0, 23.0, kModWheel, 0, 100);
  w.ramp(24.0, 31.0, kModWheel, 100, 0);
  // A dip and return on the bass in bar 4, and a whole-tone scoop at the end.
  w.ramp(15.0, 15.5, -1, kBendCentre, 4096);
  w.ramp(15.5, 16.0, -1, 4096, kBendCentre);

  // Bars 9 and 10: the held tonic, the bend rising into the last note.
  w.controller(32.05, kSustain, 127);
  w.chord(32.0, 6.0, {57, 60, 64, 69, 76}, 88);
  w.note(32.0, 3.0, 33, 108);
  w.ramp(34.0, 35.0, -1, kBendCentre, 16383);
  w.note(35.0, 3.0, 45, 96);
  w.ramp(36.0, 37.0, -1, 16383, kBendCentre);
  w.controller(38.0, kSustain, 0);
  finishScore(score);
  score.endFrame = static_cast<int64_t>(std::llround(40.0 * sampleRate * 60.0 / tempo));
  return score;
}

} // namespace vrender
