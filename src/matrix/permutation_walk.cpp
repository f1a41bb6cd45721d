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

std::int32_t walkStep(PermutationWalk& walk) {
  assert(walk.stepsLeft > 0);
  --walk.stepsLeft;
  if (walk.order < 2) return 0;
  // counter[i] is how far index i has gone in its current sweep and
  // direction[i] (+1 or -1) the way it moves. The step raises or lowers the
  // counter of the highest index n and, when that counter turns, passes on
  // to index n - 1, and so on; then it swaps two neighbouring positions.
  std::int32_t* const counter = walk.counter;
  std::int32_t* const direction = walk.direction;
  std::int32_t shift = 0;
  std::int32_t i = walk.order;
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
  const std::int32_t swapped = walk.perm[k];
  walk.perm[k] = walk.perm[k + 1];
  walk.perm[k + 1] = swapped;
  walk.odd = 1 - walk.odd;
  return k;
}
