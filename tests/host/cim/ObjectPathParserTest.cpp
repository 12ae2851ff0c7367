// Object paths as the host reads them before a get: every form WMI takes,
// and the position and reason of each fault.

#include <gtest/gtest.h>

#include <string>

#include "host/cim/ObjectPathParser.h"

namespace wmihost {
namespace {

// The path's parts as "Class|key=value|key=value", "Class|@", or the error.
std::string partsOf(const std::string& text) {
  try {
    const ObjectPath path = parseObjectPath(text);
    std::string parts = path.className + (path.singleton ? "|@" : "");
    for (const ObjectPathKey& key : path.keys) {
      parts += "|" + key.name + "@" + std::to_string(key.position) + "=" + key.value;
    }
    return parts;
  } catch (const ObjectPathError& error) {
    return error.what();
  }
}

TEST(ObjectPathParser, ReadsEveryFormAndSaysWhereAFaultIs) {
  const std::pair<const char*, const char*> cases[] = {
      {"Korvex_Disk", "Korvex_Disk"},
      {R"(Korvex_Disk.DeviceID="sda")", R"(Korvex_Disk|DeviceID@13="sda")"},
      {R"(Soft.Name="A \"B\", C",Version="1.0")", R"(Soft|Name@6="A \"B\", C"|Version@24="1.0")"},
      {R"(Fan.Index=-5,On=TRUE,Off=false)", "Fan|Index@5=-5|On@14=TRUE|Off@22=false"},
      {R"(Fan="x")", R"(Fan|@5="x")"},
      {"Fan=12", "Fan|@5=12"},
      {"Config=@", "Config|@"},
      {R"(Fan.Name="back\\slash")", R"(Fan|Name@5="back\\slash")"},
      {"", "at position 1: the path is empty"},
      {".Name=\"x\"", "at position 1: expected a class name, found '.'"},
      {"Korvex Disk", "at position 7: expected '.' or '=' or the end of the path, found ' '"},
      {"Disk.", "at position 6: expected a key property name, found the end of the path"},
      {"Disk.DeviceID", "at position 14: expected '=' after DeviceID, found the end of the path"},
      {R"(Disk.DeviceID="sda)", "at position 15: the quoted value has no closing quote"},
      {"Disk.DeviceID=sda", "at position 15: expected a value (a quoted string, a number, TRUE or FALSE), found 's'"},
      {R"(Disk.DeviceID="a",)", "at position 19: expected a key property name, found the end of the path"},
      {R"(Disk.DeviceID="a", Model="b")", "at position 19: expected a key property name, found ' '"},
      {R"(Disk.DeviceID="a"x)", "at position 18: expected ',' or the end of the path, found 'x'"},
      {"Disk.Id=-", "at position 10: expected digits after the sign"},
      {"Disk=@x", "at position 7: expected the end of the path, found 'x'"},
      {R"(root\cimv2:Disk)", "Disk"},
      {R"(\\.\root\cimv2:Disk.Id=4.2.1,N="a:b")", R"(Disk|Id@21=4.2.1|N@30="a:b")"},
      {R"(:Disk)", "at position 1: expected a namespace before ':'"},
  };
  for (const auto& [path, parts] : cases) EXPECT_EQ(partsOf(path), parts) << path;
}

}  // namespace
}  // namespace wmihost
