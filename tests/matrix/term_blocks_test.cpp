#include "matrix/term_blocks.h"

#include <gtest/gtest.h>

#include "matrix/reference_walk.h"
#include "support/random_matrix.h"

namespace {

// Every kernel that this processor can run, not only the one that the
// determinant picks, must give the step-by-step walk's sum.
TEST(TermBlocks, EveryKernelMatchesStepByStepWalk) {
  struct Kernel {
    const char* name;
    TermKernel kernel;
  };
  const Kernel kernels[] = {{"portable", TermKernel::kPortable},
                            {"AVX2", TermKernel::kAvx2},
                            {"AVX-512", TermKernel::kAvx512}};
  std::mt19937 random(7);
  for (const Kernel& k : kernels) {
    if (!termKernelAvailable(k.kernel)) {
      std::cout << "skipping the " << k.name << " kernel: not supported here\n";
      continue;
    }
    for (std::int32_t n = 4; n <= 9; ++n) {
      for (EntrySize size : {EntrySize::kSmall, EntrySize::kWide}) {
        const Record matrix = randomSquareRecord(n, size, random);
        EXPECT_EQ(static_cast<std::int32_t>(sumOfTermBlocks(matrix.data(), k.kernel)),
                  referenceDeterminant(matrix.data()))
            << k.name << " kernel, order " << n;
      }
    }
  }
}

TEST(TermBlocks, PortableKernelIsAlwaysAvailable) {
  EXPECT_TRUE(termKernelAvailable(TermKernel::kPortable));
  EXPECT_TRUE(termKernelAvailable(fastestTermKernel()));
}

}  // namespace
