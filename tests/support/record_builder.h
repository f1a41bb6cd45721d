// Building matrix records in tests from a shape and a list of entries.
#ifndef QUADRIXEL_TESTS_SUPPORT_RECORD_BUILDER_H_
#define QUADRIXEL_TESTS_SUPPORT_RECORD_BUILDER_H_

#include <array>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include "matrix/matrix_record.h"

using Record = std::array<std::int32_t, MATRIX_BUFFER_INTS>;

// A record of the given shape holding `entries` row by row, then
// MATRIX_END; the rest of the buffer holds a recognisable filler.
inline Record makeRecord(std::int32_t rows, std::int32_t columns,
                         std::initializer_list<std::int32_t> entries) {
  Record record;
  record.fill(-7777);
  record[0] = rows * 100 + columns;
  std::size_t next = 1;
  for (std::int32_t entry : entries) record[next++] = entry;
  record[next] = MATRIX_END;
  return record;
}

// The entries of `record` as a vector, row by row.
inline std::vector<std::int32_t> entriesOf(const Record& record) {
  const std::int32_t count = matrixRows(record.data()) * matrixColumns(record.data());
  return std::vector<std::int32_t>(record.begin() + 1, record.begin() + 1 + count);
}

#endif  // QUADRIXEL_TESTS_SUPPORT_RECORD_BUILDER_H_
