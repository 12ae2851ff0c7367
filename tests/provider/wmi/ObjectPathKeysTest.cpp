#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "provider/wmi/ObjectPathKeys.h"

namespace {

using qrv::cim::isSameNamespace;
using qrv::cim::isThisMachine;
using qrv::cim::KeyValues;
using qrv::cim::keysByName;
using qrv::cim::ObjectPathParts;
using qrv::cim::readObjectPath;

KeyValues keysOf(const std::string& path) { return readObjectPath(path).keys; }

TEST(ObjectPath, TheClassNameEndsAtTheFirstDotEqualsOrColon) {
  EXPECT_EQ(readObjectPath("Fan.Name=\"a.b\"").className, "Fan");
  EXPECT_EQ(readObjectPath("Fan").className, "Fan");
  EXPECT_EQ(readObjectPath("Fan=\"a.b\"").className, "Fan");
  EXPECT_EQ(readObjectPath("Fan=@").className, "Fan");
  EXPECT_EQ(readObjectPath(R"(root\cimv2:Fan:x)").className, "Fan");
  EXPECT_EQ(readObjectPath(".Name=\"x\"").className, "");
}

TEST(ObjectPath, QuotedValuesAreUnescaped) {
  EXPECT_EQ(keysOf(R"(Fan.Name="CPU \"A\"",Index="2")"), (KeyValues{{"Name", "CPU \"A\""}, {"Index", "2"}}));
  EXPECT_EQ(keysOf(R"(Dir.Path="C:\\temp\\x")"), (KeyValues{{"Path", "C:\\temp\\x"}}));
}

TEST(ObjectPath, AnEscapedQuoteBeforeACommaDoesNotEndTheValue) {
  EXPECT_EQ(keysOf(R"(A.K="x\",y",L="z")"), (KeyValues{{"K", "x\",y"}, {"L", "z"}}));
}

// In single quotes a backslash escapes the single quote, and a double quote
// is an ordinary character.
TEST(ObjectPath, ValuesInSingleQuotesAreReadAsInDoubleQuotes) {
  EXPECT_EQ(keysOf(R"(Fan.Name='CPU \'A\'',Index='2')"), (KeyValues{{"Name", "CPU 'A'"}, {"Index", "2"}}));
  EXPECT_EQ(keysOf(R"(A.K='x\',y',L="z")"), (KeyValues{{"K", "x',y"}, {"L", "z"}}));
  EXPECT_EQ(keysOf(R"(A.K='say "hi", \"x\"',L='C:\\')"), (KeyValues{{"K", R"(say "hi", \"x\")"}, {"L", "C:\\"}}));
  EXPECT_EQ(keysOf(R"(A.K="it's",L='y')"), (KeyValues{{"K", "it's"}, {"L", "y"}}));
}

TEST(ObjectPath, APathWithoutDotOrEqualsHasNoKeys) {
  EXPECT_TRUE(keysOf("Fan").empty());
  EXPECT_TRUE(keysOf("").empty());
}

TEST(ObjectPath, KeysAreNotTrimmedAndTheFirstValueIsKept) {
  EXPECT_EQ(keysOf(R"(A.K="1", K="2",K="3")"), (KeyValues{{"K", "1"}, {" K", "2"}}));
}

TEST(ObjectPath, UnquotedValuesRunToTheNextCommaAsTheyStand) {
  EXPECT_EQ(keysOf("A.Id=5"), (KeyValues{{"Id", "5"}}));
  EXPECT_EQ(keysOf(R"(Fan.Name="x",Index=2,On=TRUE)"), (KeyValues{{"Name", "x"}, {"Index", "2"}, {"On", "TRUE"}}));
  EXPECT_EQ(keysOf(R"(A.N=a\b"c,M=,K="v")"), (KeyValues{{"N", R"(a\b"c)"}, {"M", ""}, {"K", "v"}}));
}

TEST(ObjectPath, AnEscapedBackslashBeforeTheClosingQuoteEndsTheValue) {
  EXPECT_EQ(keysOf(R"(C.K="x\\",L="y")"), (KeyValues{{"K", "x\\"}, {"L", "y"}}));
  EXPECT_EQ(keysOf(R"(Dir.Path="C:\\",Name="a")"), (KeyValues{{"Path", "C:\\"}, {"Name", "a"}}));
  // Runs of escapes are read pairwise, left to right.
  EXPECT_EQ(keysOf(R"(C.K="\\\\\"\\",L=1)"), (KeyValues{{"K", R"(\\"\)"}, {"L", "1"}}));
}

// Class=value carries one value without a key name, read as a key's value
// is; Class=@ carries none. Neither has named keys.
TEST(ObjectPath, OneValueWithoutAKeyNameAndTheSingleton) {
  const std::pair<const char*, const char*> unnamed[] = {
      {R"(Fan="CPU \"A\"")", "CPU \"A\""}, {"Fan='sdb'", "sdb"}, {"Fan=5", "5"},
      {"Fan=", ""},                        {R"(Fan="@")", "@"},  {R"(Fan="a,b")", "a,b"},
  };
  for (const auto& [path, value] : unnamed) {
    const ObjectPathParts parts = readObjectPath(path);
    EXPECT_EQ(parts.unnamedValue, value) << path;
    EXPECT_FALSE(parts.singleton) << path;
    EXPECT_TRUE(parts.keys.empty()) << path;
  }
  const ObjectPathParts singleton = readObjectPath("Config=@");
  EXPECT_TRUE(singleton.singleton);
  EXPECT_FALSE(singleton.unnamedValue);
  EXPECT_FALSE(readObjectPath("Fan.Name=\"x\"").unnamedValue);
}

// A server follows "\\" or "//"; a namespace ends at a ':' that comes before
// any '.', '=' or quote, so a ':' in a key value stays in it.
TEST(ObjectPath, ServerAndNamespaceAreReadBeforeTheClass) {
  const struct {
    const char* path;
    const char* server;
    const char* nameSpace;
  } cases[] = {
      {R"(\\.\root\cimv2:Fan.Name="x")", ".", R"(root\cimv2)"},
      {R"(\\srv.example.org\root\cimv2:Fan.Name="x")", "srv.example.org", R"(root\cimv2)"},
      {R"(//server01/root/cimv3:Fan.Name="x")", "server01", "root/cimv3"},
      {R"(root\cimv2:Fan.Name="x")", "", R"(root\cimv2)"},
      {R"(Fan.Name="x")", "", ""},
  };
  for (const auto& c : cases) {
    const ObjectPathParts parts = readObjectPath(c.path);
    EXPECT_EQ(parts.server, c.server) << c.path;
    EXPECT_EQ(parts.nameSpace, c.nameSpace) << c.path;
    EXPECT_EQ(parts.className, "Fan") << c.path;
    EXPECT_EQ(parts.keys, (KeyValues{{"Name", "x"}})) << c.path;
  }
  EXPECT_EQ(readObjectPath(R"(root\cimv2:Fan)").className, "Fan");
  EXPECT_EQ(keysOf(R"(Dir.Path="C:\\x",Drive=C:)"), (KeyValues{{"Path", "C:\\x"}, {"Drive", "C:"}}));
  EXPECT_EQ(readObjectPath(R"(Dir="C:\\x")").unnamedValue, "C:\\x");
  EXPECT_EQ(readObjectPath("Dir='C:'").nameSpace, "");
  EXPECT_EQ(readObjectPath(R"(\\server01)").className, "");
}

TEST(ObjectPath, ThisMachineIsNoneDotLocalhostOrItsOwnName) {
  for (const char* server : {"", ".", "localhost", "LocalHost", "MyHost", "myhost"}) {
    EXPECT_TRUE(isThisMachine(server, "myhost")) << server;
  }
  for (const char* server : {"server01", "myhost2", "127.0.0.1", ".."}) EXPECT_FALSE(isThisMachine(server, "myhost"));
  EXPECT_FALSE(isThisMachine("x", ""));
}

TEST(ObjectPath, NamespacesCompareWithoutCaseAndEitherSeparator) {
  EXPECT_TRUE(isSameNamespace(R"(root\cimv2)", "ROOT/CIMV2"));
  EXPECT_TRUE(isSameNamespace(R"(\root\cimv2\)", R"(root\cimv2)"));
  EXPECT_FALSE(isSameNamespace(R"(root\cimv3)", R"(root\cimv2)"));
  EXPECT_FALSE(isSameNamespace("root", R"(root\cimv2)"));
  EXPECT_FALSE(isSameNamespace("rootcimv2", R"(root\cimv2)"));
}

// Class=value names the one key the registration requires, Class=@ a class
// that requires none; any other count does not fit.
TEST(ObjectPath, KeysByNameFollowTheRequiredKeysOfTheRegistration) {
  EXPECT_EQ(keysByName(readObjectPath(R"(Fan.Name="x")"), {"Name", "Index"}), (KeyValues{{"Name", "x"}}));
  EXPECT_EQ(keysByName(readObjectPath(R"(Fan="x")"), {"Name"}), (KeyValues{{"Name", "x"}}));
  EXPECT_EQ(keysByName(readObjectPath("Fan=@"), {}), KeyValues());
  EXPECT_FALSE(keysByName(readObjectPath(R"(Fan="x")"), {"Name", "Index"}));
  EXPECT_FALSE(keysByName(readObjectPath(R"(Fan="x")"), {}));
  EXPECT_FALSE(keysByName(readObjectPath("Fan=@"), {"Name"}));
}

TEST(ObjectPath, LongValuesAreUnescapedInLinearTime) {
  std::string escapes;
  for (int i = 0; i < 500000; ++i) escapes += "\\\\\"";
  const auto started = std::chrono::steady_clock::now();
  const KeyValues keys = keysOf("A.K=\"" + escapes + "\"");
  EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
  EXPECT_EQ(keys.at("K").size(), 1000000u);
}

TEST(ObjectPath, TruncatedPathsGiveEmptyValuesWithoutReadingPastTheEnd) {
  EXPECT_EQ(keysOf("A.Name="), (KeyValues{{"Name", ""}}));
  EXPECT_EQ(keysOf("A.Name=\""), (KeyValues{{"Name", ""}}));
  EXPECT_EQ(keysOf("A.Name='"), (KeyValues{{"Name", ""}}));
  EXPECT_EQ(keysOf("A.Name=\"\""), (KeyValues{{"Name", ""}}));
  EXPECT_EQ(keysOf("A.Name=\",Next=\"v\""), (KeyValues{{"Name", ""}, {"Next", "v"}}));
  EXPECT_EQ(readObjectPath("A=\"").unnamedValue, "");
  EXPECT_EQ(readObjectPath(R"(\\)").className, "");
}

}  // namespace
