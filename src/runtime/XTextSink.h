// The receiver of the runtime objects' describe output, and the writers
// that indent every line handed to it.
#pragma once

#include <cstdint>

class XTextSink {
 public:
  XTextSink() = default;
  XTextSink(const XTextSink&) = delete;
  XTextSink& operator=(const XTextSink&) = delete;
  virtual ~XTextSink() = default;

  // newLine: the text starts a new line (it is the indentation after a
  // line break). length counts the bytes; text is not zero-terminated.
  virtual void Write(bool newLine, const char* text, int length) = 0;

  int32_t mWriteCount = 0;  // completed SinkWrite calls that consumed text
  int32_t mIndent = 0;      // each level is four spaces
};

// Writes the text up to length bytes or its terminating zero (a negative
// length: up to the zero). A carriage return or line feed is not passed on:
// the indentation of the next line is written in its place. A null sink or
// text writes nothing.
void SinkWrite(XTextSink* sink, const char* text, int length);
// Formats the message and hands it whole to SinkWrite.
void SinkPrintf(XTextSink* sink, const char* format, ...) __attribute__((format(printf, 2, 3)));
