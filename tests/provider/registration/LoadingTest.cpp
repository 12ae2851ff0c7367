// Finding registration files, caching what they register, and files that
// are missing, broken or hostile.

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

#include "provider/registration/ClassLoader.h"
#include "tests/provider/registration/RegistrationFixture.h"

namespace qrv::test {
namespace {

using cim::ClassMap;
using cim::findClassMap;

using LoadingTest = RegistrationTest;

TEST_F(LoadingTest, RegistrationPathLowersNamesAndKeepsSeparators) {
  EXPECT_EQ(cim::registrationPath("ROOT\\CimV2", "Sample_Fan"), root() + "/xmlreg/root\\cimv2/sample_fan.xml");
}

TEST_F(LoadingTest, NamespaceCaseAndSeparatorVariantsShareOneEntry) {
  writeRegistration("root/cimv2/sample_fan.xml", classElement("Root/CIMv2", "Sample_Fan"));

  const ClassMap* first = findClassMap("root\\cimv2", "Sample_Fan");
  ASSERT_NE(first, nullptr);
  removeTree(root() + "/xmlreg");
  EXPECT_EQ(findClassMap("ROOT/CIMV2", "SAMPLE_FAN"), first);
  EXPECT_EQ(findClassMap("rootcimv2", "sample_fan"), first);
}

TEST_F(LoadingTest, EveryClassOfAFileIsCached) {
  writeRegistration("n/first.xml", classElement("n", "First") + classElement("other", "Second"));

  ASSERT_NE(findClassMap("n", "First"), nullptr);
  removeTree(root() + "/xmlreg");
  const ClassMap* second = findClassMap("other", "Second");
  ASSERT_NE(second, nullptr);
  EXPECT_EQ(second->nameSpace(), "other");
}

TEST_F(LoadingTest, FileRegisteringAnotherClassLeavesRequestedOneMissing) {
  writeRegistration("n/wanted.xml", classElement("n", "Unwanted"));

  EXPECT_EQ(findClassMap("n", "Wanted"), nullptr);
  EXPECT_EQ(findClassMap("n", "Wanted"), nullptr);
  EXPECT_NE(findClassMap("n", "Unwanted"), nullptr);
}

TEST_F(LoadingTest, MissIsNotRemembered) {
  EXPECT_EQ(findClassMap("n", "Late"), nullptr);
  writeRegistration("n/late.xml", classElement("n", "Late"));
  EXPECT_NE(findClassMap("n", "Late"), nullptr);
}

TEST_F(LoadingTest, TruncatedFileKeepsOnlyCompletedClasses) {
  writeFile(root() + "/xmlreg/n/done.xml",
            "<Registration>" + classElement("n", "Done") + "<Class name=\"Open\" namespace=\"n\"><Get>");
  writeFile(root() + "/xmlreg/n/open.xml", "<Registration><Class name=\"Open\" namespace=\"n\"><Enumerate/>");

  EXPECT_NE(findClassMap("n", "Done"), nullptr);
  EXPECT_EQ(findClassMap("n", "Open"), nullptr);
}

TEST_F(LoadingTest, NotWellFormedFileStopsAtFirstError) {
  writeFile(root() + "/xmlreg/n/a.xml",
            "<Registration>" + classElement("n", "A") +
                "<Class name=\"B\" namespace=\"n\"><Get></Class>" + classElement("n", "C") + "</Registration>");
  writeFile(root() + "/xmlreg/n/junk.xml", "\x01\xff not xml at all <<<");

  EXPECT_NE(findClassMap("n", "A"), nullptr);
  EXPECT_EQ(findClassMap("n", "B"), nullptr);
  EXPECT_EQ(findClassMap("n", "C"), nullptr);
  EXPECT_EQ(findClassMap("n", "Junk"), nullptr);
}

// A registration file is read alone: entities never pull in other files,
// wherever they lie.
TEST_F(LoadingTest, ExternalEntitiesAreNotFetched) {
  writeFile(root() + "/outside/extra.xml", classElement("n", "Smuggled"));
  writeFile(root() + "/outside/extra.dtd", "<!ENTITY inner SYSTEM \"extra.xml\">");
  writeFile(root() + "/xmlreg/n/host.xml",
            "<!DOCTYPE Registration [<!ENTITY extra SYSTEM \"../../outside/extra.xml\">]>"
            "<Registration>&extra;" +
                classElement("n", "Host") + "</Registration>");
  writeFile(root() + "/xmlreg/n/dtd.xml",
            "<!DOCTYPE Registration SYSTEM \"../../outside/extra.dtd\">"
            "<Registration>&inner;" +
                classElement("n", "Dtd") + "</Registration>");

  findClassMap("n", "Host");
  findClassMap("n", "Dtd");
  EXPECT_EQ(findClassMap("n", "Smuggled"), nullptr);
}

TEST_F(LoadingTest, EntityExpansionIsBounded) {
  std::string entities = "<!ENTITY e0 \"xxxxxxxxxx\">";
  for (int level = 1; level < 10; ++level) {
    const std::string previous = "&e" + std::to_string(level - 1) + ";";
    std::string value;
    for (int i = 0; i < 10; ++i) value += previous;
    entities += "<!ENTITY e" + std::to_string(level) + " \"" + value + "\">";
  }
  writeFile(root() + "/xmlreg/n/bomb.xml", "<!DOCTYPE Registration [" + entities + "]><Registration>&e9;" +
                                               classElement("n", "Bomb") + "</Registration>");

  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(findClassMap("n", "Bomb"), nullptr);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

// One entity of 200 KB referenced 999 times stayed under the expansion limit
// and took 1.4 GB; a document type declaration now ends the parse before any
// entity is read, even one without entities.
TEST_F(LoadingTest, DocumentTypeDeclarationsAreRefused) {
  std::string references;
  for (int i = 0; i < 999; ++i) references += "&big;";
  writeFile(root() + "/xmlreg/n/wide.xml", "<!DOCTYPE Registration [<!ENTITY big \"" + std::string(200000, 'x') +
                                               "\">]><Registration>" + classElement("n", "Wide") + references +
                                               "</Registration>");
  writeFile(root() + "/xmlreg/n/plain.xml",
            "<!DOCTYPE Registration><Registration>" + classElement("n", "Plain") + "</Registration>");
  EXPECT_EQ(findClassMap("n", "Wide"), nullptr);
  EXPECT_EQ(findClassMap("n", "Plain"), nullptr);
  EXPECT_EQ(cim::parseRegistrationFile(root() + "/xmlreg/n/plain.xml"), 3);
}

TEST_F(LoadingTest, ConcurrentLookupsAgreeOnOneClassMap) {
  constexpr int kClasses = 16;
  constexpr int kThreads = 8;
  for (int i = 0; i < kClasses; ++i) {
    const std::string name = "C" + std::to_string(i);
    writeRegistration("root/cimv2/c" + std::to_string(i) + ".xml",
                      classElement("root\\cimv2", name, "<Enumerate/><Attribute name=\"Name\"/>"));
  }

  std::vector<std::vector<const ClassMap*>> seen(kThreads, std::vector<const ClassMap*>(kClasses));
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&seen, t] {
      for (int round = 0; round < 3; ++round) {
        for (int i = 0; i < kClasses; ++i) {
          const int c = (i + t) % kClasses;
          const ClassMap* found = findClassMap(t % 2 ? "ROOT/CIMV2" : "root\\cimv2", "c" + std::to_string(c));
          if (round == 0) seen[t][c] = found;
          if (found != seen[t][c] || !found || found->attributes().size() != 1) seen[t][c] = nullptr;
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();

  for (int c = 0; c < kClasses; ++c) {
    ASSERT_NE(seen[0][c], nullptr) << "class " << c;
    for (int t = 1; t < kThreads; ++t) EXPECT_EQ(seen[t][c], seen[0][c]) << "class " << c << " thread " << t;
  }
}

}  // namespace
}  // namespace qrv::test
