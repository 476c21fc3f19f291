// The path text of BCFileSpec: canonical form, names, joins and the UTF-16
// form for the system calls. Platform-free; the system queries live apart.
#include "files/BCFileSpec.h"

#include <cstring>

#include "runtime/ResultCodes.h"
#include "runtime/Trace.h"
#include "text/WideText.h"

namespace {

constexpr char kLongPathPrefix[] = "\\\\?\\";
constexpr int kLongPathPrefixLength = 4;
// A prefix needs room for itself, at least one unit and the terminating zero.
constexpr int kMinCapacityForPrefix = 6;

bool IsSeparator(char c) {
  return c == '\\' || c == '/';
}

bool IsUrlSchemeByte(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == ':';
}

// A run of letters, digits, dots and colons in which a colon after the first
// byte is followed by "//", as in "scheme://".
bool IsUrl(const char* text, int length) {
  for (int i = 0; i < length && IsUrlSchemeByte(text[i]); ++i) {
    if (text[i] == ':' && i > 0 && i + 2 < length && text[i + 1] == '/' && text[i + 2] == '/') return true;
  }
  return false;
}

bool IsUnc(const char* text, int length) {
  return length >= 2 && text[0] == '\\' && text[1] == '\\';
}

// 0-based index of the last dot of the name, or -1.
int LastDot(const char* name, int length) {
  for (int i = length - 1; i >= 0; --i) {
    if (name[i] == '.') return i;
  }
  return -1;
}

// 0-based index of the last backslash, or -1.
int LastBackslash(const UtilStr& path) {
  return path.FindLastChar('\\', path.mLength) - 1;
}

}  // namespace

void BCFileSpec::Normalize() {
  if (mPathName.mLength >= kLongPathPrefixLength &&
      std::memcmp(mPathName.mText, kLongPathPrefix, kLongPathPrefixLength) == 0)
    mPathName.Replace(0, kLongPathPrefixLength, "", 0);
  if (mPathName.mLength > 3 && IsSeparator(mPathName.mText[mPathName.mLength - 1])) mPathName.Truncate(1);

  uint32_t nameStart = uint32_t(mPathName.mLength);
  for (int i = mPathName.mLength - 1; i >= 0; --i) {
    if (IsSeparator(mPathName.mText[i])) {
      nameStart = uint32_t(i + 1);
      break;
    }
  }
  mNameStart = mPathName.mLength == 0 ? 0 : nameStart;
}

void BCFileSpec::Clear() {
  mPathName.Clear();
  mNameStart = 0;
}

void BCFileSpec::SetPath(const UtilStr& text) {
  mPathName = text;
  Normalize();
}

void BCFileSpec::SetWidePath(const char16_t* text, int count) {
  mPathName.Clear();
  if (text) mPathName.AppendWide(text, count);
  Normalize();
}

void BCFileSpec::CopyFrom(const BCFileSpec& other) {
  mPathName = other.mPathName;
  mNameStart = other.mNameStart;
}

int32_t BCFileSpec::GetPath(UtilStr* destination) const {
  if (mPathName.mLength == 0) return kErrNoInstance;
  if (!destination) return kErrBadArgument;
  *destination = mPathName;
  return kOk;
}

int BCFileSpec::GetWidePath(char16_t* buffer, int capacity) const {
  if (!buffer || capacity < 1) return 0;
  buffer[0] = 0;
  if (mPathName.mLength == 0) return 0;

  int prefixLength = 0;
  if (capacity >= kMinCapacityForPrefix && !IsUrl(mPathName.mText, mPathName.mLength) &&
      !IsUnc(mPathName.mText, mPathName.mLength)) {
    for (int i = 0; i < kLongPathPrefixLength; ++i) buffer[i] = char16_t(kLongPathPrefix[i]);
    prefixLength = kLongPathPrefixLength;
  }
  const int converted = Utf8ToUtf16(mPathName.mText, mPathName.mLength, buffer + prefixLength,
                                    capacity - prefixLength - 1, true);
  const int total = prefixLength + converted;
  // A path that fills the buffer may have been cut: it counts as not fitting.
  if (total >= capacity - 1) {
    buffer[0] = 0;
    return 0;
  }
  buffer[total] = 0;
  return total;
}

void BCFileSpec::GetExtension(UtilStr* destination) const {
  if (!destination) return;
  const char* name = mPathName.mText + mNameStart;
  const int nameLength = mPathName.mLength - int(mNameStart);
  const int dot = LastDot(name, nameLength);
  if (dot >= 0)
    destination->Assign(name + dot + 1, nameLength - dot - 1);
  else
    destination->Clear();
}

void BCFileSpec::GetName(UtilStr* destination, bool keepExtension) const {
  if (!destination) return;
  const char* name = mPathName.mText + mNameStart;
  int nameLength = mPathName.mLength - int(mNameStart);
  if (!keepExtension) {
    const int dot = LastDot(name, nameLength);
    if (dot >= 0) nameLength = dot;
  }
  // Assign from our own text is safe: the bytes are copied before the old block goes.
  destination->Assign(name, nameLength);
}

bool BCFileSpec::SetName(const UtilStr& name, bool keepExtension) {
  if (mPathName.mLength == 0) return false;
  const UtilStr newName(name);
  UtilStr extension;
  if (keepExtension) GetExtension(&extension);

  const int lastBackslash = LastBackslash(mPathName);
  if (lastBackslash < 0)
    mPathName.Clear();
  else
    mPathName.Truncate(mPathName.mLength - (lastBackslash + 1));
  mPathName.Append(newName.mText, newName.mLength);
  if (extension.mLength > 0) {
    mPathName.Append(".", 1);
    mPathName.Append(extension.mText, extension.mLength);
  }
  Normalize();
  return true;
}

int32_t BCFileSpec::SetToParentOf(const BCFileSpec& fileSpec) {
  if (fileSpec.mPathName.mLength == 0) return kOk;
  if (&fileSpec != this) mPathName = fileSpec.mPathName;
  if (mPathName.mText[mPathName.mLength - 1] == '\\') mPathName.Truncate(1);
  const int lastBackslash = LastBackslash(mPathName);
  if (lastBackslash < 0)
    mPathName.Clear();
  else
    mPathName.Truncate(mPathName.mLength - lastBackslash);
  Normalize();
  return kOk;
}

void BCFileSpec::SetToChild(const char* text, int length, const BCFileSpec& base) {
  if (base.mPathName.mLength == 0) {
    Clear();
    return;
  }
  if (!text) length = 0;
  if (length < 0) length = int(std::strlen(text));
  if (length > 0 && text[0] == '\\') {
    ++text;
    --length;
  }
  // The text may point into our own path, which the copy below replaces.
  const UtilStr child(text, length);
  if (&base != this) mPathName = base.mPathName;
  if (child.mLength > 0) {
    if (mPathName.mText[mPathName.mLength - 1] != '\\') mPathName.Append("\\", 1);
    mPathName.Append(child.mText, child.mLength);
  }
  Normalize();
}

void BCFileSpec::Dump() const {
  TracePrintf(0x10000001, "BCFileSpec (0x%X): mPathName = '%s'", unsigned(uintptr_t(this)), mPathName.mText);
}
