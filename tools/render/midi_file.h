#pragma once
// Standard MIDI Files (through libsmf) turned into a score at a sample rate.
#include <string>

#include "tools/render/score.h"

namespace vrender {

// Times map to round(seconds * rate). Throws vhost::HostError for a file that cannot be read.
Score readMidiFile(const std::string& path, double sampleRate);

} // namespace vrender
