#include "matrix/adjoint.h"

#include <atomic>
#include <cassert>
#include <functional>
#include <system_error>
#include <thread>

#include "matrix/determinant.h"
#include "matrix/matrix_record.h"

namespace {

// Below this order all the cofactors together cost less than starting one
// thread, so the caller takes them alone.
constexpr std::int32_t THREADED_ORDER_MIN = 6;

// Takes cofactors one after the other, claiming each by its number 0 ..
// n*n - 1 from `nextCofactor`, until none is left; the cofactor of row r,
// column c goes to cofactors[(r - 1) * n + c]. Each call fills minors in a
// record of its own.
void takeCofactors(const std::int32_t* matrix, std::int32_t n, std::int32_t* cofactors,
                   std::atomic<std::int32_t>& nextCofactor) {
  std::int32_t minor[MINOR_BUFFER_INTS];
  minor[0] = (n - 1) * 100 + n - 1;
  for (;;) {
    const std::int32_t taken = nextCofactor.fetch_add(1, std::memory_order_relaxed);
    if (taken >= n * n) return;
    const std::int32_t r = taken / n + 1;
    const std::int32_t c = taken % n + 1;
    std::int32_t m = 1;
    for (std::int32_t j = 1; j <= n; ++j) {
      if (j == r) continue;
      for (std::int32_t k = 1; k <= n; ++k) {
        if (k != c) minor[m++] = matrix[(j - 1) * n + k];
      }
    }
    const std::uint32_t d = static_cast<std::uint32_t>(determinant(minor));
    cofactors[taken + 1] = static_cast<std::int32_t>((r + c) % 2 == 0 ? d : 0u - d);
  }
}

// Starts `helper` on takeCofactors, after calling `beforeStart` (when not
// null) with `number`, and returns true; returns false when the system cannot
// start the thread. std::thread reports that only by throwing
// std::system_error, so this is the one place where the program catches an
// exception: letting it escape would abort the program and lose the output
// still buffered, while the threads already running and the caller can take
// every cofactor between them.
bool startHelper(std::thread& helper, int number, ThreadStartHook beforeStart,
                 const std::int32_t* matrix, std::int32_t n, std::int32_t* cofactors,
                 std::atomic<std::int32_t>& nextCofactor) {
  try {
    if (beforeStart != nullptr) beforeStart(number);
    helper = std::thread(takeCofactors, matrix, n, cofactors, std::ref(nextCofactor));
  } catch (const std::system_error&) {
    return false;
  }
  return true;
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
  std::atomic<std::int32_t> nextCofactor{0};
  if (n < THREADED_ORDER_MIN) threads = 1;
  if (threads > n * n) threads = n * n;
  if (threads > ADJOINT_THREADS_MAX) threads = ADJOINT_THREADS_MAX;
  std::thread helpers[ADJOINT_THREADS_MAX - 1];
  int started = 0;
  while (started + 1 < threads &&
         startHelper(helpers[started], started, beforeStart, matrix, n, cofactors, nextCofactor)) {
    ++started;
  }
  takeCofactors(matrix, n, cofactors, nextCofactor);
  for (int t = 0; t < started; ++t) helpers[t].join();

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
