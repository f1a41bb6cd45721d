// The determinant and adjoint taken the straightforward way: one step of the
// plain-changes walk at a time, each term a fresh product of n entries, one
// cofactor after the other. The program's own routines must give exactly the
// same values; the tests and the benchmarks compare them against these.
#ifndef QUADRIXEL_TESTS_MATRIX_REFERENCE_WALK_H_
#define QUADRIXEL_TESTS_MATRIX_REFERENCE_WALK_H_

#include <cstdint>
#include <vector>

// Returns the determinant of the square record `matrix` (order 0 .. 12) by
// the step-by-step walk, wrapped to 32 bits; order 0 gives 1. When `swaps`
// is given, the swap position of every step is appended to it.
std::int32_t referenceDeterminant(const std::int32_t* matrix,
                                  std::vector<std::int32_t>* swaps = nullptr);

// Writes the size code and the n*n entries of the adjoint of the square
// record `matrix` (order 0 .. 13) into `adjoint`, one referenceDeterminant
// per cofactor.
void referenceAdjoint(const std::int32_t* matrix, std::int32_t* adjoint);

#endif  // QUADRIXEL_TESTS_MATRIX_REFERENCE_WALK_H_
