#include "io/data_file_reader.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/record_builder.h"
#include "support/temp_directory.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

const std::string PROMPT = "Input number before the selected data-input (zero to abort):\n";
const std::string NOT_MARKED = "Input-array in file not marked 'M' (after '[') for Matrix data\n";
const std::string NO_CLOSE = "Input-array in file has no closing ']'\n";
const std::string TOO_LONG = "Input-array in file is longer than 1000 characters\n";
const std::string FEWER = "Input-array in file holds fewer numbers than its size code calls for\n";
const std::string TOO_LARGE = "Input-array in file is too large for a matrix of 999 entries\n";
const std::string ABOVE = "Input-array in file holds a number above 2147483647\n";
const std::string BELOW = "Input-array in file holds a number below -2147483648\n";
constexpr std::int32_t FILLER = 42;

std::string range(int count) {
  return "Number must be between 1 and " + std::to_string(count) + "\n";
}

const std::string WORKED_FILE =
    "Test matrices\n"
    "[M202  4 7\n"
    "       2 6]\n"
    "\n"
    "A symmetric 3 by 3 matrix:\n"
    "[m0303  2 -1  0\n"
    "        -1  2 -1\n"
    "         0 -1  2]\n"
    "[P 1 2 3]\n";
const std::string WORKED_LISTING =
    "1  [M202  4 7\n"
    "       2 6]\n"
    "\n"
    "2  [m0303  2 -1  0\n"
    "        -1  2 -1\n"
    "         0 -1  2]\n"
    "\n"
    "3  [P 1 2 3]\n"
    "\n";
const std::vector<std::int32_t> WORKED_2X2 = {202, 4, 7, 2, 6, MATRIX_END};
const std::vector<std::int32_t> WORKED_3X3 = {303, 2, -1, 0, -1, 2, -1, 0, -1, 2, MATRIX_END};

// Count of the process's open file descriptors, where the system lists
// them in /proc/self/fd; elsewhere always 0, and the check is left out.
int openFiles() {
  int count = 0;
#ifndef _WIN32
  for ([[maybe_unused]] const auto& entry : fs::directory_iterator("/proc/self/fd")) ++count;
#endif
  return count;
}

// A fresh temporary folder for the data files of one test.
class ReadMatrixFromFile : public testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(folder_.path().empty()); }

  std::string writeDataFile(const std::string& text) {
    const fs::path path = folder_.path() / DATA_FILE_NAME;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }

  TemporaryDirectory folder_{"quadrixel-reader"};
};

struct ReaderCase {
  const char* name;
  std::string file;
  const char* input;
  std::string output;
  std::vector<std::int32_t> record;  // empty when the buffer stays untouched
  std::int32_t result;
  const char* left;  // what stays unread on the input
};

TEST_F(ReadMatrixFromFile, ListsChoosesAndParses) {
  const std::string body1000 = "101 7" + std::string(995, ' ');
  // Commentary that puts the entry after it across the end of the first
  // 65536 bytes, which the reader reads as one chunk.
  const std::string beforeChunkEnd(65530, ' ');
  // clang-format off
  const ReaderCase cases[] = {
      // The worked example, reply by reply.
      {"reply 1", WORKED_FILE, "1\n", WORKED_LISTING + PROMPT, WORKED_2X2, 202, ""},
      {"reply 2, marked m", WORKED_FILE, "2\nrest", WORKED_LISTING + PROMPT, WORKED_3X3, 303,
       "rest"},
      {"reply 3, another kind", WORKED_FILE, "3\n", WORKED_LISTING + PROMPT + NOT_MARKED, {}, 0,
       ""},
      {"reply 0", WORKED_FILE, "0\n", WORKED_LISTING + PROMPT, {}, 0, ""},
      {"4, then 1", WORKED_FILE, "4\n1\n", WORKED_LISTING + PROMPT + range(3) + PROMPT,
       WORKED_2X2, 202, ""},
      {"-1, then 2", WORKED_FILE, "-1\n2\n", WORKED_LISTING + PROMPT + range(3) + PROMPT,
       WORKED_3X3, 303, ""},

      // Replies.
      {"no number at the first prompt", WORKED_FILE, "xyz\n", WORKED_LISTING + PROMPT, {}, 0,
       "yz\n"},
      {"no number keeps the choice", WORKED_FILE, "4\nx\n1\n",
       WORKED_LISTING + PROMPT + range(3) + PROMPT + range(3) + PROMPT, WORKED_2X2, 202, ""},
      {"end of input at the first prompt", WORKED_FILE, "", WORKED_LISTING + PROMPT, {}, 0, ""},
      {"end of input after a refused reply", WORKED_FILE, "9\n",
       WORKED_LISTING + PROMPT + range(3) + PROMPT, {}, 0, ""},
      {"reply beyond 32 bits", WORKED_FILE, "4294967297\n-4294967295\n0\n",
       WORKED_LISTING + PROMPT + range(3) + PROMPT + range(3) + PROMPT, {}, 0, ""},
      {"no entries", "text ] only\n", "1\n0\n", PROMPT + range(0) + PROMPT, {}, 0, ""},
      {"empty file", "", "0\n", PROMPT, {}, 0, ""},

      // Entries and their markers.
      {"blank before the marker", "[ M202 1 2 3 4]", "1\n",
       "1  [ M202 1 2 3 4]\n\n" + PROMPT + NOT_MARKED, {}, 0, ""},
      {"empty entry", "[]", "1\n", "1  []\n\n" + PROMPT + NOT_MARKED, {}, 0, ""},
      {"adjacent entries", "[M101 5][M101 6]", "2\n",
       "1  [M101 5]\n\n2  [M101 6]\n\n" + PROMPT, {101, 6, MATRIX_END}, 101, ""},
      {"'[' inside an entry is text", "[M101 [7] [M101 8]", "2\n",
       "1  [M101 [7]\n\n2  [M101 8]\n\n" + PROMPT, {101, 8, MATRIX_END}, 101, ""},
      {"']' outside every entry", "] [M101 1] ] x ] [M101 2]\n[M101 3]]", "3\n",
       "1  [M101 1]\n\n2  [M101 2]\n\n3  [M101 3]\n\n" + PROMPT, {101, 3, MATRIX_END}, 101, ""},
      {"no closing bracket", "[M101 5]\n[M202 1 2", "1\n",
       "1  [M101 5]\n\n2  [M202 1 2\n" + NO_CLOSE, {}, 0, "1\n"},
      {"a file of one byte", "[", "1\n", "1  [\n" + NO_CLOSE, {}, 0, "1\n"},
      {"an entry across the first chunk's end", beforeChunkEnd + "[M101 5]", "1\n",
       "1  [M101 5]\n\n" + PROMPT, {101, 5, MATRIX_END}, 101, ""},
      {"a zero byte is no marker", "[\0]"s, "1\n", "1  [\0]\n\n"s + PROMPT + NOT_MARKED, {}, 0,
       ""},

      // Bodies.
      {"signs, separators, leading zero", "[M-0107 - 5 --5 3-4 1.5 +7 8]", "1\n",
       "1  [M-0107 - 5 --5 3-4 1.5 +7 8]\n\n" + PROMPT,
       {107, 5, -5, 3, -4, 1, 5, 7, MATRIX_END}, 107, ""},
      {"a zero byte separates", "[M102 1\0 2]"s, "1\n", "1  [M102 1\0 2]\n\n"s + PROMPT,
       {102, 1, 2, MATRIX_END}, 102, ""},
      {"no rows", "[M5 1 2 3]", "1\n", "1  [M5 1 2 3]\n\n" + PROMPT, {5, MATRIX_END}, 5, ""},
      {"size code 0", "[M0]", "1\n", "1  [M0]\n\n" + PROMPT, {0, MATRIX_END}, 0, ""},
      {"999 rows of no columns", "[M99900]", "1\n", "1  [M99900]\n\n" + PROMPT,
       {99900, MATRIX_END}, 99900, ""},
      {"32-bit extremes", "[M102 -2147483648 2147483647]", "1\n",
       "1  [M102 -2147483648 2147483647]\n\n" + PROMPT,
       {102, INT32_MIN, INT32_MAX, MATRIX_END}, 102, ""},
      {"body of 1000 characters", "[M" + body1000 + "]", "1\n",
       "1  [M" + body1000 + "]\n\n" + PROMPT, {101, 7, MATRIX_END}, 101, ""},

      // Refused bodies.
      {"body of 1001 characters", "[M" + body1000 + " ]", "1\n",
       "1  [M" + body1000 + " ]\n\n" + PROMPT + TOO_LONG, {}, 0, ""},
      {"no size code", "[M abc]", "1\n", "1  [M abc]\n\n" + PROMPT + FEWER, {}, 0, ""},
      {"fewer numbers", "[M202 1 2 3]", "1\n", "1  [M202 1 2 3]\n\n" + PROMPT + FEWER, {}, 0,
       ""},
      {"999 entries, too few numbers", "[M2737 1]", "1\n", "1  [M2737 1]\n\n" + PROMPT + FEWER,
       {}, 0, ""},
      {"1024 entries", "[M3232 1]", "1\n", "1  [M3232 1]\n\n" + PROMPT + TOO_LARGE, {}, 0, ""},
      {"1000 rows", "[M100000]", "1\n", "1  [M100000]\n\n" + PROMPT + TOO_LARGE, {}, 0, ""},
      {"largest 32-bit size code", "[M2147483647 1]", "1\n",
       "1  [M2147483647 1]\n\n" + PROMPT + TOO_LARGE, {}, 0, ""},
      {"size code beyond 32 bits", "[M2147483648 1]", "1\n",
       "1  [M2147483648 1]\n\n" + PROMPT + ABOVE, {}, 0, ""},
      {"number beyond 32 bits", "[M101 2147483648]", "1\n",
       "1  [M101 2147483648]\n\n" + PROMPT + ABOVE, {}, 0, ""},
      {"negative number beyond 32 bits", "[M101 -2147483649]", "1\n",
       "1  [M101 -2147483649]\n\n" + PROMPT + BELOW, {}, 0, ""},
      {"twenty digits", "[M101 99999999999999999999]", "1\n",
       "1  [M101 99999999999999999999]\n\n" + PROMPT + ABOVE, {}, 0, ""},
  };
  // clang-format on
  for (const auto& c : cases) {
    const std::string path = writeDataFile(c.file);
    std::istringstream in(c.input);
    std::ostringstream out;
    Record matrix;
    matrix.fill(FILLER);
    const int filesBefore = openFiles();

    EXPECT_EQ(readMatrixFromFile(matrix.data(), in, out, path.c_str()), c.result) << c.name;

    EXPECT_EQ(openFiles(), filesBefore) << c.name << ": the data file was left open";
    EXPECT_EQ(out.str(), c.output) << c.name;
    EXPECT_EQ(std::vector<std::int32_t>(matrix.begin(), matrix.begin() + c.record.size()), c.record)
        << c.name;
    EXPECT_EQ(matrix[c.record.size()], FILLER) << c.name << ": wrote past the record";
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), c.left) << c.name;
  }
}

TEST_F(ReadMatrixFromFile, FileThatCannotBeOpenedOrRead) {
  struct Case {
    const char* name;
    fs::path path;
    std::string output;
  };
  const fs::path missing = folder_.path() / "missing.txt";
  const fs::path directory = folder_.path() / "a-folder";
  fs::create_directory(directory);
  // clang-format off
  const Case cases[] = {
      {"missing", missing, "Cannot find file " + missing.string() + "\n"},
      {"a directory", directory, "Cannot read file " + directory.string() + "\n"},
  };
  // clang-format on
  for (const auto& c : cases) {
    std::istringstream in("1\n");
    std::ostringstream out;
    Record matrix;
    matrix.fill(FILLER);
    const int filesBefore = openFiles();
    EXPECT_EQ(readMatrixFromFile(matrix.data(), in, out, c.path.string().c_str()), 0) << c.name;
    EXPECT_EQ(openFiles(), filesBefore) << c.name;
    EXPECT_EQ(out.str(), c.output) << c.name;
    EXPECT_EQ(matrix[0], FILLER) << c.name;
    EXPECT_EQ(in.tellg(), 0) << c.name << ": no reply is read";
  }
}

}  // namespace
