// The block kernel built for the target's baseline: every processor of the target runs it.
#include "matrix/term_blocks_kernel.h"

// Four lanes to a vector, as the baseline's vectors have on x86-64 and
// aarch64; a target without vectors loses at most two padding lanes of a
// block. Each block is formed in two loops: the baseline of x86-64 has no
// 32-bit lane multiply, and on an AMD Zen 3 core the one loop of all the
// terms of order 12 took 1.5 times as long as the two.
void sumTermLanesPortable(const std::int32_t* matrix, const TermBlockLayout& layout,
                          const WalkParts& parts, std::uint32_t* laneSums) {
  sumTermLanesOfParts<4, true>(matrix, layout, parts, laneSums);
}
