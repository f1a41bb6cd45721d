// The determinant by the permutation expansion.
//
// All n! permutations of the columns are walked by adjacent transpositions in
// plain-changes order (the identity comes last), and the product of the
// entries each permutation picks is added or subtracted with the permutation's
// sign, which simply alternates from step to step. Every product and sum wraps
// modulo 2^32, so the result is the true determinant reduced into the signed
// 32-bit range: exact whenever the true value fits, however far single terms
// overflow. Nothing is pruned: a zero entry still costs its full term.
// From order 4 on, the sweeps of the walk's three top indices are evaluated
// a block at a time, their terms sharing partial products (term_blocks.h).
#ifndef QUADRIXEL_MATRIX_DETERMINANT_H_
#define QUADRIXEL_MATRIX_DETERMINANT_H_

#include <cstdint>

#include "matrix/permutation_walk.h"  // PERM_TABLE_INTS

// Returns the determinant of the square record `matrix`, wrapped to 32 bits.
// The order n is the column count; the row count is not read. Order 0 gives
// 1, the empty product. Orders below 0 or above 12 are not walked and give 0;
// callers keep them away. Reads only elements 0 .. n*n.
std::int32_t determinant(const std::int32_t* matrix);

#endif  // QUADRIXEL_MATRIX_DETERMINANT_H_
