// The block kernel built for AVX2. Of the program, only this source is
// compiled for AVX2; it is entered only after the processor and its
// operating system have been found to support it.
#if !defined(__AVX2__)
#error "term_blocks_avx2.cpp must be compiled for AVX2"
#endif

#include "matrix/term_blocks_kernel.h"

namespace {

// Eight lanes to a vector. With sixteen vector registers the compiler
// spills whatever the number of steps to a loop, and steps taken together
// share more of their loads: four at order 12, whose sweeps of eight steps
// split evenly, three below (measured on an AMD Zen 3 core: at order 11 three
// took 0.89 of the time of four, at order 12 four took 0.98 of three).
struct Avx2Shape {
  static constexpr int WIDTH = 8;
  static constexpr int steps(int n) { return n == 12 ? 4 : 3; }
};

}  // namespace

void sumTermLanesAvx2(const std::int32_t* matrix, const TermBlockLayout& layout,
                      const WalkParts& parts, std::uint32_t* laneSums) {
  sumTermLanesOfParts<Avx2Shape>(matrix, layout, parts, laneSums);
}
