// Every plug-in made in this test program reads and writes its settings in a temporary folder,
// never in the real home.
#include "tests/unit/plugin/config_fixture.h"

namespace {

class TempHomeEnvironment : public ::testing::Environment {
public:
  void SetUp() override { mHome = std::make_unique<configtest::TempHome>(); }
  void TearDown() override { mHome.reset(); }

private:
  std::unique_ptr<configtest::TempHome> mHome;
};

[[maybe_unused]] ::testing::Environment* const kTempHome =
    ::testing::AddGlobalTestEnvironment(new TempHomeEnvironment);

} // namespace
