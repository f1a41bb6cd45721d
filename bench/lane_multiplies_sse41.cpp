// The lane multiply measure for the Sse41 kernel's instruction set.
#include "lane_multiplies_x86.h"

namespace {

typedef std::uint32_t Lanes __attribute__((vector_size(16)));

}  // namespace

std::uint32_t multiplyChainsSse41(std::uint32_t seed, std::int64_t rounds, int* lanes) {
  return multiplyChains<Lanes>(seed, rounds, lanes);
}
