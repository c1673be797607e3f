// "MIDI Thru" in the settings file passes the input on to the plug-in's MIDI output bus.
#include "tests/integration/bundle_fixture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

// Each test runs in its own process, so the settings folder may be pointed elsewhere here.
class Settings {
public:
  explicit Settings(const std::string& ini)
      : root_(std::filesystem::temp_directory_path() /
              ("varnel-thru-" + std::to_string(::getpid()))) {
    std::filesystem::create_directories(root_ / "Vellsound");
    std::ofstream(root_ / "Vellsound" / "varnel.ini") << ini;
    ::setenv("XDG_CONFIG_HOME", root_.c_str(), 1);
  }
  ~Settings() { std::filesystem::remove_all(root_); }

private:
  std::filesystem::path root_;
};

int notesOut(vhost::PluginInstance& plugin) {
  plugin.noteOn(0, 60, 100, 3);
  plugin.process(64);
  int notes = 0;
  for (const auto& e : plugin.outputEvents())
    if (e.type == Steinberg::Vst::Event::kNoteOnEvent && e.noteOn.pitch == 60 &&
        e.sampleOffset == 3)
      ++notes;
  return notes;
}

} // namespace

TEST(MidiThru, OnPassesNotesToTheOutputBus) {
  const Settings settings("[MIDI Global]\nMIDI Thru=true\n");
  itest::StartedPlugin p(48000.0, 64);
  EXPECT_EQ(notesOut(p.plugin), 1);
}

TEST(MidiThru, OffKeepsTheOutputBusQuiet) {
  const Settings settings("[MIDI Global]\nMIDI Thru=True\n"); // only "true" switches it on
  itest::StartedPlugin p(48000.0, 64);
  EXPECT_EQ(notesOut(p.plugin), 0);
}
