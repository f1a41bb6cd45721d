// The block kernel. It is standard C++, and each kernel source compiles it
// for one instruction set (the target's baseline, SSE4.1, AVX2 or
// AVX-512F), where the compiler turns its loops over the lanes into vector
// code. Everything here has internal linkage, so that no function compiled
// for one instruction set can stand in for another at link time: a kernel's
// object defines its entry point and nothing else.
//
// The blocks follow the lower walk of order m = n - 4 on positions 1 .. m.
// In lane (q, r) slot s (1 .. n - 2) of the arrangement of columns 3 .. n
// holds column 3, column 4 or one of the lower positions s, s - 1 and
// s - 2, so a swap of lower positions k and k + 1 changes slots k .. k + 3
// alone. Each lane keeps, for every slot, the entries that rows s, s + 1
// and s + 2 take from the slot's column (`level`), and a swap changes the
// entries of the slots it moves; then the block's n (n - 1) terms are
// formed afresh, each the product of its n entries.
//
// A term of the block puts columns 1 and 2 in rows lo < hi, one in each,
// and the other rows take the slots in order: a row above lo its own slot,
// a row between lo and hi the slot before, a row below hi the slot two
// before. Its product is the product of the rows above lo, times lo's
// entry, times the rows between (`with1`, `with2`, which grow by one row as
// hi moves down), times hi's entry and the product of the rows below hi
// (`low1`, `low2`, which serve every lo). The block's sign goes with the
// entry of the upper of the two rows.
//
// The lower walk is taken in its own shape (see permutation_walk.h): sweeps
// of its top index, whose swap positions 1, 2, .., m - 1 and back are known
// when this is compiled, each followed by one step of the walk of order
// m - 1. The walk can be split at every other one of those steps of order
// m - 1 into parts, each of which starts afresh from its own arrangement; a
// kernel takes the parts that it is handed one after the other.
#ifndef QUADRIXEL_MATRIX_TERM_BLOCKS_KERNEL_H_
#define QUADRIXEL_MATRIX_TERM_BLOCKS_KERNEL_H_

#include <cassert>
#include <cstdint>

#include "matrix/permutation_walk.h"
#include "matrix/term_blocks.h"
#include "matrix/term_blocks_layout.h"

namespace {

// A number known when the code is compiled.
template <int I>
struct Index {
  static constexpr int value = I;
};

// Calls f(Index<i>{}) for i = From, From + 1, .., To - 1.
template <int From, int To, class F>
inline void forEachUp(F&& f) {
  if constexpr (From < To) {
    f(Index<From>{});
    forEachUp<From + 1, To>(f);
  }
}

// Calls f(Index<i>{}) for i = From, From - 1, .., To + 1.
template <int From, int To, class F>
inline void forEachDown(F&& f) {
  if constexpr (From > To) {
    f(Index<From>{});
    forEachDown<From - 1, To>(f);
  }
}

// Slots that one swap of the lower walk reaches.
constexpr int REACH = 4;
// Sums that a block's terms are added to in turn, so that the additions
// make as many chains, which the processor can overlap. Two terms added one
// after the other to the same sum are formed from different products, so
// that the compiler finds no factor to take out of them. (With one sum the
// AVX2 kernel took 1.18 to 1.22 times as long on an AMD Zen 3 core.)
constexpr int SUMS = 2;

// Lanes that the loops of order n run over: the (n - 2) (n - 3) lanes of a
// block rounded up to a multiple of `width`, the lanes of the kernel's
// vectors, so that its loops leave no remainder. The padding lanes are never
// summed.
constexpr std::int32_t loopLanes(std::int32_t n, std::int32_t width) {
  return ((n - 2) * (n - 3) + width - 1) / width * width;
}

// What every lane keeps from one block to the next, for order n and vectors
// of WIDTH lanes.
template <int n, int WIDTH>
struct Lanes {
  static_assert(WIDTH >= 1, "a vector has at least one lane");
  static constexpr std::int32_t COUNT = loopLanes(n, WIDTH);
  // level[d][s][lane]: row s + d's entry in the column at slot s (1 .. n - 2).
  alignas(64) std::uint32_t level[3][n - 1][COUNT];
  // moved[s][e][lane]: all ones where slot s holds the lower position s - e
  // or s - e + 1, the lanes that a swap at k = s - e changes there.
  alignas(64) std::uint32_t moved[n - 1][REACH][COUNT];
  // The sums of the blocks so far.
  alignas(64) std::uint32_t sums[COUNT];
  // Row x's entries in columns 1 and 2, signed, for the terms being formed:
  // above1[x] and above2[x] where x is the upper of the rows of columns 1
  // and 2, times the block's sign; below1[x] and below2[x] where it is the
  // lower.
  std::uint32_t above1[n + 1];
  std::uint32_t above2[n + 1];
  std::uint32_t below1[n + 1];
  std::uint32_t below2[n + 1];
};

// What a swap of lower positions k and k + 1 changes at slot k + e
// (e < REACH) in the lanes of moved[k + e][e]: the entries there are of one
// of the two swapped columns and are to be of the other, so each is XORed
// with the XOR of the two. rows[i] is that XOR in row k + i.
struct SwapChange {
  std::uint32_t rows[REACH + 2];
};

// The entries that a swap at lower position K (1 .. n - 5) changes in lane l.
template <int n, int WIDTH, int K>
inline void swapLane(Lanes<n, WIDTH>& s, std::int32_t l, const SwapChange& change) {
  static_assert(K >= 1 && K + REACH - 1 <= n - 2,
                "a swap of the lower walk reaches slots 1 .. n - 2");
  forEachUp<0, REACH>([&](auto at) {
    constexpr int e = decltype(at)::value;
    const std::uint32_t moved = s.moved[K + e][e][l];
    s.level[0][K + e][l] ^= moved & change.rows[e];
    s.level[1][K + e][l] ^= moved & change.rows[e + 1];
    s.level[2][K + e][l] ^= moved & change.rows[e + 2];
  });
}

// The sum of the terms of the block in lane l that put column 1 above
// column 2 and, where BOTH, those that put column 2 above column 1; each is
// the product of its n entries with its sign.
template <int n, int WIDTH, bool BOTH>
inline std::uint32_t blockLane(const Lanes<n, WIDTH>& s, std::int32_t l) {
  // low1[hi]: the product of the rows below hi, times hi's entry in column
  // 1; low2 the same with column 2.
  std::uint32_t low1[n + 1];
  std::uint32_t low2[n + 1];
  std::uint32_t under = 1;
  forEachDown<n, 1>([&](auto at) {
    constexpr int hi = decltype(at)::value;
    if constexpr (BOTH) low1[hi] = under * s.below1[hi];
    low2[hi] = under * s.below2[hi];
    if constexpr (hi > 2) under *= s.level[2][hi - 2][l];
  });
  std::uint32_t sum[SUMS] = {};
  std::uint32_t over = 1;  // the product of the rows above lo
  forEachUp<1, n>([&](auto atLo) {
    constexpr int lo = decltype(atLo)::value;
    // The product of rows 1 .. hi - 1 with column 1 (2) in row lo.
    std::uint32_t with1 = over * s.above1[lo];
    std::uint32_t with2 = BOTH ? over * s.above2[lo] : 0u;
    forEachUp<lo + 1, n + 1>([&](auto atHi) {
      constexpr int hi = decltype(atHi)::value;
      sum[(lo + hi) % SUMS] += with1 * low2[hi];
      if constexpr (BOTH) sum[(lo + hi + SUMS / 2) % SUMS] += with2 * low1[hi];
      if constexpr (hi < n) {
        with1 *= s.level[1][hi - 1][l];
        if constexpr (BOTH) with2 *= s.level[1][hi - 1][l];
      }
    });
    if constexpr (lo < n - 1) over *= s.level[0][lo][l];
  });
  std::uint32_t block = 0;
  for (int i = 0; i < SUMS; ++i) block += sum[i];
  return block;
}

// Adds the terms of blockLane to the sum of every lane: one loop over the
// lanes, whose body the compiler turns into vector code. gnu::flatten has it
// inline the block, whatever its size, which its loop vectorizer needs; a
// compiler that ignores it gives the same sums.
template <int n, int WIDTH, bool BOTH>
[[gnu::flatten]] void addTerms(Lanes<n, WIDTH>& s) {
  for (std::int32_t l = 0; l < Lanes<n, WIDTH>::COUNT; ++l)
    s.sums[l] += blockLane<n, WIDTH, BOTH>(s, l);
}

// The swap at K in every lane.
template <int n, int WIDTH, int K>
void swapLanes(Lanes<n, WIDTH>& s, const SwapChange& change) {
  for (std::int32_t l = 0; l < Lanes<n, WIDTH>::COUNT; ++l) swapLane<n, WIDTH, K>(s, l, change);
}

// The parts of the walk of the blocks of order n that one thread takes, in
// vectors of WIDTH lanes. Where SPLIT, each block is formed in two loops
// over the lanes, the terms with column 1 above column 2 and then the
// others, by the same code. That takes 318 multiplies for the 300 of a
// block of order 12, but the loop is half as long: where a multiply takes
// several instructions, the loop of all the terms may not fit the core's
// cache of decoded instructions.
template <int n, int WIDTH, bool SPLIT>
struct BlockWalk {
  static constexpr int M = n - 4;  // the order of the lower walk

  Lanes<n, WIDTH> lanes;
  // rows[j][col]: the entry in row j, column col, both 1 .. n (row 0 and
  // column 0 are never read).
  std::uint32_t rows[n + 1][n + 1] = {};
  // columnAt[y]: the column at lower position y (1 .. m). Order 4 has no
  // lower positions, and its one entry is never read.
  std::int32_t columnAt[M >= 1 ? M + 1 : 2] = {};
  // Row x's entries in columns 1 and 2, signed by the row for a term that
  // puts the column in row x and the other column below (upper1, upper2)
  // or above (lower1, lower2); a term's two signs make (-1)^(lo + hi + 1),
  // times -1 where column 2 is above column 1.
  std::uint32_t upper1[n + 1];
  std::uint32_t upper2[n + 1];
  std::uint32_t lower1[n + 1];
  std::uint32_t lower2[n + 1];
  // All ones while the next block is odd, else 0.
  std::uint32_t odd;

  // Sets the lanes up for the lower walk's arrangement columnAt, before the
  // first swap of a part; the block of that arrangement itself is not
  // added.
  void start(const TermBlockLayout& layout) {
    for (std::int32_t x = 1; x <= n; ++x) {
      const std::uint32_t one = rows[x][1];
      const std::uint32_t two = rows[x][2];
      const bool oddRow = x % 2 == 1;
      upper1[x] = oddRow ? one : 0u - one;
      upper2[x] = oddRow ? 0u - two : two;
      lower1[x] = oddRow ? 0u - one : one;
      lower2[x] = oddRow ? 0u - two : two;
    }
    for (std::int32_t l = 0; l < Lanes<n, WIDTH>::COUNT; ++l) {
      for (std::int32_t slot = 1; slot <= n - 2; ++slot) {
        const std::int32_t held = l < layout.lanes ? layout.heldAt[slot][l] : 3;
        const std::int32_t column = held <= 4 ? held : columnAt[held - 4];
        for (std::int32_t d = 0; d < 3; ++d) lanes.level[d][slot][l] = rows[slot + d][column];
        for (std::int32_t e = 0; e < REACH; ++e) {
          const std::int32_t lower = held - 4;
          const bool moves = held > 4 && (lower == slot - e || lower == slot - e + 1);
          lanes.moved[slot][e][l] = moves ? ~0u : 0u;
        }
      }
    }
    // A part's arrangement is even, and its first block follows a swap; the
    // one block of a lower walk of order 0 or 1 is its arrangement itself.
    odd = M >= 2 ? ~0u : 0u;
  }

  // Adds the block of the lower walk's arrangement to the lane sums, each
  // term with its sign, and flips the sign for the next block.
  void addBlock() {
    for (std::int32_t x = 1; x <= n; ++x) {
      lanes.above1[x] = (upper1[x] ^ odd) - odd;
      lanes.below2[x] = lower2[x];
      if constexpr (!SPLIT) {
        lanes.above2[x] = (upper2[x] ^ odd) - odd;
        lanes.below1[x] = lower1[x];
      }
    }
    addTerms<n, WIDTH, !SPLIT>(lanes);
    if constexpr (SPLIT) {
      for (std::int32_t x = 1; x <= n; ++x) {
        lanes.above1[x] = (upper2[x] ^ odd) - odd;
        lanes.below2[x] = lower1[x];
      }
      addTerms<n, WIDTH, false>(lanes);
    }
    odd = ~odd;
  }

  // Records in `change` what a swap of lower positions k and k + 1 changes,
  // and makes the swap in columnAt. Requires 1 <= k <= m - 1.
  void prepare(std::int32_t k, SwapChange& change) {
    const std::int32_t left = columnAt[k];
    const std::int32_t right = columnAt[k + 1];
    for (std::int32_t e = 0; e < REACH + 2; ++e) {
      change.rows[e] = rows[k + e][left] ^ rows[k + e][right];
    }
    columnAt[k] = right;
    columnAt[k + 1] = left;
  }

  // The block after a swap at K.
  template <int K>
  [[gnu::noinline]] void swapAt() {
    SwapChange change;
    prepare(K, change);
    swapLanes<n, WIDTH, K>(lanes, change);
    addBlock();
  }

  // The swaps at 1, 2, .., m - 1, one after the other.
  void sweepUp() {
    forEachUp<1, M>([&](auto at) { swapAt<decltype(at)::value>(); });
  }

  // The swaps at m - 1, .., 2, 1.
  void sweepDown() {
    forEachDown<M - 1, 0>([&](auto at) { swapAt<decltype(at)::value>(); });
  }

  // The swap at k, known only when the program runs (1 .. m - 1).
  void step(std::int32_t k) {
    assert(k >= 1 && k <= M - 1);
    forEachUp<1, M>([&](auto at) {
      constexpr int K = decltype(at)::value;
      if (k == K) swapAt<K>();
    });
  }

  // Writes the lane sums of the parts of the walk of `matrix` that `parts`
  // hands out to laneSums.
  void run(const std::int32_t* matrix, const TermBlockLayout& layout, const WalkParts& parts,
           std::uint32_t* laneSums) {
    for (std::int32_t j = 1; j <= n; ++j) {
      for (std::int32_t col = 1; col <= n; ++col) {
        rows[j][col] = static_cast<std::uint32_t>(matrix[(j - 1) * n + col]);
      }
    }
    // The lane sums run on from one part to the next.
    for (std::int32_t l = 0; l < Lanes<n, WIDTH>::COUNT; ++l) lanes.sums[l] = 0;
    if constexpr (M >= 3) {
      // The walk of order m is rounds of a sweep and a step of the walk of
      // order m - 1; the parts take even numbers of rounds, and after an
      // even number the lower walk's top column, column 5, is back at
      // position 1, the others where the walk of order m - 1 put them.
      std::int32_t rounds = 1;
      for (std::int32_t i = 2; i <= M - 1; ++i) rounds *= i;
      PermutationWalk outer;
      startWalk(outer, M - 1);
      std::int32_t done = 0;  // rounds of the walk of order m - 1 that `outer` has made
      for (std::int32_t part = parts.claim(parts.context); part >= 0;
           part = parts.claim(parts.context)) {
        assert(part < parts.parts);
        const std::int32_t begin = rounds / 2 * part / parts.parts * 2;
        const std::int32_t end = rounds / 2 * (part + 1) / parts.parts * 2;
        if (begin == end) continue;
        assert(done <= begin);
        for (; done < begin; ++done) walkStep(outer);
        columnAt[1] = 5;
        for (std::int32_t y = 1; y <= M - 1; ++y) columnAt[y + 1] = outer.perm[y] + 5;
        start(layout);
        for (; done < end; done += 2) {
          sweepUp();
          step(walkStep(outer));
          sweepDown();
          step(walkStep(outer) + 1);
        }
      }
    } else {
      // Orders 4 to 6: the lower walk of order 0, 1 or 2, step by step, in
      // part 0; the other parts are empty.
      for (std::int32_t part = parts.claim(parts.context); part >= 0;
           part = parts.claim(parts.context)) {
        if (part != 0) continue;
        for (std::int32_t y = 1; y <= M; ++y) columnAt[y] = y + 4;
        start(layout);
        PermutationWalk lower;
        startWalk(lower, M);
        while (lower.stepsLeft != 0) {
          const std::int32_t k = walkStep(lower);
          if (k == 0) {
            addBlock();
          } else {
            step(k);
          }
        }
      }
    }
    for (std::int32_t lane = 0; lane < layout.lanes; ++lane) laneSums[lane] = lanes.sums[lane];
  }
};

// A kernel's entry point for order n.
template <int n, int WIDTH, bool SPLIT>
void sumTermLanesOfOrder(const std::int32_t* matrix, const TermBlockLayout& layout,
                         const WalkParts& parts, std::uint32_t* laneSums) {
  BlockWalk<n, WIDTH, SPLIT> walk;
  walk.run(matrix, layout, parts, laneSums);
}

// A kernel's entry point, for vectors of WIDTH lanes, whose blocks are formed
// in two loops where SPLIT (see BlockWalk): see SumTermLanes. Requires
// 4 <= layout.n <= 12.
template <int WIDTH, bool SPLIT>
void sumTermLanesOfParts(const std::int32_t* matrix, const TermBlockLayout& layout,
                         const WalkParts& parts, std::uint32_t* laneSums) {
  assert(parts.parts >= 1 && parts.claim != nullptr);
  switch (layout.n) {
    case 4: return sumTermLanesOfOrder<4, WIDTH, SPLIT>(matrix, layout, parts, laneSums);
    case 5: return sumTermLanesOfOrder<5, WIDTH, SPLIT>(matrix, layout, parts, laneSums);
    case 6: return sumTermLanesOfOrder<6, WIDTH, SPLIT>(matrix, layout, parts, laneSums);
    case 7: return sumTermLanesOfOrder<7, WIDTH, SPLIT>(matrix, layout, parts, laneSums);
    case 8: return sumTermLanesOfOrder<8, WIDTH, SPLIT>(matrix, layout, parts, laneSums);
    case 9: return sumTermLanesOfOrder<9, WIDTH, SPLIT>(matrix, layout, parts, laneSums);
    case 10: return sumTermLanesOfOrder<10, WIDTH, SPLIT>(matrix, layout, parts, laneSums);
    case 11: return sumTermLanesOfOrder<11, WIDTH, SPLIT>(matrix, layout, parts, laneSums);
    case 12: return sumTermLanesOfOrder<12, WIDTH, SPLIT>(matrix, layout, parts, laneSums);
  }
  assert(false && "a block's order is 4 .. 12");
}

}  // namespace

#endif  // QUADRIXEL_MATRIX_TERM_BLOCKS_KERNEL_H_
