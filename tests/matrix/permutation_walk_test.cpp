#include "matrix/permutation_walk.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "support/record_builder.h"
#include "support/reference_walk.h"

namespace {

std::int32_t factorial(std::int32_t n) { return n <= 1 ? 1 : n * factorial(n - 1); }

// The swap positions of a whole walk of order n.
std::vector<std::int32_t> swapPositions(std::int32_t n) {
  std::int32_t perm[PERM_TABLE_INTS];
  std::int32_t counter[PERM_TABLE_INTS];
  std::int32_t direction[PERM_TABLE_INTS];
  startWalk(perm, counter, direction);
  std::vector<std::int32_t> swaps;
  for (std::int32_t step = 0; step < factorial(n); ++step) {
    swaps.push_back(walkStep(n, perm, counter, direction));
  }
  return swaps;
}

TEST(PermutationWalk, SwapPositionsOfShortWalks) {
  const std::vector<std::int32_t> four = {1, 2, 3, 1, 3, 2, 1, 3, 1, 2, 3, 1,
                                          3, 2, 1, 3, 1, 2, 3, 1, 3, 2, 1, 3};
  EXPECT_EQ(swapPositions(2), (std::vector<std::int32_t>{1, 1}));
  EXPECT_EQ(swapPositions(3), (std::vector<std::int32_t>{1, 2, 1, 2, 1, 2}));
  EXPECT_EQ(swapPositions(4), four);
}

TEST(PermutationWalk, ReferenceWalkTakesTheSameSwaps) {
  for (std::int32_t n = 2; n <= 7; ++n) {
    std::vector<std::int32_t> referenceSwaps;
    const Record zeros = makeRecord(n, n, {});
    referenceDeterminant(zeros.data(), &referenceSwaps);
    EXPECT_EQ(referenceSwaps, swapPositions(n)) << "order " << n;
  }
}

TEST(PermutationWalk, VisitsEveryPermutationOnceAndEndsOnTheIdentity) {
  for (std::int32_t n = 2; n <= 8; ++n) {
    std::int32_t perm[PERM_TABLE_INTS];
    std::int32_t counter[PERM_TABLE_INTS];
    std::int32_t direction[PERM_TABLE_INTS];
    startWalk(perm, counter, direction);
    std::set<std::vector<std::int32_t>> seen;
    for (std::int32_t step = 0; step < factorial(n); ++step) {
      const std::int32_t k = walkStep(n, perm, counter, direction);
      ASSERT_GE(k, 1) << "order " << n;
      ASSERT_LE(k, n - 1) << "order " << n;
      seen.insert(std::vector<std::int32_t>(perm + 1, perm + n + 1));
    }
    EXPECT_EQ(static_cast<std::int32_t>(seen.size()), factorial(n)) << "order " << n;
    for (std::int32_t j = 0; j < PERM_TABLE_INTS; ++j) EXPECT_EQ(perm[j], j) << "order " << n;
  }
}

}  // namespace
