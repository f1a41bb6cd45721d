// The terms of the determinant's walk from order 4 on, evaluated a block at a
// time: the lower indices of the plain-changes walk drive the blocks, and the
// sweeps of its three top indices fill one block. Every permutation is a
// term, taken in full and signed by its parity; nothing is pruned on zeros.
// All sums and products wrap modulo 2^32, and every kernel gives the same
// sum to the bit, however the walk is shared among threads.
//
// The kernels are the rows of one table, in order of preference. A kernel is
// available when this build compiled it with its instruction set and the
// processor and its operating system support that set; the portable kernel,
// built for the target's baseline, always is, and comes last.
#ifndef QUADRIXEL_MATRIX_TERM_BLOCKS_H_
#define QUADRIXEL_MATRIX_TERM_BLOCKS_H_

#include <cstdint>
#include <span>

#include "matrix/work_sharing.h"

struct TermBlockLayout;

// One of `parts` parts of the lower walk, numbered from 0; the parts of a
// walk together take each of its blocks once.
struct WalkPart {
  std::int32_t part;
  std::int32_t parts;
};

// A kernel's entry point: fills laneSums[0 .. layout.lanes - 1] with the lane
// sums of the blocks of `part` of the walk of the square record `matrix`,
// whose order is layout.n (4 .. 12). Requires 0 <= part.part < part.parts.
using SumTermLanes = void (*)(const std::int32_t* matrix, const TermBlockLayout& layout,
                              WalkPart part, std::uint32_t* laneSums);

// One row of the table of kernels.
struct TermKernel {
  const char* name;            // as the tests and benchmarks print it, such as "Avx2"
  const char* instructionSet;  // what it is built for, such as "AVX2"
  SumTermLanes sumLanes;       // null when this build did not compile it with that set
  bool (*supported)();         // true when this processor and its system support it
};

// The kernels, in order of preference.
std::span<const TermKernel> termKernels();

// True when this build compiled `kernel` with its instruction set and this
// processor supports it.
bool termKernelAvailable(const TermKernel& kernel);

// The first available kernel of the table.
const TermKernel& fastestTermKernel();

// Returns the sum of all n! signed terms of the square record `matrix`,
// wrapped to 32 bits, evaluated by `kernel` with the walk shared among
// `threads` threads, the caller's own among them; `threads` is clamped to
// 1 .. WORK_THREADS_MAX. `beforeStart` is handed to runOnThreads. Requires
// 4 <= n <= 12 and termKernelAvailable(kernel).
std::uint32_t sumOfTermBlocks(const std::int32_t* matrix, const TermKernel& kernel, int threads = 1,
                              ThreadStartHook beforeStart = nullptr);

#endif  // QUADRIXEL_MATRIX_TERM_BLOCKS_H_
