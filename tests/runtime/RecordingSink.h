// A text sink that keeps every Write call, for the describe tests.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "runtime/XTextSink.h"

class RecordingSink : public XTextSink {
 public:
  void Write(bool newLine, const char* text, int length) override {
    mCalls.emplace_back(newLine, std::string(text, size_t(length)));
  }

  // Everything written, with each line start shown as a line feed.
  std::string Text() const {
    std::string text;
    for (const auto& [newLine, piece] : mCalls) text += (newLine ? "\n" : "") + piece;
    return text;
  }

  std::vector<std::pair<bool, std::string>> mCalls;
};
