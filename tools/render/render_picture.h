#pragma once
// A PNG picture of a render: the waveform of both channels on top, a spectrogram below.
#include <string>

#include "tools/render/renderer.h"

namespace vrender {

struct PictureSize {
  int width = 1200;
  int height = 720;
};

// Throws vhost::HostError when the file cannot be written.
void writePicture(const std::string& path, const Rendered& audio, const std::string& title,
                  PictureSize size = {});

} // namespace vrender
