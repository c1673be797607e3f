#pragma once
// The panel's one description: every control's place, kind, binding and picture, and the
// sections they form. The editor builds its controls from it and the artwork tool prints the
// labels, scales and frames of the background from it, so the two never disagree.
#include <vector>

namespace panel {

constexpr float kWidth = 2512.f;
constexpr float kHeight = 1040.f;

struct Rect {
  float l = 0, t = 0, r = 0, b = 0;
  float w() const { return r - l; }
  float h() const { return b - t; }
  float cx() const { return 0.5f * (l + r); }
  float cy() const { return 0.5f * (t + b); }
  bool empty() const { return r <= l || b <= t; }
  Rect unite(const Rect& o) const;
  Rect grown(float d) const { return {l - d, t - d, r + d, b + d}; }
  bool overlaps(const Rect& o) const { return l < o.r && o.l < r && t < o.b && o.t < b; }
};

// Identifiers of the controls bound to no parameter.
enum Identifier {
  kIdPrevProgram = -126,
  kIdNextProgram = -127,
  kIdOptionMenu = -128,
  kIdMidiLearn = -129,
  kIdSizeContext = -130,
  kIdManualTrigger = -131,
  kIdTuningMenu1 = -132,
  kIdTuningMenu2 = -133,
  kIdInfoBubble = -134,
  kIdBank0 = -136,    // .. -139
  kIdProgram0 = -140, // .. -155
  kNoParam = -1
};

enum class Kind {
  SizeContext,
  CornerResizer,
  PresetMenu,
  Kick,
  PresetName,
  Led,
  OptionMenu,
  VersionLabel,
  MidiLearn,
  InfoBubble,
  Knob,
  KnobText,
  Switch,
  Selector,
  Picture
};

// Every picture of the panel, with its file, frame count and frame size in design pixels.
enum class Bitmap {
  None,
  Knob,
  KnobBig,
  KnobSmall,
  Switch2,
  Switch2Orange,
  Switch2Horiz,
  Switch2a,
  Switch6,
  PlugOff,
  PlugOn,
  ButtonOff,
  ButtonOn,
  Led,
  Preset,
  Kick,
  Learn,
  Unlearn,
  ResBack,
  EqBack,
  Count
};

struct BitmapSpec {
  const char* file;
  int frames;
  int frameW, frameH;
};
const BitmapSpec& bitmapSpec(Bitmap b);
constexpr const char* kBackgroundFile = "back.jpg";
constexpr const char* kFontFile = "Roboto-Regular.ttf";

// What the plug-in object keeps a reference to.
enum class Role {
  None,
  PresetName,
  BankLamp,    // index 0..3
  ProgramLamp, // index 0..15
  ResBack,
  ResControl, // the five resonator knobs and "RfC Src"
  EqBack,
  EqKnob,
  LampSH,
  LampMG1,
  LampMG2,
  LampGEG,
  InfoBubble,
  LearnButton
};

enum class Section {
  None,
  Tuning,
  Generators,
  Filter,
  Envelope,
  ResEq,
  Modulation,
  Keyboard,
  Output,
  SH,
  MG1,
  MG2,
  GEG,
  VoltageProcessors,
  Adder,
  Clocks,
  Program,
  Count
};
const char* sectionTitle(Section s);

// Where the background prints a control's name; the "2" forms split it into two lines at its
// last space, for controls set close together.
enum class LabelAt { None, Above, AboveLeft, Below, Left, Right, Below2, Left2, Right2, Above2 };

struct Entry {
  int number; // attach order; 0 and 1 come before the ordered controls
  Kind kind;
  Rect place;     // x, y in l, t; r and b only for controls given as a rectangle
  int id;         // parameter index, or a negative identifier, or kNoParam
  Bitmap bitmap;  // the (off) picture
  Bitmap bitmap2; // the on picture of a selector
  int menuType;   // selectors: 1 .. 4
  double gearing; // knobs
  Role role;
  int roleIndex;
  Section section;
  int part;          // a section is framed as the union of its parts' boxes
  const char* label; // the parameter's name as the host shows it (background label)
  LabelAt labelAt;
  const char* legendOn;  // switches: legend at the on (upper or right) end
  const char* legendOff; // and at the off end
  float labelDx;         // sideways nudge of the label, to keep close neighbours apart
};

// The table, in attach order (corner handle and size control first).
const std::vector<Entry>& layout();

// The control's rectangle: its given rectangle, or one frame of its bitmap at its place.
Rect controlRect(const Entry& e);
// Where the background prints the entry's label (empty when it has none); two-line labels
// give the box of both lines.
Rect labelRect(const Entry& e);
// The lines of a label: one, or two for the "2" placements.
int labelLines(const Entry& e);
float labelSize(const Entry& e);
// Everything the background prints for an entry: control, label and legends.
Rect printRect(const Entry& e);
// Width of a text in the panel's font at a size (Roboto's advances).
float textWidth(const char* text, float size);

// A section's frame: the union of its parts, each the box of its controls' prints with a
// margin; parts of one section less than kBridge apart are joined. The title sits on the top
// edge of the first part, centred on the stretch of that edge that no other part covers.
std::vector<Rect> sectionParts(Section s);
Rect sectionTitleRect(Section s);

constexpr float kLabelSize = 21.f;
constexpr float kLegendSize = 18.f;
constexpr float kLabelHeight = 24.f;
constexpr float kTitleSize = 23.f;
constexpr float kTitleSpacing = 1.f;
constexpr float kFrameMargin = 8.f;
constexpr float kBridge = 70.f;

// The bitmaps loaded by the editor, in the order it loads them.
const std::vector<Bitmap>& editorBitmaps();

} // namespace panel
