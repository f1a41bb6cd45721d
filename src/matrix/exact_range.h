// Telling a determinant or adjoint that fits in 32 bits from one that only
// wraps into them.
//
// The walk computes the determinant and the cofactors modulo 2^32. This unit
// decides, exactly and in time polynomial in the order, whether the true
// values lie in -2147483648 .. 2147483647, so that the dialogue never reports
// a wrapped value as the answer. Nothing is allocated; the decision does not
// depend on the target's word size.
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
// for the determinant. Requires order 0 .. 12; the empty matrix (order 0,
// determinant 1) gives kFits. Reads only elements 0 .. n*n.
ExactRange checkExactRange(const std::int32_t* matrix);

#endif  // QUADRIXEL_MATRIX_EXACT_RANGE_H_
