// The block state of the portable kernel: standard C++ alone, its inner
// loops plain arithmetic over contiguous arrays of lanes, so that compilers
// turn them into vector code for whatever instruction set they target.
//
// Each source that includes this header is compiled for one instruction set
// and calls sumTermLanesOfEveryOrder<PlainLoopBlocks>. Everything here has
// internal linkage, so that no function compiled for one instruction set can
// stand in for another at link time.
#ifndef QUADRIXEL_MATRIX_TERM_BLOCKS_PORTABLE_H_
#define QUADRIXEL_MATRIX_TERM_BLOCKS_PORTABLE_H_

#include <cstdint>

#include "matrix/term_blocks_driver.h"
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
template <int n>
struct PlainLoopBlocks {
  static constexpr int ORDER = n;

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
  // and negated once more for the blocks of odd arrangements (odd = 1).
  std::uint32_t column1[2][BLOCK_ROWS];

  void start(const BlockSource& source, const TermBlockLayout& layout) {
    for (std::int32_t p = 1; p <= n; ++p) {
      const std::uint32_t entry = source.rows[p][1];
      column1[0][p] = p % 2 == 1 ? entry : 0u - entry;
      column1[1][p] = 0u - column1[0][p];
    }
    // Row j's candidates, numbered as in the layout.
    auto candidate = [&source](std::int32_t j, std::int32_t pick) {
      if (pick == 0) return source.rows[j][2];
      if (pick == 1) return source.rows[j][3];
      return source.rows[j][source.columnAt[3 + j - (pick - 2)]];
    };
    for (std::int32_t x = 0; x < BLOCK_ROWS; ++x) {
      for (std::int32_t lane = 0; lane < BLOCK_LANES_MAX; ++lane) {
        const bool used = x >= 1 && x <= n - 1 && lane < layout.lanes;
        const std::int32_t pick = used ? layout.pickAbove[x][lane] : 0;
        above[x][lane] = used ? candidate(x, pick) : 0u;
        below[x][lane] = used ? candidate(x + 1, layout.pickBelow[x + 1][lane]) : 0u;
        // Lanes with pick 2 + d hold the lower walk's position x - d.
        for (std::int32_t e = 0; e < REACH; ++e) {
          const bool moves = pick >= 2 && (pick - 2 == e || pick - 2 == e - 1);
          moved[x][e][lane] = moves ? ~0u : 0u;
        }
      }
    }
    for (std::int32_t lane = 0; lane < BLOCK_LANES_MAX; ++lane) sums[lane] = 0;
  }

  // At position x = k + e the lanes of moved[x][e] held one of the two
  // swapped columns' entries and now hold the other, so XOR with the XOR of
  // the two exchanges them; no other lane or position changes. The swap
  // reaches positions k .. k + 3 and rows k .. k + 4, within 1 .. n since
  // k <= n - 4.
  void follow(const BlockSource& source, std::int32_t k) {
    const std::int32_t left = source.columnAt[3 + k];
    const std::int32_t right = source.columnAt[4 + k];
    for (std::int32_t e = 0; e < REACH; ++e) {
      const std::int32_t x = k + e;
      const std::uint32_t aboveChange = source.rows[x][left] ^ source.rows[x][right];
      const std::uint32_t belowChange = source.rows[x + 1][left] ^ source.rows[x + 1][right];
      for (std::int32_t lane = 0; lane < loopLanes(n); ++lane) {
        above[x][lane] ^= moved[x][e][lane] & aboveChange;
        below[x][lane] ^= moved[x][e][lane] & belowChange;
      }
    }
  }

  void add(std::int32_t odd) {
    // A copy of its own, which the compiler sees apart from the lanes.
    std::uint32_t sign1[n + 1];
    for (std::int32_t p = 1; p <= n; ++p) sign1[p] = column1[odd][p];
    for (std::int32_t lane = 0; lane < loopLanes(n); ++lane) {
      // under[p]: the product of the rows under position p, each taking the
      // column just left of its own position.
      std::uint32_t under[n + 1];
      under[n] = 1;
      for (std::int32_t x = n - 1; x >= 1; --x) under[x] = under[x + 1] * below[x][lane];
      // over: the product of the rows over position p. Each term is its
      // product of n entries, over times column 1 times under.
      std::uint32_t over = 1;
      std::uint32_t sum = 0;
      for (std::int32_t p = 1; p <= n; ++p) {
        sum += over * sign1[p] * under[p];
        if (p < n) over *= above[p][lane];
      }
      sums[lane] += sum;
    }
  }

  void finish(const TermBlockLayout& layout, std::uint32_t* laneSums) const {
    for (std::int32_t lane = 0; lane < layout.lanes; ++lane) laneSums[lane] = sums[lane];
  }
};

}  // namespace

#endif  // QUADRIXEL_MATRIX_TERM_BLOCKS_PORTABLE_H_
