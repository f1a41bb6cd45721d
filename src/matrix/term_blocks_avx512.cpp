// The block kernel built for AVX-512F. Of the program, only this source is
// compiled for AVX-512F; it is entered only after the processor and its
// operating system have been found to support it.
#if !defined(__AVX512F__)
#error "term_blocks_avx512.cpp must be compiled for AVX-512F"
#endif

#include "matrix/term_blocks_kernel.h"

// Sixteen lanes to a vector.
void sumTermLanesAvx512(const std::int32_t* matrix, const TermBlockLayout& layout,
                        const WalkParts& parts, std::uint32_t* laneSums) {
  sumTermLanesOfParts<16, false>(matrix, layout, parts, laneSums);
}
