// The portable block kernel built for AVX2, for the benchmarks alone: it
// shows how close the compiler's code for the plain loops comes to the AVX2
// kernel on the same processor. Built only where the x86 kernels are
// (QUADRIXEL_X86_KERNELS).
#ifndef QUADRIXEL_BENCH_PORTABLE_KERNEL_AVX2_H_
#define QUADRIXEL_BENCH_PORTABLE_KERNEL_AVX2_H_

#include <cstdint>

#include "matrix/term_blocks_layout.h"

// The portable kernel's loops compiled for AVX2; a SumTermLanes. Requires a
// processor with AVX2.
void sumTermLanesPortableAvx2(const std::int32_t* matrix, const TermBlockLayout& layout,
                              std::uint32_t* laneSums);

#endif  // QUADRIXEL_BENCH_PORTABLE_KERNEL_AVX2_H_
