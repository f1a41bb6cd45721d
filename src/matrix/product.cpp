#include "matrix/product.h"

#include <cassert>

#include "matrix/matrix_record.h"

std::int32_t multiplyMatrices(const std::int32_t* a, const std::int32_t* b, std::int32_t* product,
                              std::ostream& out) {
  assert(product != a && product != b);
  const std::int32_t rowsA = matrixRows(a);
  const std::int32_t columnsA = matrixColumns(a);
  const std::int32_t rowsB = matrixRows(b);
  const std::int32_t columnsB = matrixColumns(b);
  if (rowsB != columnsA) {
    out << "ERROR:\n"
        << "First matrix not conformable to second matrix for multiplication\n";
    return 0;
  }
  if (rowsA > 0 && columnsB > 0 && rowsA * columnsB > MATRIX_MAX_ENTRIES) {
    out << "ERROR:\n"
        << "Product has more than 999 entries and does not fit a matrix record\n";
    return 0;
  }

  product[0] = rowsA * 100 + columnsB;
  std::int32_t next = 1;
  for (std::int32_t i = 1; i <= rowsA; ++i) {
    for (std::int32_t j = 1; j <= columnsB; ++j) {
      std::uint32_t sum = 0;
      for (std::int32_t k = 1; k <= columnsA; ++k) {
        sum += static_cast<std::uint32_t>(a[1 + (i - 1) * columnsA + (k - 1)]) *
               static_cast<std::uint32_t>(b[1 + (k - 1) * columnsB + (j - 1)]);
      }
      product[next++] = static_cast<std::int32_t>(sum);
    }
  }
  product[next] = MATRIX_END;
  return product[0];
}
