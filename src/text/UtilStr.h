// The byte string of the whole system: UTF-8 text or raw bytes, with an
// explicit length, copy-on-write over a shared reference-counted block.
#pragma once

#include <atomic>
#include <cstdarg>
#include <cstdint>

#include "runtime/BCObject.h"

struct BlockAllocator;

struct TextBlock {
  std::atomic<int32_t> refs;
  int32_t capacity;  // bytes for text, not counting the two terminators
  BlockAllocator* allocator;
  char bytes[2];  // capacity + 2 bytes in the allocation
};

// release frees what allocate returned. liveBlocks is atomic because strings
// sharing a block may release it on different threads. reallocate is
// optional: with it, a string that grows while nothing else reads its block
// is enlarged in place where the heap allows instead of being copied.
struct BlockAllocator {
  void* (*allocate)(int64_t bytes);
  void (*release)(void* block);
  std::atomic<int32_t> liveBlocks;
  void* (*reallocate)(void* block, int64_t bytes) = nullptr;
};

BlockAllocator& DefaultBlockAllocator();

// Escape flags of AppendEscaped.
inline constexpr int kEscapeZero = 0x02;
inline constexpr int kEscapeQuotes = 0x04;
inline constexpr int kEscapeWhitespace = 0x08;
inline constexpr int kEscapeControl = 0x10;
inline constexpr int kEscapeHigh = 0x20;

class UtilStr : public BCObject {
 public:
  UtilStr() = default;
  UtilStr(const char* text, int length = -1) { Assign(text, length); }
  UtilStr(const UtilStr& other) : BCObject() { CopyFrom(other); }
  UtilStr& operator=(const UtilStr& other) {
    CopyFrom(other);
    return *this;
  }
  ~UtilStr() override;

  const char* Assign(const char* text, int length = -1);
  const char* Append(const char* text, int length = -1);
  void CopyFrom(const UtilStr& other);
  void Clear(int reserve = 0);
  int Truncate(int count);
  int Replace(int start, int count, const char* text, int textLength);
  // Null only when no memory is left for a private copy.
  char* GetWritableText();
  int FindLastChar(char byte, int limit) const;
  void AppendRepeated(char byte, int count);
  // Arguments may point into this string's own text.
  void AppendFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void AppendFormatArgs(const char* format, va_list args);
  void AppendInteger(int64_t value, bool replace = false);
  void AppendDecimal(double value, int decimals);
  void AppendCode(int64_t value);
  void AppendEscaped(const char* bytes, int length, int flags);
  void AppendUnescaped(const char* text, int length, bool quoted);
  int AppendWide(const char16_t* text, int count = -1);
  bool CopyOutWide(char16_t* buffer, int sizeInBytes) const;
  bool CopyOut(char* buffer, int size) const;

  const UtilStr* toString() const override { return this; }
  int Compare(const BCObject* other, bool caseSensitive) const override;
  void Dump() const override;

  // Read directly by callers; text[length] is always 0.
  TextBlock* mBlock = nullptr;
  char* mText = EmptyText();
  int32_t mLength = 0;

 private:
  static char* EmptyText();
  // Installs a fresh unshared block of the given capacity holding the first
  // keep bytes. The previous block comes back to the caller, who releases it
  // once nothing reads from it any more; false leaves the string unchanged.
  bool Regrow(int64_t capacity, int32_t keep, TextBlock** previous);
  // Resizes the string's own unshared block; false leaves it as it was.
  bool Enlarge(int64_t capacity);
  const char* WriteBytes(const char* text, int length, bool replace);
  bool IsShared() const;
  bool MakeUnshared();
  void MakeEmpty();
};
