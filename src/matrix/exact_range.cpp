// How the range is decided.
//
// The matrix is reduced modulo seven fixed primes p0 .. p6 between 2^61 and
// 2^62, and Gauss-Jordan elimination modulo each prime gives the determinant
// and, when the determinant is not 0 there, the adjoint as the determinant
// times the inverse, both modulo that prime. A true value T (the determinant,
// or one cofactor) is in the 32-bit range exactly when the residue of T
// modulo p0, taken in -(p0-1)/2 .. (p0-1)/2, is a 32-bit value c and T is
// congruent to c modulo every other prime too:
// - if T is in range, then c = T (p0 > 2^33), and T agrees with itself;
// - if c is in range and T agrees with c modulo all seven primes, then
//   T - c is a multiple of their product P > 2^427, while
//   |T - c| <= 2^396 + 2^31 < P: every entry is at most 2^31 in magnitude,
//   so every row has length below 2^31 * sqrt(12) < 2^33, and by Hadamard's
//   bound a determinant or minor of order up to 12 is below 2^(33*12).
//   So T = c.
// The cofactors only matter when the determinant fits and is not 0; then
// |det| < 2^31 < p, so the determinant is not 0 modulo any of the primes and
// the inverse exists modulo each. The cost is seven eliminations of order n,
// each about 2n^3 modular products and n inverses.
//
// Residues are held in 64-bit words in Montgomery form, so that a modular
// product is two full 64 x 64 -> 128-bit products and no division. Each full
// product is built from four 32 x 32 -> 64-bit products in standard C++, the
// same on every target. The Montgomery constants and the modular product are
// checked at compile time against plain 64-bit arithmetic, and the moduli
// are then proved prime with that product.
#include "matrix/exact_range.h"

#include <cassert>

#include "matrix/matrix_record.h"

namespace {

constexpr int PRIME_COUNT = 7;
// The seven largest primes below 2^62; their product exceeds 2^427.
constexpr std::uint64_t PRIMES[PRIME_COUNT] = {
    (1ULL << 62) - 57,  (1ULL << 62) - 87,  (1ULL << 62) - 117, (1ULL << 62) - 143,
    (1ULL << 62) - 153, (1ULL << 62) - 167, (1ULL << 62) - 171,
};

// Returns a + b modulo m, for a, b < m < 2^63.
constexpr std::uint64_t addModPlain(std::uint64_t a, std::uint64_t b, std::uint64_t m) {
  return a >= m - b ? a - (m - b) : a + b;
}

// Returns a * b modulo m, for a, b < m < 2^62, in 64-bit words alone
// (compile time only: it is slow). Takes b two bits at a time: r < m keeps
// 4r below 2^64.
constexpr std::uint64_t mulModPlain(std::uint64_t a, std::uint64_t b, std::uint64_t m) {
  const std::uint64_t twice = addModPlain(a, a, m);
  const std::uint64_t multiples[4] = {0, a, twice, addModPlain(twice, a, m)};
  std::uint64_t r = 0;
  for (int shift = 62; shift >= 0; shift -= 2) {
    r = addModPlain((r << 2) % m, multiples[(b >> shift) & 3], m);
  }
  return r;
}

// The full product of two 64-bit words.
struct Product {
  std::uint64_t high;
  std::uint64_t low;
};

// Returns a * b, from the four products of their 32-bit halves.
constexpr Product multiplyFull(std::uint64_t a, std::uint64_t b) {
  constexpr std::uint64_t LOW = 0xFFFFFFFF;
  const std::uint64_t lowLow = (a & LOW) * (b & LOW);
  const std::uint64_t highLow = (a >> 32) * (b & LOW);
  const std::uint64_t lowHigh = (a & LOW) * (b >> 32);
  const std::uint64_t highHigh = (a >> 32) * (b >> 32);
  // Bits 32 and up of the three terms that reach bit 32: each term is below
  // 2^32, so their sum cannot wrap; its bits 32 and up carry into the high word.
  const std::uint64_t middle = (lowLow >> 32) + (highLow & LOW) + (lowHigh & LOW);
  return {highHigh + (highLow >> 32) + (lowHigh >> 32) + (middle >> 32),
          (middle << 32) | (lowLow & LOW)};
}

// Arithmetic modulo one prime p in Montgomery form: x is held as x * 2^64 mod p,
// always reduced into 0 .. p-1.
struct Field {
  std::uint64_t p;
  std::uint64_t negInverse;  // -p^-1 modulo 2^64
  std::uint64_t r2;          // 2^128 modulo p
};

constexpr Field makeField(std::uint64_t p) {
  std::uint64_t inverse = p;  // right in the low 3 bits; each step doubles that
  for (int i = 0; i < 5; ++i) inverse *= 2 - p * inverse;
  const std::uint64_t r1 = (0 - p) % p;  // 2^64 modulo p
  return {p, 0 - inverse, mulModPlain(r1, r1, p)};
}

constexpr Field FIELDS[PRIME_COUNT] = {
    makeField(PRIMES[0]), makeField(PRIMES[1]), makeField(PRIMES[2]), makeField(PRIMES[3]),
    makeField(PRIMES[4]), makeField(PRIMES[5]), makeField(PRIMES[6]),
};

// Returns a * b / 2^64 modulo p, for a, b < p < 2^62.
constexpr std::uint64_t mul(const Field& f, std::uint64_t a, std::uint64_t b) {
  const Product t = multiplyFull(a, b);
  const std::uint64_t m = t.low * f.negInverse;
  const Product mp = multiplyFull(m, f.p);
  // t + m * p is a multiple of 2^64 below 2^124 + 2^126: the low words add up
  // to 0 when t.low is 0 and to 2^64 otherwise. The quotient is below 2p.
  const std::uint64_t u = t.high + mp.high + (t.low != 0 ? 1 : 0);
  return u >= f.p ? u - f.p : u;
}

// Returns a - b modulo p, for a, b < p.
constexpr std::uint64_t sub(const Field& f, std::uint64_t a, std::uint64_t b) {
  return a >= b ? a - b : a + (f.p - b);
}

// Returns the Montgomery form of the residue x < p.
constexpr std::uint64_t fromResidue(const Field& f, std::uint64_t x) { return mul(f, x, f.r2); }

// Returns the plain residue of the 32-bit value v modulo p.
constexpr std::uint64_t residueOf(const Field& f, std::int32_t v) {
  return v >= 0 ? static_cast<std::uint64_t>(v) : f.p - (0 - static_cast<std::uint64_t>(v));
}

// Returns the Montgomery form of the 32-bit value v.
constexpr std::uint64_t fromInt(const Field& f, std::int32_t v) {
  return fromResidue(f, residueOf(f, v));
}

// Returns the plain residue 0 .. p-1 of the Montgomery form a.
constexpr std::uint64_t toResidue(const Field& f, std::uint64_t a) { return mul(f, a, 1); }

// Returns the Montgomery form of x^e for the Montgomery form a of x.
constexpr std::uint64_t power(const Field& f, std::uint64_t a, std::uint64_t e) {
  std::uint64_t result = fromResidue(f, 1);
  for (; e != 0; e >>= 1) {
    if (e & 1) result = mul(f, result, a);
    a = mul(f, a, a);
  }
  return result;
}

// Returns the Montgomery form of x^-1 for the Montgomery form a of x != 0,
// as x^(p-2) by Fermat's little theorem.
std::uint64_t inverse(const Field& f, std::uint64_t a) { return power(f, a, f.p - 2); }

// The moduli are proved at compile time. First the Montgomery constants and
// the product as built for this target, against plain arithmetic on residues
// at the edges (0, 1, the 32-bit borders, p/2, p-1, ...): mul is exact for
// every a, b < p once -p^-1 is right and no word overflows, which p < 2^62
// ensures; the samples guard the code of the product itself.
constexpr bool fieldIsSound(const Field& f) {
  if (f.p * f.negInverse != 0 - 1ULL) return false;
  const std::uint64_t samples[] = {
      0, 1, 2, 0xFFFFFFFF, 0x100000001, 0x123456789ABCDEF, f.p / 2, f.p / 2 + 1, f.p - 2, f.p - 1,
  };
  for (std::uint64_t x : samples) {
    const std::uint64_t montX = fromResidue(f, x);
    if (toResidue(f, montX) != x) return false;
    for (std::uint64_t y : samples) {
      if (toResidue(f, mul(f, montX, fromResidue(f, y))) != mulModPlain(x, y, f.p)) return false;
    }
  }
  return true;
}

// Miller-Rabin with these bases, the primes up to 37, decides primality
// exactly below 3.18 * 10^23, far above every modulus here (below 2^64).
constexpr std::uint64_t WITNESSES[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37};

// Then primality, by Miller-Rabin in the field's own product (the plain one
// would take too many compile-time steps): true when f.p, odd and above 37,
// is prime.
constexpr bool isPrime(const Field& f) {
  std::uint64_t d = f.p - 1;
  int twos = 0;
  for (; d % 2 == 0; d /= 2) ++twos;
  const std::uint64_t one = fromResidue(f, 1);
  const std::uint64_t minusOne = fromResidue(f, f.p - 1);
  for (std::uint64_t base : WITNESSES) {
    if (f.p % base == 0) return false;
    std::uint64_t x = power(f, fromResidue(f, base), d);
    if (x == one || x == minusOne) continue;
    bool passed = false;
    for (int i = 1; i < twos && !passed; ++i) {
      x = mul(f, x, x);
      passed = x == minusOne;
    }
    if (!passed) return false;
  }
  return true;
}

constexpr bool moduliAreSound() {
  for (int i = 0; i < PRIME_COUNT; ++i) {
    const Field& f = FIELDS[i];
    if (f.p <= (1ULL << 61) || f.p >= (1ULL << 62) || !fieldIsSound(f) || !isPrime(f)) {
      return false;
    }
    for (int j = 0; j < i; ++j) {
      if (FIELDS[j].p == f.p) return false;
    }
  }
  return true;
}
static_assert(moduliAreSound(),
              "the moduli must be distinct primes in (2^61, 2^62), each with the right "
              "Montgomery constants and a product that agrees with plain arithmetic");
// Their product, above 2^(61 * PRIME_COUNT), must exceed the largest gap
// between a true value and a 32-bit candidate, 2^(33 * 12) + 2^31.
static_assert(61 * PRIME_COUNT > 33 * MAX_WALK_ORDER + 1, "too few moduli for order 12");

// Sets `value` to the residue r (0 .. p-1) taken in -(p-1)/2 .. (p-1)/2 and
// returns true when that lies in the 32-bit range; returns false otherwise.
bool liftToInt32(const Field& f, std::uint64_t r, std::int32_t& value) {
  constexpr std::uint64_t HALF = 1ULL << 31;
  if (r < HALF) {
    value = static_cast<std::int32_t>(r);
    return true;
  }
  if (f.p - r <= HALF) {
    value = static_cast<std::int32_t>(-static_cast<std::int64_t>(f.p - r));
    return true;
  }
  return false;
}

// Returns the determinant modulo f.p (plain residue) of the order-n matrix,
// n in 0 .. 12. When it is not 0, `adjoint` receives the adjoint modulo
// f.p (plain residues, row-major, n x n); otherwise `adjoint` is not written.
std::uint64_t eliminate(const Field& f, const std::int32_t* matrix, int n,
                        std::uint64_t adjoint[MAX_WALK_ORDER * MAX_WALK_ORDER]) {
  // [A | I], reduced to [I | A^-1] by Gauss-Jordan elimination.
  std::uint64_t work[MAX_WALK_ORDER][2 * MAX_WALK_ORDER];
  const std::uint64_t one = fromInt(f, 1);
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      work[i][j] = fromInt(f, matrix[1 + i * n + j]);
      work[i][n + j] = i == j ? one : 0;
    }
  }
  std::uint64_t det = one;
  for (int k = 0; k < n; ++k) {
    int pivot = k;
    while (pivot < n && work[pivot][k] == 0) ++pivot;
    if (pivot == n) return 0;
    // Columns left of k are already 0 in both rows.
    if (pivot != k) {
      for (int j = k; j < 2 * n; ++j) {
        const std::uint64_t swapped = work[k][j];
        work[k][j] = work[pivot][j];
        work[pivot][j] = swapped;
      }
      det = sub(f, 0, det);
    }
    det = mul(f, det, work[k][k]);
    const std::uint64_t scale = inverse(f, work[k][k]);
    for (int j = k; j < 2 * n; ++j) work[k][j] = mul(f, work[k][j], scale);
    for (int i = 0; i < n; ++i) {
      const std::uint64_t factor = work[i][k];
      if (i == k || factor == 0) continue;
      for (int j = k; j < 2 * n; ++j) {
        work[i][j] = sub(f, work[i][j], mul(f, factor, work[k][j]));
      }
    }
  }
  // adj(A) = det(A) * A^-1.
  for (int i = 0; i < n; ++i) {
    for (int j = 0; j < n; ++j) {
      adjoint[i * n + j] = toResidue(f, mul(f, det, work[i][n + j]));
    }
  }
  return toResidue(f, det);
}

}  // namespace

ExactRange checkExactRange(const std::int32_t* matrix) {
  const int n = matrixColumns(matrix);
  assert(n >= 0 && n <= MAX_WALK_ORDER);
  const int entries = n * n;

  // Candidates from the first prime: the only 32-bit values the true ones
  // can be; the other primes confirm or refute them.
  std::int32_t detCandidate = 0;
  std::int32_t adjointCandidates[MAX_WALK_ORDER * MAX_WALK_ORDER];
  bool adjointFits = true;
  std::uint64_t adjoint[MAX_WALK_ORDER * MAX_WALK_ORDER];
  for (int q = 0; q < PRIME_COUNT; ++q) {
    const Field& f = FIELDS[q];
    const std::uint64_t det = eliminate(f, matrix, n, adjoint);
    if (q == 0) {
      if (!liftToInt32(f, det, detCandidate)) return ExactRange::kDeterminantTooLarge;
      for (int i = 0; i < entries && det != 0; ++i) {
        adjointFits = adjointFits && liftToInt32(f, adjoint[i], adjointCandidates[i]);
      }
      continue;
    }
    if (det != residueOf(f, detCandidate)) return ExactRange::kDeterminantTooLarge;
    // A determinant that fits and is not 0 is not 0 modulo any prime, so
    // `adjoint` was written.
    for (int i = 0; i < entries && detCandidate != 0 && adjointFits; ++i) {
      adjointFits = adjoint[i] == residueOf(f, adjointCandidates[i]);
    }
  }
  if (detCandidate == 0 || adjointFits) return ExactRange::kFits;
  return ExactRange::kAdjointTooLarge;
}
