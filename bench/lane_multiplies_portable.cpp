// The lane multiply measure for the Portable kernel's instruction set.
#include "lane_multiplies_x86.h"

namespace {

typedef std::uint32_t Lanes __attribute__((vector_size(16)));

}  // namespace

std::uint32_t multiplyChainsPortable(std::uint32_t seed, std::int64_t rounds, int* lanes) {
  return multiplyChains<Lanes>(seed, rounds, lanes);
}
