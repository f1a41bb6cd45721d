#include "io/keyboard_entry.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/record_builder.h"

namespace {

const std::string PROMPT = "Enter size of matrix ROWSxCOLUMNS (0x0 termimates input)  \n";
const std::string FORMAT = "Size must be typed as ROWSxCOLUMNS, for example 3x3\n";
const std::string RANGE = "Type a whole number from -2147483648 to 2147483647\n";

struct EntryCase {
  const char* name;
  const char* input;
  std::string output;
  std::vector<std::int32_t> record;  // size code, entries, MATRIX_END
  const char* left;                  // what stays unread
};

TEST(ReadMatrixFromKeyboard, Dialogues) {
  const std::string row1of2 = "Prepare to enter 2 numbers in row 1\nfirst number\nlast number\n";
  const std::string row2of2 = "Prepare to enter 2 numbers in row 2\nfirst number\nlast number\n";
  // clang-format off
  const EntryCase cases[] = {
      {"worked example", "2x2\n4\n7\n2\n6\nrest", PROMPT + row1of2 + row2of2,
       {202, 4, 7, 2, 6, MATRIX_END}, "rest"},
      {"a row on one line", "2x2\n4 7\n2,6\n", PROMPT + row1of2 + row2of2,
       {202, 4, 7, 2, 6, MATRIX_END}, ""},
      // Every blank that "%d" skips: blank, tab, line end, vertical tab,
      // form feed and carriage return, as in the "4 \r\n" of a Windows
      // user who types a blank before Enter.
      {"every blank before a number", " \t\v\f\r\n1x\r\n\f\v\t 2\r\n\f4 \r\n\t\r7\r\n", PROMPT + row1of2,
       {102, 4, 7, MATRIX_END}, "\n"},
      {"blank after the x", "1x 1\n-5\n",
       PROMPT + "Prepare to enter 1 numbers in row 1\nfirst number\nlast number\n",
       {101, -5, MATRIX_END}, ""},
      {"0x0", "0x0\nrest", PROMPT, {0, MATRIX_END}, "rest"},
      {"3x0", "3x0\n",
       PROMPT + "Prepare to enter 0 numbers in row 1\nPrepare to enter 0 numbers in row 2\n"
                "Prepare to enter 0 numbers in row 3\n",
       {300, MATRIX_END}, ""},
      {"0x4", "0x4\n", PROMPT, {4, MATRIX_END}, ""},
      {"middle cues", "1x4\n1 2 3 4\n",
       PROMPT + "Prepare to enter 4 numbers in row 1\nfirst number\nnext number\n"
                "next number\nlast number\n",
       {104, 1, 2, 3, 4, MATRIX_END}, ""},
      {"too large, each side", "13x2\n2x13\n12x13\n1x1\n9\n",
       PROMPT + "No size larger than 12\n" + PROMPT + "No size larger than 12\n" + PROMPT +
           "No size larger than 12\n" + PROMPT +
           "Prepare to enter 1 numbers in row 1\nfirst number\nlast number\n",
       {101, 9, MATRIX_END}, ""},
      {"negative counts, bound tested first", "-5x13\n-5x-5\n2x-1\n0x0\n",
       PROMPT + "No size larger than 12\n" + PROMPT + "No size smaller than 0\n" + PROMPT +
           "No size smaller than 0\n" + PROMPT,
       {0, MATRIX_END}, ""},
      {"counts beyond 32 bits", "99999999999x1\n-99999999999x1\n0x0\n",
       PROMPT + "No size larger than 12\n" + PROMPT + "No size smaller than 0\n" + PROMPT,
       {0, MATRIX_END}, ""},
      {"malformed shapes", "abc 2x2\n3X3\n3 x3\n0x0\n",
       PROMPT + FORMAT + PROMPT + FORMAT + PROMPT + FORMAT + PROMPT, {0, MATRIX_END}, ""},
      {"bad numbers", "1x2\nseven\n2147483648\n-2147483648 2147483647\n",
       PROMPT + "Prepare to enter 2 numbers in row 1\nfirst number\n" + RANGE +
           "first number\n" + RANGE + "first number\nlast number\n",
       {102, INT32_MIN, INT32_MAX, MATRIX_END}, ""},
      {"end of input at the shape", "", PROMPT, {0, MATRIX_END}, ""},
      {"end of input after a refusal", "13x1\n", PROMPT + "No size larger than 12\n" + PROMPT,
       {0, MATRIX_END}, ""},
      {"end of input in the entries", "2x2\n",
       PROMPT + "Prepare to enter 2 numbers in row 1\nfirst number\n", {0, MATRIX_END}, ""},
  };
  // clang-format on
  for (const auto& c : cases) {
    std::istringstream in(c.input);
    std::ostringstream out;
    Record matrix;
    matrix.fill(42);
    readMatrixFromKeyboard(matrix.data(), in, out);
    EXPECT_EQ(out.str(), c.output) << c.name;
    EXPECT_EQ(std::vector<std::int32_t>(matrix.begin(), matrix.begin() + c.record.size()), c.record)
        << c.name;
    EXPECT_EQ(matrix[c.record.size()], 42) << c.name << ": wrote past the marker";
    std::string left(std::istreambuf_iterator<char>(in), {});
    EXPECT_EQ(left, c.left) << c.name;
  }
}

}  // namespace
