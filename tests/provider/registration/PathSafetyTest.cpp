// Names that would lead the registration path out of the registration root
// read as not registered, and the file they reach is never opened: each test
// lays a valid registration exactly where the unsafe name would lead.

#include <gtest/gtest.h>

#include "provider/registration/ClassLoader.h"
#include "tests/provider/registration/RegistrationFixture.h"

namespace qrv::test {
namespace {

using cim::findClassMap;

using PathSafetyTest = RegistrationTest;

TEST_F(PathSafetyTest, ParentSegmentsInNamespaceAreRefused) {
  // <root>/xmlreg/../evil.xml and <root>/xmlreg/a/../../evil.xml
  writeFile(root() + "/evil.xml", registrationDocument(classElement("..", "Evil") + classElement("a\\..\\..", "Evil")));
  writeRegistration("a/inner.xml", classElement("a/..", "Inner"));
  writeRegistration("inner.xml", classElement("a/..", "Inner"));

  EXPECT_EQ(findClassMap("..", "Evil"), nullptr);
  EXPECT_EQ(findClassMap("a\\..\\..", "Evil"), nullptr);
  EXPECT_EQ(findClassMap("a/../", "Inner"), nullptr);
  EXPECT_EQ(findClassMap("a/..", "Inner"), nullptr);
  removeTree(root() + "/evil.xml");
}

TEST_F(PathSafetyTest, SeparatorsInClassNameAreRefused) {
  // <root>/xmlreg/x/../../evil.xml
  writeFile(root() + "/evil.xml",
            registrationDocument(classElement("x", "../../Evil") + classElement("x", "..\\..\\Evil")));
  writeRegistration("x/sub/c.xml", classElement("x", "sub/C"));

  EXPECT_EQ(findClassMap("x", "../../Evil"), nullptr);
  EXPECT_EQ(findClassMap("x", "..\\..\\Evil"), nullptr);
  EXPECT_EQ(findClassMap("x", "sub/C"), nullptr);
  removeTree(root() + "/evil.xml");
}

TEST_F(PathSafetyTest, ColonsAreRefused) {
  writeRegistration("x/a:b.xml", classElement("x", "a:b"));
  writeRegistration("x:y/c.xml", classElement("x:y", "C"));

  EXPECT_EQ(findClassMap("x", "a:b"), nullptr);
  EXPECT_EQ(findClassMap("x:y", "C"), nullptr);
}

TEST_F(PathSafetyTest, DotsInsideNamesAreHarmless) {
  writeRegistration("root/..cim..v2/x..y.xml", classElement("root/..cim..v2", "X..Y"));
  writeRegistration("root/./z.xml", classElement("root/.", "Z"));

  EXPECT_NE(findClassMap("root/..cim..v2", "X..Y"), nullptr);
  EXPECT_NE(findClassMap("root/.", "Z"), nullptr);
}

}  // namespace
}  // namespace qrv::test
