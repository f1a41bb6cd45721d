#include "matrix/determinant.h"

#include "matrix/matrix_record.h"

namespace {

// Fresh copies of these start every walk; they are never written.
constexpr std::int32_t PERM_TEMPLATE[PERM_TABLE_INTS] = {0, 1, 2,  3,  4,  5,  6,
                                                         7, 8, 9, 10, 11, 12, 13};
constexpr std::int32_t COUNTER_TEMPLATE[PERM_TABLE_INTS] = {};
constexpr std::int32_t DIRECTION_TEMPLATE[PERM_TABLE_INTS] = {1, 1, 1, 1, 1, 1, 1,
                                                              1, 1, 1, 1, 1, 1, 1};

}  // namespace

std::int32_t determinant(const std::int32_t* matrix) {
  const std::int32_t n = matrixColumns(matrix);
  if (n == 0) return 1;
  if (n < 0 || n > MAX_KEYBOARD_DIM) return 0;
  if (n == 1) return matrix[1];

  std::int32_t perm[PERM_TABLE_INTS];
  std::int32_t counter[PERM_TABLE_INTS];
  std::int32_t direction[PERM_TABLE_INTS];
  for (int i = 0; i < PERM_TABLE_INTS; ++i) {
    perm[i] = PERM_TEMPLATE[i];
    counter[i] = COUNTER_TEMPLATE[i];
    direction[i] = DIRECTION_TEMPLATE[i];
  }

  // Entries are summed and multiplied as unsigned values, which wrap
  // modulo 2^32 exactly like two's-complement arithmetic but without
  // undefined behaviour.
  std::uint32_t sum = 0;
  std::int32_t subtract = 1;
  std::int32_t steps = 1;
  for (std::int32_t i = 2; i <= n; ++i) steps *= i;

  while (steps != 0) {
    std::int32_t shift = 0;
    std::int32_t i = n;
    std::int32_t k;
    for (;;) {
      counter[i] += direction[i];
      if (counter[i] == i) {
        direction[i] = -1;
      } else if (counter[i] != 0) {
        k = counter[i] + shift;
        break;
      } else {
        direction[i] = 1;
        ++shift;
      }
      if (i <= 2) {
        k = 1 + shift;
        break;
      }
      --i;
    }
    const std::int32_t swapped = perm[k];
    perm[k] = perm[k + 1];
    perm[k + 1] = swapped;

    std::uint32_t term = 1;
    for (std::int32_t j = 1; j <= n; ++j) {
      term *= static_cast<std::uint32_t>(matrix[(j - 1) * n + perm[j]]);
    }
    if (subtract) {
      sum -= term;
    } else {
      sum += term;
    }
    subtract = 1 - subtract;
    --steps;
  }
  return static_cast<std::int32_t>(sum);
}
