// The body of the portable block kernel: standard C++ alone, its inner loops
// plain arithmetic over contiguous arrays of lanes, so that compilers turn
// them into vector code for whatever instruction set they target.
//
// Each source that includes this header is compiled for one instruction set
// and calls sumTermLanesInPlainLoops. Everything here has internal linkage,
// so that no function compiled for one instruction set can stand in for
// another at link time.
#ifndef QUADRIXEL_MATRIX_TERM_BLOCKS_PORTABLE_H_
#define QUADRIXEL_MATRIX_TERM_BLOCKS_PORTABLE_H_

#include <cstdint>

#include "matrix/permutation_walk.h"
#include "matrix/term_blocks_layout.h"

namespace {

// Lanes of a block of order n (4 .. 12) that the loops run over: the
// (n - 1) (n - 2) lanes rounded up to a multiple of eight, so that vectors
// of four or eight lanes leave no remainder. The padding lanes multiply
// zeros and are never summed.
constexpr std::int32_t loopLanes(std::int32_t n) { return ((n - 1) * (n - 2) + 7) / 8 * 8; }

// In every lane, position x of the arrangement holds column 2, column 3 or
// the lower walk's position x, x - 1 or x - 2. So a swap of the lower walk's
// positions k and k + 1 reaches the positions k .. k + REACH - 1 alone.
constexpr int REACH = 4;

// Everything that the loops touch, in one object so that the compiler knows
// that no two of its arrays overlap. Position x (1 .. n - 1) is a position
// of the arrangement of columns 2 .. n.
struct LaneState {
  // above[x][lane]: row x's entry in the column at position x, the factor of
  // row x when it lies above column 1's position.
  alignas(64) std::uint32_t above[BLOCK_ROWS][BLOCK_LANES_MAX];
  // below[x][lane]: row x + 1's entry in the column at position x, the
  // factor of row x + 1 when it lies below column 1's position.
  alignas(64) std::uint32_t below[BLOCK_ROWS][BLOCK_LANES_MAX];
  // moved[x][e][lane]: all ones in the lanes whose position x holds the
  // lower walk's position x - e or x - e + 1, zero elsewhere.
  alignas(64) std::uint32_t moved[BLOCK_ROWS][REACH][BLOCK_LANES_MAX];
  // The lanes' sums so far.
  alignas(64) std::uint32_t sums[BLOCK_LANES_MAX];
  // column1[odd][p]: row p's entry in column 1, negated when p is even,
  // and negated once more for the blocks of odd steps (odd = 1).
  std::uint32_t column1[2][BLOCK_ROWS];
};

// Adds to state.sums the terms of the current block, signed by
// state.column1[odd]. Requires state.above and state.below to be current.
template <int n>
void addBlock(LaneState& state, int odd) {
  // A copy of its own, which the compiler sees apart from the lanes.
  std::uint32_t column1[n + 1];
  for (std::int32_t p = 1; p <= n; ++p) column1[p] = state.column1[odd][p];
  for (std::int32_t lane = 0; lane < loopLanes(n); ++lane) {
    // below[p]: the product of the rows under position p, each taking the
    // column just left of its own position.
    std::uint32_t below[n + 1];
    below[n] = 1;
    for (std::int32_t x = n - 1; x >= 1; --x) below[x] = below[x + 1] * state.below[x][lane];
    // above: the product of the rows over position p. Each term is its
    // product of n entries, above times column 1 times below.
    std::uint32_t above = 1;
    std::uint32_t sum = 0;
    for (std::int32_t p = 1; p <= n; ++p) {
      sum += above * column1[p] * below[p];
      if (p < n) above *= state.above[p][lane];
    }
    state.sums[lane] += sum;
  }
}

// Brings state.above and state.below up to date after the lower walk has
// swapped positions k and k + 1, which now hold columns `left` and `right`.
// At position x = k + e the lanes of state.moved[x][e] held one of the two
// columns' entries and now hold the other, so XOR with the XOR of the two
// exchanges them; no other lane or position changes.
template <int n>
void followSwap(LaneState& state, const std::uint32_t (*rows)[BLOCK_ROWS], std::int32_t k,
                std::int32_t left, std::int32_t right) {
  for (std::int32_t e = 0; e < REACH; ++e) {
    const std::int32_t x = k + e;
    const std::uint32_t aboveChange = rows[x][left] ^ rows[x][right];
    const std::uint32_t belowChange = rows[x + 1][left] ^ rows[x + 1][right];
    for (std::int32_t lane = 0; lane < loopLanes(n); ++lane) {
      state.above[x][lane] ^= state.moved[x][e][lane] & aboveChange;
      state.below[x][lane] ^= state.moved[x][e][lane] & belowChange;
    }
  }
}

// The kernel for order n: drives the lower walk of order n - 3 and adds
// every block.
template <int n>
void sumTermLanesOfOrder(const std::int32_t* matrix, const TermBlockLayout& layout,
                         std::uint32_t* laneSums) {
  constexpr std::int32_t lower = n - 3;
  LaneState state;

  // The matrix by rows, with 0 in column 0, so that every candidate can be
  // fetched without a test.
  std::uint32_t rows[BLOCK_ROWS][BLOCK_ROWS] = {};
  for (std::int32_t j = 1; j <= n; ++j) {
    for (std::int32_t col = 1; col <= n; ++col) {
      rows[j][col] = static_cast<std::uint32_t>(matrix[(j - 1) * n + col]);
    }
  }
  for (std::int32_t p = 1; p <= n; ++p) {
    const std::uint32_t entry = rows[p][1];
    state.column1[0][p] = p % 2 == 1 ? entry : 0u - entry;
    state.column1[1][p] = 0u - state.column1[0][p];
  }

  std::int32_t perm[PERM_TABLE_INTS];
  std::int32_t counter[PERM_TABLE_INTS];
  std::int32_t direction[PERM_TABLE_INTS];
  startWalk(perm, counter, direction);
  // columnAt[3 + x]: the column that the lower walk puts at position x,
  // or 0 for the positions -2 .. 0.
  std::int32_t columnAt[3 + BLOCK_ROWS] = {};
  for (std::int32_t x = 1; x <= lower; ++x) columnAt[3 + x] = perm[x] + 3;

  // Row j's candidates, numbered as in the layout.
  auto candidate = [&](std::int32_t j, std::int32_t pick) {
    if (pick == 0) return rows[j][2];
    if (pick == 1) return rows[j][3];
    return rows[j][columnAt[3 + j - (pick - 2)]];
  };
  for (std::int32_t x = 0; x < BLOCK_ROWS; ++x) {
    for (std::int32_t lane = 0; lane < BLOCK_LANES_MAX; ++lane) {
      const bool used = x >= 1 && x <= n - 1 && lane < layout.lanes;
      const std::int32_t pick = used ? layout.pickAbove[x][lane] : 0;
      state.above[x][lane] = used ? candidate(x, pick) : 0u;
      state.below[x][lane] = used ? candidate(x + 1, layout.pickBelow[x + 1][lane]) : 0u;
      // Lanes with pick 2 + d hold the lower walk's position x - d.
      for (std::int32_t e = 0; e < REACH; ++e) {
        const bool moves = pick >= 2 && (pick - 2 == e || pick - 2 == e - 1);
        state.moved[x][e][lane] = moves ? ~0u : 0u;
      }
    }
  }
  for (std::int32_t lane = 0; lane < BLOCK_LANES_MAX; ++lane) state.sums[lane] = 0;

  // A lower walk of order 0 or 1 has the identity as its one permutation;
  // from order 2 on, its identity is its last step, and each step flips the
  // parity, starting from an odd permutation.
  std::int32_t steps = 1;
  for (std::int32_t i = 2; i <= lower; ++i) steps *= i;
  int odd = lower >= 2 ? 1 : 0;
  for (; steps != 0; --steps) {
    if (lower >= 2) {
      // The swap at positions k and k + 1 reaches positions k .. k + 3 and
      // rows k .. k + 4, within 1 .. n since k <= lower - 1 = n - 4.
      const std::int32_t k = walkStep(lower, perm, counter, direction);
      columnAt[3 + k] = perm[k] + 3;
      columnAt[4 + k] = perm[k + 1] + 3;
      followSwap<n>(state, rows, k, columnAt[3 + k], columnAt[4 + k]);
    }
    addBlock<n>(state, odd);
    odd = 1 - odd;
  }

  for (std::int32_t lane = 0; lane < layout.lanes; ++lane) laneSums[lane] = state.sums[lane];
}

// The kernel: sumTermLanesOfOrder for the order of `layout` (4 .. 12).
void sumTermLanesInPlainLoops(const std::int32_t* matrix, const TermBlockLayout& layout,
                              std::uint32_t* laneSums) {
  switch (layout.n) {
    case 4: return sumTermLanesOfOrder<4>(matrix, layout, laneSums);
    case 5: return sumTermLanesOfOrder<5>(matrix, layout, laneSums);
    case 6: return sumTermLanesOfOrder<6>(matrix, layout, laneSums);
    case 7: return sumTermLanesOfOrder<7>(matrix, layout, laneSums);
    case 8: return sumTermLanesOfOrder<8>(matrix, layout, laneSums);
    case 9: return sumTermLanesOfOrder<9>(matrix, layout, laneSums);
    case 10: return sumTermLanesOfOrder<10>(matrix, layout, laneSums);
    case 11: return sumTermLanesOfOrder<11>(matrix, layout, laneSums);
    case 12: return sumTermLanesOfOrder<12>(matrix, layout, laneSums);
    default: return;
  }
}

}  // namespace

#endif  // QUADRIXEL_MATRIX_TERM_BLOCKS_PORTABLE_H_
