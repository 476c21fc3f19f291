#include "runtime/BCObject.h"

#include "runtime/Trace.h"
#include "text/TextFunctions.h"
#include "text/UtilStr.h"

int32_t BCObject::Release() {
  delete this;
  return 0;
}

int BCObject::Compare(const BCObject* other, bool caseSensitive) const {
  const UtilStr* mine = toString();
  const UtilStr* theirs = other ? other->toString() : nullptr;
  return CompareText(theirs ? theirs->mText : "", theirs ? theirs->mLength : 0, mine ? mine->mText : "",
                     mine ? mine->mLength : 0, caseSensitive);
}

void BCObject::Dump() const {
  if (const UtilStr* text = toString())
    TracePrintf(0x10000001, "BCObject (0x%X) toString() = '%s'", unsigned(uintptr_t(this)), text->mText);
  else
    TracePrintf(0x10000001, "BCObject (0x%X)", unsigned(uintptr_t(this)));
}
