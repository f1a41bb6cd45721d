// The body of the x86 block kernels, on the compilers' vector types,
// compiled once per instruction set (AVX2, AVX-512F).
//
// Each kernel source defines, in an unnamed namespace, a type `Ops` with a
// vector type V of W unsigned 32-bit lanes, a type Candidates holding a row's
// eight candidate entries, load(entries) making Candidates of eight entries,
// and pick(candidates, indices) returning in each lane l the candidate
// indices[l]; then it includes this header and calls
// sumTermLanesOfEveryOrder with VectorBlocks<Ops, n> for every order n.
// Everything here has internal linkage, so that no function compiled for one
// instruction set can stand in for another.
#ifndef QUADRIXEL_MATRIX_TERM_BLOCKS_X86_H_
#define QUADRIXEL_MATRIX_TERM_BLOCKS_X86_H_

#include <cstdint>

#include "matrix/term_blocks_driver.h"
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
void addChunk(const TermBlockLayout& layout,
              const typename Ops::Candidates* __restrict__ candidates,
              const std::uint32_t* __restrict__ column1, std::int32_t c,
              typename Ops::V& __restrict__ acc) {
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
// The sums live in the same block state as the candidates and the column-1
// entries; __restrict__ tells the compiler that writing them changes
// neither, so that it need not fetch and broadcast those again for every
// chunk (a third of the AVX2 kernel's time).
template <class Ops, int n>
void addBlock(const TermBlockLayout& layout,
              const typename Ops::Candidates* __restrict__ candidates,
              const std::uint32_t* __restrict__ column1, typename Ops::V* __restrict__ acc) {
  constexpr std::int32_t chunks = ((n - 1) * (n - 2) + Ops::W - 1) / Ops::W;
  for (std::int32_t c = 0; c < chunks; ++c) {
    addChunk<Ops, n>(layout, candidates, column1, c, acc[c]);
  }
}

// The block state for order n: every row's candidate entries, and the lane
// sums of the blocks of even and of odd arrangements, chunk by chunk.
template <class Ops, int n>
struct VectorBlocks {
  using V = typename Ops::V;
  static constexpr int ORDER = n;
  static constexpr int CHUNKS_MAX = (BLOCK_LANES_MAX + Ops::W - 1) / Ops::W;

  const TermBlockLayout* layout;
  V acc[2][CHUNKS_MAX];
  std::uint32_t column1[BLOCK_ROWS];
  typename Ops::Candidates candidates[BLOCK_ROWS];

  // Row j's candidates are its entries in columns 2 and 3, then in the
  // columns at positions j, j - 1, j - 2 and j - 3.
  void loadCandidates(const BlockSource& source, std::int32_t j) {
    const std::uint32_t* row = source.rows[j];
    const std::int32_t* columnAt = source.columnAt;
    const std::uint32_t entries[8] = {row[2],
                                      row[3],
                                      row[columnAt[3 + j]],
                                      row[columnAt[2 + j]],
                                      row[columnAt[1 + j]],
                                      row[columnAt[j]],
                                      0u,
                                      0u};
    candidates[j] = Ops::load(entries);
  }

  void start(const BlockSource& source, const TermBlockLayout& blockLayout) {
    layout = &blockLayout;
    for (std::int32_t c = 0; c < CHUNKS_MAX; ++c) acc[0][c] = acc[1][c] = V{};
    for (std::int32_t j = 1; j <= n; ++j) column1[j] = source.rows[j][1];
    for (std::int32_t j = 1; j <= n; ++j) loadCandidates(source, j);
  }

  // A swap at positions k and k + 1 touches the rows k .. k + 4, which lie
  // within 1 .. n since k <= n - 4.
  void follow(const BlockSource& source, std::int32_t k) {
    for (std::int32_t j = k; j <= k + 4; ++j) loadCandidates(source, j);
  }

  void add(std::int32_t odd) { addBlock<Ops, n>(*layout, candidates, column1, acc[odd]); }

  void finish(const TermBlockLayout& blockLayout, std::uint32_t* laneSums) const {
    constexpr int W = Ops::W;
    for (std::int32_t lane = 0; lane < blockLayout.lanes; ++lane) {
      laneSums[lane] = acc[0][lane / W][lane % W] - acc[1][lane / W][lane % W];
    }
  }
};

}  // namespace

#endif  // QUADRIXEL_MATRIX_TERM_BLOCKS_X86_H_
