#include "matrix/determinant.h"

#include <gtest/gtest.h>

#include "support/random_matrix.h"
#include "support/record_builder.h"
#include "support/reference_walk.h"

namespace {

struct DeterminantCase {
  const char* name;
  Record matrix;
  std::int32_t expected;
};

TEST(Determinant, KnownValues) {
  // clang-format off
  const DeterminantCase cases[] = {
      {"empty matrix is the empty product", makeRecord(0, 0, {}), 1},
      {"1x1 is its entry", makeRecord(1, 1, {7}), 7},
      {"2x2", makeRecord(2, 2, {4, 7, 2, 6}), 10},
      {"3x3 worked example", makeRecord(3, 3, {2, 1, 3, 4, -1, 5, -2, 6, 1}), -10},
      {"4x4", makeRecord(4, 4, {3, 0, 2, -1, 1, 2, 0, -2, 4, 0, 6, -3, 5, 0, 2, 0}), 20},
      {"all ones", makeRecord(3, 3, {1, 1, 1, 1, 1, 1, 1, 1, 1}), 0},
      {"6x6 unit",
       makeRecord(6, 6, {1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0,
                         0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 1}),
       1},
      {"terms overflow, result fits", makeRecord(2, 2, {100000, 100000, 100000, 100001}),
       100000},
      {"2^32 wraps to 0", makeRecord(2, 2, {65536, 0, 0, 65536}), 0},
      {"wraps into 32 bits", makeRecord(2, 2, {50000, 1, 1, 50000}), -1794967297},
      {"order 13 is not walked", makeRecord(13, 13, {}), 0},
  };
  // clang-format on
  for (const auto& c : cases) {
    EXPECT_EQ(determinant(c.matrix.data()), c.expected) << c.name;
  }
}

TEST(Determinant, DiagonalOfOrderTen) {
  Record diagonal = makeRecord(10, 10, {});
  for (int i = 1; i <= 100; ++i) diagonal[i] = 0;
  for (int i = 0; i < 10; ++i) diagonal[1 + i * 10 + i] = 3;
  EXPECT_EQ(determinant(diagonal.data()), 59049);  // 3^10
}

// The walk is taken in blocks from order 4 on; whatever the grouping, every
// term and its sign must come out as in the step-by-step walk.
TEST(Determinant, MatchesStepByStepWalkOnRandomMatrices) {
  std::mt19937 random(20240611);
  for (std::int32_t n = 1; n <= 10; ++n) {
    // Order 10 is 3.6 million steps per reference walk: two matrices do.
    const int perSize = n <= 8 ? 3 : 1;
    for (EntrySize size : {EntrySize::kSmall, EntrySize::kWide}) {
      for (int i = 0; i < perSize; ++i) {
        const Record matrix = randomSquareRecord(n, size, random);
        EXPECT_EQ(determinant(matrix.data()), referenceDeterminant(matrix.data()))
            << "order " << n << (size == EntrySize::kWide ? ", wide" : ", small");
      }
    }
  }
}

}  // namespace
