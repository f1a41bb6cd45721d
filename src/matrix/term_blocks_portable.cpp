// The block kernel built for the target's baseline: every processor of the target runs it.
#include "matrix/term_blocks_kernel.h"

void sumTermLanesPortable(const std::int32_t* matrix, const TermBlockLayout& layout, WalkPart part,
                          std::uint32_t* laneSums) {
  sumTermLanesOfPart(matrix, layout, part, laneSums);
}
