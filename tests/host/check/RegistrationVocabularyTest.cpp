// Elements and attributes that a registration does not define, with their
// lines and the known name nearest to each.

#include "host/check/RegistrationVocabulary.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/check/XmlChecks.h"
#include "tests/support/TempTree.h"

namespace wmihost {
namespace {

class RegistrationVocabularyTest : public ::testing::Test {
 protected:
  void TearDown() override { qrv::test::removeTree(dir_); }

  // The report lines of the unknown names of a registration of this text.
  std::vector<std::string> unknownNames(const std::string& text) {
    qrv::test::writeFile(file_, text);
    std::vector<std::string> lines;
    for (const Finding& finding : unknownRegistrationNames(file_)) lines.push_back(finding.line());
    return lines;
  }

  XmlLibraries libraries_;
  std::string dir_ = qrv::test::makeTempDir("wmihost-vocabulary");
  std::string file_ = dir_ + "/fan.xml";
};

TEST_F(RegistrationVocabularyTest, ARegistrationOfKnownNamesHasNoFinding) {
  EXPECT_EQ(unknownNames(R"(<AnyRoot version="2">
  <Class name="Fan" namespace="root\cimv2">
    <Enumerate>
      <FileProvider app="a" area="b" name="c.xml" unicode="true" valueOnly="TRUE"/>
      <Conversion app="a" area="x" name="fan.xsl"/>
    </Enumerate>
    <Get/>
    <Attribute name="Name" required="true" alt-name="FanName" writable="false"/>
    <AssociationClass name="FanOnBoard"/>
  </Class>
</AnyRoot>)"),
            std::vector<std::string>{});
}

TEST_F(RegistrationVocabularyTest, AMisspeltElementIsAnErrorWithTheNearestElement) {
  EXPECT_EQ(unknownNames("<R>\n<Class name=\"Fan\" namespace=\"root\">\n<Enumarate>\n</Enumarate>\n<Gte/>\n"
                         "<class/>\n</Class>\n</R>"),
            (std::vector<std::string>{
                file_ + ":3: error: <Enumarate> is no element of a registration, so the provider ignores it: did "
                        "you mean <Enumerate>?",
                file_ + ":5: error: <Gte> is no element of a registration, so the provider ignores it: did you mean "
                        "<Get>?",
                file_ + ":6: error: <class> is no element of a registration, so the provider ignores it: did you "
                        "mean <Class>?",
            }));
}

TEST_F(RegistrationVocabularyTest, AnElementFarFromEveryKnownOneListsThemAll) {
  EXPECT_EQ(unknownNames("<R><Description/></R>"),
            std::vector<std::string>{file_ + ":1: error: <Description> is no element of a registration, so the "
                                             "provider ignores it; the elements are Class, Enumerate, Get, "
                                             "FileProvider, Conversion, Attribute and AssociationClass"});
}

TEST_F(RegistrationVocabularyTest, AnAttributeTheElementDoesNotReadIsAnError) {
  EXPECT_EQ(unknownNames("<R>\n<Class name=\"Fan\" namespace=\"root\">\n<Attribute name=\"Name\" alt_name=\"N\" "
                         "requird=\"true\"/>\n<Conversion app=\"a\" area=\"b\" name=\"c\" unicode=\"true\"/>\n"
                         "<Enumerate id=\"1\"/>\n</Class>\n</R>"),
            (std::vector<std::string>{
                file_ + ":3: error: <Attribute> has no attribute alt_name, so the provider ignores it: did you mean "
                        "alt-name?",
                file_ + ":3: error: <Attribute> has no attribute requird, so the provider ignores it: did you mean "
                        "required?",
                file_ + ":4: error: <Conversion> has no attribute unicode, so the provider ignores it; its "
                        "attributes are name, app and area",
                file_ + ":5: error: <Enumerate> has no attribute id, so the provider ignores it; it takes no "
                        "attributes",
            }));
}

TEST_F(RegistrationVocabularyTest, TheRootElementIsFreeButAKnownNameAsRootIsChecked) {
  EXPECT_EQ(unknownNames("<Registrations xmlns:x=\"urn:x\" version=\"1\"><Class name=\"Fan\"/></Registrations>"),
            std::vector<std::string>{});
  EXPECT_EQ(unknownNames("<Class name=\"Fan\" namespaec=\"root\"/>"),
            std::vector<std::string>{file_ + ":1: error: <Class> has no attribute namespaec, so the provider "
                                             "ignores it: did you mean namespace?"});
}

}  // namespace
}  // namespace wmihost
