#include "fake_plug.h"
#include "framework/vst3/plugin_factory.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

using namespace Steinberg;

namespace {
std::unique_ptr<PluginBase> makeFake() {
  return std::make_unique<FakePlug>();
}

std::string narrow(const char16* text) {
  std::string out;
  for (; *text; ++text) out += static_cast<char>(*text);
  return out;
}

const uint8_t kExpectedClassId[16] = {'V', 'e', 'l', 'l', 'V', 'S', 'T', '3',
                                      'V', 'l', 's', 'd', 'V', 'r', 'n', 'l'};
} // namespace

TEST(Vst3Factory, FactoryInfoNamesTheVendorWithUnicodeFlag) {
  Vst3Factory factory(FakeConfig(), &makeFake);
  PFactoryInfo info;
  ASSERT_EQ(factory.getFactoryInfo(&info), kResultOk);
  EXPECT_STREQ(info.vendor, "Vellsound");
  EXPECT_STREQ(info.url, "https://example.org/vellsound");
  EXPECT_STREQ(info.email, "mailto:help@example.org");
  EXPECT_EQ(info.flags, 16);
  EXPECT_EQ(factory.countClasses(), 1);
}

TEST(Vst3Factory, ClassInfoInAllThreeForms) {
  Vst3Factory factory(FakeConfig(), &makeFake);

  PClassInfo info;
  ASSERT_EQ(factory.getClassInfo(0, &info), kResultOk);
  EXPECT_EQ(std::memcmp(info.cid, kExpectedClassId, 16), 0);
  EXPECT_EQ(info.cardinality, 0x7FFFFFFF);
  EXPECT_STREQ(info.category, "Audio Module Class");
  EXPECT_STREQ(info.name, "Varnel");

  PClassInfo2 info2;
  ASSERT_EQ(factory.getClassInfo2(0, &info2), kResultOk);
  EXPECT_EQ(std::memcmp(info2.cid, kExpectedClassId, 16), 0);
  EXPECT_EQ(info2.cardinality, 0x7FFFFFFF);
  EXPECT_STREQ(info2.category, "Audio Module Class");
  EXPECT_STREQ(info2.name, "Varnel");
  EXPECT_EQ(info2.classFlags, 2u);
  EXPECT_STREQ(info2.subCategories, "Instrument|Synth");
  EXPECT_STREQ(info2.vendor, "");
  EXPECT_STREQ(info2.version, "1.1.2");
  EXPECT_STREQ(info2.sdkVersion, "VST 3.7.3");

  PClassInfoW infoW;
  ASSERT_EQ(factory.getClassInfoUnicode(0, &infoW), kResultOk);
  EXPECT_EQ(std::memcmp(infoW.cid, kExpectedClassId, 16), 0);
  EXPECT_EQ(infoW.cardinality, 0x7FFFFFFF);
  EXPECT_STREQ(infoW.category, "Audio Module Class");
  EXPECT_EQ(narrow(infoW.name), "Varnel");
  EXPECT_EQ(infoW.classFlags, 2u);
  EXPECT_STREQ(infoW.subCategories, "Instrument|Synth");
  EXPECT_EQ(narrow(infoW.vendor), "");
  EXPECT_EQ(narrow(infoW.version), "1.1.2");
  EXPECT_EQ(narrow(infoW.sdkVersion), "VST 3.7.3");

  EXPECT_EQ(factory.getClassInfo(1, &info), kInvalidArgument);
  EXPECT_EQ(factory.getClassInfo2(-1, &info2), kInvalidArgument);
  EXPECT_EQ(factory.getClassInfoUnicode(1, &infoW), kInvalidArgument);
}

TEST(Vst3Factory, AnswersEveryFactoryInterface) {
  Vst3Factory factory(FakeConfig(), &makeFake);
  for (const TUID* iid : {&FUnknown::iid.toTUID(), &IPluginFactory::iid.toTUID(),
                          &IPluginFactory2::iid.toTUID(), &IPluginFactory3::iid.toTUID()}) {
    void* obj = nullptr;
    EXPECT_EQ(factory.queryInterface(*iid, &obj), kResultOk);
    EXPECT_NE(obj, nullptr);
    factory.release();
  }
  void* obj = &factory;
  EXPECT_EQ(factory.queryInterface(Vst::IComponent::iid, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);
}

TEST(Vst3Factory, CreatesTheInstanceWithTheRequestedInterface) {
  Vst3Factory factory(FakeConfig(), &makeFake);
  TUID cid;
  std::memcpy(cid, kExpectedClassId, 16);
  for (const TUID* iid : {&Vst::IComponent::iid.toTUID(), &Vst::IAudioProcessor::iid.toTUID(),
                          &Vst::IEditController::iid.toTUID()}) {
    void* obj = nullptr;
    ASSERT_EQ(factory.createInstance(cid, *iid, &obj), kResultOk);
    ASSERT_NE(obj, nullptr);
    FUnknown* unknown = static_cast<FUnknown*>(obj);
    // The reference the host got is the only one: releasing it frees the instance.
    EXPECT_EQ(unknown->release(), 0u);
  }
}

TEST(Vst3Factory, RefusesUnknownClassesAndInterfaces) {
  Vst3Factory factory(FakeConfig(), &makeFake);
  TUID cid;
  std::memcpy(cid, kExpectedClassId, 16);
  TUID wrong;
  std::memcpy(wrong, kExpectedClassId, 16);
  wrong[15] ^= 1;
  void* obj = &factory;
  EXPECT_NE(factory.createInstance(wrong, Vst::IComponent::iid, &obj), kResultOk);
  EXPECT_EQ(obj, nullptr);
  obj = &factory;
  EXPECT_EQ(factory.createInstance(cid, IPluginFactory::iid, &obj), kNoInterface);
  EXPECT_EQ(obj, nullptr);
}

namespace {
std::unique_ptr<PluginBase> throwingMaker() {
  throw std::runtime_error("no");
}
} // namespace

TEST(Vst3Factory, AFailingConstructionIsAnErrorCodeNotAnException) {
  Vst3Factory factory(FakeConfig(), &throwingMaker);
  TUID cid;
  std::memcpy(cid, kExpectedClassId, 16);
  void* obj = &factory;
  EXPECT_EQ(factory.createInstance(cid, Vst::IComponent::iid, &obj), kInternalError);
  EXPECT_EQ(obj, nullptr);
}

namespace {
std::atomic<int> gInside{0};
std::atomic<int> gMostInside{0};

std::unique_ptr<PluginBase> slowMaker() {
  const int inside = ++gInside;
  int most = gMostInside.load();
  while (inside > most && !gMostInside.compare_exchange_weak(most, inside)) {
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(2));
  --gInside;
  return std::make_unique<FakePlug>();
}
} // namespace

TEST(Vst3Factory, ConstructsOneInstanceAtATime) {
  Vst3Factory factory(FakeConfig(), &slowMaker);
  TUID cid;
  std::memcpy(cid, kExpectedClassId, 16);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      for (int i = 0; i < 5; ++i) {
        void* obj = nullptr;
        if (factory.createInstance(cid, Vst::IComponent::iid, &obj) == kResultOk)
          static_cast<FUnknown*>(obj)->release();
      }
    });
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(gMostInside.load(), 1);
}
