#pragma once
// Reference counting for the host's own VST3 objects. They start with one reference, held by
// whoever created them (normally an IPtr taken with Steinberg::owned).
// Interface IDs are compared through the headers' inline TUID constants (IFoo_iid), so this
// library defines no IFoo::iid symbols that could clash with a plug-in linked into one binary.
#include <atomic>

#include "pluginterfaces/base/funknown.h"
#include "pluginterfaces/base/smartpointer.h"

#define VHOST_REFCOUNTED                                                                           \
public:                                                                                            \
  Steinberg::uint32 PLUGIN_API addRef() override {                                                 \
    return ++refCount_;                                                                            \
  }                                                                                                \
  Steinberg::uint32 PLUGIN_API release() override {                                                \
    const Steinberg::uint32 left = --refCount_;                                                    \
    if (left == 0) delete this;                                                                    \
    return left;                                                                                   \
  }                                                                                                \
                                                                                                   \
private:                                                                                           \
  std::atomic<Steinberg::uint32> refCount_{1};

namespace vhost {

inline bool sameIid(const Steinberg::TUID a, const Steinberg::TUID b) {
  return Steinberg::FUnknownPrivate::iidEqual(a, b);
}

// The queryInterface of an object that offers one interface I (and FUnknown through it).
template <typename I>
Steinberg::tresult answerQuery(I* self, const Steinberg::TUID offered, const Steinberg::TUID iid,
                               void** obj) {
  if (sameIid(iid, Steinberg::FUnknown_iid) || sameIid(iid, offered)) {
    self->addRef();
    *obj = self;
    return Steinberg::kResultOk;
  }
  *obj = nullptr;
  return Steinberg::kNoInterface;
}

// queryInterface as a smart pointer; null when the object does not offer the interface.
template <typename T>
Steinberg::IPtr<T> queryAs(Steinberg::FUnknown* object, const Steinberg::TUID iid) {
  void* result = nullptr;
  if (object && object->queryInterface(iid, &result) == Steinberg::kResultOk && result)
    return Steinberg::owned(static_cast<T*>(result));
  return nullptr;
}

} // namespace vhost
