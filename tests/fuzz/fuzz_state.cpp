// The host's state from arbitrary bytes, through the component's setState as a host calls it: a
// refused state changes nothing (sound, program names and states, current program), and what
// was taken is saved and restored exactly. The program path reads the same bytes too.
#include "framework/vst3/vst3_plugin.h"
#include "pluginterfaces/base/ibstream.h"
#include "plugin/varnel.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {
using Steinberg::int32;
using Steinberg::int64;
using Steinberg::tresult;

// The host's byte stream, in memory.
class MemoryStream : public Steinberg::IBStream {
public:
  MemoryStream() = default;
  explicit MemoryStream(std::vector<uint8_t> bytes) : data(std::move(bytes)) {}
  virtual ~MemoryStream() = default;
  tresult PLUGIN_API queryInterface(const Steinberg::TUID, void** obj) override {
    *obj = nullptr;
    return Steinberg::kNoInterface;
  }
  Steinberg::uint32 PLUGIN_API addRef() override { return 1; }
  Steinberg::uint32 PLUGIN_API release() override { return 1; }
  tresult PLUGIN_API read(void* buffer, int32 numBytes, int32* numBytesRead) override {
    const int64 n = std::max<int64>(0, std::min<int64>(numBytes, size() - pos));
    if (n > 0) std::memcpy(buffer, data.data() + pos, static_cast<size_t>(n));
    pos += n;
    if (numBytesRead) *numBytesRead = static_cast<int32>(n);
    return Steinberg::kResultOk;
  }
  tresult PLUGIN_API write(void* buffer, int32 numBytes, int32* numBytesWritten) override {
    if (numBytes < 0) return Steinberg::kInvalidArgument;
    if (pos + numBytes > size()) data.resize(static_cast<size_t>(pos + numBytes));
    std::memcpy(data.data() + pos, buffer, static_cast<size_t>(numBytes));
    pos += numBytes;
    if (numBytesWritten) *numBytesWritten = numBytes;
    return Steinberg::kResultOk;
  }
  tresult PLUGIN_API seek(int64 to, int32 mode, int64* result) override {
    const int64 base = mode == kIBSeekSet ? 0 : mode == kIBSeekCur ? pos : size();
    pos = std::max<int64>(0, base + to);
    if (result) *result = pos;
    return Steinberg::kResultOk;
  }
  tresult PLUGIN_API tell(int64* where) override {
    if (where) *where = pos;
    return Steinberg::kResultOk;
  }
  int64 size() const { return static_cast<int64>(data.size()); }
  std::vector<uint8_t> data;
  int64 pos = 0;
};

struct Instance {
  Instance() {
    auto owned = std::make_unique<Varnel>();
    plug = owned.get();
    vst = new Vst3Plugin(std::move(owned));
    component = vst;
    component->initialize(nullptr);
    // Another program than the current one holds a sound and a name of its own.
    plug->RestorePreset(7);
    plug->GetParam(0)->SetFromNormalized(0.9);
    plug->ModifyCurrentPreset("Seven");
    plug->RestorePreset(2);
  }
  std::vector<uint8_t> fingerprint() {
    MemoryStream state;
    if (component->getState(&state) != Steinberg::kResultOk) std::abort();
    IByteChunk bank;
    plug->SerializePresets(bank);
    state.data.insert(state.data.end(), bank.GetData(), bank.GetData() + bank.Size());
    return state.data;
  }
  Varnel* plug = nullptr;
  Vst3Plugin* vst = nullptr;
  Steinberg::Vst::IComponent* component = nullptr;
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Instance* in = new Instance();
  const std::vector<uint8_t> before = in->fingerprint();
  MemoryStream input(std::vector<uint8_t>(data, data + size));
  if (in->component->setState(&input) != Steinberg::kResultOk) {
    if (in->fingerprint() != before) std::abort();
  } else {
    MemoryStream saved;
    if (in->component->getState(&saved) != Steinberg::kResultOk) std::abort();
    MemoryStream again(saved.data);
    if (in->component->setState(&again) != Steinberg::kResultOk) std::abort();
    MemoryStream twice;
    in->component->getState(&twice);
    if (twice.data != saved.data) std::abort();
  }
  IByteChunk chunk;
  chunk.AppendBytes(data, static_cast<int>(size));
  in->plug->UnserializeState(chunk, size > 0 ? data[0] % 16 : 0);
  return 0;
}
