// Object paths as the host reads them before a get: every form WMI takes,
// and the position and reason of each fault.

#include <gtest/gtest.h>

#include <string>

#include "host/cim/ObjectPathParser.h"

namespace wmihost {
namespace {

// The path's parts as "[server|namespace:]Class|key@position=value...", with
// "|@position" for Class=@, or the error.
std::string partsOf(const std::string& text) {
  try {
    const ObjectPath path = parseObjectPath(text);
    std::string parts = (path.server.empty() ? "" : path.server + "|") +
                        (path.nameSpace.empty() ? "" : path.nameSpace + ":") + path.className;
    if (path.singletonPosition) parts += "|@" + std::to_string(path.singletonPosition);
    for (const ObjectPathKey& key : path.keys) {
      parts += "|" + key.name + "@" + std::to_string(key.position) + "=" + key.value;
    }
    return parts;
  } catch (const ObjectPathError& error) {
    return error.what();
  }
}

void expectParts(const std::pair<const char*, const char*>* begin, const std::pair<const char*, const char*>* end) {
  for (auto c = begin; c != end; ++c) EXPECT_EQ(partsOf(c->first), c->second) << c->first;
}

TEST(ObjectPathParser, ReadsEveryRelativeFormAndSaysWhereAFaultIs) {
  const std::pair<const char*, const char*> cases[] = {
      {"Korvex_Disk", "Korvex_Disk"},
      {R"(Korvex_Disk.DeviceID="sda")", R"(Korvex_Disk|DeviceID@13="sda")"},
      {R"(Soft.Name="A \"B\", C",Version="1.0")", R"(Soft|Name@6="A \"B\", C"|Version@24="1.0")"},
      {R"(Fan.Index=-5,On=TRUE,Off=false)", "Fan|Index@5=-5|On@14=TRUE|Off@22=false"},
      {R"(Fan="x")", R"(Fan|@5="x")"},
      {"Fan=12", "Fan|@5=12"},
      {"Config=@", "Config|@8"},
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
  };
  expectParts(std::begin(cases), std::end(cases));
}

// WMI takes strings in single quotes as well; inside them a backslash escapes
// the quote, and a double quote is an ordinary character.
TEST(ObjectPathParser, ReadsValuesInSingleQuotes) {
  const std::pair<const char*, const char*> cases[] = {
      {"Disk.DeviceID='sdb'", "Disk|DeviceID@6='sdb'"},
      {R"(Disk='sdb')", "Disk|@6='sdb'"},
      {R"(Soft.Name='it\'s "x"',Version='1,0')", R"(Soft|Name@6='it\'s "x"'|Version@23='1,0')"},
      {R"(Disk.DeviceID='sdb)", "at position 15: the quoted value has no closing quote"},
      {R"(Disk.DeviceID='a"b")", "at position 15: the quoted value has no closing quote"},
  };
  expectParts(std::begin(cases), std::end(cases));
}

// A name that ends at ':' is a namespace; a server comes after "\\" or "//".
// A ':' after the first '.', '=' or quote belongs to the keys.
TEST(ObjectPathParser, ReadsAServerAndANamespaceBeforeTheClass) {
  const std::pair<const char*, const char*> cases[] = {
      {R"(root\cimv2:Disk)", R"(root\cimv2:Disk)"},
      {R"(root\cimv3:Disk="x")", R"(root\cimv3:Disk|@17="x")"},
      {R"(\\.\root\cimv2:Disk.Id=4.2.1,N="a:b")", R"(.|root\cimv2:Disk|Id@21=4.2.1|N@30="a:b")"},
      {R"(\\server01.example.org\root\cimv2:Disk=@)", R"(server01.example.org|root\cimv2:Disk|@40)"},
      {"//localhost/root/cimv2:Disk.Id=1", "localhost|root/cimv2:Disk|Id@29=1"},
      {R"(Disk="C:\\")", R"(Disk|@6="C:\\")"},
      {R"(Disk.Path='C:\\x')", R"(Disk|Path@6='C:\\x')"},
      {":Disk", "at position 1: expected a namespace name, found ':'"},
      {R"(root\:Disk)", "at position 6: expected a namespace name, found ':'"},
      {R"(root\cimv2:Disk:x)", "at position 16: expected '.' or '=' or the end of the path, found ':'"},
      {R"(\\\root:Disk)", R"(at position 3: expected a server name, found '\')"},
      {R"(\\.)", "at position 4: expected '\\' after the server name, found the end of the path"},
      {R"(\\.\Disk.Id=1)", "at position 9: expected ':' after the namespace, found '.'"},
      {R"(\\.\root\ci mv2:Disk)", "at position 12: expected ':' after the namespace, found ' '"},
  };
  expectParts(std::begin(cases), std::end(cases));
}

}  // namespace
}  // namespace wmihost
