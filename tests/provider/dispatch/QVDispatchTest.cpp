// The dispatcher over real registrations, stylesheets and data files: the
// statuses that come from the registration, the life of the shared cache and
// libraries across dispatchers, and concurrent requests.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include <xercesc/framework/MemBufInputSource.hpp>
#include <xercesc/parsers/SAXParser.hpp>
#include <xercesc/util/XMLException.hpp>

#include "provider/dispatch/QVDispatch.h"
#include "provider/registration/FirstParseError.h"
#include "tests/provider/request/LoopbackListener.h"
#include "tests/provider/registration/RegistrationFixture.h"

namespace qrv::test {
namespace {

using cim::KeyValues;
using cim::ParsedInstance;
using cim::QVDispatch;

constexpr const char* kNameSpace = "root\\cimv2";

// One instance per Fan element of the data file, or only the one named by the
// Name key of a get.
std::string fanStylesheet(const std::string& select) {
  return "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
         "<xsl:output method=\"text\"/>"
         "<xsl:template match=\"/\"><xsl:for-each select=\"" +
         select +
         "\">instance of Sample_Fan\n{\nName = \"<xsl:value-of select=\"@name\"/>\";\n"
         "User = \"<xsl:value-of select=\"/QRVCIM/@user-name\"/>\";\n};\n"
         "</xsl:for-each></xsl:template></xsl:stylesheet>";
}

std::string constantStylesheet(const std::string& name) {
  return "<xsl:stylesheet version=\"1.0\" xmlns:xsl=\"http://www.w3.org/1999/XSL/Transform\">"
         "<xsl:output method=\"text\"/>"
         "<xsl:template match=\"/\">instance of C\n{\nName = \"" +
         name + "\";\n};\n</xsl:template></xsl:stylesheet>";
}

std::string operatorElement(const std::string& kind, const std::string& stylesheet) {
  return "<" + kind + "><FileProvider name=\"fans.xml\" app=\"inv\" area=\"data\"/>" +
         "<Conversion name=\"" + stylesheet + "\" app=\"inv\" area=\"xsl\"/></" + kind + ">";
}

class DispatchTest : public testing::Test {
 protected:
  void SetUp() override {
    writeXsl("data/fans.xml", "<?xml version=\"1.0\"?>\n<Inv><Fan name=\"a\"/><Fan name=\"b\"/><Fan name=\"c\"/></Inv>");
    writeXsl("xsl/enum.xsl", fanStylesheet("/QRVCIM/Inv/Fan"));
    writeXsl("xsl/get.xsl", fanStylesheet("/QRVCIM/Inv/Fan[@name = /QRVCIM/Attributes/Required[@name='Name']/@value]"));
    writeXsl("xsl/old.xsl", constantStylesheet("old"));
    writeXsl("xsl/new.xsl", constantStylesheet("new"));
  }

  void TearDown() override {
    removeTree(relocatedRoot() + "/xmlreg");
    removeTree(relocatedRoot() + "/xslroot");
  }

  static void writeXsl(const std::string& relativePath, const std::string& text) {
    writeFile(relocatedRoot() + "/xslroot/inv/" + relativePath, text);
  }

  static void registerFan() {
    writeRegistration("root/cimv2/sample_fan.xml",
                      classElement("root/cimv2", "Sample_Fan",
                                   operatorElement("Enumerate", "enum.xsl") + operatorElement("Get", "get.xsl") +
                                       "<Attribute name=\"Name\" required=\"true\"/>"));
  }

  static std::unique_ptr<QVDispatch> startDispatcher() {
    auto dispatcher = std::make_unique<QVDispatch>();
    EXPECT_EQ(dispatcher->initialize(kNameSpace), 0);
    return dispatcher;
  }

  static std::vector<ParsedInstance> fans(const std::string& user) {
    std::vector<ParsedInstance> expected;
    for (const char* name : {"a", "b", "c"}) expected.push_back({{"Name", name}, {"User", user}});
    return expected;
  }
};

TEST_F(DispatchTest, MissingOperatorIsNotSupported) {
  writeRegistration("root/cimv2/getonly.xml",
                    classElement("root/cimv2", "GetOnly",
                                 operatorElement("Get", "get.xsl") + "<Attribute name=\"Name\" required=\"true\"/>"));
  writeRegistration("root/cimv2/enumonly.xml",
                    classElement("root/cimv2", "EnumOnly", operatorElement("Enumerate", "enum.xsl")));
  const auto dispatcher = startDispatcher();

  std::vector<ParsedInstance> instances;
  EXPECT_EQ(dispatcher->enumerate("GetOnly", instances, ""), cim::NotSupported);
  EXPECT_TRUE(instances.empty());
  ParsedInstance instance;
  EXPECT_EQ(dispatcher->getInstance("EnumOnly", {{"Name", "a"}}, instance, ""), cim::NotSupported);
  EXPECT_TRUE(instance.empty());

  EXPECT_EQ(dispatcher->getInstance("GetOnly", {{"Name", "b"}}, instance, ""), cim::Ok);
  EXPECT_EQ(instance, (ParsedInstance{{"Name", "b"}, {"User", ""}}));
  EXPECT_EQ(dispatcher->enumerate("EnumOnly", instances, "bob"), cim::Ok);
  EXPECT_EQ(instances, fans("bob"));
}

TEST_F(DispatchTest, UnregisteredClassIsNotAccessibleUntilItsFileAppears) {
  const auto dispatcher = startDispatcher();

  std::vector<ParsedInstance> instances;
  EXPECT_EQ(dispatcher->enumerate("Sample_Fan", instances, ""), cim::NotAccessible);
  ParsedInstance instance;
  EXPECT_EQ(dispatcher->getInstance("Sample_Fan", {{"Name", "a"}}, instance, ""), cim::NotAccessible);
  EXPECT_TRUE(instances.empty());
  EXPECT_TRUE(instance.empty());

  registerFan();
  EXPECT_EQ(dispatcher->enumerate("SAMPLE_FAN", instances, "alice"), cim::Ok);
  EXPECT_EQ(instances, fans("alice"));
}

TEST_F(DispatchTest, EditedRegistrationTakesEffectWithTheNextDispatcher) {
  writeRegistration("root/cimv2/c.xml", classElement("root/cimv2", "C", operatorElement("Enumerate", "old.xsl")));
  auto dispatcher = startDispatcher();
  std::vector<ParsedInstance> instances;
  ASSERT_EQ(dispatcher->enumerate("C", instances, ""), cim::Ok);
  EXPECT_EQ(instances, (std::vector<ParsedInstance>{{{"Name", "old"}}}));

  writeRegistration("root/cimv2/c.xml", classElement("root/cimv2", "C", operatorElement("Enumerate", "new.xsl")));
  instances.clear();
  ASSERT_EQ(dispatcher->enumerate("C", instances, ""), cim::Ok);
  EXPECT_EQ(instances, (std::vector<ParsedInstance>{{{"Name", "old"}}}));

  dispatcher.reset();
  dispatcher = startDispatcher();
  instances.clear();
  ASSERT_EQ(dispatcher->enumerate("C", instances, ""), cim::Ok);
  EXPECT_EQ(instances, (std::vector<ParsedInstance>{{{"Name", "new"}}}));
}

TEST_F(DispatchTest, DestroyingOneDispatcherLeavesTheOtherServing) {
  registerFan();
  auto first = startDispatcher();
  const auto second = startDispatcher();
  std::vector<ParsedInstance> instances;
  ASSERT_EQ(first->enumerate("Sample_Fan", instances, ""), cim::Ok);

  // The cached registration and the XSLT processor both outlive the first
  // dispatcher: the file is gone, yet the second one still answers.
  first.reset();
  removeTree(relocatedRoot() + "/xmlreg");
  instances.clear();
  EXPECT_EQ(second->enumerate("Sample_Fan", instances, "x"), cim::Ok);
  EXPECT_EQ(instances, fans("x"));
  ParsedInstance instance;
  EXPECT_EQ(second->getInstance("Sample_Fan", {{"Name", "c"}}, instance, ""), cim::Ok);
  EXPECT_EQ(instance, (ParsedInstance{{"Name", "c"}, {"User", ""}}));
}

TEST_F(DispatchTest, ConcurrentRequestsOverTwoDispatchers) {
  registerFan();
  const auto first = startDispatcher();
  const auto second = startDispatcher();
  constexpr int kThreads = 8;
  constexpr int kRounds = 5;

  std::vector<int> failures(kThreads, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    QVDispatch& dispatcher = t % 2 ? *first : *second;
    threads.emplace_back([&dispatcher, &failures, t] {
      const std::string user = "user" + std::to_string(t);
      for (int round = 0; round < kRounds; ++round) {
        std::vector<ParsedInstance> instances;
        if (dispatcher.enumerate("Sample_Fan", instances, user) != cim::Ok || instances != fans(user)) ++failures[t];
        const std::string name(1, static_cast<char>('a' + (t + round) % 3));
        ParsedInstance instance;
        if (dispatcher.getInstance("sample_fan", {{"Name", name}}, instance, user) != cim::Ok ||
            instance != ParsedInstance{{"Name", name}, {"User", user}}) {
          ++failures[t];
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();

  EXPECT_EQ(failures, std::vector<int>(kThreads, 0));
}

// Xerces-C reads http: addresses through its net accessor, which the
// dispatcher removes: no XML the provider reads comes from the network,
// whichever parser reads it and however it is set up.
TEST(Dispatch, NoXmlIsFetchedFromTheNetwork) {
  QVDispatch dispatcher;
  dispatcher.initialize(kNameSpace);
  LoopbackListener listener;
  const std::string text = "<!DOCTYPE d SYSTEM \"" + listener.url("/d.dtd") + "\"><d/>";
  const xercesc::MemBufInputSource input(reinterpret_cast<const XMLByte*>(text.data()), text.size(), "d.xml");
  cim::FirstParseError errors;
  xercesc::SAXParser parser;
  parser.setErrorHandler(&errors);
  try {
    parser.parse(input);
  } catch (const xercesc::XMLException&) {
  }
  EXPECT_EQ(listener.connections(), 0);
  EXPECT_NE(errors.text(), "");
}

}  // namespace
}  // namespace qrv::test
