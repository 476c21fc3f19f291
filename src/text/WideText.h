// UTF-8 <-> UTF-16 conversion; UTF-16 is used only at Win32 and COM boundaries.
#pragma once

#include <cstdint>

// Bytes produced (capacity 0: counts only). No terminating zero is written.
int Utf16ToUtf8(const char16_t* units, int count, char* out, int capacity);
// Units produced; with compose, a base letter and a following combining mark
// become one precomposed character. No terminating zero is written.
int Utf8ToUtf16(const char* bytes, int length, char16_t* out, int capacity, bool compose);
// The precomposed character of base + mark, or 0.
char16_t ComposeMark(char16_t base, char16_t mark);
