// Saving and restoring the component state, as a DAW does with its projects.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/integration/bundle_fixture.h"
#include "tools/render/param_setting.h"

namespace {

TEST(State, SaveRestoreRoundTripIsByteIdentical) {
  vhost::PluginInstance plugin(itest::bundle());
  const auto saved = plugin.getState();
  ASSERT_GE(saved.size(), 124u * 8 + 4);
  ASSERT_TRUE(plugin.setState(saved));
  EXPECT_EQ(plugin.getState(), saved);
  // The controller keeps no state of its own, and takes back what it gave.
  const auto controllerState = plugin.getControllerState();
  EXPECT_TRUE(controllerState.empty());
  EXPECT_TRUE(plugin.setControllerState(controllerState));
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
  EXPECT_EQ(ra.left, rb.left);
  EXPECT_EQ(ra.right, rb.right);
}

TEST(State, TruncatedOrEmptyStateIsRefusedAndTheInstanceStaysUsable) {
  itest::StartedPlugin p;
  const auto saved = p.plugin.getState();
  for (size_t keep : {size_t(0), size_t(3), size_t(14), saved.size() / 2}) {
    std::vector<uint8_t> cut(saved.begin(), saved.begin() + static_cast<std::ptrdiff_t>(keep));
    EXPECT_FALSE(p.plugin.setState(cut)) << keep << " bytes";
  }
  ASSERT_TRUE(p.plugin.setState(saved));
  const auto r = itest::render(p.plugin, itest::heldNote(48000.0, 60, 100, 0.05), 256);
  EXPECT_TRUE(r.finite);
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
