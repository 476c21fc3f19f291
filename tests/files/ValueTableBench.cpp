// ValueTable::Parse of a realistic 55,000-byte engine.txt beside inih's
// ini_parse_string on the same settings written as an INI file, whose
// handler keeps every value in a std::unordered_map as a user of inih would.
#include <benchmark/benchmark.h>
#include <ini.h>

#include <cstdio>
#include <string>
#include <unordered_map>

#include "NewCounter.h"
#include "files/Tokenizer.h"
#include "files/ValueTable.h"

namespace {

struct SettingsText {
  std::string engineText;
  std::string iniText;
};

// Product keys, then presets with text, integer, real, hex and word values.
const SettingsText& Settings() {
  static SettingsText settings = [] {
    SettingsText made;
    made.engineText =
        "REVISION = 2\nPRODUCT_NAME = \"Lumatide\"\nVERSION = 31\nVERSION_STR = \"3.1.0\"\n"
        "LIB = \"\\\\Engine\\\\Lumatide Engine x64.dll\"\nAUTHOR_URL = "
        "\"https://www.brightcurrent.example/\"\n";
    made.iniText =
        "[product]\nREVISION = 2\nPRODUCT_NAME = Lumatide\nVERSION = 31\nVERSION_STR = 3.1.0\n"
        "LIB = \\Engine\\Lumatide Engine x64.dll\nAUTHOR_URL = "
        "https://www.brightcurrent.example/\n[presets]\n";
    const char* names[] = {"Aurora Drift", "Ember Field", "Glass Tide", "Night Bloom", "Quiet Orbit"};
    const char* modes[] = {"additive", "blend", "screen", "multiply"};
    char line[160];
    for (int i = 1;; ++i) {
      const struct {
        const char* suffix;
        std::string engineValue;
        std::string iniValue;
      } values[] = {
          {"NAME", std::string("\"") + names[i % 5] + " " + std::to_string(i) + "\"",
           std::string(names[i % 5]) + " " + std::to_string(i)},
          {"SPEED", std::to_string(i % 7) + ".25", std::to_string(i % 7) + ".25"},
          {"FRAMES", std::to_string(600 + i * 3), std::to_string(600 + i * 3)},
          {"COLOURS", "0x" + std::to_string(100000 + i * 7), "0x" + std::to_string(100000 + i * 7)},
          {"MODE", modes[i % 4], modes[i % 4]},
          {"GAIN", "-0." + std::to_string(i % 9 + 1), "-0." + std::to_string(i % 9 + 1)},
      };
      for (const auto& value : values) {
        std::snprintf(line, sizeof line, "PRESET_%04d_%s = ", i, value.suffix);
        const std::string engineLine = line + value.engineValue + "\n";
        if (made.engineText.size() + engineLine.size() > 55000) {
          made.engineText.resize(55000, ' ');
          return made;
        }
        made.engineText += engineLine;
        made.iniText += line + value.iniValue + "\n";
      }
    }
  }();
  return settings;
}

int KeepIniValue(void* user, const char*, const char* name, const char* value) {
  (*static_cast<std::unordered_map<std::string, std::string>*>(user))[name] = value;
  return 1;
}

void ValueTableParse(benchmark::State& state) {
  const std::string& text = Settings().engineText;
  const size_t newCallsBefore = NewCalls();
  int32_t entries = 0;
  for (auto _ : state) {
    ValueTable table;
    if (table.Parse(text.data(), int(text.size())) != 0) state.SkipWithError("engine.txt did not parse");
    entries = table.TextKeyed().Count();
  }
  state.SetBytesProcessed(int64_t(state.iterations() * text.size()));
  state.counters["entries"] = double(entries);
  state.counters["new/parse"] = double(NewCalls() - newCallsBefore) / double(state.iterations());
}

void IniParseString(benchmark::State& state) {
  const std::string& text = Settings().iniText;
  const size_t newCallsBefore = NewCalls();
  size_t entries = 0;
  for (auto _ : state) {
    std::unordered_map<std::string, std::string> values;
    if (ini_parse_string(text.c_str(), KeepIniValue, &values) != 0) state.SkipWithError("INI did not parse");
    entries = values.size();
  }
  state.SetBytesProcessed(int64_t(state.iterations() * text.size()));
  state.counters["entries"] = double(entries);
  state.counters["new/parse"] = double(NewCalls() - newCallsBefore) / double(state.iterations());
}

void TokenizeOnly(benchmark::State& state) {
  const std::string& text = Settings().engineText;
  for (auto _ : state) {
    Tokenizer tokens;
    tokens.Tokenize(text.data(), int(text.size()), 0, nullptr, TokenType::Integer);
    benchmark::DoNotOptimize(tokens.TokenCount());
  }
  state.SetBytesProcessed(int64_t(state.iterations() * text.size()));
}

BENCHMARK(ValueTableParse)->Unit(benchmark::kMicrosecond);
BENCHMARK(IniParseString)->Unit(benchmark::kMicrosecond);
BENCHMARK(TokenizeOnly)->Unit(benchmark::kMicrosecond);

}  // namespace
