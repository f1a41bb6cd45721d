// The block kernel built for the target's baseline: every processor of the target runs it.
#include "matrix/term_blocks_kernel.h"

namespace {

// Four lanes to a vector, as the baseline's vectors have on x86-64 and
// aarch64 (a target without vectors loses at most two padding lanes of a
// block); one step of a sweep to a loop over the lanes, as for AVX2 and
// SSE4.1: on x86-64's baseline two steps took 1.17 to 1.30 of its time.
struct PortableShape {
  static constexpr int WIDTH = 4;
  static constexpr int steps(int) { return 1; }
};

}  // namespace

void sumTermLanesPortable(const std::int32_t* matrix, const TermBlockLayout& layout,
                          const WalkParts& parts, std::uint32_t* laneSums) {
  sumTermLanesOfParts<PortableShape>(matrix, layout, parts, laneSums);
}
