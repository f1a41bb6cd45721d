// The walk in blocks.
//
// For order n >= 4 the walk is split in two. Its indices below n - 2 make
// the plain-changes walk of order n - 3 on columns 4 .. n; after each of its
// steps the three top indices sweep columns 3, 2 and 1 across every free
// position, which visits the n (n - 1) (n - 2) permutations of one block:
// column 3 at position r of the n - 2 places around columns 4 .. n, column 2
// at position q of the n - 1 places around those, column 1 at position p of
// all n. Every permutation of a block is a term, taken in full: the product
// of its n entries, added or subtracted by its parity, which is the parity of
// the lower walk's step times (-1)^(p + q + r).
//
// Within a block the products share their work. For a fixed pair (q, r) the
// rows above column 1's position take one column each and the rows below it
// another, so the n terms for p = 1 .. n are prefix product times column-1
// entry times suffix product. The pairs (q, r) are the lanes of a vector:
// each row's factor for a lane is one of six candidate entries (columns 2
// and 3, and the lower walk's columns at four neighbouring positions), as
// the layout built here says. Every product and sum wraps modulo 2^32, so
// grouping the factors of a term and the order of the sums do not change
// the result, and every kernel gives the same sum to the bit.
//
// The kernels built for wider instruction sets than the target's baseline
// are entered only after the processor, and the operating system, have been
// found to support them (instruction_sets.cpp). They are built only for x86
// targets whose compiler takes the vector types that they use, and not at
// all with QUADRIXEL_PORTABLE_KERNEL_ONLY; CMake tells this file by defining
// QUADRIXEL_X86_KERNELS.
#include "matrix/term_blocks.h"

#include <cassert>
#include <iterator>

#include "matrix/instruction_sets.h"
#include "matrix/matrix_record.h"
#include "matrix/term_blocks_layout.h"

// The kernels' entry points, each defined in a source of its own.
void sumTermLanesPortable(const std::int32_t* matrix, const TermBlockLayout& layout,
                          std::uint32_t* laneSums);
#if defined(QUADRIXEL_X86_KERNELS)
void sumTermLanesSse41(const std::int32_t* matrix, const TermBlockLayout& layout,
                       std::uint32_t* laneSums);
void sumTermLanesAvx2(const std::int32_t* matrix, const TermBlockLayout& layout,
                      std::uint32_t* laneSums);
void sumTermLanesAvx512(const std::int32_t* matrix, const TermBlockLayout& layout,
                        std::uint32_t* laneSums);
#endif

namespace {

bool onEveryProcessor() { return true; }
bool withSse41() { return processorInstructionSets().sse41; }
bool withAvx2() { return processorInstructionSets().avx2; }
bool withAvx512f() { return processorInstructionSets().avx512f; }

// Where the build left a kernel out, its row stays, with no entry point.
#if defined(QUADRIXEL_X86_KERNELS)
#define QUADRIXEL_X86_KERNEL(entry) entry
#else
#define QUADRIXEL_X86_KERNEL(entry) nullptr
#endif

// The kernels, fastest first; the portable one, which every processor runs,
// last.
constexpr TermKernel TERM_KERNELS[] = {
    {"Avx512", "AVX-512F", QUADRIXEL_X86_KERNEL(sumTermLanesAvx512), withAvx512f},
    {"Avx2", "AVX2", QUADRIXEL_X86_KERNEL(sumTermLanesAvx2), withAvx2},
    {"Sse41", "SSE4.1", QUADRIXEL_X86_KERNEL(sumTermLanesSse41), withSse41},
    {"Portable", "the target's baseline", sumTermLanesPortable, onEveryProcessor},
};
static_assert(TERM_KERNELS[std::size(TERM_KERNELS) - 1].sumLanes == sumTermLanesPortable &&
                  TERM_KERNELS[std::size(TERM_KERNELS) - 1].supported == onEveryProcessor,
              "the last kernel must be one that every processor runs");

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

// Fills `layout` for order n. Requires 4 <= n <= 12.
void buildLayout(std::int32_t n, TermBlockLayout& layout) {
  assert(n >= 4 && n <= MAX_WALK_ORDER);
  // Rows and lanes past the order's pick candidate 0.
  layout = TermBlockLayout{};
  layout.n = n;
  layout.lanes = (n - 1) * (n - 2);
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

std::span<const TermKernel> termKernels() { return TERM_KERNELS; }

bool termKernelAvailable(const TermKernel& kernel) {
  return kernel.sumLanes != nullptr && kernel.supported();
}

const TermKernel& fastestTermKernel() {
  static const TermKernel* const fastest = [] {
    const TermKernel* kernel = TERM_KERNELS;
    while (!termKernelAvailable(*kernel)) ++kernel;
    return kernel;
  }();
  return *fastest;
}

std::uint32_t sumOfTermBlocksBy(const std::int32_t* matrix, SumTermLanes sumLanes) {
  TermBlockLayout layout;
  buildLayout(matrixColumns(matrix), layout);
  std::uint32_t laneSums[BLOCK_LANES_MAX];
  sumLanes(matrix, layout, laneSums);
  std::uint32_t sum = 0;
  for (std::int32_t q = 1; q <= layout.n - 1; ++q) {
    for (std::int32_t r = 1; r <= layout.n - 2; ++r) {
      const std::uint32_t laneSum = laneSums[(q - 1) * (layout.n - 2) + (r - 1)];
      sum += (q + r) % 2 == 0 ? laneSum : 0u - laneSum;
    }
  }
  return sum;
}

std::uint32_t sumOfTermBlocks(const std::int32_t* matrix, const TermKernel& kernel) {
  assert(termKernelAvailable(kernel));
  return sumOfTermBlocksBy(matrix, kernel.sumLanes);
}
