// The walk in blocks.
//
// For order n >= 4 the walk is split in two. Its indices below n - 3 make
// the plain-changes walk of order n - 4 on columns 5 .. n; after each of its
// steps the four top indices sweep columns 4, 3, 2 and 1 across every free
// position, which visits the n (n - 1) (n - 2) (n - 3) permutations of one
// block: column 4 at position r of the n - 3 places around columns 5 .. n,
// column 3 at position q of the n - 2 places around those, and columns 2
// and 1 at the rows lo < hi that they leave, in either order. Every
// permutation of a block is a term, taken in full: the product of its n
// entries, added or subtracted by its parity, which is the parity of the
// lower walk's step times (-1)^(q + r + lo + hi + 1), times -1 more where
// column 2 takes row lo: the identity, the last term, has q = r = lo = 1,
// hi = 2 and the lower walk's even last step, and is even.
//
// Within a block the products share their work. For a fixed pair (q, r) the
// other columns fill n - 2 slots in order; a row above lo takes its own
// slot, a row between lo and hi the slot before, a row below hi the slot two
// before. So a term is the product of the rows above lo, lo's entry, the
// rows between lo and hi, hi's entry and the rows below hi, and for each lo
// the products of the rows down to hi grow by one row as hi moves down,
// while those of the rows below hi serve every lo. The pairs (q, r) are the
// lanes of a vector; each lane keeps its slots' entries from block to block
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

// What slot s (1 .. n - 2) of the arrangement of columns 3 .. n holds in
// lane (q, r), as TermBlockLayout::heldAt says: column 3 sits at slot q,
// column 4 at slot r of what remains, and the lower walk's positions fill
// the rest in order.
std::int32_t heldAt(std::int32_t s, std::int32_t q, std::int32_t r) {
  if (s == q) return 3;
  const std::int32_t withoutColumn3 = s - (s > q ? 1 : 0);
  if (withoutColumn3 == r) return 4;
  return 4 + withoutColumn3 - (withoutColumn3 > r ? 1 : 0);
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
  for (std::int32_t q = 1; q <= n - 2; ++q) {
    for (std::int32_t r = 1; r <= n - 3; ++r) {
      const std::uint32_t laneSum = laneSums[(q - 1) * (n - 3) + (r - 1)];
      sum += (q + r) % 2 == 0 ? laneSum : 0u - laneSum;
    }
  }
  walk.threadSums[walk.nextThread.fetch_add(1, std::memory_order_relaxed)] = sum;
}

}  // namespace

void buildTermBlockLayout(std::int32_t n, TermBlockLayout& layout) {
  assert(n >= 4 && n <= MAX_WALK_ORDER);
  // Padding lanes hold column 3 everywhere.
  for (auto& slot : layout.heldAt) {
    for (std::int32_t& held : slot) held = 3;
  }
  layout.n = n;
  layout.lanes = (n - 2) * (n - 3);
  // Slot by slot, lane by lane. (GCC 12 at -O3 vectorizes the same loops
  // nested the other way, over q, r and s, with aligned stores at lanes
  // that are not aligned, and the program crashes.)
  for (std::int32_t s = 1; s <= n - 2; ++s) {
    for (std::int32_t lane = 0; lane < layout.lanes; ++lane) {
      layout.heldAt[s][lane] = heldAt(s, lane / (n - 3) + 1, lane % (n - 3) + 1);
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
