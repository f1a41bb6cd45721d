// The plain-changes walk through the permutations of 1 .. n.
//
// A walk keeps three tables indexed from 1: perm, the current permutation
// (perm[j] is the column that row j takes), and counter and direction, the
// walk's own state. Starting from the identity, each step swaps two
// neighbouring positions of perm; the n! steps pass through every
// permutation exactly once, and the last one brings perm back to the
// identity. Each step flips the permutation's parity, so the first
// permutation of a walk is odd and the last one even.
//
// Index n moves column 1 across all n positions, index n - 1 moves column 2
// across the positions that column 1 leaves free, and so on: between two
// steps of the indices below n - 2, the permutations visited are the current
// arrangement of columns 4 .. n with columns 3, 2 and 1 inserted in turn at
// every possible position. The block kernels rely on this.
#ifndef QUADRIXEL_MATRIX_PERMUTATION_WALK_H_
#define QUADRIXEL_MATRIX_PERMUTATION_WALK_H_

#include <cassert>
#include <cstdint>

#include "matrix/matrix_record.h"

// Entries in each of the walk's tables perm, counter and direction; they are
// indexed from 1 (index 0 is never used).
inline constexpr int PERM_TABLE_INTS = 14;

struct PermutationWalk {
  std::int32_t order;
  std::int32_t perm[PERM_TABLE_INTS];
  std::int32_t counter[PERM_TABLE_INTS];
  std::int32_t direction[PERM_TABLE_INTS];
  std::int32_t stepsLeft;  // n! at the start, one fewer after each step
  std::int32_t odd;        // 1 while perm is an odd permutation, else 0
};

// Starts a walk of order n from the constant templates: perm the identity,
// every counter 0, every direction +1, n! steps to go (one for orders 0 and
// 1). Requires 0 <= n <= MAX_WALK_ORDER, whose n! fits in a signed 32-bit
// count.
void startWalk(PermutationWalk& walk, std::int32_t n);

// Makes the next step of `walk` and returns its swap position k: perm[k] and
// perm[k + 1] have been exchanged, 1 <= k <= n - 1. The one step of a walk of
// order 0 or 1 leaves the identity as it is and returns 0. Requires
// walk.stepsLeft > 0. Defined here, so that the block kernels' loops over
// their lower walk see through it.
inline std::int32_t walkStep(PermutationWalk& walk) {
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

#endif  // QUADRIXEL_MATRIX_PERMUTATION_WALK_H_
