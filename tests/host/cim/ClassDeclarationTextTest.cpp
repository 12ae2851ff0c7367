// A class as wmihost describe shows it: its MOF declaration with every
// qualifier, its keys and where inherited properties come from.

#include <gtest/gtest.h>

#include "host/cim/ClassDeclarationText.h"
#include "tests/host/cim/HostTestUtil.h"

namespace wmihost::test {
namespace {

TEST(ClassDeclarationText, ShowsQualifiersTypesArraysReferencesAndEmbeddedObjects) {
  const auto repository = repositoryOf(R"(
    [dynamic, provider("qrv\\cim"), association, values{"a", "b"}]
    class Link {
      [key, description("the \"disk\"")] Disk ref Antecedent;
      [key] uint32 Slot;
      string Names[];
      object Shape;
      [units("bytes")] uint64 Sizes[];
    };)");
  EXPECT_EQ(classDeclarationText(*repository->find("root\\cimv2", "link")),
            "// Link of root\\cimv2, declared at test.mof:3\n"
            "// keys: Antecedent, Slot\n"
            "[dynamic, provider(\"qrv\\\\cim\"), association, values{\"a\", \"b\"}]\n"
            "class Link\n"
            "{\n"
            "\t[key, description(\"the \\\"disk\\\"\")] Disk ref Antecedent;\n"
            "\t[key] uint32 Slot;\n"
            "\tstring Names[];\n"
            "\tobject Shape;\n"
            "\t[units(\"bytes\")] uint64 Sizes[];\n"
            "};\n");
}

TEST(ClassDeclarationText, NamesTheBaseAndTheOriginOfInheritedPropertiesAndAClassWithoutKeys) {
  const auto repository = repositoryOf(R"(
    [abstract, locale(1033): Restricted, version("1")] class Base { string Name; };
    [version("2")] class Derived : Base { sint64 Count; };)");
  EXPECT_EQ(classDeclarationText(*repository->find("root\\cimv2", "Derived")),
            "// Derived of root\\cimv2, declared at test.mof:3\n"
            "// keys: none\n"
            "[version(\"2\")]\n"
            "class Derived : Base\n"
            "{\n"
            "\tstring Name;  // from Base\n"
            "\tsint64 Count;\n"
            "};\n");
  EXPECT_EQ(classDeclarationText(*repository->find("root\\cimv2", "Base")),
            "// Base of root\\cimv2, declared at test.mof:2\n// keys: none\n[abstract, locale(1033), version(\"1\")]\n"
            "class Base\n{\n\tstring Name;\n};\n");
}

}  // namespace
}  // namespace wmihost::test
