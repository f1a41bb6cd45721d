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
// the lower walk's step times (-1)^(p - 1 + q + r): the identity, the last
// term, has p = q = r = 1 and the lower walk's even last step, and is even.
//
// Within a block the products share their work. For a fixed pair (q, r) the
// rows above column 1's position take one column each and the rows below it
// another, so the n terms for p = 1 .. n are the product of the rows above,
// column 1's entry and the product of the rows below. The pairs (q, r) are
// the lanes of a vector; each lane's products are kept from block to block
// (term_blocks_kernel.h). Every product and sum wraps modulo 2^32, so
// grouping the factors of a term and the order of the sums do not change
// the result, and every kernel gives the same sum to the bit, in however
// many parts the walk is taken.
//
// The kernels built for wider instruction sets than the target's baseline
// are entered only after the processor, and the operating system, have been
// found to support them (instruction_sets.cpp). Each is built only for x86
// targets whose compiler takes its instruction set's flags, and not at all
// with QUADRIXEL_PORTABLE_KERNEL_ONLY; CMake tells this file which ones it
// built by defining QUADRIXEL_SSE41_KERNEL, QUADRIXEL_AVX2_KERNEL and
// QUADRIXEL_AVX512_KERNEL.
#include "matrix/term_blocks.h"

#include <atomic>
#include <cassert>
#include <iterator>

#include "matrix/instruction_sets.h"
#include "matrix/matrix_record.h"
#include "matrix/term_blocks_layout.h"

// The kernels' entry points, each defined in a source of its own and built
// from the same code, term_blocks_kernel.h.
void sumTermLanesPortable(const std::int32_t* matrix, const TermBlockLayout& layout,
                          const WalkParts& parts, std::uint32_t* laneSums);
void sumTermLanesSse41(const std::int32_t* matrix, const TermBlockLayout& layout,
                       const WalkParts& parts, std::uint32_t* laneSums);
void sumTermLanesAvx2(const std::int32_t* matrix, const TermBlockLayout& layout,
                      const WalkParts& parts, std::uint32_t* laneSums);
void sumTermLanesAvx512(const std::int32_t* matrix, const TermBlockLayout& layout,
                        const WalkParts& parts, std::uint32_t* laneSums);

namespace {

bool onEveryProcessor() { return true; }
bool withSse41() { return processorInstructionSets().sse41; }
bool withAvx2() { return processorInstructionSets().avx2; }
bool withAvx512f() { return processorInstructionSets().avx512f; }

// Where the build left a kernel out, its row stays, with no entry point.
#if defined(QUADRIXEL_SSE41_KERNEL)
constexpr SumTermLanes SSE41_ENTRY = sumTermLanesSse41;
#else
constexpr SumTermLanes SSE41_ENTRY = nullptr;
#endif
#if defined(QUADRIXEL_AVX2_KERNEL)
constexpr SumTermLanes AVX2_ENTRY = sumTermLanesAvx2;
#else
constexpr SumTermLanes AVX2_ENTRY = nullptr;
#endif
#if defined(QUADRIXEL_AVX512_KERNEL)
constexpr SumTermLanes AVX512_ENTRY = sumTermLanesAvx512;
#else
constexpr SumTermLanes AVX512_ENTRY = nullptr;
#endif

// The kernels, fastest first; the portable one, which every processor runs,
// last.
constexpr TermKernel TERM_KERNELS[] = {
    {"Avx512", "AVX-512F", AVX512_ENTRY, withAvx512f},
    {"Avx2", "AVX2", AVX2_ENTRY, withAvx2},
    {"Sse41", "SSE4.1", SSE41_ENTRY, withSse41},
    {"Portable", "the target's baseline", sumTermLanesPortable, onEveryProcessor},
};
static_assert(TERM_KERNELS[std::size(TERM_KERNELS) - 1].sumLanes == sumTermLanesPortable &&
                  TERM_KERNELS[std::size(TERM_KERNELS) - 1].supported == onEveryProcessor,
              "the last kernel must be one that every processor runs");

// What position x (1 .. n - 1) of the arrangement of columns 2 .. n holds in
// lane (q, r), as TermBlockLayout::heldAt says: column 2 sits at position
// q, column 3 at position r of what remains, and the lower walk's positions
// fill the rest in order.
std::int32_t heldAt(std::int32_t x, std::int32_t q, std::int32_t r) {
  if (x == q) return 2;
  const std::int32_t withoutColumn2 = x - (x > q ? 1 : 0);
  if (withoutColumn2 == r) return 3;
  return 3 + withoutColumn2 - (withoutColumn2 > r ? 1 : 0);
}

// Parts of a walk for each thread that shares it: enough that a thread
// which starts late, or runs on a busy core, leaves its share to the others,
// and few enough that a part's start costs little.
constexpr std::int32_t PARTS_PER_THREAD = 8;

// One walk shared among threads: each thread claims parts by number until
// none is left, and adds up its own lane sums.
struct SharedWalk {
  const std::int32_t* matrix;
  const TermBlockLayout* layout;
  SumTermLanes sumLanes;
  WalkParts parts;
  std::atomic<std::int32_t> nextPart;
  std::atomic<std::int32_t> nextThread;
  std::uint32_t threadSums[WORK_THREADS_MAX];
};

std::int32_t claimPart(void* context) {
  SharedWalk& walk = *static_cast<SharedWalk*>(context);
  const std::int32_t part = walk.nextPart.fetch_add(1, std::memory_order_relaxed);
  return part < walk.parts.parts ? part : -1;
}

// Takes parts of the walk until none is left and stores the sum of their
// lanes, each signed (-1)^(q + r), in the thread's own place.
void takeParts(void* context) {
  SharedWalk& walk = *static_cast<SharedWalk*>(context);
  std::uint32_t laneSums[BLOCK_LANES_MAX];
  walk.sumLanes(walk.matrix, *walk.layout, walk.parts, laneSums);
  const std::int32_t n = walk.layout->n;
  std::uint32_t sum = 0;
  for (std::int32_t q = 1; q <= n - 1; ++q) {
    for (std::int32_t r = 1; r <= n - 2; ++r) {
      const std::uint32_t laneSum = laneSums[(q - 1) * (n - 2) + (r - 1)];
      sum += (q + r) % 2 == 0 ? laneSum : 0u - laneSum;
    }
  }
  walk.threadSums[walk.nextThread.fetch_add(1, std::memory_order_relaxed)] = sum;
}

}  // namespace

void buildTermBlockLayout(std::int32_t n, TermBlockLayout& layout) {
  assert(n >= 4 && n <= MAX_WALK_ORDER);
  // Padding lanes hold column 2 everywhere.
  for (auto& position : layout.heldAt) {
    for (std::int32_t& held : position) held = 2;
  }
  layout.n = n;
  layout.lanes = (n - 1) * (n - 2);
  // Position by position, lane by lane. (GCC 12 at -O3 vectorizes the same
  // loops nested the other way, over q, r and x, with aligned stores at
  // lanes that are not aligned, and the program crashes.)
  for (std::int32_t x = 1; x <= n - 1; ++x) {
    for (std::int32_t lane = 0; lane < layout.lanes; ++lane) {
      layout.heldAt[x][lane] = heldAt(x, lane / (n - 2) + 1, lane % (n - 2) + 1);
    }
  }
}

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

std::uint32_t sumOfTermBlocks(const std::int32_t* matrix, const TermKernel& kernel, int threads,
                              ThreadStartHook beforeStart) {
  assert(termKernelAvailable(kernel));
  TermBlockLayout layout;
  buildTermBlockLayout(matrixColumns(matrix), layout);
  if (threads < 1) threads = 1;
  if (threads > WORK_THREADS_MAX) threads = WORK_THREADS_MAX;
  SharedWalk walk{matrix, &layout, kernel.sumLanes, {}, {0}, {0}, {}};
  walk.parts = WalkParts{threads == 1 ? 1 : threads * PARTS_PER_THREAD, claimPart, &walk};
  runOnThreads(threads, takeParts, &walk, beforeStart);
  std::uint32_t sum = 0;
  const std::int32_t ran = walk.nextThread.load(std::memory_order_relaxed);
  for (std::int32_t thread = 0; thread < ran; ++thread) sum += walk.threadSums[thread];
  return sum;
}
