// What the block kernels share: the lanes of a block, which entry each row
// takes in each lane, and the kernels' entry points. Only term_blocks.cpp,
// the kernel sources and the benchmarks include this header.
//
// A block of order n has (n - 1) (n - 2) lanes, one for each pair (q, r) of
// positions of columns 2 and 3; lane (q, r) is number (q - 1) (n - 2) + r - 1.
// Rows are indexed 1 .. n. A kernel returns, for each lane, the sum over all
// blocks and all positions p of column 1 of the term, signed by the parity
// of the block's lower-walk step times (-1)^(p - 1); the lane's own sign
// (-1)^(q + r) is applied by the caller.
#ifndef QUADRIXEL_MATRIX_TERM_BLOCKS_LAYOUT_H_
#define QUADRIXEL_MATRIX_TERM_BLOCKS_LAYOUT_H_

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

// A kernel: fills laneSums[0 .. layout.lanes - 1] with the lane sums of the
// square record `matrix`, whose order is layout.n (4 .. 12).
using SumTermLanes = void (*)(const std::int32_t* matrix, const TermBlockLayout& layout,
                              std::uint32_t* laneSums);

// The kernels, one per instruction set. Each may be called only where
// termKernelAvailable says that its instruction set is present; where the
// program was built without it, the kernel is the portable one.
void sumTermLanesPortable(const std::int32_t* matrix, const TermBlockLayout& layout,
                          std::uint32_t* laneSums);
void sumTermLanesSse41(const std::int32_t* matrix, const TermBlockLayout& layout,
                       std::uint32_t* laneSums);
void sumTermLanesAvx2(const std::int32_t* matrix, const TermBlockLayout& layout,
                      std::uint32_t* laneSums);
void sumTermLanesAvx512(const std::int32_t* matrix, const TermBlockLayout& layout,
                        std::uint32_t* laneSums);

// Returns the sum of all n! signed terms of the square record `matrix`
// (order 4 .. 12), wrapped to 32 bits, with its lanes summed by `kernel`.
std::uint32_t sumOfTermBlocksBy(const std::int32_t* matrix, SumTermLanes kernel);

#endif  // QUADRIXEL_MATRIX_TERM_BLOCKS_LAYOUT_H_
