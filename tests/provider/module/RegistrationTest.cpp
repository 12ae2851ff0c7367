#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "compat/registry/RegFormat.h"
#include "tests/provider/module/WexiModule.h"
#include "tests/support/TempTree.h"

namespace {

using qrv::test::readFile;
using qrv::test::wexi;
using qrv::test::writeFile;

const std::string kHeader = "Windows Registry Editor Version 5.00\n";

// Keys of other servers, a stale key below the class's own key, and another
// version of the type library: registration must leave all but the stale
// key alone.
const std::string kForeign = R"(
[HKEY_LOCAL_MACHINE\SOFTWARE\Korvex\rulo\SysInvSrv]
"invtimeout"=dword:0000001e

[HKEY_CLASSES_ROOT\CLSID\{00000000-1111-2222-3333-444444444444}]
@="Another Class"

[HKEY_CLASSES_ROOT\TypeLib\{B3D90E42-6C1F-4A75-8E2B-1F0C9A6D5E87}\2.0]
@="qrvcim 2.0 Type Library"
)";

const std::string kStale = R"(
[HKEY_CLASSES_ROOT\CLSID\{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}\Stale]
@="left over"
)";

std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '\\' || c == '"' ? std::string{'\\', c} : std::string{c};
  return out;
}

// What registration writes, beside the foreign keys.
std::string registered() {
  const std::string module = escaped(qrv::test::wexiPath());
  return R"(
[HKEY_CLASSES_ROOT\AppID\{B3D90E42-6C1F-4A75-8E2B-1F0C9A6D5E87}]
@="wexi"

[HKEY_CLASSES_ROOT\AppID\qrvcim.DLL]
"AppID"="{B3D90E42-6C1F-4A75-8E2B-1F0C9A6D5E87}"

[HKEY_CLASSES_ROOT\qrvcim.QVProvider.1]
@="CQVProvider Object"

[HKEY_CLASSES_ROOT\qrvcim.QVProvider.1\CLSID]
@="{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}"

[HKEY_CLASSES_ROOT\qrvcim.QVProvider]
@="CQVProvider Object"

[HKEY_CLASSES_ROOT\qrvcim.QVProvider\CLSID]
@="{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}"

[HKEY_CLASSES_ROOT\qrvcim.QVProvider\CurVer]
@="qrvcim.QVProvider.1"

[HKEY_CLASSES_ROOT\CLSID\{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}]
@="CQVProvider Object"
"AppID"="{B3D90E42-6C1F-4A75-8E2B-1F0C9A6D5E87}"

[HKEY_CLASSES_ROOT\CLSID\{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}\ProgID]
@="qrvcim.QVProvider.1"

[HKEY_CLASSES_ROOT\CLSID\{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}\VersionIndependentProgID]
@="qrvcim.QVProvider"

[HKEY_CLASSES_ROOT\CLSID\{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}\Programmable]

[HKEY_CLASSES_ROOT\CLSID\{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}\InprocServer32]
@=")" + module + R"("
"ThreadingModel"="apartment"

[HKEY_CLASSES_ROOT\CLSID\{5A1E7C3D-0B94-4F2A-9C61-7D28E4B0A913}\TypeLib]
@="{B3D90E42-6C1F-4A75-8E2B-1F0C9A6D5E87}"

[HKEY_CLASSES_ROOT\TypeLib\{B3D90E42-6C1F-4A75-8E2B-1F0C9A6D5E87}\1.0]
@="qrvcim 1.0 Type Library"

[HKEY_CLASSES_ROOT\TypeLib\{B3D90E42-6C1F-4A75-8E2B-1F0C9A6D5E87}\1.0\FLAGS]
@="0"

[HKEY_CLASSES_ROOT\TypeLib\{B3D90E42-6C1F-4A75-8E2B-1F0C9A6D5E87}\1.0\409\win64]
@=")" + module + R"("
)";
}

// The keys that unregistration keeps: shared by every server.
const std::string kKept = R"(
[HKEY_CLASSES_ROOT\AppID]
[HKEY_CLASSES_ROOT\CLSID]
[HKEY_CLASSES_ROOT\TypeLib]
)";

// .reg text as the registry file holds it: keys sorted, parents first.
std::string normalized(const std::string& sections) {
  return qrv::regfile::formatRegText(qrv::regfile::parseRegText(kHeader + sections, "expected"));
}

class RegistrationTest : public testing::Test {
 protected:
  void SetUp() override {
    directory_ = qrv::test::makeTempDir("wexireg");
    file_ = directory_ + "/registry.reg";
    setenv("KORVEX_REGISTRY_FILE", file_.c_str(), 1);
  }

  void TearDown() override {
    unsetenv("KORVEX_REGISTRY_FILE");
    qrv::test::removeTree(directory_);
  }

  std::string directory_;
  std::string file_;
};

TEST_F(RegistrationTest, RegistersEveryEntryAndReplacesTheClassKeyWhole) {
  writeFile(file_, normalized(kForeign + kStale));
  ASSERT_EQ(wexi().registerServer(), S_OK);
  EXPECT_EQ(readFile(file_), normalized(kForeign + registered()));
}

TEST_F(RegistrationTest, RegisteringTwiceWritesTheSameRegistry) {
  ASSERT_EQ(wexi().registerServer(), S_OK);
  const std::string once = readFile(file_);
  ASSERT_EQ(wexi().registerServer(), S_OK);
  EXPECT_EQ(readFile(file_), once);
  EXPECT_EQ(once, normalized(registered()));
}

TEST_F(RegistrationTest, UnregistrationLeavesSharedKeysAndOtherServers) {
  writeFile(file_, normalized(kForeign));
  ASSERT_EQ(wexi().registerServer(), S_OK);
  ASSERT_EQ(wexi().unregisterServer(), S_OK);
  EXPECT_EQ(readFile(file_), normalized(kForeign + kKept));

  ASSERT_EQ(wexi().unregisterServer(), S_OK) << "unregistering what is not registered";
  EXPECT_EQ(readFile(file_), normalized(kForeign + kKept));
}

TEST_F(RegistrationTest, UnregistrationRemovesTheTypeLibraryKeyWithItsLastVersion) {
  ASSERT_EQ(wexi().registerServer(), S_OK);
  ASSERT_EQ(wexi().unregisterServer(), S_OK);
  EXPECT_EQ(readFile(file_), normalized(kKept));
}

TEST_F(RegistrationTest, AFailedRegistrationLeavesTheFileAsItWas) {
  const std::string malformed = kHeader + "\n[HKEY_CLASSES_ROOT\\CLSID\nbroken\n";
  writeFile(file_, malformed);
  EXPECT_LT(wexi().registerServer(), 0);
  EXPECT_LT(wexi().unregisterServer(), 0);
  EXPECT_EQ(readFile(file_), malformed);
}

}  // namespace
