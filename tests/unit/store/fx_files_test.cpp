#include "store/fx_format.h"
#include "store/fxb_file.h"
#include "store/fxp_file.h"
#include "tests/unit/core/preset_test_plug.h"
#include "tests/unit/file_size_limit.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fstream>
#include <random>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const std::vector<double> kSoundA = {0.5, 1.0, 2.0, 1.0, 440.0};
const std::vector<double> kSoundB = {0.125, -2.0, 0.0, 0.0, 5000.0};
using Bytes = std::vector<uint8_t>;

void storeProgram(PresetTestPlug& plug, int index, const std::vector<double>& sound,
                  const std::string& name) {
  ASSERT_TRUE(plug.RestorePreset(index));
  plug.SetValues(sound);
  plug.ModifyCurrentPreset(name.c_str());
}

Bytes toBytes(const IByteChunk& chunk) {
  return Bytes(chunk.GetData(), chunk.GetData() + chunk.Size());
}

Bytes fxpOf(const PresetTestPlug& plug) {
  IByteChunk file;
  EXPECT_TRUE(MakePresetFXP(plug, file));
  return toBytes(file);
}

Bytes fxbOf(const PresetTestPlug& plug) {
  IByteChunk file;
  EXPECT_TRUE(MakeBankFXB(plug, file));
  return toBytes(file);
}

int32_t be32(const Bytes& b, size_t at) {
  fx::ByteView view(b.data(), b.size());
  int32_t v = 0;
  EXPECT_TRUE(view.ReadBE32(at, v));
  return v;
}

void putBE32(Bytes& b, size_t at, int32_t value) {
  IByteChunk c;
  fx::AppendBE32(c, value);
  std::memcpy(b.data() + at, c.GetData(), 4);
}

Bytes cut(const Bytes& b, size_t size) {
  return Bytes(b.begin(), b.begin() + size);
}

bool loadFXP(PresetTestPlug& plug, const Bytes& b) {
  return LoadPresetFromFXPData(plug, b.data(), b.size());
}
bool loadFXB(PresetTestPlug& plug, const Bytes& b) {
  return LoadBankFromFXBData(plug, b.data(), b.size());
}

// A parameter-list program of normalised values.
Bytes paramsProgram(const std::vector<float>& normalized, const std::string& name) {
  IByteChunk c;
  fx::AppendBE32(c, fx::kChunkMagic);
  fx::AppendBE32(c, static_cast<int32_t>(52 + 4 * normalized.size()));
  fx::AppendBE32(c, fx::kProgramParamsType);
  fx::AppendBE32(c, 1);
  fx::AppendBE32(c, FourCC('V', 'r', 'n', 'l'));
  fx::AppendBE32(c, 10102);
  fx::AppendBE32(c, static_cast<int32_t>(normalized.size()));
  fx::AppendName(c, name, fx::kProgramNameSize);
  for (float f : normalized) {
    int32_t bits = 0;
    std::memcpy(&bits, &f, 4);
    fx::AppendBE32(c, bits);
  }
  return toBytes(c);
}

Bytes paramsBank(const std::vector<Bytes>& programs, int32_t nPrograms, int32_t current) {
  IByteChunk c;
  fx::AppendBE32(c, fx::kChunkMagic);
  fx::AppendBE32(c, 0);
  fx::AppendBE32(c, fx::kBankParamsType);
  fx::AppendBE32(c, 1);
  fx::AppendBE32(c, FourCC('V', 'r', 'n', 'l'));
  fx::AppendBE32(c, 10102);
  fx::AppendBE32(c, nPrograms);
  fx::AppendBE32(c, current);
  const Bytes reserved(124, 0);
  c.AppendBytes(reserved.data(), 124);
  for (const Bytes& p : programs) c.AppendBytes(p.data(), static_cast<int>(p.size()));
  return toBytes(c);
}

// A plug-in with programs of its own and unsaved edits, for "nothing changed" checks.
struct Furnished {
  PresetTestPlug plug;
  Furnished() {
    storeProgram(plug, 0, kSoundB, "Mine 0");
    storeProgram(plug, 5, kSoundB, "Mine 5");
    plug.SetValues(kSoundA);
  }
};

class TempDir {
public:
  TempDir() {
    char pattern[] = "/tmp/varnel_fx_XXXXXX";
    mPath = mkdtemp(pattern);
  }
  ~TempDir() { std::system(("rm -rf '" + mPath + "'").c_str()); }
  std::string operator/(const std::string& name) const { return mPath + "/" + name; }
  const std::string& path() const { return mPath; }
  int entries() const {
    int n = 0;
    DIR* dir = opendir(mPath.c_str());
    while (dirent* e = readdir(dir))
      if (std::strcmp(e->d_name, ".") && std::strcmp(e->d_name, "..")) ++n;
    closedir(dir);
    return n;
  }

private:
  std::string mPath;
};

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

} // namespace

TEST(FxpFile, ChunkProgramLayout) {
  PresetTestPlug plug;
  storeProgram(plug, 3, kSoundA, "Brass");
  IByteChunk state;
  plug.SerializeState(state);
  const Bytes file = fxpOf(plug);
  const int32_t s = 8 + state.Size();

  ASSERT_EQ(file.size(), static_cast<size_t>(s + 60));
  EXPECT_EQ(be32(file, 0), fx::kChunkMagic);
  EXPECT_EQ(be32(file, 4), s + 60); // the total length, as files written so carry it
  EXPECT_EQ(be32(file, 8), fx::kProgramChunkType);
  EXPECT_EQ(be32(file, 12), 1);
  EXPECT_EQ(be32(file, 16), FourCC('V', 'r', 'n', 'l'));
  EXPECT_EQ(be32(file, 20), 10102);
  EXPECT_EQ(be32(file, 24), 5);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[28]), 6), std::string("Brass\0", 6));
  EXPECT_EQ(be32(file, 56), s);
  const Bytes header = {0x74, 0x66, 0x66, 0x70, 0x00, 0x00, 0x01, 0x00};
  EXPECT_EQ(Bytes(file.begin() + 60, file.begin() + 68), header);
  EXPECT_EQ(Bytes(file.begin() + 68, file.end()), toBytes(state));
}

TEST(FxpFile, NameIsCutToTwentySevenCharacters) {
  const std::string name27 = "abcdefghijklmnopqrstuvwxyz0";
  for (const std::string& name : {name27, name27 + "123456"}) {
    PresetTestPlug plug;
    plug.ModifyCurrentPreset(name.c_str());
    const Bytes file = fxpOf(plug);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&file[28])), name27);
    EXPECT_EQ(file[55], 0);

    PresetTestPlug target;
    ASSERT_TRUE(loadFXP(target, file));
    EXPECT_EQ(target.GetPresetName(0), name27);
  }
}

TEST(FxpFile, LoadReplacesTheCurrentProgram) {
  PresetTestPlug source;
  storeProgram(source, 2, kSoundA, "Organ");
  const Bytes file = fxpOf(source);

  Furnished target;
  ASSERT_TRUE(target.plug.RestorePreset(5));
  ASSERT_TRUE(loadFXP(target.plug, file));
  EXPECT_EQ(target.plug.GetCurrentPresetIdx(), 5);
  EXPECT_EQ(target.plug.GetPresetName(5), "Organ");
  EXPECT_EQ(target.plug.Values(), kSoundA);
  EXPECT_EQ(target.plug.GetPresetName(0), "Mine 0");
  target.plug.SetValues(kSoundB);
  ASSERT_TRUE(target.plug.RestorePreset(5));
  EXPECT_EQ(target.plug.Values(), kSoundA);
}

TEST(FxpFile, ChunkWithoutVersionHeaderOrNameLoads) {
  PresetTestPlug source;
  storeProgram(source, 0, kSoundA, "");
  Bytes file = fxpOf(source);
  std::fill(file.begin() + 28, file.begin() + 56, 0);
  file.erase(file.begin() + 60, file.begin() + 68);
  putBE32(file, 56, static_cast<int32_t>(file.size() - 60));
  Furnished target;
  ASSERT_TRUE(loadFXP(target.plug, file));
  EXPECT_EQ(target.plug.Values(), kSoundA);
  EXPECT_EQ(target.plug.GetPresetName(5), "Mine 5"); // an empty name keeps the old one
}

TEST(FxpFile, ParameterListProgramSetsValuesThroughTheirShapes) {
  // Level 0.5, Octave 0.3 -> snapped to -1 of -2..2, Wave 1.0 -> Pulse, out of range, NaN.
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const Bytes file = paramsProgram({0.5f, 0.3f, 1.0f, 7.0f, nan}, "Old Style");
  Furnished target;
  ASSERT_TRUE(loadFXP(target.plug, file));
  EXPECT_EQ(target.plug.GetPresetName(5), "Old Style");
  EXPECT_EQ(target.plug.Values(), (std::vector<double>{0.5, -1.0, 2.0, 1.0, 1000.0}));
  target.plug.SetValues(kSoundB);
  ASSERT_TRUE(target.plug.RestorePreset(5));
  EXPECT_EQ(target.plug.Values()[1], -1.0);

  // An older program with fewer values leaves the others as they were.
  Furnished older;
  ASSERT_TRUE(loadFXP(older.plug, paramsProgram({0.0f, 1.0f}, "Short")));
  EXPECT_EQ(older.plug.Values(), (std::vector<double>{0.0, 2.0, 2.0, 1.0, 440.0}));
}

TEST(FxpFile, RefusedFilesChangeNothing) {
  PresetTestPlug source;
  storeProgram(source, 0, kSoundA, "Good");
  const Bytes good = fxpOf(source);
  const Bytes goodParams = paramsProgram({0.1f, 0.2f, 0.3f, 0.4f, 0.5f}, "List");

  struct Case {
    const char* what;
    Bytes file;
  };
  std::vector<Case> cases = {
      {"empty", {}},
      {"15 bytes", cut(good, 15)},
      {"19 bytes", cut(good, 19)},
      {"header without name", cut(good, 40)},
      {"header without chunk size", cut(good, 58)},
      {"inside the version header", cut(good, 65)},
      {"chunk cut short", cut(good, good.size() - 1)},
      {"parameter list cut short", cut(goodParams, goodParams.size() - 2)},
  };
  auto modified = [&](const char* what, const Bytes& base, size_t at, int32_t value) {
    Bytes b = base;
    putBE32(b, at, value);
    cases.push_back({what, b});
  };
  modified("wrong magic", good, 0, FourCC('C', 'c', 'n', 'k'));
  modified("format version 2", good, 12, 2);
  modified("format version 0", good, 12, 0);
  modified("foreign plug-in", good, 16, FourCC('A', 'b', 'c', 'd'));
  modified("unknown type", good, 8, FourCC('F', 'B', 'C', 'h'));
  modified("negative chunk size", good, 56, -8);
  modified("chunk size beyond the file", good, 56, 0x7FFFFFFF);
  // Short chunks that pass the size check: the state in them is not whole.
  auto chunkOf = [&](const char* what, size_t chunkBytes) {
    Bytes b = cut(good, 60 + chunkBytes);
    putBE32(b, 4, static_cast<int32_t>(b.size()));
    putBE32(b, 56, static_cast<int32_t>(chunkBytes));
    cases.push_back({what, b});
  };
  chunkOf("chunk of size 0", 0);
  chunkOf("only the version header", 8);
  chunkOf("version header and marker", 12);
  chunkOf("state without its last value", good.size() - 60 - 8);
  modified("chunk size short of the state", good, 56, static_cast<int32_t>(good.size() - 61));
  modified("no parameters listed", goodParams, 24, 0);
  modified("negative parameter count", goodParams, 24, -3);
  modified("foreign parameter list", goodParams, 16, FourCC('X', 'x', 'x', 'x'));

  for (const Case& c : cases) {
    Furnished target;
    const auto before = target.plug.Take();
    EXPECT_FALSE(loadFXP(target.plug, c.file)) << c.what;
    EXPECT_TRUE(target.plug.Take() == before) << c.what;
  }
}

TEST(FxpFile, OversizedBufferIsRefusedUnread) {
  // A valid start with a size beyond any bank: refused before a byte is read.
  PresetTestPlug source;
  const Bytes fxp = fxpOf(source);
  const Bytes fxb = fxbOf(source);
  Furnished target;
  EXPECT_FALSE(LoadPresetFromFXPData(target.plug, fxp.data(), fx::kMaxFileSize + 1));
  EXPECT_FALSE(LoadBankFromFXBData(target.plug, fxb.data(), fx::kMaxFileSize + 1));
}

TEST(FxbFile, ChunkBankLayout) {
  PresetTestPlug plug;
  storeProgram(plug, 9, kSoundA, "Nine");
  IByteChunk payload;
  plug.SerializePresets(payload);
  const Bytes file = fxbOf(plug);
  const int32_t s = 8 + payload.Size();

  ASSERT_EQ(file.size(), static_cast<size_t>(s + 160));
  EXPECT_EQ(be32(file, 0), fx::kChunkMagic);
  EXPECT_EQ(be32(file, 4), s + 160);
  EXPECT_EQ(be32(file, 8), fx::kBankChunkType);
  EXPECT_EQ(be32(file, 12), 2);
  EXPECT_EQ(be32(file, 16), FourCC('V', 'r', 'n', 'l'));
  EXPECT_EQ(be32(file, 20), 10102);
  EXPECT_EQ(be32(file, 24), 64);
  EXPECT_EQ(be32(file, 28), 9);
  EXPECT_EQ(Bytes(file.begin() + 32, file.begin() + 156), Bytes(124, 0));
  EXPECT_EQ(be32(file, 156), s);
  EXPECT_EQ(Bytes(file.begin() + 160, file.begin() + 164), (Bytes{0x74, 0x66, 0x66, 0x70}));
  EXPECT_EQ(Bytes(file.begin() + 168, file.end()), toBytes(payload));
}

TEST(FxbFile, ChunkBankLoadsAnyFormatVersionWithOrWithoutVersionHeader) {
  PresetTestPlug source;
  storeProgram(source, 0, kSoundA, "Zero");
  storeProgram(source, 7, kSoundB, "Seven");
  const Bytes file = fxbOf(source);
  Bytes bare = file;
  bare.erase(bare.begin() + 160, bare.begin() + 168);
  putBE32(bare, 156, static_cast<int32_t>(bare.size() - 160));

  std::vector<Bytes> files = {file, bare};
  for (int32_t version : {0, 1, 3, -1}) {
    Bytes b = file;
    putBE32(b, 12, version);
    files.push_back(b);
  }
  for (const Bytes& f : files) {
    PresetTestPlug target;
    ASSERT_TRUE(loadFXB(target, f));
    EXPECT_EQ(target.GetPresetName(7), "Seven");
    EXPECT_EQ(target.GetCurrentPresetIdx(), 0); // the file's current program is not taken
    EXPECT_EQ(target.Values(), kSoundA);
  }
}

TEST(FxbFile, SaveAndLoadThroughFilesKeepsTheBank) {
  TempDir dir;
  PresetTestPlug source;
  for (int i = 0; i < 64; i += 3)
    storeProgram(source, i, i % 2 ? kSoundA : kSoundB, "P" + std::to_string(i));
  ASSERT_TRUE(SaveBankAsFXB(source, dir / "bank.fxb"));

  PresetTestPlug target;
  ASSERT_TRUE(target.RestorePreset(9));
  ASSERT_TRUE(LoadBankFromFXB(target, dir / "bank.fxb"));
  EXPECT_EQ(target.GetCurrentPresetIdx(), 9);
  for (int i = 0; i < 64; ++i) {
    EXPECT_EQ(target.GetPresetName(i), source.GetPresetName(i)) << i;
    EXPECT_EQ(target.GetPreset(i).initialized, source.GetPreset(i).initialized) << i;
  }
  EXPECT_FALSE(target.GetPreset(1).initialized);
  ASSERT_TRUE(target.RestorePreset(1));
  EXPECT_EQ(target.GetPresetName(1), "user preset 1");
  ASSERT_TRUE(target.RestorePreset(9));
  EXPECT_EQ(target.Values(), kSoundA);
}

TEST(FxbFile, BankPayloadEndingAfterProgramTenLoadsProgramsUpToTen) {
  PresetTestPlug source;
  for (int i = 0; i <= 10; ++i) storeProgram(source, i, kSoundA, "New");
  Bytes file = fxbOf(source);
  // Cut right after program 10's record: the records after it are name, flag 0 each.
  const size_t tail = 53 * (4 + 5 + 1); // "empty", flag 0
  file.resize(file.size() - tail);
  putBE32(file, 156, static_cast<int32_t>(file.size() - 160));

  PresetTestPlug target;
  for (int i = 0; i < 64; ++i) storeProgram(target, i, kSoundB, "Old");
  ASSERT_TRUE(target.RestorePreset(40));
  ASSERT_TRUE(loadFXB(target, file));
  for (int i = 0; i < 64; ++i) EXPECT_EQ(target.GetPresetName(i), i <= 10 ? "New" : "Old") << i;
  EXPECT_EQ(target.Values(), kSoundB);
  ASSERT_TRUE(target.RestorePreset(10));
  EXPECT_EQ(target.Values(), kSoundA);
}

TEST(FxbFile, ChunkBankLoadKeepsProgramSevenCurrentAndAppliesTheNewOne) {
  PresetTestPlug source;
  storeProgram(source, 7, kSoundA, "New seven");
  Furnished target;
  ASSERT_TRUE(target.plug.RestorePreset(7));
  target.plug.SetValues(kSoundB);
  ASSERT_TRUE(loadFXB(target.plug, fxbOf(source)));
  EXPECT_EQ(target.plug.GetCurrentPresetIdx(), 7);
  EXPECT_EQ(target.plug.Values(), kSoundA);
  EXPECT_EQ(target.plug.GetPresetName(7), "New seven");
}

TEST(FxbFile, ParameterListBankLoadsEveryProgramAndSelectsTheCurrentOne) {
  const std::vector<Bytes> programs = {
      paramsProgram({0.0f, 0.0f, 0.0f, 0.0f, 0.0f}, "First"),
      paramsProgram({1.0f, 1.0f, 1.0f, 1.0f, 1.0f}, "Second"),
      paramsProgram({0.5f, 0.5f, 0.5f, 0.0f, 0.5f}, ""),
  };
  Furnished target;
  ASSERT_TRUE(loadFXB(target.plug, paramsBank(programs, 3, 1)));
  EXPECT_EQ(target.plug.GetCurrentPresetIdx(), 1);
  EXPECT_EQ(target.plug.Values(), (std::vector<double>{1.0, 2.0, 2.0, 1.0, 20000.0}));
  EXPECT_EQ(target.plug.GetPresetName(0), "First");
  EXPECT_EQ(target.plug.GetPresetName(1), "Second");
  EXPECT_EQ(target.plug.GetPresetName(2), "user preset 1");
  EXPECT_EQ(target.plug.GetPresetName(5), "Mine 5");
  ASSERT_TRUE(target.plug.RestorePreset(0));
  EXPECT_EQ(target.plug.Values(), (std::vector<double>{0.0, -2.0, 0.0, 0.0, 20.0}));

  // No programs: only the current one is selected.
  Furnished empty;
  ASSERT_TRUE(loadFXB(empty.plug, paramsBank({}, 0, 5)));
  EXPECT_EQ(empty.plug.GetCurrentPresetIdx(), 5);
  EXPECT_EQ(empty.plug.Values(), kSoundB);
}

TEST(FxbFile, RefusedFilesChangeNothing) {
  PresetTestPlug source;
  storeProgram(source, 0, kSoundA, "Good");
  const Bytes good = fxbOf(source);
  const Bytes p = paramsProgram({0.1f, 0.2f, 0.3f, 0.4f, 0.5f}, "List");

  struct Case {
    const char* what;
    Bytes file;
  };
  std::vector<Case> cases = {
      {"empty", {}},
      {"19 bytes", cut(good, 19)},
      {"header cut before the chunk", cut(good, 150)},
      {"inside the version header", cut(good, 164)},
      {"chunk cut short", cut(good, good.size() - 3)},
      {"payload without one whole program", cut(good, 170)},
      {"list bank header cut short", cut(paramsBank({}, 0, 0), 30)},
      {"list bank missing a program", paramsBank({p, p}, 3, 0)},
      {"list bank with a cut program", cut(paramsBank({p, p}, 2, 0), 156 + 2 * p.size() - 1)},
  };
  auto modified = [&](const char* what, const Bytes& base, size_t at, int32_t value) {
    Bytes b = base;
    putBE32(b, at, value);
    cases.push_back({what, b});
  };
  modified("wrong magic", good, 0, 0);
  modified("foreign plug-in", good, 16, FourCC('O', 't', 'h', 'r'));
  modified("unknown type", good, 8, FourCC('F', 'P', 'C', 'h'));
  modified("negative chunk size", good, 156, -1);
  modified("chunk size beyond the file", good, 156, 1 << 30);
  const Bytes list = paramsBank({p, p, p}, 3, 0);
  const size_t second = 156 + p.size();
  modified("list program with wrong magic", list, second, 0);
  modified("list program of another type", list, second + 8, fx::kProgramChunkType);
  modified("list program of version 2", list, second + 12, 2);
  modified("list program with other parameter count", list, second + 24, 4);

  for (const Case& c : cases) {
    Furnished target;
    const auto before = target.plug.Take();
    EXPECT_FALSE(loadFXB(target.plug, c.file)) << c.what;
    EXPECT_TRUE(target.plug.Take() == before) << c.what;
  }
}

TEST(FxFiles, RandomAndMutatedInputNeverHalfLoads) {
  PresetTestPlug source;
  for (int i = 0; i < 64; i += 5) storeProgram(source, i, kSoundA, "Src");
  const Bytes seeds[] = {fxpOf(source), fxbOf(source),
                         paramsProgram({0.1f, 0.2f, 0.3f, 0.4f, 0.5f}, "L"),
                         paramsBank({paramsProgram({0.f, 0.f, 0.f, 0.f, 0.f}, "L")}, 1, 0)};
  std::mt19937 rng(12345);
  Furnished target;
  for (int round = 0; round < 400; ++round) {
    Bytes b = seeds[static_cast<size_t>(round) % 4];
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits && !b.empty(); ++e) {
      const size_t at = rng() % b.size();
      switch (rng() % 3) {
      case 0:
        b[at] = static_cast<uint8_t>(rng());
        break;
      case 1:
        b.resize(at);
        break;
      default:
        b.insert(b.begin() + static_cast<long>(at), static_cast<uint8_t>(rng()));
        break;
      }
    }
    if (round % 10 == 0) { // plain noise
      b.resize(rng() % 400);
      for (uint8_t& x : b) x = static_cast<uint8_t>(rng());
    }
    for (bool bank : {false, true}) {
      const auto before = target.plug.Take();
      const bool loaded = bank ? loadFXB(target.plug, b) : loadFXP(target.plug, b);
      if (!loaded) {
        EXPECT_TRUE(target.plug.Take() == before) << round;
      }
    }
  }
}

TEST(FxFiles, WritersReplaceWholeFilesAndLeaveNoLitter) {
  TempDir dir;
  PresetTestPlug plug;
  storeProgram(plug, 0, kSoundA, "Saved");
  const std::string path = dir / "program.fxp";
  writeText(path, std::string(100000, 'z')); // an older, longer file
  ASSERT_TRUE(SavePresetAsFXP(plug, path));
  const std::string written = readText(path);
  EXPECT_EQ(Bytes(written.begin(), written.end()), fxpOf(plug));
  EXPECT_EQ(dir.entries(), 1);

  PresetTestPlug target;
  ASSERT_TRUE(LoadPresetFromFXP(target, path));
  EXPECT_EQ(target.Values(), kSoundA);
  EXPECT_EQ(target.GetPresetName(0), "Saved");
}

TEST(FxFiles, SavingOverALinkKeepsTheLinkAndTheFileMode) {
  TempDir dir;
  PresetTestPlug plug;
  writeText(dir / "real.fxb", "old");
  ASSERT_EQ(chmod((dir / "real.fxb").c_str(), 0640), 0);
  ASSERT_EQ(symlink("real.fxb", (dir / "link.fxb").c_str()), 0);
  ASSERT_TRUE(SaveBankAsFXB(plug, dir / "link.fxb"));

  struct stat status {};
  ASSERT_EQ(lstat((dir / "link.fxb").c_str(), &status), 0);
  EXPECT_TRUE(S_ISLNK(status.st_mode));
  ASSERT_EQ(stat((dir / "real.fxb").c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0640u);
  const std::string written = readText(dir / "real.fxb");
  EXPECT_EQ(Bytes(written.begin(), written.end()), fxbOf(plug));
  EXPECT_EQ(dir.entries(), 2);
}

TEST(FxFiles, UnwritablePathsFailAndKeepWhatIsThere) {
  TempDir dir;
  PresetTestPlug plug;
  writeText(dir / "plain", "not a folder");
  ASSERT_EQ(mkdir((dir / "folder").c_str(), 0755), 0);
  writeText(dir / "folder/inside", "x");

  for (const std::string& path : {std::string(), dir / "missing/bank.fxb", dir / "plain/bank.fxb",
                                  dir / "folder", dir.path() + "/"}) {
    EXPECT_FALSE(SaveBankAsFXB(plug, path)) << path;
    EXPECT_FALSE(SavePresetAsFXP(plug, path)) << path;
  }
  EXPECT_EQ(dir.entries(), 2);
  EXPECT_EQ(readText(dir / "plain"), "not a folder");
  EXPECT_EQ(readText(dir / "folder/inside"), "x");
}

TEST(FxFiles, FailedWriteKeepsTheExistingFile) {
  TempDir dir;
  PresetTestPlug plug;
  writeText(dir / "old.fxb", "old bank");
  writeText(dir / "old.fxp", "old program");
  {
    const FileSizeLimit diskFull(16);
    EXPECT_FALSE(SaveBankAsFXB(plug, dir / "old.fxb"));
    EXPECT_FALSE(SavePresetAsFXP(plug, dir / "old.fxp"));
  }
  EXPECT_EQ(readText(dir / "old.fxb"), "old bank");
  EXPECT_EQ(readText(dir / "old.fxp"), "old program");
  EXPECT_EQ(dir.entries(), 2); // no temporary file left behind
}

TEST(FxFiles, UnreadablePathsFail) {
  TempDir dir;
  Furnished target;
  const auto before = target.plug.Take();
  for (const std::string& path : {std::string(), dir / "none.fxp", dir.path()}) {
    EXPECT_FALSE(LoadPresetFromFXP(target.plug, path)) << path;
    EXPECT_FALSE(LoadBankFromFXB(target.plug, path)) << path;
  }
  EXPECT_TRUE(target.plug.Take() == before);
}
