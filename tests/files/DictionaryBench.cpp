// XDictionary beside std::unordered_map<std::string, int64_t>: inserting and
// looking up the same short text keys.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <random>
#include <string>
#include <unordered_map>
#include <vector>

#include "files/XDictionary.h"

namespace {

struct Keys {
  std::vector<std::string> strings;
  std::vector<UtilStr> texts;
  std::vector<int> lookupOrder;
};

// Setting-like keys of 8 to 15 bytes in random order.
const Keys& KeysFor(int count) {
  static std::unordered_map<int, Keys> made;
  Keys& keys = made[count];
  if (!keys.strings.empty()) return keys;
  std::mt19937 random{uint32_t(count)};
  const char* stems[] = {"PRESET", "SCENE", "LAYER", "COLOUR", "SPEED", "GAIN", "MODE", "TRAIL"};
  for (int i = 0; i < count; ++i) {
    char key[32];
    std::snprintf(key, sizeof key, "%s_%X", stems[random() % 8], unsigned(i));
    keys.strings.emplace_back(key);
    keys.texts.emplace_back(key);
  }
  keys.lookupOrder.resize(size_t(count));
  for (int i = 0; i < count; ++i) keys.lookupOrder[size_t(i)] = i;
  std::shuffle(keys.lookupOrder.begin(), keys.lookupOrder.end(), random);
  return keys;
}

void XDictionaryInsert(benchmark::State& state) {
  const Keys& keys = KeysFor(int(state.range(0)));
  for (auto _ : state) {
    XDictionary table;
    for (size_t i = 0; i < keys.texts.size(); ++i) table.Insert(keys.texts[i], int64_t(i), TagInteger);
    benchmark::DoNotOptimize(table.Count());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void UnorderedMapInsert(benchmark::State& state) {
  const Keys& keys = KeysFor(int(state.range(0)));
  for (auto _ : state) {
    std::unordered_map<std::string, int64_t> map;
    for (size_t i = 0; i < keys.strings.size(); ++i) map[keys.strings[i]] = int64_t(i);
    benchmark::DoNotOptimize(map.size());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void XDictionaryLookup(benchmark::State& state) {
  const Keys& keys = KeysFor(int(state.range(0)));
  XDictionary table;
  for (size_t i = 0; i < keys.texts.size(); ++i) table.Insert(keys.texts[i], int64_t(i), TagInteger);
  for (auto _ : state) {
    int64_t sum = 0;
    for (int i : keys.lookupOrder) {
      int64_t value;
      const UtilStr& key = keys.texts[size_t(i)];
      table.Lookup(key.mText, key.mLength, &value);
      sum += value;
    }
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

void UnorderedMapLookup(benchmark::State& state) {
  const Keys& keys = KeysFor(int(state.range(0)));
  std::unordered_map<std::string, int64_t> map;
  for (size_t i = 0; i < keys.strings.size(); ++i) map[keys.strings[i]] = int64_t(i);
  for (auto _ : state) {
    int64_t sum = 0;
    for (int i : keys.lookupOrder) sum += map.find(keys.strings[size_t(i)])->second;
    benchmark::DoNotOptimize(sum);
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}

BENCHMARK(XDictionaryInsert)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(UnorderedMapInsert)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(XDictionaryLookup)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);
BENCHMARK(UnorderedMapLookup)->Arg(10000)->Arg(1000000)->Unit(benchmark::kMicrosecond);

}  // namespace
