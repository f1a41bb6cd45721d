#include "io/display.h"

#include <iomanip>

#include "matrix/matrix_record.h"

namespace {

// Field width that printMatrix uses for `matrix`. Requires a record whose
// rows * columns entries lie inside its buffer.
int matrixFieldWidth(const std::int32_t* matrix) {
  const std::int32_t rows = matrixRows(matrix);
  const std::int32_t columns = matrixColumns(matrix);
  // Magnitudes are taken as unsigned so that -2147483648 has one.
  std::uint32_t largest = 0;
  if (rows > 0 && columns > 0) {
    for (std::int32_t i = 1; i <= rows * columns; ++i) {
      const std::uint32_t entry = static_cast<std::uint32_t>(matrix[i]);
      const std::uint32_t magnitude = matrix[i] < 0 ? 0u - entry : entry;
      if (magnitude > largest) largest = magnitude;
    }
  }
  int digits = 0;
  for (std::uint32_t rest = largest; rest != 0; rest /= 10) ++digits;
  // No digits for 0 gives the width 2 that an all-zero matrix is shown in.
  return digits + 2;
}

}  // namespace

void printMatrix(const std::int32_t* matrix, std::ostream& out) {
  const std::int32_t rows = matrixRows(matrix);
  const std::int32_t columns = matrixColumns(matrix);
  const int width = matrixFieldWidth(matrix);
  std::int32_t next = 1;
  for (std::int32_t r = 1; r <= rows; ++r) {
    for (std::int32_t c = 1; c <= columns; ++c) {
      out << std::setw(width) << matrix[next++];
    }
    out << '\n';
  }
}
