// Free text functions on byte texts. Lengths of -1 (any negative) mean up to
// the zero byte; positions returned are 1-based with 0 meaning absent.
#pragma once

#include <cstdint>

int CompareText(const char* a, int lengthA, const char* b, int lengthB, bool caseSensitive);
int FormatInteger(int64_t value, char* out, int base);
int FormatDecimal(double value, int decimals, char* out);
int FormatCode(int64_t value, char* out, bool lowerCase);
// Escapes bytes from *position (flags as UtilStr::AppendEscaped) while a whole
// escape still fits into out; stores the position reached, returns bytes written.
int EscapeBytes(const char* bytes, int end, int flags, char* out, int outSize, int* position);
int UnescapeBytes(const char* text, int end, char* out, int outSize, char quote, int* position);
bool EndsWith(const char* suffix, bool caseSensitive, const char* text, int length);
bool StartsWith(const char* prefix, bool caseSensitive, const char* text, int length);
int FindChar(char byte, int start, bool caseSensitive, const char* text, int length);
int64_t ParseCharConstant(const char* text, int length, bool skipBlanks);
int64_t ParseInteger(const char* text, int length);
int32_t ParseInt32(const char* text, int length);
double ParseReal(const char* text, int length);
