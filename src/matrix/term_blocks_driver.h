// What every block kernel does alike: the matrix by rows, the lower walk of
// order n - 3 on columns 4 .. n, and the loop over its steps. What differs
// from kernel to kernel is only its block state, and how a step of the lower
// walk refreshes it.
//
// A kernel source defines, for each order n, a block state type with
//   static constexpr int ORDER = n;
//   void start(const BlockSource&, const TermBlockLayout&);
//       sets itself up for the lower walk's first arrangement, the identity;
//   void follow(const BlockSource&, std::int32_t k);
//       the lower walk has swapped its positions k and k + 1 (1 .. n - 4);
//   void add(std::int32_t odd);
//       adds the block of the current arrangement, whose parity is odd;
//   void finish(const TermBlockLayout&, std::uint32_t* laneSums) const;
// then includes this header and calls sumTermLanesOfEveryOrder with its
// state's template. The header is standard C++; everything in it has
// internal linkage, so that no function compiled for one instruction set
// can stand in for another at link time.
#ifndef QUADRIXEL_MATRIX_TERM_BLOCKS_DRIVER_H_
#define QUADRIXEL_MATRIX_TERM_BLOCKS_DRIVER_H_

#include <cassert>
#include <cstdint>

#include "matrix/permutation_walk.h"
#include "matrix/term_blocks_layout.h"

namespace {

// What a block state reads: the matrix, and where the lower walk stands.
struct BlockSource {
  // rows[j][col]: the entry in row j, column col, both 1 .. n; 0 in column 0
  // and past n, so that every candidate can be fetched without a test.
  std::uint32_t rows[BLOCK_ROWS][BLOCK_ROWS];
  // columnAt[3 + x]: the column that the lower walk puts at position x
  // (1 .. n - 3), or 0 for the positions -2 .. 0 and those past the walk.
  std::int32_t columnAt[3 + BLOCK_ROWS];
};

// Fills laneSums for the square record `matrix` of order Blocks::ORDER,
// which is layout.n: after each step of the lower walk, the block of that
// step is added.
template <class Blocks>
void sumTermLanesOfOrder(const std::int32_t* matrix, const TermBlockLayout& layout,
                         std::uint32_t* laneSums) {
  constexpr std::int32_t n = Blocks::ORDER;
  BlockSource source = {};
  for (std::int32_t j = 1; j <= n; ++j) {
    for (std::int32_t col = 1; col <= n; ++col) {
      source.rows[j][col] = static_cast<std::uint32_t>(matrix[(j - 1) * n + col]);
    }
  }
  PermutationWalk lower;
  startWalk(lower, n - 3);
  for (std::int32_t x = 1; x <= n - 3; ++x) source.columnAt[3 + x] = lower.perm[x] + 3;

  Blocks blocks;
  blocks.start(source, layout);
  while (lower.stepsLeft != 0) {
    const std::int32_t k = walkStep(lower);
    if (k != 0) {
      source.columnAt[3 + k] = lower.perm[k] + 3;
      source.columnAt[4 + k] = lower.perm[k + 1] + 3;
      blocks.follow(source, k);
    }
    blocks.add(lower.odd);
  }
  blocks.finish(layout, laneSums);
}

// A kernel's entry point: sumTermLanesOfOrder with the block state
// Blocks<layout.n>. Requires 4 <= layout.n <= 12.
template <template <int> class Blocks>
void sumTermLanesOfEveryOrder(const std::int32_t* matrix, const TermBlockLayout& layout,
                              std::uint32_t* laneSums) {
  switch (layout.n) {
    case 4: return sumTermLanesOfOrder<Blocks<4>>(matrix, layout, laneSums);
    case 5: return sumTermLanesOfOrder<Blocks<5>>(matrix, layout, laneSums);
    case 6: return sumTermLanesOfOrder<Blocks<6>>(matrix, layout, laneSums);
    case 7: return sumTermLanesOfOrder<Blocks<7>>(matrix, layout, laneSums);
    case 8: return sumTermLanesOfOrder<Blocks<8>>(matrix, layout, laneSums);
    case 9: return sumTermLanesOfOrder<Blocks<9>>(matrix, layout, laneSums);
    case 10: return sumTermLanesOfOrder<Blocks<10>>(matrix, layout, laneSums);
    case 11: return sumTermLanesOfOrder<Blocks<11>>(matrix, layout, laneSums);
    case 12: return sumTermLanesOfOrder<Blocks<12>>(matrix, layout, laneSums);
  }
  assert(false && "a block's order is 4 .. 12");
}

}  // namespace

#endif  // QUADRIXEL_MATRIX_TERM_BLOCKS_DRIVER_H_
