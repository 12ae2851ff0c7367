// Paths as WMI compares them: which paths and instances name the same
// object.

#include <gtest/gtest.h>

#include <string>

#include "host/cim/HostTestUtil.h"
#include "host/query/PathIdentity.h"

namespace wmihost {
namespace {

constexpr std::string_view kClasses = R"(
  class Q { [key] string Id; [key] uint32 Num; [key] boolean Flag; string Other; };
  class One { [key] string Id; };
  class Single { string X; };)";

class PathIdentityTest : public ::testing::Test {
 protected:
  std::optional<PathIdentity> of(std::string_view path) const {
    return PathIdentity::ofPath(path, *repository_, "root\\cimv2");
  }
  bool same(std::string_view a, std::string_view b) const { return of(a) && of(b) && *of(a) == *of(b); }

  std::shared_ptr<ClassRepository> repository_ = test::repositoryOf(kClasses);
};

TEST_F(PathIdentityTest, ClassAndKeyNamesIgnoreCaseKeysComeInAnyOrderAndQuotesDoNotMatter) {
  EXPECT_TRUE(same("Q.Id=\"a\",Num=5,Flag=TRUE", "q.FLAG=true,num=\"5\",ID=\"a\""));
  EXPECT_TRUE(same("Q.Id=\"a\\\"b\",Num=5,Flag=FALSE", "\\\\srv\\root\\cimv2:Q.Flag=\"FALSE\",Num=5,Id=\"a\\\"b\""));
  EXPECT_TRUE(same("One=\"x\"", "ONE.id=\"x\""));
  EXPECT_TRUE(same("Single=@", "single=@"));
  EXPECT_FALSE(same("Q.Id=\"a\",Num=5,Flag=TRUE", "Q.Id=\"A\",Num=5,Flag=TRUE"));
  EXPECT_FALSE(same("Q.Id=\"a\",Num=5,Flag=TRUE", "Q.Id=\"a\",Num=6,Flag=TRUE"));
  EXPECT_FALSE(same("Q.Id=\"a\",Num=5", "Q.Id=\"a\",Num=5,Flag=TRUE"));
  EXPECT_FALSE(same("One.Id=\"x\"", "Q.Id=\"x\""));
  EXPECT_FALSE(same("Single", "Single=@"));
  EXPECT_FALSE(of("Q.Id=\"a"));
  EXPECT_FALSE(of(""));
}

TEST_F(PathIdentityTest, AnInstanceIsNamedByItsKeys) {
  const auto classObject = test::classOf(*repository_, "Q");
  const auto instance = test::spawn(classObject.get());
  test::putText(instance.get(), u"Id", u"a\"b");
  test::putText(instance.get(), u"Num", u"5");
  EXPECT_FALSE(PathIdentity::ofObject(*WbemObject::from(instance.get())));  // Flag is unset
  test::putText(instance.get(), u"Flag", u"1");
  test::putText(instance.get(), u"Other", u"not a key");
  const auto identity = PathIdentity::ofObject(*WbemObject::from(instance.get()));
  ASSERT_TRUE(identity);
  EXPECT_EQ(*identity, *of("Q.Num=\"5\",Flag=true,Id=\"a\\\"b\""));
  EXPECT_TRUE(identity->isInstance());
  EXPECT_EQ(*PathIdentity::ofObject(*classObject), *of("q"));
  EXPECT_FALSE(PathIdentity::ofObject(*classObject)->isInstance());
  EXPECT_EQ(*PathIdentity::ofObject(*WbemObject::from(test::spawn(test::classOf(*repository_, "Single").get()).get())),
            *of("Single=@"));
}

}  // namespace
}  // namespace wmihost
