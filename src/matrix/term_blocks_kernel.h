// The body of the block kernels, compiled once per instruction set.
//
// Each kernel source defines, in an unnamed namespace, a type `Ops` with a
// vector type V of W unsigned 32-bit lanes, a type Candidates holding a
// row's eight candidate entries, load(entries) making Candidates of eight
// entries, and pick(candidates, indices) returning in each lane l the
// candidate indices[l]; then it includes this header and instantiates
// sumTermLanes<Ops>. Everything
// here has internal linkage, so that no function compiled for one instruction
// set can stand in for another.
#ifndef QUADRIXEL_MATRIX_TERM_BLOCKS_KERNEL_H_
#define QUADRIXEL_MATRIX_TERM_BLOCKS_KERNEL_H_

#include <cstdint>

#include "matrix/permutation_walk.h"
#include "matrix/term_blocks.h"

namespace {

// Loads W lanes of indices starting at `from`.
template <class Ops>
typename Ops::V loadLanes(const std::int32_t* from) {
  typename Ops::V lanes;
  __builtin_memcpy(&lanes, from, sizeof lanes);
  return lanes;
}

// Adds, to acc[0 .. chunks), the signed terms of the block whose rows have
// the candidate entries `candidates` (rows 1 .. n) and whose column-1
// entries are `column1`: in each lane, the sum over p of (-1)^(p - 1) times
// the term with column 1 at position p.
template <class Ops>
void addBlock(const TermBlockLayout& layout, const typename Ops::Candidates* candidates,
              const std::uint32_t* column1, typename Ops::V* acc) {
  using V = typename Ops::V;
  constexpr int W = Ops::W;
  const std::int32_t n = layout.n;
  const std::int32_t chunks = (layout.lanes + W - 1) / W;
  const V one = V{} + 1u;
  for (std::int32_t c = 0; c < chunks; ++c) {
    // below[p]: the product of the rows under position p, each taking the
    // column left of its own position.
    V below[BLOCK_ROWS];
    V product = one;
    below[n] = one;
    for (std::int32_t j = n; j >= 2; --j) {
      product *= Ops::pick(candidates[j], loadLanes<Ops>(layout.rightPick[j] + c * W));
      below[j - 1] = product;
    }
    // Rows above position p take the column at their own position.
    V added = V{};
    V subtracted = V{};
    product = one;
    for (std::int32_t p = 1; p <= n; ++p) {
      const V term = product * below[p] * column1[p];
      if (p & 1) {
        added += term;
      } else {
        subtracted += term;
      }
      if (p < n) product *= Ops::pick(candidates[p], loadLanes<Ops>(layout.leftPick[p] + c * W));
    }
    acc[c] += added - subtracted;
  }
}

// The kernel: drives the lower walk of order n - 3 and adds every block.
template <class Ops>
void sumTermLanes(const std::int32_t* matrix, const TermBlockLayout& layout,
                  std::uint32_t* laneSums) {
  using V = typename Ops::V;
  constexpr int W = Ops::W;
  constexpr int CHUNKS_MAX = (BLOCK_LANES_MAX + W - 1) / W;
  const std::int32_t n = layout.n;
  const std::int32_t lower = n - 3;

  // Blocks of even and of odd permutations of the lower walk.
  V acc[2][CHUNKS_MAX];
  for (std::int32_t c = 0; c < CHUNKS_MAX; ++c) acc[0][c] = acc[1][c] = V{};

  auto entry = [matrix, n](std::int32_t row, std::int32_t column) {
    return static_cast<std::uint32_t>(matrix[(row - 1) * n + column]);
  };
  std::uint32_t column1[BLOCK_ROWS];
  std::uint32_t entries[BLOCK_ROWS][8] = {};
  for (std::int32_t j = 1; j <= n; ++j) {
    column1[j] = entry(j, 1);
    entries[j][0] = entry(j, 2);
    entries[j][1] = entry(j, 3);
  }
  typename Ops::Candidates candidates[BLOCK_ROWS];

  std::int32_t perm[PERM_TABLE_INTS];
  std::int32_t counter[PERM_TABLE_INTS];
  std::int32_t direction[PERM_TABLE_INTS];
  startWalk(perm, counter, direction);
  // A lower walk of order 0 or 1 has the identity as its one permutation;
  // from order 2 on, its identity is its last step, and each step flips the
  // parity, starting from an odd permutation.
  std::int32_t steps = 1;
  for (std::int32_t i = 2; i <= lower; ++i) steps *= i;
  std::int32_t odd = lower >= 2 ? 1 : 0;
  for (; steps != 0; --steps) {
    if (lower >= 2) walkStep(lower, perm, counter, direction);
    for (std::int32_t j = 1; j <= n; ++j) {
      for (std::int32_t d = 0; d < 4; ++d) {
        const std::int32_t at = j - d;
        entries[j][2 + d] = at >= 1 && at <= lower ? entry(j, perm[at] + 3) : 0u;
      }
      candidates[j] = Ops::load(entries[j]);
    }
    addBlock<Ops>(layout, candidates, column1, acc[odd]);
    odd = 1 - odd;
  }

  for (std::int32_t lane = 0; lane < layout.lanes; ++lane) {
    laneSums[lane] = acc[0][lane / W][lane % W] - acc[1][lane / W][lane % W];
  }
}

}  // namespace

#endif  // QUADRIXEL_MATRIX_TERM_BLOCKS_KERNEL_H_
