#include "tools/host/memory_stream.h"

#include <algorithm>
#include <cstring>

using namespace Steinberg;

namespace vhost {

tresult PLUGIN_API MemoryStream::read(void* buffer, int32 numBytes, int32* numBytesRead) {
  if (numBytesRead) *numBytesRead = 0;
  if (numBytes < 0 || (numBytes > 0 && !buffer)) return kInvalidArgument;
  const int64_t size = static_cast<int64_t>(data_.size());
  const int64_t available = std::max<int64_t>(0, size - pos_);
  const int32 n = static_cast<int32>(std::min<int64_t>(available, numBytes));
  if (n > 0) std::memcpy(buffer, data_.data() + pos_, static_cast<size_t>(n));
  pos_ += n;
  if (numBytesRead) *numBytesRead = n;
  return kResultOk;
}

tresult PLUGIN_API MemoryStream::write(void* buffer, int32 numBytes, int32* numBytesWritten) {
  if (numBytesWritten) *numBytesWritten = 0;
  if (numBytes < 0 || (numBytes > 0 && !buffer)) return kInvalidArgument;
  const size_t end = static_cast<size_t>(pos_) + static_cast<size_t>(numBytes);
  if (end > data_.size()) data_.resize(end, 0);
  if (numBytes > 0) std::memcpy(data_.data() + pos_, buffer, static_cast<size_t>(numBytes));
  pos_ += numBytes;
  if (numBytesWritten) *numBytesWritten = numBytes;
  return kResultOk;
}

tresult PLUGIN_API MemoryStream::seek(int64 pos, int32 mode, int64* result) {
  int64_t target = 0;
  switch (mode) {
  case kIBSeekSet:
    target = pos;
    break;
  case kIBSeekCur:
    target = pos_ + pos;
    break;
  case kIBSeekEnd:
    target = static_cast<int64_t>(data_.size()) + pos;
    break;
  default:
    return kInvalidArgument;
  }
  if (target < 0) return kResultFalse;
  pos_ = target;
  if (result) *result = pos_;
  return kResultOk;
}

tresult PLUGIN_API MemoryStream::tell(int64* pos) {
  if (!pos) return kInvalidArgument;
  *pos = pos_;
  return kResultOk;
}

tresult PLUGIN_API MemoryStream::queryInterface(const TUID iid, void** obj) {
  return answerQuery<IBStream>(this, IBStream_iid, iid, obj);
}

} // namespace vhost
