#include "store/atomic_file_write.h"
#include "store/ini_parser.h"
#include "store/profile_store.h"
#include "tests/unit/file_size_limit.h"
#include "tests/unit/store/temp_home_test.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

class ProfileStoreTest : public TempHomeTest {
protected:
  std::string PathOf(const std::string& name) const { return mDir + "/" + name; }

  static void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
  }
  static std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static std::string Get(const std::string& path, const char* section, const char* key,
                         const char* def = "<none>", int size = 1024) {
    std::vector<char> buffer(static_cast<size_t>(size > 0 ? size : 1), '#');
    GetPrivateProfileString(section, key, def, buffer.data(), size, path.c_str());
    return std::string(buffer.data());
  }
  static struct stat StatOf(const std::string& path) {
    struct stat st {};
    stat(path.c_str(), &st);
    return st;
  }
  // Moves the file's modification time into the past so an untouched file is recognisable.
  static void AgeFile(const std::string& path) {
    struct timespec times[2] = {{1000000000, 123}, {1000000000, 123}};
    utimensat(AT_FDCWD, path.c_str(), times, 0);
  }
};

TEST_F(ProfileStoreTest, NamesAreFoundWithoutRegardToCaseAndKeepTheirFirstSpelling) {
  const std::string ini = PathOf("case.ini");
  WriteText(ini, "[MIDI Global]\nMIDI Thru=true\nIgnore=false\n");
  EXPECT_EQ(Get(ini, "midi global", "midi thru"), "true");
  EXPECT_EQ(Get(ini, "MIDI GLOBAL", "IGNORE"), "false");
  EXPECT_EQ(Get(ini, "MIDI Globa", "Ignore"), "<none>");

  EXPECT_TRUE(WritePrivateProfileString("midi GLOBAL", "midi THRU", "false", ini.c_str()));
  EXPECT_EQ(ReadText(ini), "[MIDI Global]\nIgnore=false\nMIDI Thru=false\n\n");
}

TEST_F(ProfileStoreTest, ValuesAreTrimmedAndUnquotedOnRead) {
  const std::string ini = PathOf("quotes.ini");
  WriteText(ini, "[S]\n"
                 "blank=  \t true \t \n"
                 "double=\"two words\"\n"
                 "single='x y'\n"
                 "lone=\"\n"
                 "mixed=\"abc'\n"
                 "inner= \" padded \" \n"
                 "empty=\n"
                 "  indented key  =v\n"
                 "a=b=c\r\n");
  struct Case {
    const char* key;
    const char* expected;
  } cases[] = {{"blank", "true"}, {"double", "two words"}, {"single", "x y"},
               {"lone", "\""},    {"mixed", "\"abc'"},     {"inner", " padded "},
               {"empty", ""},     {"indented key", "v"},   {"a", "b=c"}};
  for (const Case& c : cases) EXPECT_EQ(Get(ini, "S", c.key), c.expected) << c.key;
}

TEST_F(ProfileStoreTest, ReadsAreCutToTheBufferSize) {
  const std::string ini = PathOf("size.ini");
  WriteText(ini, "[Global]\nPath=" + std::string(80, 'p') + "\n");
  char buffer[100];
  EXPECT_EQ(GetPrivateProfileString("Global", "Path", "", buffer, 64, ini.c_str()), 63);
  EXPECT_EQ(std::string(buffer), std::string(63, 'p'));
  EXPECT_EQ(GetPrivateProfileString("Global", "Path", "", buffer, 1, ini.c_str()), 0);
  EXPECT_EQ(buffer[0], 0);
  buffer[0] = 'z';
  EXPECT_EQ(GetPrivateProfileString("Global", "Path", "", buffer, 0, ini.c_str()), 0);
  EXPECT_EQ(buffer[0], 'z');
  EXPECT_EQ(GetPrivateProfileString("Global", "Missing", nullptr, buffer, 64, ini.c_str()), 0);
  EXPECT_EQ(GetPrivateProfileString("Global", "Missing", "dflt", buffer, 3, ini.c_str()), 2);
  EXPECT_EQ(std::string(buffer), "df");
}

TEST_F(ProfileStoreTest, WriteBackSortsSectionsAndKeysAndDropsStrayLines) {
  const std::string ini = PathOf("sorted.ini");
  std::string text =
      "stray=outside\n[Startup Bank]\nFile=/a/b.fxb\n[MIDI Global]\nMIDI Thru=false\n"
      "[MIDI Control]\n";
  for (int cc : {119, 2, 10, 1, 100, 0, 12, 11, 109, 110})
    text += "CC" + std::to_string(cc) + "=5\n";
  text += "a remark without equals\n[Global]\nPath to Program Files=/home\n[Editor]\nScale=0.5\n";
  WriteText(ini, text);
  ASSERT_TRUE(WritePrivateProfileString("Editor", "Scale", "1.000000", ini.c_str()));
  EXPECT_EQ(ReadText(ini), "[Editor]\nScale=1.000000\n\n"
                           "[Global]\nPath to Program Files=/home\n\n"
                           "[MIDI Control]\nCC0=5\nCC1=5\nCC10=5\nCC100=5\nCC109=5\nCC11=5\n"
                           "CC110=5\nCC119=5\nCC12=5\nCC2=5\n\n"
                           "[MIDI Global]\nMIDI Thru=false\n\n"
                           "[Startup Bank]\nFile=/a/b.fxb\n\n");
}

TEST_F(ProfileStoreTest, RemovingKeysAndSections) {
  const std::string ini = PathOf("remove.ini");
  WriteText(ini, "[A]\nx=1\ny=2\n[B]\nz=3\n");
  EXPECT_TRUE(WritePrivateProfileString("A", "x", nullptr, ini.c_str()));
  EXPECT_EQ(ReadText(ini), "[A]\ny=2\n\n[B]\nz=3\n\n");
  EXPECT_TRUE(WritePrivateProfileString("b", nullptr, nullptr, ini.c_str()));
  EXPECT_EQ(ReadText(ini), "[A]\ny=2\n\n");
  EXPECT_FALSE(WritePrivateProfileString(nullptr, "x", "1", ini.c_str()));
  EXPECT_FALSE(WritePrivateProfileString("A", "", "1", ini.c_str()));
  EXPECT_EQ(Get(ini, "A", "y"), "2");
}

TEST_F(ProfileStoreTest, WritesThatChangeNothingLeaveTheFileAlone) {
  const std::string ini = PathOf("same.ini");
  WriteText(ini, "[Global]\nKey=Value\n");
  AgeFile(ini);
  const struct stat before = StatOf(ini);
  EXPECT_TRUE(WritePrivateProfileString("Global", "Key", "Value", ini.c_str()));
  EXPECT_TRUE(WritePrivateProfileString("Global", "Other", nullptr, ini.c_str()));
  EXPECT_TRUE(WritePrivateProfileString("Nowhere", "Other", nullptr, ini.c_str()));
  EXPECT_TRUE(WritePrivateProfileString("Nowhere", nullptr, nullptr, ini.c_str()));
  EXPECT_TRUE(WritePrivateProfileSection("Nowhere", "\0", ini.c_str()));
  const struct stat after = StatOf(ini);
  EXPECT_EQ(after.st_mtim.tv_sec, before.st_mtim.tv_sec);
  EXPECT_EQ(after.st_ino, before.st_ino);
  EXPECT_EQ(ReadText(ini), "[Global]\nKey=Value\n");

  // A value differing only in letter case is a change.
  EXPECT_TRUE(WritePrivateProfileString("Global", "Key", "value", ini.c_str()));
  EXPECT_EQ(ReadText(ini), "[Global]\nKey=value\n\n");
}

TEST_F(ProfileStoreTest, WriteSectionReplacesAllKeys) {
  const std::string ini = PathOf("section.ini");
  WriteText(ini, "[MIDI Control]\nCC1=3\nCC2=4\n[Other]\nk=v\n");
  const char data[] = "CC7=12\0no equals here\0CC5= spaced \0=empty key\0";
  EXPECT_TRUE(WritePrivateProfileSection("midi control", data, ini.c_str()));
  EXPECT_EQ(ReadText(ini), "[MIDI Control]\nCC5= spaced \nCC7=12\n\n[Other]\nk=v\n\n");
  EXPECT_TRUE(WritePrivateProfileSection("MIDI Control", "\0", ini.c_str()));
  EXPECT_EQ(ReadText(ini), "[MIDI Control]\n\n[Other]\nk=v\n\n");
  EXPECT_FALSE(WritePrivateProfileSection(nullptr, "a=b\0", ini.c_str()));

  // An empty section write on a missing file creates nothing.
  const std::string fresh = PathOf("fresh.ini");
  EXPECT_TRUE(WritePrivateProfileSection("MIDI Control", "\0", fresh.c_str()));
  EXPECT_NE(access(fresh.c_str(), F_OK), 0);

  // Each string counts up to 8191 characters.
  const std::string longEntry = "k=" + std::string(9000, 'v');
  std::string packed = longEntry + '\0' + "next=1" + '\0' + '\0';
  EXPECT_TRUE(WritePrivateProfileSection("Long", packed.c_str(), ini.c_str()));
  EXPECT_EQ(Get(ini, "Long", "k", "", 10000).size(), 8189u);
  EXPECT_EQ(Get(ini, "Long", "next"), "1");
}

TEST_F(ProfileStoreTest, ParsingRules) {
  const std::string ini = PathOf("rules.ini");
  WriteText(ini, "[Dup]\nold=1\n"
                 "[Open without close\nstill=dup\n"
                 "[]\nlost=1\n"
                 "  [Spaced]  trailing text\n"
                 " =no key\n"
                 "key \t = value with = sign\n"
                 "key=second\n"
                 "[dup]\nnew=2\n");
  EXPECT_EQ(Get(ini, "Dup", "old"), "<none>");
  EXPECT_EQ(Get(ini, "Dup", "new"), "2");
  EXPECT_EQ(Get(ini, "Dup", "still"), "<none>");
  EXPECT_EQ(Get(ini, "", "lost"), "<none>");
  EXPECT_EQ(Get(ini, "Spaced", "key"), "second");
  ASSERT_TRUE(WritePrivateProfileString("Spaced", "x", "1", ini.c_str()));
  EXPECT_EQ(ReadText(ini), "[Dup]\nnew=2\n\n[Spaced]\nkey=second\nx=1\n\n");
}

TEST_F(ProfileStoreTest, MissingFileReadsDefaultsAndFirstWriteCreatesIt) {
  const std::string ini = PathOf("new.ini");
  EXPECT_EQ(Get(ini, "Global", "Key", "default"), "default");
  EXPECT_TRUE(WritePrivateProfileString("Global", "Key", "1", ini.c_str()));
  EXPECT_EQ(ReadText(ini), "[Global]\nKey=1\n\n");
  EXPECT_NE(access(AtomicWriteTempPath(ini).c_str(), F_OK), 0);
  EXPECT_EQ(AtomicWriteTempPath("/x/varnel.ini"), "/x/.varnel.ini.new");
}

TEST_F(ProfileStoreTest, EditsByAnotherProgramArePickedUp) {
  const std::string ini = PathOf("shared.ini");
  WriteText(ini, "[Global]\nKey=aaaa\n");
  EXPECT_EQ(Get(ini, "Global", "Key"), "aaaa");
  // Same size, same second: only a finer look at the file tells the edit.
  WriteText(ini, "[Global]\nKey=bbbb\n");
  EXPECT_EQ(Get(ini, "Global", "Key"), "bbbb");
  // Replaced through rename, as another instance of this store does.
  WriteText(ini + ".tmp", "[Global]\nKey=cccc\n");
  ASSERT_EQ(rename((ini + ".tmp").c_str(), ini.c_str()), 0);
  EXPECT_EQ(Get(ini, "Global", "Key"), "cccc");
  unlink(ini.c_str());
  EXPECT_EQ(Get(ini, "Global", "Key"), "<none>");
}

TEST_F(ProfileStoreTest, UnchangedFileIsServedFromTheCacheUntilItsSlotIsReused) {
  const std::string ini = PathOf("cached.ini");
  WriteText(ini, "[Global]\nKey=aaaa\n");
  AgeFile(ini);
  EXPECT_EQ(Get(ini, "Global", "Key"), "aaaa");
  // Rewrite in place and restore the time stamp: the cache cannot tell.
  {
    std::fstream f(ini, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(13);
    f << "zzzz";
  }
  AgeFile(ini);
  EXPECT_EQ(Get(ini, "Global", "Key"), "aaaa");
  // 32 other files push it out of the cache; it is then read anew.
  for (int i = 0; i < 32; ++i) Get(PathOf("other" + std::to_string(i) + ".ini"), "S", "k");
  EXPECT_EQ(Get(ini, "Global", "Key"), "zzzz");
}

TEST_F(ProfileStoreTest, LongTextWithoutHeaderIsNoIniFile) {
  const std::string ini = PathOf("big.ini");
  std::string text;
  while (text.size() < 300000) text += "filler line with = sign\n";
  WriteText(ini, text + "[Late]\nk=v\n");
  EXPECT_EQ(Get(ini, "Late", "k"), "<none>");
  // A header early enough keeps everything.
  WriteText(ini, "[Early]\n" + text + "k=v\n");
  EXPECT_EQ(Get(ini, "Early", "k"), "v");
}

TEST_F(ProfileStoreTest, OverlongLinesAreCutIntoPieces) {
  std::string text = "[S]\na=" + std::string(kIniMaxLineLength - 2, 'x') + "b=c\n";
  IniSections fromMemory;
  ParseIniText(text.data(), text.size(), fromMemory);
  ASSERT_EQ(fromMemory.count("S"), 1u);
  EXPECT_EQ(fromMemory["S"]["a"].size(), kIniMaxLineLength - 2);
  EXPECT_EQ(fromMemory["S"]["b"], "c");

  const std::string ini = PathOf("long.ini");
  WriteText(ini, text);
  EXPECT_EQ(Get(ini, "S", "b"), "c");
  EXPECT_EQ(Get(ini, "S", "a", "", 8), "xxxxxxx");
}

TEST_F(ProfileStoreTest, BinaryGarbageIsReadWithoutHarm) {
  std::string text = "[Bin]\nkey=va\0lue\n\r\r\n[\0x]\nk2=\xff\xfe\x01\n";
  text.append(std::string("\0\0\0[B2]\n", 8));
  for (int i = 0; i < 4096; ++i) text += static_cast<char>((i * 7919) & 0xff);
  const std::string ini = PathOf("binary.ini");
  WriteText(ini, text);
  EXPECT_EQ(Get(ini, "Bin", "key"), "va");
  EXPECT_TRUE(WritePrivateProfileString("Bin", "new", "1", ini.c_str()));
  EXPECT_EQ(Get(ini, "Bin", "new"), "1");
}

TEST_F(ProfileStoreTest, FailedWriteBackIsReportedAndNotKeptInMemory) {
  const std::string ini = PathOf("full.ini");
  WriteText(ini, "[Global]\nKey=old\n");
  ASSERT_EQ(Get(ini, "Global", "Key"), "old");
  {
    const FileSizeLimit diskFull(8);
    EXPECT_FALSE(WritePrivateProfileString("Global", "Key", "new", ini.c_str()));
    EXPECT_FALSE(WritePrivateProfileString("Global", "Other", "x", ini.c_str()));
    EXPECT_FALSE(WritePrivateProfileSection("Global", "Key=new\0", ini.c_str()));
  }
  EXPECT_EQ(ReadText(ini), "[Global]\nKey=old\n");
  EXPECT_EQ(Get(ini, "Global", "Key"), "old");
  EXPECT_EQ(Get(ini, "Global", "Other"), "<none>");
  EXPECT_NE(access(AtomicWriteTempPath(ini).c_str(), F_OK), 0);

  const std::string nowhere = PathOf("missing/folder/varnel.ini");
  EXPECT_FALSE(WritePrivateProfileString("Global", "Key", "v", nowhere.c_str()));
  EXPECT_EQ(Get(nowhere, "Global", "Key"), "<none>");
  EXPECT_NE(access(nowhere.c_str(), F_OK), 0);
}

TEST_F(ProfileStoreTest, SpecialFilesInPlaceOfTheIniNeverBlock) {
  const std::string fifo = PathOf("fifo.ini");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(Get(fifo, "A", "k", "dflt"), "dflt");
  EXPECT_FALSE(WritePrivateProfileString("A", "k", "v", fifo.c_str()));
  EXPECT_EQ(Get(fifo, "A", "k", "dflt"), "dflt");
  struct stat st;
  ASSERT_EQ(lstat(fifo.c_str(), &st), 0);
  EXPECT_TRUE(S_ISFIFO(st.st_mode));

  const std::string folder = PathOf("folder.ini");
  ASSERT_EQ(mkdir(folder.c_str(), 0700), 0);
  EXPECT_EQ(Get(folder, "A", "k", "dflt"), "dflt");
  EXPECT_FALSE(WritePrivateProfileString("A", "k", "v", folder.c_str()));

  // A FIFO where the temporary file goes: the write fails cleanly, the file stays as it was.
  const std::string ini = PathOf("tempfifo.ini");
  WriteText(ini, "[A]\nk=1\n");
  ASSERT_EQ(mkfifo(AtomicWriteTempPath(ini).c_str(), 0600), 0);
  EXPECT_FALSE(WritePrivateProfileString("A", "k", "2", ini.c_str()));
  EXPECT_EQ(ReadText(ini), "[A]\nk=1\n");
  EXPECT_EQ(Get(ini, "A", "k"), "1");
}

TEST_F(ProfileStoreTest, WriteBackReplacesStaleTempFileAndKeepsPermissionsAndLinks) {
  const std::string ini = PathOf("perm.ini");
  WriteText(ini, "[A]\nk=1\n");
  chmod(ini.c_str(), 0600);
  WriteText(AtomicWriteTempPath(ini), std::string(5000, '#')); // left by a crashed writer
  ASSERT_TRUE(WritePrivateProfileString("A", "k", "2", ini.c_str()));
  EXPECT_EQ(ReadText(ini), "[A]\nk=2\n\n");
  EXPECT_EQ(StatOf(ini).st_mode & 0777, 0600u);
  EXPECT_NE(access(AtomicWriteTempPath(ini).c_str(), F_OK), 0);

  const std::string target = PathOf("target.ini");
  const std::string link = PathOf("link.ini");
  WriteText(target, "[A]\nk=1\n");
  ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
  ASSERT_TRUE(WritePrivateProfileString("A", "k", "3", link.c_str()));
  struct stat st;
  ASSERT_EQ(lstat(link.c_str(), &st), 0);
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(ReadText(target), "[A]\nk=3\n\n");
}

TEST_F(ProfileStoreTest, ConcurrentWritersLoseNothing) {
  const std::string ini = PathOf("threads.ini");
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 25; ++i) {
        const std::string key = "T" + std::to_string(t) + "_" + std::to_string(i);
        WritePrivateProfileString("Threads", key.c_str(), "x", ini.c_str());
      }
    });
  }
  for (auto& thread : threads) thread.join();
  IniSections parsed;
  const std::string text = ReadText(ini);
  ParseIniText(text.data(), text.size(), parsed);
  EXPECT_EQ(parsed["Threads"].size(), 100u);
}

TEST_F(ProfileStoreTest, ConcurrentProcessesNeverSeeAHalfWrittenFile) {
  const std::string ini = PathOf("processes.ini");
  const std::string big(20000, 'v');
  WriteText(ini, "[A]\nk=" + big + "\n");
  std::vector<pid_t> children;
  for (int c = 0; c < 2; ++c) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      // Another process writing the same file through its own temporary file.
      for (int i = 0; i < 40; ++i) {
        const std::string text = "[A]\nk=" + big + "\nn=" + std::to_string(c * 1000 + i) + "\n\n";
        WriteFileAtomically(ini, text);
      }
      _exit(0);
    }
    children.push_back(pid);
  }
  int complete = 0;
  for (int i = 0; i < 200; ++i) {
    const std::string text = ReadText(ini);
    if (text.find("k=" + big + "\n") != std::string::npos) ++complete;
  }
  for (pid_t pid : children) waitpid(pid, nullptr, 0);
  EXPECT_EQ(complete, 200);
}

} // namespace
