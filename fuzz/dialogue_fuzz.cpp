// libFuzzer entry point for the whole dialogue, on the typed input and the
// data file; harnesses.h describes the input's form.
#include <cstdio>
#include <cstdlib>

#include "harnesses.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string fault = fuzzInverseDialogue(data, size);
  if (!fault.empty()) {
    std::fprintf(stderr, "fault: %s\n", fault.c_str());
    std::abort();
  }
  return 0;
}
