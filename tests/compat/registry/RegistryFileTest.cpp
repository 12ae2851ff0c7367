#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <thread>
#include <vector>

#include "compat/registry/RegistryFile.h"
#include "tests/support/TempTree.h"

using namespace qrv::regfile;
using qrv::test::makeTempDir;
using qrv::test::readFile;
using qrv::test::removeTree;
using qrv::test::writeFile;

namespace {

const std::string kKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvex\\rulo\\SysInvSrv";

class RegistryFileTest : public testing::Test {
 protected:
  void TearDown() override { removeTree(dir_); }

  std::string dir_ = makeTempDir("regfile");
  std::string path_ = dir_ + "/etc/korvex/registry.reg";
};

TEST_F(RegistryFileTest, TheEnvironmentNamesTheFile) {
  setenv("KORVEX_REGISTRY_FILE", path_.c_str(), 1);
  EXPECT_EQ(RegistryFile::defaultPath(), path_);
  unsetenv("KORVEX_REGISTRY_FILE");
  EXPECT_EQ(RegistryFile::defaultPath(), "/etc/korvex/registry.reg");
}

TEST_F(RegistryFileTest, AMissingFileReadsEmptyAndAnUnchangedUpdateWritesNothing) {
  const RegistryFile file(path_);
  EXPECT_TRUE(file.read().keysToWrite().empty());
  EXPECT_FALSE(file.update([](Registry&) { return false; }));
  EXPECT_FALSE(std::filesystem::exists(path_));
}

TEST_F(RegistryFileTest, UpdatesCreateTheDirectoryAndReplaceTheFile) {
  const RegistryFile file(path_);
  EXPECT_TRUE(file.update([](Registry& r) {
    r.createKey(kKey);
    return r.setValue(kKey, "invtimeout", dwordValue(1));
  }));
  EXPECT_EQ(RegistryFile(path_).read().value(kKey, "INVTIMEOUT"), dwordValue(1));
  EXPECT_NE(readFile(path_).find("\"invtimeout\"=dword:00000001"), std::string::npos);

  const auto names = [this] {
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::directory_iterator(std::filesystem::path(path_).parent_path())) {
      found.push_back(entry.path().filename().string());
    }
    std::sort(found.begin(), found.end());
    return found;
  };
  EXPECT_EQ(names(), (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));
}

TEST_F(RegistryFileTest, AMalformedFileFailsReadsAndUpdatesAndIsKept) {
  writeFile(path_, "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\K]\n\"a\"=dword:xyz\n");
  const RegistryFile file(path_);
  EXPECT_THROW(file.read(), RegistryError);
  EXPECT_THROW(file.update([](Registry&) { return true; }), RegistryError);
  EXPECT_NE(readFile(path_).find("dword:xyz"), std::string::npos);
}

TEST_F(RegistryFileTest, AnUnreadableFileIsASystemError) {
  std::filesystem::create_directories(path_);  // a directory where the file should be
  EXPECT_THROW(RegistryFile(path_).read(), std::system_error);
}

// Each line holds something another writer left that this one must not
// touch while it sets another value.
TEST_F(RegistryFileTest, AnUpdateKeepsTheLinesItDoesNotConcern) {
  const struct {
    const char* what;
    std::string line;
  } cases[] = {
      {"text after an embedded NUL", "\"embedded\"=hex(1):61,00,00,00,62,00,00,00\n"},
      {"a lone surrogate", "\"lone\"=hex(2):00,d8,41,00,00,00\n"},
      {"text without a terminator", "\"unterminated\"=hex(2):41,00\n"},
      {"a comment", "; keep me\n"},
      {"upper-case hex continued over two lines", "\"list\"=hex:0A,\\\n  0B\n"},
  };
  const RegistryFile file(path_);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string before = "Windows Registry Editor Version 5.00\n\n[" + kKey + "]\n" + c.line;
    writeFile(path_, before + "\"invtimeout\"=dword:00000001\n");
    ASSERT_TRUE(file.update([](Registry& r) { return r.setValue(kKey, "invtimeout", dwordValue(2)); }));
    EXPECT_EQ(readFile(path_), before + "\"invtimeout\"=dword:00000002\n");
  }
}

TEST_F(RegistryFileTest, AnUpdateKeepsTheOwnerAndPermissionsOfTheFile) {
  const bool root = ::geteuid() == 0;
  const uid_t owner = root ? 4321 : ::geteuid();
  const gid_t group = root ? 4321 : ::getegid();
  writeFile(path_, "Windows Registry Editor Version 5.00\n");
  ASSERT_EQ(::chmod(path_.c_str(), 0600), 0);
  ASSERT_EQ(::chown(path_.c_str(), owner, group), 0);

  ASSERT_TRUE(RegistryFile(path_).update([](Registry& r) {
    r.createKey(kKey);
    return true;
  }));
  struct stat status {};
  ASSERT_EQ(::stat(path_.c_str(), &status), 0);
  EXPECT_EQ(status.st_mode & 07777, 0600u);
  EXPECT_EQ(status.st_uid, owner);
  EXPECT_EQ(status.st_gid, group);
  EXPECT_TRUE(RegistryFile(path_).read().hasKey(kKey));
}

// The registry file may be a link (or a chain of them, relative or not) to
// a file elsewhere: that file is rewritten, beside itself, and the links
// stay links. A loop of links is an error, not a hang.
TEST_F(RegistryFileTest, AnUpdateThroughALinkRewritesTheFileItPointsAt) {
  namespace fs = std::filesystem;
  const std::string real = dir_ + "/shared/registry.reg";
  const std::string text = "Windows Registry Editor Version 5.00\n\n[" + kKey + "]\n";
  writeFile(real, text);
  const std::string middle = dir_ + "/middle.reg";
  fs::create_directories(fs::path(path_).parent_path());
  fs::create_symlink("shared/registry.reg", middle);
  fs::create_symlink(middle, path_);

  ASSERT_TRUE(RegistryFile(path_).update([](Registry& r) { return r.setValue(kKey, "v", dwordValue(1)); }));
  EXPECT_TRUE(fs::is_symlink(path_));
  EXPECT_EQ(fs::read_symlink(path_), middle);
  EXPECT_TRUE(fs::is_symlink(middle));
  EXPECT_EQ(readFile(real), text + "\"v\"=dword:00000001\n");
  std::vector<std::string> beside;
  for (const auto& entry : fs::directory_iterator(dir_ + "/shared")) beside.push_back(entry.path().filename());
  std::sort(beside.begin(), beside.end());
  EXPECT_EQ(beside, (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));

  const std::string loop = dir_ + "/loop.reg";
  fs::create_symlink(loop, loop);
  EXPECT_THROW(RegistryFile(loop).update([](Registry&) { return true; }), std::system_error);
}

TEST_F(RegistryFileTest, ConcurrentWritersLoseNothingAndReadersSeeWholeFiles) {
  const RegistryFile file(path_);
  file.update([](Registry& r) {
    r.createKey(kKey);
    return true;
  });
  std::atomic<bool> writing{true};
  std::atomic<int> badReads{0};
  std::thread reader([&] {
    while (writing) {
      try {
        if (!file.read().hasKey(kKey)) ++badReads;
      } catch (const std::exception&) {
        ++badReads;
      }
    }
  });
  std::vector<std::thread> writers;
  for (int w = 0; w < 4; ++w) {
    writers.emplace_back([&file, w] {
      for (int i = 0; i < 20; ++i) {
        file.update([&](Registry& r) {
          return r.setValue(kKey, "v" + std::to_string(w) + "_" + std::to_string(i), dwordValue(i));
        });
      }
    });
  }
  for (auto& t : writers) t.join();
  writing = false;
  reader.join();
  EXPECT_EQ(badReads, 0);
  EXPECT_EQ(file.read().valueNames(kKey).size(), 80u);
}

}  // namespace
