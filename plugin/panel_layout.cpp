#include "plugin/panel_layout.h"

#include "plugin/param_ids.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace panel {

Rect Rect::unite(const Rect& o) const {
  if (empty()) return o;
  if (o.empty()) return *this;
  return {std::min(l, o.l), std::min(t, o.t), std::max(r, o.r), std::max(b, o.b)};
}

const BitmapSpec& bitmapSpec(Bitmap b) {
  // Frame sizes fit the tightest spacings of the panel: equaliser knobs 80 apart, selector
  // sockets 48 apart, clock buttons 32 apart, program buttons 56 apart.
  static const BitmapSpec specs[] = {
      {"", 0, 0, 0},
      {"knob.png", 65, 64, 64},
      {"knob_big.png", 65, 80, 80},
      {"knob_small.png", 65, 48, 48},
      {"switch2.png", 2, 16, 44},
      {"switch2orange.png", 2, 16, 44},
      {"switch2horiz.png", 2, 40, 24},
      {"switch2a.png", 2, 32, 40},
      {"switch6.png", 6, 64, 64},
      {"plug_off.png", 1, 46, 40},
      {"plug_on.png", 1, 46, 40},
      {"button_off.png", 1, 60, 28},
      {"button_on.png", 1, 60, 28},
      {"led.png", 1, 16, 16},
      {"preset.png", 2, 56, 40},
      {"kick.png", 2, 40, 40},
      {"learn.png", 2, 40, 40},
      {"unlearn.png", 2, 40, 40},
      {"res_back.png", 1, 168, 624},
      {"eq_back.png", 1, 168, 624},
  };
  static_assert(sizeof(specs) / sizeof(specs[0]) == static_cast<int>(Bitmap::Count));
  int i = static_cast<int>(b);
  if (i < 0 || i >= static_cast<int>(Bitmap::Count)) i = 0;
  return specs[i];
}

const char* sectionTitle(Section s) {
  static const char* const titles[] = {
      "",           "TUNING",     "GENERATORS", "FILTER",     "ENVELOPE", "EQ / RES",
      "MODULATION", "KEYBOARD",   "OUTPUT",     "S/H",        "MG1",      "MG2",
      "GEG",        "PROCESSORS", "ADDER",      "CLK & MIDI", "PROGRAM"};
  static_assert(sizeof(titles) / sizeof(titles[0]) == static_cast<int>(Section::Count));
  int i = static_cast<int>(s);
  return (i >= 0 && i < static_cast<int>(Section::Count)) ? titles[i] : "";
}

const std::vector<Bitmap>& editorBitmaps() {
  static const std::vector<Bitmap> list{
      Bitmap::PlugOff,      Bitmap::PlugOn,  Bitmap::Knob,      Bitmap::KnobBig,
      Bitmap::KnobSmall,    Bitmap::Switch2, Bitmap::Switch6,   Bitmap::Switch2Orange,
      Bitmap::Switch2Horiz, Bitmap::Led,     Bitmap::ButtonOff, Bitmap::ButtonOn,
      Bitmap::Learn,        Bitmap::Kick,    Bitmap::Preset,    Bitmap::ResBack,
      Bitmap::EqBack,       Bitmap::Switch2a};
  return list;
}

namespace {

using B = Bitmap;
using S = Section;
using L = LabelAt;

Entry at(int n, Kind k, float x, float y, int id, Bitmap bm, Section s, const char* label = nullptr,
         LabelAt la = L::Above) {
  Entry e{};
  e.number = n;
  e.kind = k;
  e.place = {x, y, 0, 0};
  e.id = id;
  e.bitmap = bm;
  e.bitmap2 = B::None;
  e.menuType = 0;
  e.gearing = 4.0;
  e.role = Role::None;
  e.roleIndex = 0;
  e.section = s;
  e.part = 0;
  e.label = label;
  e.labelAt = label ? la : L::None;
  e.legendOn = nullptr;
  e.legendOff = nullptr;
  e.labelDx = 0;
  return e;
}

Entry rect(int n, Kind k, float l, float t, float r, float b, int id, Section s) {
  Entry e = at(n, k, l, t, id, B::None, s);
  e.place = {l, t, r, b};
  return e;
}

Entry knob(int n, float x, float y, int param, Bitmap bm, Section s, const char* label,
           LabelAt la = L::Above) {
  return at(n, Kind::Knob, x, y, param, bm, s, label, la);
}

Entry sw(int n, float x, float y, int param, Bitmap bm, Section s, const char* label,
         LabelAt la = L::Above) {
  return at(n, Kind::Switch, x, y, param, bm, s, label, la);
}

// A selector: type 2/3 are sockets, 4 a sync-rate button, 1 a MIDI controller button.
Entry sel(int n, int type, float x, float y, int param, Section s, const char* label,
          LabelAt la = L::Below) {
  if (la == L::Below && (type == 2 || type == 3)) la = L::Below2;
  Bitmap off = (type == 2 || type == 3) ? B::PlugOff : B::ButtonOff;
  Entry e = at(n, Kind::Selector, x, y, param, off, s, label, la);
  e.bitmap2 = (type == 2 || type == 3) ? B::PlugOn : (type == 4 ? B::ButtonOn : B::ButtonOff);
  e.menuType = type;
  return e;
}

Entry part(Entry e, int p) {
  e.part = p;
  return e;
}

Entry legends(Entry e, const char* on, const char* off) {
  e.legendOn = on;
  e.legendOff = off;
  return e;
}

Entry role(Entry e, Role r, int index = 0) {
  e.role = r;
  e.roleIndex = index;
  return e;
}

// Sockets 48 apart: nudge neighbouring legends apart (a few pixels at most) so they never touch.
void spreadSocketLegends(std::vector<Entry>& t) {
  const float gap = 7, most = 6;
  for (Entry& a : t)
    for (Entry& b : t) {
      if (a.labelAt != L::Below2 || b.labelAt != L::Below2 || a.place.t != b.place.t ||
          b.place.l <= a.place.l || b.place.l - a.place.l > 60)
        continue;
      float overlap = labelRect(a).r + gap - labelRect(b).l;
      if (overlap <= 0) continue;
      float d = std::min(overlap / 2, most);
      a.labelDx -= d;
      b.labelDx += d;
    }
}

std::vector<Entry> buildLayout() {
  std::vector<Entry> t;
  auto add = [&t](const Entry& e) { t.push_back(e); };

  add(rect(0, Kind::SizeContext, 0, 0, kWidth, kHeight, kIdSizeContext, S::None));
  add(rect(1, Kind::CornerResizer, kWidth - 19, kHeight - 19, kWidth - 1, kHeight - 1, kNoParam,
           S::None));

  // Program section: each bank or program button directly before its lamp.
  add(at(2, Kind::PresetMenu, 2412, 248, kNoParam, B::Preset, S::Program));
  add(at(3, Kind::Kick, 2272, 248, kIdPrevProgram, B::Preset, S::Program));
  add(at(4, Kind::Kick, 2328, 248, kIdNextProgram, B::Preset, S::Program));
  add(role(part(rect(5, Kind::PresetName, 2104, 616, 2464, 644, kNoParam, S::Program), 1),
           Role::PresetName));
  for (int k = 0; k < 4; ++k) {
    add(at(6 + 2 * k, Kind::Kick, 2020.f + 56 * k, 248, kIdBank0 - k, B::Preset, S::Program));
    add(role(at(7 + 2 * k, Kind::Led, 2040.f + 56 * k, 200, kNoParam, B::Led, S::Program),
             Role::BankLamp, k));
  }
  for (int row = 0; row < 2; ++row) {
    for (int k = 0; k < 8; ++k) {
      int n = 14 + 16 * row + 2 * k;
      float y = 368.f + 120 * row;
      add(at(n, Kind::Kick, 2020.f + 56 * k, y, kIdProgram0 - 8 * row - k, B::Preset, S::Program));
      add(role(at(n + 1, Kind::Led, 2040.f + 56 * k, y - 48, kNoParam, B::Led, S::Program),
               Role::ProgramLamp, 8 * row + k));
    }
  }

  // Utility controls.
  add(part(rect(46, Kind::OptionMenu, 2234, 722, 2330, 762, kIdOptionMenu, S::Program), 2));
  add(rect(47, Kind::VersionLabel, 2208, 94, 2424, 118, kNoParam, S::None));
  add(at(48, Kind::Kick, 1648, 280, kIdManualTrigger, B::Kick, S::Output, "Trigger", L::Left));
  add(role(
      part(at(49, Kind::MidiLearn, 2364, 722, kIdMidiLearn, B::Learn, S::Program, "MIDI Learn"), 2),
      Role::LearnButton));
  add(role(at(50, Kind::Led, 1160, 480, kNoParam, B::Led, S::MG1), Role::LampMG1));
  add(role(at(51, Kind::Led, 1304, 480, kNoParam, B::Led, S::MG2), Role::LampMG2));
  add(role(at(52, Kind::Led, 1016, 480, kNoParam, B::Led, S::SH), Role::LampSH));
  add(role(part(at(53, Kind::Led, 1360, 842, kNoParam, B::Led, S::GEG), 1), Role::LampGEG));
  add(role(rect(54, Kind::InfoBubble, 2136, 862, 2456, 990, kIdInfoBubble, S::None),
           Role::InfoBubble));
  add(rect(55, Kind::OptionMenu, 76, 840, 116, 924, kIdTuningMenu1, S::Tuning));
  add(rect(56, Kind::OptionMenu, 156, 840, 196, 924, kIdTuningMenu2, S::Tuning));

  // Tuning tables, column by column from C at the bottom to B at the top.
  for (int table = 0; table < 2; ++table) {
    for (int d = 0; d < 12; ++d) {
      Entry e = at(57 + 12 * table + d, Kind::KnobText, 72.f + 80 * table, 768.f - 64 * d,
                   (table ? kTune2C : kTune1C) + d, B::KnobSmall, S::Tuning);
      add(e);
    }
  }

  // Panel controls.
  add(knob(81, 104, 896, kTotTune, B::Knob, S::Tuning, "Tot.Tune", L::Below));
  add(knob(82, 264, 96, kSg1Wave, B::KnobBig, S::Generators, "SG1 Wave"));
  add(knob(83, 264, 224, kSg1Scl, B::KnobBig, S::Generators, "SG1 Scl"));
  add(sel(84, 2, 280, 912, kScl1Src, S::Generators, "Scl1 Src"));
  add(sel(85, 2, 328, 912, kPwm1Src, S::Generators, "PWM1 Src"));
  add(knob(86, 408, 96, kSg2Wave, B::KnobBig, S::Generators, "SG2 Wave"));
  add(knob(87, 408, 224, kSg2Scl, B::KnobBig, S::Generators, "SG2 Scl"));
  add(knob(88, 416, 368, kSq2Fine, B::Knob, S::Generators, "SQ2 Fine"));
  add(knob(89, 416, 832, kFm2Ext, B::Knob, S::Generators, "FM2 Ext"));
  add(sel(90, 2, 376, 912, kFm2Src, S::Generators, "FM2 Src"));
  add(sel(91, 2, 424, 912, kScl2Src, S::Generators, "Scl2 Src"));
  add(sel(92, 2, 472, 912, kPwm2Src, S::Generators, "PWM2 Src"));
  add(knob(93, 272, 496, kPwmFreq, B::Knob, S::Generators, "PWM Freq"));
  add(knob(94, 416, 496, kPwmInt, B::Knob, S::Generators, "PWM Int"));
  add(legends(sw(95, 232, 756, kFmRev, B::Switch2Orange, S::Generators, "FM rev", L::AboveLeft),
              "-", "+"));
  add(sw(96, 496, 756, kFmMod, B::Switch2Orange, S::Generators, "FM Mod", L::Left));
  add(knob(97, 344, 680, kFmShMg, B::Knob, S::Generators, "FM SH/MG"));
  add(knob(98, 280, 832, kFmTExt, B::Knob, S::Generators, "FM T Ext"));
  add(sel(99, 2, 232, 912, kFmTSrc, S::Generators, "FM T Src"));
  add(knob(100, 552, 96, kCutoff, B::KnobBig, S::Filter, "Cutoff"));
  add(knob(101, 560, 240, kPeak, B::Knob, S::Filter, "Peak"));
  add(knob(102, 560, 368, kFcBal, B::Knob, S::Filter, "fC Bal"));
  add(knob(103, 560, 496, kExpand, B::Knob, S::Filter, "Expand"));
  add(part(sw(104, 640, 756, kFcMod, B::Switch2Orange, S::Filter, "fC Mod", L::Left), 1));
  add(knob(105, 560, 680, kFcMg1, B::Knob, S::Filter, "fC MG1"));
  add(knob(106, 560, 832, kFcGeg, B::Knob, S::Filter, "fC GEG"));
  add(sel(107, 2, 568, 912, kFcSrc, S::Filter, "fC Src"));
  add(knob(108, 688, 96, kEmAtk, B::KnobBig, S::Envelope, "EM Atk"));
  add(knob(109, 696, 240, kEmDcy, B::Knob, S::Envelope, "EM Dcy"));
  add(knob(110, 696, 368, kEmSus, B::Knob, S::Envelope, "EM Sus"));
  add(knob(111, 696, 496, kEmRel, B::Knob, S::Envelope, "EM Rel"));
  add(part(sel(112, 2, 680, 912, kEmASrc, S::Modulation, "EM A Src", L::Below2), 1));
  add(part(sel(113, 3, 732, 912, kEmRSrc, S::Modulation, "EM R Src", L::Below2), 1));
  add(role(at(114, Kind::Picture, 800, 28, kNoParam, B::ResBack, S::ResEq), Role::ResBack));
  add(role(knob(115, 844, 96, kRsInt, B::Knob, S::ResEq, "RS Int"), Role::ResControl));
  add(role(knob(116, 844, 200, kRsFreq1, B::Knob, S::ResEq, "RS Freq1"), Role::ResControl));
  add(role(knob(117, 844, 304, kRsFreq2, B::Knob, S::ResEq, "RS Freq2"), Role::ResControl));
  add(role(knob(118, 844, 408, kRsFreq3, B::Knob, S::ResEq, "RS Freq3"), Role::ResControl));
  add(role(knob(119, 844, 512, kRsMod, B::Knob, S::ResEq, "RS Mod"), Role::ResControl));
  add(role(part(sel(120, 2, 856, 592, kRfcSrc, S::ResEq, "RfC Src", L::Left2), 1),
           Role::ResControl));
  add(role(at(121, Kind::Picture, 800, 28, kNoParam, B::EqBack, S::ResEq), Role::EqBack));
  const struct {
    int param;
    const char* name;
  } eqBands[] = {{kEq8k, "EQ 8kHz"}, {kEq4k, "EQ 4kHz"}, {kEq2k, "EQ 2kHz"}, {kEq1k, "EQ 1kHz"},
                 {kEq500, "EQ 500"}, {kEq250, "EQ 250"}, {kEq125, "EQ 125"}};
  // The lowest band has its name below, clear of the "EQ / RES" switch.
  for (int k = 0; k < 7; ++k)
    add(role(part(knob(122 + k, 844, 72.f + 80 * k, eqBands[k].param, B::Knob, S::ResEq,
                       eqBands[k].name, k < 6 ? L::Right2 : L::Below),
                  k < 6 ? 0 : 2),
             Role::EqKnob));
  add(part(legends(sw(129, 924, 592, kEqRes, B::Switch2a, S::ResEq, nullptr), "RES", "EQ"), 1));
  add(knob(130, 984, 144, kKbdBal, B::KnobBig, S::Output, "KBD Bal"));
  add(knob(131, 1128, 144, kAmInt, B::KnobBig, S::Output, "AM Int"));
  add(knob(132, 1280, 112, kEnsembl, B::Knob, S::Output, "Ensembl"));
  add(knob(133, 1280, 256, kVca1Vol, B::Knob, S::Output, "VCA1 Vol"));
  add(knob(134, 1800, 96, kFinal, B::KnobBig, S::Output, "Final"));
  add(knob(135, 1584, 104, kDirect, B::Knob, S::Output, "Direct"));
  add(knob(136, 1808, 256, kPanFin, B::Knob, S::Output, "Pan Fin"));
  add(knob(137, 1688, 104, kPanDrct, B::Knob, S::Output, "Pan Drct"));
  add(part(sw(138, 1528, 372, kVca2Vp1, B::Switch2Orange, S::Output, "VCA2 VP1", L::Left), 1));
  add(sel(139, 2, 1288, 912, kVca1Src, S::MG2, "VCA1 Src"));
  add(knob(140, 844, 680, kShMg1, B::Knob, S::Modulation, "SH/MG1", L::Left));
  add(part(sel(141, 2, 732, 832, kModMSrc, S::Modulation, "MOD MSrc", L::Above), 1));
  add(part(knob(142, 992, 680, kShFreq, B::Knob, S::SH, "S/H Freq"), 1));
  add(part(sel(143, 4, 990, 742, kShHost, S::SH, "S/H Host"), 1));
  add(sw(144, 1016, 564, kShSync, B::Switch2, S::SH, "S/H Sync", L::Right2));
  add(part(sel(145, 3, 968, 912, kShTrig, S::SH, "S/H Trig", L::Below2), 2));
  add(part(sel(146, 2, 1032, 912, kShIn, S::SH, "S/H In", L::Below2), 1));
  add(knob(147, 1128, 544, kMg1Wave, B::KnobBig, S::MG1, "MG1 Wave"));
  add(knob(148, 1136, 680, kMg1Freq, B::Knob, S::MG1, "MG1 Freq"));
  add(sel(149, 4, 1134, 742, kMg1Host, S::MG1, "MG1 Host"));
  add(sel(150, 2, 1144, 912, kMg1FSrc, S::MG1, "MG1 FSrc"));
  add(knob(151, 1280, 552, kMg2Freq, B::Knob, S::MG2, "MG2 Freq", L::Above2));
  add(sel(152, 4, 1280, 626, kMg2Host, S::MG2, "MG2 Host", L::Below2));
  add(knob(153, 1416, 480, kGegDly, B::Knob, S::GEG, "GEG Dly"));
  add(knob(154, 1416, 592, kGegAtk, B::Knob, S::GEG, "GEG Atk"));
  add(knob(155, 1416, 704, kGegRel, B::Knob, S::GEG, "GEG Rel"));
  add(sw(156, 1440, 832, kGegAuto, B::Switch2, S::GEG, "GEG Auto"));
  add(sel(157, 3, 1400, 912, kGegSrc1, S::GEG, "GEG Src1"));
  add(sel(158, 3, 1456, 912, kGegSrc2, S::GEG, "GEG Src2"));
  add(knob(159, 1544, 480, kVp1A, B::Knob, S::VoltageProcessors, "VP1 A"));
  add(knob(160, 1544, 592, kVp1B, B::Knob, S::VoltageProcessors, "VP1 B"));
  add(knob(161, 1672, 480, kVp2A, B::Knob, S::VoltageProcessors, "VP2 A"));
  add(knob(162, 1672, 592, kVp2B, B::Knob, S::VoltageProcessors, "VP2 B"));
  add(legends(sw(163, 1622, 804, kVp2Sel, B::Switch2Horiz, S::VoltageProcessors, "VP2 Sel"), "VP2",
              "VP1"));
  add(sel(164, 2, 1556, 912, kVp1Src, S::VoltageProcessors, "VP1 Src"));
  add(sel(165, 2, 1684, 912, kVp2Src, S::VoltageProcessors, "VP2 Src"));
  add(knob(166, 1808, 480, kAdd1, B::Knob, S::Adder, "Add 1"));
  add(knob(167, 1808, 592, kAdd2, B::Knob, S::Adder, "Add 2"));
  add(sel(168, 2, 1788, 912, kAddSrc1, S::Adder, "Add Src1"));
  add(sel(169, 2, 1844, 912, kAddSrc2, S::Adder, "Add Src2"));
  const struct {
    int param;
    const char* name;
  } clockSources[] = {{kClk1Src, "Clk1 Src"}, {kClk2Src, "Clk2 Src"}, {kTrg1Src, "Trg1 Src"},
                      {kTrg2Src, "Trg2 Src"}, {kVc1Src, "VC1 Src"},   {kVc2Src, "VC2 Src"},
                      {kVc3Src, "VC3 Src"},   {kVc4Src, "VC4 Src"}};
  for (int k = 0; k < 8; ++k)
    add(sel(170 + k, k < 2 ? 4 : 1, 1988, 728.f + 32 * k, clockSources[k].param, S::Clocks,
            clockSources[k].name, L::Left));
  Entry kbdTrig = at(178, Kind::Knob, 1952, 600, kKbdTrig, B::Switch6, S::Keyboard, "Kbd Trig");
  kbdTrig.gearing = 1.0;
  add(kbdTrig);
  add(part(at(179, Kind::KnobText, 2124, 720, kPbRange, B::KnobSmall, S::Clocks, "PB Range"), 1));
  add(part(knob(180, 844, 816, kVeloLp, B::Knob, S::Modulation, "Velo LP"), 1));
  add(part(knob(181, 844, 928, kVeloVca, B::Knob, S::Modulation, "Velo VCA"), 1));
  add(sw(182, 572, 604, kK35Lp4, B::Switch2Horiz, S::Filter, "K35/LP4"));
  spreadSocketLegends(t);
  return t;
}

} // namespace

const std::vector<Entry>& layout() {
  static const std::vector<Entry> table = buildLayout();
  return table;
}

Rect controlRect(const Entry& e) {
  if (e.place.r > e.place.l) return e.place;
  const BitmapSpec& bs = bitmapSpec(e.bitmap);
  Rect r{e.place.l, e.place.t, e.place.l + bs.frameW, e.place.t + bs.frameH};
  if (e.kind == Kind::KnobText) r.b += 16;
  return r;
}

namespace {

// Two-line labels break at the last space.
void splitLabel(const char* text, std::string& first, std::string& second) {
  std::string t = text ? text : "";
  size_t cut = t.rfind(' ');
  if (cut == std::string::npos) {
    first = t;
    second.clear();
  } else {
    first = t.substr(0, cut);
    second = t.substr(cut + 1);
  }
}

bool twoLines(LabelAt a) {
  return a == LabelAt::Below2 || a == LabelAt::Left2 || a == LabelAt::Right2 ||
         a == LabelAt::Above2;
}

Rect legendRect(const Entry& e) {
  Rect c = controlRect(e);
  if (e.bitmap == Bitmap::Switch6) return {c.l - 26, c.t - 10, c.r + 26, c.b + 22};
  if (!e.legendOn) return {};
  float w = std::max(textWidth(e.legendOn, kLegendSize), textWidth(e.legendOff, kLegendSize));
  if (e.bitmap == Bitmap::Switch2Horiz) return {c.l - 5 - w, c.t, c.r + 5 + w, c.b};
  return {c.r, c.t, c.r + 5 + w, c.b};
}

} // namespace

float textWidth(const char* text, float size) {
  // Advance widths of Roboto Regular, printable ASCII, in units of 1/2048 em.
  static const short advance[95] = {
      508,  528,  656,  1261, 1151, 1500, 1274, 358,  701,  713,  882,  1162, 403,  566,
      540,  845,  1151, 1151, 1151, 1151, 1151, 1151, 1151, 1151, 1151, 1151, 496,  433,
      1041, 1124, 1071, 968,  1839, 1336, 1276, 1333, 1344, 1164, 1132, 1395, 1461, 557,
      1130, 1285, 1103, 1788, 1461, 1409, 1292, 1409, 1262, 1216, 1222, 1328, 1304, 1817,
      1284, 1230, 1227, 543,  841,  543,  856,  924,  633,  1114, 1150, 1072, 1155, 1086,
      712,  1150, 1128, 498,  490,  1038, 498,  1796, 1131, 1168, 1150, 1164, 694,  1057,
      670,  1129, 992,  1539, 1016, 969,  1016, 693,  500,  693,  1393};
  if (!text) return 0.f;
  long units = 0;
  for (const char* p = text; *p; ++p) {
    int c = static_cast<unsigned char>(*p);
    units += (c >= 32 && c < 127) ? advance[c - 32] : 1151;
  }
  return static_cast<float>(units) * size / 2048.f;
}

int labelLines(const Entry& e) {
  return twoLines(e.labelAt) ? 2 : 1;
}

float labelSize(const Entry& e) {
  bool socket = e.kind == Kind::Selector && (e.menuType == 2 || e.menuType == 3);
  return socket ? kLegendSize : kLabelSize;
}

Rect labelRect(const Entry& e) {
  if (!e.label || e.labelAt == LabelAt::None) return {};
  Rect c = controlRect(e);
  if (e.kind == Kind::KnobText) c.b -= 16;   // the value text sits below the knob
  if (e.bitmap == Bitmap::Switch6) c.t -= 8; // above the position legends
  float size = labelSize(e);
  float w = textWidth(e.label, size);
  float h = kLabelHeight;
  if (twoLines(e.labelAt)) {
    std::string a, b;
    splitLabel(e.label, a, b);
    w = std::max(textWidth(a.c_str(), size), textWidth(b.c_str(), size));
    h = kLabelHeight + size;
  }
  c.l += e.labelDx;
  c.r += e.labelDx;
  switch (e.labelAt) {
  case LabelAt::Above:
  case LabelAt::Above2:
    return {c.cx() - w / 2, c.t - h - 2, c.cx() + w / 2, c.t - 2};
  case LabelAt::AboveLeft:
    return {c.l, c.t - h - 2, c.l + w, c.t - 2};
  case LabelAt::Below:
  case LabelAt::Below2:
    return {c.cx() - w / 2, c.b + 2, c.cx() + w / 2, c.b + 2 + h};
  case LabelAt::Left:
  case LabelAt::Left2:
    return {c.l - 4 - w, c.cy() - h / 2, c.l - 4, c.cy() + h / 2};
  case LabelAt::Right:
  case LabelAt::Right2:
    return {c.r + 4, c.cy() - h / 2, c.r + 4 + w, c.cy() + h / 2};
  case LabelAt::None:
    break;
  }
  return {};
}

Rect printRect(const Entry& e) {
  Rect r = controlRect(e).unite(labelRect(e)).unite(legendRect(e));
  if (e.kind == Kind::PresetName || e.kind == Kind::InfoBubble) r = r.grown(6);
  if (e.kind == Kind::Kick && e.id <= kIdBank0 && e.id >= kIdProgram0 - 15) r.t -= 28;
  if (e.id == kIdPrevProgram || e.id == kIdNextProgram || e.kind == Kind::PresetMenu) r.t -= 28;
  return r;
}

namespace {
// Extra room on the first part of a section (left, top, right, bottom), where a title needs
// more width than the controls give and the neighbours leave space.
Rect sectionPad(Section s) {
  switch (s) {
  case Section::Filter:
    return {6, 0, 6, 0};
  case Section::Envelope:
    return {28, 0, 34, 0};
  case Section::Modulation:
    return {8, 0, 12, 0};
  case Section::ResEq:
    return {0, 0, 5, 0};
  case Section::Keyboard:
    return {14, 0, 28, 0};
  default:
    return {};
  }
}
} // namespace

namespace {

// Each part's box before joining: its controls' prints with the margin and the pad.
std::vector<Rect> rawParts(Section s) {
  std::vector<Rect> parts;
  for (const Entry& e : layout()) {
    if (e.section != s || e.kind == Kind::Picture) continue;
    if (static_cast<int>(parts.size()) <= e.part) parts.resize(e.part + 1);
    parts[e.part] = parts[e.part].unite(printRect(e));
  }
  bool tight = s == Section::Clocks || s == Section::Adder;
  float margin = tight ? kFrameMargin - 2 : kFrameMargin;
  for (Rect& p : parts) p = p.grown(margin);
  if (!parts.empty()) {
    Rect pad = sectionPad(s);
    parts[0] = {parts[0].l - pad.l, parts[0].t - 8 - pad.t, parts[0].r + pad.r, parts[0].b + pad.b};
  }
  return parts;
}

} // namespace

std::vector<Rect> sectionParts(Section s) {
  std::vector<Rect> parts = rawParts(s);
  // Join parts that nearly touch with a connector as wide as their common stretch, so the
  // frame reads as one outline.
  size_t n = parts.size();
  for (size_t i = 1; i < n; ++i)
    for (size_t j = 0; j < i; ++j) {
      const Rect a = parts[i], b = parts[j];
      float xl = std::max(a.l, b.l), xr = std::min(a.r, b.r);
      float yt = std::max(a.t, b.t), yb = std::min(a.b, b.b);
      // Connectors reach well into both parts so no edge line stays between them.
      const float in = 14;
      if (xl < xr && a.t >= b.b && a.t - b.b < kBridge)
        parts.push_back({xl, b.b - in, xr, a.t + in});
      if (xl < xr && b.t >= a.b && b.t - a.b < kBridge)
        parts.push_back({xl, a.b - in, xr, b.t + in});
      if (yt < yb && a.l >= b.r && a.l - b.r < kBridge)
        parts.push_back({b.r - in, yt, a.l + in, yb});
      if (yt < yb && b.l >= a.r && b.l - a.r < kBridge)
        parts.push_back({a.r - in, yt, b.l + in, yb});
    }
  return parts;
}

Rect sectionTitleRect(Section s) {
  std::vector<Rect> parts = rawParts(s);
  if (parts.empty()) return {};
  const Rect& p = parts[0];
  float l = p.l + 8, r = p.r - 8;
  for (size_t i = 1; i < parts.size(); ++i) {
    const Rect& q = parts[i];
    if (q.t >= p.t + 2 || q.b <= p.t - 2) continue;
    if (q.cx() < p.cx())
      l = std::max(l, q.r + 4);
    else
      r = std::min(r, q.l - 4);
  }
  const char* title = sectionTitle(s);
  float w = textWidth(title, kTitleSize) +
            kTitleSpacing * static_cast<float>(std::max<size_t>(std::strlen(title), 1) - 1) + 12;
  float cx = 0.5f * (l + r);
  return {cx - w / 2, p.t - 0.5f * kTitleSize, cx + w / 2, p.t + 0.5f * kTitleSize};
}

} // namespace panel
