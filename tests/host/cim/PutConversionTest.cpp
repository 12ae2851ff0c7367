// Put with type 0: text converted to each CIM type as WMI stores it, and
// refusals that leave the property as it was.

#include <gtest/gtest.h>

#include <cfloat>

#include "common/com/Bstr.h"
#include "common/com/TextConversion.h"
#include "host/cim/MofValue.h"
#include "tests/host/cim/HostTestUtil.h"

namespace wmihost::test {

using qrv::com::Bstr;
using qrv::com::ComPtr;
using qrv::com::Variant;
using qrv::com::toUtf8;
namespace {

constexpr std::string_view kTypes = R"(
  class AllTypes {
    [key] string Name; char16 C; boolean B; sint8 S8; uint8 U8; sint16 S16; uint16 U16; sint32 S32; uint32 U32;
    sint64 S64; uint64 U64; real32 R32; real64 R64; datetime When; object Embedded; AllTypes ref Self;
    string Texts[]; uint32 Counts[]; sint64 Bigs[]; boolean Flags[];
  };)";

class PutConversion : public ::testing::Test {
 protected:
  PutConversion() : classObject_(classOf(*repositoryOf(kTypes), "AllTypes")), instance(spawn(classObject_.get())) {}

  // Puts text and reads the property back.
  Variant putAndGet(std::u16string_view name, std::u16string_view text) {
    EXPECT_EQ(putText(instance.get(), name, text), S_OK) << toUtf8(name) << " = " << toUtf8(text);
    return get(instance.get(), name);
  }
  // Puts text that must be refused; the property must keep its value.
  void expectRefused(std::u16string_view name, std::u16string_view text) {
    const std::string before = valueText(name);
    EXPECT_EQ(putText(instance.get(), name, text), hr(WBEM_E_TYPE_MISMATCH)) << toUtf8(name) << " = " << toUtf8(text);
    EXPECT_EQ(valueText(name), before);
  }
  std::string valueText(std::u16string_view name) {
    Variant value;
    CIMTYPE type = 0;
    instance->Get(std::u16string(name).c_str(), 0, value.put(), &type, nullptr);
    return mofValueText(type, *value);
  }

  ComPtr<WbemObject> classObject_;
  ComPtr<IWbemClassObject> instance;
};

TEST_F(PutConversion, SmallIntegersAreStoredInWmisVariantTypes) {
  Variant v = putAndGet(u"U8", u"255");
  EXPECT_EQ(v->vt, VT_UI1);
  EXPECT_EQ(v->bVal, 255);
  v = putAndGet(u"S8", u"-128");
  EXPECT_EQ(v->vt, VT_I2);
  EXPECT_EQ(v->iVal, -128);
  v = putAndGet(u"S16", u"-32768");
  EXPECT_EQ(v->vt, VT_I2);
  EXPECT_EQ(v->iVal, -32768);
  v = putAndGet(u"C", u"65");
  EXPECT_EQ(v->vt, VT_I2);
  EXPECT_EQ(v->iVal, 65);
  v = putAndGet(u"U16", u"65535");
  EXPECT_EQ(v->vt, VT_I4);
  EXPECT_EQ(v->lVal, 65535);
  v = putAndGet(u"S32", u" -2147483648 ");
  EXPECT_EQ(v->vt, VT_I4);
  EXPECT_EQ(v->lVal, INT32_MIN);
  v = putAndGet(u"U32", u"4294967295");
  EXPECT_EQ(v->vt, VT_I4);
  EXPECT_EQ(static_cast<ULONG>(v->lVal), 4294967295u);
}

TEST_F(PutConversion, IntegersOutsideTheirRangeAreRefused) {
  putAndGet(u"U8", u"7");
  expectRefused(u"U8", u"256");
  expectRefused(u"U8", u"-1");
  expectRefused(u"S8", u"128");
  expectRefused(u"S8", u"-129");
  expectRefused(u"S16", u"32768");
  expectRefused(u"U16", u"65536");
  expectRefused(u"C", u"65536");
  expectRefused(u"S32", u"2147483648");
  expectRefused(u"U32", u"4294967296");
  expectRefused(u"S64", u"9223372036854775808");
  expectRefused(u"U64", u"18446744073709551616");
  expectRefused(u"U64", u"-1");
}

TEST_F(PutConversion, TextThatIsNoWholeNumberIsRefused) {
  for (const char16_t* bad : {u"", u" ", u"abc", u"12abc", u"4.5", u"1e3", u"0x10", u"+-1", u"--1", u"1 2"}) {
    expectRefused(u"S32", bad);
  }
}

// U+0132, U+0120 and U+012E end in the bytes of '2', ' ' and '.': only
// ASCII units are digits, blanks and points.
TEST_F(PutConversion, UnitsBeyondAsciiAreNoDigitsBlanksOrPoints) {
  expectRefused(u"S32", u"4\u0132");
  expectRefused(u"U64", u"\u01204");
  expectRefused(u"R64", u"1\u012E5");
  expectRefused(u"When", u"20240102030405\u012E000000+000");
}

TEST_F(PutConversion, SixtyFourBitIntegersStayCanonicalDecimalText) {
  Variant v = putAndGet(u"U64", u"18446744073709551615");
  EXPECT_EQ(v->vt, VT_BSTR);
  EXPECT_EQ(textOf(v), u"18446744073709551615");
  EXPECT_EQ(textOf(putAndGet(u"S64", u"-9223372036854775808")), u"-9223372036854775808");
  EXPECT_EQ(textOf(putAndGet(u"S64", u"+0042")), u"42");
  EXPECT_EQ(textOf(putAndGet(u"S64", u"-0")), u"0");
}

TEST_F(PutConversion, RealsAreStoredAsR4AndR8) {
  Variant v = putAndGet(u"R32", u"4.5");
  EXPECT_EQ(v->vt, VT_R4);
  EXPECT_FLOAT_EQ(v->fltVal, 4.5f);
  v = putAndGet(u"R64", u"-1.25e-3");
  EXPECT_EQ(v->vt, VT_R8);
  EXPECT_DOUBLE_EQ(v->dblVal, -0.00125);
  EXPECT_DOUBLE_EQ(putAndGet(u"R64", u"+.5")->dblVal, 0.5);
  EXPECT_DOUBLE_EQ(putAndGet(u"R64", u"7")->dblVal, 7.0);
  expectRefused(u"R32", u"1e39");
  expectRefused(u"R64", u"1e400");
  for (const char16_t* bad : {u"", u"inf", u"nan", u"0x1p3", u"1.2.3", u"e5", u"5e", u"."}) {
    expectRefused(u"R64", bad);
  }
}

TEST_F(PutConversion, BooleansFromTrueFalseInAnyCaseAndFromWholeNumbers) {
  Variant v = putAndGet(u"B", u"TRUE");
  EXPECT_EQ(v->vt, VT_BOOL);
  EXPECT_EQ(v->boolVal, VARIANT_TRUE);
  EXPECT_EQ(putAndGet(u"B", u"false")->boolVal, VARIANT_FALSE);
  EXPECT_EQ(putAndGet(u"B", u"True")->boolVal, VARIANT_TRUE);
  EXPECT_EQ(putAndGet(u"B", u"0")->boolVal, VARIANT_FALSE);
  EXPECT_EQ(putAndGet(u"B", u"1")->boolVal, VARIANT_TRUE);
  EXPECT_EQ(putAndGet(u"B", u"-2")->boolVal, VARIANT_TRUE);
  for (const char16_t* bad : {u"", u"yes", u"T", u"TRUE1", u"0.5"}) expectRefused(u"B", bad);
}

TEST_F(PutConversion, DateTimesMustHaveTheCimForm) {
  EXPECT_EQ(textOf(putAndGet(u"When", u"20070605040302.000000+060")), u"20070605040302.000000+060");
  putAndGet(u"When", u"19700101000000.000000-000");
  putAndGet(u"When", u"00000001020304.000000:000");
  for (const char16_t* bad :
       {u"2007060504030.000000+060", u"20070605040302.000000+0600", u"20070605040302,000000+060",
        u"20071305040302.000000+060", u"20070600040302.000000+060", u"20070605240302.000000+060",
        u"20070605040302.000000*060", u"00000001020304.000000:001", u"0000000102030a.000000:000", u"1000000000"}) {
    expectRefused(u"When", bad);
  }
}

TEST_F(PutConversion, StringsAndReferencesAreKeptAsTheyAre) {
  EXPECT_EQ(textOf(putAndGet(u"Name", u" any text, \"quoted\" ")), u" any text, \"quoted\" ");
  EXPECT_EQ(textOf(putAndGet(u"Self", u"AllTypes.Name=\"x\"")), u"AllTypes.Name=\"x\"");
}

TEST_F(PutConversion, ObjectPropertiesTakeOnlyAnInterface) {
  expectRefused(u"Embedded", u"instance of X { };");
  Variant embedded;
  VARIANT* raw = embedded.put();
  raw->punkVal = spawn(classObject_.get()).detach();
  raw->vt = VT_UNKNOWN;
  EXPECT_EQ(instance->Put(u"Embedded", 0, embedded.get(), 0), S_OK);
  EXPECT_EQ(get(instance.get(), u"Embedded")->punkVal, raw->punkVal);
}

TEST_F(PutConversion, NullAndEmptyUnsetAProperty) {
  putAndGet(u"U32", u"5");
  Variant empty;
  EXPECT_EQ(instance->Put(u"U32", 0, empty.get(), 0), S_OK);
  EXPECT_EQ(get(instance.get(), u"U32")->vt, VT_NULL);
  putAndGet(u"U32", u"5");
  EXPECT_EQ(instance->Put(u"U32", 0, Variant::null().get(), 0), S_OK);
  EXPECT_EQ(get(instance.get(), u"U32")->vt, VT_NULL);
  putAndGet(u"U32", u"5");
  EXPECT_EQ(instance->Put(u"U32", 0, nullptr, 0), S_OK);
  EXPECT_EQ(get(instance.get(), u"U32")->vt, VT_NULL);
}

TEST_F(PutConversion, ValuesAlreadyInTheStoredFormAreTakenAndRangeChecked) {
  VARIANT value;
  VariantInit(&value);
  value.vt = VT_I4;
  value.lVal = -1;
  EXPECT_EQ(instance->Put(u"U32", 0, &value, 0), S_OK);  // the bit pattern of 4294967295
  EXPECT_EQ(instance->Put(u"S32", 0, &value, 0), S_OK);
  EXPECT_EQ(instance->Put(u"U16", 0, &value, 0), hr(WBEM_E_TYPE_MISMATCH));
  value.vt = VT_BOOL;
  value.boolVal = 1;
  EXPECT_EQ(instance->Put(u"B", 0, &value, 0), S_OK);
  EXPECT_EQ(get(instance.get(), u"B")->boolVal, VARIANT_TRUE);
  value.vt = VT_R8;
  value.dblVal = 2.5;
  EXPECT_EQ(instance->Put(u"R64", 0, &value, 0), S_OK);
  EXPECT_EQ(instance->Put(u"R32", 0, &value, 0), hr(WBEM_E_TYPE_MISMATCH));
  EXPECT_EQ(instance->Put(u"Name", 0, &value, 0), hr(WBEM_E_TYPE_MISMATCH));
}

TEST_F(PutConversion, UnknownPropertiesAndForeignTypesAreRefused) {
  EXPECT_EQ(putText(instance.get(), u"NoSuch", u"1"), hr(WBEM_E_NOT_FOUND));
  Variant text = Variant::text(u"1");
  EXPECT_EQ(instance->Put(u"U32", 0, text.get(), CIM_UINT32), S_OK);
  EXPECT_EQ(instance->Put(u"U32", 0, text.get(), CIM_STRING), hr(WBEM_E_TYPE_MISMATCH));
  EXPECT_EQ(instance->Put(u"__CLASS", 0, text.get(), 0), hr(WBEM_E_READ_ONLY));
  EXPECT_EQ(instance->Put(u"U32", 1, text.get(), 0), hr(WBEM_E_INVALID_PARAMETER));
}

// A SAFEARRAY of BSTRs holding texts, with lower bound lowerBound.
Variant textArray(std::initializer_list<const char16_t*> texts, LONG lowerBound = 0) {
  Variant value;
  VARIANT* raw = value.put();
  raw->parray = SafeArrayCreateVector(VT_BSTR, lowerBound, static_cast<ULONG>(texts.size()));
  raw->vt = VT_ARRAY | VT_BSTR;
  LONG index = lowerBound;
  for (const char16_t* text : texts) {
    const Bstr element{std::u16string_view(text)};
    SafeArrayPutElement(raw->parray, &index, element.get());
    ++index;
  }
  return value;
}

template <typename T>
std::vector<T> elementsOf(const Variant& value) {
  std::vector<T> elements;
  const SAFEARRAYBOUND bound = value->parray->rgsabound[0];
  for (LONG i = 0; i < static_cast<LONG>(bound.cElements); ++i) {
    LONG index = bound.lLbound + i;
    T element{};
    SafeArrayGetElement(value->parray, &index, &element);
    elements.push_back(element);
  }
  return elements;
}

TEST_F(PutConversion, ArraysOfTextAreConvertedElementByElement) {
  Variant counts = textArray({u"1", u"4294967295", u"0"}, 3);
  ASSERT_EQ(instance->Put(u"Counts", 0, counts.get(), 0), S_OK);
  Variant stored = get(instance.get(), u"Counts");
  EXPECT_EQ(stored->vt, VT_ARRAY | VT_I4);
  EXPECT_EQ(stored->parray->rgsabound[0].lLbound, 0);
  EXPECT_EQ(elementsOf<LONG>(stored), (std::vector<LONG>{1, -1, 0}));

  Variant flags = textArray({u"TRUE", u"false"});
  ASSERT_EQ(instance->Put(u"Flags", 0, flags.get(), 0), S_OK);
  EXPECT_EQ(elementsOf<VARIANT_BOOL>(get(instance.get(), u"Flags")),
            (std::vector<VARIANT_BOOL>{VARIANT_TRUE, VARIANT_FALSE}));

  Variant texts = textArray({u"a", u"b"});
  ASSERT_EQ(instance->Put(u"Texts", 0, texts.get(), 0), S_OK);
  Variant storedTexts = get(instance.get(), u"Texts");
  EXPECT_EQ(storedTexts->vt, VT_ARRAY | VT_BSTR);
  // The stored array is the object's own copy.
  EXPECT_NE(storedTexts->parray, texts->parray);

  Variant bigs = textArray({u"+7", u"-9223372036854775808"});
  ASSERT_EQ(instance->Put(u"Bigs", 0, bigs.get(), 0), S_OK);
  Variant storedBigs = get(instance.get(), u"Bigs");
  EXPECT_EQ(storedBigs->vt, VT_ARRAY | VT_BSTR);
  const auto bigTexts = elementsOf<BSTR>(storedBigs);
  EXPECT_EQ(std::u16string(bigTexts.at(0)), u"7");
  for (BSTR text : bigTexts) SysFreeString(text);

  Variant empty = textArray({});
  EXPECT_EQ(instance->Put(u"Counts", 0, empty.get(), 0), S_OK);
  EXPECT_EQ(get(instance.get(), u"Counts")->parray->rgsabound[0].cElements, 0u);
}

TEST_F(PutConversion, AnArrayWithOneBadElementLeavesThePropertyUnchanged) {
  Variant good = textArray({u"1", u"2"});
  ASSERT_EQ(instance->Put(u"Counts", 0, good.get(), 0), S_OK);
  Variant bad = textArray({u"3", u"x"});
  EXPECT_EQ(instance->Put(u"Counts", 0, bad.get(), 0), hr(WBEM_E_TYPE_MISMATCH));
  EXPECT_EQ(elementsOf<LONG>(get(instance.get(), u"Counts")), (std::vector<LONG>{1, 2}));
}

TEST_F(PutConversion, ScalarsAndArraysDoNotMix) {
  EXPECT_EQ(putText(instance.get(), u"Counts", u"1"), hr(WBEM_E_TYPE_MISMATCH));
  Variant array = textArray({u"1"});
  EXPECT_EQ(instance->Put(u"U32", 0, array.get(), 0), hr(WBEM_E_TYPE_MISMATCH));
}

}  // namespace
}  // namespace wmihost::test
