#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <algorithm>
#include <chrono>
#include <set>
#include <thread>

#include "service/platform/posix/ChildProcess.h"
#include "service/platform/posix/LastError.h"
#include "service/platform/posix/PaddingMarker.h"
#include "service/platform/posix/PosixPlatform.h"
#include "tests/service/platform/posix/FifoRelease.h"
#include "tests/service/platform/posix/UniqueName.h"
#include "tests/support/TempTree.h"

namespace fs = std::filesystem;
using qrv::test::makeTempDir;
using qrv::test::readFile;
using qrv::test::removeTree;
using qrv::test::writeFile;

namespace {

constexpr rulo::DWORD kInfinite = 0xFFFFFFFF;

class PosixFilesAndProcesses : public testing::Test {
 protected:
  void TearDown() override { removeTree(dir_); }

  std::string script(const std::string& name, const std::string& body) {
    const std::string path = dir_ + "/" + name;
    writeFile(path, "#!/bin/sh\n" + body);
    fs::permissions(path, fs::perms::owner_all);
    return path;
  }

  rulo::PosixPlatform platform_;
  std::string dir_ = makeTempDir("posixplat");
};

TEST_F(PosixFilesAndProcesses, UniqueFilesAreNewEmptyAndNamedLikeWindows) {
  std::set<std::string> paths;
  for (int i = 0; i < 20; ++i) {
    const auto path = platform_.createUniqueFile(dir_, "rulo");
    ASSERT_TRUE(path);
    EXPECT_EQ(fs::path(*path).parent_path(), dir_);
    EXPECT_TRUE(rulo::test::isUniqueName(fs::path(*path).filename())) << *path;
    EXPECT_EQ(fs::file_size(*path), 0u);
    paths.insert(*path);
  }
  EXPECT_EQ(paths.size(), 20u);
  EXPECT_FALSE(platform_.createUniqueFile(dir_ + "/missing", "rulo"));
  EXPECT_EQ(platform_.lastError(), rulo::posix::kErrorDirectory);
}

TEST_F(PosixFilesAndProcesses, MoveRefusesAnExistingTargetAndCopyOverwrites) {
  writeFile(dir_ + "/a", "new");
  writeFile(dir_ + "/b", "old");
  EXPECT_FALSE(platform_.moveFile(dir_ + "/a", dir_ + "/b"));
  EXPECT_EQ(platform_.lastError(), rulo::posix::kErrorAlreadyExists);
  EXPECT_EQ(readFile(dir_ + "/b"), "old");
  EXPECT_EQ(readFile(dir_ + "/a"), "new");

  EXPECT_TRUE(platform_.moveFile(dir_ + "/a", dir_ + "/c"));
  EXPECT_FALSE(fs::exists(dir_ + "/a"));
  fs::permissions(dir_ + "/c", fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  EXPECT_TRUE(platform_.copyFile(dir_ + "/c", dir_ + "/b"));
  EXPECT_EQ(readFile(dir_ + "/b"), "new");
  EXPECT_EQ(fs::status(dir_ + "/b").permissions(), fs::status(dir_ + "/c").permissions());
  EXPECT_FALSE(platform_.copyFile(dir_ + "/b", dir_ + "/b"));
  EXPECT_EQ(readFile(dir_ + "/b"), "new") << "a file copied onto itself is not emptied";
}

TEST_F(PosixFilesAndProcesses, ReplaceSwapsTheNewFileInAndKeepsTheOldOneUnderTheBackupName) {
  const std::string data = dir_ + "/inventory.xml";
  const std::string staging = dir_ + "/rul1.TMP";
  const std::string backup = dir_ + "/rul2.TMP";
  writeFile(data, "old");
  writeFile(staging, "new");
  struct stat before;
  ASSERT_EQ(::stat(data.c_str(), &before), 0);
  EXPECT_TRUE(platform_.replaceFile(data, staging, backup));
  EXPECT_EQ(readFile(data), "new");
  EXPECT_FALSE(fs::exists(staging));
  struct stat kept;
  ASSERT_EQ(::stat(backup.c_str(), &kept), 0);
  EXPECT_EQ(kept.st_ino, before.st_ino) << "the old file itself is kept";
  EXPECT_EQ(kept.st_nlink, 1u);

  // Failures change nothing: a backup name taken, a target or a replacement missing.
  writeFile(staging, "next");
  EXPECT_FALSE(platform_.replaceFile(data, staging, backup));
  EXPECT_EQ(platform_.lastError(), rulo::posix::kErrorAlreadyExists);
  EXPECT_FALSE(platform_.replaceFile(dir_ + "/missing", staging, dir_ + "/rul3.TMP"));
  EXPECT_EQ(platform_.lastError(), rulo::posix::kErrorFileNotFound);
  EXPECT_FALSE(platform_.replaceFile(data, dir_ + "/missing", dir_ + "/rul3.TMP"));
  EXPECT_EQ(platform_.lastError(), rulo::posix::kErrorFileNotFound);
  EXPECT_EQ(readFile(data), "new");
  EXPECT_EQ(readFile(staging), "next");
  EXPECT_EQ(readFile(backup), "old");
  EXPECT_FALSE(fs::exists(dir_ + "/rul3.TMP"));
}

TEST_F(PosixFilesAndProcesses, NormalAttributesMakeAFileWritableAgain) {
  writeFile(dir_ + "/ro", "x");
  fs::permissions(dir_ + "/ro", fs::perms::owner_read);
  EXPECT_TRUE(platform_.setNormalAttributes(dir_ + "/ro"));
  EXPECT_NE(fs::status(dir_ + "/ro").permissions() & fs::perms::owner_write, fs::perms::none);
  EXPECT_FALSE(platform_.setNormalAttributes(dir_ + "/none"));
}

TEST_F(PosixFilesAndProcesses, TheCollectorRunsWithWindowsArgumentsInItsDirectoryWithoutOurDescriptors) {
  fs::create_directories(dir_ + "/my tools");
  const int leaked = ::open("/dev/null", O_RDONLY);  // inheritable on purpose
  ASSERT_GE(leaked, 3);
  const std::string collector = script("my tools/inv.sh",
                                       "for a in \"$@\"; do echo \"[$a]\"; done > args.txt\n"
                                       "[ -e /proc/$$/fd/" + std::to_string(leaked) + " ] && echo leaked >> args.txt\n"
                                       "exit 3\n");
  const rulo::Handle process = platform_.createProcess(
      collector, "\"" + collector + "\" pad -outc=\"/a b/o.TMP\" -logc=\"x\\\"y\"", dir_ + "/my tools", false);
  ::close(leaked);
  ASSERT_NE(process, 0u);
  platform_.waitForProcess(process, kInfinite);
  EXPECT_EQ(platform_.processExitCode(process), 3u);
  platform_.closeProcess(process);
  EXPECT_EQ(readFile(dir_ + "/my tools/args.txt"), "[pad]\n[-outc=/a b/o.TMP]\n[-logc=x\"y]\n");
}

TEST_F(PosixFilesAndProcesses, ACollectorOutlivingTheWaitReadsAsStillActiveAndGoesOn) {
  const std::string collector = script("slow.sh", "echo $$ > pid; sleep 1; echo done > done; exit 7\n");
  const rulo::Handle process = platform_.createProcess(collector, collector, dir_, false);
  ASSERT_NE(process, 0u);
  platform_.waitForProcess(process, 100);
  EXPECT_EQ(platform_.processExitCode(process), rulo::posix::kStillActive);
  platform_.waitForProcess(process, kInfinite);
  EXPECT_EQ(platform_.processExitCode(process), 7u);
  EXPECT_EQ(readFile(dir_ + "/done"), "done\n");
  platform_.closeProcess(process);

}

TEST_F(PosixFilesAndProcesses, AnApplicationThatCannotStartLeavesItsError) {
  EXPECT_EQ(platform_.createProcess(dir_ + "/missing", "missing", dir_, false), 0u);
  EXPECT_EQ(platform_.lastError(), static_cast<rulo::DWORD>(ENOENT));
  EXPECT_FALSE(platform_.processExitCode(12345));
}

TEST_F(PosixFilesAndProcesses, AStopFromAnotherThreadEndsTheWaitAndEveryLaterOne) {
  EXPECT_FALSE(platform_.waitForStop(10));
  const auto start = std::chrono::steady_clock::now();
  std::thread stopper([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    platform_.signalStop();
  });
  EXPECT_TRUE(platform_.waitForStop(60000));
  stopper.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
  EXPECT_TRUE(platform_.waitForStop(60000));
}

TEST_F(PosixFilesAndProcesses, ListedFilesAreRegularFilesOnly) {
  writeFile(dir_ + "/rul1.TMP", "");
  writeFile(dir_ + "/other", "");
  fs::create_directories(dir_ + "/rul2.TMP");
  fs::create_symlink(dir_ + "/other", dir_ + "/rul3.TMP");
  ASSERT_EQ(::mkfifo((dir_ + "/rul4.TMP").c_str(), 0644), 0);
  auto names = platform_.listFiles(dir_);
  ASSERT_TRUE(names);
  std::sort(names->begin(), names->end());
  EXPECT_EQ(*names, (std::vector<std::string>{"other", "rul1.TMP"}));
  EXPECT_FALSE(platform_.listFiles(dir_ + "/missing"));
  EXPECT_EQ(platform_.lastError(), rulo::posix::kErrorFileNotFound);
}

// The run's folders may be writable by others, who can plant a link or a
// second name of another file (such as /etc/sudoers, mode 0440) under a name
// the run changes the mode of, or a FIFO that would hold whoever opens it.
class PlantedFiles : public PosixFilesAndProcesses {
 protected:
  void SetUp() override {
    writeFile(victim_, "root ALL=(ALL) ALL\n");
    fs::permissions(victim_, kVictimMode);
  }

  void expectVictimUntouched() {
    EXPECT_EQ(fs::status(victim_).permissions(), kVictimMode);
    EXPECT_EQ(readFile(victim_), "root ALL=(ALL) ALL\n");
  }

  static constexpr fs::perms kVictimMode = fs::perms::owner_read | fs::perms::group_read;
  std::string victim_ = dir_ + "/sudoers";
  std::string planted_ = dir_ + "/rulAB.TMP";
};

TEST_F(PlantedFiles, NormalAttributesAreSetOnlyOnARegularFileWithOneName) {
  fs::create_symlink(victim_, planted_);
  EXPECT_FALSE(platform_.setNormalAttributes(planted_));
  EXPECT_EQ(platform_.lastError(), 1921u) << "a link is not followed";
  fs::remove(planted_);

  fs::create_hard_link(victim_, planted_);
  EXPECT_FALSE(platform_.setNormalAttributes(planted_));
  EXPECT_EQ(platform_.lastError(), rulo::posix::kErrorAccessDenied);
  expectVictimUntouched();
  fs::remove(planted_);

  ASSERT_EQ(::mkfifo(planted_.c_str(), 0444), 0);
  {
    const rulo::test::FifoRelease release(planted_);
    EXPECT_FALSE(platform_.setNormalAttributes(planted_));
  }
  EXPECT_EQ(fs::status(planted_).permissions(), fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
}

TEST_F(PlantedFiles, ACopyReplacesWhatIsPlantedAtItsDestinationWithoutWritingThroughIt) {
  writeFile(dir_ + "/output", "<new/>");
  fs::create_symlink(victim_, planted_);
  EXPECT_TRUE(platform_.copyFile(dir_ + "/output", planted_));
  EXPECT_FALSE(fs::is_symlink(planted_));
  EXPECT_EQ(readFile(planted_), "<new/>");
  fs::remove(planted_);

  fs::create_hard_link(victim_, planted_);
  EXPECT_TRUE(platform_.copyFile(dir_ + "/output", planted_));
  EXPECT_EQ(readFile(planted_), "<new/>");
  expectVictimUntouched();
}

TEST_F(PlantedFiles, LinksAndFifosAreNeitherCopiedNorReadFrom) {
  fs::create_symlink(victim_, planted_);
  EXPECT_FALSE(platform_.copyFile(planted_, dir_ + "/copy"));
  EXPECT_FALSE(fs::exists(dir_ + "/copy"));
  EXPECT_FALSE(platform_.readFile(planted_, 100));
  fs::remove(planted_);

  ASSERT_EQ(::mkfifo(planted_.c_str(), 0644), 0);
  {
    const rulo::test::FifoRelease release(planted_);
    EXPECT_FALSE(platform_.copyFile(planted_, dir_ + "/copy"));
  }
  {
    const rulo::test::FifoRelease release(planted_);
    EXPECT_FALSE(platform_.readFile(planted_, 100));
  }
}

TEST_F(PosixFilesAndProcesses, ThePaddingMarkerIsFoundAnywhereInTheExecutable) {
  const std::string marker = rulo::posix::kPaddingMarker;
  writeFile(dir_ + "/script", "#!/bin/sh\n# " + marker + "\n");
  std::string binary(65536 - 5, '\0');
  binary += marker;  // split across two reads
  writeFile(dir_ + "/binary", binary);
  writeFile(dir_ + "/plain", std::string(70000, 'x') + marker.substr(0, marker.size() - 1));

  EXPECT_TRUE(platform_.hasPaddingMarker(dir_ + "/script"));
  EXPECT_TRUE(platform_.hasPaddingMarker(dir_ + "/binary"));
  EXPECT_FALSE(platform_.hasPaddingMarker(dir_ + "/plain"));
  EXPECT_FALSE(platform_.hasPaddingMarker(dir_ + "/missing"));
}

TEST_F(PosixFilesAndProcesses, ReadFileReadsAtMostTheSizeAsked) {
  writeFile(dir_ + "/log", "abcdef");
  EXPECT_EQ(platform_.fileSize(dir_ + "/log"), 6u);
  EXPECT_EQ(platform_.readFile(dir_ + "/log", 4), (std::vector<char>{'a', 'b', 'c', 'd'}));
  EXPECT_EQ(platform_.readFile(dir_ + "/log", 10)->size(), 6u);
  EXPECT_FALSE(platform_.readFile(dir_ + "/none", 1));
  EXPECT_FALSE(platform_.fileSize(dir_ + "/none"));
}

}  // namespace
