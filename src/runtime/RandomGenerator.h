// A small pseudo-random generator with 32 bits of state. Good enough to
// shuffle a list; not for anything that must be unpredictable.
#pragma once

#include <cstdint>

class RandomGenerator {
 public:
  RandomGenerator() = default;
  explicit RandomGenerator(uint32_t state) : mState(state) {}

  // Mixes the wall clock, the process id and this generator's address with
  // the previous seed of the process, so that generators seeded in the same
  // millisecond, or in two processes, still differ.
  void Seed();
  // Advances the state and returns it.
  uint32_t Next();
  // A value from low to high inclusive. When high is not above low: low,
  // and the state is left alone.
  int NextInRange(int low, int high);

  uint32_t GetState() const { return mState; }

 private:
  uint32_t mState = 0;
};
