#include "plugin/selector_lists.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>

const std::vector<const char*>& labelModSrc() {
  static const std::vector<const char*> texts{
      "off", "+5V", "-5V", "GE1", "GE2", "GE3", "Mod", "MG1", "MG2", "S/H", "VP1", "VP2",
      "Add", "Key", "Aft", "PB",  "PB+", "MW",  "MW+", "VC1", "VC2", "VC3", "VC4"};
  return texts;
}

const std::vector<const char*>& labelInputSrc() {
  static const std::vector<const char*> texts = [] {
    std::vector<const char*> t = labelModSrc();
    t[9] = "Rnd";
    return t;
  }();
  return texts;
}

const std::vector<const char*>& labelTrigSrc() {
  static const std::vector<const char*> texts{"off", "Kbd",  "Sng",  "Mlt",  "MG1", "MG2",
                                              "S/H", "Clk1", "Clk2", "Trg1", "Trg2"};
  return texts;
}

const std::vector<const char*>& labelSyncRates() {
  static const std::vector<const char*> texts{
      "off",  "4/1",  "2/1.", "2/1",   "1/1.", "1/1",  "1/2.",  "1/2",   "1/4.", "1/2T", "1/4",
      "1/8.", "1/4T", "1/8",  "1/16.", "1/8T", "1/16", "1/32.", "1/16T", "1/32", "1/64"};
  return texts;
}

namespace {
std::string controllerName(int cc) {
  static const char* const first[] = {"Bank Select",
                                      "Modulation Wheel",
                                      "Breath Controller",
                                      "Undefined",
                                      "Foot Controller",
                                      "Portamento Time",
                                      "Data Entry MSB",
                                      "Channel Volume",
                                      "Balance",
                                      "Undefined",
                                      "Pan",
                                      "Expression Controller",
                                      "Effect Control 1",
                                      "Effect Control 2",
                                      "Undefined",
                                      "Undefined"};
  static const char* const from64[] = {"Sustain Pedal On/Off", "Portamento On/Off",
                                       "Sostenuto On/Off",     "Soft Pedal On/Off",
                                       "Legato Footswitch",    "Hold 2"};
  static const char* const from91[] = {"Effects 1 Depth ", "Effects 2 Depth", "Effects 3 Depth ",
                                       "Effects 4 Depth",  "Effects 5 Depth", "Data Increment",
                                       "Data Decrement",   "NRPN - LSB",      "NRPN - MSB",
                                       "RPN - LSB",        "RPN - MSB"};
  if (cc < 16) return first[cc];
  if (cc < 20) return "GP Controller " + std::to_string(cc - 15);
  if (cc < 32) return "Undefined";
  if (cc < 64) return "LSB for Control " + std::to_string(cc - 32);
  if (cc < 70) return from64[cc - 64];
  if (cc < 80) return "Sound Controller " + std::to_string(cc - 69);
  if (cc < 84) return "GP Controller " + std::to_string(cc - 75);
  if (cc == 84) return "Portamento Control";
  if (cc == 88) return "HiRes Velo Prefix";
  if (cc >= 91 && cc <= 101) return from91[cc - 91];
  return "Undefined";
}
} // namespace

const std::vector<const char*>& labelCC() {
  static const std::array<std::string, 120> storage = [] {
    std::array<std::string, 120> s;
    for (int cc = 0; cc < 120; ++cc) {
      char number[8];
      std::snprintf(number, sizeof(number), "%03d", cc);
      s[static_cast<size_t>(cc)] = std::string(number) + "    " + controllerName(cc);
    }
    return s;
  }();
  static const std::vector<const char*> texts = [] {
    std::vector<const char*> t;
    for (const std::string& s : storage) t.push_back(s.c_str());
    return t;
  }();
  return texts;
}

namespace {
int waveIndex(double x, int last) {
  return std::clamp(static_cast<int>(std::floor(5.0 * x + 0.5)), 0, last);
}
} // namespace

void setDisplayTextForSG1Wave(double x, std::string& text) {
  static const char* const labelSG1WaveForm[] = {"Triangle", "Sawtooth", "PWM", "PW"};
  text = labelSG1WaveForm[waveIndex(x, 3)];
}

void setDisplayTextForSG2Wave(double x, std::string& text) {
  static const char* const labelSG2WaveForm[] = {"Triangle", "Sawtooth", "PWM", "PW", "Off"};
  text = labelSG2WaveForm[x > 0.99 ? 4 : waveIndex(x, 3)];
}

void setDisplayTextForSGScale(double x, std::string& text) {
  static const char* const labelSGScale[] = {"16'", "8'", "4'", "2'"};
  text = labelSGScale[std::clamp(static_cast<int>(std::floor(3.0 * x + 0.5)), 0, 3)];
}

void setDisplayTextForMG1Wave(double x, std::string& text) {
  static const char* const labelMGWaveForm[] = {"Triangle", "Saw Dn",     "Saw Up",
                                                "Square",   "Pink Noise", "White Noise"};
  text = labelMGWaveForm[waveIndex(x, 5)];
}
