// Class objects and instances: Get, spawned defaults, clones, name
// enumeration, system properties, object text and reference counts.

#include <gtest/gtest.h>

#include "common/com/Bstr.h"
#include "common/com/TextConversion.h"
#include "host/cim/ObjectText.h"
#include "tests/host/cim/HostTestUtil.h"

namespace wmihost::test {

using qrv::com::Bstr;
using qrv::com::ComPtr;
using qrv::com::Variant;
using qrv::com::toUtf8;
using qrv::com::toWide;
namespace {

constexpr std::string_view kClasses = R"(
  class Base { [key] string Id; uint32 Size; };
  class Disk : Base { [key] sint32 Slot; string Labels[]; Base ref Parent; object Details; boolean Ok; };
  class Plain { string Text; };)";

class WbemObjectTest : public ::testing::Test {
 protected:
  std::shared_ptr<ClassRepository> repository = repositoryOf(kClasses);
  ComPtr<WbemObject> disk = classOf(*repository, "Disk");
};

std::vector<std::string> namesOf(IWbemClassObject* object, LONG flags) {
  SAFEARRAY* names = nullptr;
  EXPECT_EQ(object->GetNames(nullptr, flags, nullptr, &names), S_OK);
  std::vector<std::string> result;
  for (LONG i = 0; names && i < static_cast<LONG>(names->rgsabound[0].cElements); ++i) {
    Bstr name;
    SafeArrayGetElement(names, &i, name.put());
    result.push_back(toUtf8(name.view()));
  }
  SafeArrayDestroy(names);
  return result;
}

TEST_F(WbemObjectTest, GetGivesTheCimTypeAndNullForUnsetValues) {
  Variant value;
  CIMTYPE type = 0;
  LONG flavor = -1;
  ASSERT_EQ(disk->Get(u"labels", 0, value.put(), &type, &flavor), S_OK);
  EXPECT_EQ(value->vt, VT_NULL);
  EXPECT_EQ(type, CIM_STRING | CIM_FLAG_ARRAY);
  EXPECT_EQ(flavor, WBEM_FLAVOR_ORIGIN_LOCAL);
  ASSERT_EQ(disk->Get(u"Size", 0, nullptr, &type, &flavor), S_OK);
  EXPECT_EQ(type, CIM_UINT32);
  EXPECT_EQ(flavor, WBEM_FLAVOR_ORIGIN_PROPAGATED);
  EXPECT_EQ(disk->Get(u"Parent", 0, nullptr, &type, nullptr), S_OK);
  EXPECT_EQ(type, CIM_REFERENCE);
  EXPECT_EQ(disk->Get(u"Nothing", 0, value.put(), &type, nullptr), hr(WBEM_E_NOT_FOUND));
  EXPECT_EQ(disk->Get(nullptr, 0, value.put(), &type, nullptr), hr(WBEM_E_INVALID_PARAMETER));
}

// U+0153 and U+0149 end in the bytes of 'S' and 'I': only whole ASCII units
// spell a name.
TEST_F(WbemObjectTest, NamesBeyondAsciiMatchNoProperty) {
  Variant value;
  EXPECT_EQ(disk->Get(u"\u0153ize", 0, value.put(), nullptr, nullptr), hr(WBEM_E_NOT_FOUND));
  EXPECT_EQ(disk->Get(u"S\u0149ze", 0, value.put(), nullptr, nullptr), hr(WBEM_E_NOT_FOUND));
  EXPECT_EQ(disk->Get(u"__GENU\u0153", 0, value.put(), nullptr, nullptr), hr(WBEM_E_NOT_FOUND));
  EXPECT_EQ(disk->Put(u"\u0153ize", 0, value.get(), 0), hr(WBEM_E_NOT_FOUND));
  EXPECT_EQ(disk->Get(u"sIZE", 0, value.put(), nullptr, nullptr), S_OK);
}

TEST(Text, ConvertsBetweenUtf8AndUtf16BeyondAscii) {
  EXPECT_EQ(toWide("a\xC3\xA9\xF0\x9F\x92\xBE"), u"a\u00E9\U0001F4BE");
  EXPECT_EQ(toUtf8(u"a\u00E9\U0001F4BE"), "a\xC3\xA9\xF0\x9F\x92\xBE");
  EXPECT_EQ(toUtf8(u"\u0132"), "\xC4\xB2");
  EXPECT_EQ(toWide("\x7F\xFF"), u"\x7F\uFFFD");
  EXPECT_EQ(toUtf8(std::u16string_view()), "");
}

TEST_F(WbemObjectTest, SystemPropertiesDescribeTheObject) {
  EXPECT_EQ(get(disk.get(), u"__GENUS")->lVal, WBEM_GENUS_CLASS);
  EXPECT_EQ(textOf(get(disk.get(), u"__CLASS")), u"Disk");
  EXPECT_EQ(textOf(get(disk.get(), u"__superclass")), u"Base");
  EXPECT_EQ(textOf(get(disk.get(), u"__NAMESPACE")), u"root\\cimv2");
  EXPECT_EQ(textOf(get(disk.get(), u"__RELPATH")), u"Disk");
  EXPECT_EQ(get(classOf(*repository, "Base").get(), u"__SUPERCLASS")->vt, VT_NULL);

  const auto instance = spawn(disk.get());
  EXPECT_EQ(get(instance.get(), u"__GENUS")->lVal, WBEM_GENUS_INSTANCE);
  putText(instance.get(), u"Id", u"a\"b\\c");
  EXPECT_EQ(get(instance.get(), u"__RELPATH")->vt, VT_NULL);  // Slot is still unset
  putText(instance.get(), u"Slot", u"-3");
  EXPECT_EQ(textOf(get(instance.get(), u"__RELPATH")), u"Disk.Id=\"a\\\"b\\\\c\",Slot=-3");
  EXPECT_EQ(textOf(get(spawn(classOf(*repository, "Plain").get()).get(), u"__RELPATH")), u"Plain=@");
}

TEST_F(WbemObjectTest, SystemPropertiesTellTheDerivationCountAndFullPath) {
  EXPECT_EQ(textOf(get(disk.get(), u"__DYNASTY")), u"Base");
  EXPECT_EQ(textOf(get(classOf(*repository, "Plain").get(), u"__Dynasty")), u"Plain");
  CIMTYPE type = 0;
  Variant count;
  ASSERT_EQ(disk->Get(u"__PROPERTY_COUNT", 0, count.put(), &type, nullptr), S_OK);
  EXPECT_EQ(type, CIM_SINT32);
  EXPECT_EQ(count->lVal, 7);
  Variant derivation;
  ASSERT_EQ(disk->Get(u"__DERIVATION", 0, derivation.put(), &type, nullptr), S_OK);
  EXPECT_EQ(type, CIM_STRING | CIM_FLAG_ARRAY);
  ASSERT_EQ(derivation->vt, VT_ARRAY | VT_BSTR);
  ASSERT_EQ(derivation->parray->rgsabound[0].cElements, 1u);
  LONG first = 0;
  Bstr base;
  SafeArrayGetElement(derivation->parray, &first, base.put());
  EXPECT_EQ(base.view(), u"Base");
  EXPECT_EQ(get(classOf(*repository, "Plain").get(), u"__DERIVATION")->parray->rgsabound[0].cElements, 0u);

  // The server is a NetBIOS name: upper case, one label, at most 15 characters.
  const std::u16string server = textOf(get(disk.get(), u"__SERVER"));
  EXPECT_FALSE(server.empty());
  EXPECT_LE(server.size(), 15u);
  for (const char16_t c : server) EXPECT_TRUE(c != u'.' && !(c >= u'a' && c <= u'z')) << toUtf8(server);
  const auto instance = spawn(disk.get());
  EXPECT_EQ(get(instance.get(), u"__PATH")->vt, VT_NULL);
  putText(instance.get(), u"Id", u"x");
  putText(instance.get(), u"Slot", u"2");
  EXPECT_EQ(textOf(get(instance.get(), u"__path")), u"\\\\" + server + u"\\root\\cimv2:Disk.Id=\"x\",Slot=2");
  EXPECT_EQ(textOf(get(disk.get(), u"__PATH")), u"\\\\" + server + u"\\root\\cimv2:Disk");
}

TEST_F(WbemObjectTest, SpawnedInstancesAreIndependentOfEachOtherAndOfTheClass) {
  const auto first = spawn(disk.get());
  const auto second = spawn(disk.get());
  ASSERT_TRUE(first && second);
  EXPECT_EQ(putText(first.get(), u"Id", u"one"), S_OK);
  EXPECT_EQ(get(second.get(), u"Id")->vt, VT_NULL);
  EXPECT_EQ(get(disk.get(), u"Id")->vt, VT_NULL);
  EXPECT_EQ(get(spawn(disk.get()).get(), u"Id")->vt, VT_NULL);
}

TEST_F(WbemObjectTest, ADefaultPutOnTheClassReachesLaterInstances) {
  ASSERT_EQ(putText(disk.get(), u"Size", u"10"), S_OK);
  EXPECT_EQ(get(spawn(disk.get()).get(), u"Size")->lVal, 10);
  // A fresh class object from the repository has no such default.
  EXPECT_EQ(get(spawn(classOf(*repository, "Disk").get()).get(), u"Size")->vt, VT_NULL);
}

TEST_F(WbemObjectTest, OnlyAClassSpawnsInstances) {
  const auto instance = spawn(disk.get());
  ComPtr<IWbemClassObject> again;
  EXPECT_EQ(instance->SpawnInstance(0, again.put()), hr(WBEM_E_INVALID_OPERATION));
  EXPECT_EQ(disk->SpawnInstance(1, again.put()), hr(WBEM_E_INVALID_PARAMETER));
}

TEST_F(WbemObjectTest, AClonesValuesAreItsOwn) {
  const auto instance = spawn(disk.get());
  putText(instance.get(), u"Id", u"original");
  ComPtr<IWbemClassObject> copy;
  ASSERT_EQ(instance->Clone(copy.put()), S_OK);
  EXPECT_EQ(textOf(get(copy.get(), u"Id")), u"original");
  putText(copy.get(), u"Id", u"changed");
  EXPECT_EQ(textOf(get(instance.get(), u"Id")), u"original");
  EXPECT_EQ(get(copy.get(), u"__GENUS")->lVal, WBEM_GENUS_INSTANCE);
}

TEST_F(WbemObjectTest, GetNamesFiltersBySystemOriginKeysAndReferences) {
  const std::vector<std::string> system{"__GENUS",      "__CLASS",  "__SUPERCLASS", "__DYNASTY", "__RELPATH",
                                        "__PROPERTY_COUNT", "__DERIVATION", "__SERVER", "__NAMESPACE", "__PATH"};
  const std::vector<std::string> own{"Id", "Size", "Slot", "Labels", "Parent", "Details", "Ok"};
  std::vector<std::string> all = system;
  all.insert(all.end(), own.begin(), own.end());
  EXPECT_EQ(namesOf(disk.get(), WBEM_FLAG_ALWAYS), all);
  EXPECT_EQ(namesOf(disk.get(), WBEM_FLAG_NONSYSTEM_ONLY), own);
  EXPECT_EQ(namesOf(disk.get(), WBEM_FLAG_SYSTEM_ONLY), system);
  EXPECT_EQ(namesOf(disk.get(), WBEM_FLAG_KEYS_ONLY), (std::vector<std::string>{"Id", "Slot"}));
  EXPECT_EQ(namesOf(disk.get(), WBEM_FLAG_REFS_ONLY), (std::vector<std::string>{"Parent"}));
  EXPECT_EQ(namesOf(disk.get(), WBEM_FLAG_PROPAGATED_ONLY), (std::vector<std::string>{"Id", "Size"}));
  EXPECT_EQ(namesOf(disk.get(), WBEM_FLAG_LOCAL_ONLY | WBEM_FLAG_KEYS_ONLY), (std::vector<std::string>{"Slot"}));

  SAFEARRAY* names = nullptr;
  EXPECT_EQ(disk->GetNames(nullptr, 0x70, nullptr, &names), hr(WBEM_E_INVALID_PARAMETER));
  EXPECT_EQ(disk->GetNames(u"key", WBEM_FLAG_ONLY_IF_TRUE, nullptr, &names), hr(WBEM_E_NOT_SUPPORTED));
}

TEST_F(WbemObjectTest, NextWalksTheSelectedPropertiesWithTheirValues) {
  const auto instance = spawn(disk.get());
  putText(instance.get(), u"Slot", u"4");
  EXPECT_EQ(instance->Next(0, nullptr, nullptr, nullptr, nullptr), hr(WBEM_E_UNEXPECTED));
  ASSERT_EQ(instance->BeginEnumeration(WBEM_FLAG_KEYS_ONLY), S_OK);
  Bstr name;
  Variant value;
  CIMTYPE type = 0;
  ASSERT_EQ(instance->Next(0, name.put(), value.put(), &type, nullptr), S_OK);
  EXPECT_EQ(name.view(), u"Id");
  EXPECT_EQ(value->vt, VT_NULL);
  ASSERT_EQ(instance->Next(0, name.put(), value.put(), &type, nullptr), S_OK);
  EXPECT_EQ(name.view(), u"Slot");
  EXPECT_EQ(value->lVal, 4);
  EXPECT_EQ(type, CIM_SINT32);
  EXPECT_EQ(instance->Next(0, name.put(), value.put(), &type, nullptr), hr(WBEM_S_NO_MORE_DATA));
  EXPECT_EQ(instance->EndEnumeration(), S_OK);
  EXPECT_EQ(instance->Next(0, nullptr, nullptr, nullptr, nullptr), hr(WBEM_E_UNEXPECTED));
}

TEST_F(WbemObjectTest, ObjectTextOfAnInstanceListsItsSetValuesInMof) {
  const auto instance = spawn(disk.get());
  putText(instance.get(), u"Id", u"say \"hi\"");
  putText(instance.get(), u"Ok", u"true");
  putText(instance.get(), u"Size", u"4294967295");
  const auto embedded = spawn(classOf(*repository, "Plain").get());
  putText(embedded.get(), u"Text", u"inner");
  Variant details;
  details.put()->punkVal = ComPtr<IWbemClassObject>(embedded).detach();
  details.get()->vt = VT_UNKNOWN;
  instance->Put(u"Details", 0, details.get(), 0);

  Bstr text;
  ASSERT_EQ(instance->GetObjectText(0, text.put()), S_OK);
  EXPECT_EQ(toUtf8(text.view()),
            "\ninstance of Disk\n{\n\tId = \"say \\\"hi\\\"\";\n\tSize = 4294967295;\n"
            "\tDetails = instance of Plain\n{\n\tText = \"inner\";\n};\n\tOk = TRUE;\n};\n");
}

TEST_F(WbemObjectTest, ObjectTextOfAClassDeclaresItsProperties) {
  putText(disk.get(), u"Size", u"3");
  EXPECT_EQ(objectText(*disk),
            "\nclass Disk : Base\n{\n\t[key] string Id;\n\tuint32 Size = 3;\n\t[key] sint32 Slot;\n"
            "\tstring Labels[];\n\tBase ref Parent;\n\tobject Details;\n\tboolean Ok;\n};\n");
}

TEST_F(WbemObjectTest, ObjectTextWritesArraysInBraces) {
  const auto instance = spawn(disk.get());
  Variant labels;
  VARIANT* raw = labels.put();
  raw->parray = SafeArrayCreateVector(VT_BSTR, 0, 2);
  raw->vt = VT_ARRAY | VT_BSTR;
  for (LONG i = 0; i < 2; ++i) {
    const Bstr element(i ? std::u16string_view(u"b") : std::u16string_view(u"a"));
    SafeArrayPutElement(raw->parray, &i, element.get());
  }
  ASSERT_EQ(instance->Put(u"Labels", 0, labels.get(), 0), S_OK);
  EXPECT_NE(objectText(*WbemObject::from(instance.get())).find("\tLabels = {\"a\", \"b\"};\n"), std::string::npos);
}

TEST_F(WbemObjectTest, TheAccessorsReadTheStoredValues) {
  const auto instance = spawn(disk.get());
  putText(instance.get(), u"Slot", u"9");
  const WbemObject* object = WbemObject::from(instance.get());
  ASSERT_NE(object, nullptr);
  EXPECT_TRUE(object->isInstance());
  EXPECT_EQ(object->definition().name, "Disk");
  const std::size_t slot = object->definition().indexOf("slot").value();
  EXPECT_EQ(object->value(slot).vt, VT_I4);
  EXPECT_EQ(object->value(slot).lVal, 9);
  EXPECT_EQ(object->value(0).vt, VT_NULL);
}

TEST_F(WbemObjectTest, ReferencesAreCountedAndTheLastReleaseFreesTheObject) {
  IWbemClassObject* instance = nullptr;
  ASSERT_EQ(disk->SpawnInstance(0, &instance), S_OK);
  EXPECT_EQ(instance->AddRef(), 2u);
  IUnknown* unknown = nullptr;
  ASSERT_EQ(instance->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&unknown)), S_OK);
  EXPECT_EQ(unknown->Release(), 2u);
  void* services = nullptr;
  EXPECT_EQ(instance->QueryInterface(IID_IWbemServices, &services), E_NOINTERFACE);
  EXPECT_EQ(services, nullptr);
  EXPECT_EQ(instance->Release(), 1u);
  EXPECT_EQ(instance->Release(), 0u);  // AddressSanitizer reports the object if it were not freed
}

TEST_F(WbemObjectTest, WhatTheStandInDoesNotOfferIsNotSupported) {
  IWbemQualifierSet* qualifiers = nullptr;
  EXPECT_EQ(disk->GetQualifierSet(&qualifiers), hr(WBEM_E_NOT_SUPPORTED));
  EXPECT_EQ(disk->Delete(u"Size"), hr(WBEM_E_NOT_SUPPORTED));
  EXPECT_EQ(disk->InheritsFrom(u"Base"), hr(WBEM_E_NOT_SUPPORTED));
  EXPECT_EQ(disk->BeginMethodEnumeration(0), hr(WBEM_E_NOT_SUPPORTED));
}

}  // namespace
}  // namespace wmihost::test
