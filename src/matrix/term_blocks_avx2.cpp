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
// share: measured on an AMD Zen 3 core at orders 10 to 12, two steps to a
// loop took 1.12 to 1.16 of the time of one, four 1.21 to 1.25.
struct Avx2Shape {
  static constexpr int WIDTH = 8;
  static constexpr int steps(int) { return 1; }
};

}  // namespace

void sumTermLanesAvx2(const std::int32_t* matrix, const TermBlockLayout& layout,
                      const WalkParts& parts, std::uint32_t* laneSums) {
  sumTermLanesOfParts<Avx2Shape>(matrix, layout, parts, laneSums);
}
