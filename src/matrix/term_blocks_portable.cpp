// The block kernel built for the target's baseline: every processor of the target runs it.
#include "matrix/term_blocks_kernel.h"

// Two steps of a sweep to a loop over the lanes, as for AVX-512F: the
// fastest on x86-64's baseline.
void sumTermLanesPortable(const std::int32_t* matrix, const TermBlockLayout& layout,
                          const WalkParts& parts, std::uint32_t* laneSums) {
  sumTermLanesOfParts<2, 4>(matrix, layout, parts, laneSums);
}
