// The processor check: which of the instruction sets that the block kernels
// are built for this processor, and its operating system, let the program
// use.
//
// The check has two halves. Reading asks the processor for a few words
// (CPUID leaf 1 ECX, leaf 7 EBX, and XCR0, the register states that the
// operating system saves on a thread switch). Deciding is a pure function of
// those words, so that it can be tested with the words of any processor on
// any machine. Off x86, or with a compiler that is neither GCC nor Clang,
// every word reads as zero and nothing beyond the target's baseline is used.
#ifndef QUADRIXEL_MATRIX_INSTRUCTION_SETS_H_
#define QUADRIXEL_MATRIX_INSTRUCTION_SETS_H_

#include <cstdint>

// The words that the decision reads. A leaf that the processor does not
// have reads as zero, and so does XCR0 unless leaf 1 says that the
// operating system has enabled XSAVE (OSXSAVE).
struct ProcessorWords {
  std::uint32_t leaf1Ecx;  // CPUID.(EAX=1):ECX
  std::uint32_t leaf7Ebx;  // CPUID.(EAX=7, ECX=0):EBX
  std::uint32_t xcr0;      // XCR0, its low half: every state used here
};

// What the kernels beyond the baseline may use. Each set stands for what the
// compiler may emit when it builds a kernel for it.
struct InstructionSets {
  bool sse41;    // SSE4.1, with the SSE3 and SSSE3 that it implies
  bool avx2;     // AVX2 and AVX, with the YMM registers saved
  bool avx512f;  // AVX-512F and AVX2, with the ZMM and mask registers saved
};

// The instruction sets that `words` allow.
InstructionSets decideInstructionSets(const ProcessorWords& words);

// Reads the words of the processor that runs the program.
ProcessorWords readProcessorWords();

// decideInstructionSets(readProcessorWords()), read once and kept.
const InstructionSets& processorInstructionSets();

#endif  // QUADRIXEL_MATRIX_INSTRUCTION_SETS_H_
