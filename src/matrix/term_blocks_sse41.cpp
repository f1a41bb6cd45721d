// The block kernel built for SSE4.1. Of the program, only this source is
// compiled for SSE4.1; it is entered only after the processor and its
// operating system have been found to support it.
#if !defined(__SSE4_1__)
#error "term_blocks_sse41.cpp must be compiled for SSE4.1"
#endif

#include "matrix/term_blocks_kernel.h"

// Four lanes to a vector.
void sumTermLanesSse41(const std::int32_t* matrix, const TermBlockLayout& layout,
                       const WalkParts& parts, std::uint32_t* laneSums) {
  sumTermLanesOfParts<4, false>(matrix, layout, parts, laneSums);
}
