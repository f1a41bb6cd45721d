// The portable block kernel, built for the baseline of the target: any
// processor runs it.
#include "matrix/term_blocks_portable.h"

void sumTermLanesPortable(const std::int32_t* matrix, const TermBlockLayout& layout,
                          std::uint32_t* laneSums) {
  sumTermLanesOfEveryOrder<PlainLoopBlocks>(matrix, layout, laneSums);
}
