// Telling a determinant or adjoint that fits in 32 bits from one that only
// wraps into them.
//
// The walk computes the determinant and the cofactors modulo 2^32. This unit
// decides, exactly and in time polynomial in the order, whether the true
// values lie in -2147483648 .. 2147483647, so that the dialogue never reports
// a wrapped value as the answer.
//
// How: the matrix is reduced modulo seven fixed primes p0 .. p6 between 2^61
// and 2^62, and Gauss-Jordan elimination modulo each prime gives the
// determinant and, when the determinant is not 0 there, the adjoint as the
// determinant times the inverse, both modulo that prime. A true value T
// (the determinant, or one cofactor) is in the 32-bit range exactly when
// the residue of T modulo p0, taken in -(p0-1)/2 .. (p0-1)/2, is a 32-bit
// value c and T is congruent to c modulo every other prime too:
// - if T is in range, then c = T (p0 > 2^33), and T agrees with itself;
// - if c is in range and T agrees with c modulo all seven primes, then
//   T - c is a multiple of their product P > 2^427, while
//   |T - c| <= 2^396 + 2^31 < P: every entry is at most 2^31 in magnitude,
//   so every row has length below 2^31 * sqrt(12) < 2^33, and by Hadamard's
//   bound a determinant or minor of order up to 12 is below 2^(33*12).
//   So T = c.
// The cofactors only matter when the determinant fits and is not 0; then
// |det| < 2^31 < p, so the determinant is not 0 modulo any of the primes and
// the inverse exists modulo each. All arithmetic is in 64-bit words with
// 128-bit products (Montgomery form); nothing is allocated. The cost is seven
// eliminations of order n, each about 2n^3 modular products and n inverses.
#ifndef QUADRIXEL_MATRIX_EXACT_RANGE_H_
#define QUADRIXEL_MATRIX_EXACT_RANGE_H_

#include <cstdint>

enum class ExactRange {
  kFits,                 // the true determinant fits, and, when it is not 0,
                         // every true cofactor fits too
  kDeterminantTooLarge,  // the true determinant lies outside the 32-bit range
  kAdjointTooLarge,      // the determinant fits and is not 0, a cofactor does not
};

// Decides exactly where the true determinant and cofactors of the square
// record `matrix` lie; any 32-bit entries. The order is the column count, as
// for the determinant. Requires order 1 .. 12; the empty matrix (order 0,
// determinant 1) gives kFits, and other orders are not examined and give
// kFits too. Reads only elements 0 .. n*n.
ExactRange checkExactRange(const std::int32_t* matrix);

#endif  // QUADRIXEL_MATRIX_EXACT_RANGE_H_
