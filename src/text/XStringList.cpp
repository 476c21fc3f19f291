#include "text/XStringList.h"

#include <cstring>

#include "text/TextFunctions.h"

namespace {

// Ascending by text, case-insensitive: CompareText with the arguments
// swapped, since a positive answer must mean that a sorts first.
int CompareStrings(void* const* a, void* const* b, void*) {
  const auto* x = static_cast<const UtilStr*>(*a);
  const auto* y = static_cast<const UtilStr*>(*b);
  return CompareText(y->mText, y->mLength, x->mText, x->mLength, false);
}

}  // namespace

XStringList::XStringList(int32_t mode) {
  mList.SetComparator(CompareStrings, nullptr);
  SetMode(mode);
}

void XStringList::SetMode(int32_t mode) {
  mMode = mode;
  mList.SetMode(mode);
}

void XStringList::Shuffle() {
  SetMode(XPtrList::kInsertionOrder);
  mList.Shuffle();
}

const UtilStr* XStringList::GetText(int32_t index) const {
  return static_cast<const UtilStr*>(mList.Get(index));
}

int32_t XStringList::Add(UtilStr* text) {
  const int32_t index = mList.Add(text);
  if (index == 0) delete text;
  return index;
}

int32_t XStringList::AddText(const char* text, int length) {
  return Add(new UtilStr(text, length));
}

int32_t XStringList::AddCopy(const UtilStr& text) {
  return Add(new UtilStr(text));
}

int32_t XStringList::FindText(const char* text, int length, bool caseSensitive) const {
  const int32_t count = mList.Count();
  if (count == 0 || !text) return 0;
  if (length < 0) length = int(std::strlen(text));
  const bool sorted = mList.Mode() == XPtrList::kSorted;
  int32_t index = 1;
  if (sorted) {
    // Borrows the text for the comparator: no block, so nothing is freed or written.
    UtilStr probe;
    probe.mText = const_cast<char*>(text);
    probe.mLength = length;
    index = mList.FindSortedPosition(&probe) + 1;
  }
  for (; index <= count; ++index) {
    const UtilStr* element = GetText(index);
    if (CompareText(text, length, element->mText, element->mLength, caseSensitive) == 0) return index;
    // The list's order is case-insensitive, so only that comparison may end
    // the walk: a case-sensitive match can follow a case-sensitive "after".
    if (sorted && CompareText(text, length, element->mText, element->mLength, false) < 0) return 0;
  }
  return 0;
}
