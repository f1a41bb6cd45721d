// The terms of the determinant's walk, evaluated block by block.
//
// For order n >= 4 the walk is split in two. Its indices below n - 2 make
// the plain-changes walk of order n - 3 on columns 4 .. n; after each of its
// steps the three top indices sweep columns 3, 2 and 1 across every free
// position, which visits the n (n - 1) (n - 2) permutations of one block:
// column 3 at position r of the n - 2 places around columns 4 .. n, column 2
// at position q of the n - 1 places around those, column 1 at position p of
// all n. Every permutation of a block is a term, taken in full: the product
// of its n entries, added or subtracted by its parity, which is the parity of
// the lower walk's step times (-1)^(p + q + r). Nothing is pruned on zeros.
//
// Within a block the products share their work. For a fixed pair (q, r) the
// rows above column 1's position take one column each and the rows below it
// another, so the n terms for p = 1 .. n are prefix product times column-1
// entry times suffix product. The pairs (q, r) are the lanes of a vector:
// each row's factor for a lane is one of six candidate entries (columns 2
// and 3, and the lower walk's columns at four neighbouring positions), picked
// by a per-lane index that depends on n alone. Every product and sum wraps
// modulo 2^32, so grouping the factors of a term and the order of the sums
// do not change the result.
#ifndef QUADRIXEL_MATRIX_TERM_BLOCKS_H_
#define QUADRIXEL_MATRIX_TERM_BLOCKS_H_

#include <cstdint>

// Most lanes of a block: (12 - 1) * (12 - 2) pairs (q, r), rounded up to a
// whole number of the widest vectors.
inline constexpr int BLOCK_LANES_MAX = 112;
// Rows of a block are indexed 1 .. n, n <= 12.
inline constexpr int BLOCK_ROWS = 13;

// What depends on the order alone: for each row j and lane (q, r), which of
// the row's candidate entries the row takes when it lies above column 1's
// position p (pickAbove, j < p: the column at position j of the arrangement
// of columns 2 .. n) and when it lies below (pickBelow, j > p: the column at
// position j - 1). Candidates 0 and 1 are the entries in columns 2 and 3;
// candidate 2 + d is the entry in the column that the lower walk puts at
// position j - d. Lanes past `lanes` are padding: they pick candidate 0 and
// are never summed.
struct TermBlockLayout {
  std::int32_t n;
  std::int32_t lanes;  // (n - 1) * (n - 2)
  alignas(64) std::int32_t pickAbove[BLOCK_ROWS][BLOCK_LANES_MAX];
  alignas(64) std::int32_t pickBelow[BLOCK_ROWS][BLOCK_LANES_MAX];
};

// The ways to evaluate a block; all give identical sums.
enum class TermKernel {
  kPortable,  // plain vectors of four lanes, any processor
  kAvx2,      // eight lanes with AVX2, chosen at run time where supported
  kAvx512,    // sixteen lanes with AVX-512F, likewise
};

// True when `kernel` can run on this processor.
bool termKernelAvailable(TermKernel kernel);

// The widest kernel that this processor supports.
TermKernel fastestTermKernel();

// Returns the sum of all n! signed terms of the square record `matrix`,
// wrapped to 32 bits, evaluated by `kernel`. Requires 4 <= n <= 12 and
// termKernelAvailable(kernel).
std::uint32_t sumOfTermBlocks(const std::int32_t* matrix, TermKernel kernel);

// The kernels behind sumOfTermBlocks: each adds, for every lane, the terms
// of all blocks of `matrix` with the parity of their lower-walk step and
// (-1)^(p - 1), and stores that lane's sum in laneSums (`layout.lanes`
// entries). The sign (-1)^(q + r) of the lane is left to the caller.
void sumTermLanesPortable(const std::int32_t* matrix, const TermBlockLayout& layout,
                          std::uint32_t* laneSums);
void sumTermLanesAvx2(const std::int32_t* matrix, const TermBlockLayout& layout,
                      std::uint32_t* laneSums);
void sumTermLanesAvx512(const std::int32_t* matrix, const TermBlockLayout& layout,
                        std::uint32_t* laneSums);

#endif  // QUADRIXEL_MATRIX_TERM_BLOCKS_H_
