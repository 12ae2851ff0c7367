#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "service/platform/posix/JournalEvent.h"
#include "service/platform/posix/LastError.h"
#include "service/platform/posix/PosixPlatform.h"
#include "tests/service/platform/posix/FifoRelease.h"
#include "tests/support/TempTree.h"

namespace fs = std::filesystem;
using namespace rulo;
using qrv::test::makeTempDir;
using qrv::test::readFile;
using qrv::test::removeTree;
using qrv::test::writeFile;

namespace {

const std::string kKey = "SOFTWARE\\Korvex\\rulo\\SysInvSrv";

class PosixRegistryAndTrace : public testing::Test {
 protected:
  void SetUp() override {
    setenv("KORVEX_REGISTRY_FILE", registry_.c_str(), 1);
    setenv("RULOSRV_TRACE_DIR", dir_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("KORVEX_REGISTRY_FILE");
    unsetenv("RULOSRV_TRACE_DIR");
    removeTree(dir_);
  }

  PosixPlatform platform_;
  std::string dir_ = makeTempDir("posixreg");
  std::string registry_ = dir_ + "/registry.reg";
};

TEST_F(PosixRegistryAndTrace, ValuesWrittenThroughKeysAreReadBackFromTheFile) {
  const Handle key = platform_.createRegistryKey(kKey);
  ASSERT_NE(key, 0u);
  EXPECT_TRUE(platform_.setRegistryValue(key, "invexecdir", RegSz, {'/', 'i', '\0'}));
  EXPECT_TRUE(platform_.setRegistryValue(key, "invtimeout", RegDword, {30, 0, 0, 0}));
  EXPECT_TRUE(platform_.setRegistryValue(key, "EventMessageFile", RegExpandSz, {'%', 'x', '%', '\0'}));
  platform_.closeRegistryKey(key);
  EXPECT_FALSE(platform_.setRegistryValue(key, "late", RegSz, {'\0'}));

  EXPECT_NE(readFile(registry_).find("\"invtimeout\"=dword:0000001e"), std::string::npos);
  const auto text = platform_.readRegistryValue("software\\KORVEX\\Rulo\\SYSINVSRV", "InvExecDir", false, 260);
  ASSERT_TRUE(text);
  EXPECT_EQ(text->type, RegSz);
  EXPECT_EQ(text->bytes, (std::vector<char>{'/', 'i', '\0'}));
  EXPECT_EQ(platform_.readRegistryValue(kKey, "invtimeout", true, 4)->bytes, (std::vector<char>{30, 0, 0, 0}));
  EXPECT_EQ(platform_.readRegistryValue(kKey, "EventMessageFile", false, 260)->type, RegExpandSz);
}

TEST_F(PosixRegistryAndTrace, UnreadableValuesLeaveTheirError) {
  EXPECT_FALSE(platform_.readRegistryValue(kKey, "invexecdir", false, 260));
  EXPECT_EQ(platform_.lastError(), static_cast<DWORD>(ENOENT));

  writeFile(registry_, "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\" + kKey +
                           "]\n\"invexecdir\"=\"/opt/collector\"\n");
  EXPECT_FALSE(platform_.readRegistryValue(kKey, "invexecdir", false, 14));
  EXPECT_EQ(platform_.lastError(), posix::kErrorMoreData);
  EXPECT_TRUE(platform_.readRegistryValue(kKey, "invexecdir", false, 15));

  writeFile(registry_, "Windows Registry Editor Version 5.00\n\"invexecdir\"=\"/opt/collector\"\n");
  EXPECT_FALSE(platform_.readRegistryValue(kKey, "invexecdir", false, 260));
  EXPECT_EQ(platform_.lastError(), posix::kErrorBadDatabase);
  EXPECT_EQ(platform_.createRegistryKey(kKey), 0u);
  EXPECT_EQ(platform_.errorText(platform_.lastError()), "The configuration registry database is corrupt.");
}

// The error code alone cannot tell a missing file from a missing key or
// value, and ERROR_BADDB does not say where the file is malformed.
TEST_F(PosixRegistryAndTrace, AFailedReadSaysWhereItLookedAndWhatWasWrong) {
  const std::string keyPath = "HKEY_LOCAL_MACHINE\\" + kKey;
  EXPECT_FALSE(platform_.readRegistryValue(kKey, "invexecdir", false, 260));
  EXPECT_EQ(platform_.failureDetail(), "the registry file " + registry_ + " does not exist");

  writeFile(registry_, "Windows Registry Editor Version 5.00\n[HKEY_LOCAL_MACHINE\\SOFTWARE]\n");
  EXPECT_FALSE(platform_.readRegistryValue(kKey, "invexecdir", false, 260));
  EXPECT_EQ(platform_.failureDetail(), "the registry file " + registry_ + " has no key [" + keyPath + "]");

  writeFile(registry_, "Windows Registry Editor Version 5.00\n[" + keyPath + "]\n\"invtimeout\"=dword:00000001\n");
  EXPECT_FALSE(platform_.readRegistryValue(kKey, "invexecdir", false, 260));
  EXPECT_EQ(platform_.failureDetail(),
            "the registry file " + registry_ + " has no value \"invexecdir\" in [" + keyPath + "]");
  EXPECT_TRUE(platform_.readRegistryValue(kKey, "invtimeout", false, 4));
  EXPECT_EQ(platform_.failureDetail(), "") << "a read that works leaves nothing to say";

  writeFile(registry_, "Windows Registry Editor Version 5.00\n\n[" + keyPath + "]\n\"invexecdir\"=/opt/c\n");
  EXPECT_FALSE(platform_.readRegistryValue(kKey, "invtimeout", false, 4));
  EXPECT_EQ(platform_.failureDetail(), "the registry file " + registry_ + ", line 4: unknown value data: /opt/c");

  fs::permissions(registry_, fs::perms::none);
  if (::access(registry_.c_str(), R_OK) == 0) return;  // root reads any file
  EXPECT_FALSE(platform_.readRegistryValue(kKey, "invexecdir", false, 260));
  EXPECT_NE(platform_.failureDetail().find(registry_), std::string::npos) << platform_.failureDetail();
}

TEST_F(PosixRegistryAndTrace, TheTraceFileIsAppendedButNeverThroughALink) {
  EXPECT_TRUE(platform_.appendTraceLine("-outc=\"a\""));
  EXPECT_TRUE(platform_.appendTraceLine("Inventory Collection completed"));
  EXPECT_EQ(readFile(dir_ + "/InvLog.txt"), "-outc=\"a\"\nInventory Collection completed\n");

  fs::remove(dir_ + "/InvLog.txt");
  writeFile(dir_ + "/victim", "keep");
  fs::create_symlink(dir_ + "/victim", dir_ + "/InvLog.txt");
  EXPECT_FALSE(platform_.appendTraceLine("x"));
  EXPECT_EQ(platform_.lastError(), 1921u);
  EXPECT_EQ(readFile(dir_ + "/victim"), "keep");

  setenv("RULOSRV_TRACE_DIR", (dir_ + "/missing").c_str(), 1);
  EXPECT_FALSE(platform_.appendTraceLine("x"));
  EXPECT_FALSE(fs::exists(dir_ + "/missing"));
}

// A FIFO would hold the service until someone reads it; a second name of
// another file would have the lines appended to that file.
TEST_F(PosixRegistryAndTrace, ATraceFileThatIsNotARegularFileWithOneNameIsSkipped) {
  const std::string trace = dir_ + "/InvLog.txt";
  ASSERT_EQ(::mkfifo(trace.c_str(), 0644), 0);
  {
    const test::FifoRelease release(trace);
    EXPECT_FALSE(platform_.appendTraceLine("nobody reads"));
  }
  const int reader = ::open(trace.c_str(), O_RDONLY | O_NONBLOCK);
  ASSERT_GE(reader, 0);
  EXPECT_FALSE(platform_.appendTraceLine("read at once"));
  char byte;
  EXPECT_LE(::read(reader, &byte, 1), 0) << "a line went into the FIFO";
  ::close(reader);
  fs::remove(trace);

  writeFile(dir_ + "/victim", "keep");
  fs::create_hard_link(dir_ + "/victim", trace);
  EXPECT_FALSE(platform_.appendTraceLine("x"));
  EXPECT_EQ(readFile(dir_ + "/victim"), "keep");
}

TEST(PosixErrors, LastErrorIsPerThreadAndHasItsText) {
  PosixPlatform platform;
  platform.setLastError(ENOENT);
  std::thread([&platform] { EXPECT_EQ(platform.lastError(), 0u); }).join();
  EXPECT_EQ(platform.lastError(), static_cast<DWORD>(ENOENT));
  EXPECT_EQ(platform.errorText(2), "The system cannot find the file specified.");
  EXPECT_EQ(platform.errorText(1063), "The service process could not connect to the service controller.");
  EXPECT_EQ(platform.errorText(0x12345), "");
}

TEST(PosixErrors, ErrnoValuesBecomeTheWin32CodesOfTheSameMeaning) {
  const std::vector<std::pair<int, DWORD>> cases = {{ENOENT, 2},  {ENOTDIR, 3},  {EACCES, 5},   {EPERM, 5},
                                                    {ENOMEM, 8},  {E2BIG, 87},   {EEXIST, 183}, {ENOEXEC, 193},
                                                    {EBUSY, 32},  {ENOSPC, 112}, {0, 0}};
  for (const auto& [errnoValue, code] : cases) {
    EXPECT_EQ(posix::win32Code(errnoValue), code) << errnoValue;
    EXPECT_EQ(posix::errorText(code).empty(), code == 0) << code;
  }
  // Without a Win32 counterpart: an application-defined code that keeps its text.
  EXPECT_EQ(posix::win32Code(ECHILD), 0x20000000u | ECHILD);
  EXPECT_EQ(posix::errorText(0x20000000u | ECHILD), "No child processes");
  EXPECT_EQ(posix::errorText(0x20000000u | 0x10000u), "");
}

TEST_F(PosixRegistryAndTrace, AFileInAMissingDirectoryIsAMissingPath) {
  EXPECT_FALSE(platform_.pathExists(dir_ + "/none"));
  EXPECT_EQ(platform_.lastError(), 2u);
  EXPECT_FALSE(platform_.pathExists(dir_ + "/none/file"));
  EXPECT_EQ(platform_.lastError(), 3u);
  EXPECT_EQ(platform_.createProcess(dir_ + "/none/collector", "collector", dir_ + "/none", false), 0u);
  EXPECT_EQ(platform_.lastError(), 3u);
  EXPECT_EQ(platform_.errorText(3), "The system cannot find the path specified.");
  EXPECT_FALSE(platform_.moveFile(dir_ + "/none", dir_ + "/x"));
  EXPECT_EQ(platform_.lastError(), 2u);
  EXPECT_FALSE(platform_.copyFile(dir_ + "/missing/a", dir_ + "/b"));
  EXPECT_EQ(platform_.lastError(), 3u);
}

TEST(JournalEvent, FieldsCarryTheEventAndPriorityFollowsItsType) {
  const auto fields = posix::journalFields("rulosrv", 2, 1, 0x80020102, {"", "partial"}, {'a', '\n', '\0'});
  EXPECT_EQ(fields, (std::vector<std::string>{"MESSAGE=partial", "PRIORITY=4", "SYSLOG_IDENTIFIER=rulosrv",
                                              "EVENT_ID=0x80020102", "EVENT_TYPE=2", "EVENT_CATEGORY=1",
                                              std::string("EVENT_DATA=a\n\0", 14)}));
  const auto error = posix::journalFields("rulosrv", 1, 1, 0xC0020103, {"rulosrv error (2): gone", "failed"}, {});
  EXPECT_EQ(error[1], "PRIORITY=3");
  EXPECT_EQ(error.back(), "EVENT_ERROR_TEXT=rulosrv error (2): gone");
  EXPECT_EQ(posix::journalPriority(0), 5);
  EXPECT_EQ(posix::journalPriority(4), 6);
}

}  // namespace
