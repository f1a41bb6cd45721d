// The adjoint (adjugate) of a square matrix: the transpose of its matrix of
// cofactors, so that the matrix times its adjoint is the determinant times
// the unit matrix. Each cofactor is the determinant of one minor, taken by
// the permutation walk, with the sign (-1)^(r+c); signs and values wrap
// modulo 2^32 like the determinant itself.
//
// The n^2 cofactors are independent of one another, so they are shared out
// among threads, each filling minors in a working record of its own; every
// cofactor lands in its own place, so the result does not depend on how many
// threads there are or which of them takes which cofactor. A thread that the
// system cannot start is done without: the others take its share.
#ifndef QUADRIXEL_MATRIX_ADJOINT_H_
#define QUADRIXEL_MATRIX_ADJOINT_H_

#include <cstdint>
#include <iostream>

#include "matrix/work_sharing.h"

// Entries in the working record of one minor: the size code and up to 199
// entries, that is minors of order up to 14.
inline constexpr int MINOR_BUFFER_INTS = 200;

// Most threads that one adjoint uses.
inline constexpr int ADJOINT_THREADS_MAX = WORK_THREADS_MAX;

// Writes the adjoint of `matrix` into `adjoint` (size code and n*n entries,
// no end marker) and returns its size code. A matrix that is not square is
// refused: the line "Error: Matrix not square" goes to `out`, MATRIX_END is
// returned and `adjoint` is untouched. Requires order 0 .. 13 (each minor is
// a determinant of order n-1 <= 12); `adjoint` must not alias `matrix`.
// Uses every hardware thread (one when their number is unknown).
std::int32_t adjointMatrix(const std::int32_t* matrix, std::int32_t* adjoint,
                           std::ostream& out = std::cout);

// adjointMatrix with the cofactors shared among `threads` threads, counting
// the caller's own; `threads` is clamped to 1 .. ADJOINT_THREADS_MAX, and
// to 1 for orders below 6, whose cofactors cost less than a thread's start.
std::int32_t adjointMatrixWithThreads(const std::int32_t* matrix, std::int32_t* adjoint,
                                      int threads, std::ostream& out = std::cout);

// adjointMatrixWithThreads for tests of a thread that cannot be started:
// `beforeStart` is handed to runOnThreads.
std::int32_t adjointMatrixWithStartHook(const std::int32_t* matrix, std::int32_t* adjoint,
                                        int threads, ThreadStartHook beforeStart,
                                        std::ostream& out = std::cout);

#endif  // QUADRIXEL_MATRIX_ADJOINT_H_
