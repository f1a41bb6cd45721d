// Random square matrices for comparing the program's routines with the
// straightforward reference ones.
#ifndef QUADRIXEL_TESTS_SUPPORT_RANDOM_MATRIX_H_
#define QUADRIXEL_TESTS_SUPPORT_RANDOM_MATRIX_H_

#include <cstdint>
#include <random>

#include "support/record_builder.h"

// How large the entries of a random matrix are.
enum class EntrySize {
  kSmall,  // -3 .. 3: many zeros, products and sums that mostly fit
  kWide,   // any 32-bit value: nearly every product and sum wraps
};

// A square record of order n with random entries of the given size.
inline Record randomSquareRecord(std::int32_t n, EntrySize size, std::mt19937& random) {
  Record record = makeRecord(n, n, {});
  std::uniform_int_distribution<std::int32_t> small(-3, 3);
  for (std::int32_t i = 1; i <= n * n; ++i) {
    record[i] = size == EntrySize::kSmall ? small(random) : static_cast<std::int32_t>(random());
  }
  record[n * n + 1] = MATRIX_END;
  return record;
}

#endif  // QUADRIXEL_TESTS_SUPPORT_RANDOM_MATRIX_H_
