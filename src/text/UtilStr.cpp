#include "text/UtilStr.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "runtime/Trace.h"
#include "text/TextFunctions.h"
#include "text/WideText.h"

namespace {

constexpr int64_t kHeaderBytes = offsetof(TextBlock, bytes);
static_assert(kHeaderBytes == 16, "a block's text starts 16 bytes in");

// Keeps capacity, the two terminators and the header inside int32 range.
constexpr int64_t kMaxCapacity = INT32_MAX - 64;

void* DefaultAllocate(int64_t bytes) {
  void* block = std::malloc(size_t(bytes));
  if (block) DefaultBlockAllocator().liveBlocks.fetch_add(1, std::memory_order_relaxed);
  return block;
}

void* DefaultReallocate(void* block, int64_t bytes) {
  return std::realloc(block, size_t(bytes));
}

void DefaultRelease(void* block) {
  if (!block) return;
  DefaultBlockAllocator().liveBlocks.fetch_sub(1, std::memory_order_relaxed);
  std::free(block);
}

void ReleaseBlock(TextBlock* block) {
  if (block && block->refs.fetch_sub(1, std::memory_order_acq_rel) == 1) block->allocator->release(block);
}

// A negative length means up to the zero byte; no text with a positive
// length stands for that much unwritten room.
int64_t TextLength(const char* text, int length) {
  if (length >= 0) return length;
  return text ? int64_t(std::strlen(text)) : 0;
}

bool PointsInto(const char* text, const TextBlock* block) {
  if (!text || !block) return false;
  const auto p = uintptr_t(text), begin = uintptr_t(block->bytes);
  return p >= begin && p < begin + uintptr_t(block->capacity) + 2;
}

int64_t GrowthSlack(int64_t kept, int64_t total) {
  return kept == 0 ? 32 : std::min<int64_t>(32 + total / 4, 20000);
}

}  // namespace

BlockAllocator& DefaultBlockAllocator() {
  static BlockAllocator allocator{DefaultAllocate, DefaultRelease, 0, DefaultReallocate};
  return allocator;
}

char* UtilStr::EmptyText() {
  static char empty[2] = {0, 0};
  return empty;
}

UtilStr::~UtilStr() {
  ReleaseBlock(mBlock);
}

bool UtilStr::IsShared() const {
  return mBlock ? mBlock->refs.load(std::memory_order_acquire) > 1 : mLength != 0;
}

bool UtilStr::Regrow(int64_t capacity, int32_t keep, TextBlock** previous) {
  *previous = nullptr;
  if (capacity < 1 || capacity > kMaxCapacity) return false;
  BlockAllocator* allocator = mBlock ? mBlock->allocator : &DefaultBlockAllocator();
  auto* block = static_cast<TextBlock*>(allocator->allocate(kHeaderBytes + capacity + 2));
  if (!block) return false;
  new (&block->refs) std::atomic<int32_t>(1);
  block->capacity = int32_t(capacity);
  block->allocator = allocator;
  // The text runs past the declared two bytes, to capacity + 2.
  char* text = reinterpret_cast<char*>(block) + kHeaderBytes;
  text[capacity] = 0;
  text[capacity + 1] = 0;
  keep = std::clamp(keep, 0, mLength);
  if (keep > 0) std::memcpy(text, mText, size_t(keep));
  *previous = mBlock;
  mBlock = block;
  mText = text;
  return true;
}

bool UtilStr::Enlarge(int64_t capacity) {
  auto* block = static_cast<TextBlock*>(mBlock->allocator->reallocate(mBlock, kHeaderBytes + capacity + 2));
  if (!block) return false;
  block->capacity = int32_t(capacity);
  char* text = reinterpret_cast<char*>(block) + kHeaderBytes;
  text[capacity] = 0;
  text[capacity + 1] = 0;
  mBlock = block;
  mText = text;
  return true;
}

bool UtilStr::MakeUnshared() {
  if (!IsShared()) return true;
  TextBlock* previous;
  if (!Regrow(int64_t(mLength) + 32, mLength, &previous)) return false;
  mText[mLength] = 0;
  ReleaseBlock(previous);
  return true;
}

void UtilStr::MakeEmpty() {
  ReleaseBlock(mBlock);
  mBlock = nullptr;
  mText = EmptyText();
  mLength = 0;
}

const char* UtilStr::WriteBytes(const char* text, int length, bool replace) {
  const int64_t added = TextLength(text, length);
  if (added < 1) {
    if (replace) MakeEmpty();
    return mText;
  }
  const int32_t kept = replace ? 0 : mLength;
  const int64_t total = kept + added;
  if (total + 2 > kMaxCapacity) return mText;
  TextBlock* previous = nullptr;
  const int64_t capacity = mBlock ? mBlock->capacity : 0;
  if (total + 1 >= capacity || IsShared()) {
    const int64_t grown = std::min(total + GrowthSlack(kept, total), kMaxCapacity);
    if (kept > 0 && !IsShared() && mBlock->allocator->reallocate && !PointsInto(text, mBlock)) {
      if (!Enlarge(grown)) return mText;
    } else if (!Regrow(grown, kept, &previous)) {
      return mText;
    }
  }
  // The source may lie in the previous block, released only afterwards, or
  // inside this block when it is rewritten in place.
  if (text) std::memmove(mText + kept, text, size_t(added));
  ReleaseBlock(previous);
  mLength = int32_t(total);
  mText[total] = 0;
  return mText;
}

const char* UtilStr::Assign(const char* text, int length) {
  return WriteBytes(text, length, true);
}

const char* UtilStr::Append(const char* text, int length) {
  return WriteBytes(text, length, false);
}

void UtilStr::CopyFrom(const UtilStr& other) {
  if (&other == this) return;
  if (other.mBlock) other.mBlock->refs.fetch_add(1, std::memory_order_relaxed);
  ReleaseBlock(mBlock);
  mBlock = other.mBlock;
  mText = other.mText;
  mLength = other.mLength;
}

void UtilStr::Clear(int reserve) {
  if (reserve > 0 && mBlock && mBlock->refs.load(std::memory_order_acquire) == 1 &&
      mBlock->capacity - reserve > 0 && mBlock->capacity - reserve <= 99999) {
    mText[0] = 0;
    mLength = 0;
    return;
  }
  MakeEmpty();
  TextBlock* previous;
  if (reserve > 0 && Regrow(int64_t(reserve) + 32, 0, &previous)) mText[0] = 0;
}

int UtilStr::Truncate(int count) {
  if (count <= 0) return 0;
  if (count >= mLength) {
    const int excess = count - mLength;
    MakeEmpty();
    return excess;
  }
  if (!MakeUnshared()) return 0;
  mLength -= count;
  mText[mLength] = 0;
  return 0;
}

int UtilStr::Replace(int start, int count, const char* text, int textLength) {
  const int64_t added = TextLength(text, textLength);
  const int32_t oldLength = mLength;
  start = std::clamp(start, 0, oldLength);
  count = std::clamp(count, 0, oldLength - start);
  if (added == 0 && count > 0 && start + count == oldLength) {
    Truncate(count);
    return -count;
  }
  if (added == count && added <= 0) return 0;
  const int64_t total = oldLength + added - count;
  if (total + 2 > kMaxCapacity) return 0;

  // Old contents stay readable (through the previous block) until the tail
  // and the new text are in place; a text taken from this very string
  // therefore always goes through a fresh block.
  const char* old = mText;
  TextBlock* previous = nullptr;
  const int64_t capacity = mBlock ? mBlock->capacity : 0;
  if (IsShared() || total + 1 >= capacity || PointsInto(text, mBlock)) {
    if (!Regrow(std::min(total + GrowthSlack(total, total), kMaxCapacity), start, &previous)) return 0;
  }
  std::memmove(mText + start + added, old + start + count, size_t(oldLength - start - count));
  if (text) std::memmove(mText + start, text, size_t(added));
  ReleaseBlock(previous);
  mLength = int32_t(total);
  mText[total] = 0;
  return int(total - oldLength);
}

char* UtilStr::GetWritableText() {
  return MakeUnshared() ? mText : nullptr;
}

int UtilStr::FindLastChar(char byte, int limit) const {
  for (int position = std::min(mLength, limit) - 1; position >= 0; --position)
    if (mText[position] == byte) return position + 1;
  return 0;
}

void UtilStr::AppendRepeated(char byte, int count) {
  if (count <= 0) return;
  const int32_t start = mLength;
  Append(nullptr, count);
  if (mLength == int64_t(start) + count) std::memset(mText + start, byte, size_t(count));
}

void UtilStr::AppendFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  AppendFormatArgs(format, args);
  va_end(args);
}

void UtilStr::AppendFormatArgs(const char* format, va_list args) {
  if (!format) return;
  // Formatting never writes into the current block: an argument may point
  // into this very text, which must stay intact while it is read.
  char buffer[1024];
  va_list pass;
  va_copy(pass, args);
  const int length = std::vsnprintf(buffer, sizeof buffer, format, pass);
  va_end(pass);
  if (length < 0) return;  // a formatting error appends nothing
  if (length < int(sizeof buffer)) {
    Append(buffer, length);
    return;
  }
  const int32_t start = mLength;
  const int64_t total = int64_t(start) + length;
  TextBlock* previous;
  if (total + 2 > kMaxCapacity ||
      !Regrow(std::min(total + GrowthSlack(start, total), kMaxCapacity), start, &previous))
    return;
  va_copy(pass, args);
  std::vsnprintf(mText + start, size_t(length) + 1, format, pass);
  va_end(pass);
  ReleaseBlock(previous);
  mLength = int32_t(total);
  mText[total] = 0;
}

void UtilStr::AppendInteger(int64_t value, bool replace) {
  char digits[72];
  WriteBytes(digits, FormatInteger(value, digits, 10), replace);
}

void UtilStr::AppendDecimal(double value, int decimals) {
  char digits[48];
  Append(digits, FormatDecimal(value, decimals, digits));
}

void UtilStr::AppendCode(int64_t value) {
  if (value > 0x100000) {
    char code[9];
    const int length = FormatCode(value, code, false);
    if (std::all_of(code, code + length, [](char c) { return uint8_t(c) >= 32 && uint8_t(c) <= 126; })) {
      Append("'", 1);
      AppendEscaped(code, length, kEscapeQuotes | kEscapeControl | kEscapeHigh);
      Append("'", 1);
      return;
    }
  }
  if (value >= -10000 && value <= 10000) {
    AppendInteger(value);
    return;
  }
  uint64_t magnitude = value < 0 ? 0 - uint64_t(value) : uint64_t(value);
  char hex[20];
  int position = sizeof hex;
  do {
    hex[--position] = "0123456789ABCDEF"[magnitude & 15];
    magnitude >>= 4;
  } while (magnitude);
  hex[--position] = 'x';
  hex[--position] = '0';
  if (value < 0) hex[--position] = '-';
  Append(hex + position, int(sizeof hex) - position);
}

void UtilStr::AppendEscaped(const char* bytes, int length, int flags) {
  if (!bytes || length == 0) return;
  const int end = length < 0 ? int(std::strlen(bytes)) : length;
  // Appending may replace the block the bytes come from.
  UtilStr source;
  if (PointsInto(bytes, mBlock)) source.CopyFrom(*this);
  char buffer[256];
  for (int position = 0; position < end;) {
    const int written = EscapeBytes(bytes, end, flags, buffer, sizeof buffer, &position);
    Append(buffer, written);
  }
}

void UtilStr::AppendUnescaped(const char* text, int length, bool quoted) {
  if (!text) return;
  const int end = int(TextLength(text, length));
  int position = 0;
  char quote = 0;
  if (quoted) {
    while (position < end && uint8_t(text[position]) <= 32) ++position;
    if (position < end) quote = text[position++];
  }
  if (position >= end) return;
  UtilStr source;
  if (PointsInto(text, mBlock)) source.CopyFrom(*this);
  const int32_t start = mLength;
  const int room = end - position + 1;
  Append(nullptr, room);
  if (mLength != int64_t(start) + room) return;
  const int written = UnescapeBytes(text, end, mText + start, room, quote, &position);
  Truncate(room - written);
}

int UtilStr::AppendWide(const char16_t* text, int count) {
  const int needed = Utf16ToUtf8(text, count, nullptr, 0);
  if (needed <= 0) return needed;
  const int32_t start = mLength;
  Append(nullptr, needed);
  if (mLength != int64_t(start) + needed) return 0;
  Utf16ToUtf8(text, count, mText + start, needed);
  return needed;
}

bool UtilStr::CopyOutWide(char16_t* buffer, int sizeInBytes) const {
  if (!buffer || sizeInBytes < 4) return false;
  const int units = sizeInBytes / 2 - 1;
  const int produced = Utf8ToUtf16(mText, mLength, buffer, units, true);
  buffer[produced] = 0;
  return produced < units;
}

bool UtilStr::CopyOut(char* buffer, int size) const {
  if (!buffer || size <= 0) return false;
  std::memcpy(buffer, mText, size_t(std::min<int64_t>(size, int64_t(mLength) + 1)));
  return size >= int64_t(mLength) + 1;
}

int UtilStr::Compare(const BCObject* other, bool caseSensitive) const {
  const UtilStr* theirs = other ? other->toString() : nullptr;
  return CompareText(theirs ? theirs->mText : "", theirs ? theirs->mLength : 0, mText, mLength,
                     caseSensitive);
}

void UtilStr::Dump() const {
  int printable = 0;
  while (printable < mLength && printable < 100 && uint8_t(mText[printable]) >= 32 &&
         uint8_t(mText[printable]) <= 126)
    ++printable;
  UtilStr shown;
  if (printable == mLength)
    shown.AppendFormat("'%s'", mText);
  else if (printable > 0)
    shown.AppendFormat("'%.*s'<%d additional bytes>", printable, mText, mLength - printable);
  else
    shown.AppendFormat("<%d bytes binary data>", mLength);
  TracePrintf(kTraceNewline | 1, "UtilStr (0x%X): %s", unsigned(uintptr_t(this)), shown.mText);
}
