#include "runtime/XTextSink.h"

#include <cstdarg>
#include <cstdio>
#include <memory>
#include <new>

namespace {

constexpr int kIndentPiece = 16;
constexpr char kSpaces[kIndentPiece + 1] = "                ";
constexpr int kStackBufferSize = 512;
constexpr int kStackCapacity = 510;

// At least one piece, the first marked as a line start, so every line break
// reaches the sink even without indentation.
void WriteIndentation(XTextSink* sink) {
  int remaining = sink->mIndent > 0 ? sink->mIndent * 4 : 0;
  bool first = true;
  do {
    const int piece = remaining < kIndentPiece ? remaining : kIndentPiece;
    sink->Write(first, kSpaces, piece);
    remaining -= piece;
    first = false;
  } while (remaining > 0);
}

}  // namespace

void SinkWrite(XTextSink* sink, const char* text, int length) {
  if (!sink || !text) return;
  int position = 0;
  int segmentStart = 0;
  for (;;) {
    const bool atEnd = (length >= 0 && position >= length) || text[position] == 0;
    const bool atBreak = !atEnd && (text[position] == '\r' || text[position] == '\n');
    if (!atEnd && !atBreak) {
      ++position;
      continue;
    }
    if (position > segmentStart) sink->Write(false, text + segmentStart, position - segmentStart);
    if (atEnd) break;
    WriteIndentation(sink);
    segmentStart = ++position;
  }
  if (position > 0) ++sink->mWriteCount;
}

void SinkPrintf(XTextSink* sink, const char* format, ...) {
  if (!sink || !format) return;
  char stackBuffer[kStackBufferSize];
  va_list arguments;
  va_start(arguments, format);
  va_list retry;
  va_copy(retry, arguments);
  const int needed = std::vsnprintf(stackBuffer, kStackCapacity, format, arguments);
  va_end(arguments);
  if (needed >= 0 && needed < kStackCapacity) {
    SinkWrite(sink, stackBuffer, needed);
  } else if (needed >= 0) {
    // A failed allocation drops the message: describing never fails its caller.
    const std::unique_ptr<char[]> heapBuffer(new (std::nothrow) char[size_t(needed) + 1]);
    if (heapBuffer && std::vsnprintf(heapBuffer.get(), size_t(needed) + 1, format, retry) == needed)
      SinkWrite(sink, heapBuffer.get(), needed);
  }
  va_end(retry);
}
