#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "provider/request/EnumerateImpl.h"
#include "provider/request/GetInstanceImpl.h"
#include "provider/request/RequestBase.h"
#include "provider/request/document/HostName.h"
#include "tests/provider/request/RequestFiles.h"
#include "tests/support/DiagnosticLines.h"

namespace qrv::cim {
namespace {

using test::textStylesheet;
using Instances = std::vector<ParsedInstance>;

const std::string kNamespace = "root\\qrvtest";
const std::string kInventoryFile = "<FileProvider name=\"inv.xml\" app=\"app\" area=\"data\"/>";

// An Enumerate or Get element with its data files and, if named, its stylesheet.
std::string op(const std::string& kind, const std::string& files, const std::string& stylesheet) {
  const std::string conversion =
      stylesheet.empty() ? "" : "<Conversion name=\"" + stylesheet + "\" app=\"app\" area=\"xsl\"/>";
  return "<" + kind + ">" + files + conversion + "</" + kind + ">";
}

// Registers a class whose key Name is written as ItemName.
void registerClass(const std::string& className, const std::string& operators) {
  test::writeRegistration("root/qrvtest/" + className + ".xml",
                          "<R><Class name=\"" + className + "\" namespace=\"" + kNamespace + "\">" + operators +
                              "<Attribute name=\"Name\" required=\"true\" alt-name=\"ItemName\"/></Class></R>");
}

class RequestObjects : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    test::writeXslRootFile("app/data/inv.xml",
                           "<?xml version=\"1.0\"?><Inv><Item name=\"a\" size=\"1\"/><Item name=\"b\" size=\"2\"/></Inv>");
    const std::string item = "instance of Item\n{\n Name = \"<xsl:value-of select=\"@name\"/>\";\n"
                             " Size = <xsl:value-of select=\"@size\"/>;\n User = <xsl:value-of "
                             "select=\"/QRVCIM/@user-name\"/>;\n};\n";
    test::writeXslRootFile("app/xsl/enum.xsl",
                           textStylesheet("<xsl:for-each select=\"QRVCIM/Inv/Item\">" + item + "</xsl:for-each>"));
    test::writeXslRootFile(
        "app/xsl/get.xsl",
        textStylesheet("<xsl:for-each select=\"QRVCIM/Inv/Item[@name=/QRVCIM/Attributes/Required[@name="
                       "'ItemName']/@value]\">" + item + "</xsl:for-each>"));
    test::writeXslRootFile("app/xsl/nothing.xsl", textStylesheet("instance of Item\n{\n};\n"));
    test::writeXslRootFile("app/data/amp.xml", "<Inv>&</Inv>");
    registerClass("both", op("Enumerate", kInventoryFile, "enum.xsl") + op("Get", kInventoryFile, "get.xsl"));
  }

  static RequestStatus enumerate(const std::string& className, Instances& instances, const std::string& user = "") {
    return EnumerateImpl(user).run(kNamespace, className, instances);
  }

  static RequestStatus get(const std::string& className, const KeyValues& keys, ParsedInstance& instance) {
    return GetInstanceImpl("").run(kNamespace, className, keys, instance);
  }
};

TEST_F(RequestObjects, EnumerateAndGetThroughTheRegistration) {
  Instances instances;
  EXPECT_EQ(enumerate("Both", instances, "someone"), Ok);
  EXPECT_EQ(instances, (Instances{{{"Name", "a"}, {"Size", "1"}, {"User", "someone"}},
                                  {{"Name", "b"}, {"Size", "2"}, {"User", "someone"}}}));
  ParsedInstance instance;
  EXPECT_EQ(get("BOTH", {{"Name", "b"}, {"Other", "x"}}, instance), Ok);
  EXPECT_EQ(instance, (ParsedInstance{{"Name", "b"}, {"Size", "2"}, {"User", ""}}));
}

TEST_F(RequestObjects, MissingRegistrationOrOperator) {
  registerClass("getonly", op("Get", kInventoryFile, "get.xsl"));
  Instances instances;
  ParsedInstance instance;
  EXPECT_EQ(enumerate("unregistered", instances), NotAccessible);
  EXPECT_EQ(get("unregistered", {{"Name", "a"}}, instance), NotAccessible);
  EXPECT_EQ(enumerate("getonly", instances), NotSupported);
  EXPECT_TRUE(instances.empty());
  EXPECT_TRUE(instance.empty());
  EXPECT_EQ(get("getonly", {{"Name", "a"}}, instance), Ok);
  EXPECT_EQ(instance.at("Size"), "1");
}

TEST_F(RequestObjects, FirstFailingStepEndsTheRequestAndLeavesTheOutput) {
  registerClass("broken", op("Get", "<FileProvider name=\"none.xml\" app=\"app\" area=\"data\"/>", "none.xsl") +
                              op("Enumerate", kInventoryFile, ""));
  registerClass("nostylesheet", op("Enumerate", kInventoryFile, "none.xsl"));
  registerClass("baddata", op("Enumerate", "<FileProvider name=\"amp.xml\" app=\"app\" area=\"data\"/>", "enum.xsl"));
  ParsedInstance instance{{"Kept", "1"}};
  EXPECT_EQ(get("broken", {{"ItemName", "a"}}, instance), MissingKey);
  EXPECT_EQ(get("broken", {{"Name", "a"}}, instance), NotAccessible);
  EXPECT_EQ(instance, (ParsedInstance{{"Kept", "1"}}));
  Instances instances{{{"Kept", "1"}}};
  EXPECT_EQ(enumerate("broken", instances), NotAccessible);  // data read, no conversion
  EXPECT_EQ(enumerate("nostylesheet", instances), StylesheetFailed);
  EXPECT_EQ(enumerate("baddata", instances), TransformFailed);
  EXPECT_EQ(instances, (Instances{{{"Kept", "1"}}}));
}

// Each failing step says why on the diagnostic channel, naming what failed.
TEST_F(RequestObjects, EveryFailureIsReportedWithItsCause) {
  registerClass("reported", op("Get", "<FileProvider name=\"none.xml\" app=\"app\" area=\"data\"/>", "get.xsl") +
                                op("Enumerate", kInventoryFile, ""));
  registerClass("uncompiled", op("Enumerate", kInventoryFile, "bad.xsl"));
  registerClass("enumonly", op("Enumerate", kInventoryFile, "enum.xsl"));
  test::writeXslRootFile("app/xsl/bad.xsl", textStylesheet("<xsl:value-of select=\"Inv[[\"/>"));
  const struct {
    std::string request;
    std::function<RequestStatus()> run;
    std::vector<std::string> parts;
  } cases[] = {
      {"missing key", [] { ParsedInstance i; return get("reported", {{"ItemName", "a"}, {"Size", "1"}}, i); },
       {"a get of reported lacks the required key Name (written as ItemName); the path gives: ItemName, Size"}},
      {"missing data file", [] { ParsedInstance i; return get("reported", {{"Name", "a"}}, i); },
       {"the data file ", "/xslroot/app/data/none.xml cannot be opened: No such file or directory"}},
      {"no conversion", [] { Instances i; return enumerate("reported", i); },
       {"the operation names no stylesheet: its <Conversion> is missing"}},
      {"not compiling", [] { Instances i; return enumerate("uncompiled", i); },
       {"the stylesheet ", "/xslroot/app/xsl/bad.xsl does not compile: ", "line 1"}},
      {"failing transform", [] { Instances i; return enumerate("baddata", i); },
       {"/xslroot/app/xsl/enum.xsl does not parse as XML"}},
      {"no operator", [] { ParsedInstance i; return get("enumonly", {{"Name", "a"}}, i); },
       {"class enumonly cannot be got: its registration has no <Get>"}},
  };
  registerClass("baddata", op("Enumerate", "<FileProvider name=\"amp.xml\" app=\"app\" area=\"data\"/>", "enum.xsl"));
  for (const auto& c : cases) {
    test::DiagnosticLines lines;
    EXPECT_NE(c.run(), Ok) << c.request;
    ASSERT_EQ(lines.lines().size(), 1u) << c.request << ": " << lines.all();
    EXPECT_EQ(lines.lines()[0].rfind("wexi: ", 0), 0u) << c.request;
    for (const std::string& part : c.parts) EXPECT_NE(lines.all().find(part), std::string::npos) << lines.all();
  }
}

TEST_F(RequestObjects, ASucceedingRequestSaysNothing) {
  test::DiagnosticLines lines;
  Instances instances;
  EXPECT_EQ(enumerate("both", instances), Ok);
  EXPECT_TRUE(lines.lines().empty());
}

TEST_F(RequestObjects, ResultWithoutStatementsIsAnEmptyAnswer) {
  registerClass("nothing", op("Enumerate", "", "nothing.xsl") + op("Get", "", "nothing.xsl"));
  Instances instances;
  ParsedInstance instance;
  EXPECT_EQ(enumerate("nothing", instances), Ok);
  EXPECT_EQ(get("nothing", {{"Name", "a"}}, instance), Ok);
  EXPECT_TRUE(instances.empty());
  EXPECT_TRUE(instance.empty());
}

TEST_F(RequestObjects, ConcurrentRequestsGetTheSameAnswer) {
  std::vector<Instances> answers(4);
  std::vector<std::thread> threads;
  for (auto& answer : answers) {
    threads.emplace_back([&answer] {
      for (int round = 0; round < 5; ++round) {
        Instances instances;
        if (enumerate("both", instances) == Ok) answer = instances;
      }
    });
  }
  for (auto& thread : threads) thread.join();
  for (const auto& answer : answers) EXPECT_EQ(answer.size(), 2u);
}

// The steps of a get, run one after another, give the whole document.
TEST(RequestDocument, GetDocumentWithDataIsExact) {
  test::writeXslRootFile("app/data/inv.xml", "<?xml version=\"1.0\"?><Inv/>");
  ClassMap classMap("N", "C");
  classMap.addAttribute(Attribute(true, false, "Name", ""));
  Get op;
  op.addAccessor(new FileAccessor("app", "data", "inv.xml", false));
  std::string document = RequestBase("").writeHeader("get", "C", "N");
  ASSERT_EQ(RequestBase::writeAttributes(classMap, {{"Name", "7"}}, document), Ok);
  ASSERT_EQ(RequestBase::appendData(op, document), Ok);
  EXPECT_EQ(document + "</QRVCIM>",
            "<?xml-stylesheet type=\"text/xml\" version=\"1.0\" encoding=\"UTF-8\"?><QRVCIM cim-operation=\"get\" "
            "creation-class-name=\"C\" creation-class-namespace=\"N\" system-name=\"" +
                hostName() +
                "\" user-name=\"\"><Attributes><Required name=\"Name\" value=\"7\" /></Attributes><Inv/></QRVCIM>");
}

}  // namespace
}  // namespace qrv::cim
