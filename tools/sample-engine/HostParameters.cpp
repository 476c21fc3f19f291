#include "HostParameters.h"

#include <cstdlib>

namespace sample_engine {
namespace {

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

HostParameters HostParameters::Parse(const char* text) {
  HostParameters parameters;
  if (text == nullptr) return parameters;
  const char* p = text;
  while (*p != '\0') {
    while (IsSpace(*p)) ++p;
    const char* keyStart = p;
    while (*p != '\0' && *p != '=' && !IsSpace(*p)) ++p;
    std::string key(keyStart, p);
    if (*p != '=') continue;  // a bare word without value is skipped
    ++p;
    std::string value;
    if (*p == '"') {
      ++p;
      while (*p != '\0' && *p != '"') value.push_back(*p++);
      if (*p == '"') ++p;
    } else {
      while (*p != '\0' && !IsSpace(*p)) value.push_back(*p++);
    }
    if (!key.empty()) parameters.mValues[key] = value;
  }
  return parameters;
}

std::string HostParameters::Text(const std::string& key, const std::string& fallback) const {
  const auto it = mValues.find(key);
  return it == mValues.end() ? fallback : it->second;
}

int HostParameters::Integer(const std::string& key, int fallback) const {
  const auto it = mValues.find(key);
  if (it == mValues.end() || it->second.empty()) return fallback;
  char* end = nullptr;
  const long value = std::strtol(it->second.c_str(), &end, 10);
  return *end == '\0' ? static_cast<int>(value) : fallback;
}

}  // namespace sample_engine
