// The portable block kernel once more, built for SSE4.1 on x86, whose
// four-lane 32-bit multiply makes its loops vector code. Of the program, only
// this source is compiled for SSE4.1; it is entered only after the processor
// has been found to have it.
#include "matrix/term_blocks_layout.h"

#if defined(__SSE4_1__)
#include "matrix/term_blocks_portable.h"

void sumTermLanesSse41(const std::int32_t* matrix, const TermBlockLayout& layout,
                       std::uint32_t* laneSums) {
  sumTermLanesInPlainLoops(matrix, layout, laneSums);
}

#else

// Built without SSE4.1, this is the portable kernel under another name.
void sumTermLanesSse41(const std::int32_t* matrix, const TermBlockLayout& layout,
                       std::uint32_t* laneSums) {
  sumTermLanesPortable(matrix, layout, laneSums);
}

#endif
