// What the block kernels share with the code that calls them: the lanes of
// a block, what each lane's slots hold, and the part of the walk that one
// call takes. Only term_blocks.cpp, the kernel sources, the tests and the
// benchmarks include this header.
//
// A block of order n has (n - 2) (n - 3) lanes, one for each pair (q, r):
// column 3 at slot q of the arrangement of columns 3 .. n, column 4 at slot
// r of the places that column 3 leaves, and the lower walk's columns in the
// rest, in their order. Lane (q, r) is number (q - 1) (n - 3) + r - 1. A
// kernel returns, for each lane, the sum over the blocks of its part of the
// walk and over all rows lo < hi that columns 1 and 2 take of the term,
// signed by the parity of the block's lower-walk step times
// (-1)^(lo + hi + 1), and by -1 more where column 2 takes row lo; the lane's own sign (-1)^(q + r)
// is applied by the caller.
#ifndef QUADRIXEL_MATRIX_TERM_BLOCKS_LAYOUT_H_
#define QUADRIXEL_MATRIX_TERM_BLOCKS_LAYOUT_H_

#include <cstdint>

#include "matrix/term_blocks.h"

// Most lanes of a block: (12 - 2) * (12 - 3) pairs (q, r), rounded up to a
// multiple of sixteen, the widest vectors.
inline constexpr int BLOCK_LANES_MAX = 96;
// Rows of a block are indexed 1 .. n, n <= 12.
inline constexpr int BLOCK_ROWS = 13;

// What depends on the order alone. heldAt[s][lane] is what slot s
// (1 .. n - 2) of the arrangement of columns 3 .. n holds in the lane: 3 or
// 4 where it holds column 3 or 4, and 4 + y where it holds the lower walk's
// position y (1 .. n - 4), which is column 4 + y while the lower walk stands
// at the identity. Row s takes its entry from slot s when it lies above the
// rows of columns 1 and 2, row s + 1 when it lies between them, row s + 2
// when it lies below. Lanes past `lanes` are padding: they hold column 3
// everywhere and are never summed.
struct TermBlockLayout {
  std::int32_t n;
  std::int32_t lanes;  // (n - 2) * (n - 3)
  alignas(64) std::int32_t heldAt[BLOCK_ROWS][BLOCK_LANES_MAX];
};

// Fills `layout` for order n. Requires 4 <= n <= 12.
void buildTermBlockLayout(std::int32_t n, TermBlockLayout& layout);

#endif  // QUADRIXEL_MATRIX_TERM_BLOCKS_LAYOUT_H_
