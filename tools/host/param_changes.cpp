#include "tools/host/param_changes.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vhost {

int32 PLUGIN_API ParamValueQueue::getPointCount() {
  return static_cast<int32>(points_.size());
}

tresult PLUGIN_API ParamValueQueue::getPoint(int32 index, int32& sampleOffset, ParamValue& value) {
  if (index < 0 || index >= getPointCount()) return kInvalidArgument;
  sampleOffset = points_[static_cast<size_t>(index)].offset;
  value = points_[static_cast<size_t>(index)].value;
  return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::addPoint(int32 sampleOffset, ParamValue value, int32& index) {
  size_t at = points_.size();
  while (at > 0 && points_[at - 1].offset > sampleOffset) --at;
  points_.insert(points_.begin() + static_cast<std::ptrdiff_t>(at), Point{sampleOffset, value});
  index = static_cast<int32>(at);
  return kResultOk;
}

tresult PLUGIN_API ParamValueQueue::queryInterface(const TUID iid, void** obj) {
  return answerQuery<IParamValueQueue>(this, IParamValueQueue_iid, iid, obj);
}

ParameterChanges::~ParameterChanges() {
  for (ParamValueQueue* q : queues_) q->release();
}

void ParameterChanges::add(ParamID id, int32 sampleOffset, ParamValue value) {
  int32 index = 0;
  IParamValueQueue* queue = addParameterData(id, index);
  int32 pointIndex = 0;
  queue->addPoint(sampleOffset, value, pointIndex);
}

IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index) {
  if (index < 0 || index >= used_) return nullptr;
  return queues_[static_cast<size_t>(index)];
}

IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const ParamID& id, int32& index) {
  for (int32 i = 0; i < used_; ++i) {
    if (queues_[static_cast<size_t>(i)]->getParameterId() == id) {
      index = i;
      return queues_[static_cast<size_t>(i)];
    }
  }
  if (used_ == static_cast<int32>(queues_.size()))
    queues_.push_back(new ParamValueQueue(id));
  else
    queues_[static_cast<size_t>(used_)]->reset(id);
  index = used_++;
  return queues_[static_cast<size_t>(index)];
}

tresult PLUGIN_API ParameterChanges::queryInterface(const TUID iid, void** obj) {
  return answerQuery<IParameterChanges>(this, IParameterChanges_iid, iid, obj);
}

} // namespace vhost
