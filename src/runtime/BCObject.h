// Root of the program's classes. The virtual operations keep this slot order.
#pragma once

#include <cstdint>

class UtilStr;

class BCObject {
 public:
  BCObject() = default;
  BCObject(const BCObject&) = default;
  BCObject& operator=(const BCObject&) = default;
  virtual ~BCObject() = default;

  // A plain object deletes itself and answers 0.
  virtual int32_t Release();
  virtual int32_t GetRefCount() const { return 1; }
  // The object's text, or null when it has none.
  virtual const UtilStr* toString() const { return nullptr; }
  virtual const UtilStr* GetSecondaryText() const { return nullptr; }
  // CompareText of other's text (A) against this object's text (B).
  virtual int Compare(const BCObject* other, bool caseSensitive) const;
  virtual int32_t Control(int64_t, int64_t, int64_t) { return 0; }
  virtual void Dump() const;
};
