#include <benchmark/benchmark.h>

#include "runtime/Clock.h"
#include "runtime/RandomGenerator.h"
#include "runtime/Trace.h"
#include "runtime/XQueue.h"

// A channel that routes nowhere, looked up in a full table: the cost every
// silent diagnostic pays.
static void BM_TracePrintfUnrouted(benchmark::State& state) {
  for (uint32_t channel = 100; GetTraceChannelTable().mCount < kTraceChannelCapacity; ++channel)
    SetTraceChannel(channel, kTraceToConsole);
  for (auto _ : state) benchmark::DoNotOptimize(TracePrintf(0x1000000B, "XThread %s: %d", "name", 42));
}
BENCHMARK(BM_TracePrintfUnrouted);

static void BM_GetWallClockMilliseconds(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(GetWallClockMilliseconds());
}
BENCHMARK(BM_GetWallClockMilliseconds);

static void BM_RandomNextInRange(benchmark::State& state) {
  RandomGenerator random;
  random.Seed();
  for (auto _ : state) benchmark::DoNotOptimize(random.NextInRange(0, 999));
}
BENCHMARK(BM_RandomNextInRange);

static void BM_XQueuePushPop(benchmark::State& state) {
  XQueue queue;
  for (int i = 0; i < 64; ++i) queue.PushBack(nullptr);
  for (auto _ : state) {
    queue.PushBack(&queue);
    benchmark::DoNotOptimize(queue.PopFront());
  }
}
BENCHMARK(BM_XQueuePushPop);
