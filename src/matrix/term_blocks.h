// The terms of the determinant's walk from order 4 on, evaluated a block at a
// time: the lower indices of the plain-changes walk drive the blocks, and the
// sweeps of its four top indices fill one block. Every permutation is a
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

// The parts of a lower walk, handed out to the threads that share it: the
// walk is cut into `parts` parts, numbered from 0, and claim(context)
// returns the number of a part that no one has taken yet, or -1 when none is
// left. Each caller is handed its parts in increasing order; together the
// parts take each block of the walk once.
struct WalkParts {
  std::int32_t parts;
  std::int32_t (*claim)(void* context);
  void* context;
};

// A kernel's entry point: writes to laneSums[0 .. layout.lanes - 1] the lane
// sums of the blocks of every part that `parts` hands it, of the walk of the
// square record `matrix`, whose order is layout.n (4 .. 12). Requires
// parts.parts >= 1.
using SumTermLanes = void (*)(const std::int32_t* matrix, const TermBlockLayout& layout,
                              const WalkParts& parts, std::uint32_t* laneSums);

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
