#include "tools/host/host_context.h"

#include <algorithm>
#include <cstring>

#include "framework/vst3/utf16.h"

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace vhost {

namespace {

template <typename T> tresult lookup(const std::map<std::string, T>& map, const char* id, T& out) {
  if (!id) return kInvalidArgument;
  const auto it = map.find(id);
  if (it == map.end()) return kResultFalse;
  out = it->second;
  return kResultOk;
}

} // namespace

tresult PLUGIN_API AttributeList::setInt(AttrID id, int64 value) {
  if (!id) return kInvalidArgument;
  ints_[id] = value;
  return kResultOk;
}

tresult PLUGIN_API AttributeList::getInt(AttrID id, int64& value) {
  return lookup(ints_, id, value);
}

tresult PLUGIN_API AttributeList::setFloat(AttrID id, double value) {
  if (!id) return kInvalidArgument;
  floats_[id] = value;
  return kResultOk;
}

tresult PLUGIN_API AttributeList::getFloat(AttrID id, double& value) {
  return lookup(floats_, id, value);
}

tresult PLUGIN_API AttributeList::setString(AttrID id, const TChar* string) {
  if (!id || !string) return kInvalidArgument;
  std::u16string s;
  for (const TChar* p = string; *p; ++p) s += static_cast<char16_t>(*p);
  strings_[id] = s;
  return kResultOk;
}

tresult PLUGIN_API AttributeList::getString(AttrID id, TChar* string, uint32 sizeInBytes) {
  std::u16string s;
  const tresult r = lookup(strings_, id, s);
  if (r != kResultOk) return r;
  const size_t capacity = sizeInBytes / sizeof(TChar);
  if (!string || capacity == 0) return kInvalidArgument;
  const size_t n = std::min(capacity - 1, s.size());
  for (size_t i = 0; i < n; ++i) string[i] = static_cast<TChar>(s[i]);
  string[n] = 0;
  return kResultOk;
}

tresult PLUGIN_API AttributeList::setBinary(AttrID id, const void* data, uint32 sizeInBytes) {
  if (!id || (!data && sizeInBytes > 0)) return kInvalidArgument;
  const auto* bytes = static_cast<const uint8_t*>(data);
  binaries_[id] = std::vector<uint8_t>(bytes, bytes + sizeInBytes);
  return kResultOk;
}

tresult PLUGIN_API AttributeList::getBinary(AttrID id, const void*& data, uint32& sizeInBytes) {
  if (!id) return kInvalidArgument;
  const auto it = binaries_.find(id);
  if (it == binaries_.end()) return kResultFalse;
  data = it->second.data();
  sizeInBytes = static_cast<uint32>(it->second.size());
  return kResultOk;
}

tresult PLUGIN_API AttributeList::queryInterface(const TUID iid, void** obj) {
  return answerQuery<IAttributeList>(this, IAttributeList_iid, iid, obj);
}

Message::Message() : attributes_(new AttributeList) {}

Message::~Message() {
  attributes_->release();
}

tresult PLUGIN_API Message::queryInterface(const TUID iid, void** obj) {
  return answerQuery<IMessage>(this, IMessage_iid, iid, obj);
}

tresult PLUGIN_API HostApplication::getName(String128 name) {
  if (!name) return kInvalidArgument;
  Utf8ToUtf16(name_.c_str(), name, 128);
  return kResultOk;
}

tresult PLUGIN_API HostApplication::createInstance(TUID cid, TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  *obj = nullptr;
  if (sameIid(cid, IMessage_iid) && sameIid(iid, IMessage_iid)) {
    *obj = static_cast<IMessage*>(new Message);
    return kResultOk;
  }
  if (sameIid(cid, IAttributeList_iid) && sameIid(iid, IAttributeList_iid)) {
    *obj = static_cast<IAttributeList*>(new AttributeList);
    return kResultOk;
  }
  return kNoInterface;
}

tresult PLUGIN_API HostApplication::queryInterface(const TUID iid, void** obj) {
  return answerQuery<IHostApplication>(this, IHostApplication_iid, iid, obj);
}

std::vector<ComponentHandler::Edit> ComponentHandler::takeEdits() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<Edit> out;
  out.swap(edits_);
  return out;
}

std::vector<ComponentHandler::Gesture> ComponentHandler::takeGestures() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<Gesture> out;
  out.swap(gestures_);
  return out;
}

std::vector<ComponentHandler::ContextMenuRequest> ComponentHandler::takeContextMenus() {
  std::lock_guard<std::mutex> lock(mutex_);
  std::vector<ContextMenuRequest> out;
  out.swap(menus_);
  return out;
}

int32 ComponentHandler::takeRestartFlags() {
  std::lock_guard<std::mutex> lock(mutex_);
  const int32 flags = restartFlags_;
  restartFlags_ = 0;
  return flags;
}

tresult PLUGIN_API ComponentHandler::beginEdit(ParamID id) {
  std::lock_guard<std::mutex> lock(mutex_);
  gestures_.push_back(Gesture{Gesture::kBegin, id, 0.0});
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::performEdit(ParamID id, ParamValue valueNormalized) {
  std::lock_guard<std::mutex> lock(mutex_);
  edits_.push_back(Edit{id, valueNormalized});
  gestures_.push_back(Gesture{Gesture::kPerform, id, valueNormalized});
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::endEdit(ParamID id) {
  std::lock_guard<std::mutex> lock(mutex_);
  gestures_.push_back(Gesture{Gesture::kEnd, id, 0.0});
  return kResultOk;
}

tresult PLUGIN_API ComponentHandler::restartComponent(int32 flags) {
  std::lock_guard<std::mutex> lock(mutex_);
  restartFlags_ |= flags;
  return kResultOk;
}

namespace {

// The host's context menu: it holds no entries of its own and records where it popped up.
class ContextMenu : public IContextMenu {
public:
  ContextMenu(ComponentHandler* handler, size_t request) : handler_(handler), request_(request) {}
  virtual ~ContextMenu() = default;

  int32 PLUGIN_API getItemCount() override { return static_cast<int32>(items_.size()); }
  tresult PLUGIN_API getItem(int32 index, Item& item, IContextMenuTarget** target) override {
    if (index < 0 || index >= getItemCount()) return kInvalidArgument;
    item = items_[static_cast<size_t>(index)];
    if (target) *target = nullptr;
    return kResultOk;
  }
  tresult PLUGIN_API addItem(const Item& item, IContextMenuTarget* /*target*/) override {
    items_.push_back(item);
    return kResultOk;
  }
  tresult PLUGIN_API removeItem(const Item& item, IContextMenuTarget* /*target*/) override {
    for (size_t i = 0; i < items_.size(); ++i) {
      if (items_[i].tag == item.tag) {
        items_.erase(items_.begin() + static_cast<std::ptrdiff_t>(i));
        return kResultOk;
      }
    }
    return kResultFalse;
  }
  tresult PLUGIN_API popup(UCoord x, UCoord y) override {
    handler_->menuPoppedUp(request_, x, y);
    return kResultOk;
  }
  tresult PLUGIN_API queryInterface(const TUID iid, void** obj) override {
    return answerQuery<IContextMenu>(this, IContextMenu_iid, iid, obj);
  }

  VHOST_REFCOUNTED

private:
  IPtr<ComponentHandler> handler_;
  size_t request_;
  std::vector<Item> items_;
};

} // namespace

IContextMenu* PLUGIN_API ComponentHandler::createContextMenu(IPlugView* plugView,
                                                              const ParamID* paramID) {
  if (!plugView) return nullptr;
  std::lock_guard<std::mutex> lock(mutex_);
  ContextMenuRequest request;
  request.forParam = paramID != nullptr;
  request.id = paramID ? *paramID : 0;
  menus_.push_back(request);
  return new ContextMenu(this, menus_.size() - 1);
}

void ComponentHandler::menuPoppedUp(size_t request, UCoord x, UCoord y) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (request >= menus_.size()) return; // taken meanwhile
  menus_[request].poppedUp = true;
  menus_[request].x = x;
  menus_[request].y = y;
}

tresult PLUGIN_API ComponentHandler::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  if (sameIid(iid, FUnknown_iid) || sameIid(iid, IComponentHandler_iid)) {
    addRef();
    *obj = static_cast<IComponentHandler*>(this);
    return kResultOk;
  }
  if (sameIid(iid, IComponentHandler3_iid)) {
    addRef();
    *obj = static_cast<IComponentHandler3*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

} // namespace vhost
