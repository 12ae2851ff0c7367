// The class repository: the MOF subset, inheritance, namespaces, folders,
// the instances that register providers and the file:line of every refusal.

#include <gtest/gtest.h>

#include "host/cim/CimTypes.h"
#include "host/cim/MofError.h"
#include "tests/host/cim/HostTestUtil.h"
#include "tests/support/TempTree.h"

namespace wmihost::test {
namespace {

std::string errorOf(std::string_view mof) {
  try {
    repositoryOf(mof);
  } catch (const MofError& error) {
    return error.what();
  }
  return "no error";
}

const PropertyDefinition& property(const ClassDefinition& definition, std::string_view name) {
  return definition.properties.at(definition.indexOf(name).value());
}

// Each qualifier as MOF writes it: name(value).
std::vector<std::string> qualifierTexts(const std::vector<MofQualifier>& qualifiers) {
  std::vector<std::string> texts;
  for (const MofQualifier& qualifier : qualifiers) texts.push_back(qualifier.name + qualifier.mofText);
  return texts;
}

TEST(MofRepository, ReadsTheExampleDeployment) {
  ClassRepository repository;
  repository.load(QRV_SOURCE_DIR "/deploy/mof/korvex.mof");

  const auto disk = repository.find("root\\cimv2", "Korvex_Disk");
  ASSERT_TRUE(disk);
  std::vector<std::string> names;
  for (const auto& p : disk->properties) names.push_back(p.name);
  EXPECT_EQ(names, (std::vector<std::string>{"DeviceID", "Model", "Vendor", "SerialNumber", "FirmwareRevision", "WWN",
                                             "Transport", "SizeBytes", "Rotational", "Removable", "ReadOnly",
                                             "MountPoint", "Partitions", "Geometry"}));
  EXPECT_TRUE(property(*disk, "DeviceID").key);
  EXPECT_FALSE(property(*disk, "Model").key);
  EXPECT_EQ(property(*disk, "SizeBytes").type, CIM_UINT64);
  EXPECT_EQ(property(*disk, "Rotational").type, CIM_BOOLEAN);
  EXPECT_EQ(property(*disk, "Partitions").type, CIM_STRING | CIM_FLAG_ARRAY);
  const auto system = repository.find("root\\cimv2", "Korvex_ComputerSystem");
  ASSERT_TRUE(system);
  EXPECT_EQ(property(*system, "Uptime").type, CIM_DATETIME);

  const auto link = repository.find("root\\cimv2", "Korvex_InstalledSoftware");
  ASSERT_TRUE(link);
  EXPECT_EQ(property(*link, "Software").type, CIM_REFERENCE);
  EXPECT_EQ(property(*link, "Software").referencedClass, "Korvex_Software");
  EXPECT_TRUE(property(*link, "Software").key);
  EXPECT_EQ(disk->provider, "qrvcim");
  EXPECT_EQ(repository.find("root\\cimv2", "Korvex_DiskGeometry")->provider, "");

  const auto providers = repository.instances("root\\cimv2", "__Win32Provider");
  ASSERT_EQ(providers.size(), 1u);
  const auto registrations = repository.instances("root\\cimv2", "__InstanceProviderRegistration");
  ASSERT_EQ(registrations.size(), 1u);
  EXPECT_EQ(registrations[0]->value("Provider")->instance, providers[0].get());
}

TEST(MofRepository, ReadsEveryTypeKeywordInAnyCase) {
  const auto repository = repositoryOf(R"(
    class T { CHAR16 a; Boolean b; sint8 c; uint8 d; sint16 e; uint16 f; sint32 g; uint32 h;
              sint64 i; uint64 j; real32 k; real64 l; DateTime m; object n; String o; T REF p; uint8 q[]; };)");
  const auto t = repository->find("root\\cimv2", "t");
  ASSERT_TRUE(t);
  const std::vector<CIMTYPE> expected{CIM_CHAR16,
                                      CIM_BOOLEAN,
                                      CIM_SINT8,
                                      CIM_UINT8,
                                      CIM_SINT16,
                                      CIM_UINT16,
                                      CIM_SINT32,
                                      CIM_UINT32,
                                      CIM_SINT64,
                                      CIM_UINT64,
                                      CIM_REAL32,
                                      CIM_REAL64,
                                      CIM_DATETIME,
                                      CIM_OBJECT,
                                      CIM_STRING,
                                      CIM_REFERENCE,
                                      CIM_UINT8 | CIM_FLAG_ARRAY};
  ASSERT_EQ(t->properties.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) EXPECT_EQ(t->properties[i].type, expected[i]) << i;
}

TEST(MofRepository, QualifiersWithValuesAndFlavorsAreAcceptedOnlyKeyAndProviderCount) {
  const auto repository = repositoryOf(R"(
    [dynamic, provider("a" "b"), description("x, y"): ToSubclass Amended, values{"1", "2"}, version(1.0)]
    class Q {
      [read, key(false), maxlen(64)] string NotKey;
      [Key, read] string IsKey;
    };)");
  const auto q = repository->find("root\\cimv2", "Q");
  ASSERT_TRUE(q);
  EXPECT_FALSE(property(*q, "NotKey").key);
  EXPECT_TRUE(property(*q, "IsKey").key);
  EXPECT_EQ(q->provider, "ab");
  // Their values as MOF writes them, strings joined and escaped again.
  EXPECT_EQ(qualifierTexts(q->qualifiers),
            (std::vector<std::string>{"dynamic", "provider(\"ab\")", "description(\"x, y\")", "values{\"1\", \"2\"}",
                                      "version(1.0)"}));
  EXPECT_EQ(qualifierTexts(property(*q, "NotKey").qualifiers), (std::vector<std::string>{"read", "maxlen(64)"}));
  EXPECT_EQ(qualifierTexts(property(*q, "IsKey").qualifiers), (std::vector<std::string>{"Key", "read"}));
}

TEST(MofRepository, PropertyQualifiersPassToSubclassesUnlessRestrictedAndTheNearestValueWins) {
  const auto repository = repositoryOf(R"(
    class Base {
      [description("base \"one\""), units("bytes"), secret: Restricted] uint64 Size;
    };
    class Derived : Base {
      [units("KiB"), key] uint64 Size;
    };
    class Leaf : Derived { };)");
  const auto derived = repository->find("root\\cimv2", "Derived");
  EXPECT_EQ(qualifierTexts(property(*derived, "Size").qualifiers),
            (std::vector<std::string>{"description(\"base \\\"one\\\"\")", "units(\"KiB\")", "key"}));
  EXPECT_EQ(qualifierTexts(property(*repository->find("root\\cimv2", "Leaf"), "Size").qualifiers),
            (std::vector<std::string>{"description(\"base \\\"one\\\"\")", "units(\"KiB\")", "key"}));
  EXPECT_EQ(qualifierTexts(property(*repository->find("root\\cimv2", "Base"), "Size").qualifiers),
            (std::vector<std::string>{"description(\"base \\\"one\\\"\")", "units(\"bytes\")", "secret"}));
}

TEST(MofRepository, AClassNamesOnlyItsOwnProvider) {
  const auto repository = repositoryOf(R"(
    [dynamic, Provider("Base")] class Base { [key] string Id; };
    class Derived : Base { };
    [provider("Other")] class Other : Base { };)");
  EXPECT_EQ(repository->find("root\\cimv2", "Base")->provider, "Base");
  EXPECT_EQ(repository->find("root\\cimv2", "Derived")->provider, "");
  EXPECT_EQ(repository->find("root\\cimv2", "Other")->provider, "Other");
  EXPECT_EQ(repository->find("root\\cimv2", "Other")->place, "test.mof:4");
}

TEST(MofRepository, ClassesOfANamespaceComeInNameOrder) {
  const auto repository = repositoryOf(R"(
    class b { }; class A { }; class C { };
    #pragma namespace("root\\other")
    class Aa { };)");
  std::vector<std::string> names;
  for (const auto& definition : repository->classes("ROOT\\CIMV2")) names.push_back(definition->name);
  EXPECT_EQ(names, (std::vector<std::string>{"A", "b", "C"}));
  EXPECT_EQ(repository->classes("root\\other").size(), 1u);
  EXPECT_TRUE(repository->classes("root").empty());
}

// Every kind of value, an alias used before and after its declaration, and
// the namespace of the pragma before each instance.
TEST(MofRepository, ReadsProviderRegistrationsWithTheirAliases) {
  const auto repository = repositoryOf(R"(
    #pragma namespace("\\\\.\\root\\cimv2")
    instance of __InstanceProviderRegistration
    {
      provider = $Early;
      SupportsGet = true;
      SupportsPut = FALSE;
      QuerySupportLevels = {"WQL:UnarySelect", "WQL:" "References"};
      InteractionType = NULL;
    };
    [locale(1033)] Instance Of __Win32Provider As $Early
    {
      Name = "early";
      CLSID = "{5a1e7c3d-0b94-4f2a-9c61-7d28e4b0a913}";
      ImpersonationLevel = 1;
      Version = 0x10;
      Pure = FALSE;
      UnloadTimeout = "00000000000500.000000:000";
    };
    #pragma namespace("\\\\.\\root\\other")
    instance of __Win32Provider as $Late { Name = "late"; };
    instance of __InstanceProviderRegistration { Provider = $LATE; QuerySupportLevels = {}; };)");

  const auto providers = repository->instances("root\\cimv2", "__WIN32PROVIDER");
  ASSERT_EQ(providers.size(), 1u);
  const MofInstance& early = *providers[0];
  EXPECT_EQ(early.alias, "Early");
  EXPECT_EQ(early.place(), "test.mof:11");
  EXPECT_EQ(early.value("name")->text, "early");
  EXPECT_EQ(early.value("ImpersonationLevel")->kind, MofInitializer::Kind::Number);
  EXPECT_EQ(early.value("Version")->text, "0x10");
  EXPECT_EQ(early.value("Pure")->kind, MofInitializer::Kind::Boolean);
  EXPECT_FALSE(early.value("Pure")->boolean);
  EXPECT_EQ(early.value("UnloadTimeout")->kind, MofInitializer::Kind::Text);
  EXPECT_EQ(early.value("HostingModel"), nullptr);

  const auto registrations = repository->instances("root\\cimv2", "__InstanceProviderRegistration");
  ASSERT_EQ(registrations.size(), 1u);
  const MofInstance& registration = *registrations[0];
  EXPECT_EQ(registration.value("Provider")->kind, MofInitializer::Kind::Alias);
  EXPECT_EQ(registration.value("Provider")->instance, &early);
  EXPECT_TRUE(registration.value("SupportsGet")->boolean);
  const MofInitializer* levels = registration.value("QuerySupportLevels");
  ASSERT_EQ(levels->kind, MofInitializer::Kind::Array);
  ASSERT_EQ(levels->elements.size(), 2u);
  EXPECT_EQ(levels->elements[1].text, "WQL:References");
  EXPECT_EQ(registration.value("InteractionType")->kind, MofInitializer::Kind::Null);

  const auto other = repository->instances("root\\other", "__InstanceProviderRegistration");
  ASSERT_EQ(other.size(), 1u);
  EXPECT_EQ(other[0]->value("Provider")->instance->value("Name")->text, "late");
  EXPECT_TRUE(other[0]->value("QuerySupportLevels")->elements.empty());
  EXPECT_TRUE(repository->instances("root\\other", "Korvex_Disk").empty());
}

// An alias names an instance of its own file: the same alias in two files
// names two instances.
TEST(MofRepository, AnAliasBelongsToItsFile) {
  ClassRepository repository;
  for (const char* name : {"one", "two"}) {
    repository.loadText(std::string("instance of __Win32Provider as $P { Name = \"") + name +
                            "\"; };\ninstance of __InstanceProviderRegistration { Provider = $P; };",
                        std::string(name) + ".mof");
  }
  const auto registrations = repository.instances("root\\cimv2", "__InstanceProviderRegistration");
  ASSERT_EQ(registrations.size(), 2u);
  EXPECT_EQ(registrations[0]->value("Provider")->instance->value("Name")->text, "one");
  EXPECT_EQ(registrations[1]->value("Provider")->instance->value("Name")->text, "two");
  EXPECT_EQ(errorOf("instance of __InstanceProviderRegistration {\n  Provider = $P;\n};"),
            "test.mof:2: unknown alias $P");
}

TEST(MofRepository, InstanceRefusalsNameFileAndLine) {
  const std::pair<std::string_view, std::string_view> refusals[] = {
      {"\ninstance of Korvex_Disk { };",
       "test.mof:2: instance of Korvex_Disk: the repository keeps instances of __Win32Provider and "
       "__InstanceProviderRegistration only"},
      {"instance of __Win32Provider {\n  Nmae = \"x\";\n};",
       "test.mof:2: Nmae is no property of __Win32Provider"},
      {"instance of __Win32Provider {\n  ImpersonationLevel = \"1\";\n};",
       "test.mof:2: property ImpersonationLevel of __Win32Provider is a sint32, not text"},
      {"instance of __Win32Provider { Name = 5; };",
       "test.mof:1: property Name of __Win32Provider is a string, not a number"},
      {"instance of __Win32Provider as $P { Name = $P; };",
       "test.mof:1: property Name of __Win32Provider is a string, not an alias"},
      {"instance of __Win32Provider { Pure = {TRUE}; };",
       "test.mof:1: property Pure of __Win32Provider is a boolean, not an array"},
      {"instance of __InstanceProviderRegistration { QuerySupportLevels = \"WQL\"; };",
       "test.mof:1: property QuerySupportLevels of __InstanceProviderRegistration is a string[], not text"},
      {"instance of __InstanceProviderRegistration { QuerySupportLevels = {\"a\", 1}; };",
       "test.mof:1: property QuerySupportLevels of __InstanceProviderRegistration is a string[], not an array "
       "holding a number"},
      {"instance of __InstanceProviderRegistration { SupportsGet = TRUE; };\n"
       "instance of __InstanceProviderRegistration { SupportsGet = 1; };",
       "test.mof:2: property SupportsGet of __InstanceProviderRegistration is a boolean, not a number"},
      {"instance of __InstanceProviderRegistration { QuerySupportLevels = {NULL}; };",
       "test.mof:1: the array of property QuerySupportLevels holds only text, numbers, TRUE and FALSE"},
      {"instance of __InstanceProviderRegistration { QuerySupportLevels = {{\"a\"}}; };",
       "test.mof:1: expected a value for property QuerySupportLevels"},
      {"instance of __Win32Provider as $P { };\ninstance of __Win32Provider as $p { };",
       "test.mof:2: alias $p declared twice"},
      {"instance of __Win32Provider { Name = \"a\"; name = \"b\"; };",
       "test.mof:1: property name given twice"},
      {"instance __Win32Provider { };",
       "test.mof:1: expected 'of' after 'instance'"},
      {"instance of __Win32Provider as P { };",
       "test.mof:1: expected an alias ($name) after 'as'"},
      {"instance of __Win32Provider { Name \"a\"; };",
       "test.mof:1: expected '=' after property Name"},
      {"instance of __Win32Provider { Name = ; };",
       "test.mof:1: expected a value for property Name"},
      {"instance of __Win32Provider { Name = \"a\" };",
       "test.mof:1: expected ';' after the value of property Name"},
      {"instance of __Win32Provider { }",
       "test.mof:1: expected ';' after the instance of __Win32Provider"},
      {"[dynamic] widget W { };",
       "test.mof:1: expected 'class' or 'instance' to begin a declaration"},
  };
  for (const auto& [mof, error] : refusals) EXPECT_EQ(errorOf(mof), error) << mof;
}

TEST(MofRepository, DerivedClassesInheritTheirBaseProperties) {
  const auto repository = repositoryOf(R"(
    class Base { [key] string Id; string Common; };
    class Derived : Base { [key] string Common; uint32 Extra; };)");
  const auto derived = repository->find("root\\cimv2", "Derived");
  ASSERT_TRUE(derived);
  EXPECT_EQ(derived->superclass, "Base");
  ASSERT_EQ(derived->properties.size(), 3u);
  EXPECT_EQ(derived->properties[0].origin, "Base");
  EXPECT_TRUE(property(*derived, "Common").key);  // redeclared as a key
  EXPECT_EQ(property(*derived, "Extra").origin, "Derived");
  EXPECT_FALSE(property(*repository->find("root\\cimv2", "Base"), "Common").key);
}

TEST(MofRepository, ClassesKeepTheirQualifierNamesAndBaseClassesWithTheirBases) {
  const auto repository = repositoryOf(R"(
    [Abstract, description("links"), version(2): ToSubclass, locale(1): Restricted] class Link { };
    [Association, dynamic(false)] class Uses : Link { };
    class Plain { };
    [singleton] class Special : Uses { };)");
  const auto special = repository->find("root\\cimv2", "special");
  ASSERT_TRUE(special);
  EXPECT_EQ(special->derivation, (std::vector<std::string>{"Uses", "Link"}));
  EXPECT_EQ(qualifierTexts(special->qualifiers),
            (std::vector<std::string>{"singleton", "Association", "description(\"links\")", "version(2)"}));
  EXPECT_TRUE(repository->find("root\\cimv2", "Link")->hasQualifier("abstract"));
  EXPECT_TRUE(repository->find("root\\cimv2", "Link")->hasQualifier("Locale"));
  EXPECT_TRUE(special->hasQualifier("ASSOCIATION"));
  EXPECT_FALSE(special->hasQualifier("dynamic"));  // written FALSE
  EXPECT_TRUE(special->isA("special"));
  EXPECT_TRUE(special->isA("LINK"));
  EXPECT_FALSE(special->isA("Plain"));
  EXPECT_FALSE(repository->find("root\\cimv2", "Link")->isA("Uses"));
  EXPECT_TRUE(repository->find("root\\cimv2", "Plain")->qualifiers.empty());
}

TEST(MofRepository, ClassesOfANamespaceAreListedByName) {
  const auto repository = repositoryOf(R"(
    class b { }; class A { }; class C : A { };
    #pragma namespace("\\\\.\\root\\cimv2\\more")
    class Elsewhere { };)");
  std::vector<std::string> names;
  for (const auto& definition : repository->classes("ROOT/cimv2")) names.push_back(definition->name);
  EXPECT_EQ(names, (std::vector<std::string>{"A", "b", "C"}));
  EXPECT_EQ(repository->classes("root\\cimv2\\more").size(), 1u);
  EXPECT_TRUE(repository->classes("root\\nothing").empty());
}

// A class keeps only its own properties and gets the inherited ones when it
// is asked for: a chain at the depth limit with thousands of classes beside
// it once took the host hundreds of megabytes (thousands of classes deep,
// gigabytes).
TEST(MofRepository, LongChainsAndManyPropertiesLoadInProportionToTheirText) {
  std::string mof = "class C0 { [key] string P0; };\n";
  for (std::size_t i = 1; i < ClassRepository::kMaxDerivationDepth; ++i) {
    mof += "class C" + std::to_string(i) + " : C" + std::to_string(i - 1) + " { string P" + std::to_string(i) + "; ";
    if (i == 100) mof += "[key] string P50; ";
    mof += "};\n";
  }
  for (int i = 0; i < 5000; ++i) mof += "class S" + std::to_string(i) + " : C255 { uint32 X; };\n";
  mof += "class Wide {";
  for (int i = 0; i < 20000; ++i) mof += " string P" + std::to_string(i) + ";";
  mof += " };\n";

  const auto repository = repositoryOf(mof);
  const auto deepest = repository->find("root\\cimv2", "S4999");
  ASSERT_TRUE(deepest);
  ASSERT_EQ(deepest->properties.size(), 257u);
  EXPECT_EQ(deepest->properties[50].name, "P50");
  EXPECT_EQ(deepest->properties[50].origin, "C50");
  EXPECT_TRUE(deepest->properties[50].key);  // made a key further down
  EXPECT_FALSE(property(*repository->find("root\\cimv2", "C99"), "P50").key);
  EXPECT_EQ(deepest->properties[256].origin, "S4999");
  EXPECT_EQ(repository->find("root\\cimv2", "Wide")->properties.size(), 20000u);

  EXPECT_EQ(errorOf(mof + "class Deeper : C255 { };\nclass Deepest : Deeper { };"),
            "test.mof:5259: class Deepest derives through more than 256 base classes");
}

TEST(MofRepository, NamespacesComeFromThePragmaAndCompareLoosely) {
  const auto repository = repositoryOf(R"(
    class InDefault { string A; };
    #pragma namespace("\\\\.\\Root\\Korvex")
    class InKorvex { string A; };)");
  EXPECT_TRUE(repository->find("ROOT/CIMV2", "indefault"));
  EXPECT_TRUE(repository->find("root\\korvex", "InKorvex"));
  EXPECT_TRUE(repository->find("//./root/korvex", "InKorvex"));
  EXPECT_TRUE(repository->find("\\\\.\\root\\korvex\\", "InKorvex"));
  EXPECT_EQ(repository->find("root\\korvex", "InKorvex")->nameSpace, "Root\\Korvex");
  EXPECT_FALSE(repository->find("root\\cimv2", "InKorvex"));
  EXPECT_FALSE(repository->find("root\\korvex", "InDefault"));
}

TEST(MofRepository, CommentsOfBothFormsAreSkippedAndLinesCounted) {
  EXPECT_EQ(errorOf("// one\n/* two\nthree */ class A {\n  string X;\n  string Y\n};"),
            "test.mof:6: expected ';' after property Y");
}

TEST(MofRepository, RefusalsNameFileAndLine) {
  EXPECT_EQ(errorOf("class A {\n  widget W;\n};"), "test.mof:2: unknown type 'widget'");
  EXPECT_EQ(errorOf("class A {\n  uint32 W = 5;\n};"), "test.mof:2: default values are not supported (property W)");
  EXPECT_EQ(errorOf("class A {\n  uint32 M();\n};"), "test.mof:2: methods are not supported (M)");
  EXPECT_EQ(errorOf("class A {\n  uint32 W[4];\n};"),
            "test.mof:2: expected ']' after '[': only arrays without a size are supported");
  EXPECT_EQ(errorOf("class A { string X; }"), "test.mof:1: expected ';' after the body of class A");
  EXPECT_EQ(errorOf("class A { string X; string x; };"), "test.mof:1: property x declared twice");
  EXPECT_EQ(errorOf("\n\nclass B : Missing { };"), "test.mof:3: unknown base class Missing");
  EXPECT_EQ(errorOf("class A { };\nclass a { };"), "test.mof:2: class a defined twice");
  EXPECT_EQ(errorOf("class A { string X; };\nclass B : A { uint32 X; };"),
            "test.mof:2: class B changes the type of property X of A");
  EXPECT_EQ(errorOf("#pragma include(\"x.mof\")"), "test.mof:1: unsupported pragma 'include'");
  EXPECT_EQ(errorOf("class A {\n string S; /* open"), "test.mof:2: unterminated comment");
  EXPECT_EQ(errorOf("[description(\"open\n] class A { };"), "test.mof:1: unterminated string");
  EXPECT_EQ(errorOf("class A { string $; };"), "test.mof:1: unexpected character '$'");
}

TEST(MofRepository, AFailedFileAddsNoneOfItsDeclarations) {
  ClassRepository repository;
  EXPECT_THROW(repository.loadText("class Good { string A; };\nclass Bad : Nowhere { };", "bad.mof"), MofError);
  EXPECT_FALSE(repository.find("root\\cimv2", "Good"));
  EXPECT_THROW(repository.loadText("class Good { string A; };\ninstance of __Win32Provider { Name = \"a\"; };\n"
                                   "instance of __InstanceProviderRegistration { Provider = $Missing; };",
                                   "bad.mof"),
               MofError);
  EXPECT_FALSE(repository.find("root\\cimv2", "Good"));
  EXPECT_TRUE(repository.instances("root\\cimv2", "__Win32Provider").empty());
}

TEST(MofRepository, AFolderLoadsItsMofFilesInNameOrder) {
  const std::string folder = qrv::test::makeTempDir("wmihost-mof");
  qrv::test::writeFile(folder + "/b.MOF", "class Derived : Base { string B; };");
  qrv::test::writeFile(folder + "/a.mof", "class Base { string A; };");
  qrv::test::writeFile(folder + "/c.txt", "not MOF at all");
  ClassRepository repository;
  repository.load(folder);
  EXPECT_TRUE(repository.find("root\\cimv2", "Derived"));

  qrv::test::writeFile(folder + "/0.mof", "\nclass Broken {");
  ClassRepository another;
  try {
    another.load(folder);
    ADD_FAILURE() << "the broken file was accepted";
  } catch (const MofError& error) {
    EXPECT_EQ(std::string(error.what()), folder + "/0.mof:2: expected a property type or '}'");
  }
  qrv::test::removeTree(folder);
  EXPECT_THROW(ClassRepository().load(folder + "/missing.mof"), std::runtime_error);
}

}  // namespace
}  // namespace wmihost::test
