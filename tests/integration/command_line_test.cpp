// varnel-render as a user and a script meet it: exit status, one-line errors, listings, files.
#include <gtest/gtest.h>

#include <sndfile.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Result {
  int status = -1;
  std::string output;
  int lines() const { return static_cast<int>(std::count(output.begin(), output.end(), '\n')); }
};

Result run(const std::string& args) {
  Result r;
  const std::string command = std::string("'") + VARNEL_RENDER + "' " + args + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return r;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), pipe)) > 0) r.output.append(buf.data(), n);
  const int status = pclose(pipe);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

// The RMS level of a WAV file over all its samples; -1 when it cannot be read. A silent render
// would pass every byte comparison.
double wavRms(const std::string& path) {
  SF_INFO info{};
  SNDFILE* wav = sf_open(path.c_str(), SFM_READ, &info);
  if (!wav) return -1.0;
  std::vector<double> samples(static_cast<size_t>(info.frames * info.channels));
  const sf_count_t got =
      sf_read_double(wav, samples.data(), static_cast<sf_count_t>(samples.size()));
  sf_close(wav);
  double sum = 0.0;
  for (sf_count_t i = 0; i < got; ++i)
    sum += samples[static_cast<size_t>(i)] * samples[static_cast<size_t>(i)];
  return got > 0 ? std::sqrt(sum / static_cast<double>(got)) : 0.0;
}

std::string bundleArg() {
  return std::string("'") + VARNEL_BUNDLE + "'";
}

class CommandLine : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/varnel-render-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
  std::string file(const std::string& name) const { return dir_ + "/" + name; }

  // One second at 120 BPM: A4 for half a second, then silence to the end of the track.
  std::string writeMidi(const std::string& name) const {
    const std::vector<uint8_t> smf = {'M',  'T',  'h',  'd',  0,    0,    0,    6,
                                      0,    0,    0,    1,    0x01, 0xE0, // format 0, 480 ppqn
                                      'M',  'T',  'r',  'k',  0,    0,    0,    24, //
                                      0x00, 0xFF, 0x51, 0x03, 0x07, 0xA1, 0x20,     // tempo 500000
                                      0x00, 0x90, 69,   100,                        // note on
                                      0x83, 0x60, 0x80, 69,   0, // +480: note off
                                      0x83, 0x60, 0xB0, 64,   0, // +480: pedal up
                                      0x00, 0xFF, 0x2F, 0x00};   // end of track
    const std::string path = file(name);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(smf.data()), static_cast<std::streamsize>(smf.size()));
    return path;
  }
  std::string dir_;
};

TEST_F(CommandLine, BadInputGetsOneClearLineAndAFailingStatus) {
  std::ofstream(file("noise.mid")) << "this is not MIDI";
  std::ofstream(file("plain.txt")) << "x";
  struct Case {
    std::string args;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"/nonexistent/Foo.vst3 --info", "no such bundle"},
      {"'" + file("plain.txt") + "' --info", "is not a VST3 bundle"},
      {bundleArg() + " --midi '" + file("noise.mid") + "'", "cannot read MIDI file"},
      {bundleArg() + " --midi '" + file("missing.mid") + "'", "cannot read MIDI file"},
      {bundleArg() + " --program 'No Such Program'", "unknown program"},
      {bundleArg() + " --program 99", "unknown program"},
      {bundleArg() + " --demo --rate 999", "sample rate 999 Hz is not supported"},
      {bundleArg() + " --demo --rate 1000001", "is not supported"},
      {bundleArg() + " --demo --block 0", "block size 0"},
      {bundleArg() + " --demo --precision 16", "precision 16"},
      {bundleArg() + " --frobnicate", "frobnicate"},
      {bundleArg() + " --set 'Nonsense=1'", "unknown parameter"},
      {bundleArg() + " --fxp '" + file("missing.fxp") + "'", "no such file"},
  };
  for (const Case& c : cases) {
    const Result r = run(c.args);
    EXPECT_NE(r.status, 0) << c.args;
    EXPECT_EQ(r.lines(), 1) << c.args << "\n" << r.output;
    EXPECT_NE(r.output.find(c.message), std::string::npos) << c.args << "\n" << r.output;
  }
}

TEST_F(CommandLine, HelpNamesEveryOption) {
  const Result r = run("--help");
  EXPECT_EQ(r.status, 0);
  for (const char* option : {"--midi", "--demo", "--out", "--png", "--rate", "--block",
                             "--precision", "--tempo", "--tail", "--program", "--fxp", "--fxb",
                             "--save-fxp", "--set", "--info", "--list-programs", "--bench"})
    EXPECT_NE(r.output.find(option), std::string::npos) << option;
}

TEST_F(CommandLine, InfoPrintsOneMachineReadableLinePerParameter) {
  const Result r = run(bundleArg() + " --info");
  ASSERT_EQ(r.status, 0) << r.output;
  const std::regex line(
      R"re(param (\d+) "([^"]*)" default=([0-9.]+) steps=(\d+) units="[^"]*" display="[^"]*")re");
  std::istringstream in(r.output);
  std::string text;
  int expectedId = 0;
  while (std::getline(in, text)) {
    if (text.rfind("param ", 0) != 0) continue;
    std::smatch m;
    ASSERT_TRUE(std::regex_match(text, m, line)) << text;
    EXPECT_EQ(std::stoi(m[1]), expectedId++);
    if (m[2] == "Final") {
      EXPECT_EQ(m[3], "0.500000");
    }
    if (m[2] == "K35/LP4") {
      EXPECT_EQ(m[4], "1");
    }
  }
  EXPECT_EQ(expectedId, 124);
  EXPECT_NE(r.output.find("class \"Varnel\""), std::string::npos);
}

TEST_F(CommandLine, ListProgramsPrintsNumberAndName) {
  const Result r = run(bundleArg() + " --list-programs");
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_EQ(r.lines(), 64);
  EXPECT_EQ(r.output.rfind("0 Init\n", 0), 0u);
  EXPECT_TRUE(std::regex_search(r.output, std::regex("\n63 [^\n]+\n$")));
}

TEST_F(CommandLine, MidiFileRendersToFloatStereoWavTheSameEveryTime) {
  const std::string midi = writeMidi("a4.mid");
  const std::string args = bundleArg() + " --midi '" + midi + "' --rate 44100 --block 100 --tail 0";
  const Result first = run(args + " --out '" + file("a.wav") + "' --png '" + file("a.png") + "'");
  ASSERT_EQ(first.status, 0) << first.output;
  const Result second = run(args + " --out '" + file("b.wav") + "'");
  ASSERT_EQ(second.status, 0) << second.output;

  SF_INFO info{};
  SNDFILE* wav = sf_open(file("a.wav").c_str(), SFM_READ, &info);
  ASSERT_NE(wav, nullptr);
  EXPECT_EQ(info.channels, 2);
  EXPECT_EQ(info.samplerate, 44100);
  EXPECT_EQ(info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
  EXPECT_EQ(info.frames, 44100); // the file's one second, with no tail
  sf_close(wav);

  std::ifstream a(file("a.wav"), std::ios::binary), b(file("b.wav"), std::ios::binary);
  const std::string bytesA((std::istreambuf_iterator<char>(a)), std::istreambuf_iterator<char>());
  const std::string bytesB((std::istreambuf_iterator<char>(b)), std::istreambuf_iterator<char>());
  EXPECT_EQ(bytesA, bytesB);
  EXPECT_GT(wavRms(file("a.wav")), 1e-3);
  std::ifstream png(file("a.png"), std::ios::binary);
  char magic[4] = {};
  png.read(magic, 4);
  EXPECT_EQ(std::string(magic + 1, 3), "PNG");
}

TEST_F(CommandLine, SavedProgramFileReproducesTheSettings) {
  const std::string midi = writeMidi("a4.mid");
  const std::string common = bundleArg() + " --midi '" + midi + "' --tail 0";
  const Result set = run(common +
                         " --program 3 --set 'K35/LP4=4-Pole Ladder' --set 'Cutoff=0.4'"
                         " --save-fxp '" +
                         file("p.fxp") + "' --out '" + file("set.wav") + "'");
  ASSERT_EQ(set.status, 0) << set.output;
  const Result loaded =
      run(common + " --fxp '" + file("p.fxp") + "' --out '" + file("fxp.wav") + "'");
  ASSERT_EQ(loaded.status, 0) << loaded.output;
  std::ifstream a(file("set.wav"), std::ios::binary), b(file("fxp.wav"), std::ios::binary);
  const std::string bytesA((std::istreambuf_iterator<char>(a)), std::istreambuf_iterator<char>());
  const std::string bytesB((std::istreambuf_iterator<char>(b)), std::istreambuf_iterator<char>());
  EXPECT_GT(wavRms(file("set.wav")), 1e-3);
  EXPECT_EQ(bytesA, bytesB);
}

} // namespace

// Every rate the plug-in accepts can be rendered, so a low-rate fault can be reproduced here.
TEST_F(CommandLine, RendersAtEveryRateThePlugInAccepts) {
  const std::string midi = writeMidi("a4-rates.mid");
  for (int rate : {1000, 8000, 1000000}) {
    const std::string out = file("rate" + std::to_string(rate) + ".wav");
    const Result r =
        run(bundleArg() + " --midi '" + midi + "' --set 'Ensembl=1' --set 'RS Int=1' " + "--rate " +
            std::to_string(rate) + " --tail 0 --out '" + out + "'");
    ASSERT_EQ(r.status, 0) << rate << "\n" << r.output;
    SF_INFO info{};
    SNDFILE* wav = sf_open(out.c_str(), SFM_READ, &info);
    ASSERT_NE(wav, nullptr) << rate;
    EXPECT_EQ(info.samplerate, rate);
    EXPECT_EQ(info.frames, rate); // the file's one second
    std::vector<float> samples(static_cast<size_t>(info.frames * info.channels));
    sf_readf_float(wav, samples.data(), info.frames);
    sf_close(wav);
    float peak = 0.0f;
    for (float v : samples) {
      ASSERT_TRUE(std::isfinite(v)) << rate;
      peak = std::max(peak, std::fabs(v));
    }
    EXPECT_GT(peak, 1e-3f) << rate;
    EXPECT_LT(peak, 10.0f) << rate;
  }
}
