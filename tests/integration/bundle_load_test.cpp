// Loading the bundle and reading its factory, as a DAW's plug-in scan does.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "tests/integration/bundle_fixture.h"
#include "tools/host/host_error.h"

namespace {

TEST(BundleLoad, FactoryAndClassInformation) {
  const vhost::Bundle& b = itest::bundle();
  EXPECT_EQ(b.factoryInfo().vendor, "Vellsound");
  EXPECT_EQ(b.factoryInfo().flags, 16); // Unicode strings
  ASSERT_EQ(b.classes().size(), 1u);
  const vhost::ClassInfo& c = b.classes()[0];
  EXPECT_EQ(c.category, "Audio Module Class");
  EXPECT_EQ(c.name, "Varnel");
  EXPECT_EQ(c.subCategories, "Instrument|Synth");
  EXPECT_EQ(c.version, "1.1.2");
  EXPECT_EQ(c.sdkVersion, "VST 3.7.3");
  EXPECT_EQ(c.cardinality, 0x7FFFFFFF);
  EXPECT_EQ(c.classFlags, 2u);
  // The last eight bytes are the manufacturer ID and the unique ID, big-endian.
  EXPECT_EQ(c.cidHex().substr(16), "566C736456726E6C"); // "Vlsd" "Vrnl"
}

TEST(BundleLoad, OneObjectIsComponentProcessorAndController) {
  vhost::PluginInstance plugin(itest::bundle());
  EXPECT_TRUE(plugin.singleComponent());
  EXPECT_TRUE(plugin.hasMidiMapping());
  EXPECT_EQ(plugin.component()->getBusCount(Steinberg::Vst::kAudio, Steinberg::Vst::kInput), 0);
  EXPECT_EQ(plugin.component()->getBusCount(Steinberg::Vst::kAudio, Steinberg::Vst::kOutput), 1);
  EXPECT_EQ(plugin.component()->getBusCount(Steinberg::Vst::kEvent, Steinberg::Vst::kInput), 1);
}

TEST(BundleLoad, TwoInstancesLiveSideBySide) {
  vhost::PluginInstance a(itest::bundle());
  vhost::PluginInstance b(itest::bundle());
  EXPECT_EQ(a.getState(), b.getState());
}

class BadBundle : public ::testing::Test {
protected:
  void SetUp() override {
    char pattern[] = "/tmp/varnel-bundle-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + dir_ + "'").c_str()); }
  std::string makeBundle(const std::string& name) {
    const std::string arch = dir_ + "/" + name + "/Contents/x86_64-linux";
    std::system(("mkdir -p '" + arch + "'").c_str());
    return dir_ + "/" + name;
  }
  static std::string errorOf(const std::string& path) {
    try {
      vhost::Bundle::load(path);
    } catch (const vhost::HostError& e) {
      return e.what();
    }
    return "";
  }
  std::string dir_;
};

TEST_F(BadBundle, EachFaultGetsItsOwnSentence) {
  EXPECT_NE(errorOf(dir_ + "/Missing.vst3").find("no such bundle"), std::string::npos);

  const std::string plainFolder = dir_ + "/Folder";
  mkdir(plainFolder.c_str(), 0755);
  EXPECT_NE(errorOf(plainFolder).find("is not a VST3 bundle"), std::string::npos);
  EXPECT_NE(errorOf(std::string(VARNEL_BUNDLE) + "/Contents/x86_64-linux/Varnel.so")
                .find("is not a VST3 bundle"),
            std::string::npos);

  const std::string empty = makeBundle("Empty.vst3");
  EXPECT_NE(errorOf(empty).find("Empty.so"), std::string::npos);

  const std::string garbage = makeBundle("Garbage.vst3");
  std::ofstream(garbage + "/Contents/x86_64-linux/Garbage.so") << "not an ELF file";
  const std::string garbageError = errorOf(garbage);
  EXPECT_NE(garbageError.find("cannot load"), std::string::npos) << garbageError;

  // A real shared object without the factory entry.
  const std::string foreign = makeBundle("Foreign.vst3");
  ASSERT_EQ(symlink("/lib/x86_64-linux-gnu/libm.so.6",
                    (foreign + "/Contents/x86_64-linux/Foreign.so").c_str()),
            0);
  EXPECT_NE(errorOf(foreign).find("does not export GetPluginFactory"), std::string::npos);
}

} // namespace
