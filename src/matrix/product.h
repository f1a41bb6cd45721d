// The integer matrix product of two records, in wrapping 32-bit arithmetic.
// The program's dialogue does not use it; it stands beside the determinant
// and the adjoint as part of the matrix arithmetic.
#ifndef QUADRIXEL_MATRIX_PRODUCT_H_
#define QUADRIXEL_MATRIX_PRODUCT_H_

#include <cstdint>
#include <iostream>

// Writes a * b into `product` (size code, entries, MATRIX_END) and returns
// its size code. Refuses, printing two lines to `out` starting with "ERROR:",
// returning 0 and leaving `product` untouched, when b's rows differ from a's
// columns or when the product has more entries than a record holds.
// `product` must be a third buffer, distinct from `a` and `b`.
std::int32_t multiplyMatrices(const std::int32_t* a, const std::int32_t* b, std::int32_t* product,
                              std::ostream& out = std::cout);

#endif  // QUADRIXEL_MATRIX_PRODUCT_H_
