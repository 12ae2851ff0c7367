// ASSOCIATORS OF and REFERENCES OF over the example deployment's classes and
// its two associations, answered from a test provider that serves a small
// inventory and records what it was asked: each WHERE keyword, paths as WMI
// compares them, the get or enumeration of the other ends, and failures.

#include <gtest/gtest.h>

#include <string>
#include <variant>
#include <vector>

#include "common/com/TextConversion.h"
#include "common/text/AsciiCase.h"
#include "host/cim/HostTestUtil.h"
#include "host/query/AssociationTraversal.h"
#include "host/query/QueryError.h"
#include "host/query/WqlParser.h"

namespace wmihost {
namespace {

using qrv::com::ComPtr;
using qrv::com::toUtf8;
using qrv::text::equalsIgnoringAsciiCase;

using Values = std::vector<std::pair<std::u16string, std::u16string>>;

class AssociationTraversalBase : public ::testing::Test {
 protected:
  // The deployment's classes, and a small inventory of them.
  void serveDeployment() {
    repository_->load(QRV_SOURCE_DIR "/deploy/mof/korvex.mof");
    for (const char16_t* disk : {u"sda", u"sdb"}) add("Korvex_Disk", {{u"DeviceID", disk}});
    for (const char16_t* partition : {u"sda1", u"sda2", u"sdb1"}) {
      add("Korvex_DiskPartition", {{u"DeviceID", partition}});
    }
    link(u"sda", u"sda1");
    link(u"sda", u"sda2");
    link(u"sdb", u"sdb1");
    add("Korvex_ComputerSystem", {{u"Name", u"kvx-db01"}});
    for (const auto& [name, architecture] : std::vector<std::pair<std::u16string, std::u16string>>{
             {u"korvex-agent", u"amd64"}, {u"quorvane-tools", u"all"}, {u"libquorvane1", u"i386"}}) {
      add("Korvex_Software", {{u"Name", name}, {u"Architecture", architecture}});
      add("Korvex_InstalledSoftware", {{u"System", u"Korvex_ComputerSystem.Name=\"kvx-db01\""},
                                       {u"Software", u"Korvex_Software.Name=\"" + name + u"\",Architecture=\"" +
                                                         architecture + u"\""}});
    }
  }

  // An association class with a base, which is abstract, between a class
  // and one derived from it: Uses links a to g, g to a and a to b, which is
  // missing.
  void serveDerivedClasses() {
    repository_->loadText(R"(
      class Thing { [key] string Id; };
      class Gadget : Thing { };
      [association, abstract] class Link { [key] Thing ref From; [key] Thing ref To; };
      [association] class Uses : Link { };)",
                          "derived.mof");
    add("Thing", {{u"Id", u"a"}});
    add("Gadget", {{u"Id", u"g"}});
    add("Uses", {{u"From", u"Thing.Id=\"a\""}, {u"To", u"Gadget.Id=\"g\""}});
    add("Uses", {{u"From", u"Gadget.Id=\"g\""}, {u"To", u"Thing.Id=\"a\""}});
    add("Uses", {{u"From", u"Thing.Id=\"a\""}, {u"To", u"Thing.Id=\"b\""}});
  }

  void add(const char* className, const Values& values) {
    auto instance = test::spawn(test::classOf(*repository_, className).get());
    for (const auto& [name, text] : values) ASSERT_EQ(test::putText(instance.get(), name, text), S_OK);
    instances_.push_back(instance);
  }

  // A Korvex_DiskPartitionOnDisk written as the deployment's stylesheet
  // writes it.
  void link(const std::u16string& disk, const std::u16string& partition) {
    add("Korvex_DiskPartitionOnDisk", {{u"Disk", u"Korvex_Disk.DeviceID=\"" + disk + u"\""},
                                       {u"Partition", u"Korvex_DiskPartition.DeviceID=\"" + partition + u"\""}});
  }

  // The test provider: every instance of the class; the instance the path
  // names, or WBEM_E_NOT_FOUND. It declines gets of the classes in
  // declinedGets_ and fails enumerations of those in failedEnumerations_.
  InstanceSource provider() {
    return {[this](const std::string& className, InstanceSource::Objects& delivered) {
              calls_.push_back("enum " + className);
              if (failedEnumerations_ == className) return static_cast<HRESULT>(WBEM_E_FAILED);
              for (const auto& instance : instances_) {
                if (equalsIgnoringAsciiCase(WbemObject::from(instance.get())->definition().name, className)) {
                  delivered.push_back(instance);
                }
              }
              return S_OK;
            },
            [this](const std::string& path, InstanceSource::Objects& delivered) {
              calls_.push_back("get " + path);
              const auto wanted = PathIdentity::ofPath(path, *repository_, "root\\cimv2");
              if (declinedGets_ == wanted->className()) return static_cast<HRESULT>(WBEM_E_NOT_SUPPORTED);
              for (const auto& instance : instances_) {
                if (PathIdentity::ofObject(*WbemObject::from(instance.get())) == *wanted) delivered.push_back(instance);
              }
              return delivered.empty() ? static_cast<HRESULT>(WBEM_E_NOT_FOUND) : S_OK;
            },
            {}};
  }

  AssociationAnswer run(const std::string& wql) {
    const auto query = std::get<AssociationQuery>(parseWqlStatement(wql));
    const auto identity = PathIdentity::ofPath(query.path, *repository_, "root\\cimv2");
    const auto sourceClass = repository_->find("root\\cimv2", identity->className());
    calls_.clear();
    return AssociationTraversal(query, *repository_, "root\\cimv2", *sourceClass, *identity).run(provider());
  }

  // What the query gives: each object's __RELPATH, a class as "class Name",
  // with its number of properties after a "/" where it is not the class's.
  std::string given(const std::string& wql) {
    const AssociationAnswer answer = run(wql);
    EXPECT_EQ(answer.result, S_OK) << wql << ": " << answer.detail;
    std::string text;
    for (const auto& object : answer.objects) {
      const WbemObject& own = *WbemObject::from(object.get());
      text += text.empty() ? "" : " | ";
      text += (own.isInstance() ? "" : "class ") + toUtf8(test::textOf(test::get(object.get(), u"__RELPATH")));
      const std::size_t properties = own.definition().properties.size();
      if (properties != repository_->find("root\\cimv2", own.definition().name)->properties.size()) {
        text += "/" + std::to_string(properties);
      }
    }
    return text;
  }

  std::string calls() const {
    std::string text;
    for (const std::string& call : calls_) text += (text.empty() ? "" : "; ") + call;
    return text;
  }

  std::shared_ptr<ClassRepository> repository_ = std::make_shared<ClassRepository>();
  std::vector<ComPtr<IWbemClassObject>> instances_;
  std::vector<std::string> calls_;
  std::string declinedGets_;
  std::string failedEnumerations_;
};

class AssociationTraversalTest : public AssociationTraversalBase {
 protected:
  void SetUp() override { serveDeployment(); }
};

class DerivedAssociationTest : public AssociationTraversalBase {
 protected:
  void SetUp() override { serveDerivedClasses(); }
};

const std::string kAllSoftware =
    "Korvex_Software.Architecture=\"amd64\",Name=\"korvex-agent\" | "
    "Korvex_Software.Architecture=\"all\",Name=\"quorvane-tools\" | "
    "Korvex_Software.Architecture=\"i386\",Name=\"libquorvane1\"";

TEST_F(AssociationTraversalTest, AssociatorsAreTheOtherEndsGotOnceEach) {
  EXPECT_EQ(given("ASSOCIATORS OF {Korvex_Disk.DeviceID=\"sda\"}"),
            "Korvex_DiskPartition.DeviceID=\"sda1\" | Korvex_DiskPartition.DeviceID=\"sda2\"");
  // Two ends of one class: one enumeration of it; the software association
  // cannot refer to a disk and is not asked.
  EXPECT_EQ(calls(), "enum Korvex_DiskPartitionOnDisk; enum Korvex_DiskPartition");

  // One end: one get, of the path as the association writes it.
  EXPECT_EQ(given("ASSOCIATORS OF {Korvex_DiskPartition.DeviceID=\"sda2\"}"), "Korvex_Disk.DeviceID=\"sda\"");
  EXPECT_EQ(calls(), "enum Korvex_DiskPartitionOnDisk; get Korvex_Disk.DeviceID=\"sda\"");

  EXPECT_EQ(given("ASSOCIATORS OF {Korvex_ComputerSystem.Name=\"kvx-db01\"}"), kAllSoftware);
  EXPECT_EQ(calls(), "enum Korvex_InstalledSoftware; enum Korvex_Software");
  EXPECT_EQ(given("ASSOCIATORS OF {Korvex_Software.Name=\"libquorvane1\",Architecture=\"i386\"}"),
            "Korvex_ComputerSystem.Name=\"kvx-db01\"");
  EXPECT_EQ(given("ASSOCIATORS OF {Korvex_Disk.DeviceID=\"sdz\"}"), "");
}

TEST_F(AssociationTraversalTest, TheSourcePathComparesAsWmiComparesPaths) {
  // Class and key names in any case, keys in any order, the one key
  // unnamed, a server and namespace before the class.
  EXPECT_EQ(given("ASSOCIATORS OF {korvex_software.ARCHITECTURE=\"i386\",name=\"libquorvane1\"}"),
            "Korvex_ComputerSystem.Name=\"kvx-db01\"");
  EXPECT_EQ(given("ASSOCIATORS OF {KORVEX_DISK=\"sdb\"}"), "Korvex_DiskPartition.DeviceID=\"sdb1\"");
  EXPECT_EQ(given("REFERENCES OF {\\\\.\\root\\cimv2:Korvex_Disk.DeviceID=\"sdb\"}"),
            "Korvex_DiskPartitionOnDisk.Disk=\"Korvex_Disk.DeviceID=\\\"sdb\\\"\","
            "Partition=\"Korvex_DiskPartition.DeviceID=\\\"sdb1\\\"\"");
  // Key values keep their case.
  EXPECT_EQ(given("ASSOCIATORS OF {Korvex_Disk.DeviceID=\"SDB\"}"), "");
}

TEST_F(AssociationTraversalTest, EachKeywordOfAssociatorsNarrowsTheEnds) {
  const std::string system = "ASSOCIATORS OF {Korvex_ComputerSystem.Name=\"kvx-db01\"} WHERE ";
  const std::pair<const char*, std::string> cases[] = {
      {"AssocClass = korvex_installedsoftware", kAllSoftware},
      {"AssocClass = Korvex_DiskPartitionOnDisk", ""},
      {"ResultClass = Korvex_Software", kAllSoftware},
      {"ResultClass = Korvex_Disk", ""},
      {"Role = System", kAllSoftware},
      {"Role = Software", ""},
      {"ResultRole = software", kAllSoftware},
      {"ResultRole = System", ""},
      {"RequiredQualifier = Dynamic", kAllSoftware},
      {"RequiredQualifier = association", ""},
      {"RequiredAssocQualifier = ASSOCIATION", kAllSoftware},
      {"RequiredAssocQualifier = singleton", ""},
      {"ClassDefsOnly", "class Korvex_Software"},
      {"KeysOnly ResultRole = Software",
       "Korvex_Software.Architecture=\"amd64\",Name=\"korvex-agent\"/2 | "
       "Korvex_Software.Architecture=\"all\",Name=\"quorvane-tools\"/2 | "
       "Korvex_Software.Architecture=\"i386\",Name=\"libquorvane1\"/2"},
  };
  for (const auto& [where, expected] : cases) EXPECT_EQ(given(system + where), expected) << where;

  // What the repository rules out asks the provider nothing; ClassDefsOnly
  // gets no end.
  given(system + "ResultClass = Korvex_Disk");
  EXPECT_EQ(calls(), "");
  given(system + "ClassDefsOnly");
  EXPECT_EQ(calls(), "enum Korvex_InstalledSoftware");
  given(system + "RequiredQualifier = association");
  EXPECT_EQ(calls(), "enum Korvex_InstalledSoftware");
}

TEST_F(AssociationTraversalTest, EachKeywordOfReferencesNarrowsTheAssociations) {
  const std::string disk = "REFERENCES OF {Korvex_Disk.DeviceID=\"sda\"}";
  const std::string both =
      "Korvex_DiskPartitionOnDisk.Disk=\"Korvex_Disk.DeviceID=\\\"sda\\\"\","
      "Partition=\"Korvex_DiskPartition.DeviceID=\\\"sda1\\\"\" | "
      "Korvex_DiskPartitionOnDisk.Disk=\"Korvex_Disk.DeviceID=\\\"sda\\\"\","
      "Partition=\"Korvex_DiskPartition.DeviceID=\\\"sda2\\\"\"";
  const std::pair<const char*, std::string> cases[] = {
      {"", both},
      {" WHERE ResultClass = Korvex_DiskPartitionOnDisk", both},
      {" WHERE ResultClass = Korvex_InstalledSoftware", ""},
      {" WHERE Role = disk", both},
      {" WHERE Role = Partition", ""},
      {" WHERE RequiredQualifier = Association", both},
      {" WHERE RequiredQualifier = abstract", ""},
      {" WHERE ClassDefsOnly", "class Korvex_DiskPartitionOnDisk"},
      {" WHERE KeysOnly", both},
  };
  for (const auto& [where, expected] : cases) EXPECT_EQ(given(disk + where), expected) << where;
  given(disk);
  EXPECT_EQ(calls(), "enum Korvex_DiskPartitionOnDisk");
}

TEST_F(AssociationTraversalTest, AnEndIsGivenOncePerAssociationAndAMissingOneIsLeftOut) {
  link(u"sdb", u"sdb1");
  link(u"sdb", u"sdb9");
  EXPECT_EQ(given("ASSOCIATORS OF {Korvex_Disk.DeviceID=\"sdb\"}"),
            "Korvex_DiskPartition.DeviceID=\"sdb1\" | Korvex_DiskPartition.DeviceID=\"sdb1\"");
  EXPECT_EQ(calls(), "enum Korvex_DiskPartitionOnDisk; enum Korvex_DiskPartition");
  EXPECT_EQ(given("ASSOCIATORS OF {Korvex_DiskPartition.DeviceID=\"sdb9\"}"), "Korvex_Disk.DeviceID=\"sdb\"");
  add("Korvex_DiskPartitionOnDisk", {{u"Disk", u"Korvex_Disk.DeviceID=\"sdq\""},
                                     {u"Partition", u"Korvex_DiskPartition.DeviceID=\"sdb1\""}});
  EXPECT_EQ(given("ASSOCIATORS OF {Korvex_DiskPartition.DeviceID=\"sdb1\"} WHERE ResultRole = Disk"),
            "Korvex_Disk.DeviceID=\"sdb\" | Korvex_Disk.DeviceID=\"sdb\"");
  EXPECT_EQ(calls(), "enum Korvex_DiskPartitionOnDisk; enum Korvex_Disk");
}

TEST_F(AssociationTraversalTest, AGetTheProviderDeclinesBecomesAnEnumeration) {
  declinedGets_ = "Korvex_Disk";
  EXPECT_EQ(given("ASSOCIATORS OF {Korvex_DiskPartition.DeviceID=\"sda1\"}"), "Korvex_Disk.DeviceID=\"sda\"");
  EXPECT_EQ(calls(), "enum Korvex_DiskPartitionOnDisk; get Korvex_Disk.DeviceID=\"sda\"; enum Korvex_Disk");
}

TEST_F(AssociationTraversalTest, AFailedEnumerationFailsTheQuery) {
  failedEnumerations_ = "Korvex_DiskPartitionOnDisk";
  AssociationAnswer answer = run("REFERENCES OF {Korvex_Disk.DeviceID=\"sda\"}");
  EXPECT_EQ(answer.result, static_cast<HRESULT>(WBEM_E_FAILED));
  EXPECT_EQ(answer.detail, "enumerating the association class Korvex_DiskPartitionOnDisk failed");
  failedEnumerations_ = "Korvex_DiskPartition";
  answer = run("ASSOCIATORS OF {Korvex_Disk.DeviceID=\"sda\"}");
  EXPECT_EQ(answer.result, static_cast<HRESULT>(WBEM_E_FAILED));
  EXPECT_EQ(answer.detail, "enumerating Korvex_DiskPartition failed");
  EXPECT_TRUE(answer.objects.empty());
}

TEST_F(AssociationTraversalTest, SchemaOnlyAnswersFromTheRepositoryForAClass) {
  EXPECT_EQ(given("ASSOCIATORS OF {Korvex_Disk} WHERE SchemaOnly"), "class Korvex_DiskPartition");
  EXPECT_EQ(given("ASSOCIATORS OF {Korvex_Software} WHERE SchemaOnly ResultRole = System"),
            "class Korvex_ComputerSystem");
  EXPECT_EQ(given("ASSOCIATORS OF {Korvex_Software} WHERE SchemaOnly ResultRole = Software"), "");
  EXPECT_EQ(given("ASSOCIATORS OF {Korvex_Software} WHERE SchemaOnly ResultClass = Korvex_ComputerSystem "
                  "RequiredQualifier = provider"),
            "class Korvex_ComputerSystem");
  EXPECT_EQ(given("ASSOCIATORS OF {Korvex_Software} WHERE SchemaOnly ResultClass = Korvex_Disk"), "");
  EXPECT_EQ(given("REFERENCES OF {Korvex_DiskPartition} WHERE SchemaOnly"), "class Korvex_DiskPartitionOnDisk");
  EXPECT_EQ(calls(), "");
  try {
    run("ASSOCIATORS OF {Korvex_Disk.DeviceID=\"sda\"} WHERE SchemaOnly");
    ADD_FAILURE() << "SchemaOnly took an instance";
  } catch (const QueryError& error) {
    EXPECT_STREQ(error.what(), "at position 17: SchemaOnly takes a class, not an instance, as the source");
  }
}

TEST_F(DerivedAssociationTest, ClassesMatchTheirDerivedClassesAndAbstractOnesAreNotEnumerated) {
  const std::string twice = "Gadget.Id=\"g\" | Gadget.Id=\"g\"";
  EXPECT_EQ(given("ASSOCIATORS OF {Thing.Id=\"a\"}"), twice);
  EXPECT_EQ(calls(), "enum Uses; get Gadget.Id=\"g\"; get Thing.Id=\"b\"");
  EXPECT_EQ(given("ASSOCIATORS OF {Thing.Id=\"a\"} WHERE AssocClass = Link ResultClass = Thing"), twice);
  EXPECT_EQ(given("ASSOCIATORS OF {Thing.Id=\"a\"} WHERE ResultClass = Gadget Role = To"), "Gadget.Id=\"g\"");
  EXPECT_EQ(given("ASSOCIATORS OF {Gadget.Id=\"g\"}"), "Thing.Id=\"a\" | Thing.Id=\"a\"");
  EXPECT_EQ(given("REFERENCES OF {Gadget.Id=\"g\"} WHERE ResultClass = Link ClassDefsOnly"), "class Uses");
  EXPECT_EQ(given("ASSOCIATORS OF {Thing} WHERE SchemaOnly"), "class Thing");
  EXPECT_EQ(given("ASSOCIATORS OF {Gadget} WHERE SchemaOnly ResultClass = Gadget"), "class Gadget");
  EXPECT_EQ(given("REFERENCES OF {Gadget} WHERE SchemaOnly"), "class Link | class Uses");
}

}  // namespace
}  // namespace wmihost
