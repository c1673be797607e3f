#include "tools/render/progress_bar.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

namespace vrender {

namespace {
constexpr int kWidth = 40;
}

bool stderrIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

ProgressBar::ProgressBar(std::string label, bool enabled)
    : label_(std::move(label)), enabled_(enabled) {}

ProgressBar::~ProgressBar() {
  finish();
}

void ProgressBar::update(double fraction) {
  if (!enabled_) return;
  fraction = std::clamp(fraction, 0.0, 1.0);
  const int filled = static_cast<int>(fraction * kWidth + 0.5);
  const int percent = static_cast<int>(fraction * 100.0 + 0.5);
  if (filled * 1000 + percent == lastWidth_) return;
  lastWidth_ = filled * 1000 + percent;
  std::string bar(static_cast<size_t>(filled), '#');
  bar.resize(kWidth, '.');
  std::fprintf(stderr, "\r%s [%s] %3d%%", label_.c_str(), bar.c_str(), percent);
  std::fflush(stderr);
  drawn_ = true;
}

void ProgressBar::finish() {
  if (drawn_) {
    std::fputc('\n', stderr);
    drawn_ = false;
  }
  enabled_ = false;
}

} // namespace vrender
