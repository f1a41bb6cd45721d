#include "matrix/adjoint.h"

#include <atomic>
#include <cassert>
#include <thread>

#include "matrix/determinant.h"
#include "matrix/matrix_record.h"

namespace {

// Below this order all the cofactors together cost less than starting one
// thread, so the caller takes them alone.
constexpr std::int32_t THREADED_ORDER_MIN = 6;

// The cofactors of one adjoint, shared among threads.
struct SharedCofactors {
  const std::int32_t* matrix;
  std::int32_t n;
  std::int32_t* cofactors;  // the cofactor of row r, column c at [(r - 1) * n + c]
  std::atomic<std::int32_t> nextCofactor;
};

// Takes cofactors one after the other, claiming each by its number 0 ..
// n*n - 1, until none is left. Each call fills minors in a record of its
// own, and walks each minor alone: the threads already share the cofactors.
void takeCofactors(void* context) {
  SharedCofactors& shared = *static_cast<SharedCofactors*>(context);
  const std::int32_t n = shared.n;
  std::int32_t minor[MINOR_BUFFER_INTS];
  minor[0] = (n - 1) * 100 + n - 1;
  for (;;) {
    const std::int32_t taken = shared.nextCofactor.fetch_add(1, std::memory_order_relaxed);
    if (taken >= n * n) return;
    const std::int32_t r = taken / n + 1;
    const std::int32_t c = taken % n + 1;
    std::int32_t m = 1;
    for (std::int32_t j = 1; j <= n; ++j) {
      if (j == r) continue;
      for (std::int32_t k = 1; k <= n; ++k) {
        if (k != c) minor[m++] = shared.matrix[(j - 1) * n + k];
      }
    }
    const std::uint32_t d = static_cast<std::uint32_t>(determinantWithThreads(minor, 1));
    shared.cofactors[taken + 1] = static_cast<std::int32_t>((r + c) % 2 == 0 ? d : 0u - d);
  }
}

}  // namespace

std::int32_t adjointMatrixWithStartHook(const std::int32_t* matrix, std::int32_t* adjoint,
                                        int threads, ThreadStartHook beforeStart,
                                        std::ostream& out) {
  const std::int32_t rows = matrixRows(matrix);
  const std::int32_t columns = matrixColumns(matrix);
  if (rows != columns) {
    out << "Error: Matrix not square\n";
    return MATRIX_END;
  }
  const std::int32_t n = rows;
  assert(n >= 0 && n <= MAX_WALK_ORDER + 1);
  assert(adjoint != matrix);

  std::int32_t cofactors[MATRIX_BUFFER_INTS];
  SharedCofactors shared{matrix, n, cofactors, {0}};
  if (n < THREADED_ORDER_MIN) threads = 1;
  if (threads > n * n) threads = n * n;
  if (threads > ADJOINT_THREADS_MAX) threads = ADJOINT_THREADS_MAX;
  if (threads < 1) threads = 1;
  runOnThreads(threads, takeCofactors, &shared, beforeStart);

  adjoint[0] = rows * 100 + columns;
  std::int32_t next = 1;
  for (std::int32_t i = 1; i <= n; ++i) {
    for (std::int32_t j = 1; j <= n; ++j) {
      adjoint[(j - 1) * n + i] = cofactors[next++];
    }
  }
  return adjoint[0];
}

std::int32_t adjointMatrixWithThreads(const std::int32_t* matrix, std::int32_t* adjoint,
                                      int threads, std::ostream& out) {
  return adjointMatrixWithStartHook(matrix, adjoint, threads, nullptr, out);
}

std::int32_t adjointMatrix(const std::int32_t* matrix, std::int32_t* adjoint, std::ostream& out) {
  return adjointMatrixWithThreads(matrix, adjoint,
                                  static_cast<int>(std::thread::hardware_concurrency()), out);
}
