// The plain-changes walk through the permutations of 1 .. n.
//
// The walk keeps three tables indexed from 1: perm, the current permutation
// (perm[j] is the column that row j takes), and counter and direction, the
// walk's own state. Starting from the identity, each step swaps two
// neighbouring positions of perm; n! steps pass through every permutation
// exactly once, and the last one brings perm back to the identity. Each step
// flips the permutation's parity.
#ifndef QUADRIXEL_MATRIX_PERMUTATION_WALK_H_
#define QUADRIXEL_MATRIX_PERMUTATION_WALK_H_

#include <cstdint>

// Entries in each of the walk's tables perm, counter and direction; they are
// indexed from 1 and serve orders up to 13.
inline constexpr int PERM_TABLE_INTS = 14;

// Loads the three tables from their constant templates: perm the identity,
// every counter 0, every direction +1.
void startWalk(std::int32_t* perm, std::int32_t* counter, std::int32_t* direction);

// Makes one step of the walk of order n on tables loaded by startWalk and
// returns the swap position k: perm[k] and perm[k + 1] have been exchanged.
// Requires 2 <= n <= 13 and at most n! steps since startWalk.
std::int32_t walkStep(std::int32_t n, std::int32_t* perm, std::int32_t* counter,
                      std::int32_t* direction);

#endif  // QUADRIXEL_MATRIX_PERMUTATION_WALK_H_
