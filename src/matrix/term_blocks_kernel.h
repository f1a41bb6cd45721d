// The block kernel. It is standard C++, and each kernel source compiles it
// for one instruction set (the target's baseline, SSE4.1, AVX2 or
// AVX-512F), where the compiler turns its loops over the lanes into vector
// code. Everything here has internal linkage, so that no function compiled
// for one instruction set can stand in for another at link time: a kernel's
// object defines its entry point and nothing else.
//
// The blocks follow the lower walk of order m = n - 3 on positions 1 .. m,
// and every lane keeps its partial products from one block to the next. In
// lane (q, r) position x of the arrangement of columns 2 .. n holds column 2,
// column 3 or one of the lower positions x, x - 1 and x - 2, so a swap of
// lower positions k and k + 1 changes positions k .. k + 3 alone: the factors
// of rows k .. k + 4. The product of the rows above row p stays as it was
// for p <= k, the product of the rows below it for p >= k + 4, and only the
// rest is multiplied again; then each of the block's n terms is formed, the
// product of its n entries, by one more multiplication.
//
// The lower walk is taken in its own shape (see permutation_walk.h): sweeps
// of its top index, whose swap positions 1, 2, .., m - 1 and back are known
// when this is compiled, each followed by one step of the walk of order
// m - 1. Each swap is one loop over all lanes, its body the code for that
// swap position alone; within it the terms are formed in the order that
// uses each product as it is made (stepLane), so that few are held at a
// time. The walk can be split at every other one of those steps of order m - 1
// into parts, each of which starts afresh from its own arrangement; a
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

// Positions that one swap of the lower walk reaches.
constexpr int REACH = 4;

// Lanes that the loops of order n run over: the (n - 1) (n - 2) lanes of a
// block rounded up to a multiple of `width`, the lanes of the kernel's
// vectors, so that its loops leave no remainder. The padding lanes are never
// summed.
constexpr std::int32_t loopLanes(std::int32_t n, std::int32_t width) {
  return ((n - 1) * (n - 2) + width - 1) / width * width;
}

// The first row whose term takes column 1's entry with the product of the
// rows below it; the rows before take it with the product of the rows
// above. A term's two products are one kept from the block before and one
// made afresh, and near the middle either is as likely, so each row's
// entry goes with the product that is kept more often: for n = 12 a sweep's
// eight swaps take 244 multiplies instead of 266.
constexpr int footRow(int n) { return n / 2 + 1; }

// What every lane keeps from one block to the next, for order n and vectors
// of WIDTH lanes. The rows of a term with column 1 at position p are rows
// 1 .. p - 1, each taking its `above` factor, row p, taking column 1, and
// rows p + 1 .. n, each taking its `below` factor.
template <int n, int WIDTH>
struct Lanes {
  static_assert(WIDTH >= 1, "a vector has at least one lane");
  static constexpr std::int32_t COUNT = loopLanes(n, WIDTH);
  // above[x][lane]: row x's entry in the column at position x (1 .. n - 1);
  // below[x][lane]: row x + 1's entry in that column.
  alignas(64) std::uint32_t above[n][COUNT];
  alignas(64) std::uint32_t below[n][COUNT];
  // over[p]: the product of above[1 .. p - 1]; head[p]: over[p] times
  // column1[p], for p < footRow(n). Kept for p <= n - 4, the only ones that
  // a later swap leaves (over[1], the empty product, is 1 and never read).
  alignas(64) std::uint32_t over[n - 3][COUNT];
  alignas(64) std::uint32_t head[n - 3][COUNT];
  // tail[p]: the product of below[p .. n - 1], rows p + 1 .. n; foot[p]:
  // tail[p] times column1[p], for p >= footRow(n). Kept for 5 <= p <= n - 1,
  // the only ones that a later swap leaves (tail[n] is 1).
  alignas(64) std::uint32_t tail[n][COUNT];
  alignas(64) std::uint32_t foot[n][COUNT];
  // moved[x][e][lane]: all ones where position x holds the lower position
  // x - e or x - e + 1, the lanes that a swap at k = x - e changes there.
  alignas(64) std::uint32_t moved[n][REACH][COUNT];
  // The blocks so far, the sum negated before each block is added, so that
  // the last block, which is even, counts positive.
  alignas(64) std::uint32_t sums[COUNT];
  // column1[p]: row p's entry in column 1, negated when p is even.
  std::uint32_t column1[n + 1];
};

// What a swap of lower positions k and k + 1 changes at position k + e
// (e < REACH) in the lanes of moved[k + e][e]: the factors there hold one of
// the two swapped columns' entries and are to hold the other, so each is
// XORed with the XOR of the two. rows[e] is that XOR in row k + e, which
// above[k + e] and below[k + e - 1] take.
struct SwapChange {
  std::uint32_t rows[REACH + 1];
};

// The block after a swap at lower position K (1 .. n - 4) in lane l: the
// changed factors, the partial products that depend on them, and the
// block's n terms, added to the lane's sum. K = 0 stands for a block without
// a swap (a lower walk of order 1), all of whose products are taken afresh.
template <int n, int WIDTH, int K>
inline void stepLane(Lanes<n, WIDTH>& s, std::int32_t l, const SwapChange& change) {
  static_assert(K >= 0 && K <= n - 4, "a swap of the lower walk reaches rows 1 .. n");
  std::uint32_t block = 0;
  if constexpr (K == 0) {
    std::uint32_t head[n + 1];
    std::uint32_t tail[n + 1];
    std::uint32_t over = 1;
    forEachUp<1, n + 1>([&](auto at) {
      constexpr int p = decltype(at)::value;
      if constexpr (p > 1) over *= s.above[p - 1][l];
      head[p] = over * s.column1[p];
    });
    std::uint32_t under = 1;
    forEachDown<n, 0>([&](auto at) {
      constexpr int p = decltype(at)::value;
      if constexpr (p < n) under *= s.below[p][l];
      tail[p] = under;
    });
    forEachUp<1, n + 1>([&](auto at) {
      constexpr int p = decltype(at)::value;
      block += head[p] * tail[p];
    });
  } else {
    forEachUp<0, REACH>([&](auto at) {
      constexpr int e = decltype(at)::value;
      const std::uint32_t moved = s.moved[K + e][e][l];
      s.above[K + e][l] ^= moved & change.rows[e];
      s.below[K + e][l] ^= moved & change.rows[e + 1];
    });
    // The terms are taken in an order that uses each product as soon as it
    // is formed, so that few are held at a time: first the products above
    // rows K + 1 .. K + 3 (`fresh`, times column 1's entry before FOOT),
    // then rows K + 3 down to 1 along the products below, then rows K + 4
    // .. n along the products above.
    constexpr int FOOT = footRow(n);
    std::uint32_t over = K == 1 ? 1u : s.over[K][l];
    std::uint32_t fresh[3];
    forEachUp<K + 1, K + 4>([&](auto at) {
      constexpr int p = decltype(at)::value;
      over *= s.above[p - 1][l];
      if constexpr (p < FOOT) {
        fresh[p - K - 1] = over * s.column1[p];
      } else {
        fresh[p - K - 1] = over;
      }
      if constexpr (p <= n - 4) {
        s.over[p][l] = over;
        if constexpr (p < FOOT) s.head[p][l] = fresh[p - K - 1];
      }
    });
    std::uint32_t under = K + 4 == n ? 1u : s.tail[K + 4][l];
    forEachDown<K + 3, 0>([&](auto at) {
      constexpr int p = decltype(at)::value;
      under *= s.below[p][l];
      std::uint32_t low = under;
      if constexpr (p >= FOOT) low = under * s.column1[p];
      if constexpr (p >= 5) {
        s.tail[p][l] = under;
        if constexpr (p >= FOOT) s.foot[p][l] = low;
      }
      if constexpr (p > K) {
        block += fresh[p - K - 1] * low;
      } else if constexpr (p < FOOT) {
        block += s.head[p][l] * low;
      } else {
        block += s.over[p][l] * low;
      }
    });
    forEachUp<K + 4, n + 1>([&](auto at) {
      constexpr int p = decltype(at)::value;
      over *= s.above[p - 1][l];
      if constexpr (p < FOOT) {
        const std::uint32_t head = over * s.column1[p];
        if constexpr (p <= n - 4) {
          s.over[p][l] = over;
          s.head[p][l] = head;
        }
        block += head * s.tail[p][l];
      } else {
        if constexpr (p <= n - 4) s.over[p][l] = over;
        if constexpr (p == n) {
          block += over * s.column1[n];
        } else {
          block += over * s.foot[p][l];
        }
      }
    });
  }
  s.sums[l] = block - s.sums[l];
}

// The block after a swap at K in every lane: one loop over the lanes,
// whose body the compiler turns into vector code. gnu::flatten has it
// inline the step, whatever its size, which its loop vectorizer needs; a
// compiler that ignores it gives the same sums.
template <int n, int WIDTH, int K>
[[gnu::flatten]] void stepLanes(Lanes<n, WIDTH>& s, const SwapChange& change) {
  for (std::int32_t l = 0; l < Lanes<n, WIDTH>::COUNT; ++l) stepLane<n, WIDTH, K>(s, l, change);
}

// The parts of the walk of the blocks of order n that one thread takes, in
// vectors of WIDTH lanes.
template <int n, int WIDTH>
struct BlockWalk {
  static constexpr int M = n - 3;  // the order of the lower walk

  Lanes<n, WIDTH> lanes;
  // rows[j][col]: the entry in row j, column col, both 1 .. n.
  std::uint32_t rows[n + 1][n + 1];
  // columnAt[y]: the column at lower position y (1 .. m).
  std::int32_t columnAt[M + 1];

  // Sets the lanes up for the lower walk's arrangement columnAt, before the
  // first swap of a part; the block of that arrangement itself is not
  // added.
  void start(const TermBlockLayout& layout) {
    for (std::int32_t p = 1; p <= n; ++p) {
      lanes.column1[p] = p % 2 == 1 ? rows[p][1] : 0u - rows[p][1];
    }
    for (std::int32_t l = 0; l < Lanes<n, WIDTH>::COUNT; ++l) {
      for (std::int32_t x = 1; x <= n - 1; ++x) {
        const std::int32_t held = l < layout.lanes ? layout.heldAt[x][l] : 2;
        const std::int32_t column = held <= 3 ? held : columnAt[held - 3];
        lanes.above[x][l] = rows[x][column];
        lanes.below[x][l] = rows[x + 1][column];
        for (std::int32_t e = 0; e < REACH; ++e) {
          const std::int32_t lower = held - 3;
          const bool moves = held > 3 && (lower == x - e || lower == x - e + 1);
          lanes.moved[x][e][l] = moves ? ~0u : 0u;
        }
      }
      // The first swap of every part is at 1 (at none for order 4, whose
      // one block takes every product afresh), and it multiplies the heads
      // from row 2 on again: of the heads, only row 1's is needed here.
      if constexpr (n >= 5) lanes.head[1][l] = lanes.column1[1];
      std::uint32_t under = 1;
      for (std::int32_t p = n - 1; p >= 5; --p) {
        under *= lanes.below[p][l];
        lanes.tail[p][l] = under;
        if (p >= footRow(n)) lanes.foot[p][l] = under * lanes.column1[p];
      }
    }
  }

  // Records in `change` what a swap of lower positions k and k + 1 changes,
  // and makes the swap in columnAt. Requires 1 <= k <= m - 1.
  void prepare(std::int32_t k, SwapChange& change) {
    const std::int32_t left = columnAt[k];
    const std::int32_t right = columnAt[k + 1];
    for (std::int32_t e = 0; e <= REACH; ++e) {
      change.rows[e] = rows[k + e][left] ^ rows[k + e][right];
    }
    columnAt[k] = right;
    columnAt[k + 1] = left;
  }

  // The swap at K, one loop over the lanes. Each swap's loop is made once,
  // for the sweeps and for the steps of order m - 1 alike: copies of the
  // loops in each place would take more room than the processor's caches
  // of decoded instructions hold, and run slower. (Two or four swaps of a
  // sweep in one loop share some loads, but hold more products at a time:
  // on an AMD Zen 3 core they took 1.07 to 1.30 times as long with every
  // kernel.)
  template <int K>
  [[gnu::noinline]] void swapAt() {
    SwapChange change;
    prepare(K, change);
    stepLanes<n, WIDTH, K>(lanes, change);
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
    // The lane sums run on from one part to the next: every part has an
    // even number of blocks, so its sign-flipping turns the sums before it
    // round an even number of times.
    for (std::int32_t l = 0; l < Lanes<n, WIDTH>::COUNT; ++l) lanes.sums[l] = 0;
    if constexpr (M >= 3) {
      // The walk of order m is rounds of a sweep and a step of the walk of
      // order m - 1; the parts take even numbers of rounds, and after an
      // even number the lower walk's top column, column 4, is back at
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
        columnAt[1] = 4;
        for (std::int32_t y = 1; y <= M - 1; ++y) columnAt[y + 1] = outer.perm[y] + 4;
        start(layout);
        for (; done < end; done += 2) {
          sweepUp();
          step(walkStep(outer));
          sweepDown();
          step(walkStep(outer) + 1);
        }
      }
    } else {
      // Orders 4 and 5: the lower walk of order 1 or 2, step by step, in
      // part 0; the other parts are empty.
      for (std::int32_t part = parts.claim(parts.context); part >= 0;
           part = parts.claim(parts.context)) {
        if (part != 0) continue;
        for (std::int32_t y = 1; y <= M; ++y) columnAt[y] = y + 3;
        start(layout);
        PermutationWalk lower;
        startWalk(lower, M);
        while (lower.stepsLeft != 0) {
          const std::int32_t k = walkStep(lower);
          if (k == 0) {
            const SwapChange none = {};
            stepLanes<n, WIDTH, 0>(lanes, none);
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
template <int n, int WIDTH>
void sumTermLanesOfOrder(const std::int32_t* matrix, const TermBlockLayout& layout,
                         const WalkParts& parts, std::uint32_t* laneSums) {
  BlockWalk<n, WIDTH> walk;
  walk.run(matrix, layout, parts, laneSums);
}

// A kernel's entry point, for vectors of WIDTH lanes: see SumTermLanes.
// Requires 4 <= layout.n <= 12.
template <int WIDTH>
void sumTermLanesOfParts(const std::int32_t* matrix, const TermBlockLayout& layout,
                         const WalkParts& parts, std::uint32_t* laneSums) {
  assert(parts.parts >= 1 && parts.claim != nullptr);
  switch (layout.n) {
    case 4: return sumTermLanesOfOrder<4, WIDTH>(matrix, layout, parts, laneSums);
    case 5: return sumTermLanesOfOrder<5, WIDTH>(matrix, layout, parts, laneSums);
    case 6: return sumTermLanesOfOrder<6, WIDTH>(matrix, layout, parts, laneSums);
    case 7: return sumTermLanesOfOrder<7, WIDTH>(matrix, layout, parts, laneSums);
    case 8: return sumTermLanesOfOrder<8, WIDTH>(matrix, layout, parts, laneSums);
    case 9: return sumTermLanesOfOrder<9, WIDTH>(matrix, layout, parts, laneSums);
    case 10: return sumTermLanesOfOrder<10, WIDTH>(matrix, layout, parts, laneSums);
    case 11: return sumTermLanesOfOrder<11, WIDTH>(matrix, layout, parts, laneSums);
    case 12: return sumTermLanesOfOrder<12, WIDTH>(matrix, layout, parts, laneSums);
  }
  assert(false && "a block's order is 4 .. 12");
}

}  // namespace

#endif  // QUADRIXEL_MATRIX_TERM_BLOCKS_KERNEL_H_
