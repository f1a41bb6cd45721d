// The block kernel built for the target's baseline: every processor of the target runs it.
#include "matrix/term_blocks_kernel.h"

// Four lanes to a vector, as the baseline's vectors have on x86-64 and
// aarch64; a target without vectors loses at most two padding lanes of a
// block.
void sumTermLanesPortable(const std::int32_t* matrix, const TermBlockLayout& layout,
                          const WalkParts& parts, std::uint32_t* laneSums) {
  sumTermLanesOfParts<4, true>(matrix, layout, parts, laneSums);
}
