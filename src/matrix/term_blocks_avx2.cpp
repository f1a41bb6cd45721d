// The block kernel built for AVX2. Of the program, only this source is
// compiled for AVX2; it is entered only after the processor and its
// operating system have been found to support it.
#if !defined(__AVX2__)
#error "term_blocks_avx2.cpp must be compiled for AVX2"
#endif

#include "matrix/term_blocks_kernel.h"

namespace {

// Eight lanes to a vector, one step of a sweep to a loop over the lanes.
// With sixteen vector registers, steps taken together spill more than they
// share: measured on an AMD Zen 3 core, one step to a loop took 0.86 to 0.93
// of the time of three or four at orders 10 to 12.
struct Avx2Shape {
  static constexpr int WIDTH = 8;
  static constexpr int steps(int) { return 1; }
};

}  // namespace

void sumTermLanesAvx2(const std::int32_t* matrix, const TermBlockLayout& layout,
                      const WalkParts& parts, std::uint32_t* laneSums) {
  sumTermLanesOfParts<Avx2Shape>(matrix, layout, parts, laneSums);
}
