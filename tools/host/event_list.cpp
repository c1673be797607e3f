#include "tools/host/event_list.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vhost {

int32 PLUGIN_API EventList::getEventCount() {
  return static_cast<int32>(events_.size());
}

tresult PLUGIN_API EventList::getEvent(int32 index, Event& e) {
  if (index < 0 || index >= getEventCount()) return kInvalidArgument;
  e = events_[static_cast<size_t>(index)];
  return kResultOk;
}

tresult PLUGIN_API EventList::addEvent(Event& e) {
  size_t at = events_.size();
  while (at > 0 && events_[at - 1].sampleOffset > e.sampleOffset) --at;
  events_.insert(events_.begin() + static_cast<std::ptrdiff_t>(at), e);
  return kResultOk;
}

tresult PLUGIN_API EventList::queryInterface(const TUID iid, void** obj) {
  return answerQuery<IEventList>(this, IEventList_iid, iid, obj);
}

} // namespace vhost
