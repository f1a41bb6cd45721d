// The block kernel built for AVX-512F. Of the program, only this source is
// compiled for AVX-512F; it is entered only after the processor and its
// operating system have been found to support it.
#if !defined(__AVX512F__)
#error "term_blocks_avx512.cpp must be compiled for AVX-512F"
#endif

#include "matrix/term_blocks_kernel.h"

namespace {

// Sixteen lanes to a vector; two steps of a sweep to a loop over the
// lanes, the fastest on an AMD Zen 5 core when the terms were formed in the
// order of the rows; with more, even thirty-two vector registers spill.
// (Every other kernel is fastest with one step since the terms are formed
// as their products are made; this one has not been measured since.)
struct Avx512Shape {
  static constexpr int WIDTH = 16;
  static constexpr int steps(int) { return 2; }
};

}  // namespace

void sumTermLanesAvx512(const std::int32_t* matrix, const TermBlockLayout& layout,
                        const WalkParts& parts, std::uint32_t* laneSums) {
  sumTermLanesOfParts<Avx512Shape>(matrix, layout, parts, laneSums);
}
