#pragma once
// The render benchmark: held notes through the bundle, reported as a realtime factor and as
// nanoseconds per voice-sample.
#include <iosfwd>
#include <string>
#include <vector>

#include "tools/host/bundle.h"
#include "tools/render/render_options.h"

namespace vrender {

struct BenchCase {
  std::string name;
  std::vector<std::string> settings; // "NAME=VALUE"
};

std::vector<BenchCase> benchCases();
const std::vector<int>& benchVoiceCounts();

// Prints one line per case and note count:
//   case=<name> voices=<N> realtime=<factor> ns_per_voice_sample=<ns>
void runBench(const vhost::Bundle& bundle, const RenderOptions& options, std::ostream& out,
              double measureSeconds = 2.0);

} // namespace vrender
