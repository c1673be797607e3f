#include "plugin/info_bubble_texts.h"

#include "plugin/param_ids.h"

#include <algorithm>
#include <iterator>

namespace {

const char* const descModTarget[] = {"SG Total Frequency",
                                     "SG1 Scale",
                                     "SG1 Pulse Width",
                                     "SG2 Frequency",
                                     "SG2 Scale",
                                     "SG2 Pulse Width",
                                     "LP Frequency",
                                     "EM Attack Time",
                                     "EM Release Trigger",
                                     "VCA1 Amplitude",
                                     "S/H or MG1 Amplitude",
                                     "S/H Clock Input",
                                     "S/H Input",
                                     "MG1 Frequency",
                                     "GEG Trigger 1",
                                     "GEG Trigger 2",
                                     "VP1 Input",
                                     "VP2 Input",
                                     "Adder Input 1",
                                     "Adder Input 2",
                                     "Resonator Peak Frequencies"};

const char* const descModSource[] = {"off",
                                     "Constant Voltage",
                                     "Constant Voltage",
                                     "General Envelope (negative)",
                                     "General Envelope (positive)",
                                     "General Envelope (positive)",
                                     "Modulated S/H or MG1",
                                     "Modulation Generator 1",
                                     "Modulation Generator 2",
                                     "Sample & Hold",
                                     "Voltage Processor 1",
                                     "Voltage Processor 2",
                                     "Adder",
                                     "Last Pressed Key",
                                     "Channel Aftertouch",
                                     "Pitch Bend",
                                     "Pitch Bend (positive)",
                                     "Modulation Wheel",
                                     "Modulation Wheel (positive)",
                                     "External Control Voltage 1",
                                     "External Control Voltage 2",
                                     "External Control Voltage 3",
                                     "External Control Voltage 4"};

// The sample and hold samples noise where the others would take the sample and hold itself.
const char* const descInputSource[] = {"off",
                                       "Constant Voltage",
                                       "Constant Voltage",
                                       "General Envelope (negative)",
                                       "General Envelope (positive)",
                                       "General Envelope (positive)",
                                       "Modulated S/H or MG1",
                                       "Modulation Generator 1",
                                       "Modulation Generator 2",
                                       "White Noise",
                                       "Voltage Processor 1",
                                       "Voltage Processor 2",
                                       "Adder",
                                       "Last Pressed Key",
                                       "Channel Aftertouch",
                                       "Pitch Bend",
                                       "Pitch Bend (positive)",
                                       "Modulation Wheel",
                                       "Modulation Wheel (positive)",
                                       "External Control Voltage 1",
                                       "External Control Voltage 2",
                                       "External Control Voltage 3",
                                       "External Control Voltage 4"};

const char* const outputModSource[] = {
    "Output: 0 Volt",       "Output: 5 Volt",       "Output: -5 Volt",      "Output: 0 to 5 Volt",
    "Output: -5 to 0 Volt", "Output: 0 to 5 Volt",  "Output: -5 to 5 Volt", "Output: -5 to 5 Volt",
    "Output: -5 to 5 Volt", "Output: -5 to 5 Volt", "Output: -5 to 5 Volt", "Output: -5 to 5 Volt",
    "Output: -5 to 5 Volt", "Output: -5 to 5 Volt", "Output: 0 to 5 Volt",  "Output: -5 to 5 Volt",
    "Output: 0 to 5 Volt",  "Output: -5 to 5 Volt", "Output: 0 to 5 Volt",  "Output: -5 to 5 Volt",
    "Output: -5 to 5 Volt", "Output: -5 to 5 Volt", "Output: -5 to 5 Volt"};

const char* const descTriggerSource[] = {"off",
                                         "Keyboard Trigger",
                                         "Keyboard Single Trigger",
                                         "Keyboard Multiple Trigger",
                                         "Modulation Generator 1 Clock",
                                         "Modulation Generator 2 Clock",
                                         "Sample & Hold Clock",
                                         "External Clock 1",
                                         "External Clock 2",
                                         "External Trigger 1",
                                         "External Trigger 2"};

static_assert(std::size(descModSource) == 23 && std::size(descInputSource) == 23 &&
                  std::size(outputModSource) == 23 && std::size(descTriggerSource) == 11 &&
                  std::size(descModTarget) == 21,
              "one text per source, trigger and target");

constexpr const char* kInputUnipolar = "Input: 0 to 5 Volt";
constexpr const char* kInputBipolar = "Input: -5 to 5 Volt";
constexpr const char* kInputTrigger = "Input: Trigger";
constexpr int kClockExt1 = 7, kClockExt2 = 8;

enum class Kind { kModSource, kInputSource, kTrigger };

struct Row {
  int param;
  const char* target;
  const char* input;
  Kind kind;
};

const Row kRows[] = {
    {kScl1Src, descModTarget[1], kInputUnipolar, Kind::kModSource},
    {kPwm1Src, descModTarget[2], kInputBipolar, Kind::kModSource},
    {kFm2Src, descModTarget[3], kInputBipolar, Kind::kModSource},
    {kScl2Src, descModTarget[4], kInputUnipolar, Kind::kModSource},
    {kPwm2Src, descModTarget[5], kInputBipolar, Kind::kModSource},
    {kFmTSrc, descModTarget[0], kInputBipolar, Kind::kModSource},
    {kFcSrc, descModTarget[6], kInputBipolar, Kind::kModSource},
    {kEmASrc, descModTarget[7], kInputBipolar, Kind::kModSource},
    {kEmRSrc, descModTarget[8], kInputTrigger, Kind::kTrigger},
    {kVca1Src, descModTarget[9], kInputUnipolar, Kind::kModSource},
    {kModMSrc, descModTarget[10], kInputBipolar, Kind::kModSource},
    {kShTrig, descModTarget[11], kInputTrigger, Kind::kTrigger},
    {kShIn, descModTarget[12], kInputBipolar, Kind::kInputSource},
    {kMg1FSrc, descModTarget[13], kInputBipolar, Kind::kModSource},
    {kGegSrc1, descModTarget[14], kInputTrigger, Kind::kTrigger},
    {kGegSrc2, descModTarget[15], kInputTrigger, Kind::kTrigger},
    {kVp1Src, descModTarget[16], kInputBipolar, Kind::kModSource},
    {kVp2Src, descModTarget[17], kInputBipolar, Kind::kModSource},
    {kAddSrc1, descModTarget[18], kInputBipolar, Kind::kModSource},
    {kAddSrc2, descModTarget[19], kInputBipolar, Kind::kModSource},
    {kRfcSrc, descModTarget[20], kInputBipolar, Kind::kModSource},
};

// Values outside a table take its nearest end.
template <size_t N> const char* at(const char* const (&table)[N], int value) {
  return table[std::clamp(value, 0, static_cast<int>(N) - 1)];
}

} // namespace

bool infoBubbleLines(int paramIndex, int value, int clk1Src, int clk2Src, InfoBubbleLines& lines) {
  lines = {};
  const Row* row = std::find_if(std::begin(kRows), std::end(kRows),
                                [paramIndex](const Row& r) { return r.param == paramIndex; });
  if (row == std::end(kRows)) return false;
  lines.target = row->target;
  lines.input = row->input;
  switch (row->kind) {
  case Kind::kModSource:
    lines.source = at(descModSource, value);
    lines.output = at(outputModSource, value);
    break;
  case Kind::kInputSource:
    lines.source = at(descInputSource, value);
    lines.output = at(outputModSource, value);
    break;
  case Kind::kTrigger: {
    lines.source = at(descTriggerSource, value);
    // An external clock without a rate never ticks.
    const bool silentClock =
        (value == kClockExt1 && clk1Src == 0) || (value == kClockExt2 && clk2Src == 0);
    lines.output = silentClock ? "Output: inactive" : "Output: Trigger";
    break;
  }
  }
  return true;
}
