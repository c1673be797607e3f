#include "tools/host/bundle.h"

#include <dlfcn.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstring>
#include <dirent.h>

#include "framework/vst3/utf16.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "tools/host/host_error.h"
#include "tools/host/ref_counted.h"

using namespace Steinberg;

namespace vhost {

namespace {

bool isDirectory(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool exists(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0;
}

bool isRegularFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string baseName(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool endsWith(const std::string& s, const std::string& tail) {
  return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

// The .so named after the bundle, else the only .so in the architecture folder.
std::string findLibrary(const std::string& archDir, const std::string& stem) {
  const std::string named = archDir + "/" + stem + ".so";
  if (isRegularFile(named)) return named;
  std::vector<std::string> found;
  if (DIR* dir = opendir(archDir.c_str())) {
    while (dirent* e = readdir(dir)) {
      const std::string name = e->d_name;
      if (endsWith(name, ".so") && isRegularFile(archDir + "/" + name))
        found.push_back(archDir + "/" + name);
    }
    closedir(dir);
  }
  return found.size() == 1 ? found[0] : std::string();
}

std::string fixed(const char* text, size_t size) {
  return std::string(text, strnlen(text, size));
}

} // namespace

std::string ClassInfo::cidHex() const {
  std::string out;
  char buf[3];
  for (uint8_t b : cid) {
    std::snprintf(buf, sizeof buf, "%02X", b);
    out += buf;
  }
  return out;
}

std::unique_ptr<Bundle> Bundle::load(const std::string& bundlePath) {
  if (bundlePath.empty() || !exists(bundlePath)) throw HostError("no such bundle: " + bundlePath);
  std::string path = bundlePath;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  const std::string folder = baseName(path);
  if (!isDirectory(path) || !endsWith(folder, ".vst3"))
    throw HostError(bundlePath + " is not a VST3 bundle (expected a folder named *.vst3)");
  const std::string stem = folder.substr(0, folder.size() - 5);
  const std::string archDir = path + "/Contents/x86_64-linux";
  const std::string library = findLibrary(archDir, stem);
  if (library.empty())
    throw HostError(bundlePath + " is not a VST3 bundle for this machine: no " + archDir + "/" +
                    stem + ".so");

  std::unique_ptr<Bundle> bundle(new Bundle);
  bundle->path_ = path;
  bundle->libraryPath_ = library;
  dlerror();
  bundle->handle_ = dlopen(library.c_str(), RTLD_LAZY | RTLD_LOCAL);
  if (!bundle->handle_) {
    const char* why = dlerror();
    throw HostError("cannot load " + library + ": " + (why ? why : "unknown reason"));
  }
  using EntryFn = bool (*)(void*);
  if (auto entry = reinterpret_cast<EntryFn>(dlsym(bundle->handle_, "ModuleEntry"))) {
    if (!entry(bundle->handle_)) throw HostError(library + ": ModuleEntry reported failure");
    bundle->entered_ = true;
  }
  using FactoryFn = IPluginFactory* (*)();
  auto getFactory = reinterpret_cast<FactoryFn>(dlsym(bundle->handle_, "GetPluginFactory"));
  if (!getFactory) throw HostError(library + " does not export GetPluginFactory");
  bundle->factory_ = getFactory();
  if (!bundle->factory_) throw HostError(library + ": GetPluginFactory returned no factory");
  bundle->readFactory();
  return bundle;
}

Bundle::~Bundle() {
  if (factory_) factory_->release();
  factory_ = nullptr;
  if (handle_) {
    if (entered_) {
      using ExitFn = bool (*)();
      if (auto exitFn = reinterpret_cast<ExitFn>(dlsym(handle_, "ModuleExit"))) exitFn();
    }
    dlclose(handle_);
  }
}

void Bundle::readFactory() {
  PFactoryInfo fi{};
  if (factory_->getFactoryInfo(&fi) == kResultOk) {
    factoryInfo_.vendor = fixed(fi.vendor, PFactoryInfo::kNameSize);
    factoryInfo_.url = fixed(fi.url, PFactoryInfo::kURLSize);
    factoryInfo_.email = fixed(fi.email, PFactoryInfo::kEmailSize);
    factoryInfo_.flags = fi.flags;
  }
  auto factory2 = queryAs<IPluginFactory2>(factory_, IPluginFactory2_iid);
  auto factory3 = queryAs<IPluginFactory3>(factory_, IPluginFactory3_iid);
  const int32 count = factory_->countClasses();
  for (int32 i = 0; i < count; ++i) {
    ClassInfo info;
    PClassInfo base{};
    if (factory_->getClassInfo(i, &base) != kResultOk) continue;
    std::memcpy(info.cid.data(), base.cid, 16);
    info.category = fixed(base.category, PClassInfo::kCategorySize);
    info.name = fixed(base.name, PClassInfo::kNameSize);
    info.cardinality = base.cardinality;
    PClassInfo2 info2{};
    if (factory2 && factory2->getClassInfo2(i, &info2) == kResultOk) {
      info.subCategories = fixed(info2.subCategories, PClassInfo2::kSubCategoriesSize);
      info.vendor = fixed(info2.vendor, PClassInfo2::kVendorSize);
      info.version = fixed(info2.version, PClassInfo2::kVersionSize);
      info.sdkVersion = fixed(info2.sdkVersion, PClassInfo2::kVersionSize);
      info.classFlags = info2.classFlags;
    }
    PClassInfoW infoW{};
    if (factory3 && factory3->getClassInfoUnicode(i, &infoW) == kResultOk) {
      info.name = Utf16ToUtf8(infoW.name, PClassInfo::kNameSize);
      info.subCategories = fixed(infoW.subCategories, PClassInfoW::kSubCategoriesSize);
      info.vendor = Utf16ToUtf8(infoW.vendor, PClassInfoW::kVendorSize);
      info.version = Utf16ToUtf8(infoW.version, PClassInfoW::kVersionSize);
      info.sdkVersion = Utf16ToUtf8(infoW.sdkVersion, PClassInfoW::kVersionSize);
      info.classFlags = infoW.classFlags;
    }
    classes_.push_back(info);
  }
}

const ClassInfo* Bundle::firstAudioModule() const {
  for (const ClassInfo& c : classes_)
    if (c.category == kVstAudioEffectClass) return &c;
  return nullptr;
}

} // namespace vhost
