// How the elements of a registration file build class maps.

#include <gtest/gtest.h>

#include <typeinfo>

#include "provider/registration/ClassLoader.h"
#include "tests/provider/registration/RegistrationFixture.h"

namespace qrv::test {
namespace {

using cim::ClassMap;
using cim::FileAccessor;
using cim::findClassMap;

using VocabularyTest = RegistrationTest;

const FileAccessor& fileAt(const cim::OperatorBase& op, size_t index) {
  const auto& accessor = *op.accessors().at(index);
  EXPECT_EQ(typeid(accessor), typeid(FileAccessor));
  return static_cast<const FileAccessor&>(accessor);
}

TEST_F(VocabularyTest, FullRegistrationBuildsBothOperatorsAndAttributes) {
  writeRegistration("root/cimv2/sample_fan.xml",
                    classElement("root/cimv2", "Sample_Fan",
                                 "<Enumerate>"
                                 "<FileProvider name=\"inventory.xml\" app=\"inv\" area=\"data\" unicode=\"true\"/>"
                                 "<Conversion name=\"fan.xsl\" app=\"inv\" area=\"xsl\"/>"
                                 "</Enumerate>"
                                 "<Get>"
                                 "<FileProvider name=\"inventory.xml\" app=\"inv\" area=\"data\" unicode=\"true\"/>"
                                 "<Conversion name=\"fanget.xsl\" app=\"inv\" area=\"xsl\"/>"
                                 "</Get>"
                                 "<Attribute name=\"Name\" required=\"true\" alt-name=\"FanName\"/>"
                                 "<Attribute name=\"Status\"/>"));

  const ClassMap* fan = findClassMap("root/cimv2", "Sample_Fan");
  ASSERT_NE(fan, nullptr);
  EXPECT_EQ(fan->nameSpace(), "root/cimv2");
  EXPECT_EQ(fan->className(), "Sample_Fan");

  ASSERT_NE(fan->enumerateOperator(), nullptr);
  ASSERT_EQ(fan->enumerateOperator()->accessors().size(), 1u);
  EXPECT_EQ(fileAt(*fan->enumerateOperator(), 0).relativePath(), "inv/data/inventory.xml");
  EXPECT_TRUE(fileAt(*fan->enumerateOperator(), 0).unicode());
  ASSERT_NE(fan->enumerateOperator()->conversion(), nullptr);
  EXPECT_EQ(fan->enumerateOperator()->conversion()->relativePath(), "inv/xsl/fan.xsl");

  ASSERT_NE(fan->getOperator(), nullptr);
  ASSERT_EQ(fan->getOperator()->accessors().size(), 1u);
  EXPECT_NE(&fileAt(*fan->getOperator(), 0), &fileAt(*fan->enumerateOperator(), 0));
  ASSERT_NE(fan->getOperator()->conversion(), nullptr);
  EXPECT_EQ(fan->getOperator()->conversion()->relativePath(), "inv/xsl/fanget.xsl");

  ASSERT_EQ(fan->attributes().size(), 2u);
  EXPECT_EQ(fan->attributes()[0].name(), "Name");
  EXPECT_TRUE(fan->attributes()[0].required());
  EXPECT_EQ(fan->attributes()[0].altName(), "FanName");
  EXPECT_EQ(fan->attributes()[1].name(), "Status");
  EXPECT_FALSE(fan->attributes()[1].required());
  EXPECT_EQ(fan->attributes()[1].altName(), "");
}

TEST_F(VocabularyTest, OperatorWordOutlivesItsElement) {
  writeRegistration("n/c.xml",
                    classElement("n", "C",
                                 "<Conversion name=\"early.xsl\" app=\"a\" area=\"b\"/>"
                                 "<Enumerate/>"
                                 "<Get><FileProvider name=\"inner\" app=\"a\" area=\"b\"/></Get>"
                                 "<FileProvider name=\"after\" app=\"a\" area=\"\"/>"
                                 "<Conversion name=\"first.xsl\" app=\"a\" area=\"b\"/>"
                                 "<Conversion name=\"second.xsl\" app=\"a\" area=\"b\"/>"));

  const ClassMap* c = findClassMap("n", "C");
  ASSERT_NE(c, nullptr);
  // The conversion before any operator is discarded, not kept for later.
  ASSERT_NE(c->enumerateOperator(), nullptr);
  EXPECT_EQ(c->enumerateOperator()->conversion(), nullptr);
  EXPECT_TRUE(c->enumerateOperator()->accessors().empty());
  // After </Get> the word is still "Get": accessors accumulate there, a
  // later conversion replaces an earlier one.
  ASSERT_NE(c->getOperator(), nullptr);
  ASSERT_EQ(c->getOperator()->accessors().size(), 2u);
  EXPECT_EQ(fileAt(*c->getOperator(), 0).name(), "inner");
  EXPECT_EQ(fileAt(*c->getOperator(), 1).relativePath(), "a//after");
  ASSERT_NE(c->getOperator()->conversion(), nullptr);
  EXPECT_EQ(c->getOperator()->conversion()->name(), "second.xsl");
}

TEST_F(VocabularyTest, BooleansAreExactWords) {
  writeRegistration("n/c.xml",
                    classElement("n", "C",
                                 "<Enumerate>"
                                 "<FileProvider name=\"f1\" unicode=\"TRUE\" valueOnly=\"TRUE\"/>"
                                 "<FileProvider name=\"f2\" unicode=\"true\" valueOnly=\"true\"/>"
                                 "<FileProvider name=\"f3\" unicode=\"1\" valueOnly=\"True\"/>"
                                 "<FileProvider name=\"f4\"/>"
                                 "</Enumerate>"
                                 "<Attribute name=\"A\" required=\"TRUE\" writable=\"true\"/>"
                                 "<Attribute name=\"B\" required=\"true\" writable=\"yes\"/>"));

  const ClassMap* c = findClassMap("n", "C");
  ASSERT_NE(c, nullptr);
  const auto& op = *c->enumerateOperator();
  ASSERT_EQ(op.accessors().size(), 4u);
  EXPECT_FALSE(fileAt(op, 0).unicode());
  EXPECT_TRUE(fileAt(op, 0).valueOnly());
  EXPECT_TRUE(fileAt(op, 1).unicode());
  EXPECT_TRUE(fileAt(op, 1).valueOnly());
  EXPECT_FALSE(fileAt(op, 2).unicode());
  EXPECT_FALSE(fileAt(op, 2).valueOnly());
  EXPECT_FALSE(fileAt(op, 3).unicode());
  EXPECT_FALSE(fileAt(op, 3).valueOnly());

  ASSERT_EQ(c->attributes().size(), 2u);
  EXPECT_FALSE(c->attributes()[0].required());
  EXPECT_TRUE(c->attributes()[0].writable());
  EXPECT_TRUE(c->attributes()[1].required());
  EXPECT_FALSE(c->attributes()[1].writable());
}

TEST_F(VocabularyTest, ValuesAreKeptAsWrittenAndEmptyAssociationsSkipped) {
  writeRegistration("n/c.xml",
                    classElement("n", "C",
                                 "<Attribute name=\" Name \" alt-name=\"\" Required=\"true\"/>"
                                 "<AssociationClass name=\"\"/>"
                                 "<AssociationClass/>"
                                 "<AssociationClass name=\"Sample&amp;Link\"/>"
                                 "<attribute name=\"lowercase element\"/>"));

  const ClassMap* c = findClassMap("n", "C");
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(c->enumerateOperator(), nullptr);
  EXPECT_EQ(c->getOperator(), nullptr);
  ASSERT_EQ(c->attributes().size(), 1u);
  EXPECT_EQ(c->attributes()[0].name(), " Name ");
  EXPECT_FALSE(c->attributes()[0].required());
  EXPECT_EQ(c->associationClasses(), std::vector<std::string>{"Sample&Link"});
}

// Elements outside any class are dropped; they neither fail the parse nor
// reach a class map that is already cached.
TEST_F(VocabularyTest, ElementsWithoutCurrentClassAreDropped) {
  const std::string stray =
      "<Enumerate/><Get/>"
      "<FileProvider name=\"stray\"/><Conversion name=\"stray.xsl\"/>"
      "<Attribute name=\"Stray\"/><AssociationClass name=\"Stray\"/>";
  writeRegistration("n/a.xml", stray +
                                   classElement("n", "A",
                                                "<Get><FileProvider name=\"own\"/>"
                                                "<Conversion name=\"own.xsl\"/></Get>") +
                                   stray +
                                   classElement("n", "B",
                                                "<FileProvider name=\"orphan\"/>"
                                                "<Conversion name=\"orphan.xsl\"/>"
                                                "<Enumerate/>"));

  const ClassMap* a = findClassMap("n", "A");
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->enumerateOperator(), nullptr);
  ASSERT_NE(a->getOperator(), nullptr);
  ASSERT_EQ(a->getOperator()->accessors().size(), 1u);
  EXPECT_EQ(fileAt(*a->getOperator(), 0).name(), "own");
  EXPECT_EQ(a->getOperator()->conversion()->name(), "own.xsl");
  EXPECT_TRUE(a->attributes().empty());
  EXPECT_TRUE(a->associationClasses().empty());

  // In B the word "Get" is left over from A, but B has no get operator.
  const ClassMap* b = findClassMap("n", "B");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->getOperator(), nullptr);
  ASSERT_NE(b->enumerateOperator(), nullptr);
  EXPECT_TRUE(b->enumerateOperator()->accessors().empty());
  EXPECT_EQ(b->enumerateOperator()->conversion(), nullptr);
}

}  // namespace
}  // namespace qrv::test
