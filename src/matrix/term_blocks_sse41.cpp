// The portable block kernel once more, built for SSE4.1 on x86, whose
// four-lane 32-bit multiply makes its loops vector code. Of the program, only
// this source is compiled for SSE4.1; it is entered only after the processor
// has been found to have it.
#if !defined(__SSE4_1__)
#error "term_blocks_sse41.cpp must be compiled for SSE4.1"
#endif

#include "matrix/term_blocks_portable.h"

void sumTermLanesSse41(const std::int32_t* matrix, const TermBlockLayout& layout,
                       std::uint32_t* laneSums) {
  sumTermLanesOfEveryOrder<PlainLoopBlocks>(matrix, layout, laneSums);
}
