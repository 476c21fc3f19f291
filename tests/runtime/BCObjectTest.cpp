#include <gtest/gtest.h>

#include "runtime/BCObject.h"
#include "runtime/BCSharedObject.h"
#include "runtime/FourCC.h"
#include "text/UtilStr.h"

namespace {

class CountedObject : public BCSharedObject {
 public:
  CountedObject(int* finalReason, bool* destroyed) : mFinalReason(finalReason), mDestroyed(destroyed) {}

 protected:
  ~CountedObject() override { *mDestroyed = true; }
  void OnFinalRelease(int32_t reason) override { *mFinalReason = reason; }

 private:
  int* mFinalReason;
  bool* mDestroyed;
};

TEST(BCSharedObjectTest, CountsFromOneAndFinalReleaseRunsBeforeDestruction) {
  int finalReason = 0;
  bool destroyed = false;
  auto* object = new CountedObject(&finalReason, &destroyed);
  EXPECT_EQ(object->GetRefCount(), 1);
  EXPECT_EQ(object->Retain(), 2);
  EXPECT_EQ(object->Release(), 1);
  EXPECT_EQ(finalReason, 0);
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(object->Release(), 0);
  EXPECT_EQ(finalReason, -1);
  EXPECT_TRUE(destroyed);
}

TEST(BCObjectTest, PlainObjectsCountOneAndCompareByText) {
  UtilStr apple("apple");
  UtilStr banana("Banana");
  BCObject plain;
  EXPECT_EQ(plain.GetRefCount(), 1);
  EXPECT_EQ(plain.toString(), nullptr);
  // Positive when the other object's text sorts after this one's.
  EXPECT_GT(apple.Compare(&banana, false), 0);
  EXPECT_LT(apple.Compare(&banana, true), 0);
  EXPECT_EQ(apple.Compare(&apple, true), 0);
  // An object without text compares as empty.
  EXPECT_LT(apple.Compare(&plain, true), 0);
}

TEST(FourCCTest, PacksBigEndian) {
  EXPECT_EQ(FourCC("Trck"), 0x5472636Bu);
  EXPECT_EQ(FourCC("GetS"), 0x47657453u);
}

}  // namespace
