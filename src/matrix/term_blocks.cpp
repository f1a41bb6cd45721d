#include "matrix/term_blocks.h"

namespace {

// The candidate that row j takes from position x (1 .. n - 1) of the
// arrangement of columns 2 .. n in lane (q, r): column 2 sits at position q,
// column 3 at position r of what remains, and the lower walk's columns fill
// the rest in order.
std::int32_t candidateAt(std::int32_t j, std::int32_t x, std::int32_t q, std::int32_t r) {
  if (x == q) return 0;
  const std::int32_t withoutColumn2 = x - (x > q ? 1 : 0);
  if (withoutColumn2 == r) return 1;
  const std::int32_t lowerPosition = withoutColumn2 - (withoutColumn2 > r ? 1 : 0);
  return 2 + (j - lowerPosition);
}

// Fills `layout` for order n (4 .. 12).
void buildLayout(std::int32_t n, TermBlockLayout& layout) {
  layout.n = n;
  layout.lanes = (n - 1) * (n - 2);
  for (std::int32_t j = 0; j < BLOCK_ROWS; ++j) {
    for (std::int32_t lane = 0; lane < BLOCK_LANES_MAX; ++lane) {
      layout.pickAbove[j][lane] = 0;
      layout.pickBelow[j][lane] = 0;
    }
  }
  for (std::int32_t q = 1; q <= n - 1; ++q) {
    for (std::int32_t r = 1; r <= n - 2; ++r) {
      const std::int32_t lane = (q - 1) * (n - 2) + (r - 1);
      for (std::int32_t j = 1; j <= n; ++j) {
        if (j <= n - 1) layout.pickAbove[j][lane] = candidateAt(j, j, q, r);
        if (j >= 2) layout.pickBelow[j][lane] = candidateAt(j, j - 1, q, r);
      }
    }
  }
}

}  // namespace

bool termKernelAvailable(TermKernel kernel) {
  switch (kernel) {
    case TermKernel::kPortable: return true;
    case TermKernel::kAvx2:
#if defined(QUADRIXEL_X86_KERNELS)
      return __builtin_cpu_supports("avx2");
#else
      return false;
#endif
    case TermKernel::kAvx512:
#if defined(QUADRIXEL_X86_KERNELS)
      return __builtin_cpu_supports("avx512f");
#else
      return false;
#endif
  }
  return false;
}

TermKernel fastestTermKernel() {
  static const TermKernel fastest = termKernelAvailable(TermKernel::kAvx512) ? TermKernel::kAvx512
                                    : termKernelAvailable(TermKernel::kAvx2)
                                        ? TermKernel::kAvx2
                                        : TermKernel::kPortable;
  return fastest;
}

std::uint32_t sumOfTermBlocks(const std::int32_t* matrix, TermKernel kernel) {
  TermBlockLayout layout;
  buildLayout(matrix[0] % 100, layout);
  std::uint32_t laneSums[BLOCK_LANES_MAX];
  if (kernel == TermKernel::kAvx512) {
    sumTermLanesAvx512(matrix, layout, laneSums);
  } else if (kernel == TermKernel::kAvx2) {
    sumTermLanesAvx2(matrix, layout, laneSums);
  } else {
    sumTermLanesPortable(matrix, layout, laneSums);
  }
  std::uint32_t sum = 0;
  for (std::int32_t q = 1; q <= layout.n - 1; ++q) {
    for (std::int32_t r = 1; r <= layout.n - 2; ++r) {
      const std::uint32_t laneSum = laneSums[(q - 1) * (layout.n - 2) + (r - 1)];
      sum += (q + r) % 2 == 0 ? laneSum : 0u - laneSum;
    }
  }
  return sum;
}
