#include "lane_multiplies.h"

#include <cstring>

// The measures, each in a source of its own, built beside the kernels of the
// same instruction sets.
std::uint32_t multiplyChainsPortable(std::uint32_t seed, std::int64_t rounds, int* lanes);
std::uint32_t multiplyChainsSse41(std::uint32_t seed, std::int64_t rounds, int* lanes);
std::uint32_t multiplyChainsAvx2(std::uint32_t seed, std::int64_t rounds, int* lanes);
std::uint32_t multiplyChainsAvx512(std::uint32_t seed, std::int64_t rounds, int* lanes);

MultiplyChains multiplyChainsFor(const char* kernel) {
  struct Measure {
    const char* kernel;
    MultiplyChains chains;
  };
  const Measure measures[] = {
#if defined(QUADRIXEL_X86_MEASURES)
    {"Portable", multiplyChainsPortable},
#endif
#if defined(QUADRIXEL_SSE41_KERNEL)
    {"Sse41", multiplyChainsSse41},
#endif
#if defined(QUADRIXEL_AVX2_KERNEL)
    {"Avx2", multiplyChainsAvx2},
#endif
#if defined(QUADRIXEL_AVX512_KERNEL)
    {"Avx512", multiplyChainsAvx512},
#endif
    {"", nullptr},
  };
  for (const Measure& measure : measures) {
    if (measure.chains != nullptr && std::strcmp(measure.kernel, kernel) == 0)
      return measure.chains;
  }
  return nullptr;
}
