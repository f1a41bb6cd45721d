// The terms of the determinant's walk from order 4 on, evaluated a block at a
// time: the lower indices of the plain-changes walk drive the blocks, and the
// sweeps of its three top indices fill one block. Every permutation is a
// term, taken in full and signed by its parity; nothing is pruned on zeros.
// All sums and products wrap modulo 2^32, and every kernel gives the same
// sum to the bit.
//
// The kernels are the rows of one table, in order of preference. A kernel is
// available when this build compiled it with its instruction set and the
// processor and its operating system support that set; the portable kernel,
// built for the target's baseline, always is, and comes last.
#ifndef QUADRIXEL_MATRIX_TERM_BLOCKS_H_
#define QUADRIXEL_MATRIX_TERM_BLOCKS_H_

#include <cstdint>
#include <span>

struct TermBlockLayout;

// A kernel's entry point: fills laneSums[0 .. layout.lanes - 1] with the lane
// sums of the square record `matrix`, whose order is layout.n (4 .. 12).
using SumTermLanes = void (*)(const std::int32_t* matrix, const TermBlockLayout& layout,
                              std::uint32_t* laneSums);

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
// wrapped to 32 bits, evaluated by `kernel`. Requires 4 <= n <= 12 and
// termKernelAvailable(kernel).
std::uint32_t sumOfTermBlocks(const std::int32_t* matrix, const TermKernel& kernel);

#endif  // QUADRIXEL_MATRIX_TERM_BLOCKS_H_
