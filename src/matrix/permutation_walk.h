// The plain-changes walk through the permutations of 1 .. n.
//
// A walk keeps three tables indexed from 1: perm, the current permutation
// (perm[j] is the column that row j takes), and counter and direction, the
// walk's own state. Starting from the identity, each step swaps two
// neighbouring positions of perm; the n! steps pass through every
// permutation exactly once, and the last one brings perm back to the
// identity. From order 2 on each step flips the permutation's parity, so the
// first permutation of a walk is odd and the last one even; the one step of
// a walk of order 0 or 1 swaps nothing and leaves the identity, which is even.
//
// Index n moves column 1 across all n positions, index n - 1 moves column 2
// across the positions that column 1 leaves free, and so on: between two
// steps of the indices below n - 3, the permutations visited are the current
// arrangement of columns 5 .. n with columns 4, 3, 2 and 1 inserted in turn
// at every possible position. The block kernels rely on this, and on the same
// shape one level down: for n >= 3 the walk is n - 1 steps of index n that
// swap at positions 1, 2, .., n - 1 (column 1 moving to the end), one step
// of the lower indices, n - 1 steps at positions n - 1, .., 1 (column 1
// moving back), one more step of the lower indices, and so on; the steps of
// the lower indices are, in turn, the steps of the walk of order n - 1,
// their positions raised by one after each sweep back.
#ifndef QUADRIXEL_MATRIX_PERMUTATION_WALK_H_
#define QUADRIXEL_MATRIX_PERMUTATION_WALK_H_

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
// walk.stepsLeft > 0.
std::int32_t walkStep(PermutationWalk& walk);

#endif  // QUADRIXEL_MATRIX_PERMUTATION_WALK_H_
