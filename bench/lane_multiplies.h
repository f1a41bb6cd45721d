// The processor's own peak rate of 32-bit lane multiplies, for each
// instruction set that a block kernel is built for, so that a kernel's time
// per term can be given in multiplies of its own set.
//
// A measure runs many independent chains of vector multiplies (enough of
// them to cover the multiplier's latency on any x86 core, and few enough to
// stay in registers), each multiply a full vector of lanes. The measures are
// x86 sources, each compiled for its own set with the kernel's flags; on
// other targets there are none.
#ifndef QUADRIXEL_BENCH_LANE_MULTIPLIES_H_
#define QUADRIXEL_BENCH_LANE_MULTIPLIES_H_

#include <cstdint>

// Multiplies the lanes of CHAINS vectors by one vector, `rounds` times, and
// returns a sum of the products so that nothing can be left out; `lanes` is
// set to the lanes of one vector.
using MultiplyChains = std::uint32_t (*)(std::uint32_t seed, std::int64_t rounds, int* lanes);

// Chains per measure.
inline constexpr int MULTIPLY_CHAINS = 12;

// The measure for the kernel named `kernel` (as termKernels() names it), or
// null where this build has none.
MultiplyChains multiplyChainsFor(const char* kernel);

#endif  // QUADRIXEL_BENCH_LANE_MULTIPLIES_H_
