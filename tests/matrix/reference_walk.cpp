#include "matrix/reference_walk.h"

namespace {

constexpr int TABLE_INTS = 14;

}  // namespace

std::int32_t referenceDeterminant(const std::int32_t* matrix, std::vector<std::int32_t>* swaps) {
  const std::int32_t n = matrix[0] % 100;
  if (n == 0) return 1;
  if (n < 0 || n > 12) return 0;
  if (n == 1) return matrix[1];

  std::int32_t perm[TABLE_INTS];
  std::int32_t counter[TABLE_INTS];
  std::int32_t direction[TABLE_INTS];
  for (int i = 0; i < TABLE_INTS; ++i) {
    perm[i] = i;
    counter[i] = 0;
    direction[i] = 1;
  }

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
    if (swaps != nullptr) swaps->push_back(k);
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

void referenceAdjoint(const std::int32_t* matrix, std::int32_t* adjoint) {
  const std::int32_t n = matrix[0] % 100;
  std::int32_t cofactors[1001];
  std::int32_t minor[200];
  minor[0] = (n - 1) * 101;
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
      const std::uint32_t d = static_cast<std::uint32_t>(referenceDeterminant(minor));
      cofactors[next++] = static_cast<std::int32_t>((r + c) % 2 == 0 ? d : 0u - d);
    }
  }
  adjoint[0] = n * 101;
  next = 1;
  for (std::int32_t i = 1; i <= n; ++i) {
    for (std::int32_t j = 1; j <= n; ++j) adjoint[(j - 1) * n + i] = cofactors[next++];
  }
}
