// Programs and banks as the host reads and writes them, against the bundle's own factory bank.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "tests/integration/bundle_fixture.h"
#include "tools/host/host_error.h"
#include "tools/render/fx_files.h"
#include "tools/render/program_select.h"
#include "tools/render/state_chunk.h"

namespace {

std::string errorOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const vhost::HostError& e) {
    return e.what();
  }
  return "";
}

class ProgramFiles : public ::testing::Test {
protected:
  void SetUp() override { id_ = vrender::identityOf(plugin_); }
  vhost::PluginInstance plugin_{itest::bundle()};
  vrender::FxIdentity id_;
};

TEST_F(ProgramFiles, IdentityComesFromTheClass) {
  EXPECT_EQ(vrender::fourCCText(id_.fxId), "Vrnl");
  EXPECT_EQ(id_.fxVersion, 10102);
  EXPECT_EQ(id_.numParams, 124);
}

TEST_F(ProgramFiles, FactoryBankNamesMatchWhatThePluginReports) {
  const auto bank = vrender::readFxb(itest::bundle().resourcesPath() + "/init.fxb", id_);
  ASSERT_EQ(bank.programs.size(), 64u);
  const auto names = plugin_.programNames(65537, 64);
  ASSERT_EQ(names.size(), 64u);
  for (size_t i = 0; i < 64; ++i) EXPECT_EQ(bank.programs[i].name, names[i]) << i;
}

TEST_F(ProgramFiles, ChosenProgramBecomesTheCurrentProgram) {
  const std::string path = itest::bundle().resourcesPath() + "/init.fxb";
  const auto bank = vrender::readFxb(path, id_);
  const int index = vrender::pickProgram(bank, "5", path);
  EXPECT_EQ(vrender::pickProgram(bank, bank.programs[5].name, path), 5);
  vrender::applyProgram(plugin_, bank.programs[5], index, path);
  const auto chunk = vrender::chunkOfHostState(plugin_.getState());
  EXPECT_EQ(vrender::stateProgramName(chunk), bank.programs[5].name);
  EXPECT_NE(
      errorOf([&] { vrender::pickProgram(bank, "No Such Sound", path); }).find("unknown program"),
      std::string::npos);
  EXPECT_NE(errorOf([&] { vrender::pickProgram(bank, "64", path); }).find("unknown program 64"),
            std::string::npos);
}

TEST_F(ProgramFiles, SavedProgramLoadsBackToTheSameState) {
  const auto chunk = vrender::chunkOfHostState(plugin_.getState());
  const auto fxp = vrender::buildFxp(id_, "A name longer than twenty-seven characters", chunk);
  // Header, chunk version header and state; the size field counts the whole file.
  ASSERT_EQ(fxp.size(), 60 + 8 + chunk.size());
  EXPECT_EQ((fxp[4] << 24 | fxp[5] << 16 | fxp[6] << 8 | fxp[7]), static_cast<int>(fxp.size()));
  const auto program = vrender::parseFxp(fxp, id_, "test.fxp");
  EXPECT_EQ(program.name, "A name longer than twenty-s");
  EXPECT_EQ(program.chunk, chunk);

  vhost::PluginInstance other(itest::bundle());
  vrender::applyProgram(other, program, -1, "test.fxp");
  EXPECT_EQ(vrender::chunkOfHostState(other.getState()), chunk);
}

TEST_F(ProgramFiles, ForeignOrDamagedFilesAreRefusedWithAReason) {
  const auto chunk = vrender::chunkOfHostState(plugin_.getState());
  auto fxp = vrender::buildFxp(id_, "x", chunk);

  auto foreign = fxp;
  foreign[16] = 'A';
  EXPECT_NE(errorOf([&] { vrender::parseFxp(foreign, id_, "f.fxp"); }).find("another plug-in"),
            std::string::npos);
  auto version2 = fxp;
  version2[15] = 2;
  EXPECT_NE(errorOf([&] { vrender::parseFxp(version2, id_, "f.fxp"); }).find("version 2"),
            std::string::npos);
  EXPECT_NE(errorOf([&] {
              vrender::parseFxp({'C', 'c', 'n'}, id_, "f.fxp");
            }).find("not an FXP"),
            std::string::npos);
  EXPECT_NE(errorOf([&] { vrender::readFxp("/nonexistent/x.fxp", id_); }).find("no such file"),
            std::string::npos);
  // A bank that ends inside a program keeps the programs before it.
  const auto full = vrender::readFile(itest::bundle().resourcesPath() + "/init.fxb", "bank");
  const std::vector<uint8_t> cut(full.begin(),
                                 full.begin() + static_cast<std::ptrdiff_t>(full.size() / 2));
  const auto partial = vrender::parseFxb(cut, id_, "cut.fxb");
  EXPECT_GT(partial.programs.size(), 10u);
  EXPECT_LT(partial.programs.size(), 64u);
}

TEST_F(ProgramFiles, ChunkWithoutVersionHeaderAndParameterListFormsLoad) {
  const auto chunk = vrender::chunkOfHostState(plugin_.getState());
  auto fxp = vrender::buildFxp(id_, "plain", chunk);
  fxp.erase(fxp.begin() + 60, fxp.begin() + 68); // no chunk version header
  EXPECT_EQ(vrender::parseFxp(fxp, id_, "plain.fxp").chunk, chunk);

  // "FxCk": the same header with one big-endian float per parameter.
  std::vector<uint8_t> list(fxp.begin(), fxp.begin() + 56);
  list[8] = 'F', list[9] = 'x', list[10] = 'C', list[11] = 'k';
  for (int i = 0; i < 124; ++i) {
    const float v = i == 116 ? 1.0f : 0.0f;
    uint32_t bits;
    std::memcpy(&bits, &v, 4);
    for (int b = 3; b >= 0; --b) list.push_back(static_cast<uint8_t>(bits >> (8 * b)));
  }
  const auto program = vrender::parseFxp(list, id_, "list.fxp");
  ASSERT_FALSE(program.isChunk);
  ASSERT_EQ(program.values.size(), 124u);
  EXPECT_EQ(program.values[116], 1.0f);
}

} // namespace
