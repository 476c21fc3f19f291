// The host parameter text: space-separated Key=Value pairs, values optionally
// double-quoted (Host="Windows Media Player" Realtime=1 ...).
#pragma once

#include <map>
#include <string>

namespace sample_engine {

class HostParameters {
 public:
  static HostParameters Parse(const char* text);

  std::string Text(const std::string& key, const std::string& fallback = {}) const;
  int Integer(const std::string& key, int fallback) const;

 private:
  std::map<std::string, std::string> mValues;
};

}  // namespace sample_engine
