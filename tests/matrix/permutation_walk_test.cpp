#include "matrix/permutation_walk.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "support/record_builder.h"
#include "support/reference_walk.h"

namespace {

// The swap positions of a whole walk of order n.
std::vector<std::int32_t> swapPositions(std::int32_t n) {
  PermutationWalk walk;
  startWalk(walk, n);
  std::vector<std::int32_t> swaps;
  while (walk.stepsLeft != 0) swaps.push_back(walkStep(walk));
  return swaps;
}

TEST(PermutationWalk, SwapPositionsOfShortWalks) {
  const std::vector<std::int32_t> four = {1, 2, 3, 1, 3, 2, 1, 3, 1, 2, 3, 1,
                                          3, 2, 1, 3, 1, 2, 3, 1, 3, 2, 1, 3};
  EXPECT_EQ(swapPositions(2), (std::vector<std::int32_t>{1, 1}));
  EXPECT_EQ(swapPositions(3), (std::vector<std::int32_t>{1, 2, 1, 2, 1, 2}));
  EXPECT_EQ(swapPositions(4), four);
}

// Up to order 9, the largest that the program walks (the lower walk of an
// order-12 determinant), so that every index of the tables that it uses is
// covered.
TEST(PermutationWalk, ReferenceWalkTakesTheSameSwaps) {
  for (std::int32_t n = 2; n <= 9; ++n) {
    std::vector<std::int32_t> referenceSwaps;
    const Record zeros = makeRecord(n, n, {});
    referenceDeterminant(zeros.data(), &referenceSwaps);
    EXPECT_EQ(referenceSwaps, swapPositions(n)) << "order " << n;
  }
}

// Each step is one swap, so the parity alternates from the odd first
// permutation; the walk ends on the identity.
TEST(PermutationWalk, VisitsEveryPermutationOnceWithItsParityAndEndsOnTheIdentity) {
  const std::int32_t factorials[] = {1, 1, 2, 6, 24, 120, 720, 5040, 40320};
  for (std::int32_t n = 0; n <= 8; ++n) {
    PermutationWalk walk;
    startWalk(walk, n);
    std::set<std::vector<std::int32_t>> seen;
    std::int32_t steps = 0;
    while (walk.stepsLeft != 0) {
      const std::int32_t k = walkStep(walk);
      ++steps;
      if (n >= 2) {
        ASSERT_GE(k, 1) << "order " << n;
        ASSERT_LE(k, n - 1) << "order " << n;
      } else {
        ASSERT_EQ(k, 0) << "order " << n;
      }
      ASSERT_EQ(walk.odd, n >= 2 ? steps % 2 : 0) << "order " << n << ", step " << steps;
      seen.insert(std::vector<std::int32_t>(walk.perm + 1, walk.perm + n + 1));
    }
    EXPECT_EQ(steps, factorials[n]) << "order " << n;
    EXPECT_EQ(static_cast<std::int32_t>(seen.size()), steps) << "order " << n;
    for (std::int32_t j = 0; j < PERM_TABLE_INTS; ++j) EXPECT_EQ(walk.perm[j], j) << "order " << n;
  }
}

}  // namespace
