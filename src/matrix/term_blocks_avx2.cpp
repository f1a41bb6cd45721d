// The block kernel built for AVX2. Of the program, only this source is
// compiled for AVX2; it is entered only after the processor and its
// operating system have been found to support it.
#if !defined(__AVX2__)
#error "term_blocks_avx2.cpp must be compiled for AVX2"
#endif

#include "matrix/term_blocks_kernel.h"

// Four steps of a sweep to a loop over the lanes: with sixteen vector
// registers the compiler spills either way, and steps taken together share
// more of their loads.
void sumTermLanesAvx2(const std::int32_t* matrix, const TermBlockLayout& layout,
                      const WalkParts& parts, std::uint32_t* laneSums) {
  sumTermLanesOfParts<4, 8>(matrix, layout, parts, laneSums);
}
