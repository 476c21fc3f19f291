// UtilStr beside std::string doing the same work.
#include <benchmark/benchmark.h>

#include <string>

#include "text/UtilStr.h"

namespace {

constexpr int kCopyBytes = 4096;
constexpr int kAppendTarget = 1 << 20;
constexpr char kPiece[] = "track title, artist name;";  // a short fragment, as log lines and paths grow
constexpr int kPieceBytes = sizeof kPiece - 1;

void UtilStrCopy4KiB(benchmark::State& state) {
  const UtilStr source(std::string(kCopyBytes, 'x').c_str(), kCopyBytes);
  for (auto _ : state) {
    UtilStr copy;
    copy.CopyFrom(source);
    benchmark::DoNotOptimize(copy.mText);
  }
}
BENCHMARK(UtilStrCopy4KiB);

void StdStringCopy4KiB(benchmark::State& state) {
  const std::string source(kCopyBytes, 'x');
  for (auto _ : state) {
    std::string copy(source);
    benchmark::DoNotOptimize(copy.data());
  }
}
BENCHMARK(StdStringCopy4KiB);

void UtilStrAppendTo1MiB(benchmark::State& state) {
  for (auto _ : state) {
    UtilStr text;
    while (text.mLength < kAppendTarget) text.Append(kPiece, kPieceBytes);
    benchmark::DoNotOptimize(text.mText);
  }
  state.SetBytesProcessed(state.iterations() * kAppendTarget);
}
BENCHMARK(UtilStrAppendTo1MiB)->Unit(benchmark::kMicrosecond);

void StdStringAppendTo1MiB(benchmark::State& state) {
  for (auto _ : state) {
    std::string text;
    while (text.size() < size_t(kAppendTarget)) text.append(kPiece, kPieceBytes);
    benchmark::DoNotOptimize(text.data());
  }
  state.SetBytesProcessed(state.iterations() * kAppendTarget);
}
BENCHMARK(StdStringAppendTo1MiB)->Unit(benchmark::kMicrosecond);

}  // namespace
