// The matrix record: the one flat form in which every routine of the program
// passes a matrix around.
//
// A record is an array of signed 32-bit integers. Element 0, the size code,
// is rows * 100 + columns; elements 1 .. rows * columns hold the entries row
// by row; writers that say so store MATRIX_END in the element after the last
// entry. Rows and columns are decoded with truncating division, so a negative
// code gives non-positive counts. Nobody scans for MATRIX_END: the shape is
// always taken from the size code. The caller owns every buffer; no routine
// allocates or resizes one.
#ifndef QUADRIXEL_MATRIX_MATRIX_RECORD_H_
#define QUADRIXEL_MATRIX_MATRIX_RECORD_H_

#include <cstdint>

// Elements in a full record: the size code, up to 999 entries and the marker.
inline constexpr int MATRIX_BUFFER_INTS = 1001;
// Most entries a record can hold beside its size code and end marker.
inline constexpr int MATRIX_MAX_ENTRIES = MATRIX_BUFFER_INTS - 2;
// End marker stored after the last entry by the readers and the product.
inline constexpr std::int32_t MATRIX_END = 0xEFFFFF;
// Largest row or column count that the keyboard entry admits.
inline constexpr int MAX_KEYBOARD_DIM = 12;
// Largest order whose permutations the determinant walks; larger square
// matrices are never given a determinant or an adjoint.
inline constexpr int MAX_WALK_ORDER = 12;

using MatrixBuffer = std::int32_t[MATRIX_BUFFER_INTS];

// Row count of a record: sizeCode / 100, truncated toward zero.
inline std::int32_t matrixRows(const std::int32_t* matrix) { return matrix[0] / 100; }

// Column count of a record: sizeCode % 100, truncated toward zero.
inline std::int32_t matrixColumns(const std::int32_t* matrix) { return matrix[0] % 100; }

// True when the record's row and column counts are equal.
inline bool isSquare(const std::int32_t* matrix) {
  return matrixRows(matrix) == matrixColumns(matrix);
}

#endif  // QUADRIXEL_MATRIX_MATRIX_RECORD_H_
