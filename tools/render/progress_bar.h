#pragma once
// A one-line progress bar on stderr, shown only when stderr is a terminal.
#include <string>

namespace vrender {

class ProgressBar {
public:
  explicit ProgressBar(std::string label, bool enabled);
  ~ProgressBar();
  void update(double fraction);
  void finish();

private:
  std::string label_;
  bool enabled_;
  bool drawn_ = false;
  int lastWidth_ = -1;
};

bool stderrIsTerminal();

} // namespace vrender
