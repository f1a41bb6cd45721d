#include "matrix/adjoint.h"

#include <gtest/gtest.h>

#include <sstream>
#include <system_error>

#include "support/random_matrix.h"
#include "support/record_builder.h"
#include "support/reference_walk.h"

namespace {

TEST(AdjointMatrix, KnownAdjoints) {
  struct Case {
    const char* name;
    Record matrix;
    std::vector<std::int32_t> expected;
  };
  // clang-format off
  const Case cases[] = {
      {"1x1 has the unit adjoint", makeRecord(1, 1, {5}), {1}},
      {"2x2", makeRecord(2, 2, {4, 7, 2, 6}), {6, -7, -2, 4}},
      {"3x3", makeRecord(3, 3, {2, 1, 3, 4, -1, 5, -2, 6, 1}),
       {-31, 17, 8, -14, 8, 2, 22, -14, -6}},
      {"singular is not refused", makeRecord(3, 3, {1, 1, 1, 1, 1, 1, 1, 1, 1}),
       {0, 0, 0, 0, 0, 0, 0, 0, 0}},
      {"negation wraps", makeRecord(2, 2, {1, INT32_MIN, 0, 1}), {1, INT32_MIN, 0, 1}},
  };
  // clang-format on
  for (const auto& c : cases) {
    Record adjoint = makeRecord(9, 9, {});
    std::ostringstream out;
    EXPECT_EQ(adjointMatrix(c.matrix.data(), adjoint.data(), out), c.matrix[0]) << c.name;
    EXPECT_EQ(entriesOf(adjoint), c.expected) << c.name;
    EXPECT_EQ(out.str(), "") << c.name;
  }
}

TEST(AdjointMatrix, SixBySixUnitIsItsOwnAdjointAndMarkerIsNotWritten) {
  Record unit = makeRecord(6, 6, {});
  for (int i = 1; i <= 36; ++i) unit[i] = 0;
  for (int i = 0; i < 6; ++i) unit[1 + i * 6 + i] = 1;
  Record adjoint;
  adjoint.fill(42);
  EXPECT_EQ(adjointMatrix(unit.data(), adjoint.data()), 606);
  EXPECT_EQ(entriesOf(adjoint), entriesOf(unit));
  EXPECT_EQ(adjoint[37], 42);
}

TEST(AdjointMatrix, EmptyMatrixGivesEmptyAdjoint) {
  Record empty = makeRecord(0, 0, {});
  Record adjoint;
  adjoint.fill(42);
  EXPECT_EQ(adjointMatrix(empty.data(), adjoint.data()), 0);
  EXPECT_EQ(adjoint[0], 0);
  EXPECT_EQ(adjoint[1], 42);
}

TEST(AdjointMatrix, RefusesMatrixThatIsNotSquare) {
  Record matrix = makeRecord(2, 3, {1, 2, 3, 4, 5, 6});
  Record adjoint;
  adjoint.fill(42);
  std::ostringstream out;
  EXPECT_EQ(adjointMatrix(matrix.data(), adjoint.data(), out), MATRIX_END);
  EXPECT_EQ(out.str(), "Error: Matrix not square\n");
  for (std::int32_t value : adjoint) ASSERT_EQ(value, 42);
}

// However the cofactors are shared out among threads, each lands in its
// place and the adjoint is the one taken cofactor by cofactor.
TEST(AdjointMatrix, MatchesReferenceWhateverTheThreadCount) {
  std::mt19937 random(99);
  for (std::int32_t n = 1; n <= 8; ++n) {
    for (EntrySize size : {EntrySize::kSmall, EntrySize::kWide}) {
      const Record matrix = randomSquareRecord(n, size, random);
      Record expected;
      referenceAdjoint(matrix.data(), expected.data());
      Record adjoint;
      EXPECT_EQ(adjointMatrix(matrix.data(), adjoint.data()), n * 101);
      EXPECT_EQ(entriesOf(adjoint), entriesOf(expected)) << "order " << n;
      for (int threads : {0, 1, 2, 3, 7, 1000}) {
        adjoint.fill(0);
        EXPECT_EQ(adjointMatrixWithThreads(matrix.data(), adjoint.data(), threads), n * 101);
        EXPECT_EQ(entriesOf(adjoint), entriesOf(expected))
            << "order " << n << ", " << threads << " threads";
      }
    }
  }
}

// A helper thread that the system cannot start leaves its share to the
// helpers that did start and to the caller; no later start is tried.
TEST(AdjointMatrix, ExactWhenAThreadCannotBeStarted) {
  static int failingStart;
  static int startsTried;
  const ThreadStartHook failFromThere = [](int helper) {
    ++startsTried;
    if (helper >= failingStart) {
      throw std::system_error(std::make_error_code(std::errc::resource_unavailable_try_again));
    }
  };
  std::mt19937 random(7);
  for (std::int32_t n : {6, 8}) {
    const Record matrix = randomSquareRecord(n, EntrySize::kWide, random);
    Record expected;
    referenceAdjoint(matrix.data(), expected.data());
    for (int threads : {2, 4}) {
      for (failingStart = 0; failingStart + 1 < threads; ++failingStart) {
        startsTried = 0;
        Record adjoint;
        adjoint.fill(0);
        std::ostringstream out;
        EXPECT_EQ(
            adjointMatrixWithStartHook(matrix.data(), adjoint.data(), threads, failFromThere, out),
            n * 101);
        const std::string where = "order " + std::to_string(n) + ", " + std::to_string(threads) +
                                  " threads, start " + std::to_string(failingStart) + " fails";
        EXPECT_EQ(entriesOf(adjoint), entriesOf(expected)) << where;
        EXPECT_EQ(startsTried, failingStart + 1) << where;
        EXPECT_EQ(out.str(), "") << where;
      }
    }
  }
}

}  // namespace
