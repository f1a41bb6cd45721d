// The block kernel on eight-lane AVX2 vectors. Of the program, only this
// source is compiled for AVX2; it is entered only after the processor has
// been found to have it.
#if !defined(__AVX2__)
#error "term_blocks_avx2.cpp must be compiled for AVX2"
#endif

#include <immintrin.h>

#include <cstdint>

#include "matrix/term_blocks_layout.h"

namespace {

struct Ops {
  typedef std::uint32_t V __attribute__((vector_size(32)));
  static constexpr int W = 8;
  typedef V Candidates;
  static Candidates load(const std::uint32_t* entries) {
    return Candidates{entries[0], entries[1], entries[2], entries[3],
                      entries[4], entries[5], entries[6], entries[7]};
  }
  static V pick(V candidates, V indices) {
    return reinterpret_cast<V>(_mm256_permutevar8x32_epi32(reinterpret_cast<__m256i>(candidates),
                                                           reinterpret_cast<__m256i>(indices)));
  }
};

}  // namespace

#include "matrix/term_blocks_x86.h"

namespace {

template <int n>
using Blocks = VectorBlocks<Ops, n>;

}  // namespace

void sumTermLanesAvx2(const std::int32_t* matrix, const TermBlockLayout& layout,
                      std::uint32_t* laneSums) {
  sumTermLanesOfEveryOrder<Blocks>(matrix, layout, laneSums);
}
