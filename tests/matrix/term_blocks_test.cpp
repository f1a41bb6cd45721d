#include "matrix/term_blocks.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <tuple>

#include "support/big_adjoint.h"
#include "support/random_matrix.h"

namespace {

struct Kernel {
  const char* name;
  TermKernel kernel;
};

const Kernel KERNELS[] = {{"Portable", TermKernel::kPortable},
                          {"Sse41", TermKernel::kSse41},
                          {"Avx2", TermKernel::kAvx2},
                          {"Avx512", TermKernel::kAvx512}};

// Names the kernel in test output.
void PrintTo(const Kernel& kernel, std::ostream* out) { *out << kernel.name; }

class EveryKernel : public testing::TestWithParam<std::tuple<Kernel, int>> {};

// Every kernel that this processor can run, not only the one that the
// determinant picks, must give the low 32 bits of the exact determinant at
// every order it serves, with small entries and with entries whose products
// wrap.
TEST_P(EveryKernel, GivesTheExactDeterminantModulo2To32) {
  const auto [kernel, n] = GetParam();
  if (!termKernelAvailable(kernel.kernel)) {
    GTEST_SKIP() << "the " << kernel.name << " kernel is not supported by this processor";
  }
#if defined(QUADRIXEL_SANITIZED)
  if (n >= 11) GTEST_SKIP() << "order " << n << " is left to the build without sanitizers";
#endif
  std::mt19937 random(static_cast<unsigned>(1000 + n));
  const int perSize = n >= 11 ? 1 : 2;
  for (EntrySize size : {EntrySize::kSmall, EntrySize::kWide}) {
    for (int i = 0; i < perSize; ++i) {
      const Record matrix = randomSquareRecord(n, size, random);
      EXPECT_EQ(static_cast<std::int32_t>(sumOfTermBlocks(matrix.data(), kernel.kernel)),
                bigLowWord(exactAdjoint(matrix.data()).determinant))
          << (size == EntrySize::kWide ? "wide" : "small") << " entries, matrix " << i;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Orders, EveryKernel,
                         testing::Combine(testing::ValuesIn(KERNELS), testing::Range(4, 13)),
                         [](const testing::TestParamInfo<std::tuple<Kernel, int>>& info) {
                           return std::string(std::get<0>(info.param).name) + "_order" +
                                  std::to_string(std::get<1>(info.param));
                         });

TEST(TermBlocks, FastestKernelIsAvailable) {
  EXPECT_TRUE(termKernelAvailable(TermKernel::kPortable));
  EXPECT_TRUE(termKernelAvailable(fastestTermKernel()));
}

}  // namespace
