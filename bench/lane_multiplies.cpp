#include "lane_multiplies.h"

#include <cstring>

// The measures, each in a source of its own, built beside the kernels of the
// same instruction sets.
std::uint32_t multiplyChainsPortable(std::uint32_t seed, std::int64_t rounds, int* lanes);
std::uint32_t multiplyChainsSse41(std::uint32_t seed, std::int64_t rounds, int* lanes);
std::uint32_t multiplyChainsAvx2(std::uint32_t seed, std::int64_t rounds, int* lanes);
std::uint32_t multiplyChainsAvx512(std::uint32_t seed, std::int64_t rounds, int* lanes);

namespace {

// Where this build has no measure for a set, its row stays, without one.
#if defined(QUADRIXEL_X86_MEASURES)
constexpr MultiplyChains PORTABLE_MEASURE = multiplyChainsPortable;
#else
constexpr MultiplyChains PORTABLE_MEASURE = nullptr;
#endif
#if defined(QUADRIXEL_SSE41_KERNEL)
constexpr MultiplyChains SSE41_MEASURE = multiplyChainsSse41;
#else
constexpr MultiplyChains SSE41_MEASURE = nullptr;
#endif
#if defined(QUADRIXEL_AVX2_KERNEL)
constexpr MultiplyChains AVX2_MEASURE = multiplyChainsAvx2;
#else
constexpr MultiplyChains AVX2_MEASURE = nullptr;
#endif
#if defined(QUADRIXEL_AVX512_KERNEL)
constexpr MultiplyChains AVX512_MEASURE = multiplyChainsAvx512;
#else
constexpr MultiplyChains AVX512_MEASURE = nullptr;
#endif

struct Measure {
  const char* kernel;
  MultiplyChains chains;
};

constexpr Measure MEASURES[] = {
    {"Portable", PORTABLE_MEASURE},
    {"Sse41", SSE41_MEASURE},
    {"Avx2", AVX2_MEASURE},
    {"Avx512", AVX512_MEASURE},
};

}  // namespace

MultiplyChains multiplyChainsFor(const char* kernel) {
  for (const Measure& measure : MEASURES) {
    if (std::strcmp(measure.kernel, kernel) == 0) return measure.chains;
  }
  return nullptr;
}
