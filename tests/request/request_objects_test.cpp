#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "provider/request/EnumerateImpl.h"
#include "provider/request/GetInstanceImpl.h"
#include "request/request_files.h"

namespace qrv::cim {
namespace {

using test::textStylesheet;
using test::writeRegistration;
using test::writeXslRootFile;

const std::string kNamespace = "root\\qrvtest";

const std::string kInventory =
    "<?xml version=\"1.0\"?><Inv><Item name=\"a\" size=\"1\"/><Item name=\"b\" size=\"2\"/></Inv>";

// One instance per Item, carrying the header's user name.
const std::string kEnumerateItems = textStylesheet(
    "<xsl:for-each select=\"QRVCIM/Inv/Item\">instance of Item\n{\n"
    " Name = \"<xsl:value-of select=\"@name\"/>\";\n Size = <xsl:value-of select=\"@size\"/>;\n"
    " User = \"<xsl:value-of select=\"/QRVCIM/@user-name\"/>\";\n};\n</xsl:for-each>");

// The Item named by the key written as ItemName.
const std::string kGetItem = textStylesheet(
    "<xsl:variable name=\"key\" select=\"QRVCIM/Attributes/Required[@name='ItemName']/@value\"/>"
    "<xsl:for-each select=\"QRVCIM/Inv/Item[@name=$key]\">instance of Item\n{\n"
    " Name = \"<xsl:value-of select=\"@name\"/>\";\n Size = <xsl:value-of select=\"@size\"/>;\n};\n"
    "</xsl:for-each>");

std::string operatorElement(const std::string& kind, const std::string& files, const std::string& stylesheet) {
  std::string element = "<" + kind + ">" + files;
  if (!stylesheet.empty()) element += "<Conversion name=\"" + stylesheet + "\" app=\"app\" area=\"xsl\"/>";
  return element + "</" + kind + ">";
}

const std::string kInventoryFile = "<FileProvider name=\"inv.xml\" app=\"app\" area=\"data\"/>";

void registerClass(const std::string& className, const std::string& operators) {
  writeRegistration("root/qrvtest/" + className + ".xml",
                    "<Registration><Class name=\"" + className + "\" namespace=\"" + kNamespace + "\">" +
                        operators + "<Attribute name=\"Name\" required=\"true\" alt-name=\"ItemName\"/>" +
                        "</Class></Registration>");
}

class RequestObjects : public testing::Test {
 protected:
  void SetUp() override {
    writeXslRootFile("app/data/inv.xml", kInventory);
    writeXslRootFile("app/xsl/enum.xsl", kEnumerateItems);
    writeXslRootFile("app/xsl/get.xsl", kGetItem);
    writeXslRootFile("app/xsl/nothing.xsl", textStylesheet("instance of Item\n{\n};\n"));
  }

  RequestStatus enumerate(const std::string& className, std::vector<ParsedInstance>& instances,
                          const std::string& userName = "") {
    return EnumerateImpl(userName).run(kNamespace, className, instances);
  }

  RequestStatus get(const std::string& className, const KeyValues& keys, ParsedInstance& instance) {
    return GetInstanceImpl("").run(kNamespace, className, keys, instance);
  }
};

TEST_F(RequestObjects, EnumerateAndGetThroughTheRegistration) {
  registerClass("both", operatorElement("Enumerate", kInventoryFile, "enum.xsl") +
                            operatorElement("Get", kInventoryFile, "get.xsl"));
  std::vector<ParsedInstance> instances;
  EXPECT_EQ(enumerate("Both", instances, "someone"), Ok);
  EXPECT_EQ(instances, (std::vector<ParsedInstance>{{{"Name", "a"}, {"Size", "1"}, {"User", "someone"}},
                                                    {{"Name", "b"}, {"Size", "2"}, {"User", "someone"}}}));

  ParsedInstance instance;
  EXPECT_EQ(get("BOTH", {{"Name", "b"}, {"Other", "x"}}, instance), Ok);
  EXPECT_EQ(instance, (ParsedInstance{{"Name", "b"}, {"Size", "2"}}));
}

TEST_F(RequestObjects, UnregisteredClassIsNotAccessible) {
  std::vector<ParsedInstance> instances;
  ParsedInstance instance;
  EXPECT_EQ(enumerate("unregistered", instances), NotAccessible);
  EXPECT_EQ(get("unregistered", {{"Name", "a"}}, instance), NotAccessible);
  EXPECT_TRUE(instances.empty());
  EXPECT_TRUE(instance.empty());
}

TEST_F(RequestObjects, MissingOperatorIsNotSupported) {
  registerClass("getonly", operatorElement("Get", kInventoryFile, "get.xsl"));
  registerClass("enumonly", operatorElement("Enumerate", kInventoryFile, "enum.xsl"));
  std::vector<ParsedInstance> instances;
  ParsedInstance instance;
  EXPECT_EQ(enumerate("getonly", instances), NotSupported);
  EXPECT_EQ(get("getonly", {{"Name", "a"}}, instance), Ok);
  EXPECT_EQ(instance, (ParsedInstance{{"Name", "a"}, {"Size", "1"}}));
  EXPECT_EQ(get("enumonly", {{"Name", "a"}}, instance), NotSupported);
}

TEST_F(RequestObjects, MissingKeyComesBeforeFilesAndStylesheet) {
  registerClass("broken", operatorElement("Get", "<FileProvider name=\"none.xml\" app=\"app\" area=\"data\"/>",
                                          "none.xsl"));
  ParsedInstance instance{{"Kept", "1"}};
  EXPECT_EQ(get("broken", {{"name", "a"}}, instance), MissingKey);
  EXPECT_EQ(get("broken", {{"Name", "a"}}, instance), NotAccessible);
  EXPECT_EQ(instance, (ParsedInstance{{"Kept", "1"}}));
}

TEST_F(RequestObjects, FailuresLeaveTheOutputUntouched) {
  writeXslRootFile("app/data/amp.xml", "<Inv>&</Inv>");
  registerClass("noconversion", operatorElement("Enumerate", kInventoryFile, ""));
  registerClass("nostylesheet", operatorElement("Enumerate", kInventoryFile, "none.xsl"));
  registerClass("badata", operatorElement("Enumerate", "<FileProvider name=\"amp.xml\" app=\"app\" area=\"data\"/>",
                                          "enum.xsl"));
  std::vector<ParsedInstance> instances{{{"Kept", "1"}}};
  EXPECT_EQ(enumerate("noconversion", instances), NotAccessible);
  EXPECT_EQ(enumerate("nostylesheet", instances), StylesheetFailed);
  EXPECT_EQ(enumerate("badata", instances), TransformFailed);
  EXPECT_EQ(instances, (std::vector<ParsedInstance>{{{"Kept", "1"}}}));
}

TEST_F(RequestObjects, ResultWithoutStatementsIsAnEmptyAnswer) {
  registerClass("nothing", operatorElement("Enumerate", "", "nothing.xsl") +
                               operatorElement("Get", "", "nothing.xsl"));
  std::vector<ParsedInstance> instances;
  ParsedInstance instance;
  EXPECT_EQ(enumerate("nothing", instances), Ok);
  EXPECT_EQ(get("nothing", {{"Name", "a"}}, instance), Ok);
  EXPECT_TRUE(instances.empty());
  EXPECT_TRUE(instance.empty());
}

TEST_F(RequestObjects, ConcurrentRequestsGetTheSameAnswer) {
  registerClass("shared", operatorElement("Enumerate", kInventoryFile, "enum.xsl"));
  std::vector<std::vector<ParsedInstance>> answers(4);
  std::vector<RequestStatus> statuses(answers.size(), NotAccessible);
  std::vector<std::thread> threads;
  for (std::size_t i = 0; i < answers.size(); ++i) {
    threads.emplace_back([&, i] {
      for (int round = 0; round < 5; ++round) {
        answers[i].clear();
        statuses[i] = enumerate("shared", answers[i]);
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (std::size_t i = 0; i < answers.size(); ++i) {
    EXPECT_EQ(statuses[i], Ok);
    EXPECT_EQ(answers[i].size(), 2u);
  }
}

}  // namespace
}  // namespace qrv::cim
