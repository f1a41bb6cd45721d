// The terms of the determinant's walk from order 4 on, evaluated a block at a
// time: the lower indices of the plain-changes walk drive the blocks, and the
// sweeps of its three top indices fill one block. Every permutation is a
// term, taken in full and signed by its parity; nothing is pruned on zeros.
// All sums and products wrap modulo 2^32, and every kernel gives the same
// sum to the bit.
#ifndef QUADRIXEL_MATRIX_TERM_BLOCKS_H_
#define QUADRIXEL_MATRIX_TERM_BLOCKS_H_

#include <cstdint>

// The ways to evaluate a block; all give identical sums.
enum class TermKernel {
  kPortable,  // plain loops over the lanes, built for the target's baseline
  kSse41,     // the same loops built for SSE4.1, chosen at run time where supported
  kAvx2,      // eight-lane vectors with AVX2, likewise
  kAvx512,    // sixteen-lane vectors with AVX-512F, likewise
};

// True when `kernel` can run on this processor.
bool termKernelAvailable(TermKernel kernel);

// The fastest kernel that this processor supports.
TermKernel fastestTermKernel();

// Returns the sum of all n! signed terms of the square record `matrix`,
// wrapped to 32 bits, evaluated by `kernel`. Requires 4 <= n <= 12 and
// termKernelAvailable(kernel).
std::uint32_t sumOfTermBlocks(const std::int32_t* matrix, TermKernel kernel);

#endif  // QUADRIXEL_MATRIX_TERM_BLOCKS_H_
