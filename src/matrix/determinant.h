// The determinant by the permutation expansion: the signed sum of the
// products that all n! permutations of the columns pick, every term taken,
// with all arithmetic wrapping modulo 2^32. The result is the true
// determinant reduced into the signed 32-bit range: exact whenever the true
// value fits, however far single terms overflow. From order 10 on the walk
// is shared among threads, with the same result to the bit.
#ifndef QUADRIXEL_MATRIX_DETERMINANT_H_
#define QUADRIXEL_MATRIX_DETERMINANT_H_

#include <cstdint>

// Returns the determinant of the square record `matrix`, wrapped to 32 bits.
// The order n is the column count; the row count is not read. Order 0 gives
// 1, the empty product. Orders below 0 or above 12 are not walked and give 0;
// callers keep them away. Reads only elements 0 .. n*n.
// Shares the walk among every hardware thread from order 10 on.
std::int32_t determinant(const std::int32_t* matrix);

// determinant with the walk shared among `threads` threads, the caller's own
// among them, from order 10 on; below that, or with `threads` below 2, the
// caller walks alone. `threads` is clamped to 1 .. WORK_THREADS_MAX.
std::int32_t determinantWithThreads(const std::int32_t* matrix, int threads);

#endif  // QUADRIXEL_MATRIX_DETERMINANT_H_
