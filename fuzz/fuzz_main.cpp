// libFuzzer entry point of one fuzz target: it hands each input to the
// harness named by FUZZ_HARNESS (set by the build, one executable per
// harness) and aborts on a reported fault; harnesses.h describes the
// input's form.
#include <cstdio>
#include <cstdlib>

#include "harnesses.h"

#ifndef FUZZ_HARNESS
#error "FUZZ_HARNESS must name the harness of this target"
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string fault = FUZZ_HARNESS(data, size);
  if (!fault.empty()) {
    std::fprintf(stderr, "fault: %s\n", fault.c_str());
    std::abort();
  }
  return 0;
}
