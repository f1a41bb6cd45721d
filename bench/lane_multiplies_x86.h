// The body of the lane multiply measures, on the compilers' vector types; each
// measure source includes it, compiled for its instruction set, and
// instantiates multiplyChains with its widest vector of 32-bit lanes.
// Internal linkage, so that no function compiled for one set stands in for
// another.
#ifndef QUADRIXEL_BENCH_LANE_MULTIPLIES_X86_H_
#define QUADRIXEL_BENCH_LANE_MULTIPLIES_X86_H_

#include <cstdint>

#include "lane_multiplies.h"

namespace {

template <class V>
std::uint32_t multiplyChains(std::uint32_t seed, std::int64_t rounds, int* lanes) {
  constexpr int W = sizeof(V) / sizeof(std::uint32_t);
  V factor;
  for (int l = 0; l < W; ++l) factor[l] = seed + 2 * static_cast<std::uint32_t>(l) + 1;
  V chains[MULTIPLY_CHAINS];
  for (int c = 0; c < MULTIPLY_CHAINS; ++c) chains[c] = factor + static_cast<std::uint32_t>(c);
  for (std::int64_t round = 0; round < rounds; ++round) {
    for (int c = 0; c < MULTIPLY_CHAINS; ++c) chains[c] *= factor;
  }
  V sum = chains[0];
  for (int c = 1; c < MULTIPLY_CHAINS; ++c) sum += chains[c];
  std::uint32_t total = 0;
  for (int l = 0; l < W; ++l) total += sum[l];
  *lanes = W;
  return total;
}

}  // namespace

#endif  // QUADRIXEL_BENCH_LANE_MULTIPLIES_X86_H_
