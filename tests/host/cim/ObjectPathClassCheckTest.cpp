// A path's keys against its class: named keys, the one key of Class=value,
// and Class=@.

#include <gtest/gtest.h>

#include <string>

#include "host/cim/ObjectPathClassCheck.h"
#include "tests/host/cim/HostTestUtil.h"

namespace wmihost::test {
namespace {

constexpr std::string_view kClasses = R"(
  class Disk { [key] string DeviceID; string Model; };
  class Software { [key] string Name; [key] string Architecture; };
  class Config { string Mode; };)";

// "" when the path fits its class, else the error.
std::string faultOf(const std::string& text) {
  static const auto repository = repositoryOf(kClasses);
  const ObjectPath path = parseObjectPath(text);
  try {
    checkKeysOfClass(path, *repository->find("root\\cimv2", path.className));
    return "";
  } catch (const ObjectPathError& error) {
    return error.what();
  }
}

TEST(ObjectPathClassCheck, EveryFormIsCheckedAgainstTheKeysOfItsClass) {
  const std::pair<const char*, const char*> cases[] = {
      {R"(Disk.deviceid="sdb")", ""},
      {R"(Disk='sdb')", ""},
      {"Config=@", ""},
      {"Config", ""},
      {R"(Software.Name="a",Architecture="b")", ""},
      {R"(Disk.DeviceID="a",Serial="x")", "at position 19: Serial is no property of Disk"},
      {R"(Software="x")",
       "at position 10: a value without a key name needs a class with one key, and Software has 2 keys: Name, "
       "Architecture"},
      {"Config=5", "at position 8: a value without a key name needs a class with one key, and Config has no key"},
      {"Disk=@", "at position 6: @ names the instance of a class without keys, and Disk has the key DeviceID"},
  };
  for (const auto& [path, fault] : cases) EXPECT_EQ(faultOf(path), fault) << path;
}

TEST(ObjectPathClassCheck, AnInstancePathNamesEveryKeyOfItsClass) {
  const std::pair<const char*, const char*> cases[] = {
      {R"(Software.architecture="b",NAME="a")", ""},
      {R"(Software.Name="bash")",
       "at position 21: the path lacks the key Architecture; a path names every key of Software: Name, "
       "Architecture"},
      {R"(Software.Architecture='amd64')",
       "at position 30: the path lacks the key Name; a path names every key of Software: Name, Architecture"},
      {R"(Disk.Model="x \"y\"")",
       "at position 21: the path lacks the key DeviceID; a path names every key of Disk: DeviceID"},
      {"Software.Name=5",
       "at position 16: the path lacks the key Architecture; a path names every key of Software: Name, "
       "Architecture"},
  };
  for (const auto& [path, fault] : cases) EXPECT_EQ(faultOf(path), fault) << path;
}

}  // namespace
}  // namespace wmihost::test
