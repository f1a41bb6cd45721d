// Cost of the exact 32-bit range decision at order 12, the largest order the
// dialogue admits, for each of its three outcomes.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

#include "matrix/exact_range.h"
#include "matrix/matrix_record.h"

namespace {

constexpr int N = 12;

// A dense matrix of determinant 1 with small cofactors: the product of a unit
// lower and a unit upper triangular matrix with entries -1, 0 and 1.
void fillUnimodular(std::int32_t* matrix) {
  std::mt19937 random(12);
  std::uniform_int_distribution<int> digit(-1, 1);
  int lower[N][N] = {};
  int upper[N][N] = {};
  for (int i = 0; i < N; ++i) {
    lower[i][i] = upper[i][i] = 1;
    for (int j = 0; j < i; ++j) lower[i][j] = digit(random), upper[j][i] = digit(random);
  }
  matrix[0] = N * 100 + N;
  for (int i = 0; i < N; ++i) {
    for (int j = 0; j < N; ++j) {
      int sum = 0;
      for (int k = 0; k < N; ++k) sum += lower[i][k] * upper[k][j];
      matrix[1 + i * N + j] = sum;
    }
  }
}

void run(benchmark::State& state, const std::int32_t* matrix, ExactRange expected) {
  if (checkExactRange(matrix) != expected) {
    state.SkipWithError("unexpected outcome");
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(checkExactRange(matrix));
}

// Every prime is needed: the determinant and all 144 cofactors fit.
void BM_Order12Fits(benchmark::State& state) {
  MatrixBuffer matrix;
  fillUnimodular(matrix);
  run(state, matrix, ExactRange::kFits);
}
BENCHMARK(BM_Order12Fits);

// Every prime is needed: the determinant fits, one cofactor is 2^31.
void BM_Order12AdjointTooLarge(benchmark::State& state) {
  MatrixBuffer matrix;
  fillUnimodular(matrix);
  // Scaling row 1 by 2^31 - 1 keeps the determinant in range (2^31 - 1) and
  // multiplies most cofactors by it.
  for (int j = 1; j <= N; ++j) matrix[j] *= 2147483647;
  run(state, matrix, ExactRange::kAdjointTooLarge);
}
BENCHMARK(BM_Order12AdjointTooLarge);

// Full-range random entries: the first prime already refutes the determinant.
void BM_Order12DeterminantTooLarge(benchmark::State& state) {
  MatrixBuffer matrix;
  std::mt19937 random(7);
  matrix[0] = N * 100 + N;
  for (int i = 1; i <= N * N; ++i) matrix[i] = static_cast<std::int32_t>(random());
  run(state, matrix, ExactRange::kDeterminantTooLarge);
}
BENCHMARK(BM_Order12DeterminantTooLarge);

}  // namespace
