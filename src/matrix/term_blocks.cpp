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
// found to support them; that check is the one part of this file that is
// not standard C++.
#include "matrix/term_blocks.h"

#include "matrix/term_blocks_layout.h"

#if defined(_MSC_VER) && (defined(_M_X64) || defined(_M_IX86))
#include <immintrin.h>
#include <intrin.h>
#define QUADRIXEL_CPUID_MSVC
#elif (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#include <cpuid.h>
#define QUADRIXEL_CPUID_GNU
#endif

namespace {

// The instruction sets beyond the baseline that the kernels use, as far as
// both the processor and the operating system allow them.
struct InstructionSets {
  bool sse41 = false;
  bool avx2 = false;
  bool avx512f = false;
};

#if defined(QUADRIXEL_CPUID_MSVC) || defined(QUADRIXEL_CPUID_GNU)

// CPUID leaf `leaf`, subleaf `subleaf`: registers eax, ebx, ecx and edx in
// regs[0 .. 3]. Returns false when the processor has no such leaf.
bool cpuid(std::uint32_t leaf, std::uint32_t subleaf, std::uint32_t* regs) {
#if defined(QUADRIXEL_CPUID_MSVC)
  int values[4];
  __cpuid(values, 0);
  if (static_cast<std::uint32_t>(values[0]) < leaf) return false;
  __cpuidex(values, static_cast<int>(leaf), static_cast<int>(subleaf));
  for (int i = 0; i < 4; ++i) regs[i] = static_cast<std::uint32_t>(values[i]);
#else
  // Zero also when the processor has no CPUID at all (early i386 models).
  if (static_cast<std::uint32_t>(__get_cpuid_max(0, nullptr)) < leaf) return false;
  __cpuid_count(leaf, subleaf, regs[0], regs[1], regs[2], regs[3]);
#endif
  return true;
}

// XCR0, the register states that the operating system saves and restores.
// Requires CPUID.1:ECX.OSXSAVE.
std::uint64_t savedStates() {
#if defined(QUADRIXEL_CPUID_MSVC)
  return _xgetbv(0);
#else
  std::uint32_t low;
  std::uint32_t high;
  __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  return (static_cast<std::uint64_t>(high) << 32) | low;
#endif
}

// Bit n (0 .. 31) of `word`.
bool bit(std::uint32_t word, int n) { return (word >> n) & 1u; }

// Asks the processor, and the operating system through XCR0, which of the
// kernels' instruction sets may be used.
InstructionSets findInstructionSets() {
  InstructionSets sets;
  std::uint32_t leaf1[4];
  if (!cpuid(1, 0, leaf1)) return sets;
  // SSE registers are saved by every operating system that runs x86-64 or
  // SSE code at all: the processor's word is enough.
  sets.sse41 = bit(leaf1[2], 19);
  // The wider registers need XSAVE enabled by the operating system
  // (OSXSAVE) before XGETBV may be asked which states it saves: XMM and YMM
  // (bits 1, 2) for AVX2, and the mask and upper ZMM states (bits 5 .. 7)
  // as well for AVX-512.
  const bool osxsave = bit(leaf1[2], 27);
  const bool avx = bit(leaf1[2], 28);
  std::uint32_t leaf7[4];
  if (!osxsave || !avx || !cpuid(7, 0, leaf7)) return sets;
  const std::uint64_t states = savedStates();
  const bool ymmSaved = (states & 0x06) == 0x06;
  const bool zmmSaved = (states & 0xE6) == 0xE6;
  sets.avx2 = ymmSaved && bit(leaf7[1], 5);
  sets.avx512f = zmmSaved && bit(leaf7[1], 16);
  return sets;
}

#else

// Not x86, or a compiler whose way to ask the processor is not known here:
// only the portable kernel runs.
InstructionSets findInstructionSets() { return InstructionSets{}; }

#endif

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

// The function that evaluates the lanes for `kernel`.
SumTermLanes kernelFunction(TermKernel kernel) {
  switch (kernel) {
    case TermKernel::kPortable: return sumTermLanesPortable;
    case TermKernel::kSse41: return sumTermLanesSse41;
    case TermKernel::kAvx2: return sumTermLanesAvx2;
    case TermKernel::kAvx512: return sumTermLanesAvx512;
  }
  return sumTermLanesPortable;
}

}  // namespace

bool termKernelAvailable(TermKernel kernel) {
  static const InstructionSets sets = findInstructionSets();
  switch (kernel) {
    case TermKernel::kPortable: return true;
    case TermKernel::kSse41: return sets.sse41;
    case TermKernel::kAvx2: return sets.avx2;
    case TermKernel::kAvx512: return sets.avx512f;
  }
  return false;
}

TermKernel fastestTermKernel() {
  static const TermKernel fastest = termKernelAvailable(TermKernel::kAvx512) ? TermKernel::kAvx512
                                    : termKernelAvailable(TermKernel::kAvx2) ? TermKernel::kAvx2
                                    : termKernelAvailable(TermKernel::kSse41)
                                        ? TermKernel::kSse41
                                        : TermKernel::kPortable;
  return fastest;
}

std::uint32_t sumOfTermBlocksBy(const std::int32_t* matrix, SumTermLanes kernel) {
  TermBlockLayout layout;
  buildLayout(matrix[0] % 100, layout);
  std::uint32_t laneSums[BLOCK_LANES_MAX];
  kernel(matrix, layout, laneSums);
  std::uint32_t sum = 0;
  for (std::int32_t q = 1; q <= layout.n - 1; ++q) {
    for (std::int32_t r = 1; r <= layout.n - 2; ++r) {
      const std::uint32_t laneSum = laneSums[(q - 1) * (layout.n - 2) + (r - 1)];
      sum += (q + r) % 2 == 0 ? laneSum : 0u - laneSum;
    }
  }
  return sum;
}

std::uint32_t sumOfTermBlocks(const std::int32_t* matrix, TermKernel kernel) {
  return sumOfTermBlocksBy(matrix, kernelFunction(kernel));
}
