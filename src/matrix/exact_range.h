// Telling a determinant or adjoint that fits in 32 bits from one that only
// wraps into them.
//
// The walk computes the determinant and the cofactors modulo 2^32. This unit
// decides, exactly and in time polynomial in the order, whether the true
// values lie in -2147483648 .. 2147483647, so that the dialogue never reports
// a wrapped value as the answer.
#ifndef QUADRIXEL_MATRIX_EXACT_RANGE_H_
#define QUADRIXEL_MATRIX_EXACT_RANGE_H_

#include <cstdint>

enum class ExactRange {
  kFits,                // the true determinant fits, and, when it is not 0,
                        // every true cofactor fits too
  kDeterminantTooLarge, // the true determinant lies outside the 32-bit range
  kAdjointTooLarge,     // the determinant fits and is not 0, a cofactor does not
};

// Decides where the true determinant and cofactors of the square record
// `matrix` lie. Requires order 1 .. 12.
ExactRange checkExactRange(const std::int32_t* matrix);

#endif  // QUADRIXEL_MATRIX_EXACT_RANGE_H_
