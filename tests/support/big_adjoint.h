// The exact determinant and adjoint of an integer matrix in big integers, as
// an independent reference for the 32-bit range checks.
//
// The Faddeev-LeVerrier recurrence needs only products of big integers with
// the matrix's own 32-bit entries, sums and exact division by small
// integers: M_1 = I, c_{n-1} = -tr(A M_1), and for k = 2 .. n
// M_k = A M_{k-1} + c_{n-k+1} I, c_{n-k} = -tr(A M_k) / k. Then
// det A = (-1)^n c_0 and adj A = (-1)^(n+1) M_n. Numbers are fixed-width
// two's complement; every intermediate value is checked to keep 64 bits of
// headroom, far more than order 12 needs (below 2^450).
#ifndef QUADRIXEL_TESTS_SUPPORT_BIG_ADJOINT_H_
#define QUADRIXEL_TESTS_SUPPORT_BIG_ADJOINT_H_

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "matrix/matrix_record.h"

inline constexpr int BIG_LIMBS = 18;  // 576 bits

// A signed integer of BIG_LIMBS 32-bit limbs, least significant first, in
// two's complement.
struct BigInt {
  std::uint32_t limb[BIG_LIMBS] = {};
};

inline BigInt bigFrom(std::int64_t value) {
  BigInt big;
  const std::uint64_t bits = static_cast<std::uint64_t>(value);
  big.limb[0] = static_cast<std::uint32_t>(bits);
  big.limb[1] = static_cast<std::uint32_t>(bits >> 32);
  const std::uint32_t fill = value < 0 ? 0xFFFFFFFFu : 0;
  for (int i = 2; i < BIG_LIMBS; ++i) big.limb[i] = fill;
  return big;
}

inline bool bigIsNegative(const BigInt& a) { return a.limb[BIG_LIMBS - 1] >> 31 != 0; }

inline bool bigIsZero(const BigInt& a) {
  for (std::uint32_t l : a.limb) {
    if (l != 0) return false;
  }
  return true;
}

// True when a lies in -2^31 .. 2^31 - 1.
inline bool bigFitsInt32(const BigInt& a) {
  const std::uint32_t fill = a.limb[0] >> 31 != 0 ? 0xFFFFFFFFu : 0;
  for (int i = 1; i < BIG_LIMBS; ++i) {
    if (a.limb[i] != fill) return false;
  }
  return true;
}

// a modulo 2^32, as the signed 32-bit value a wrapping computation gives.
inline std::int32_t bigLowWord(const BigInt& a) { return static_cast<std::int32_t>(a.limb[0]); }

// True when |a| < 2^(32 * (BIG_LIMBS - 2) - 1).
inline bool bigHasHeadroom(const BigInt& a) {
  const std::uint32_t fill = a.limb[BIG_LIMBS - 3] >> 31 != 0 ? 0xFFFFFFFFu : 0;
  return a.limb[BIG_LIMBS - 1] == fill && a.limb[BIG_LIMBS - 2] == fill;
}

// acc += a * m.
inline void bigAddProduct(BigInt& acc, const BigInt& a, std::int32_t m) {
  const std::uint64_t magnitude =
      m >= 0 ? static_cast<std::uint64_t>(m) : 0 - static_cast<std::uint64_t>(m);
  std::uint64_t carry = 0;   // the high word of the product so far
  std::uint64_t ripple = 0;  // carry of the addition, or borrow of the subtraction
  for (int i = 0; i < BIG_LIMBS; ++i) {
    const std::uint64_t product = a.limb[i] * magnitude + carry;
    carry = product >> 32;
    const std::uint64_t low = product & 0xFFFFFFFFu;
    if (m >= 0) {
      const std::uint64_t sum = acc.limb[i] + low + ripple;
      acc.limb[i] = static_cast<std::uint32_t>(sum);
      ripple = sum >> 32;
    } else {
      const std::uint64_t difference = acc.limb[i] - low - ripple;
      acc.limb[i] = static_cast<std::uint32_t>(difference);
      ripple = difference >> 63;
    }
  }
}

inline BigInt bigNegate(const BigInt& a) {
  BigInt negated;
  bigAddProduct(negated, a, -1);
  return negated;
}

// a / k for a positive k that divides a.
inline BigInt bigDivideExactly(const BigInt& a, std::uint32_t k) {
  const bool negative = bigIsNegative(a);
  BigInt quotient = negative ? bigNegate(a) : a;
  std::uint64_t remainder = 0;
  for (int i = BIG_LIMBS - 1; i >= 0; --i) {
    const std::uint64_t current = remainder << 32 | quotient.limb[i];
    quotient.limb[i] = static_cast<std::uint32_t>(current / k);
    remainder = current % k;
  }
  EXPECT_EQ(remainder, 0u) << "inexact division";
  return negative ? bigNegate(quotient) : quotient;
}

struct BigAdjoint {
  BigInt determinant;
  std::vector<BigInt> adjoint;  // row by row, n x n
};

// The exact determinant and adjoint of the square record `matrix`, order
// 1 .. 12.
inline BigAdjoint exactAdjoint(const std::int32_t* matrix) {
  const int n = matrixColumns(matrix);
  const std::int32_t* a = matrix + 1;
  BigAdjoint result;
  result.adjoint.resize(static_cast<std::size_t>(n * n));
  BigInt* m = result.adjoint.data();  // M_k
  std::vector<BigInt> product(static_cast<std::size_t>(n * n));
  BigInt* am = product.data();  // A M_k
  BigInt c = bigFrom(1);        // c_{n-k+1}
  for (int k = 1; k <= n; ++k) {
    for (int i = 0; i < n * n; ++i) {
      m[i] = k == 1 ? BigInt{} : am[i];
      if (i % (n + 1) == 0) bigAddProduct(m[i], c, 1);
      EXPECT_TRUE(bigHasHeadroom(m[i]));
    }
    BigInt trace;
    for (int i = 0; i < n; ++i) {
      for (int j = 0; j < n; ++j) {
        BigInt sum;
        for (int l = 0; l < n; ++l) {
          if (a[i * n + l] != 0) bigAddProduct(sum, m[l * n + j], a[i * n + l]);
        }
        EXPECT_TRUE(bigHasHeadroom(sum));
        if (i == j) bigAddProduct(trace, sum, 1);
        am[i * n + j] = sum;
      }
    }
    c = bigNegate(bigDivideExactly(trace, static_cast<std::uint32_t>(k)));
  }
  result.determinant = n % 2 == 0 ? c : bigNegate(c);
  if (n % 2 == 0) {
    for (BigInt& entry : result.adjoint) entry = bigNegate(entry);
  }
  return result;
}

#endif  // QUADRIXEL_TESTS_SUPPORT_BIG_ADJOINT_H_
