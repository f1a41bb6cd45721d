// What the block kernels share with the code that calls them: the lanes of
// a block, what each lane's positions hold, and the part of the walk that one
// call takes. Only term_blocks.cpp, the kernel sources, the tests and the
// benchmarks include this header.
//
// A block of order n has (n - 1) (n - 2) lanes, one for each pair (q, r):
// column 2 at position q of the arrangement of columns 2 .. n, column 3 at
// position r of the places that column 2 leaves, and the lower walk's
// columns in the rest, in their order. Lane (q, r) is number
// (q - 1) (n - 2) + r - 1. A kernel returns, for each lane, the sum over the
// blocks of its part of the walk and over all positions p of column 1 of
// the term, signed by the parity of the block's lower-walk step times
// (-1)^(p - 1); the lane's own sign (-1)^(q + r) is applied by the caller.
#ifndef QUADRIXEL_MATRIX_TERM_BLOCKS_LAYOUT_H_
#define QUADRIXEL_MATRIX_TERM_BLOCKS_LAYOUT_H_

#include <cstdint>

#include "matrix/term_blocks.h"

// Most lanes of a block: (12 - 1) * (12 - 2) pairs (q, r), rounded up to a
// multiple of sixteen, the widest vectors.
inline constexpr int BLOCK_LANES_MAX = 112;
// Rows of a block are indexed 1 .. n, n <= 12.
inline constexpr int BLOCK_ROWS = 13;

// What depends on the order alone. heldAt[x][lane] is what position x
// (1 .. n - 1) of the arrangement of columns 2 .. n holds in the lane: 2 or
// 3 where it holds column 2 or 3, and 3 + y where it holds the lower walk's
// position y (1 .. n - 3), which is column 3 + y while the lower walk stands
// at the identity. Row x takes its factor from position x when it lies above
// column 1's position, row x + 1 from position x when it lies below. Lanes
// past `lanes` are padding: they hold column 2 everywhere and are never
// summed.
struct TermBlockLayout {
  std::int32_t n;
  std::int32_t lanes;  // (n - 1) * (n - 2)
  alignas(64) std::int32_t heldAt[BLOCK_ROWS][BLOCK_LANES_MAX];
};

// Fills `layout` for order n. Requires 4 <= n <= 12.
void buildTermBlockLayout(std::int32_t n, TermBlockLayout& layout);

#endif  // QUADRIXEL_MATRIX_TERM_BLOCKS_LAYOUT_H_
