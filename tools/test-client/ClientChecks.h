// Collects the client's checks: every check prints one line, a failed one
// with what it got.
#pragma once

#include <cstdio>
#include <string>

class ClientChecks {
 public:
  bool Expect(bool passed, const std::string& what, const std::string& got = std::string()) {
    if (passed) {
      std::printf("ok: %s\n", what.c_str());
    } else {
      ++mFailures;
      std::printf("FAILED: %s (got %s)\n", what.c_str(), got.empty() ? "something else" : got.c_str());
    }
    std::fflush(stdout);
    return passed;
  }

  int Failures() const { return mFailures; }

 private:
  int mFailures = 0;
};

// Text for the checks' messages.
std::string Narrow(const std::wstring& text);
std::string Hex(long value);
