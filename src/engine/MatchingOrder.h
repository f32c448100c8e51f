#pragma once
// The random order in which matching visits the cells, and the random numbers behind it.
#include <cstdint>
#include <random>
#include <vector>

namespace pixadra {

// Uniform integers from a 64-bit Mersenne Twister (whose output the language fixes) reduced by
// Lemire's multiply-and-reject method, so one seed gives one order with every standard library.
class MatchRandom {
  public:
    explicit MatchRandom(uint64_t seed) : engine_(seed) {}
    // Uniform in 0..n-1; 0 when n <= 0.
    int64_t Random(int64_t n);

  private:
    std::mt19937_64 engine_;
};

// A seed from the clock, for passes that are not given one.
uint64_t ClockSeed();

// Cell numbers 0..cellCount-1 in visiting order. Each cell is inserted at Random(length - 1) of
// the list built so far (appended to an empty list), then each position i in turn is moved to
// Random(cellCount - 1). Takes O(log n) per step, so millions of cells are no problem.
std::vector<int32_t> MatchingOrder(int32_t cellCount, MatchRandom& random);

}  // namespace pixadra
