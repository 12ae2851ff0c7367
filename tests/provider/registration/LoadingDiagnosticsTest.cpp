#include <gtest/gtest.h>

#include <string>

#include "provider/diagnostic/Diagnostic.h"
#include "provider/registration/ClassLoader.h"
#include "tests/provider/registration/RegistrationFixture.h"
#include "tests/support/DiagnosticLines.h"

namespace qrv::cim {
namespace {

using test::classElement;
using test::DiagnosticLines;
using test::writeRegistration;

using DiagnosticLoading = test::RegistrationTest;

// Why a class has no class map, as the line that looks for it says.
TEST_F(DiagnosticLoading, AClassWithoutRegistrationIsReportedWithTheFileAndTheReason) {
  writeRegistration("n/other.xml", classElement("n", "Unwanted") + classElement("m", "Other"));
  writeRegistration("n/empty.xml", "");
  test::writeFile(root() + "/xmlreg/n/broken.xml", "<Registration>\n<Class name=\"Broken\" namespace=\"n\">\n</Clas>");
  const struct {
    std::string nameSpace;
    std::string className;
    std::string reason;
  } cases[] = {
      {"n", "Absent", "/xmlreg/n/absent.xml, and the file does not exist"},
      {"n", "Other", "/xmlreg/n/other.xml, and it registers only Unwanted of n, Other of m"},
      {"n", "Empty", "/xmlreg/n/empty.xml, and it registers no class"},
      {"n", "Broken", "/xmlreg/n/broken.xml, and it cannot be parsed: line 3, column "},
      {"n", "../x", "no registration is read for class ../x of namespace n: the names would lead out"},
  };
  for (const auto& c : cases) {
    DiagnosticLines lines;
    EXPECT_EQ(findClassMap(c.nameSpace, c.className), nullptr) << c.className;
    ASSERT_EQ(lines.lines().size(), 1u) << c.className;
    EXPECT_NE(lines.all().find(c.reason), std::string::npos) << lines.all();
  }
}

TEST_F(DiagnosticLoading, AFoundClassSaysNothing) {
  writeRegistration("n/here.xml", classElement("n", "Here"));
  DiagnosticLines lines;
  EXPECT_NE(findClassMap("n", "Here"), nullptr);
  EXPECT_TRUE(lines.lines().empty());
}

TEST_F(DiagnosticLoading, ParseRegistrationHandsClassMapsToItsSinkAndNotToTheCache) {
  writeRegistration("n/two.xml", classElement("n", "First") + classElement("n", "Second"));
  std::vector<std::string> names;
  const RegistrationParse parse = parseRegistration(
      root() + "/xmlreg/n/two.xml", [&](std::unique_ptr<ClassMap> classMap) { names.push_back(classMap->className()); });
  EXPECT_EQ(parse.status, 0);
  EXPECT_EQ(parse.problem, "");
  EXPECT_EQ(names, (std::vector<std::string>{"First", "Second"}));
  EXPECT_EQ(ClassCache::instance()->find("n", "First"), nullptr);
}

}  // namespace
}  // namespace qrv::cim
