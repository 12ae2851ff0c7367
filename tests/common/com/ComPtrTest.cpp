#include <gtest/gtest.h>

#include <utility>

#include "common/com/ComObject.h"
#include "common/com/ComPtr.h"

namespace qrv::com {
namespace {

// A COM object that deletes itself on its last Release and says when it has.
class Tracked : public ComObject<Threading::Apartment, Implements<IClassFactory, IID_IClassFactory>> {
 public:
  explicit Tracked(bool* deleted) : deleted_(deleted) {}
  ~Tracked() override { *deleted_ = true; }
  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown*, REFIID, void**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL) override { return S_OK; }

 private:
  bool* deleted_;
};

// The references an object holds, read without changing them.
ULONG referencesOf(IUnknown* object) {
  object->AddRef();
  return object->Release();
}

class ComPtrTest : public testing::Test {
 protected:
  // A new object whose one reference the caller adopts.
  Tracked* newObject() { return new Tracked(&deleted_); }
  bool deleted_ = false;
};

TEST_F(ComPtrTest, AnAdoptedReferenceIsReleasedWithTheHolder) {
  {
    const auto held = ComPtr<Tracked>::adopt(newObject());
    EXPECT_EQ(referencesOf(held.get()), 1u);
  }
  EXPECT_TRUE(deleted_);
}

TEST_F(ComPtrTest, ASharedReferenceLeavesTheCallersOwn) {
  Tracked* object = newObject();
  {
    const auto held = ComPtr<Tracked>::share(object);
    EXPECT_EQ(referencesOf(object), 2u);
  }
  EXPECT_EQ(referencesOf(object), 1u);
  object->Release();
  EXPECT_TRUE(deleted_);
}

TEST_F(ComPtrTest, ACopyHoldsAReferenceOfItsOwnAndAMoveHandsItOver) {
  auto first = ComPtr<Tracked>::adopt(newObject());
  Tracked* object = first.get();
  {
    const ComPtr<Tracked> copy = first;
    EXPECT_EQ(referencesOf(object), 2u);
  }
  const ComPtr<Tracked> moved = std::move(first);
  EXPECT_FALSE(first);
  EXPECT_EQ(moved.get(), object);
  EXPECT_EQ(referencesOf(object), 1u);
}

TEST_F(ComPtrTest, AssigningReleasesWhatWasHeld) {
  bool otherDeleted = false;
  auto held = ComPtr<Tracked>::adopt(newObject());
  const auto other = ComPtr<Tracked>::adopt(new Tracked(&otherDeleted));
  held = other;
  EXPECT_TRUE(deleted_);
  EXPECT_EQ(referencesOf(other.get()), 2u);
  held.assign(nullptr);
  EXPECT_FALSE(held);
  EXPECT_FALSE(otherDeleted);
}

TEST_F(ComPtrTest, AssigningTheObjectHeldKeepsItAlive) {
  auto held = ComPtr<Tracked>::adopt(newObject());
  held.assign(held.get());
  EXPECT_FALSE(deleted_);
  held = ComPtr<Tracked>(held);
  EXPECT_FALSE(deleted_);
  EXPECT_EQ(referencesOf(held.get()), 1u);
}

TEST_F(ComPtrTest, PutReleasesTheOldReferenceBeforeHandingOutTheSlot) {
  auto held = ComPtr<Tracked>::adopt(newObject());
  Tracked** slot = held.put();
  EXPECT_TRUE(deleted_);
  EXPECT_EQ(*slot, nullptr);
}

TEST_F(ComPtrTest, DetachHandsTheReferenceToTheCaller) {
  auto held = ComPtr<Tracked>::adopt(newObject());
  Tracked* object = held.detach();
  EXPECT_FALSE(held);
  EXPECT_EQ(referencesOf(object), 1u);
  object->Release();
  EXPECT_TRUE(deleted_);
}

}  // namespace
}  // namespace qrv::com
