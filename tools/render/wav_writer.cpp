#include "tools/render/wav_writer.h"

#include <sndfile.h>

#include <cmath>
#include <vector>

#include "tools/host/host_error.h"

namespace vrender {

void writeWav(const std::string& path, const Rendered& audio) {
  SF_INFO info{};
  info.samplerate = static_cast<int>(std::lround(audio.sampleRate));
  info.channels = 2;
  info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) throw vhost::HostError("cannot write " + path + ": " + sf_strerror(nullptr));
  // The PEAK chunk carries a time stamp, which would make two renders differ.
  sf_command(file, SFC_SET_ADD_PEAK_CHUNK, nullptr, SF_FALSE);
  std::vector<float> interleaved;
  const sf_count_t chunk = 65536;
  const sf_count_t total = audio.frames();
  for (sf_count_t start = 0; start < total; start += chunk) {
    const sf_count_t n = std::min(chunk, total - start);
    interleaved.resize(static_cast<size_t>(n * 2));
    for (sf_count_t i = 0; i < n; ++i) {
      interleaved[static_cast<size_t>(2 * i)] = audio.left[static_cast<size_t>(start + i)];
      interleaved[static_cast<size_t>(2 * i + 1)] = audio.right[static_cast<size_t>(start + i)];
    }
    if (sf_writef_float(file, interleaved.data(), n) != n) {
      const std::string why = sf_strerror(file);
      sf_close(file);
      throw vhost::HostError("cannot write " + path + ": " + why);
    }
  }
  if (sf_close(file) != 0)
    throw vhost::HostError("cannot write " + path + ": the file could not be completed");
}

} // namespace vrender
