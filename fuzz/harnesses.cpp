#include "harnesses.h"

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <sstream>
#include <system_error>

#include "app/inverse_dialogue.h"
#include "io/data_file_reader.h"
#include "io/keyboard_entry.h"
#include "matrix/matrix_record.h"
#include "support/temp_directory.h"

namespace {

// Filler of every buffer element that the unit under test should not write.
constexpr std::int32_t CANARY = 0x5A5A5A5A;
// Elements of the largest record that the keyboard entry writes: 12 x 12
// entries between the size code and the end marker.
constexpr int KEYBOARD_RECORD_INTS = MAX_KEYBOARD_DIM * MAX_KEYBOARD_DIM + 2;

// The directory of the data file, made on the first call of dataFilePath.
std::filesystem::path* workDirectory = nullptr;

void removeWorkDirectory() {
  std::error_code ignored;
  std::filesystem::remove_all(*workDirectory, ignored);
}

// The path of the data file that the file-using harnesses hand to the
// program: in a fresh temporary directory, made once per process.
const std::string& dataFilePath() {
  static const std::string* path = nullptr;
  if (path != nullptr) return *path;
  const std::filesystem::path made = makeTemporaryDirectory("quadrixel-fuzz");
  if (made.empty()) {
    std::fprintf(stderr, "quadrixel fuzz harness: no temporary directory to work in\n");
    std::abort();
  }
  workDirectory = new std::filesystem::path(made);
  std::atexit(removeWorkDirectory);
  path = new std::string((made / DATA_FILE_NAME).string());
  return *path;
}

// Puts the data file of `input` at `path`, or removes it.
void placeDataFile(const FuzzInput& input, const std::string& path) {
  std::remove(path.c_str());
  if (!input.hasDataFile) return;
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr ||
      std::fwrite(input.dataFile.data(), 1, input.dataFile.size(), file) != input.dataFile.size() ||
      std::fclose(file) != 0) {
    std::perror("quadrixel fuzz harness: data file");
    std::abort();
  }
}

// The lowest free file descriptor: it changes when a run leaves one open.
// Always 0 on Windows, where files are not counted.
int lowestFreeDescriptor() {
#ifdef _WIN32
  return 0;
#else
  const int probe = open("/dev/null", O_RDONLY);
  close(probe);
  return probe;
#endif
}

// Heap buffer of exactly `count` elements, so that the address sanitizer
// sees any access beyond it, filled with CANARY.
std::unique_ptr<std::int32_t[]> canaryBuffer(int count) {
  std::unique_ptr<std::int32_t[]> buffer(new std::int32_t[count]);
  for (int i = 0; i < count; ++i) buffer[i] = CANARY;
  return buffer;
}

// "" when elements `from` .. `count` - 1 still hold CANARY.
std::string untouchedFrom(const std::int32_t* buffer, int from, int count) {
  for (int i = from; i < count; ++i) {
    if (buffer[i] != CANARY) return "element " + std::to_string(i) + " written past the record";
  }
  return "";
}

}  // namespace

FuzzInput splitFuzzInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view all(reinterpret_cast<const char*>(data), size);
  const std::size_t at = all.find(FUZZ_DATA_FILE_SEPARATOR);
  if (at == std::string_view::npos) return {all, false, {}};
  return {all.substr(0, at), true, all.substr(at + FUZZ_DATA_FILE_SEPARATOR.size())};
}

int countDigitRuns(std::string_view text) {
  int runs = 0;
  bool inRun = false;
  for (const char c : text) {
    const bool digit = c >= '0' && c <= '9';
    if (digit && !inRun) ++runs;
    inRun = digit;
  }
  return runs;
}

std::string fuzzKeyboardEntry(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::ostringstream out;
  const auto record = canaryBuffer(KEYBOARD_RECORD_INTS);
  readMatrixFromKeyboard(record.get(), in, out);

  const std::int32_t rows = matrixRows(record.get());
  const std::int32_t columns = matrixColumns(record.get());
  if (rows < 0 || rows > MAX_KEYBOARD_DIM || columns < 0 || columns > MAX_KEYBOARD_DIM) {
    return "size code " + std::to_string(record[0]) + " outside 0x0 .. 12x12";
  }
  const int end = rows * columns + 1;
  if (record[end] != MATRIX_END) return "no MATRIX_END after the entries";
  // An entry cut short by the end of the input leaves the empty record with
  // the numbers read so far behind its marker; they lie within the largest
  // record, and any write beyond that buffer meets the address sanitizer.
  if (record[0] == 0) return "";
  return untouchedFrom(record.get(), end + 1, KEYBOARD_RECORD_INTS);
}

std::string fuzzDataFileReader(const std::uint8_t* data, std::size_t size) {
  const std::string& path = dataFilePath();
  const FuzzInput input = splitFuzzInput(data, size);
  placeDataFile(input, path);
  std::istringstream in{std::string(input.console)};
  std::ostringstream out;
  const auto record = canaryBuffer(MATRIX_BUFFER_INTS);
  const int freeBefore = lowestFreeDescriptor();
  const std::int32_t result = readMatrixFromFile(record.get(), in, out, path.c_str());

  if (lowestFreeDescriptor() != freeBefore) return "the data file was left open";
  if (result == 0) {
    if (record[0] == CANARY) return untouchedFrom(record.get(), 1, MATRIX_BUFFER_INTS);
    if (record[0] != 0 || record[1] != MATRIX_END) return "buffer written on a refusal";
    return untouchedFrom(record.get(), 2, MATRIX_BUFFER_INTS);
  }
  if (record[0] != result) return "result differs from the size code stored";
  const std::int32_t rows = matrixRows(record.get());
  const std::int32_t columns = matrixColumns(record.get());
  if (result < 0 || rows > MATRIX_MAX_ENTRIES || rows * columns > MATRIX_MAX_ENTRIES) {
    return "size code " + std::to_string(result) + " does not fit the record";
  }
  const int end = rows * columns + 1;
  if (record[end] != MATRIX_END) return "no MATRIX_END after the entries";
  return untouchedFrom(record.get(), end + 1, MATRIX_BUFFER_INTS);
}

std::string fuzzInverseDialogue(const std::uint8_t* data, std::size_t size) {
  const FuzzInput input = splitFuzzInput(data, size);
  // An order-n matrix takes n * n numbers, each a digit run of its own in
  // the part that supplies it; at most 80 runs in each part keep the order
  // at 8 or below, whose report takes some 30 ms under the fuzzer (order 10
  // takes half a second, order 12 longer than an input may take).
  if (countDigitRuns(input.console) > FUZZ_DIALOGUE_MAX_DIGIT_RUNS ||
      countDigitRuns(input.dataFile) > FUZZ_DIALOGUE_MAX_DIGIT_RUNS) {
    return "";
  }
  const std::string& path = dataFilePath();
  placeDataFile(input, path);
  std::istringstream in{std::string(input.console)};
  std::ostringstream out;
  const auto given = canaryBuffer(MATRIX_BUFFER_INTS);
  const auto adjoint = canaryBuffer(MATRIX_BUFFER_INTS);
  const int freeBefore = lowestFreeDescriptor();
  const int status = runInverseDialogue(given.get(), adjoint.get(), path.c_str(), in, out);

  if (lowestFreeDescriptor() != freeBefore) return "the data file was left open";
  if (status != 0) return "exit status " + std::to_string(status) + " with a working output";
  return "";
}
