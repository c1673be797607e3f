#include "store/tuning_presets.h"
#include "tests/unit/plugin/config_fixture.h"

#include <cmath>

using configtest::ConfigTest;
using configtest::readFile;
using configtest::writeFile;

namespace {

class EditRecorder : public IHostCallbacks {
public:
  void BeginEdit(int) override {}
  void PerformEdit(int paramId, double) override { edited.push_back(paramId); }
  void EndEdit(int) override {}
  void ParamValuesChanged() override {}
  std::vector<int> edited;
};

class TuningTest : public ConfigTest {
protected:
  void SetUp() override {
    ConfigTest::SetUp();
    plug = makePlug();
    for (int i = 0; i < plug->NParams(); ++i)
      plug->GetParam(i)->SetValue(plug->GetParam(i)->GetDefault());
  }
  double degree(int table, int k) const {
    return plug->GetParam(Varnel::tuningParam(table, k))->GetValue();
  }
  void setDegree(int table, int k, double cents) {
    plug->GetParam(Varnel::tuningParam(table, k))->SetValue(cents);
  }
  // Imports text as a Scala file into table 1.
  void import(const std::string& text) {
    const std::string path = temp.dir + "/in.scl";
    writeFile(path, text);
    dialogs.QueuePath(path);
    plug->loadMicroTuning(0);
  }

  std::unique_ptr<Varnel> plug;
};

} // namespace

TEST_F(TuningTest, DegreesRunFromASharpToA) {
  EXPECT_EQ(Varnel::tuningParam(0, 1), kTune1C + 10);
  EXPECT_EQ(Varnel::tuningParam(0, 3), kTune1C);
  EXPECT_EQ(Varnel::tuningParam(0, 12), kTune1C + 9);
  EXPECT_EQ(Varnel::tuningParam(1, 2), kTune2C + 11);
  EXPECT_STREQ(plug->GetParam(Varnel::tuningParam(1, 12))->GetName(), "Tune2 A");
}

TEST_F(TuningTest, FreshTablesAreEqualUntilOneDegreeMovesBeyondTheTolerance) {
  EXPECT_EQ(plug->getMicroTuning(0), 0);
  EXPECT_EQ(plug->getMicroTuning(1), 0);
  setDegree(0, 5, 0.000009);
  EXPECT_EQ(plug->getMicroTuning(0), 0);
  setDegree(0, 5, 0.00002);
  EXPECT_EQ(plug->getMicroTuning(0), -1);
  EXPECT_EQ(plug->getMicroTuning(1), 0);
}

TEST_F(TuningTest, PentatonicSetsItsExtremesAndIsRecognised) {
  EditRecorder host;
  plug->SetHostCallbacks(&host);
  plug->setMicroTuning(0, 12);
  plug->SetHostCallbacks(nullptr);
  EXPECT_EQ(plug->GetParam(kTune1C + 10)->GetValue(), -100); // A#
  EXPECT_EQ(plug->GetParam(kTune1C + 0)->GetValue(), -100);  // C
  EXPECT_EQ(plug->GetParam(kTune1C + 1)->GetValue(), 100);   // C#
  EXPECT_EQ(plug->GetParam(kTune1C + 8)->GetValue(), 100);   // G#
  EXPECT_EQ(plug->GetParam(kTune1C + 9)->GetValue(), 0);     // A
  EXPECT_EQ(plug->getMicroTuning(0), 12);
  EXPECT_EQ(plug->getMicroTuning(1), 0);
  EXPECT_EQ(host.edited.size(), 12u); // every degree reported to the host
}

TEST_F(TuningTest, EveryPresetIsRecognisedAsItselfInEitherTable) {
  for (int table = 0; table < 2; ++table) {
    for (int preset = 0; preset < kMicroTuningPresetCount; ++preset) {
      plug->setMicroTuning(table, preset);
      EXPECT_EQ(plug->getMicroTuning(table), preset) << kMicroTuningPresetNames[preset];
    }
  }
  plug->setMicroTuning(0, 13);
  EXPECT_NEAR(degree(0, 12), -43, 1e-9); // Heptatonic detunes A as well
}

TEST_F(TuningTest, ExportThenImportRestoresTheTable) {
  const double values[12] = {11.7313, -3.5, 99.999999, -100, 0.000004, 42.123456,
                             -77.7,   1.5,  -0.25,     3,    -50.5,    0.1};
  for (int k = 1; k <= 12; ++k) setDegree(0, k, values[k - 1]);
  const std::string path = temp.dir + "/out.scl";
  dialogs.QueuePath(path);
  plug->saveMicroTuning(0);
  for (int k = 1; k <= 12; ++k) setDegree(1, k, 0);
  dialogs.QueuePath(path);
  plug->loadMicroTuning(1);
  for (int k = 1; k <= 12; ++k) EXPECT_NEAR(degree(1, k), values[k - 1], 0.000005) << k;

  const auto saves = dialogs.CallsOf(ScriptedDialogs::Kind::SaveFile);
  ASSERT_EQ(saves.size(), 1u);
  EXPECT_EQ(saves[0].request.defaultName, "Varnel_tuning");
  EXPECT_EQ(saves[0].request.startFolder, temp.home());
  ASSERT_FALSE(saves[0].request.filters.empty());
  EXPECT_EQ(saves[0].request.filters[0].patterns[0], "*.scl");
  // The next tuning dialog opens where the last one ended.
  const auto opens = dialogs.CallsOf(ScriptedDialogs::Kind::OpenFile);
  EXPECT_EQ(opens.back().request.startFolder, temp.dir + "/");
  EXPECT_EQ(plug->homePath, temp.dir + "/");
}

TEST_F(TuningTest, ExportAddsTheScalaExtensionWhenTheNameHasNone) {
  dialogs.QueuePath(temp.dir + "/Varnel_tuning");
  plug->saveMicroTuning(0);
  EXPECT_TRUE(std::filesystem::exists(temp.dir + "/Varnel_tuning.scl"));
  EXPECT_FALSE(std::filesystem::exists(temp.dir + "/Varnel_tuning"));
  EXPECT_EQ(readFile(temp.dir + "/Varnel_tuning.scl").substr(0, 21), "! Varnel_tuning.scl\n!");
}

TEST_F(TuningTest, ExportWritesTheFileFormatAndStoresTheProgramFirst) {
  plug->setMicroTuning(0, 13);
  const std::string path = temp.dir + "/hepta.scl";
  dialogs.QueuePath(path);
  plug->saveMicroTuning(0);
  const std::string text = readFile(path);
  EXPECT_EQ(text.substr(0, 45), "! hepta.scl\n!\nVarnel Tuning Export\n 12\n!\n 129");
  EXPECT_EQ(text.substr(text.size() - 12), " 1157.00000\n");
  EXPECT_TRUE(plug->GetPreset(plug->GetCurrentPresetIdx()).initialized);
}

TEST_F(TuningTest, ImportReadsCountsLineEndsAndKeepsInvalidDegrees) {
  const struct {
    const char* name;
    std::string text;
    std::vector<double> expected; // degrees 1..n; the rest stay at 7
  } cases[] = {
      {"seven notes",
       "d\n7\n100.5\n200.5\n300.5\n400.5\n500.5\n600.5\n700.5\n800.5\n",
       {0.5, 0.5, 0.5, 0.5, 0.5, 0.5, 0.5}},
      {"nineteen notes",
       "d\n 19\n" +
           [] {
             std::string s;
             for (int k = 1; k <= 19; ++k) s += std::to_string(100 * k + 1) + ".0\n";
             return s;
           }(),
       std::vector<double>(12, 1.0)},
      {"CR LF", "d\r\n2\r\n101.0\r\n202.0\r\n", {1, 2}},
      {"LF CR", "d\n\r2\n\r101.0\n\r202.0\n\r", {1, 2}},
      {"CR", "d\r2\r101.0\r202.0\r", {1, 2}},
      {"comments and remarks",
       "! c\nd\n! c\n3\n! c\n101.0 remark\n\t 202.0\n!\n303.0\n",
       {1, 2, 3}},
      {"ratio and cents forms",
       "d\n7\n1.5\n2/1\n300.\n400.0\n500.0\n600.0\n3/2\n",
       {1.5 - 100, 100, 0, 0, 0, 0, 1200 * std::log2(1.5) - 700}},
      {"cents with decimals",
       "d\n7\n100\n200.0\n300.0\n400.0\n500.0\n600.0\n701.955\n",
       {100, 0, 0, 0, 0, 0, 1.955}},
      {"invalid pitches", "d\n5\n0/1\n-3/2\n3/0\nword\n\n", {7, 7, 7, 7, 7}},
      {"no count", "d\n", {}},
      {"zero count", "d\n0\n150.0\n", {}},
      {"long count token", "d\n0000000000000001\n150.0\n", {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    for (int k = 1; k <= 12; ++k) setDegree(0, k, 7);
    import(c.text);
    for (int k = 1; k <= 12; ++k) {
      const double want = k <= static_cast<int>(c.expected.size()) ? c.expected[k - 1] : 7.0;
      EXPECT_NEAR(degree(0, k), want, 1e-9) << k;
    }
  }
  EXPECT_TRUE(messages().empty()); // malformed content never produces a message
}

TEST_F(TuningTest, OutOfRangePitchesAreClamped) {
  import("d\n2\n400.0\n1/4\n");
  EXPECT_EQ(degree(0, 1), 100);
  EXPECT_EQ(degree(0, 2), -100);
}

TEST_F(TuningTest, CancelledDialogsAndUnusableFiles) {
  plug->setMicroTuning(0, 3);
  plug->loadMicroTuning(0);
  plug->saveMicroTuning(0);
  EXPECT_EQ(plug->getMicroTuning(0), 3);
  EXPECT_EQ(plug->homePath, temp.home());
  EXPECT_TRUE(messages().empty());

  dialogs.QueuePath(temp.dir + "/missing.scl");
  plug->loadMicroTuning(0);
  dialogs.QueuePath(temp.dir + "/no/such/folder/out.scl");
  plug->saveMicroTuning(0);
  ASSERT_EQ(messages().size(), 2u);
  EXPECT_EQ(messages()[0].text, "Cannot load file!");
  EXPECT_EQ(messages()[1].text, "Cannot save file!");
  EXPECT_EQ(messages()[1].caption, "Error");
  EXPECT_EQ(plug->getMicroTuning(0), 3);
}
