#include "framework/platform/child_process.h"

#include "tests/unit/platform/temp_environment.h"

#include <chrono>

namespace {

class ChildProcessTest : public TempEnvironmentTest {};

TEST_F(ChildProcessTest, ArgumentsReachTheProgramUntouched) {
  const ChildProcessResult r =
      RunChildProcess({"printf", "%s|", "$(touch x)", "a b", "'q'", "*", "\\n"});
  EXPECT_TRUE(r.started);
  EXPECT_TRUE(r.finished);
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output, "$(touch x)|a b|'q'|*|\\n|");
}

TEST_F(ChildProcessTest, LoaderVariablesOfTheHostAreNotPassedOn) {
  setenv("LD_LIBRARY_PATH", "/nonexistent/host/libs", 1);
  setenv("VARNEL_TEST_MARKER", "kept", 1);
  const ChildProcessResult r = RunChildProcess({"env"});
  unsetenv("LD_LIBRARY_PATH");
  unsetenv("VARNEL_TEST_MARKER");
  EXPECT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output.find("LD_LIBRARY_PATH="), std::string::npos);
  EXPECT_EQ(r.output.find("LD_PRELOAD="), std::string::npos);
  EXPECT_NE(r.output.find("VARNEL_TEST_MARKER=kept"), std::string::npos);
}

TEST_F(ChildProcessTest, ExitCodesAndMissingPrograms) {
  EXPECT_EQ(RunChildProcess({"false"}).exitCode, 1);
  const ChildProcessResult missing = RunChildProcess({"varnel-no-such-program"});
  EXPECT_FALSE(missing.started);
  EXPECT_FALSE(RunChildProcess({}).started);
  setenv("PATH", mDir.c_str(), 1);
  EXPECT_FALSE(RunChildProcess({"true"}).started);
}

TEST_F(ChildProcessTest, BoundedWaitReturnsOnTime) {
  const auto start = std::chrono::steady_clock::now();
  const ChildProcessResult r = RunChildProcess({"sleep", "3"}, 200);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_TRUE(r.started);
  EXPECT_FALSE(r.finished);
  EXPECT_LT(elapsed, std::chrono::milliseconds(1500));
}

} // namespace
