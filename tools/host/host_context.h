#pragma once
// What the host offers the plug-in: its application object (name, message factory), the
// component handler that receives edits from the controller, and messages for IConnectionPoint.
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "pluginterfaces/vst/ivstattributes.h"
#include "pluginterfaces/vst/ivstcontextmenu.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivsthostapplication.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "tools/host/ref_counted.h"

namespace vhost {

class AttributeList : public Steinberg::Vst::IAttributeList {
public:
  AttributeList() = default;
  virtual ~AttributeList() = default;

  Steinberg::tresult PLUGIN_API setInt(AttrID id, Steinberg::int64 value) override;
  Steinberg::tresult PLUGIN_API getInt(AttrID id, Steinberg::int64& value) override;
  Steinberg::tresult PLUGIN_API setFloat(AttrID id, double value) override;
  Steinberg::tresult PLUGIN_API getFloat(AttrID id, double& value) override;
  Steinberg::tresult PLUGIN_API setString(AttrID id, const Steinberg::Vst::TChar* string) override;
  Steinberg::tresult PLUGIN_API getString(AttrID id, Steinberg::Vst::TChar* string,
                                          Steinberg::uint32 sizeInBytes) override;
  Steinberg::tresult PLUGIN_API setBinary(AttrID id, const void* data,
                                          Steinberg::uint32 sizeInBytes) override;
  Steinberg::tresult PLUGIN_API getBinary(AttrID id, const void*& data,
                                          Steinberg::uint32& sizeInBytes) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;

  VHOST_REFCOUNTED

private:
  std::map<std::string, Steinberg::int64> ints_;
  std::map<std::string, double> floats_;
  std::map<std::string, std::u16string> strings_;
  std::map<std::string, std::vector<uint8_t>> binaries_;
};

class Message : public Steinberg::Vst::IMessage {
public:
  Message();
  virtual ~Message();

  Steinberg::FIDString PLUGIN_API getMessageID() override { return id_.c_str(); }
  void PLUGIN_API setMessageID(Steinberg::FIDString id) override { id_ = id ? id : ""; }
  Steinberg::Vst::IAttributeList* PLUGIN_API getAttributes() override { return attributes_; }
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;

  VHOST_REFCOUNTED

private:
  std::string id_;
  AttributeList* attributes_;
};

class HostApplication : public Steinberg::Vst::IHostApplication {
public:
  explicit HostApplication(std::string name) : name_(std::move(name)) {}
  virtual ~HostApplication() = default;

  Steinberg::tresult PLUGIN_API getName(Steinberg::Vst::String128 name) override;
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::TUID cid, Steinberg::TUID iid,
                                               void** obj) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;

  VHOST_REFCOUNTED

private:
  std::string name_;
};

// Records what the controller tells the host; edits may come from any thread. It also offers
// the host's context menu for a parameter, as DAWs do, and records where it was asked to appear.
class ComponentHandler : public Steinberg::Vst::IComponentHandler,
                         public Steinberg::Vst::IComponentHandler3 {
public:
  struct Edit {
    Steinberg::Vst::ParamID id;
    Steinberg::Vst::ParamValue value;
  };
  // Every begin, perform and end in the order they came.
  struct Gesture {
    enum Kind { kBegin, kPerform, kEnd } kind;
    Steinberg::Vst::ParamID id;
    Steinberg::Vst::ParamValue value;
  };
  struct ContextMenuRequest {
    bool forParam = false;
    Steinberg::Vst::ParamID id = 0;
    bool poppedUp = false;
    Steinberg::UCoord x = 0, y = 0;
  };

  ComponentHandler() = default;
  virtual ~ComponentHandler() = default;

  std::vector<Edit> takeEdits();
  std::vector<Gesture> takeGestures();
  std::vector<ContextMenuRequest> takeContextMenus();
  Steinberg::int32 takeRestartFlags();

  Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id,
                                            Steinberg::Vst::ParamValue valueNormalized) override;
  Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override;
  Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override;
  Steinberg::Vst::IContextMenu* PLUGIN_API
  createContextMenu(Steinberg::IPlugView* plugView, const Steinberg::Vst::ParamID* paramID) override;
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;

  // Called by the menus this handler made.
  void menuPoppedUp(size_t request, Steinberg::UCoord x, Steinberg::UCoord y);

  VHOST_REFCOUNTED

private:
  std::mutex mutex_;
  std::vector<Edit> edits_;
  std::vector<Gesture> gestures_;
  std::vector<ContextMenuRequest> menus_;
  Steinberg::int32 restartFlags_ = 0;
};

} // namespace vhost
