// The determinant and adjoint taken the straightforward way, as a reference
// for the program's own routines and for the benchmarks.
//
// The walk here is derived afresh from the rule that defines plain changes,
// not from the program's counters: every column carries a direction
// (initially towards the higher positions); a column is mobile when the
// column next to it in its direction is a higher column; each step moves the
// lowest mobile column one place in its direction and turns round every
// column lower than it. When no column is mobile, all n! permutations have
// been visited and one more swap, of the last two positions, closes the walk
// on the identity. Each term is a fresh product of n entries, added or
// subtracted by the parity of its permutation, and every cofactor is one
// such determinant of its minor.
#ifndef QUADRIXEL_TESTS_SUPPORT_REFERENCE_WALK_H_
#define QUADRIXEL_TESTS_SUPPORT_REFERENCE_WALK_H_

#include <cstdint>
#include <vector>

// Returns the determinant of the square record `matrix` (order 0 .. 12),
// wrapped to 32 bits; order 0 gives 1. When `swaps` is given, the position k
// of every step's swap (of positions k and k + 1, counted from 1) is
// appended to it.
std::int32_t referenceDeterminant(const std::int32_t* matrix,
                                  std::vector<std::int32_t>* swaps = nullptr);

// Writes the size code and the n*n entries of the adjoint of the square
// record `matrix` (order 1 .. 13) into `adjoint`, one referenceDeterminant
// per cofactor.
void referenceAdjoint(const std::int32_t* matrix, std::int32_t* adjoint);

#endif  // QUADRIXEL_TESTS_SUPPORT_REFERENCE_WALK_H_
