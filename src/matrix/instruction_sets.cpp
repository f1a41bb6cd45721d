// The reading is the one part of the program that is not standard C++: it
// asks the processor through GCC's and Clang's <cpuid.h> and the XGETBV
// instruction. Everything else here is plain arithmetic on the words.
#include "matrix/instruction_sets.h"

#if (defined(__GNUC__) || defined(__clang__)) && (defined(__x86_64__) || defined(__i386__))
#include <cpuid.h>
#define QUADRIXEL_READS_CPUID 1
#else
#define QUADRIXEL_READS_CPUID 0
#endif

namespace {

// Bits of CPUID.(EAX=1):ECX.
constexpr int SSE3_BIT = 0;
constexpr int SSSE3_BIT = 9;
constexpr int SSE41_BIT = 19;
constexpr int OSXSAVE_BIT = 27;
constexpr int AVX_BIT = 28;
// Bits of CPUID.(EAX=7, ECX=0):EBX.
constexpr int AVX2_BIT = 5;
constexpr int AVX512F_BIT = 16;
// States of XCR0: XMM (bit 1) and the upper halves of YMM (bit 2) for AVX;
// the mask registers, the upper halves of ZMM0 .. 15 and ZMM16 .. 31 (bits
// 5, 6 and 7) as well for AVX-512.
constexpr std::uint32_t YMM_STATES = 0x06;
constexpr std::uint32_t ZMM_STATES = 0xE6;

// Bit n (0 .. 31) of `word`.
bool bit(std::uint32_t word, int n) { return ((word >> n) & 1u) != 0; }

// True when every state of `states` is set in xcr0.
bool saved(std::uint32_t xcr0, std::uint32_t states) { return (xcr0 & states) == states; }

// True when leaf 1 says that XCR0 may be read: XGETBV faults unless the
// operating system has enabled XSAVE. The reading and the decision both ask.
bool xcr0Readable(std::uint32_t leaf1Ecx) { return bit(leaf1Ecx, OSXSAVE_BIT); }

}  // namespace

InstructionSets decideInstructionSets(const ProcessorWords& words) {
  InstructionSets sets{};
  // The XMM registers are saved by every operating system that runs SSE
  // code at all: the processor's word is enough.
  sets.sse41 = bit(words.leaf1Ecx, SSE3_BIT) && bit(words.leaf1Ecx, SSSE3_BIT) &&
               bit(words.leaf1Ecx, SSE41_BIT);
  // The wider registers count only where the operating system saves them.
  const bool ymmSaved = xcr0Readable(words.leaf1Ecx) && saved(words.xcr0, YMM_STATES);
  sets.avx2 = ymmSaved && bit(words.leaf1Ecx, AVX_BIT) && bit(words.leaf7Ebx, AVX2_BIT);
  sets.avx512f = sets.avx2 && saved(words.xcr0, ZMM_STATES) && bit(words.leaf7Ebx, AVX512F_BIT);
  return sets;
}

ProcessorWords readProcessorWords() {
  ProcessorWords words{};
#if QUADRIXEL_READS_CPUID
  // __get_cpuid and __get_cpuid_count answer 0, and read nothing, for a
  // leaf beyond the processor's highest one, and on early i386 models
  // without CPUID.
  unsigned eax;
  unsigned ebx;
  unsigned ecx;
  unsigned edx;
  if (__get_cpuid(1, &eax, &ebx, &ecx, &edx)) words.leaf1Ecx = ecx;
  if (__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) words.leaf7Ebx = ebx;
  if (xcr0Readable(words.leaf1Ecx)) {
    // XGETBV of register 0 leaves its low half in EAX, the high one in EDX.
    std::uint32_t low;
    std::uint32_t high;
    __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
    words.xcr0 = low;
  }
#endif
  return words;
}

const InstructionSets& processorInstructionSets() {
  static const InstructionSets sets = decideInstructionSets(readProcessorWords());
  return sets;
}
