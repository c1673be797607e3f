// Renders of every factory program, the demo and a few engine patches, compared bit for bit with
// checksums recorded before the engine was last restructured. A speed-up must not change a sound:
// any difference here is a fault unless the sound was meant to change (then record again with
// VARNEL_RECORD_GOLDEN=1 and say why in the commit).
#include "dsp/mg.h"
#include "dsp/voice_lanes.h"
#include "store/fxb_file.h"
#include "tests/unit/plugin/engine_fixture.h"
#include "tools/render/demo_phrase.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

using namespace enginetest;

namespace {

#if defined(__SANITIZE_ADDRESS__)
// Instrumented code is many times slower: one rate and block size there, every one here.
constexpr double kRates[] = {48000.0};
constexpr int kBlocks[] = {64};
#else
constexpr double kRates[] = {44100.0, 48000.0, 96000.0};
constexpr int kBlocks[] = {1, 64, 512};
#endif

std::vector<uint8_t> readBank() {
  std::ifstream in(VARNEL_FACTORY_BANK, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)),
                              std::istreambuf_iterator<char>());
}

// FNV-1a over the bit patterns of both channels.
uint64_t checksum(const Render& r) {
  uint64_t h = 1469598103934665603ull;
  const auto add = [&h](const std::vector<double>& x) {
    for (double v : x) {
      uint64_t bits;
      std::memcpy(&bits, &v, sizeof bits);
      for (int b = 0; b < 8; ++b) {
        h ^= (bits >> (8 * b)) & 0xFF;
        h *= 1099511628211ull;
      }
    }
  };
  add(r.left);
  add(r.right);
  return h;
}

// Plays score into the engine in host blocks, each event at its frame within the block.
Render play(Engine& e, const vrender::Score& score, int64_t frames, int block) {
  Render out;
  out.left.reserve(static_cast<size_t>(frames));
  out.right.reserve(static_cast<size_t>(frames));
  size_t next = 0;
  for (int64_t start = 0; start < frames; start += block) {
    const int n = static_cast<int>(std::min<int64_t>(block, frames - start));
    for (; next < score.events.size() && score.events[next].frame < start + n; ++next) {
      const vrender::ScoreEvent& ev = score.events[next];
      const int offset = static_cast<int>(ev.frame - start);
      using Kind = vrender::ScoreEvent::Kind;
      if (ev.kind == Kind::NoteOn)
        e.send(noteOn(ev.data1, ev.data2, offset));
      else if (ev.kind == Kind::NoteOff)
        e.send(noteOff(ev.data1, offset));
      else if (ev.kind == Kind::Controller)
        e.send(controller(ev.data1, ev.data2, offset));
      else if (ev.kind == Kind::PitchBend)
        e.send(pitchBend(ev.data2, offset));
    }
    e.block(n, &out);
  }
  return out;
}

enum class Phrase {
  kDemo,     // the whole demo phrase
  kFirstBar, // its first bar at double speed
  kCrowd,    // more notes than voices: stealing, and the voice list after releases
};

struct Case {
  std::string name;
  std::function<void(Engine&)> patch;
  Phrase phrase;
};

void heavyPatch(Engine& e) {
  e.set(kSg1Wave, 0.45);
  e.set(kSg2Wave, 0.25);
  e.set(kK35Lp4, 1);
  e.set(kFcMod, 1);
  e.set(kFcMg1, 0.3);
  e.set(kMg1Freq, 200);
  e.set(kRsInt, 0.5);
  for (int band = kEq8k; band <= kEq125; ++band) e.set(band, 6);
  e.set(kEnsembl, 0.5);
}

// Noise-driven pitch and cutoff modulation, both pulse forms and the generator split.
void modulatedPatch(Engine& e) {
  e.set(kShIn, 9); // "Rnd"
  e.set(kShFreq, 10);
  e.set(kFmMod, 1);
  e.set(kFmShMg, 40);
  e.set(kShMg1, 0.5);
  e.set(kSg1Wave, 0.8);
  e.set(kSg2Wave, 0.1);
  e.set(kFcMod, 1);
  e.set(kFcMg1, -0.4);
  e.set(kPeak, 0.9);
}

std::vector<Case> cases(const std::vector<uint8_t>& bank) {
  std::vector<Case> out;
  Varnel probe;
  if (!LoadBankFromFXBData(probe, bank.data(), bank.size())) return out;
  for (int k = 0; k < probe.NPresets(); ++k) {
    out.push_back({"program" + std::to_string(k),
                   [&bank, k](Engine& e) {
                     LoadBankFromFXBData(*e, bank.data(), bank.size());
                     e->RestorePreset(k);
                   },
                   Phrase::kFirstBar});
  }
  // The demo as `make run` plays it.
  int strings = -1;
  for (int k = 0; k < probe.NPresets(); ++k)
    if (probe.GetPresetName(k) == "String Machine") strings = k;
  out.push_back({"demo",
                 [&bank, strings](Engine& e) {
                   LoadBankFromFXBData(*e, bank.data(), bank.size());
                   e->RestorePreset(strings);
                   e.set(kFinal, 0.18);
                 },
                 Phrase::kDemo});
  out.push_back({"default", [](Engine&) {}, Phrase::kFirstBar});
  out.push_back({"heavy", heavyPatch, Phrase::kFirstBar});
  out.push_back({"modulated", modulatedPatch, Phrase::kFirstBar});
  out.push_back({"crowd", [](Engine& e) { e.set(kEmRel, 0.3); }, Phrase::kCrowd});
  out.push_back({"crowd-heavy", heavyPatch, Phrase::kCrowd});
  return out;
}

uint64_t renderCase(const Case& c, double rate, int block) {
  MG::seedNoise(12345);
  Engine e(rate, block);
  c.patch(e);
  vrender::Score score = vrender::demoPhrase(rate, c.phrase == Phrase::kDemo ? 120.0 : 240.0);
  int64_t frames = score.endFrame;
  if (c.phrase == Phrase::kCrowd) {
    // 80 keys struck one after another, every third released early, then all released.
    score.events.clear();
    const auto at = [rate](double seconds) { return static_cast<int64_t>(seconds * rate); };
    using Kind = vrender::ScoreEvent::Kind;
    for (int i = 0; i < 80; ++i) {
      const int k = 24 + (i * 37) % 80;
      score.events.push_back({at(0.01 * i), Kind::NoteOn, 0, k, 40 + i});
      if (i % 3 == 0) score.events.push_back({at(0.01 * i + 0.3), Kind::NoteOff, 0, k, 0});
    }
    for (int i = 0; i < 80; ++i)
      score.events.push_back({at(1.2), Kind::NoteOff, 0, 24 + (i * 37) % 80, 0});
    vrender::finishScore(score);
    frames = at(1.6);
  } else if (c.phrase == Phrase::kFirstBar) {
    // The first bar (one second) and a quarter of a second of release.
    const auto bar = static_cast<int64_t>(rate);
    std::vector<vrender::ScoreEvent> first;
    for (const auto& ev : score.events)
      if (ev.frame < bar) first.push_back(ev);
    score.events = first;
    frames = bar + bar / 4;
  }
  return checksum(play(e, score, frames, block));
}

std::string key(const std::string& name, double rate, int block) {
  return name + " " + std::to_string(static_cast<int>(rate)) + " " + std::to_string(block);
}

std::map<std::string, uint64_t> readGolden() {
  std::map<std::string, uint64_t> out;
  std::ifstream in(VARNEL_GOLDEN_RENDERS);
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream s(line);
    std::string name, hex;
    int rate = 0, block = 0;
    if (s >> name >> rate >> block >> hex)
      out[key(name, rate, block)] = std::stoull(hex, nullptr, 16);
  }
  return out;
}

// Every case at every rate and block size on the given voice path; returns "key hash" lines.
std::vector<std::string> renderAll(VoiceLanes::Path path) {
  VoiceLanes::forcePath(path);
  const std::vector<uint8_t> bank = readBank();
  std::vector<std::string> lines;
  for (const Case& c : cases(bank)) {
    for (double rate : kRates) {
      for (int block : kBlocks) {
        char hex[32];
        std::snprintf(hex, sizeof hex, "%016llx",
                      static_cast<unsigned long long>(renderCase(c, rate, block)));
        lines.push_back(key(c.name, rate, block) + " " + hex);
      }
    }
  }
  VoiceLanes::forcePath(VoiceLanes::bestPath());
  return lines;
}

void compareWithGolden(VoiceLanes::Path path) {
  const std::vector<std::string> lines = renderAll(path);
  ASSERT_EQ(lines.size(), (64u + 6u) * std::size(kRates) * std::size(kBlocks))
      << "factory bank missing: " << VARNEL_FACTORY_BANK;
  if (std::getenv("VARNEL_RECORD_GOLDEN")) {
    std::ofstream out(VARNEL_GOLDEN_RENDERS);
    for (const std::string& l : lines) out << l << "\n";
    GTEST_SKIP() << "recorded " << VARNEL_GOLDEN_RENDERS;
  }
  const std::map<std::string, uint64_t> golden = readGolden();
  ASSERT_FALSE(golden.empty()) << "no checksums in " << VARNEL_GOLDEN_RENDERS;
  int differing = 0;
  for (const std::string& l : lines) {
    const size_t split = l.rfind(' ');
    const std::string k = l.substr(0, split);
    const uint64_t h = std::stoull(l.substr(split + 1), nullptr, 16);
    const auto it = golden.find(k);
    if (it == golden.end() || it->second != h) {
      if (++differing <= 20) ADD_FAILURE() << "render differs: " << k;
    }
  }
  EXPECT_EQ(differing, 0);
}

} // namespace

TEST(GoldenRender, ScalarVoicesMatchRecordedChecksums) {
  compareWithGolden(VoiceLanes::Path::kScalar);
}

TEST(GoldenRender, TwoLaneVoicesMatchRecordedChecksums) {
  compareWithGolden(VoiceLanes::Path::kSse2);
}

TEST(GoldenRender, FourLaneVoicesMatchRecordedChecksums) {
  if (!VoiceLanes::isSupported(VoiceLanes::Path::kAvx2)) GTEST_SKIP() << "no AVX2 on this CPU";
  compareWithGolden(VoiceLanes::Path::kAvx2);
}
