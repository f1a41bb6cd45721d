// The body of the x86 block kernels, on the compilers' vector types,
// compiled once per instruction set (AVX2, AVX-512F).
//
// Each kernel source defines, in an unnamed namespace, a type `Ops` with a
// vector type V of W unsigned 32-bit lanes, a type Candidates holding a row's
// eight candidate entries, load(entries) making Candidates of eight entries,
// and pick(candidates, indices) returning in each lane l the candidate
// indices[l]; then it includes this header and calls sumTermLanes<Ops>.
// Everything here has internal linkage, so that no function compiled for one
// instruction set can stand in for another.
#ifndef QUADRIXEL_MATRIX_TERM_BLOCKS_X86_H_
#define QUADRIXEL_MATRIX_TERM_BLOCKS_X86_H_

#include <cstdint>

#include "matrix/permutation_walk.h"
#include "matrix/term_blocks_layout.h"

namespace {

// Loads W lanes of indices starting at `from`.
template <class Ops>
typename Ops::V loadLanes(const std::int32_t* from) {
  typename Ops::V lanes;
  __builtin_memcpy(&lanes, from, sizeof lanes);
  return lanes;
}

// Adds to `acc` the signed terms of one block in the W lanes of chunk c:
// in each lane, the sum over p of (-1)^(p - 1) times the term with column 1
// at position p. Rows 1 .. n of the block have the candidate entries
// `candidates` and the column-1 entries `column1`.
template <class Ops, int n>
void addChunk(const TermBlockLayout& layout, const typename Ops::Candidates* candidates,
              const std::uint32_t* column1, std::int32_t c, typename Ops::V& acc) {
  using V = typename Ops::V;
  constexpr int W = Ops::W;
  const V one = V{} + 1u;
  // below[p]: the product of the rows under position p, each taking the
  // column just left of its own position.
  V below[n + 1];
  V product = one;
  below[n] = one;
  for (std::int32_t j = n; j >= 2; --j) {
    product *= Ops::pick(candidates[j], loadLanes<Ops>(layout.pickBelow[j] + c * W));
    below[j - 1] = product;
  }
  // product: the rows above position p, each taking the column at its own
  // position. The term is above times column 1 times below.
  V sum = V{};
  product = one;
  for (std::int32_t p = 1; p <= n; ++p) {
    const V term = product * column1[p] * below[p];
    if (p % 2 == 1) {
      sum += term;
    } else {
      sum -= term;
    }
    if (p < n) product *= Ops::pick(candidates[p], loadLanes<Ops>(layout.pickAbove[p] + c * W));
  }
  acc += sum;
}

// Adds the signed terms of one block, chunk by chunk, to acc (see addChunk).
template <class Ops, int n>
void addBlock(const TermBlockLayout& layout, const typename Ops::Candidates* candidates,
              const std::uint32_t* column1, typename Ops::V* acc) {
  constexpr std::int32_t chunks = ((n - 1) * (n - 2) + Ops::W - 1) / Ops::W;
  for (std::int32_t c = 0; c < chunks; ++c) {
    addChunk<Ops, n>(layout, candidates, column1, c, acc[c]);
  }
}

// The kernel for order n: drives the lower walk of order n - 3 and adds
// every block.
template <class Ops, int n>
void sumTermLanesOfOrder(const std::int32_t* matrix, const TermBlockLayout& layout,
                         std::uint32_t* laneSums) {
  using V = typename Ops::V;
  constexpr int W = Ops::W;
  constexpr int CHUNKS_MAX = (BLOCK_LANES_MAX + W - 1) / W;
  const std::int32_t lower = n - 3;

  // Blocks of even and of odd permutations of the lower walk.
  V acc[2][CHUNKS_MAX];
  for (std::int32_t c = 0; c < CHUNKS_MAX; ++c) acc[0][c] = acc[1][c] = V{};

  // The matrix by rows, with 0 in column 0, so that every candidate can be
  // fetched without a test.
  std::uint32_t rows[BLOCK_ROWS][BLOCK_ROWS] = {};
  for (std::int32_t j = 1; j <= n; ++j) {
    for (std::int32_t col = 1; col <= n; ++col) {
      rows[j][col] = static_cast<std::uint32_t>(matrix[(j - 1) * n + col]);
    }
  }
  std::uint32_t column1[BLOCK_ROWS];
  for (std::int32_t j = 1; j <= n; ++j) column1[j] = rows[j][1];
  typename Ops::Candidates candidates[BLOCK_ROWS];

  std::int32_t perm[PERM_TABLE_INTS];
  std::int32_t counter[PERM_TABLE_INTS];
  std::int32_t direction[PERM_TABLE_INTS];
  startWalk(perm, counter, direction);
  // columnAt[3 + x]: the column that the lower walk puts at position x,
  // or 0 for the positions -2 .. 0 and those past the walk.
  std::int32_t columnAt[3 + BLOCK_ROWS] = {};
  // Row j's candidates are its entries in columns 2 and 3, then in the
  // columns at positions j, j - 1, j - 2 and j - 3.
  auto loadCandidates = [&](std::int32_t j) {
    const std::uint32_t* row = rows[j];
    const std::uint32_t entries[8] = {row[2],
                                      row[3],
                                      row[columnAt[3 + j]],
                                      row[columnAt[2 + j]],
                                      row[columnAt[1 + j]],
                                      row[columnAt[j]],
                                      0u,
                                      0u};
    candidates[j] = Ops::load(entries);
  };
  for (std::int32_t x = 1; x <= lower; ++x) columnAt[3 + x] = perm[x] + 3;
  for (std::int32_t j = 1; j <= n; ++j) loadCandidates(j);

  // A lower walk of order 0 or 1 has the identity as its one permutation;
  // from order 2 on, its identity is its last step, and each step flips the
  // parity, starting from an odd permutation.
  std::int32_t steps = 1;
  for (std::int32_t i = 2; i <= lower; ++i) steps *= i;
  std::int32_t odd = lower >= 2 ? 1 : 0;
  for (; steps != 0; --steps) {
    if (lower >= 2) {
      // A swap at positions k and k + 1 touches the rows k .. k + 4, which
      // lie within 1 .. n since k <= lower - 1 = n - 4.
      const std::int32_t k = walkStep(lower, perm, counter, direction);
      columnAt[3 + k] = perm[k] + 3;
      columnAt[4 + k] = perm[k + 1] + 3;
      for (std::int32_t j = k; j <= k + 4; ++j) loadCandidates(j);
    }
    addBlock<Ops, n>(layout, candidates, column1, acc[odd]);
    odd = 1 - odd;
  }

  for (std::int32_t lane = 0; lane < layout.lanes; ++lane) {
    laneSums[lane] = acc[0][lane / W][lane % W] - acc[1][lane / W][lane % W];
  }
}

// The kernel: sumTermLanesOfOrder for the order of `layout` (4 .. 12).
template <class Ops>
void sumTermLanes(const std::int32_t* matrix, const TermBlockLayout& layout,
                  std::uint32_t* laneSums) {
  switch (layout.n) {
    case 4: return sumTermLanesOfOrder<Ops, 4>(matrix, layout, laneSums);
    case 5: return sumTermLanesOfOrder<Ops, 5>(matrix, layout, laneSums);
    case 6: return sumTermLanesOfOrder<Ops, 6>(matrix, layout, laneSums);
    case 7: return sumTermLanesOfOrder<Ops, 7>(matrix, layout, laneSums);
    case 8: return sumTermLanesOfOrder<Ops, 8>(matrix, layout, laneSums);
    case 9: return sumTermLanesOfOrder<Ops, 9>(matrix, layout, laneSums);
    case 10: return sumTermLanesOfOrder<Ops, 10>(matrix, layout, laneSums);
    case 11: return sumTermLanesOfOrder<Ops, 11>(matrix, layout, laneSums);
    case 12: return sumTermLanesOfOrder<Ops, 12>(matrix, layout, laneSums);
    default: return;
  }
}

}  // namespace

#endif  // QUADRIXEL_MATRIX_TERM_BLOCKS_X86_H_
