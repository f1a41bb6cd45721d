#include "matrix/term_blocks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

#include "support/big_adjoint.h"
#include "support/random_matrix.h"
#include "support/record_builder.h"

// Names a kernel in test output.
void PrintTo(const TermKernel& kernel, std::ostream* out) { *out << kernel.name; }

namespace {

class EveryKernel : public testing::TestWithParam<std::tuple<TermKernel, int>> {};

// Every kernel of the table that this build and this processor can run, not
// only the one that the determinant picks, must give the low 32 bits of the
// exact determinant at every order it serves, with small entries and with
// entries whose products wrap.
TEST_P(EveryKernel, GivesTheExactDeterminantModulo2To32) {
  const auto [kernel, n] = GetParam();
  if (kernel.sumLanes == nullptr) GTEST_SKIP() << "not built with " << kernel.instructionSet;
  if (!kernel.supported()) GTEST_SKIP() << "the processor lacks " << kernel.instructionSet;
#if defined(QUADRIXEL_SANITIZED)
  if (n >= 11) GTEST_SKIP() << "order " << n << " is left to the build without sanitizers";
#endif
  std::mt19937 random(static_cast<unsigned>(1000 + n));
  const int perSize = n >= 11 ? 1 : 2;
  for (EntrySize size : {EntrySize::kSmall, EntrySize::kWide}) {
    for (int i = 0; i < perSize; ++i) {
      const Record matrix = randomSquareRecord(n, size, random);
      EXPECT_EQ(static_cast<std::int32_t>(sumOfTermBlocks(matrix.data(), kernel)),
                bigLowWord(exactAdjoint(matrix.data()).determinant))
          << (size == EntrySize::kWide ? "wide" : "small") << " entries, matrix " << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Orders, EveryKernel,
                         testing::Combine(testing::ValuesIn(termKernels()), testing::Range(4, 13)),
                         [](const testing::TestParamInfo<std::tuple<TermKernel, int>>& info) {
                           return std::string(std::get<0>(info.param).name) + "_order" +
                                  std::to_string(std::get<1>(info.param));
                         });

// However many threads share the walk, and so in however many parts it is
// taken (two, as on a two-core machine, numbers that leave parts of unequal
// sizes, or empty ones, and 0, which stands for one), the sum is the one of
// the whole walk in one thread, to the bit.
TEST(TermBlocks, SharedWalkGivesTheSumOfTheWholeWalk) {
  const TermKernel& kernel = fastestTermKernel();
#if defined(QUADRIXEL_SANITIZED)
  constexpr int ORDER_MAX = 10;
#else
  constexpr int ORDER_MAX = 12;
#endif
  std::mt19937 random(77);
  for (int n = 4; n <= ORDER_MAX; ++n) {
    const Record matrix = randomSquareRecord(n, EntrySize::kWide, random);
    const std::uint32_t whole = sumOfTermBlocks(matrix.data(), kernel, 1);
    // 0 is what the system says when it does not know how many there are.
    for (const int threads : {0, 2, 3, 64}) {
      EXPECT_EQ(sumOfTermBlocks(matrix.data(), kernel, threads), whole)
          << "order " << n << ", " << threads << " threads";
    }
  }
}

// The determinant runs the first kernel of the table that is available, not
// merely one that is; the last, which every processor runs, always is. A
// kernel is available only when it is built and the processor supports it.
TEST(TermKernels, FastestIsTheFirstAvailable) {
  EXPECT_TRUE(termKernelAvailable(termKernels().back()));
  const TermKernel unbuilt = {"Unbuilt", "a set", nullptr, [] { return true; }};
  const TermKernel unsupported = {"Unsupported", "a set", termKernels().back().sumLanes,
                                  [] { return false; }};
  EXPECT_FALSE(termKernelAvailable(unbuilt));
  EXPECT_FALSE(termKernelAvailable(unsupported));
  for (const TermKernel& kernel : termKernels()) {
    if (!termKernelAvailable(kernel)) continue;
    EXPECT_EQ(&fastestTermKernel(), &kernel) << "the first available is " << kernel.name;
    return;
  }
  FAIL() << "no kernel is available";
}

// The contract is checked wherever assertions are on (the debug, clang and
// fuzz builds): an order that the blocks do not serve fails at once instead
// of summing lanes that were never written, or writing past the layout.
TEST(TermBlocksDeathTest, OrdersOutsideFourToTwelveFailTheAssertion) {
#if defined(NDEBUG)
  GTEST_SKIP() << "assertions are off in this build";
#else
  testing::FLAGS_gtest_death_test_style = "threadsafe";
  const TermKernel& portable = termKernels().back();
  EXPECT_DEATH(sumOfTermBlocks(makeRecord(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9}).data(), portable), "");
  EXPECT_DEATH(sumOfTermBlocks(makeRecord(13, 13, {}).data(), portable), "");
#endif
}

}  // namespace
