#include "store/scala_file.h"
#include "store/tuning_presets.h"
#include "tests/unit/file_size_limit.h"
#include "tests/unit/store/temp_home_test.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

double Cents(double c) {
  return std::pow(2.0, c / 1200.0);
}

ScalaScale ReadFromText(const std::string& text, bool* ok = nullptr) {
  ScalaScaleFile file(text.data(), text.size());
  ScalaScale scale;
  const bool result = ReadScalaScale(file, scale);
  if (ok) *ok = result;
  return scale;
}

double PitchOfLine(const std::string& line) {
  const std::string text = "desc\n1\n" + line + "\n";
  bool ok = false;
  const ScalaScale scale = ReadFromText(text, &ok);
  EXPECT_TRUE(ok);
  return scale.ratios[0];
}

std::string WithLineEnds(std::string text, const std::string& ending) {
  std::string out;
  for (char c : text) {
    if (c == '\n') {
      out += ending;
    } else {
      out += c;
    }
  }
  return out;
}

using ScalaFileTest = TempHomeTest;

TEST(ScalaPitch, PitchForms) {
  struct Case {
    const char* line;
    double ratio;
  } cases[] = {
      {"3/2", 1.5},
      {"1.5", Cents(1.5)},
      {"701.955", Cents(701.955)},
      {"2", 2.0},
      {"-50.0", Cents(-50.0)},
      {"700.0 a trailing remark", Cents(700.0)},
      {" \t 700.0\tremark", Cents(700.0)},
      {"word.", 1.0}, // a point makes it cents, and no number reads as 0 cents
      {"5/4 ratio", 1.25},
      {"0/1", 0.0},
      {"-3/2", 0.0},
      {"3/0", 0.0},
      {"word", 0.0},
      {"", 0.0},
      {"1e999.", 0.0},                                   // no finite pitch
      {"700.000000000000000000000000000", Cents(700.0)}, // 31 characters
      {"700.0000000000000000000000000000", 0.0},         // 32 characters
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(PitchOfLine(c.line), c.ratio) << c.line;
}

TEST(ScalaPitch, NoteCounts) {
  std::string text = "! comment\nSeven\n 7\n";
  for (int k = 1; k <= 19; ++k) text += std::to_string(100 * k + 1) + ".0\n";
  bool ok = false;
  ScalaScale scale = ReadFromText(text, &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(scale.noteCount, 7);
  EXPECT_EQ(scale.pitchCount, 7);
  for (int k = 0; k < 7; ++k) EXPECT_DOUBLE_EQ(scale.ratios[k], Cents(100 * (k + 1) + 1));
  for (int k = 7; k < 12; ++k) EXPECT_EQ(scale.ratios[k], 0.0);

  text.replace(text.find(" 7\n"), 3, "19\n");
  scale = ReadFromText(text, &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(scale.noteCount, 19);
  EXPECT_EQ(scale.pitchCount, 12);
  for (int k = 0; k < 12; ++k) EXPECT_DOUBLE_EQ(scale.ratios[k], Cents(100 * (k + 1) + 1));

  // The pitch lines after the twelfth stay unread.
  ScalaScaleFile file(text.data(), text.size());
  ASSERT_TRUE(ReadScalaScale(file, scale));
  EXPECT_DOUBLE_EQ(file.ReadPitch(), Cents(1301.0));
}

TEST(ScalaPitch, BadNoteCountsStopTheImport) {
  for (const char* count : {"0", "-3", "abc", "", "1234567890123456"}) {
    bool ok = true;
    ReadFromText(std::string("desc\n") + count + "\n100.0\n", &ok);
    EXPECT_FALSE(ok) << count;
  }
  bool ok = true;
  ReadFromText("", &ok);
  EXPECT_FALSE(ok);
  ReadFromText("! nothing but a comment\n", &ok);
  EXPECT_FALSE(ok);
  ReadFromText("desc\n", &ok);
  EXPECT_FALSE(ok);
  const ScalaScale scale = ReadFromText("desc\n123456789012345 x\n100.0\n", &ok);
  EXPECT_TRUE(ok); // 15 characters still fit
  EXPECT_EQ(scale.pitchCount, 12);
}

TEST(ScalaPitch, CommentsAndEmptyLines) {
  const std::string text = "!header\n!\n"
                           "description ! not a comment\n"
                           "4\n"
                           "100.0\n"
                           "! a comment between pitches\n"
                           "200.0\n"
                           "\n"        // empty line: an invalid pitch
                           " !400.0\n" // blank before "!": no comment; a word with a point
                           "500.0\n";
  bool ok = false;
  const ScalaScale scale = ReadFromText(text, &ok);
  ASSERT_TRUE(ok);
  EXPECT_DOUBLE_EQ(scale.ratios[0], Cents(100.0));
  EXPECT_DOUBLE_EQ(scale.ratios[1], Cents(200.0));
  EXPECT_EQ(scale.ratios[2], 0.0);
  EXPECT_EQ(scale.ratios[3], 1.0);
}

TEST(ScalaPitch, EmptyDescriptionLineDoesNotSwallowTheNoteCount) {
  bool ok = false;
  const ScalaScale scale = ReadFromText("! name.scl\n!\n\n 2\n3/2\n2/1\n", &ok);
  ASSERT_TRUE(ok);
  EXPECT_EQ(scale.noteCount, 2);
  EXPECT_DOUBLE_EQ(scale.ratios[0], 1.5);
  EXPECT_DOUBLE_EQ(scale.ratios[1], 2.0);
}

TEST(ScalaPitch, EveryLineEndFormReadsTheSame) {
  const std::string text = "! c1\n!\nTest scale\n 5\n!\n100.5\n3/2\n\n! c2\n701.955 x\n2\n";
  const ScalaScale reference = ReadFromText(text);
  ASSERT_EQ(reference.pitchCount, 5);
  for (const char* ending : {"\r\n", "\n\r", "\r"}) {
    bool ok = false;
    const ScalaScale scale = ReadFromText(WithLineEnds(text, ending), &ok);
    ASSERT_TRUE(ok);
    EXPECT_EQ(scale.noteCount, reference.noteCount);
    for (int k = 0; k < 12; ++k) EXPECT_EQ(scale.ratios[k], reference.ratios[k]) << k;
  }
  // LF LF is two lines, not one line end.
  const ScalaScale doubled = ReadFromText("d\n2\n\n\n100.0\n");
  EXPECT_EQ(doubled.ratios[0], 0.0);
  EXPECT_EQ(doubled.ratios[1], 0.0);
}

TEST(ScalaPitch, ReadValCountsLongTokens) {
  const std::string text = "abcdefgh rest\n";
  ScalaScaleFile file(text.data(), text.size());
  char buffer[8];
  EXPECT_EQ(file.ReadVal(buffer, sizeof buffer), 0); // 8 characters do not fit in 8 bytes
  EXPECT_EQ(file.SkipComments(), -1);                // the line was consumed all the same
}

TEST(ScalaExport, FormatIsExact) {
  double just[12];
  for (int k = 0; k < 12; ++k) just[k] = kMicroTuningPresets[1][k];
  const std::string text = FormatScalaExport("my.scl", just);
  EXPECT_EQ(text.substr(0, text.find(" 111")), "! my.scl\n!\nVarnel Tuning Export\n 12\n!\n");
  EXPECT_NE(text.find("\n 111.73130\n 203.91000\n"), std::string::npos);
  double hepta[12];
  for (int k = 0; k < 12; ++k) hepta[k] = kMicroTuningPresets[13][k];
  const std::string h = FormatScalaExport("h", hepta);
  EXPECT_EQ(h.substr(h.size() - 12), " 1157.00000\n");

  EXPECT_EQ(ScalaDisplayName("/a/b\\c.scl"), "c.scl");
  EXPECT_EQ(ScalaDisplayName("/a/b/c.scl"), "c.scl");
  EXPECT_EQ(ScalaDisplayName("c.scl"), "c.scl");
}

TEST_F(ScalaFileTest, ExportThenImportRestoresEveryPreset) {
  for (int preset = 0; preset < kMicroTuningPresetCount; ++preset) {
    double cents[12], deviation[12];
    for (int k = 1; k <= 12; ++k) {
      deviation[k - 1] = MicroTuningPresetDeviation(preset, k) + 0.0000031 * k; // odd fractions
      cents[k - 1] = 100.0 * k + deviation[k - 1];
    }
    const std::string path = mDir + "/preset" + std::to_string(preset) + ".scl";
    ASSERT_TRUE(WriteScalaFile(path, cents));
    ScalaScaleFile file(path.c_str());
    ScalaScale scale;
    ASSERT_TRUE(ReadScalaScale(file, scale));
    ASSERT_EQ(scale.pitchCount, 12);
    for (int k = 1; k <= 12; ++k) {
      ASSERT_GT(scale.ratios[k - 1], 0.0);
      const double back = ScalaRatioToCents(scale.ratios[k - 1]) - 100.0 * k;
      EXPECT_NEAR(back, deviation[k - 1], 0.000005) << preset << " " << k;
    }
  }
}

TEST_F(ScalaFileTest, NumbersIgnoreTheHostLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous ? previous : "C";
  bool switched = false;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "C.UTF-8"})
    if (std::setlocale(LC_NUMERIC, name)) {
      switched = true;
      break;
    }
  double cents[12];
  for (int k = 0; k < 12; ++k) cents[k] = 100.25 * (k + 1);
  const std::string text = FormatScalaExport("x", cents);
  EXPECT_NE(text.find(" 100.25000\n"), std::string::npos);
  bool ok = false;
  const ScalaScale scale = ReadFromText(text, &ok);
  std::setlocale(LC_NUMERIC, saved.c_str());
  ASSERT_TRUE(ok);
  EXPECT_DOUBLE_EQ(scale.ratios[0], Cents(100.25));
  if (!switched) GTEST_SKIP() << "no other locale installed";
}

TEST_F(ScalaFileTest, MissingOrUnwritableFiles) {
  ScalaScaleFile missing((mDir + "/none.scl").c_str());
  EXPECT_FALSE(missing.IsOpen());
  ScalaScale scale;
  EXPECT_FALSE(ReadScalaScale(missing, scale));
  double cents[12] = {};
  EXPECT_FALSE(WriteScalaFile(mDir + "/no/such/folder/x.scl", cents));

  // Neither a folder nor a FIFO counts as a readable file (a FIFO would block).
  EXPECT_FALSE(ScalaScaleFile(mDir.c_str()).IsOpen());
  const std::string fifo = mDir + "/fifo.scl";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(ScalaScaleFile(fifo.c_str()).IsOpen());
}

TEST_F(ScalaFileTest, FailedExportKeepsTheOldTuning) {
  const std::string path = mDir + "/old.scl";
  const std::string old = "! old.scl\nOld tuning\n 1\n 2/1\n";
  { std::ofstream(path, std::ios::binary) << old; }
  double cents[12];
  for (int k = 0; k < 12; ++k) cents[k] = 100.0 * (k + 1);
  {
    const FileSizeLimit diskFull(16);
    EXPECT_FALSE(WriteScalaFile(path, cents));
  }
  std::ifstream in(path, std::ios::binary);
  const std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(kept, old);
  int entries = 0;
  for (const auto& entry : std::filesystem::directory_iterator(mDir)) {
    (void)entry;
    ++entries;
  }
  EXPECT_EQ(entries, 1); // no temporary file left behind
}

TEST(MicroTuningPresets, EveryPresetIsRecognisedAsItself) {
  for (int preset = 0; preset < kMicroTuningPresetCount; ++preset) {
    double deviation[12];
    for (int k = 1; k <= 12; ++k) deviation[k - 1] = MicroTuningPresetDeviation(preset, k);
    EXPECT_EQ(FindMicroTuningPreset(deviation), preset) << kMicroTuningPresetNames[preset];
    for (int k = 0; k < 12; ++k) {
      EXPECT_GE(deviation[k], -100.0);
      EXPECT_LE(deviation[k], 100.0);
    }
  }
  double zero[12] = {};
  EXPECT_EQ(FindMicroTuningPreset(zero), 0);
  zero[5] = 0.0000101;
  EXPECT_EQ(FindMicroTuningPreset(zero), -1);
  zero[5] = 0.0000099;
  EXPECT_EQ(FindMicroTuningPreset(zero), 0);
  zero[5] = NAN;
  EXPECT_EQ(FindMicroTuningPreset(zero), -1);
}

TEST(MicroTuningPresets, PentatonicReachesTheRangeEnds) {
  // Degrees 1, 3, 4, 11, 12 are A#, C, C#, G#, A.
  EXPECT_EQ(MicroTuningPresetDeviation(12, 1), -100.0);
  EXPECT_EQ(MicroTuningPresetDeviation(12, 3), -100.0);
  EXPECT_EQ(MicroTuningPresetDeviation(12, 4), 100.0);
  EXPECT_EQ(MicroTuningPresetDeviation(12, 11), 100.0);
  EXPECT_EQ(MicroTuningPresetDeviation(12, 12), 0.0);
  EXPECT_EQ(MicroTuningPresetDeviation(13, 12), -43.0);
  EXPECT_STREQ(kMicroTuningPresetNames[12], "Pentatonic");
}

} // namespace
