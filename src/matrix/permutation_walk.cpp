// The walk's start; its step is in the header.
#include "matrix/permutation_walk.h"

#include <cassert>

namespace {

// Fresh copies of these start every walk; they are never written.
constexpr std::int32_t PERM_TEMPLATE[PERM_TABLE_INTS] = {0, 1, 2, 3,  4,  5,  6,
                                                         7, 8, 9, 10, 11, 12, 13};
constexpr std::int32_t COUNTER_TEMPLATE[PERM_TABLE_INTS] = {};
constexpr std::int32_t DIRECTION_TEMPLATE[PERM_TABLE_INTS] = {1, 1, 1, 1, 1, 1, 1,
                                                              1, 1, 1, 1, 1, 1, 1};

}  // namespace

void startWalk(PermutationWalk& walk, std::int32_t n) {
  assert(n >= 0 && n <= MAX_WALK_ORDER);
  walk.order = n;
  for (int i = 0; i < PERM_TABLE_INTS; ++i) {
    walk.perm[i] = PERM_TEMPLATE[i];
    walk.counter[i] = COUNTER_TEMPLATE[i];
    walk.direction[i] = DIRECTION_TEMPLATE[i];
  }
  walk.stepsLeft = 1;
  for (std::int32_t i = 2; i <= n; ++i) walk.stepsLeft *= i;
  walk.odd = 0;
}
