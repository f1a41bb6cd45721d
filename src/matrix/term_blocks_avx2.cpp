// The block kernel built for AVX2. Of the program, only this source is
// compiled for AVX2; it is entered only after the processor and its
// operating system have been found to support it.
#if !defined(__AVX2__)
#error "term_blocks_avx2.cpp must be compiled for AVX2"
#endif

#include "matrix/term_blocks_kernel.h"

// Eight lanes to a vector.
void sumTermLanesAvx2(const std::int32_t* matrix, const TermBlockLayout& layout,
                      const WalkParts& parts, std::uint32_t* laneSums) {
  sumTermLanesOfParts<8, false>(matrix, layout, parts, laneSums);
}
