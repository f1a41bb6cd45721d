#include "matrix/exact_range.h"

#include "matrix/matrix_record.h"

namespace {

// The full product of two 64-bit words.
__extension__ typedef unsigned __int128 Wide;

constexpr int PRIME_COUNT = 7;
// The seven largest primes below 2^62; their product exceeds 2^427.
constexpr std::uint64_t PRIMES[PRIME_COUNT] = {
    (1ULL << 62) - 57,  (1ULL << 62) - 87,  (1ULL << 62) - 117, (1ULL << 62) - 143,
    (1ULL << 62) - 153, (1ULL << 62) - 167, (1ULL << 62) - 171,
};

// Returns a^e modulo m by plain 128-bit remainders (compile time only).
constexpr std::uint64_t powModPlain(std::uint64_t a, std::uint64_t e, std::uint64_t m) {
  std::uint64_t result = 1 % m;
  a %= m;
  for (; e != 0; e >>= 1) {
    if (e & 1) result = static_cast<std::uint64_t>(static_cast<Wide>(result) * a % m);
    a = static_cast<std::uint64_t>(static_cast<Wide>(a) * a % m);
  }
  return result;
}

// Miller-Rabin with these bases decides primality exactly below 3.3 * 10^24.
constexpr std::uint64_t WITNESSES[] = {2, 3, 5, 7, 11, 13, 17, 19, 23, 29, 31, 37};

// True when the odd number m > 37 is prime (compile time only).
constexpr bool isPrime(std::uint64_t m) {
  std::uint64_t d = m - 1;
  int twos = 0;
  for (; d % 2 == 0; d /= 2) ++twos;
  for (std::uint64_t base : WITNESSES) {
    if (m % base == 0) return false;
    std::uint64_t x = powModPlain(base, d, m);
    if (x == 1 || x == m - 1) continue;
    bool passed = false;
    for (int i = 1; i < twos && !passed; ++i) {
      x = static_cast<std::uint64_t>(static_cast<Wide>(x) * x % m);
      passed = x == m - 1;
    }
    if (!passed) return false;
  }
  return true;
}

constexpr bool primesAreSound() {
  for (int i = 0; i < PRIME_COUNT; ++i) {
    if (PRIMES[i] <= (1ULL << 61) || PRIMES[i] >= (1ULL << 62) || !isPrime(PRIMES[i])) {
      return false;
    }
    for (int j = 0; j < i; ++j) {
      if (PRIMES[j] == PRIMES[i]) return false;
    }
  }
  return true;
}
static_assert(primesAreSound(), "the moduli must be distinct primes in (2^61, 2^62)");
// Their product, above 2^(61 * PRIME_COUNT), must exceed the largest gap
// between a true value and a 32-bit candidate, 2^(33 * 12) + 2^31.
static_assert(61 * PRIME_COUNT > 33 * MAX_WALK_ORDER + 1, "too few moduli for order 12");

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
  return {p, 0 - inverse, static_cast<std::uint64_t>(static_cast<Wide>(r1) * r1 % p)};
}

constexpr Field FIELDS[PRIME_COUNT] = {
    makeField(PRIMES[0]), makeField(PRIMES[1]), makeField(PRIMES[2]), makeField(PRIMES[3]),
    makeField(PRIMES[4]), makeField(PRIMES[5]), makeField(PRIMES[6]),
};

constexpr bool fieldsAreSound() {
  for (const Field& f : FIELDS) {
    if (f.p * f.negInverse != 0 - 1ULL) return false;
  }
  return true;
}
static_assert(fieldsAreSound(), "each field must hold -p^-1 modulo 2^64");

// Returns a * b / 2^64 modulo p, for a, b < p.
inline std::uint64_t mul(const Field& f, std::uint64_t a, std::uint64_t b) {
  const Wide t = static_cast<Wide>(a) * b;
  const std::uint64_t m = static_cast<std::uint64_t>(t) * f.negInverse;
  // t + m * p < 2^124 + 2^126 and is a multiple of 2^64; the quotient is < 2p.
  const std::uint64_t u = static_cast<std::uint64_t>((t + static_cast<Wide>(m) * f.p) >> 64);
  return u >= f.p ? u - f.p : u;
}

// Returns a - b modulo p, for a, b < p.
inline std::uint64_t sub(const Field& f, std::uint64_t a, std::uint64_t b) {
  return a >= b ? a - b : a + (f.p - b);
}

// Returns the plain residue of the 32-bit value v modulo p.
inline std::uint64_t residueOf(const Field& f, std::int32_t v) {
  return v >= 0 ? static_cast<std::uint64_t>(v) : f.p - (0 - static_cast<std::uint64_t>(v));
}

// Returns the Montgomery form of the 32-bit value v.
inline std::uint64_t fromInt(const Field& f, std::int32_t v) {
  return mul(f, residueOf(f, v), f.r2);
}

// Returns the plain residue 0 .. p-1 of the Montgomery form a.
inline std::uint64_t toResidue(const Field& f, std::uint64_t a) { return mul(f, a, 1); }

// Returns the Montgomery form of x^-1 for the Montgomery form a of x != 0,
// as x^(p-2) by Fermat's little theorem.
std::uint64_t inverse(const Field& f, std::uint64_t a) {
  std::uint64_t result = fromInt(f, 1);
  for (std::uint64_t e = f.p - 2; e != 0; e >>= 1) {
    if (e & 1) result = mul(f, result, a);
    a = mul(f, a, a);
  }
  return result;
}

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
  if (n < 0 || n > MAX_WALK_ORDER) return ExactRange::kFits;
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
