#include "store/fxb_file.h"
#include "tests/unit/plugin/engine_fixture.h"
#include "tools/bank/program_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

using enginetest::Engine;

namespace {

bool parse(const std::string& text, std::vector<ProgramText>& programs, std::string& error,
           int maxPrograms = 64) {
  static Varnel plug;
  return ParseProgramText(text, "t.txt", plug, maxPrograms, programs, error);
}

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

struct StoredProgram {
  std::string name;
  IByteChunk chunk;
};

// The built bank, loaded once: each program's name and state chunk.
const std::vector<StoredProgram>& factoryPrograms() {
  static const std::vector<StoredProgram> programs = [] {
    std::vector<StoredProgram> out;
    Varnel plug;
    if (!LoadBankFromFXB(plug, VARNEL_FACTORY_BANK)) return out;
    for (int k = 0; k < plug.NPresets(); ++k)
      out.push_back({plug.GetPresetName(k), plug.GetPreset(k).chunk});
    return out;
  }();
  return programs;
}

} // namespace

TEST(ProgramText, ReadsDisplayTextsNumbersAndComments) {
  std::vector<ProgramText> programs;
  std::string error;
  ASSERT_TRUE(parse("# comment\n\n[Init]\n[ Bass ]\r\n  K35/LP4 = 4-Pole Ladder\n"
                    "MG1 Host = 1/8\nFM Mod = on\nCutoff=0.4\nTune1 C# = -14\n"
                    "Kbd Trig = 3\nSG1 Wave = 0.85\n",
                    programs, error))
      << error;
  ASSERT_EQ(programs.size(), 2u);
  EXPECT_EQ(programs[0].name, "Init");
  EXPECT_TRUE(programs[0].settings.empty());
  EXPECT_EQ(programs[1].name, "Bass");
  EXPECT_EQ(programs[1].line, 4);
  const std::vector<std::pair<int, double>> expected = {
      {kK35Lp4, 1},       {kMg1Host, 13}, {kFmMod, 1},     {kCutoff, 0.4},
      {kTune1C + 1, -14}, {kKbdTrig, 3},  {kSg1Wave, 0.85}};
  ASSERT_EQ(programs[1].settings.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(programs[1].settings[i].param, expected[i].first) << i;
    EXPECT_DOUBLE_EQ(programs[1].settings[i].value, expected[i].second) << i;
  }
}

TEST(ProgramText, RefusesBadLinesWithFileAndLine) {
  const struct {
    const char* text;
    const char* error;
  } cases[] = {
      {"[A]\nCutof = 0.5\n", "t.txt:2: unknown parameter \"Cutof\""},
      {"[A]\nFM Mod = maybe\n", "t.txt:2: bad value for \"FM Mod\""},
      {"[A]\nCutoff = 0.5x\n", "t.txt:2: bad value for \"Cutoff\""},
      {"[A]\nCutoff = \n", "t.txt:2: bad value for \"Cutoff\""},
      {"[A]\nCutoff = 1.5\n", "t.txt:2: bad value for \"Cutoff\": 1.5 is outside 0 .. 1"},
      {"[A]\nCutoff = nan\n", "t.txt:2: bad value for \"Cutoff\""},
      {"[A]\nPB Range = 2.5\n", "t.txt:2: bad value for \"PB Range\": 2.5 is not a whole"},
      {"[A]\nPeak = 0.1\n# c\nPeak = 0.2\n", "t.txt:4: \"Peak\" is set twice in [A]"},
      {"Peak = 0.1\n", "t.txt:1: a parameter line before the first [Name]"},
      {"[A]\nPeak 0.1\n", "t.txt:2: expected"},
      {"[A\n", "t.txt:1: a program header"},
      {"[]\n", "t.txt:1: empty program name"},
      {"[A Name Far Longer Than 24 Chars]\n", "t.txt:1: program name"},
      {"[A]\n[B]\n[C]\n", "t.txt:3: more than 2 programs"},
  };
  for (const auto& c : cases) {
    std::vector<ProgramText> programs;
    std::string error;
    EXPECT_FALSE(parse(c.text, programs, error, 2)) << c.text;
    EXPECT_EQ(error.rfind(c.error, 0), 0u) << c.text << " gave: " << error;
  }
}

TEST(ProgramText, DuplicateInAnotherProgramIsFine) {
  std::vector<ProgramText> programs;
  std::string error;
  EXPECT_TRUE(parse("[A]\nPeak = 0.1\n[B]\nPeak = 0.2\n", programs, error)) << error;
}

TEST(ProgramText, StoredProgramStartsFromDefaultsAndCarriesItsName) {
  std::vector<ProgramText> programs;
  std::string error;
  ASSERT_TRUE(parse("[Bright]\nCutoff = 0.3\n", programs, error)) << error;
  Varnel plug;
  plug.GetParam(kPeak)->SetValue(0.9);
  ASSERT_TRUE(StoreProgram(plug, 5, programs[0]));
  EXPECT_EQ(plug.GetCurrentPresetIdx(), 5);
  EXPECT_EQ(plug.GetPresetName(5), "Bright");

  plug.GetParam(kCutoff)->SetValue(1.0);
  ASSERT_TRUE(plug.RestorePreset(5));
  EXPECT_EQ(plug.GetParam(kCutoff)->GetValue(), 0.3);
  EXPECT_EQ(plug.GetParam(kPeak)->GetValue(), 0.0);
}

TEST(FactoryBank, Holds64NamedProgramsWithInitAtTheDefaults) {
  Varnel plug;
  ASSERT_TRUE(LoadBankFromFXB(plug, VARNEL_FACTORY_BANK));
  std::set<std::string> names;
  for (int k = 0; k < 64; ++k) {
    EXPECT_TRUE(plug.GetPreset(k).initialized) << k;
    const std::string name = plug.GetPresetName(k);
    EXPECT_FALSE(name.empty()) << k;
    EXPECT_LE(name.size(), static_cast<size_t>(kMaxProgramNameLength)) << k;
    EXPECT_TRUE(names.insert(name).second) << "duplicate name " << name;
  }
  EXPECT_EQ(plug.GetPresetName(0), "Init");
  ASSERT_TRUE(plug.RestorePreset(0));
  for (int i = 0; i < plug.NParams(); ++i)
    EXPECT_EQ(plug.GetParam(i)->GetValue(), plug.GetParam(i)->GetDefault())
        << plug.GetParam(i)->GetName();
}

// The bank in the bundle is the text in the sources, program by program.
TEST(FactoryBank, MatchesItsProgramText) {
  std::vector<ProgramText> programs;
  std::string error;
  Varnel fromText;
  ASSERT_TRUE(ParseProgramText(readFile(VARNEL_FACTORY_PROGRAMS), "factory_programs.txt", fromText,
                               64, programs, error))
      << error;
  ASSERT_EQ(programs.size(), 64u);
  Varnel bank;
  ASSERT_TRUE(LoadBankFromFXB(bank, VARNEL_FACTORY_BANK));
  for (int k = 0; k < 64; ++k) {
    ApplyProgram(fromText, programs[static_cast<size_t>(k)]);
    ASSERT_TRUE(bank.RestorePreset(k));
    EXPECT_EQ(bank.GetPresetName(k), programs[static_cast<size_t>(k)].name);
    for (int i = 0; i < bank.NParams(); ++i)
      EXPECT_EQ(bank.GetParam(i)->GetValue(), fromText.GetParam(i)->GetValue())
          << programs[static_cast<size_t>(k)].name << ": " << bank.GetParam(i)->GetName();
  }
}

// A C major chord at velocity 100 in every program: it sounds, stays finite, never clips, and
// no program is far louder or quieter than the others.
TEST(FactoryBank, EveryProgramSoundsWithoutClipping) {
  const std::vector<StoredProgram>& programs = factoryPrograms();
  ASSERT_EQ(programs.size(), 64u);
  constexpr int kHeld = 22050, kRelease = 11025; // 0.5 s held, 0.25 s released
  constexpr int kWindow = 4410;                  // loudness over the loudest 100 ms
  for (int k = 0; k < 64; ++k) {
    Engine engine(44100.0, 512);
    const StoredProgram& program = programs[static_cast<size_t>(k)];
    const std::string& name = program.name;
    ASSERT_GE(engine->UnserializeState(program.chunk, 0), 0) << name;
    for (int key : {60, 64, 67}) engine.send(enginetest::noteOn(key, 100));
    enginetest::Render r = engine.render(kHeld);
    for (int key : {60, 64, 67}) engine.send(enginetest::noteOff(key));
    const enginetest::Render tail = engine.render(kRelease);
    r.left.insert(r.left.end(), tail.left.begin(), tail.left.end());
    r.right.insert(r.right.end(), tail.right.begin(), tail.right.end());

    ASSERT_TRUE(enginetest::allFinite(r.left.data(), static_cast<int>(r.left.size())) &&
                enginetest::allFinite(r.right.data(), static_cast<int>(r.right.size())))
        << name;
    double peak = 0.0, loudest = 0.0;
    for (size_t i = 0; i < r.left.size(); ++i)
      peak = std::max({peak, std::fabs(r.left[i]), std::fabs(r.right[i])});
    for (size_t start = 0; start + kWindow <= static_cast<size_t>(kHeld); start += kWindow / 2) {
      double energy = 0.0;
      for (size_t i = start; i < start + kWindow; ++i)
        energy += r.left[i] * r.left[i] + r.right[i] * r.right[i];
      loudest = std::max(loudest, std::sqrt(energy / (2.0 * kWindow)));
    }
    const double peakDb = 20.0 * std::log10(peak);
    const double loudDb = 20.0 * std::log10(loudest);
    EXPECT_GT(peakDb, -40.0) << name;
    EXPECT_LT(peak, 1.0) << name;
    EXPECT_GT(loudDb, -28.0) << name;
    EXPECT_LT(loudDb, -8.0) << name;
  }
}
