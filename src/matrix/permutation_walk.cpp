// counter[i] is how far index i has gone in its current sweep and
// direction[i] (+1 or -1) the way it moves. Each step raises or lowers the
// counter of the highest index n and, when that counter turns, passes on to
// index n - 1, and so on; the step then swaps two neighbouring positions of
// perm.
//
// Index n moves column 1 across all n positions, index n - 1 moves column 2
// across the positions that column 1 leaves free, and so on: between two
// steps of the indices below n - 2, the permutations visited are the current
// arrangement of columns 4 .. n with columns 3, 2 and 1 inserted in turn at
// every possible position. The block kernels rely on this.
#include "matrix/permutation_walk.h"

namespace {

// Fresh copies of these start every walk; they are never written.
constexpr std::int32_t PERM_TEMPLATE[PERM_TABLE_INTS] = {0, 1, 2, 3,  4,  5,  6,
                                                         7, 8, 9, 10, 11, 12, 13};
constexpr std::int32_t COUNTER_TEMPLATE[PERM_TABLE_INTS] = {};
constexpr std::int32_t DIRECTION_TEMPLATE[PERM_TABLE_INTS] = {1, 1, 1, 1, 1, 1, 1,
                                                              1, 1, 1, 1, 1, 1, 1};

}  // namespace

void startWalk(std::int32_t* perm, std::int32_t* counter, std::int32_t* direction) {
  for (int i = 0; i < PERM_TABLE_INTS; ++i) {
    perm[i] = PERM_TEMPLATE[i];
    counter[i] = COUNTER_TEMPLATE[i];
    direction[i] = DIRECTION_TEMPLATE[i];
  }
}

std::int32_t walkStep(std::int32_t n, std::int32_t* perm, std::int32_t* counter,
                      std::int32_t* direction) {
  std::int32_t shift = 0;
  std::int32_t i = n;
  std::int32_t k;
  for (;;) {
    counter[i] += direction[i];
    if (counter[i] == i) {
      direction[i] = -1;
    } else if (counter[i] != 0) {
      k = counter[i] + shift;
      break;
    } else {
      direction[i] = 1;
      ++shift;
    }
    if (i <= 2) {
      k = 1 + shift;
      break;
    }
    --i;
  }
  const std::int32_t swapped = perm[k];
  perm[k] = perm[k + 1];
  perm[k + 1] = swapped;
  return k;
}
