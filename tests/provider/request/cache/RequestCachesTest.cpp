// What requests keep between them: kept items are reused while their files
// stay as they were, and never once a file has changed.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "provider/request/EnumerateImpl.h"
#include "provider/request/GetInstanceImpl.h"
#include "provider/request/cache/RequestCaches.h"
#include "tests/provider/request/RequestFiles.h"

namespace qrv::cim {
namespace {

using Instances = std::vector<ParsedInstance>;

const std::string kNamespace = "root\\cachetest";

std::string itemsStylesheet(const std::string& prefix) {
  return "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
         "<xsl:include href=\"part.xsl\"/><xsl:output method=\"text\"/><xsl:template match=\"/\">"
         "<xsl:for-each select=\"QRVCIM/Inv/Item\">instance of Item\n{\n Name = \"" +
         prefix + "<xsl:value-of select=\"@name\"/>\";\n<xsl:call-template name=\"more\"/>};\n"
                  "</xsl:for-each></xsl:template></xsl:stylesheet>";
}

std::string partStylesheet(const std::string& value) {
  return "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
         "<xsl:template name=\"more\"> More = " + value + ";\n</xsl:template></xsl:stylesheet>";
}

std::string inventory(const std::string& name) { return "<Inv><Item name=\"" + name + "\"/></Inv>"; }

void registerClass(const std::string& className, const std::string& dataFile) {
  test::writeRegistration("root/cachetest/" + className + ".xml",
                          "<R><Class name=\"" + className + "\" namespace=\"" + kNamespace +
                              "\"><Enumerate><FileProvider name=\"" + dataFile +
                              "\" app=\"app\" area=\"data\"/><Conversion name=\"items.xsl\" app=\"app\" "
                              "area=\"xsl\"/></Enumerate></Class></R>");
}

// Gets by Name: the stylesheet keeps the item whose name is the key value.
const char kKeyedStylesheet[] =
    "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\"><xsl:output method=\"text\"/>"
    "<xsl:template match=\"/\"><xsl:for-each select=\"QRVCIM/Inv/Item[@name = "
    "/QRVCIM/Attributes/Required[@name = 'Name']/@value]\">instance of Item\n{\n Name = \"<xsl:value-of "
    "select=\"@name\"/>\";\n Size = <xsl:value-of select=\"@size\"/>;\n};\n</xsl:for-each></xsl:template>"
    "</xsl:stylesheet>";

std::string keyedInventory(const std::string& size) {
  std::string items;
  for (const char* name : {"a", "b", "c", "x y", "\xC3\xA9"}) {
    items += "<Item name=\"" + std::string(name) + "\" size=\"" + size + "\"/>";
  }
  return "<Inv>" + items + "</Inv>";
}

// Gives a file back the write time it had, so only its change time (and for
// a replaced file its index) tells the edit.
void restoreWriteTime(const std::string& path, const struct stat& before) {
  const timespec times[2] = {before.st_atim, before.st_mtim};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

struct stat statusOf(const std::string& path) {
  struct stat status {};
  EXPECT_EQ(stat(path.c_str(), &status), 0);
  return status;
}

class RequestCaches : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::writeXslRootFile("app/xsl/items.xsl", itemsStylesheet(""));
    test::writeXslRootFile("app/xsl/part.xsl", partStylesheet("1"));
    for (const char* name : {"inplace", "replaced", "twice", "broken", "shared"}) {
      test::writeXslRootFile(std::string("app/data/") + name + ".xml", inventory("aaaa"));
      registerClass(name, std::string(name) + ".xml");
    }
    test::writeXslRootFile("app/data/broken.xml", "<Inv>&</Inv>");
    test::writeXslRootFile("app/xsl/keyed.xsl", kKeyedStylesheet);
    test::writeXslRootFile("app/data/keyed.xml", keyedInventory("1"));
    test::writeRegistration("root/cachetest/keyed.xml",
                            "<R><Class name=\"keyed\" namespace=\"" + kNamespace +
                                "\"><Get><FileProvider name=\"keyed.xml\" app=\"app\" area=\"data\"/><Conversion "
                                "name=\"keyed.xsl\" app=\"app\" area=\"xsl\"/></Get><Attribute name=\"Name\" "
                                "required=\"true\"/></Class></R>");
    // Only files older than their times' resolution are kept for reuse.
    std::this_thread::sleep_for(std::chrono::milliseconds(2100));
  }

  void SetUp() override { cim::RequestCaches::release(); }

  static Instances enumerate(const std::string& className, RequestStatus expected = Ok) {
    Instances instances;
    EXPECT_EQ(EnumerateImpl("").run(kNamespace, className, instances), expected);
    return instances;
  }

  // "name size" of the item got by its name, or "none".
  static std::string get(const std::string& name) {
    ParsedInstance instance;
    EXPECT_EQ(GetInstanceImpl("").run(kNamespace, "keyed", {{"Name", name}}, instance), Ok);
    return instance.empty() ? "none" : std::string(instance.at("Name")) + " " + std::string(instance.at("Size"));
  }

  static std::string nameOf(const Instances& instances) {
    return instances.size() == 1 ? std::string(instances[0].at("Name"))
                                 : "(" + std::to_string(instances.size()) + " instances)";
  }
};

TEST_F(RequestCaches, ARepeatedEnumerationIsServedFromTheKeptDocument) {
  EXPECT_EQ(nameOf(enumerate("inplace")), "aaaa");
  const std::size_t kept = cim::RequestCaches::documents().bytes();
  EXPECT_GT(kept, 0u);
  EXPECT_EQ(nameOf(enumerate("inplace")), "aaaa");
  EXPECT_EQ(cim::RequestCaches::documents().bytes(), kept);
}

TEST_F(RequestCaches, ADataFileEditedInPlaceWithItsSizeAndWriteTimeKeptIsReadAgain) {
  const std::string path = test::xslRootFile("app/data/inplace.xml");
  EXPECT_EQ(nameOf(enumerate("inplace")), "aaaa");
  const struct stat before = statusOf(path);
  test::writeXslRootFile("app/data/inplace.xml", inventory("bbbb"));
  restoreWriteTime(path, before);
  EXPECT_EQ(nameOf(enumerate("inplace")), "bbbb");
}

TEST_F(RequestCaches, ADataFileReplacedByAnotherOfTheSameSizeAndTimeIsReadAgain) {
  const std::string path = test::xslRootFile("app/data/replaced.xml");
  EXPECT_EQ(nameOf(enumerate("replaced")), "aaaa");
  const struct stat before = statusOf(path);
  test::writeXslRootFile("app/data/replaced.new", inventory("cccc"));
  restoreWriteTime(test::xslRootFile("app/data/replaced.new"), before);
  ASSERT_EQ(std::rename(test::xslRootFile("app/data/replaced.new").c_str(), path.c_str()), 0);
  EXPECT_EQ(nameOf(enumerate("replaced")), "cccc");
}

TEST_F(RequestCaches, EditsWithinTheSameSecondAreEachSeen) {
  // Times may not move between two quick edits of the same size; what was
  // read from a file that changed a moment ago is therefore not kept.
  for (const char* name : {"dddd", "eeee", "ffff"}) {
    test::writeXslRootFile("app/data/twice.xml", inventory(name));
    EXPECT_EQ(nameOf(enumerate("twice")), name);
  }
  EXPECT_EQ(cim::RequestCaches::documents().bytes(), 0u);
}

TEST_F(RequestCaches, AnEditedStylesheetOrIncludedFileTakesEffectOnTheNextRequest) {
  const std::string path = test::xslRootFile("app/xsl/items.xsl");
  EXPECT_EQ(enumerate("shared").at(0).at("More"), "1");
  const struct stat before = statusOf(path);
  test::writeXslRootFile("app/xsl/items.xsl", itemsStylesheet("x"));
  restoreWriteTime(path, before);
  EXPECT_EQ(nameOf(enumerate("shared")), "xaaaa");
  test::writeXslRootFile("app/xsl/part.xsl", partStylesheet("2"));
  EXPECT_EQ(enumerate("shared").at(0).at("More"), "2");
  test::writeXslRootFile("app/xsl/items.xsl", itemsStylesheet(""));
  test::writeXslRootFile("app/xsl/part.xsl", partStylesheet("1"));
}

TEST_F(RequestCaches, ADocumentThatIsNotWellFormedFailsEveryTime) {
  enumerate("broken", TransformFailed);
  enumerate("broken", TransformFailed);
  EXPECT_EQ(cim::RequestCaches::documents().bytes(), 0u);
}

TEST_F(RequestCaches, ConcurrentEnumerationsOfOneClassAllGetTheirInstances) {
  std::vector<std::thread> threads;
  std::vector<std::string> names(4);
  for (std::size_t t = 0; t < names.size(); ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 20; ++i) {
        const std::string name = nameOf(enumerate("shared"));
        if (name != "aaaa") names[t] = name;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(names, std::vector<std::string>(4));
}

// Whether the kept document is given the key values or the request is
// parsed anew, the stylesheet reads the same: a tab in a key is a blank to
// the parser, as it is in the data.
TEST_F(RequestCaches, GetsOneAfterAnotherFindEachTheirItem) {
  const std::vector<std::pair<std::string, std::string>> answers = {
      {"b", "b 1"},   {"a", "a 1"},         {"c", "c 1"}, {"a", "a 1"}, {"x y", "x y 1"}, {"x\ty", "x y 1"},
      {"\xC3\xA9", "\xC3\xA9 1"}, {"d", "none"}, {"b", "b 1"}};
  for (const auto& [key, answer] : answers) EXPECT_EQ(get(key), answer) << key;
}

TEST_F(RequestCaches, AGetSeesADataFileEditedInPlace) {
  const std::string path = test::xslRootFile("app/data/keyed.xml");
  EXPECT_EQ(get("a"), "a 1");
  const struct stat before = statusOf(path);
  test::writeXslRootFile("app/data/keyed.xml", keyedInventory("2"));
  restoreWriteTime(path, before);
  EXPECT_EQ(get("b"), "b 2");
  test::writeXslRootFile("app/data/keyed.xml", keyedInventory("1"));
}

TEST_F(RequestCaches, ConcurrentGetsOfOtherKeysEachGetTheirOwnItem) {
  const std::vector<std::string> keys = {"a", "b", "c", "x y"};
  std::vector<std::thread> threads;
  std::vector<std::string> wrong(keys.size());
  for (std::size_t t = 0; t < keys.size(); ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 20; ++i) {
        const std::string answer = get(keys[t]);
        if (answer != keys[t] + " 1") wrong[t] = answer;
      }
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<std::string>(keys.size()));
}

}  // namespace
}  // namespace qrv::cim
