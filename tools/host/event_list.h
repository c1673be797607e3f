#pragma once
// The note events handed to the processor with one block (and collected from its output).
#include <vector>

#include "pluginterfaces/vst/ivstevents.h"
#include "tools/host/ref_counted.h"

namespace vhost {

class EventList : public Steinberg::Vst::IEventList {
public:
  EventList() { events_.reserve(256); }
  virtual ~EventList() = default;

  void clear() { events_.clear(); }
  const std::vector<Steinberg::Vst::Event>& events() const { return events_; }

  Steinberg::int32 PLUGIN_API getEventCount() override;
  Steinberg::tresult PLUGIN_API getEvent(Steinberg::int32 index, Steinberg::Vst::Event& e) override;
  // Keeps the list ordered by sample offset; equal offsets stay in arrival order.
  Steinberg::tresult PLUGIN_API addEvent(Steinberg::Vst::Event& e) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;

  VHOST_REFCOUNTED

private:
  std::vector<Steinberg::Vst::Event> events_;
};

} // namespace vhost
