#pragma once
// The VST3 factory of the one plug-in class of this binary.
#include "framework/core/plugin_base.h"
#include "pluginterfaces/base/ipluginbase.h"

#include <atomic>
#include <memory>

class Vst3Factory : public Steinberg::IPluginFactory3 {
public:
  using PlugMaker = std::unique_ptr<PluginBase> (*)();
  static constexpr const char* kSdkVersion = "VST 3.7.3";

  // The factory lives as long as the module; reference counting never deletes it.
  Vst3Factory(const Config& config, PlugMaker maker);
  virtual ~Vst3Factory() = default;

  // Fixed prefix, then the manufacturer ID and the unique ID, each big-endian.
  static void MakeClassId(const Config& config, Steinberg::TUID cid);

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  Steinberg::uint32 PLUGIN_API addRef() override;
  Steinberg::uint32 PLUGIN_API release() override;

  Steinberg::tresult PLUGIN_API getFactoryInfo(Steinberg::PFactoryInfo* info) override;
  Steinberg::int32 PLUGIN_API countClasses() override;
  Steinberg::tresult PLUGIN_API getClassInfo(Steinberg::int32 index,
                                             Steinberg::PClassInfo* info) override;
  Steinberg::tresult PLUGIN_API createInstance(Steinberg::FIDString cid, Steinberg::FIDString iid,
                                               void** obj) override;
  Steinberg::tresult PLUGIN_API getClassInfo2(Steinberg::int32 index,
                                              Steinberg::PClassInfo2* info) override;
  Steinberg::tresult PLUGIN_API getClassInfoUnicode(Steinberg::int32 index,
                                                    Steinberg::PClassInfoW* info) override;
  Steinberg::tresult PLUGIN_API setHostContext(Steinberg::FUnknown* context) override;

private:
  const Config& mConfig;
  PlugMaker mMaker;
  std::atomic<Steinberg::int32> mRefCount{1};
};
