// Times the determinant's walk and the adjoint: the program's routines beside
// the straightforward step-by-step walk, at the largest orders.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <string>
#include <thread>
#include <utility>

#include "matrix/adjoint.h"
#include "matrix/determinant.h"
#include "matrix/instruction_sets.h"
#include "matrix/matrix_record.h"
#include "matrix/term_blocks.h"
#include "matrix/term_blocks_layout.h"
#include "support/reference_walk.h"
#if defined(QUADRIXEL_X86_KERNELS)
#include "portable_kernel_avx2.h"
#endif

namespace {

// A square record of order n with wide random entries; the walk's cost does
// not depend on the values.
void fillRandom(std::int32_t n, std::int32_t* matrix) {
  std::mt19937 random(static_cast<unsigned>(n));
  matrix[0] = n * 101;
  for (std::int32_t i = 1; i <= n * n; ++i) matrix[i] = static_cast<std::int32_t>(random());
  matrix[n * n + 1] = MATRIX_END;
}

double factorial(std::int64_t n) {
  return n <= 1 ? 1.0 : static_cast<double>(n) * factorial(n - 1);
}

// Reports the time per step of the walk (per term) beside the time per call.
void countSteps(benchmark::State& state, double stepsPerCall) {
  state.counters["time/step"] = benchmark::Counter(
      stepsPerCall, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void ReferenceWalk(benchmark::State& state) {
  MatrixBuffer matrix;
  fillRandom(static_cast<std::int32_t>(state.range(0)), matrix);
  for (auto _ : state) benchmark::DoNotOptimize(referenceDeterminant(matrix));
  countSteps(state, factorial(state.range(0)));
}
BENCHMARK(ReferenceWalk)->DenseRange(9, 12)->Unit(benchmark::kMillisecond);

void Determinant(benchmark::State& state) {
  MatrixBuffer matrix;
  fillRandom(static_cast<std::int32_t>(state.range(0)), matrix);
  for (auto _ : state) benchmark::DoNotOptimize(determinant(matrix));
  countSteps(state, factorial(state.range(0)));
}
BENCHMARK(Determinant)->DenseRange(9, 12)->Unit(benchmark::kMillisecond);

// Each block kernel of the table on its own, where this build and the
// processor have it.
void TermBlockKernel(benchmark::State& state, const TermKernel& kernel) {
  if (!termKernelAvailable(kernel)) {
    state.SkipWithError(kernel.sumLanes == nullptr ? "not built with its instruction set"
                                                   : "the processor lacks its instruction set");
    return;
  }
  MatrixBuffer matrix;
  fillRandom(static_cast<std::int32_t>(state.range(0)), matrix);
  for (auto _ : state) benchmark::DoNotOptimize(sumOfTermBlocks(matrix, kernel));
  countSteps(state, factorial(state.range(0)));
}
// TermBlockKernel/<kernel> at orders 10 and 12, for every kernel.
const bool TERM_BLOCK_KERNELS_REGISTERED = [] {
  for (const TermKernel& kernel : termKernels()) {
    benchmark::RegisterBenchmark((std::string("TermBlockKernel/") + kernel.name).c_str(),
                                 TermBlockKernel, kernel)
        ->Arg(10)
        ->Arg(12)
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

#if defined(QUADRIXEL_X86_KERNELS)
// The portable kernel's loops built for AVX2, beside the AVX2 kernel. It must
// agree with the portable kernel before it is timed.
void PortableKernelForAvx2(benchmark::State& state) {
  if (!processorInstructionSets().avx2) {
    state.SkipWithError("the processor lacks AVX2");
    return;
  }
  MatrixBuffer matrix;
  fillRandom(static_cast<std::int32_t>(state.range(0)), matrix);
  const TermKernel& portable = termKernels().back();
  if (sumOfTermBlocksBy(matrix, sumTermLanesPortableAvx2) != sumOfTermBlocks(matrix, portable)) {
    state.SkipWithError("differs from the portable kernel");
    return;
  }
  for (auto _ : state) {
    benchmark::DoNotOptimize(sumOfTermBlocksBy(matrix, sumTermLanesPortableAvx2));
  }
  countSteps(state, factorial(state.range(0)));
}
BENCHMARK(PortableKernelForAvx2)->Arg(10)->Arg(12)->Unit(benchmark::kMillisecond);
#endif

void Adjoint(benchmark::State& state) {
  MatrixBuffer matrix;
  MatrixBuffer adjoint;
  const auto n = static_cast<std::int32_t>(state.range(0));
  fillRandom(n, matrix);
  const int threads = state.range(1) == 0 ? static_cast<int>(std::thread::hardware_concurrency())
                                          : static_cast<int>(state.range(1));
  for (auto _ : state) {
    benchmark::DoNotOptimize(adjointMatrixWithThreads(matrix, adjoint, threads));
    benchmark::ClobberMemory();
  }
  state.counters["threads"] = threads;
  countSteps(state, static_cast<double>(n) * n * factorial(n - 1));
}
// Threads 0 stands for every hardware thread, as adjointMatrix uses.
BENCHMARK(Adjoint)
    ->ArgNames({"n", "threads"})
    ->ArgsProduct({{9, 10, 11}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
