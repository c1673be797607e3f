// The transport as hosts since SDK 3.7 give it: only the fields the plug-in asks for.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "tests/integration/bundle_fixture.h"

namespace {

using Need = Steinberg::Vst::IProcessContextRequirements;

void setByText(vhost::PluginInstance& plugin, const char* name, const char* text) {
  const vhost::ParamInfo* p = plugin.findParameter(name);
  ASSERT_NE(p, nullptr) << name;
  double v = 0.0;
  ASSERT_TRUE(plugin.textToNormalized(p->id, text, v)) << name << " " << text;
  plugin.setParameter(p->id, v);
}

// Cycles per second of the loudness of a held note whose amplitude follows MG1, synchronised
// to quarter notes: the rising crossings of the level's mean over the whole render.
double loudnessCyclesPerSecond(double tempo) {
  const double rate = 48000.0;
  itest::StartedPlugin p(rate, 512);
  p.plugin.transport().setTempo(tempo);
  setByText(p.plugin, "MG1 Host", "1/4");
  setByText(p.plugin, "VCA1 Src", "MG1");
  const double seconds = 4.0;
  const auto r = itest::render(p.plugin, itest::heldNote(rate, 57, 100, seconds), 512);
  EXPECT_TRUE(r.finite);

  const size_t window = static_cast<size_t>(rate * 0.01);
  std::vector<double> level;
  for (size_t at = 0; at + window <= static_cast<size_t>(rate * seconds); at += window) {
    double sum = 0.0;
    for (size_t i = at; i < at + window; ++i) sum += double(r.left[i]) * r.left[i];
    level.push_back(std::sqrt(sum / window));
  }
  double mean = 0.0;
  for (double l : level) mean += l;
  mean /= level.size();
  EXPECT_GT(mean, 1e-3) << "the held note must sound";
  int rises = 0;
  for (size_t i = 1; i < level.size(); ++i)
    if (level[i - 1] < mean && level[i] >= mean) ++rises;
  return rises / seconds;
}

TEST(Transport, ThePlugInAsksForExactlyWhatItsClockReads) {
  itest::StartedPlugin p;
  EXPECT_EQ(p.plugin.transport().requirements(),
            static_cast<uint32_t>(Need::kNeedTempo | Need::kNeedProjectTimeMusic |
                                  Need::kNeedTransportState));
}

TEST(Transport, AHostGivingOnlyWhatIsAskedForDrivesTheClockAtItsTempo) {
  // Quarter notes at 60 and at 180 beats per minute: 1 and 3 cycles a second.
  const double slow = loudnessCyclesPerSecond(60.0);
  const double fast = loudnessCyclesPerSecond(180.0);
  EXPECT_NEAR(slow, 1.0, 0.3);
  EXPECT_NEAR(fast, 3.0, 0.3);
}

} // namespace
