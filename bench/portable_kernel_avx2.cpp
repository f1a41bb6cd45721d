#if !defined(__AVX2__)
#error "portable_kernel_avx2.cpp must be compiled for AVX2"
#endif

#include "portable_kernel_avx2.h"

#include "matrix/term_blocks_portable.h"

void sumTermLanesPortableAvx2(const std::int32_t* matrix, const TermBlockLayout& layout,
                              std::uint32_t* laneSums) {
  sumTermLanesOfEveryOrder<PlainLoopBlocks>(matrix, layout, laneSums);
}
