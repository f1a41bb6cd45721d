#include "io/display.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/record_builder.h"

namespace {

TEST(PrintMatrix, RowsInOneCommonWidth) {
  struct Case {
    const char* name;
    Record matrix;
    const char* expected;
  };
  const Case cases[] = {
      {"largest magnitude in the middle", makeRecord(2, 3, {1, -20, 3, 400, 5, 6}),
       "    1  -20    3\n  400    5    6\n"},
      {"negative entries", makeRecord(3, 3, {2, -1, 0, -1, 2, -1, 0, -1, 2}),
       "  2 -1  0\n -1  2 -1\n  0 -1  2\n"},
      {"all zero", makeRecord(2, 2, {0, 0, 0, 0}), " 0 0\n 0 0\n"},
      {"negative of largest magnitude", makeRecord(1, 1, {-9}), " -9\n"},
      {"positive", makeRecord(1, 1, {9}), "  9\n"},
      {"9999999", makeRecord(1, 2, {9999999, 1}), "  9999999        1\n"},
      {"999999", makeRecord(1, 1, {999999}), "  999999\n"},
      {"ten million", makeRecord(1, 2, {10000000, 1}), "  10000000         1\n"},
      {"largest int", makeRecord(1, 1, {INT32_MAX}), "  2147483647\n"},
      {"smallest int has 10 digits", makeRecord(1, 2, {INT32_MIN, 0}),
       " -2147483648           0\n"},
      {"no rows prints nothing", makeRecord(0, 0, {}), ""},
      {"three rows of no columns", makeRecord(3, 0, {}), "\n\n\n"},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    printMatrix(c.matrix.data(), out);
    EXPECT_EQ(out.str(), c.expected) << c.name;
  }
}

}  // namespace
