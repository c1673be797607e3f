#include "tools/render/score.h"

#include <algorithm>

namespace vrender {

void finishScore(Score& score) {
  std::stable_sort(score.events.begin(), score.events.end(),
                   [](const ScoreEvent& a, const ScoreEvent& b) { return a.frame < b.frame; });
  if (!score.events.empty()) score.endFrame = std::max(score.endFrame, score.events.back().frame);
}

} // namespace vrender
