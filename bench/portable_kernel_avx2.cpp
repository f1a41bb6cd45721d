#include "portable_kernel_avx2.h"

#if defined(__AVX2__)
#include "matrix/term_blocks_portable.h"

extern const bool PORTABLE_KERNEL_AVX2_BUILT = true;

void sumTermLanesPortableAvx2(const std::int32_t* matrix, const TermBlockLayout& layout,
                              std::uint32_t* laneSums) {
  sumTermLanesInPlainLoops(matrix, layout, laneSums);
}

#else

extern const bool PORTABLE_KERNEL_AVX2_BUILT = false;

void sumTermLanesPortableAvx2(const std::int32_t* matrix, const TermBlockLayout& layout,
                              std::uint32_t* laneSums) {
  sumTermLanesPortable(matrix, layout, laneSums);
}

#endif
