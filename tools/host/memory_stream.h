#pragma once
// A growable in-memory IBStream for component and controller state.
#include <cstdint>
#include <vector>

#include "pluginterfaces/base/ibstream.h"
#include "tools/host/ref_counted.h"

namespace vhost {

class MemoryStream : public Steinberg::IBStream {
public:
  MemoryStream() = default;
  explicit MemoryStream(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}
  virtual ~MemoryStream() = default;

  const std::vector<uint8_t>& bytes() const { return data_; }
  void rewind() { pos_ = 0; }

  Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes,
                                     Steinberg::int32* numBytesRead) override;
  Steinberg::tresult PLUGIN_API write(void* buffer, Steinberg::int32 numBytes,
                                      Steinberg::int32* numBytesWritten) override;
  Steinberg::tresult PLUGIN_API seek(Steinberg::int64 pos, Steinberg::int32 mode,
                                     Steinberg::int64* result) override;
  Steinberg::tresult PLUGIN_API tell(Steinberg::int64* pos) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;

  VHOST_REFCOUNTED

private:
  std::vector<uint8_t> data_;
  int64_t pos_ = 0;
};

} // namespace vhost
