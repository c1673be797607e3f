#pragma once
// The render benchmark: held notes through the bundle, reported as a realtime factor and as
// nanoseconds per voice-sample, both from the CPU time of the rendering thread.
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

// Prints the reference loop, then one line per case, note count and voice path, then the
// reference loop again:
//   case=reference voices=64 ns_per_voice_sample=<ns>
//   case=<name> path=<scalar|sse2|avx2> voices=<N> realtime=<factor> ns_per_voice_sample=<ns>
void runBench(const vhost::Bundle& bundle, const RenderOptions& options, std::ostream& out,
              double measureSeconds = 2.0);

} // namespace vrender
