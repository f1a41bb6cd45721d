// The block kernel on sixteen-lane AVX-512 vectors, with the thirty-two
// vector registers that keep a whole chunk's products out of memory. Of the
// program, only this source is compiled for AVX-512F; it is entered only
// after the processor has been found to have it.
#if !defined(__AVX512F__)
#error "term_blocks_avx512.cpp must be compiled for AVX-512F"
#endif

#include <immintrin.h>

#include <cstdint>

#include "matrix/term_blocks_layout.h"

namespace {

struct Ops {
  typedef std::uint32_t V __attribute__((vector_size(64)));
  static constexpr int W = 16;
  typedef V Candidates;
  static Candidates load(const std::uint32_t* entries) {
    return Candidates{entries[0], entries[1], entries[2], entries[3], entries[4], entries[5],
                      entries[6], entries[7], 0u,         0u,         0u,         0u,
                      0u,         0u,         0u,         0u};
  }
  static V pick(V candidates, V indices) {
    return reinterpret_cast<V>(_mm512_maskz_permutexvar_epi32(
        0xFFFF, reinterpret_cast<__m512i>(indices), reinterpret_cast<__m512i>(candidates)));
  }
};

}  // namespace

#include "matrix/term_blocks_x86.h"

namespace {

template <int n>
using Blocks = VectorBlocks<Ops, n>;

}  // namespace

void sumTermLanesAvx512(const std::int32_t* matrix, const TermBlockLayout& layout,
                        std::uint32_t* laneSums) {
  sumTermLanesOfEveryOrder<Blocks>(matrix, layout, laneSums);
}
