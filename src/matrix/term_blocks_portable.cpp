// The block kernel on plain four-lane vectors, for any processor.
#include <cstdint>

namespace {

struct Ops {
  typedef std::uint32_t V __attribute__((vector_size(16)));
  static constexpr int W = 4;
  struct Candidates {
    std::uint32_t entries[8];
  };
  static Candidates load(const std::uint32_t* entries) {
    Candidates candidates;
    for (int i = 0; i < 8; ++i) candidates.entries[i] = entries[i];
    return candidates;
  }
  static V pick(const Candidates& candidates, V indices) {
    V picked;
    for (int lane = 0; lane < W; ++lane) picked[lane] = candidates.entries[indices[lane]];
    return picked;
  }
};

}  // namespace

#include "matrix/term_blocks_kernel.h"

void sumTermLanesPortable(const std::int32_t* matrix, const TermBlockLayout& layout,
                          std::uint32_t* laneSums) {
  sumTermLanes<Ops>(matrix, layout, laneSums);
}
