#include "matrix/product.h"

#include <gtest/gtest.h>

#include <sstream>

#include "support/record_builder.h"

namespace {

TEST(MultiplyMatrices, ConformableShapes) {
  struct Case {
    const char* name;
    Record a;
    Record b;
    std::int32_t sizeCode;
    std::vector<std::int32_t> expected;
  };
  const Record row = makeRecord(1, 3, {1, 2, 3});
  const Record column = makeRecord(3, 1, {4, 5, 6});
  // 27 x 37 = 999 entries, the most that a record holds.
  Record ones = makeRecord(27, 1, {});
  Record twos = makeRecord(1, 37, {});
  for (int i = 1; i <= 27; ++i) ones[i] = 1;
  for (int i = 1; i <= 37; ++i) twos[i] = 2;
  // clang-format off
  const Case cases[] = {
      {"2x3 times 3x2", makeRecord(2, 3, {1, 2, 3, 4, 5, 6}),
       makeRecord(3, 2, {7, 8, 9, 10, 11, 12}), 202, {58, 64, 139, 154}},
      {"row times column", row, column, 101, {32}},
      {"column times row", column, row, 303, {4, 8, 12, 5, 10, 15, 6, 12, 18}},
      {"2^32 wraps to 0", makeRecord(1, 1, {65536}), makeRecord(1, 1, {65536}), 101, {0}},
      {"empty sums", makeRecord(2, 0, {}), makeRecord(0, 3, {}), 203, {0, 0, 0, 0, 0, 0}},
      {"no rows, no columns", makeRecord(0, 2, {}), makeRecord(2, 0, {}), 0, {}},
      {"999 entries fit", ones, twos, 2737, std::vector<std::int32_t>(999, 2)},
  };
  // clang-format on
  for (const auto& c : cases) {
    Record product;
    product.fill(42);
    std::ostringstream out;
    EXPECT_EQ(multiplyMatrices(c.a.data(), c.b.data(), product.data(), out), c.sizeCode) << c.name;
    EXPECT_EQ(product[0], c.sizeCode) << c.name;
    EXPECT_EQ(entriesOf(product), c.expected) << c.name;
    EXPECT_EQ(product[1 + c.expected.size()], MATRIX_END) << c.name;
    EXPECT_EQ(out.str(), "") << c.name;
  }
}

TEST(MultiplyMatrices, RefusalsLeaveTheResultUntouched) {
  struct Case {
    const char* name;
    Record a;
    Record b;
    const char* message;
  };
  Record tall = makeRecord(99, 1, {});
  Record wide = makeRecord(1, 99, {});
  // clang-format off
  const Case cases[] = {
      {"not conformable", makeRecord(2, 3, {}), makeRecord(2, 3, {}),
       "ERROR:\nFirst matrix not conformable to second matrix for multiplication\n"},
      {"more than 999 entries", tall, wide,
       "ERROR:\nProduct has more than 999 entries and does not fit a matrix record\n"},
  };
  // clang-format on
  for (const auto& c : cases) {
    Record product;
    product.fill(42);
    std::ostringstream out;
    EXPECT_EQ(multiplyMatrices(c.a.data(), c.b.data(), product.data(), out), 0) << c.name;
    EXPECT_EQ(out.str(), c.message) << c.name;
    for (std::int32_t value : product) ASSERT_EQ(value, 42) << c.name;
  }
}

}  // namespace
