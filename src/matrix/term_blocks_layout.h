// What the block kernels share: the lanes of a block and which entry each
// row takes in each lane. Only term_blocks.cpp, the kernel sources and the
// benchmarks include this header.
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

#include "matrix/term_blocks.h"

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

// Returns the sum of all n! signed terms of the square record `matrix`
// (order 4 .. 12), wrapped to 32 bits, with its lanes summed by `sumLanes`.
std::uint32_t sumOfTermBlocksBy(const std::int32_t* matrix, SumTermLanes sumLanes);

#endif  // QUADRIXEL_MATRIX_TERM_BLOCKS_LAYOUT_H_
