#include "framework/vst3/plugin_factory.h"

#include "framework/vst3/utf16.h"
#include "framework/vst3/vst3_plugin.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <new>

using namespace Steinberg;

namespace {
const uint8_t kClassIdPrefix[8] = {'V', 'e', 'l', 'l', 'V', 'S', 'T', '3'};

// Instances are built one at a time, whichever host thread asks.
std::mutex& creationMutex() {
  static std::mutex mutex;
  return mutex;
}

void putBigEndian(int32_t value, char* dest) {
  const uint32_t v = static_cast<uint32_t>(value);
  for (int i = 0; i < 4; ++i) dest[i] = static_cast<char>((v >> (24 - 8 * i)) & 0xFF);
}

void copyText(char8* dest, size_t size, const char* src) {
  std::snprintf(dest, size, "%s", src ? src : "");
}

void versionText(int32_t version, char* dest, size_t size) {
  const uint32_t v = static_cast<uint32_t>(version);
  std::snprintf(dest, size, "%u.%u.%u", v >> 16, (v >> 8) & 0xFF, v & 0xFF);
}

const char* subCategories(const Config& config) {
  return config.plugType == 1 ? "Instrument|Synth" : "Fx";
}
} // namespace

Vst3Factory::Vst3Factory(const Config& config, PlugMaker maker) : mConfig(config), mMaker(maker) {}

void Vst3Factory::MakeClassId(const Config& config, TUID cid) {
  std::memcpy(cid, kClassIdPrefix, 8);
  putBigEndian(config.mfrID, cid + 8);
  putBigEndian(config.uniqueID, cid + 12);
}

tresult PLUGIN_API Vst3Factory::queryInterface(const TUID iid, void** obj) {
  if (!obj) return kInvalidArgument;
  using FUnknownPrivate::iidEqual;
  if (iidEqual(iid, FUnknown::iid) || iidEqual(iid, IPluginFactory::iid) ||
      iidEqual(iid, IPluginFactory2::iid) || iidEqual(iid, IPluginFactory3::iid)) {
    addRef();
    *obj = static_cast<IPluginFactory3*>(this);
    return kResultOk;
  }
  *obj = nullptr;
  return kNoInterface;
}

uint32 PLUGIN_API Vst3Factory::addRef() {
  return static_cast<uint32>(mRefCount.fetch_add(1, std::memory_order_relaxed) + 1);
}

uint32 PLUGIN_API Vst3Factory::release() {
  const int32 left = mRefCount.fetch_sub(1, std::memory_order_acq_rel) - 1;
  return static_cast<uint32>(left < 0 ? 0 : left);
}

tresult PLUGIN_API Vst3Factory::getFactoryInfo(PFactoryInfo* info) {
  if (!info) return kInvalidArgument;
  *info = {};
  copyText(info->vendor, sizeof(info->vendor), mConfig.mfrName);
  copyText(info->url, sizeof(info->url), mConfig.mfrURL);
  copyText(info->email, sizeof(info->email), mConfig.mfrEmail);
  info->flags = PFactoryInfo::kUnicode;
  return kResultOk;
}

int32 PLUGIN_API Vst3Factory::countClasses() {
  return 1;
}

tresult PLUGIN_API Vst3Factory::getClassInfo(int32 index, PClassInfo* info) {
  if (index != 0 || !info) return kInvalidArgument;
  *info = {};
  MakeClassId(mConfig, info->cid);
  info->cardinality = PClassInfo::kManyInstances;
  copyText(info->category, sizeof(info->category), kVstAudioEffectClass);
  copyText(info->name, sizeof(info->name), mConfig.pluginName);
  return kResultOk;
}

tresult PLUGIN_API Vst3Factory::getClassInfo2(int32 index, PClassInfo2* info) {
  if (index != 0 || !info) return kInvalidArgument;
  *info = {};
  MakeClassId(mConfig, info->cid);
  info->cardinality = PClassInfo::kManyInstances;
  copyText(info->category, sizeof(info->category), kVstAudioEffectClass);
  copyText(info->name, sizeof(info->name), mConfig.pluginName);
  info->classFlags = Vst::kSimpleModeSupported;
  copyText(info->subCategories, sizeof(info->subCategories), subCategories(mConfig));
  versionText(mConfig.vendorVersion, info->version, sizeof(info->version));
  copyText(info->sdkVersion, sizeof(info->sdkVersion), kSdkVersion);
  return kResultOk;
}

tresult PLUGIN_API Vst3Factory::getClassInfoUnicode(int32 index, PClassInfoW* info) {
  if (index != 0 || !info) return kInvalidArgument;
  *info = {};
  MakeClassId(mConfig, info->cid);
  info->cardinality = PClassInfo::kManyInstances;
  copyText(info->category, sizeof(info->category), kVstAudioEffectClass);
  Utf8ToUtf16(mConfig.pluginName, info->name, PClassInfo::kNameSize);
  info->classFlags = Vst::kSimpleModeSupported;
  copyText(info->subCategories, sizeof(info->subCategories), subCategories(mConfig));
  char version[PClassInfo2::kVersionSize];
  versionText(mConfig.vendorVersion, version, sizeof(version));
  Utf8ToUtf16(version, info->version, PClassInfo2::kVersionSize);
  Utf8ToUtf16(kSdkVersion, info->sdkVersion, PClassInfo2::kVersionSize);
  return kResultOk;
}

tresult PLUGIN_API Vst3Factory::setHostContext(FUnknown* /*context*/) {
  return kResultOk;
}

tresult PLUGIN_API Vst3Factory::createInstance(FIDString cid, FIDString iid, void** obj) {
  if (!obj) return kInvalidArgument;
  *obj = nullptr;
  if (!cid || !iid) return kInvalidArgument;
  TUID ours;
  MakeClassId(mConfig, ours);
  if (!FUnknownPrivate::iidEqual(cid, ours)) return kNoInterface;
  // Nothing may escape into the host: a failed construction is an error code.
  try {
    std::unique_ptr<PluginBase> plug;
    {
      std::lock_guard<std::mutex> lock(creationMutex());
      plug = mMaker();
    }
    if (!plug) return kInternalError;
    Vst3Plugin* instance = new Vst3Plugin(std::move(plug));
    const tresult result = instance->queryInterface(iid, obj);
    instance->release();
    return result;
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  } catch (...) {
    return kInternalError;
  }
}
