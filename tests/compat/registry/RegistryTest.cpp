#include <gtest/gtest.h>

#include "compat/registry/Registry.h"

using namespace qrv::regfile;

namespace {

const std::string kBase = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Korvex";

TEST(Registry, KeyAndValueNamesIgnoreCase) {
  Registry registry;
  registry.createKey(kBase + "\\rulo\\SysInvSrv");
  ASSERT_TRUE(registry.setValue("hkey_local_machine\\software\\KORVEX\\Rulo\\sysinvsrv", "InvTimeout", dwordValue(30)));
  EXPECT_TRUE(registry.hasKey(kBase + "\\RULO"));
  EXPECT_EQ(registry.value(kBase + "\\rulo\\SysInvSrv", "invtimeout"), dwordValue(30));

  registry.setValue(kBase + "\\rulo\\SysInvSrv", "INVTIMEOUT", dwordValue(5));
  EXPECT_EQ(registry.valueNames(kBase + "\\rulo\\SysInvSrv"), std::vector<std::string>{"InvTimeout"});
  EXPECT_EQ(registry.value(kBase + "\\rulo\\SysInvSrv", "InvTimeout"), dwordValue(5));
}

TEST(Registry, SubkeysAreDirectChildrenInFirstWrittenCase) {
  Registry registry;
  registry.createKey(kBase + "\\Beta\\Deep");
  registry.createKey(kBase + "\\alpha");
  registry.createKey(kBase + "\\ALPHA");
  registry.createKey(kBase + " Other");
  EXPECT_EQ(registry.subkeys(kBase), (std::vector<std::string>{"alpha", "Beta"}));
  EXPECT_EQ(registry.subkeys("HKEY_LOCAL_MACHINE\\SOFTWARE"), (std::vector<std::string>{"Korvex", "Korvex Other"}));
  EXPECT_TRUE(registry.hasKey("HKEY_CLASSES_ROOT"));
  EXPECT_TRUE(registry.subkeys("HKEY_CLASSES_ROOT").empty());
}

TEST(Registry, DeleteKeyTakesItsSubtreeButNotKeysSharingItsPrefix) {
  Registry registry;
  registry.createKey(kBase + "\\A\\B\\C");
  registry.createKey(kBase + "\\A B");
  registry.createKey(kBase + "\\AB");
  EXPECT_TRUE(registry.deleteKey(kBase + "\\a"));
  EXPECT_FALSE(registry.hasKey(kBase + "\\A\\B\\C"));
  EXPECT_FALSE(registry.hasKey(kBase + "\\A\\B"));
  EXPECT_TRUE(registry.hasKey(kBase + "\\A B"));
  EXPECT_TRUE(registry.hasKey(kBase + "\\AB"));
  EXPECT_FALSE(registry.deleteKey(kBase + "\\A"));
  EXPECT_THROW(registry.deleteKey("HKEY_LOCAL_MACHINE"), RegistryError);
}

// Ancestors are kept as implied by their descendants: they exist, take
// values, keep the case first written and outlive a deleted subkey.
TEST(Registry, AncestorsOfAKeyAreKeys) {
  Registry registry;
  registry.createKey(kBase + "\\Deep\\Er");
  registry.createKey("hkey_local_machine\\software\\KORVEX\\deep\\Other");
  EXPECT_EQ(registry.subkeys(kBase + "\\DEEP"), (std::vector<std::string>{"Er", "Other"}));
  EXPECT_EQ(registry.subkeys("HKEY_LOCAL_MACHINE\\SOFTWARE"), std::vector<std::string>{"Korvex"});
  EXPECT_TRUE(registry.setValue(kBase + "\\deep", "v", dwordValue(1)));
  EXPECT_TRUE(registry.deleteKey(kBase + "\\Deep\\Er"));
  EXPECT_TRUE(registry.deleteKey(kBase + "\\Deep\\Other"));
  EXPECT_TRUE(registry.hasKey(kBase + "\\Deep"));
  EXPECT_EQ(registry.value(kBase + "\\deep", "V"), dwordValue(1));
  EXPECT_TRUE(registry.deleteKey(kBase));
  EXPECT_TRUE(registry.hasKey("HKEY_LOCAL_MACHINE\\SOFTWARE"));
  EXPECT_FALSE(registry.hasKey(kBase + "\\Deep"));
}

TEST(Registry, ValuesNeedAnExistingKey) {
  Registry registry;
  EXPECT_FALSE(registry.setValue(kBase, "x", textValue("y")));
  EXPECT_FALSE(registry.deleteValue(kBase, "x"));
  registry.createKey(kBase);
  EXPECT_TRUE(registry.setValue(kBase, "x", textValue("y")));
  EXPECT_TRUE(registry.deleteValue(kBase, "X"));
  EXPECT_FALSE(registry.value(kBase, "x"));
}

TEST(Registry, TextValuesKeepOneTerminator) {
  EXPECT_EQ(textValue("ab").bytes, (std::vector<char>{'a', 'b', '\0'}));
  EXPECT_EQ(normalizedValue(kRegSz, {'a', 'b', '\0', 'c'}).bytes, (std::vector<char>{'a', 'b', '\0'}));
  EXPECT_EQ(normalizedValue(kRegExpandSz, {'a'}).bytes, (std::vector<char>{'a', '\0'}));
  EXPECT_EQ(normalizedValue(kRegBinary, {'a', '\0', 'c'}).bytes, (std::vector<char>{'a', '\0', 'c'}));
  EXPECT_EQ(textOf(textValue("%SystemRoot%", kRegExpandSz)), "%SystemRoot%");
}

TEST(Registry, InvalidPathsAndNamesAreRefused) {
  Registry registry;
  for (const std::string& path : {std::string("HKLM\\SOFTWARE"), std::string("SOFTWARE\\Korvex"), kBase + "\\\\x",
                                  kBase + "\\", kBase + "\\a\nb", std::string("")}) {
    EXPECT_THROW(registry.createKey(path), RegistryError) << path;
  }
  registry.createKey(kBase);
  EXPECT_THROW(registry.setValue(kBase, "a\nb", textValue("")), RegistryError);
}

}  // namespace
