#include "matrix/adjoint.h"

#include "matrix/determinant.h"
#include "matrix/matrix_record.h"

std::int32_t adjointMatrix(const std::int32_t* matrix, std::int32_t* adjoint,
                           std::ostream& out) {
  const std::int32_t rows = matrixRows(matrix);
  const std::int32_t columns = matrixColumns(matrix);
  if (rows != columns) {
    out << "Error: Matrix not square\n";
    return MATRIX_END;
  }
  const std::int32_t n = rows;

  std::int32_t cofactors[MATRIX_BUFFER_INTS];
  std::int32_t minor[MINOR_BUFFER_INTS];
  minor[0] = (rows - 1) * 100 + columns - 1;
  std::int32_t next = 1;
  for (std::int32_t r = 1; r <= n; ++r) {
    for (std::int32_t c = 1; c <= n; ++c) {
      std::int32_t m = 1;
      for (std::int32_t j = 1; j <= n; ++j) {
        if (j == r) continue;
        for (std::int32_t k = 1; k <= n; ++k) {
          if (k != c) minor[m++] = matrix[(j - 1) * n + k];
        }
      }
      const std::uint32_t d = static_cast<std::uint32_t>(determinant(minor));
      cofactors[next++] = static_cast<std::int32_t>((r + c) % 2 == 0 ? d : 0u - d);
    }
  }

  adjoint[0] = rows * 100 + columns;
  next = 1;
  for (std::int32_t i = 1; i <= n; ++i) {
    for (std::int32_t j = 1; j <= n; ++j) {
      adjoint[(j - 1) * n + i] = cofactors[next++];
    }
  }
  return adjoint[0];
}
