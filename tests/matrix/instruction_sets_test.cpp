#include "matrix/instruction_sets.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>

namespace {

std::string describe(const InstructionSets& sets) {
  return std::string("SSE4.1 ") + (sets.sse41 ? "yes" : "no") + ", AVX2 " +
         (sets.avx2 ? "yes" : "no") + ", AVX-512F " + (sets.avx512f ? "yes" : "no");
}

// One of the words that the decision reads.
using Word = std::uint32_t ProcessorWords::*;

// One bit that the decision reads, and what is left when it alone is clear.
struct DecisiveBit {
  const char* name;
  Word word;
  int bit;
  InstructionSets without;
};

// clang-format off
const DecisiveBit DECISIVE_BITS[] = {
    {"SSE3",                 &ProcessorWords::leaf1Ecx, 0,  {false, true,  true }},
    {"SSSE3",                &ProcessorWords::leaf1Ecx, 9,  {false, true,  true }},
    {"SSE4.1",               &ProcessorWords::leaf1Ecx, 19, {false, true,  true }},
    {"OSXSAVE",              &ProcessorWords::leaf1Ecx, 27, {true,  false, false}},
    {"AVX",                  &ProcessorWords::leaf1Ecx, 28, {true,  false, false}},
    {"AVX2",                 &ProcessorWords::leaf7Ebx, 5,  {true,  false, false}},
    {"AVX-512F",             &ProcessorWords::leaf7Ebx, 16, {true,  true,  false}},
    {"XMM state",            &ProcessorWords::xcr0,     1,  {true,  false, false}},
    {"YMM state",            &ProcessorWords::xcr0,     2,  {true,  false, false}},
    {"mask register state",  &ProcessorWords::xcr0,     5,  {true,  true,  false}},
    {"ZMM0-15 upper state",  &ProcessorWords::xcr0,     6,  {true,  true,  false}},
    {"ZMM16-31 state",       &ProcessorWords::xcr0,     7,  {true,  true,  false}},
};
// clang-format on

// The decision, from the words of processors that have everything: just the
// bits that it reads, and every bit at all. Clearing any one bit that it
// reads takes away exactly what needs that bit, so that a check that reads
// a neighbouring bit, a wrong word or a wrong leaf's word, or that joins
// its tests the wrong way, fails here on any machine.
TEST(InstructionSets, DecidedFromEachBitOfTheWords) {
  const InstructionSets everything = {true, true, true};
  ProcessorWords exact{};
  for (const DecisiveBit& b : DECISIVE_BITS) exact.*b.word |= 1u << b.bit;
  const ProcessorWords allOnes = {~0u, ~0u, ~0u};
  EXPECT_EQ(describe(decideInstructionSets(exact)), describe(everything));
  EXPECT_EQ(describe(decideInstructionSets(allOnes)), describe(everything));
  EXPECT_EQ(describe(decideInstructionSets(ProcessorWords{})), describe({false, false, false}));
  for (const bool othersSet : {false, true}) {
    for (const DecisiveBit& b : DECISIVE_BITS) {
      ProcessorWords words = othersSet ? allOnes : exact;
      words.*b.word &= ~(1u << b.bit);
      EXPECT_EQ(describe(decideInstructionSets(words)), describe(b.without))
          << "without " << b.name << (othersSet ? ", every other bit set" : ", the others exact");
    }
  }
}

// The reading, against the compiler's own processor check, whose runtime
// also asks the operating system through XCR0.
TEST(InstructionSets, ReadAsTheCompilersRuntimeReadsThem) {
#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
  __builtin_cpu_init();
  const InstructionSets expected = {
      __builtin_cpu_supports("sse3") && __builtin_cpu_supports("ssse3") &&
          __builtin_cpu_supports("sse4.1"),
      __builtin_cpu_supports("avx") && __builtin_cpu_supports("avx2"),
      __builtin_cpu_supports("avx2") && __builtin_cpu_supports("avx512f"),
  };
  EXPECT_EQ(describe(processorInstructionSets()), describe(expected));
#else
  GTEST_SKIP() << "no x86 processor, or a compiler without __builtin_cpu_supports";
#endif
}

// The reading, against the flags that Linux shows, which it clears for
// registers that it does not save.
TEST(InstructionSets, ReadAsLinuxShowsThem) {
#if !defined(__linux__) || !(defined(__x86_64__) || defined(__i386__))
  GTEST_SKIP() << "no x86 processor, or no /proc/cpuinfo on this system";
#elif defined(QUADRIXEL_EMULATED)
  GTEST_SKIP() << "under an emulator /proc/cpuinfo describes the host, not the emulated processor";
#else
  std::ifstream cpuinfo("/proc/cpuinfo");
  std::set<std::string> flags;
  for (std::string line; flags.empty() && std::getline(cpuinfo, line);) {
    if (line.rfind("flags", 0) != 0) continue;
    std::istringstream words(line.substr(line.find(':') + 1));
    for (std::string flag; words >> flag;) flags.insert(flag);
  }
  if (flags.empty()) GTEST_SKIP() << "/proc/cpuinfo has no flags line";
  const auto has = [&flags](const char* flag) { return flags.count(flag) != 0; };
  const InstructionSets expected = {
      has("pni") && has("ssse3") && has("sse4_1"),
      has("avx") && has("avx2"),
      has("avx2") && has("avx512f"),
  };
  EXPECT_EQ(describe(processorInstructionSets()), describe(expected));
#endif
}

}  // namespace
