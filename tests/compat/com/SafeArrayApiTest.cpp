#include <gtest/gtest.h>

#include <string>

#include "common/com/WmiSdk.h"
#include "tests/compat/com/CountedObject.h"

namespace {

using qrv::test::CountedObject;

std::u16string textOf(BSTR text) { return std::u16string(text, SysStringLen(text)); }

std::u16string elementText(SAFEARRAY* array, LONG index) {
  BSTR element = nullptr;
  EXPECT_EQ(SafeArrayGetElement(array, &index, &element), S_OK);
  const std::u16string text = textOf(element);
  SysFreeString(element);
  return text;
}

TEST(SafeArray, VectorReportsItsTypeAndBounds) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, 3);
  ASSERT_NE(array, nullptr);
  VARTYPE vt = VT_EMPTY;
  LONG lower = -1, upper = -1;
  EXPECT_EQ(SafeArrayGetVartype(array, &vt), S_OK);
  EXPECT_EQ(vt, VT_BSTR);
  EXPECT_EQ(SafeArrayGetDim(array), 1u);
  EXPECT_TRUE(array->fFeatures & FADF_BSTR);
  EXPECT_EQ(SafeArrayGetLBound(array, 1, &lower), S_OK);
  EXPECT_EQ(SafeArrayGetUBound(array, 1, &upper), S_OK);
  EXPECT_EQ(lower, 0);
  EXPECT_EQ(upper, 2);
  EXPECT_EQ(SafeArrayGetLBound(array, 2, &lower), DISP_E_BADINDEX);
  EXPECT_EQ(elementText(array, 1), u"");  // elements start out null
  SafeArrayDestroy(array);
}

TEST(SafeArray, EmptyVectorEndsBeforeItsLowerBound) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, 0);
  ASSERT_NE(array, nullptr);
  LONG upper = 0;
  EXPECT_EQ(SafeArrayGetUBound(array, 1, &upper), S_OK);
  EXPECT_EQ(upper, -1);
  LONG index = 0;
  EXPECT_EQ(SafeArrayPutElement(array, &index, nullptr), DISP_E_BADINDEX);
  SafeArrayDestroy(array);
}

TEST(SafeArray, IndicesAreCheckedAgainstTheLowerBound) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_I4, -2, 4);
  ASSERT_NE(array, nullptr);
  LONG value = 41;
  for (LONG index : {-2, 1}) EXPECT_EQ(SafeArrayPutElement(array, &index, &value), S_OK) << index;
  for (LONG index : {-3, 2}) EXPECT_EQ(SafeArrayPutElement(array, &index, &value), DISP_E_BADINDEX) << index;
  LONG index = 1, read = 0;
  EXPECT_EQ(SafeArrayGetElement(array, &index, &read), S_OK);
  EXPECT_EQ(read, 41);
  SafeArrayDestroy(array);
}

TEST(SafeArray, PutAndGetCopyBstrs) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, 1);
  LONG index = 0;
  BSTR text = SysAllocString(OLESTR("first"));
  ASSERT_EQ(SafeArrayPutElement(array, &index, text), S_OK);
  SysFreeString(text);
  text = SysAllocString(OLESTR("second"));
  ASSERT_EQ(SafeArrayPutElement(array, &index, text), S_OK);  // frees "first"
  SysFreeString(text);

  BSTR out = nullptr;
  ASSERT_EQ(SafeArrayGetElement(array, &index, &out), S_OK);
  BSTR* stored = nullptr;
  ASSERT_EQ(SafeArrayAccessData(array, reinterpret_cast<void**>(&stored)), S_OK);
  EXPECT_NE(out, stored[0]);
  SafeArrayUnaccessData(array);
  EXPECT_EQ(textOf(out), u"second");
  SysFreeString(out);
  SafeArrayDestroy(array);
}

TEST(SafeArray, AccessDataExposesContiguousElementsAndLocksTheArray) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_I4, 5, 3);
  for (LONG index = 5; index < 8; ++index) {
    LONG value = index * 10;
    ASSERT_EQ(SafeArrayPutElement(array, &index, &value), S_OK);
  }
  LONG* data = nullptr;
  ASSERT_EQ(SafeArrayAccessData(array, reinterpret_cast<void**>(&data)), S_OK);
  EXPECT_EQ(data[0], 50);
  EXPECT_EQ(data[2], 70);
  EXPECT_EQ(SafeArrayDestroy(array), DISP_E_ARRAYISLOCKED);
  EXPECT_EQ(SafeArrayUnaccessData(array), S_OK);
  EXPECT_EQ(SafeArrayUnaccessData(array), E_UNEXPECTED);
  EXPECT_EQ(SafeArrayDestroy(array), S_OK);
}

TEST(SafeArray, CopyIsDeepAndDestroyReleasesInterfaces) {
  CountedObject object;
  SAFEARRAY* array = SafeArrayCreateVector(VT_UNKNOWN, 0, 2);
  LONG index = 1;
  ASSERT_EQ(SafeArrayPutElement(array, &index, static_cast<IUnknown*>(&object)), S_OK);
  EXPECT_EQ(object.references, 2);

  SAFEARRAY* copy = nullptr;
  ASSERT_EQ(SafeArrayCopy(array, &copy), S_OK);
  EXPECT_EQ(object.references, 3);
  SafeArrayDestroy(array);
  EXPECT_EQ(object.references, 2);

  IUnknown* out = nullptr;
  ASSERT_EQ(SafeArrayGetElement(copy, &index, &out), S_OK);
  EXPECT_EQ(out, static_cast<IUnknown*>(&object));
  out->Release();
  SafeArrayDestroy(copy);
  EXPECT_EQ(object.references, 1);
}

TEST(SafeArray, ElementsOfVariantsAreCopiedDeeply) {
  SAFEARRAY* array = SafeArrayCreateVector(VT_VARIANT, 0, 1);
  VARIANT in;
  VariantInit(&in);
  in.vt = VT_BSTR;
  in.bstrVal = SysAllocString(OLESTR("inside"));
  LONG index = 0;
  ASSERT_EQ(SafeArrayPutElement(array, &index, &in), S_OK);
  VariantClear(&in);

  VARIANT out;
  VariantInit(&out);
  ASSERT_EQ(SafeArrayGetElement(array, &index, &out), S_OK);
  SafeArrayDestroy(array);
  EXPECT_EQ(out.vt, VT_BSTR);
  EXPECT_EQ(textOf(out.bstrVal), u"inside");
  VariantClear(&out);
}

TEST(SafeArray, RefusesWhatItCannotHold) {
  SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
  EXPECT_EQ(SafeArrayCreate(VT_I4, 2, bounds), nullptr);
  EXPECT_EQ(SafeArrayCreateVector(VT_RECORD, 0, 1), nullptr);
  LONG index = 0, value = 0;
  EXPECT_EQ(SafeArrayPutElement(nullptr, &index, &value), E_INVALIDARG);
  EXPECT_EQ(SafeArrayDestroy(nullptr), S_OK);
}

}  // namespace
