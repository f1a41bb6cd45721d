// The sample data file shipped in examples/ shows each road of the program;
// this keeps its entries what its commentary says they are.
#include <gtest/gtest.h>

#include <sstream>

#include "io/data_file_reader.h"
#include "matrix/determinant.h"
#include "matrix/exact_range.h"
#include "support/record_builder.h"

namespace {

TEST(SampleDataFile, EntriesShowEachRoad) {
  struct Case {
    const char* reply;
    std::int32_t sizeCode;     // 0: not a matrix entry
    std::int32_t determinant;  // checked for square matrices
  };
  // clang-format off
  const Case cases[] = {
      {"1\n", 202, 10},  {"2\n", 303, 10},         {"3\n", 404, 88}, {"4\n", 303, 1},
      {"5\n", 303, 0},   {"6\n", 203, 0},          {"7\n", 1212, 363110984},
      {"8\n", 0, 0},
  };
  // clang-format on
  for (const auto& c : cases) {
    std::istringstream in(c.reply);
    std::ostringstream out;
    Record matrix = makeRecord(0, 0, {});
    ASSERT_EQ(readMatrixFromFile(matrix.data(), in, out, SAMPLE_DATA_FILE), c.sizeCode) << c.reply;
    if (c.sizeCode == 0 || !isSquare(matrix.data())) continue;
    EXPECT_EQ(checkExactRange(matrix.data()), ExactRange::kFits) << c.reply;
    EXPECT_EQ(determinant(matrix.data()), c.determinant) << c.reply;
  }
}

}  // namespace
