// varnel-bank-audition: renders every program of a program text and prints its levels.
//   varnel-bank-audition PROGRAMS.txt [--wav DIR] [--only N]
// Each program plays a C major chord (60, 64, 67) at velocity 100 for 1.5 s, then 1 s of release,
// at 44.1 kHz in 512-frame blocks. Printed per program: peak and held RMS in dBFS, the release
// tail's RMS, the loudest 300 ms, the DC offset, the spectral centroid of the held chord and NaN
// counts.
#include "plugin/varnel.h"
#include "tools/bank/program_text.h"
#include "tools/render/fft.h"

#include <cmath>
#include <complex>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {
constexpr double kRate = 44100.0;
constexpr int kBlock = 512;
constexpr int kHeld = 66150; // 1.5 s
constexpr int kTail = 44100;

double dB(double x) {
  return x > 0 ? 20.0 * std::log10(x) : -999.0;
}

double centroid(const std::vector<double>& x, size_t from) {
  const size_t n = 16384;
  if (x.size() < from + n) return 0.0;
  std::vector<std::complex<double>> a(n);
  for (size_t i = 0; i < n; ++i) {
    const double w = 0.5 - 0.5 * std::cos(2.0 * M_PI * static_cast<double>(i) / n);
    a[i] = x[from + i] * w;
  }
  vrender::fft(a);
  double num = 0, den = 0;
  for (size_t k = 1; k < n / 2; ++k) {
    const double m = std::abs(a[k]);
    num += m * static_cast<double>(k) * kRate / n;
    den += m;
  }
  return den > 0 ? num / den : 0.0;
}

void writeWav(const std::string& path, const std::vector<double>& l, const std::vector<double>& r) {
  std::ofstream f(path, std::ios::binary);
  const uint32_t frames = static_cast<uint32_t>(l.size());
  const uint32_t dataBytes = frames * 2 * 4;
  auto u32 = [&](uint32_t v) { f.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&](uint16_t v) { f.write(reinterpret_cast<const char*>(&v), 2); };
  f.write("RIFF", 4);
  u32(36 + dataBytes);
  f.write("WAVEfmt ", 8);
  u32(16);
  u16(3);
  u16(2);
  u32(44100);
  u32(44100 * 8);
  u16(8);
  u16(32);
  f.write("data", 4);
  u32(dataBytes);
  for (uint32_t i = 0; i < frames; ++i) {
    const float s[2] = {static_cast<float>(l[i]), static_cast<float>(r[i])};
    f.write(reinterpret_cast<const char*>(s), 8);
  }
}

IMidiMsg msg(uint8_t status, int key, int velocity) {
  IMidiMsg m;
  m.offset = 0;
  m.status = status;
  m.data1 = static_cast<uint8_t>(key);
  m.data2 = static_cast<uint8_t>(velocity);
  return m;
}
} // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: varnel-bank-audition PROGRAMS.txt [--wav DIR] [--only N]\n");
    return 2;
  }
  std::string wavDir;
  int only = -1;
  for (int i = 2; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--wav") == 0) wavDir = argv[i + 1];
    if (std::strcmp(argv[i], "--only") == 0) only = std::atoi(argv[i + 1]);
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<ProgramText> programs;
  std::string error;
  {
    Varnel probe;
    if (!ParseProgramText(text, argv[1], probe, probe.NPresets(), programs, error)) {
      std::fprintf(stderr, "%s\n", error.c_str());
      return 1;
    }
  }
  std::printf("%-3s %-24s %7s %7s %7s %7s %8s %7s %5s\n", "#", "name", "peak", "loud", "rms",
              "tail", "dc", "cent", "nan");
  for (size_t k = 0; k < programs.size(); ++k) {
    if (only >= 0 && static_cast<int>(k) != only) continue;
    Varnel plug;
    plug.SetSampleRate(kRate);
    plug.SetBlockSize(kBlock);
    plug.OnReset();
    ApplyProgram(plug, programs[k]);
    plug.OnActivate(true);
    std::vector<double> left, right, bl(kBlock), br(kBlock);
    for (int key : {60, 64, 67}) plug.ProcessMidiMsg(msg(0x90, key, 100));
    int done = 0;
    bool released = false;
    while (done < kHeld + kTail) {
      if (!released && done >= kHeld) {
        for (int key : {60, 64, 67}) plug.ProcessMidiMsg(msg(0x80, key, 0));
        released = true;
      }
      const int n = std::min(kBlock, kHeld + kTail - done);
      std::fill(bl.begin(), bl.end(), 0.0);
      std::fill(br.begin(), br.end(), 0.0);
      double* outs[2] = {bl.data(), br.data()};
      plug.ProcessBlock(nullptr, outs, n);
      left.insert(left.end(), bl.begin(), bl.begin() + n);
      right.insert(right.end(), br.begin(), br.begin() + n);
      done += n;
    }
    double peak = 0, sum = 0, tail = 0, dc = 0;
    int nans = 0;
    for (size_t i = 0; i < left.size(); ++i) {
      for (double s : {left[i], right[i]}) {
        if (!std::isfinite(s)) {
          ++nans;
          continue;
        }
        peak = std::max(peak, std::fabs(s));
        if (i >= 8820 && i < static_cast<size_t>(kHeld)) sum += s * s;
        if (i >= left.size() - 13230) tail += s * s;
        dc += s;
      }
    }
    const double rms = std::sqrt(sum / (2.0 * (kHeld - 8820)));
    // Loudness as heard when switching programs: the loudest 300 ms of the held chord.
    double loud = 0;
    for (int start = 0; start + 13230 <= kHeld; start += 2205) {
      double e = 0;
      for (int i = start; i < start + 13230; ++i) {
        const double l = std::isfinite(left[i]) ? left[i] : 0.0;
        const double r = std::isfinite(right[i]) ? right[i] : 0.0;
        e += l * l + r * r;
      }
      loud = std::max(loud, std::sqrt(e / (2.0 * 13230)));
    }
    const double tailRms = std::sqrt(tail / (2.0 * 13230));
    dc /= 2.0 * static_cast<double>(left.size());
    std::vector<double> mono(left.size());
    for (size_t i = 0; i < mono.size(); ++i) mono[i] = 0.5 * (left[i] + right[i]);
    std::printf("%-3zu %-24s %7.1f %7.1f %7.1f %7.1f %8.5f %7.0f %5d\n", k,
                programs[k].name.c_str(), dB(peak), dB(loud), dB(rms), dB(tailRms), dc,
                centroid(mono, 22050), nans);
    if (!wavDir.empty()) {
      char file[64];
      std::snprintf(file, sizeof(file), "/%02zu.wav", k);
      writeWav(wavDir + file, left, right);
    }
  }
  return 0;
}
