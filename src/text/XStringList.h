// A list of texts: each element is a UtilStr copy. Sorted lists are
// ascending by text, compared case-insensitively.
#pragma once

#include <cstdint>

#include "text/UtilStr.h"
#include "text/XPtrList.h"

// Read access to a list of texts.
class XTextList {
 public:
  virtual ~XTextList() = default;
  // Index (1-based) of an element equal to the text, 0 when there is none.
  virtual int32_t FindText(const char* text, int length, bool caseSensitive) const = 0;
  // The element, or null outside 1…Count().
  virtual const UtilStr* GetText(int32_t index) const = 0;
  virtual int32_t Count() const = 0;
};

class XStringList : public XTextList {
 public:
  explicit XStringList(int32_t mode = XPtrList::kInsertionOrder);

  int32_t FindText(const char* text, int length = -1, bool caseSensitive = false) const override;
  const UtilStr* GetText(int32_t index) const override;
  int32_t Count() const override { return mList.Count(); }

  virtual void SetMode(int32_t mode);
  // Leaves the list in insertion order, shuffled.
  virtual void Shuffle();
  virtual void RemoveAll() { mList.RemoveAll(); }
  virtual bool Remove(int32_t index) { return mList.Remove(index); }

  // The new element's index, or 0 when it could not be added.
  int32_t AddText(const char* text, int length = -1);
  int32_t AddCopy(const UtilStr& text);

  int32_t Mode() const { return mMode; }

 private:
  int32_t Add(UtilStr* text);

  int32_t mMode = XPtrList::kUnordered;
  XOwningPtrList mList{XPtrList::kUnordered};
};
