#pragma once
// The parameter changes handed to the processor with one block.
#include <memory>
#include <vector>

#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "tools/host/ref_counted.h"

namespace vhost {

class ParamValueQueue : public Steinberg::Vst::IParamValueQueue {
public:
  explicit ParamValueQueue(Steinberg::Vst::ParamID id) : id_(id) { points_.reserve(16); }
  virtual ~ParamValueQueue() = default;

  void reset(Steinberg::Vst::ParamID id) {
    id_ = id;
    points_.clear();
  }

  Steinberg::Vst::ParamID PLUGIN_API getParameterId() override { return id_; }
  Steinberg::int32 PLUGIN_API getPointCount() override;
  Steinberg::tresult PLUGIN_API getPoint(Steinberg::int32 index, Steinberg::int32& sampleOffset,
                                         Steinberg::Vst::ParamValue& value) override;
  Steinberg::tresult PLUGIN_API addPoint(Steinberg::int32 sampleOffset,
                                         Steinberg::Vst::ParamValue value,
                                         Steinberg::int32& index) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;

  VHOST_REFCOUNTED

private:
  struct Point {
    Steinberg::int32 offset;
    Steinberg::Vst::ParamValue value;
  };
  Steinberg::Vst::ParamID id_;
  std::vector<Point> points_;
};

class ParameterChanges : public Steinberg::Vst::IParameterChanges {
public:
  ParameterChanges() = default;
  virtual ~ParameterChanges();

  void clear() { used_ = 0; }
  bool empty() const { return used_ == 0; }
  // Adds a point in offset order (a later point at an earlier offset moves to that offset's end).
  void add(Steinberg::Vst::ParamID id, Steinberg::int32 sampleOffset,
           Steinberg::Vst::ParamValue value);

  Steinberg::int32 PLUGIN_API getParameterCount() override { return used_; }
  Steinberg::Vst::IParamValueQueue* PLUGIN_API getParameterData(Steinberg::int32 index) override;
  Steinberg::Vst::IParamValueQueue* PLUGIN_API addParameterData(const Steinberg::Vst::ParamID& id,
                                                                Steinberg::int32& index) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;

  VHOST_REFCOUNTED

private:
  // Queues are kept across blocks and reused, so a steady stream of changes stops allocating.
  std::vector<ParamValueQueue*> queues_;
  Steinberg::int32 used_ = 0;
};

} // namespace vhost
