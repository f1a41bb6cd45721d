#include "matrix/exact_range.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <sstream>

#include "matrix/adjoint.h"
#include "matrix/determinant.h"
#include "support/big_adjoint.h"
#include "support/record_builder.h"

namespace {

constexpr std::int32_t MIN32 = INT32_MIN;
constexpr std::int32_t MAX32 = INT32_MAX;

// The decision taken from the exact values.
ExactRange referenceDecision(const BigAdjoint& exact) {
  if (!bigFitsInt32(exact.determinant)) return ExactRange::kDeterminantTooLarge;
  if (bigIsZero(exact.determinant)) return ExactRange::kFits;
  for (const BigInt& cofactor : exact.adjoint) {
    if (!bigFitsInt32(cofactor)) return ExactRange::kAdjointTooLarge;
  }
  return ExactRange::kFits;
}

const char* nameOf(ExactRange range) {
  switch (range) {
    case ExactRange::kFits: return "fits";
    case ExactRange::kDeterminantTooLarge: return "determinant too large";
    case ExactRange::kAdjointTooLarge: return "adjoint too large";
  }
  return "?";
}

// The n x n unit matrix with `diagonal` in place of its first entries on the
// diagonal.
Record diagonalRecord(int n, std::initializer_list<std::int32_t> diagonal) {
  Record record = makeRecord(n, n, {});
  for (int i = 1; i <= n * n; ++i) record[i] = 0;
  for (int i = 0; i < n; ++i) record[1 + i * n + i] = 1;
  int i = 0;
  for (std::int32_t d : diagonal) {
    record[1 + i * n + i] = d;
    ++i;
  }
  return record;
}

TEST(CheckExactRange, KnownCases) {
  struct Case {
    const char* name;
    Record matrix;
    ExactRange expected;
  };
  // clang-format off
  const Case cases[] = {
      {"2^32 is not singular", makeRecord(2, 2, {65536, 0, 0, 65536}),
       ExactRange::kDeterminantTooLarge},
      {"2499999999", makeRecord(2, 2, {50000, 1, 1, 50000}), ExactRange::kDeterminantTooLarge},
      {"terms overflow, 100000 fits", makeRecord(2, 2, {100000, 100000, 100000, 100001}),
       ExactRange::kFits},
      {"largest determinant", makeRecord(2, 2, {MAX32, 0, 0, 1}), ExactRange::kFits},
      {"smallest determinant", makeRecord(2, 2, {MIN32, 0, 0, 1}), ExactRange::kFits},
      {"2^31", makeRecord(2, 2, {MIN32, 0, 0, -1}), ExactRange::kDeterminantTooLarge},
      {"-2^31 - 1", makeRecord(2, 2, {MIN32, 1, 1, 1}), ExactRange::kDeterminantTooLarge},
      {"2^62 from two smallest entries", makeRecord(2, 2, {MIN32, 0, 0, MIN32}),
       ExactRange::kDeterminantTooLarge},
      {"singular with the largest entries", makeRecord(2, 2, {MIN32, MIN32, MIN32, MIN32}),
       ExactRange::kFits},
      {"1x1 smallest entry", makeRecord(1, 1, {MIN32}), ExactRange::kFits},
      {"1x1 zero", makeRecord(1, 1, {0}), ExactRange::kFits},
      {"cofactor 2^31 from negating -2^31", makeRecord(2, 2, {1, MIN32, 0, 1}),
       ExactRange::kAdjointTooLarge},
      {"3x3 cofactor 2^32", makeRecord(3, 3, {65536, 0, 1, 0, 65536, 0, 1, 0, 0}),
       ExactRange::kAdjointTooLarge},
      {"3x3 cofactor exactly 2^31 - 1", makeRecord(3, 3, {MAX32, 0, 1, 0, 1, 0, 1, 0, 0}),
       ExactRange::kFits},
      {"3x3 cofactor exactly -2^31", makeRecord(3, 3, {-65536, 0, 1, 0, 32768, 0, 1, 0, 0}),
       ExactRange::kFits},
      {"3x3 cofactor just over", makeRecord(3, 3, {46341, 0, 1, 0, 46341, 0, 1, 0, 0}),
       ExactRange::kAdjointTooLarge},
      {"singular hides large cofactors", makeRecord(3, 3, {65536, 0, 0, 0, 65536, 0, 0, 0, 0}),
       ExactRange::kFits},
      {"12x12 unit", diagonalRecord(12, {}), ExactRange::kFits},
      {"12x12 determinant 2^31 - 1", diagonalRecord(12, {MAX32}), ExactRange::kFits},
      {"12x12 determinant -2^31", diagonalRecord(12, {-65536, 32768}), ExactRange::kFits},
      {"12x12 determinant 2^31", diagonalRecord(12, {65536, 32768}),
       ExactRange::kDeterminantTooLarge},
      {"12x12 sixes: 6^12 over", diagonalRecord(12, {6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6}),
       ExactRange::kDeterminantTooLarge},
      {"12x12 singular hides the cofactor 2^31", diagonalRecord(12, {0, 65536, 32768}),
       ExactRange::kFits},
      {"12x12 determinant -2^31, cofactor 2^31", diagonalRecord(12, {-1, 65536, 32768}),
       ExactRange::kAdjointTooLarge},
  };
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_EQ(nameOf(checkExactRange(c.matrix.data())), nameOf(c.expected)) << c.name;
    // The table itself is checked against the exact values.
    EXPECT_EQ(nameOf(referenceDecision(exactAdjoint(c.matrix.data()))), nameOf(c.expected))
        << c.name;
  }
}

// Values a little below 2^62 are congruent to small numbers modulo any
// large modulus just below 2^62; only the whole value tells them apart.
TEST(CheckExactRange, ValuesJustBelow2To62AreNotTakenForSmallOnes) {
  for (std::int32_t x = 0; x <= 300; ++x) {
    // Determinant 2^62 - x.
    const Record large = makeRecord(2, 2, {MIN32, x, 1, MIN32});
    EXPECT_EQ(nameOf(checkExactRange(large.data())), nameOf(ExactRange::kDeterminantTooLarge))
        << "x = " << x;
    // Determinant -1, cofactor x - 2^62: the adjoint's last entry, and, with
    // the matrix turned half round, its first.
    const Record adjoint = makeRecord(3, 3, {x, MIN32, 1, MIN32, 1, 0, 1, 0, 0});
    EXPECT_EQ(nameOf(checkExactRange(adjoint.data())), nameOf(ExactRange::kAdjointTooLarge))
        << "x = " << x;
    const Record turned = makeRecord(3, 3, {0, 0, 1, 0, 1, MIN32, 1, MIN32, x});
    EXPECT_EQ(nameOf(checkExactRange(turned.data())), nameOf(ExactRange::kAdjointTooLarge))
        << "turned, x = " << x;
  }
}

// Random matrices of several kinds, each meant to land near one of the
// borders the decision draws.
class MatrixMaker {
 public:
  explicit MatrixMaker(std::uint64_t seed) : random_(seed) {}

  Record make(int n) {
    Record record = makeRecord(n, n, {});
    std::int32_t* a = record.data() + 1;
    switch (uniform(0, 5)) {
      case 0: fillRandomWidth(a, n); break;
      case 1: {  // extreme entries only
        constexpr std::int32_t EXTREMES[] = {MIN32, MAX32, -1, 0, 1, 0, 1};
        for (int i = 0; i < n * n; ++i) a[i] = EXTREMES[uniform(0, 6)];
        break;
      }
      case 2: {  // singular: one row repeats another, or is zero
        fillRandomWidth(a, n);
        const int target = uniform(0, n - 1);
        const int source = uniform(0, n - 1);
        for (int j = 0; j < n; ++j) a[target * n + j] = source == target ? 0 : a[source * n + j];
        mix(a, n);
        break;
      }
      case 3: {  // determinant near +-2^31: a unit diagonal with two factors
        setDiagonal(a, n);
        const auto [x, y] = factorsNearBorder();
        a[0] = x;
        if (n > 1) a[n + 1] = y;
        mix(a, n);
        break;
      }
      default: {  // a cofactor near +-2^31 beside a small determinant
        setDiagonal(a, n);
        if (n < 3) {
          a[0] = MIN32;
          if (n == 2) a[1] = uniform(0, 1) != 0 ? MIN32 : MAX32;
        } else {
          // x 0 1 / 0 y 0 / 1 0 0 has determinant -y and the cofactor x * y.
          const auto [x, y] = factorsNearBorder();
          a[0] = x, a[2] = 1;
          a[n + 1] = y;
          a[2 * n] = 1, a[2 * n + 2] = 0;
        }
        mix(a, n);
        break;
      }
    }
    return record;
  }

 private:
  int uniform(int low, int high) { return std::uniform_int_distribution<int>(low, high)(random_); }
  std::int64_t uniform64(std::int64_t low, std::int64_t high) {
    return std::uniform_int_distribution<std::int64_t>(low, high)(random_);
  }

  // Entries of a random width, from 1 bit to the full 32.
  void fillRandomWidth(std::int32_t* a, int n) {
    const std::int64_t half = std::int64_t{1} << (uniform(1, 32) - 1);
    for (int i = 0; i < n * n; ++i) a[i] = static_cast<std::int32_t>(uniform64(-half, half - 1));
  }

  static void setDiagonal(std::int32_t* a, int n) {
    for (int i = 0; i < n * n; ++i) a[i] = i % (n + 1) == 0 ? 1 : 0;
  }

  // Two 32-bit factors whose product lies within about x of +-2^31 or +-2^32.
  std::pair<std::int32_t, std::int32_t> factorsNearBorder() {
    const int bits = uniform(0, 3) == 0 ? 32 : 31;
    const std::int64_t border = (std::int64_t{1} << bits) + uniform(-2, 2);
    const std::int64_t x = uniform64(1, std::int64_t{1} << uniform(1, 17));
    std::int64_t y = border / x + uniform(-1, 1);
    y = std::clamp<std::int64_t>(y, MIN32, MAX32);
    return {static_cast<std::int32_t>(uniform(0, 1) != 0 ? -x : x), static_cast<std::int32_t>(y)};
  }

  // Hides the structure without changing the determinant's magnitude: adds
  // small multiples of rows to other rows (while the entries fit; often only
  // a few, so that the cofactors stay near their own borders too), then
  // swaps rows and columns.
  void mix(std::int32_t* a, int n) {
    if (n < 2) return;
    const int operations = uniform(0, 1) != 0 ? uniform(0, 2) : uniform(0, 3 * n);
    for (int op = 0; op < operations; ++op) {
      const int target = uniform(0, n - 1);
      const int source = (target + uniform(1, n - 1)) % n;
      const int factor = uniform(0, 1) != 0 ? uniform(1, 2) : -uniform(1, 2);
      std::int64_t row[MAX_WALK_ORDER];
      bool fits = true;
      for (int j = 0; j < n; ++j) {
        row[j] = a[target * n + j] + std::int64_t{factor} * a[source * n + j];
        fits = fits && row[j] >= MIN32 && row[j] <= MAX32;
      }
      if (!fits) continue;
      for (int j = 0; j < n; ++j) a[target * n + j] = static_cast<std::int32_t>(row[j]);
    }
    for (int swap = uniform(0, n); swap > 0; --swap) {
      const int p = uniform(0, n - 1);
      const int q = uniform(0, n - 1);
      for (int j = 0; j < n; ++j) std::swap(a[p * n + j], a[q * n + j]);
      for (int i = 0; i < n; ++i) std::swap(a[i * n + p], a[i * n + q]);
    }
  }

  std::mt19937_64 random_;
};

// An order that the decision does not examine fails the assertion wherever
// assertions are on, instead of being answered as if it fitted.
TEST(CheckExactRangeDeathTest, OrderAboveTwelveFailsTheAssertion) {
#if defined(NDEBUG)
  GTEST_SKIP() << "assertions are off in this build";
#else
  testing::FLAGS_gtest_death_test_style = "threadsafe";
  EXPECT_DEATH(checkExactRange(makeRecord(13, 13, {}).data()), "");
#endif
}

TEST(CheckExactRange, AgreesWithBigIntegersOnRandomMatrices) {
  constexpr int MATRICES = 3000;
  MatrixMaker maker(20261208);
  int outcomes[MAX_WALK_ORDER + 1][3] = {};
  for (int count = 0; count < MATRICES; ++count) {
    const int n = 1 + count % MAX_WALK_ORDER;
    const Record matrix = maker.make(n);
    const BigAdjoint exact = exactAdjoint(matrix.data());
    const ExactRange expected = referenceDecision(exact);
    ASSERT_EQ(nameOf(checkExactRange(matrix.data())), nameOf(expected))
        << "matrix " << count << " of order " << n;
    ++outcomes[n][static_cast<int>(expected)];

    // The reference agrees with the walk modulo 2^32 where the walk is cheap.
    if (n <= 6) {
      ASSERT_EQ(determinant(matrix.data()), bigLowWord(exact.determinant)) << "matrix " << count;
      Record adjoint;
      adjointMatrix(matrix.data(), adjoint.data());
      for (int i = 0; i < n * n; ++i) {
        ASSERT_EQ(adjoint[static_cast<std::size_t>(i + 1)],
                  bigLowWord(exact.adjoint[static_cast<std::size_t>(i)]))
            << "matrix " << count << " cofactor " << i;
      }
    }
  }
  // Every outcome is met at every order that admits it, so that no border
  // goes untried.
  for (int n = 1; n <= MAX_WALK_ORDER; ++n) {
    std::ostringstream counts;
    counts << "order " << n << ": " << outcomes[n][0] << " fit, " << outcomes[n][1]
           << " determinant too large, " << outcomes[n][2] << " adjoint too large";
    EXPECT_GE(outcomes[n][0], 10) << counts.str();
    if (n >= 2) {
      EXPECT_GE(outcomes[n][1], 10) << counts.str();
      EXPECT_GE(outcomes[n][2], 5) << counts.str();
    }
  }
}

}  // namespace
