// Saving and restoring the component state, as a DAW does with its projects.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "tests/integration/bundle_fixture.h"
#include "tools/render/param_setting.h"

namespace {

int32_t handlerRestarts(vhost::PluginInstance& plugin) {
  return plugin.handler().takeRestartFlags();
}

// Sets a few parameters through the processor, as automation does.
void edit(vhost::PluginInstance& plugin, std::initializer_list<const char*> settings) {
  for (const char* s : settings) {
    const auto setting = vrender::resolveSetting(plugin, s);
    plugin.setParameter(setting.id, setting.normalized);
  }
  plugin.process(0);
}

// What a state restore may change: the sound and program that are saved, and the program names.
struct Observed {
  std::vector<uint8_t> state;
  std::vector<std::string> names;
  bool operator==(const Observed& o) const { return state == o.state && names == o.names; }
};
Observed observe(vhost::PluginInstance& plugin) {
  return {plugin.getState(), plugin.programNames(65537, 64)};
}

TEST(State, SaveRestoreRoundTripIsByteIdentical) {
  itest::StartedPlugin a;
  edit(a.plugin, {"K35/LP4=4-Pole Ladder", "Cutoff=0.3", "Peak=0.7"});
  const auto saved = a.plugin.getState();
  ASSERT_GE(saved.size(), 124u * 8 + 4);

  // Restored into an instance whose sound differs, so a restore that does nothing fails.
  itest::StartedPlugin b;
  edit(b.plugin, {"Cutoff=0.9", "Tot.Tune=-40"});
  ASSERT_NE(b.plugin.getState(), saved);
  handlerRestarts(b.plugin);
  ASSERT_TRUE(b.plugin.setState(saved));
  EXPECT_EQ(b.plugin.getState(), saved);
  // The host is told to read every value again, and the controller reports the restored sound.
  EXPECT_NE(handlerRestarts(b.plugin) & Steinberg::Vst::kParamValuesChanged, 0);
  const auto cutoff = vrender::resolveSetting(a.plugin, "Cutoff=0.3");
  EXPECT_DOUBLE_EQ(b.plugin.currentNormalized(cutoff.id), cutoff.normalized);
  // The controller keeps no state of its own, and takes back what it gave.
  const auto controllerState = b.plugin.getControllerState();
  EXPECT_TRUE(controllerState.empty());
  EXPECT_TRUE(b.plugin.setControllerState(controllerState));
}

// A host that sends a value to the processor and then an older one to the controller (a late
// echo): what plays and is saved is the first.
TEST(State, LateControllerValueIsNotSaved) {
  itest::StartedPlugin p;
  const auto older = vrender::resolveSetting(p.plugin, "Cutoff=0.2");
  edit(p.plugin, {"Cutoff=0.8"});
  const auto saved = p.plugin.getState();
  p.plugin.controller()->setParamNormalized(older.id, older.normalized);
  EXPECT_EQ(p.plugin.getState(), saved);
  EXPECT_DOUBLE_EQ(p.plugin.currentNormalized(older.id), older.normalized);
}

TEST(State, EditedSoundMovesToASecondInstanceAndRendersTheSame) {
  // Both instances start fresh, since the generators run freely from their creation on; the
  // edits reach the first one through a block of no frames, so no time passes.
  itest::StartedPlugin a;
  for (const char* s :
       {"K35/LP4=4-Pole Ladder", "Tot.Tune=25", "SG1 Wave=0.6", "Ensembl=0.5", "RS Int=0.4"}) {
    const auto setting = vrender::resolveSetting(a.plugin, s);
    a.plugin.setParameter(setting.id, setting.normalized);
  }
  a.plugin.process(0);
  const auto edited = a.plugin.getState();
  vhost::PluginInstance fresh(itest::bundle());
  EXPECT_NE(edited, fresh.getState());

  itest::StartedPlugin b;
  ASSERT_TRUE(b.plugin.setState(edited));
  EXPECT_EQ(b.plugin.getState(), edited);

  const auto score = itest::heldNote(48000.0, 57, 100, 0.15);
  const auto ra = itest::render(a.plugin, score, 512);
  const auto rb = itest::render(b.plugin, score, 512);
  ASSERT_TRUE(itest::sounds(ra));
  EXPECT_EQ(ra.left, rb.left);
  EXPECT_EQ(ra.right, rb.right);
}

TEST(State, TruncatedOrEmptyStateIsRefusedAndChangesNothing) {
  // The state selects another program than the current one under a name of its own, so a
  // reader that applies as it goes renames, switches and overwrites programs.
  itest::StartedPlugin a;
  edit(a.plugin, {"Cutoff=0.15", "Peak=0.9"});
  auto saved = a.plugin.getState();
  const int32_t program = 5;
  std::memcpy(saved.data() + 12, &program, sizeof(program));
  const size_t nameEnd = 20 + static_cast<size_t>(saved[16]);

  itest::StartedPlugin b;
  edit(b.plugin, {"Cutoff=0.6", "Tot.Tune=12"});
  const Observed before = observe(b.plugin);
  for (size_t keep : {size_t(0), size_t(3), size_t(14), size_t(18), nameEnd - 1, nameEnd + 4,
                      saved.size() / 2, saved.size() - 5}) {
    std::vector<uint8_t> cut(saved.begin(), saved.begin() + static_cast<std::ptrdiff_t>(keep));
    EXPECT_FALSE(b.plugin.setState(cut)) << keep << " bytes";
    EXPECT_TRUE(observe(b.plugin) == before) << keep << " bytes";
  }
  const auto r = itest::render(b.plugin, itest::heldNote(48000.0, 60, 100, 0.05), 256);
  EXPECT_TRUE(r.finite);
  // The whole state is taken, program and all.
  ASSERT_TRUE(b.plugin.setState(saved));
  EXPECT_EQ(b.plugin.getState(), saved);
}

TEST(State, RestoringWhileProcessingKeepsTheOutputFinite) {
  itest::StartedPlugin p(44100.0, 128);
  const auto saved = p.plugin.getState();
  p.plugin.noteOn(0, 60, 100, 0);
  for (int block = 0; block < 40; ++block) {
    if (block % 10 == 5) {
      ASSERT_TRUE(p.plugin.setState(saved));
    }
    p.plugin.process(128);
    for (int i = 0; i < 128; ++i)
      ASSERT_TRUE(std::isfinite(p.plugin.sample(0, i)) && std::isfinite(p.plugin.sample(1, i)));
  }
}

} // namespace
