#include <gtest/gtest.h>

#include <string>

#include "common/com/WmiSdk.h"
#include "tests/compat/com/CountedObject.h"

namespace {

using qrv::test::CountedObject;

std::u16string textOf(BSTR text) { return std::u16string(text, SysStringLen(text)); }

VARIANT bstrVariant(const std::u16string& text) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return v;
}

TEST(Variant, CopyOfABstrOwnsItsOwnTextWithEmbeddedNuls) {
  const std::u16string text(u"a\0b", 3);
  VARIANT source = bstrVariant(text);
  VARIANT copy;
  VariantInit(&copy);
  ASSERT_EQ(VariantCopy(&copy, &source), S_OK);
  EXPECT_EQ(copy.vt, VT_BSTR);
  EXPECT_NE(copy.bstrVal, source.bstrVal);
  EXPECT_EQ(VariantClear(&source), S_OK);
  EXPECT_EQ(source.vt, VT_EMPTY);
  EXPECT_EQ(textOf(copy.bstrVal), text);
  VariantClear(&copy);
}

TEST(Variant, CopyFreesWhatTheDestinationHeld) {
  VARIANT source;
  VariantInit(&source);
  source.vt = VT_I4;
  source.lVal = -7;
  VARIANT destination = bstrVariant(u"old");
  ASSERT_EQ(VariantCopy(&destination, &source), S_OK);
  EXPECT_EQ(destination.vt, VT_I4);
  EXPECT_EQ(destination.lVal, -7);
}

TEST(Variant, CopyOntoItselfKeepsTheValue) {
  VARIANT v = bstrVariant(u"same");
  ASSERT_EQ(VariantCopy(&v, &v), S_OK);
  EXPECT_EQ(textOf(v.bstrVal), u"same");
  VariantClear(&v);
}

TEST(Variant, CopyOfAnArrayDuplicatesTheArrayAndItsElements) {
  VARIANT source;
  VariantInit(&source);
  source.vt = VT_ARRAY | VT_BSTR;
  source.parray = SafeArrayCreateVector(VT_BSTR, 0, 2);
  BSTR first = SysAllocString(OLESTR("first"));
  LONG index = 0;
  ASSERT_EQ(SafeArrayPutElement(source.parray, &index, first), S_OK);
  SysFreeString(first);

  VARIANT copy;
  VariantInit(&copy);
  ASSERT_EQ(VariantCopy(&copy, &source), S_OK);
  ASSERT_NE(copy.parray, source.parray);
  VariantClear(&source);

  BSTR element = nullptr;
  ASSERT_EQ(SafeArrayGetElement(copy.parray, &index, &element), S_OK);
  EXPECT_EQ(textOf(element), u"first");
  SysFreeString(element);
  VariantClear(&copy);
}

TEST(Variant, CopyAndClearOfAnInterfaceCountReferences) {
  CountedObject object;
  VARIANT source;
  VariantInit(&source);
  source.vt = VT_UNKNOWN;
  source.punkVal = &object;
  VARIANT copy;
  VariantInit(&copy);
  ASSERT_EQ(VariantCopy(&copy, &source), S_OK);
  EXPECT_EQ(object.references, 2);
  VariantClear(&copy);
  EXPECT_EQ(object.references, 1);
}

TEST(Variant, ClearOfAReferenceLeavesTheReferentAlone) {
  BSTR text = SysAllocString(OLESTR("kept"));
  VARIANT reference;
  VariantInit(&reference);
  reference.vt = VT_BYREF | VT_BSTR;
  reference.pbstrVal = &text;
  EXPECT_EQ(VariantClear(&reference), S_OK);
  EXPECT_EQ(reference.vt, VT_EMPTY);
  EXPECT_EQ(textOf(text), u"kept");
  SysFreeString(text);
}

TEST(Variant, ClearOfALockedArrayFailsAndKeepsTheValue) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_ARRAY | VT_I4;
  v.parray = SafeArrayCreateVector(VT_I4, 0, 1);
  void* data = nullptr;
  ASSERT_EQ(SafeArrayAccessData(v.parray, &data), S_OK);
  EXPECT_EQ(VariantClear(&v), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(v.vt, VT_ARRAY | VT_I4);
  SafeArrayUnaccessData(v.parray);
  EXPECT_EQ(VariantClear(&v), S_OK);
}

}  // namespace
