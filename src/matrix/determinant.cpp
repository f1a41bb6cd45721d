// All n! permutations of the columns are walked by adjacent transpositions in
// plain-changes order (the identity comes last), and the product of the
// entries each permutation picks is added or subtracted with the
// permutation's sign, which simply alternates from step to step. Entries are
// multiplied and summed as unsigned values, which wrap modulo 2^32 exactly
// like two's-complement arithmetic but without undefined behaviour. Nothing
// is pruned: a zero entry still costs its full term.
//
// From order 4 on, the sweeps of the walk's four top indices are evaluated
// a block at a time, their terms sharing partial products (term_blocks.cpp);
// orders 2 and 3 are walked one step at a time.
#include "matrix/determinant.h"

#include <thread>

#include "matrix/matrix_record.h"
#include "matrix/permutation_walk.h"
#include "matrix/term_blocks.h"

namespace {

// Below this order a walk costs less than starting a thread or two, so the
// caller takes it alone.
constexpr std::int32_t THREADED_ORDER_MIN = 10;

// The walk one step at a time, each term a fresh product of n entries; used
// for orders 2 and 3, whose walks are too short to be worth blocking.
std::uint32_t sumOfTermsStepByStep(const std::int32_t* matrix, std::int32_t n) {
  PermutationWalk walk;
  startWalk(walk, n);
  std::uint32_t sum = 0;
  while (walk.stepsLeft != 0) {
    walkStep(walk);
    std::uint32_t term = 1;
    for (std::int32_t j = 1; j <= n; ++j) {
      term *= static_cast<std::uint32_t>(matrix[(j - 1) * n + walk.perm[j]]);
    }
    // The first term is odd and subtracted; the signs alternate from there.
    if (walk.odd) {
      sum -= term;
    } else {
      sum += term;
    }
  }
  return sum;
}

}  // namespace

std::int32_t determinantWithThreads(const std::int32_t* matrix, int threads) {
  const std::int32_t n = matrixColumns(matrix);
  if (n == 0) return 1;
  if (n < 0 || n > MAX_WALK_ORDER) return 0;
  if (n == 1) return matrix[1];
  if (n <= 3) return static_cast<std::int32_t>(sumOfTermsStepByStep(matrix, n));
  if (n < THREADED_ORDER_MIN) threads = 1;
  return static_cast<std::int32_t>(sumOfTermBlocks(matrix, fastestTermKernel(), threads));
}

std::int32_t determinant(const std::int32_t* matrix) {
  return determinantWithThreads(matrix, static_cast<int>(std::thread::hardware_concurrency()));
}
