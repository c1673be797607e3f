#pragma once
// A loaded VST3 bundle (Foo.vst3/Contents/x86_64-linux/Foo.so): the shared object, its module
// entry and exit, and the plug-in factory with its class information.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "pluginterfaces/base/ipluginbase.h"

namespace vhost {

struct FactoryInfo {
  std::string vendor, url, email;
  int32_t flags = 0;
};

struct ClassInfo {
  std::array<uint8_t, 16> cid{};
  std::string category, name, subCategories, vendor, version, sdkVersion;
  int32_t cardinality = 0;
  uint32_t classFlags = 0;

  std::string cidHex() const;
};

class Bundle {
public:
  // Throws HostError with one readable sentence when the path is not a loadable bundle.
  static std::unique_ptr<Bundle> load(const std::string& bundlePath);
  ~Bundle();
  Bundle(const Bundle&) = delete;
  Bundle& operator=(const Bundle&) = delete;

  const std::string& path() const { return path_; }
  const std::string& libraryPath() const { return libraryPath_; }
  std::string resourcesPath() const { return path_ + "/Contents/Resources"; }

  Steinberg::IPluginFactory* factory() const { return factory_; }
  const FactoryInfo& factoryInfo() const { return factoryInfo_; }
  const std::vector<ClassInfo>& classes() const { return classes_; }
  // The first class of category "Audio Module Class", or null.
  const ClassInfo* firstAudioModule() const;

private:
  Bundle() = default;
  void readFactory();

  std::string path_, libraryPath_;
  void* handle_ = nullptr;
  bool entered_ = false;
  Steinberg::IPluginFactory* factory_ = nullptr;
  FactoryInfo factoryInfo_;
  std::vector<ClassInfo> classes_;
};

} // namespace vhost
