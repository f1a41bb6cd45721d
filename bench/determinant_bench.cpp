// Times the determinant's walk and the adjoint: the program's routines beside
// the straightforward step-by-step walk, at the largest orders.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <utility>

#include "lane_multiplies.h"
#include "matrix/adjoint.h"
#include "matrix/determinant.h"
#include "matrix/instruction_sets.h"
#include "matrix/matrix_record.h"
#include "matrix/term_blocks.h"
#include "support/reference_walk.h"

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

// The determinant as the program takes it, alone and with the walk shared
// among every hardware thread (threads 0), in real time.
void Determinant(benchmark::State& state) {
  MatrixBuffer matrix;
  fillRandom(static_cast<std::int32_t>(state.range(0)), matrix);
  const int threads = state.range(1) == 0 ? static_cast<int>(std::thread::hardware_concurrency())
                                          : static_cast<int>(state.range(1));
  for (auto _ : state) benchmark::DoNotOptimize(determinantWithThreads(matrix, threads));
  state.counters["threads"] = threads;
  countSteps(state, factorial(state.range(0)));
}
BENCHMARK(Determinant)
    ->ArgNames({"n", "threads"})
    ->ArgsProduct({{9, 10, 11, 12}, {1, 0}})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Seconds per lane multiply of `chains`: the fastest of a few runs of about
// 20 ms each.
double secondsPerLaneMultiply(MultiplyChains chains) {
  constexpr std::int64_t ROUNDS = 1 << 21;
  int lanes = 0;
  benchmark::DoNotOptimize(chains(1, 1000, &lanes));
  double fastest = 1e9;
  for (int run = 0; run < 5; ++run) {
    const auto start = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(chains(static_cast<std::uint32_t>(run), ROUNDS, &lanes));
    const std::chrono::duration<double> taken = std::chrono::steady_clock::now() - start;
    fastest = std::min(fastest, taken.count());
  }
  return fastest / (static_cast<double>(ROUNDS) * MULTIPLY_CHAINS * lanes);
}

// secondsPerLaneMultiply of the measure for `kernel`, taken once per run of
// the benchmarks; 0 where there is none.
double laneMultiplySeconds(const TermKernel& kernel) {
  static std::map<std::string, double> measured;
  const auto known = measured.find(kernel.name);
  if (known != measured.end()) return known->second;
  const MultiplyChains chains = multiplyChainsFor(kernel.name);
  const double seconds = chains == nullptr ? 0 : secondsPerLaneMultiply(chains);
  measured[kernel.name] = seconds;
  return seconds;
}

// The processor's peak rate of lane multiplies in each kernel's instruction
// set: time/multiply is the time of one.
void LaneMultiply(benchmark::State& state, const TermKernel& kernel) {
  const MultiplyChains chains = multiplyChainsFor(kernel.name);
  if (chains == nullptr || !termKernelAvailable(kernel)) {
    state.SkipWithError(chains == nullptr ? "no measure for its instruction set in this build"
                                          : "the processor lacks its instruction set");
    return;
  }
  constexpr std::int64_t ROUNDS = 1 << 16;
  int lanes = 0;
  for (auto _ : state) benchmark::DoNotOptimize(chains(7, ROUNDS, &lanes));
  state.counters["time/multiply"] = benchmark::Counter(
      static_cast<double>(ROUNDS) * MULTIPLY_CHAINS * lanes,
      benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// Each block kernel of the table on its own, where this build and the
// processor have it. multiplies/step is its time per term in lane multiplies
// of its own instruction set (LaneMultiply, measured in the same run).
void TermBlockKernel(benchmark::State& state, const TermKernel& kernel) {
  if (!termKernelAvailable(kernel)) {
    state.SkipWithError(kernel.sumLanes == nullptr ? "not built with its instruction set"
                                                   : "the processor lacks its instruction set");
    return;
  }
  MatrixBuffer matrix;
  fillRandom(static_cast<std::int32_t>(state.range(0)), matrix);
  for (auto _ : state) benchmark::DoNotOptimize(sumOfTermBlocks(matrix, kernel));
  const double steps = factorial(state.range(0));
  countSteps(state, steps);
  const double multiply = laneMultiplySeconds(kernel);
  if (multiply > 0) {
    state.counters["multiplies/step"] =
        benchmark::Counter(steps * multiply, benchmark::Counter::kIsIterationInvariantRate |
                                                 benchmark::Counter::kInvert);
  }
}
// LaneMultiply/<kernel> and TermBlockKernel/<kernel> at orders 10 to 12, for
// every kernel.
const bool TERM_BLOCK_KERNELS_REGISTERED = [] {
  for (const TermKernel& kernel : termKernels()) {
    benchmark::RegisterBenchmark((std::string("LaneMultiply/") + kernel.name).c_str(), LaneMultiply,
                                 kernel);
  }
  for (const TermKernel& kernel : termKernels()) {
    benchmark::RegisterBenchmark((std::string("TermBlockKernel/") + kernel.name).c_str(),
                                 TermBlockKernel, kernel)
        ->DenseRange(10, 12)
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

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
