// The parameter list as a host sees it, and the text conversions a host's generic editor uses.
#include <gtest/gtest.h>

#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstunits.h"
#include "tests/integration/bundle_fixture.h"
#include "tools/host/host_error.h"
#include "tools/host/ref_counted.h"
#include "tools/render/param_setting.h"

namespace {

using Steinberg::Vst::ParameterInfo;

class Parameters : public ::testing::Test {
protected:
  static void SetUpTestSuite() { plugin_ = new vhost::PluginInstance(itest::bundle()); }
  static void TearDownTestSuite() {
    delete plugin_;
    plugin_ = nullptr;
  }
  static const vhost::ParamInfo& param(const std::string& name) {
    const vhost::ParamInfo* p = plugin_->findParameter(name);
    if (!p) throw std::runtime_error("no parameter " + name);
    return *p;
  }
  static vhost::PluginInstance* plugin_;
};

vhost::PluginInstance* Parameters::plugin_ = nullptr;

TEST_F(Parameters, HundredTwentyFourInIndexOrderInTheRootUnit) {
  const auto params = plugin_->parameters();
  ASSERT_EQ(params.size(), 124u);
  for (size_t i = 0; i < params.size(); ++i) {
    EXPECT_EQ(params[i].id, i);
    EXPECT_EQ(params[i].unitId, 0) << params[i].title;
    EXPECT_TRUE(params[i].flags & ParameterInfo::kCanAutomate) << params[i].title;
    EXPECT_FALSE(params[i].flags & ParameterInfo::kIsProgramChange) << params[i].title;
    EXPECT_FALSE(params[i].flags & ParameterInfo::kIsBypass) << params[i].title;
  }
}

TEST_F(Parameters, NamesDefaultsAndStepsAsTabled) {
  struct Row {
    Steinberg::Vst::ParamID id;
    const char* title;
    double defaultNormalized;
    int steps;
    bool list;
  };
  const Row rows[] = {
      {0, "Final", 0.5, 0, false},        {7, "SG1 Wave", 0.25, 0, false},
      {25, "Cutoff", -1, 0, false},       {29, "fC Mod", 0.0, 1, false},
      {59, "MG1 Freq", 0.2154, 0, false}, {116, "K35/LP4", 0.0, 1, true},
      {117, "EQ / RES", 0.0, 1, true},    {123, "RfC Src", -1, -1, true},
  };
  for (const Row& r : rows) {
    const vhost::ParamInfo* p = plugin_->findParameter(r.id);
    ASSERT_NE(p, nullptr) << r.id;
    EXPECT_EQ(p->title, r.title);
    if (r.defaultNormalized >= 0) {
      EXPECT_NEAR(p->defaultNormalized, r.defaultNormalized, 1e-4) << r.title;
    }
    if (r.steps >= 0) {
      EXPECT_EQ(p->stepCount, r.steps) << r.title;
    }
    EXPECT_EQ((p->flags & ParameterInfo::kIsList) != 0, r.list) << r.title;
  }
  EXPECT_DOUBLE_EQ(param("VP2 Sel").defaultNormalized, 1.0);
}

TEST_F(Parameters, DisplayTextsBothWays) {
  const vhost::ParamInfo& wave = param("SG1 Wave");
  EXPECT_EQ(wave.defaultDisplay, "Sawtooth");
  EXPECT_EQ(plugin_->displayText(wave.id, 0.05), "Triangle");
  EXPECT_EQ(plugin_->displayText(param("SG2 Wave").id, 1.0), "Off");

  const vhost::ParamInfo& filter = param("K35/LP4");
  EXPECT_EQ(plugin_->displayText(filter.id, 0.0), "Korg 35");
  EXPECT_EQ(plugin_->displayText(filter.id, 1.0), "4-Pole Ladder");
  double v = -1.0;
  ASSERT_TRUE(plugin_->textToNormalized(filter.id, "4-Pole Ladder", v));
  EXPECT_DOUBLE_EQ(v, 1.0);
  EXPECT_DOUBLE_EQ(plugin_->plainToNormalized(filter.id, 1.0), 1.0);
  EXPECT_NEAR(plugin_->normalizedToPlain(param("Final").id, 0.5), 0.25, 1e-12);
}

TEST_F(Parameters, CommandLineSettingsResolveByTextOrPlainNumber) {
  EXPECT_DOUBLE_EQ(vrender::resolveSetting(*plugin_, "K35/LP4=4-Pole Ladder").normalized, 1.0);
  EXPECT_DOUBLE_EQ(vrender::resolveSetting(*plugin_, "fC Mod=on").normalized, 1.0);
  EXPECT_DOUBLE_EQ(vrender::resolveSetting(*plugin_, " EQ 125 = 15 ").normalized, 1.0);
  EXPECT_NEAR(vrender::resolveSetting(*plugin_, "Final=0.25").normalized, 0.5, 1e-12);
  EXPECT_NEAR(vrender::resolveSetting(*plugin_, "mg1 freq=0.2").normalized, 0.2154, 1e-4);

  auto errorOf = [](const std::string& s) {
    try {
      vrender::resolveSetting(*plugin_, s);
    } catch (const vhost::HostError& e) {
      return std::string(e.what());
    }
    return std::string();
  };
  EXPECT_NE(errorOf("Cutof=0.5").find("unknown parameter \"Cutof\""), std::string::npos);
  EXPECT_LT(errorOf("Cutof=0.5").size(), 200u);
  EXPECT_NE(errorOf("K35/LP4=Moog").find("Korg 35, 4-Pole Ladder"), std::string::npos);
  EXPECT_NE(errorOf("EQ 125=99").find("outside its range"), std::string::npos);
  EXPECT_NE(errorOf("Final").find("NAME=VALUE"), std::string::npos);
  EXPECT_NE(errorOf("SG1 Wave=bogus").find("is not a value of \"SG1 Wave\""), std::string::npos);
  EXPECT_DOUBLE_EQ(vrender::resolveSetting(*plugin_, "MG1 Freq=200 Hz").normalized,
                   vrender::resolveSetting(*plugin_, "MG1 Freq=200").normalized);
}

TEST_F(Parameters, ProgramNamesWithoutAProgramList) {
  const auto names = plugin_->programNames(65537, 128);
  ASSERT_EQ(names.size(), 64u);
  EXPECT_EQ(names[0], "Init");
  auto units = vhost::queryAs<Steinberg::Vst::IUnitInfo>(plugin_->controller(),
                                                         Steinberg::Vst::IUnitInfo_iid);
  ASSERT_NE(units, nullptr);
  EXPECT_EQ(units->getProgramListCount(), 0);
}

TEST_F(Parameters, MidiControllersMapToTheirStandIns) {
  Steinberg::Vst::ParamID id = 0;
  ASSERT_TRUE(plugin_->midiMappingFor(0, 1, id)); // modulation wheel
  EXPECT_EQ(id, 65538u + 1);
  ASSERT_TRUE(plugin_->midiMappingFor(15, 129, id)); // pitch bend on the last channel
  EXPECT_EQ(id, 67617u);
  EXPECT_FALSE(plugin_->midiMappingFor(16, 0, id));
  // The stand-ins are not part of the user's parameter list.
  for (const vhost::ParamInfo& p : plugin_->parameters()) EXPECT_LT(p.id, 65538u) << p.title;
}

} // namespace
