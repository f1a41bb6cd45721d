// The bodies of the fuzz targets: each takes one input of raw bytes, runs one
// of the program's readers (or the whole dialogue) on it and checks what the
// run left behind.
//
// One fuzz input stands for the console input and, optionally, the data
// file: the bytes before FUZZ_DATA_FILE_SEPARATOR are what the user types,
// the bytes after it are the data file; without the separator there is no
// data file. The harnesses are plain functions so that the normal test build
// can replay every saved input through them under its own sanitizers; the
// libFuzzer entry points only call them and abort on a reported fault.
//
// The file-using harnesses write the data file into a private temporary
// directory, made on their first call, and hand its path to the program.
#ifndef QUADRIXEL_FUZZ_HARNESSES_H_
#define QUADRIXEL_FUZZ_HARNESSES_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Parts one fuzz input is split into.
struct FuzzInput {
  std::string_view console;   // what the user types
  bool hasDataFile;           // false: no data file in the directory
  std::string_view dataFile;  // the data file's bytes, when it exists
};

// Between the console input and the data file in one fuzz input.
inline constexpr std::string_view FUZZ_DATA_FILE_SEPARATOR = "\n--- MatrixDataFile2.txt ---\n";

// The dialogue harness skips inputs with more digit runs than this in the
// console part or in the data file; see fuzzInverseDialogue.
inline constexpr int FUZZ_DIALOGUE_MAX_DIGIT_RUNS = 80;

// Splits `size` bytes at the first separator. Any bytes, any size.
FuzzInput splitFuzzInput(const std::uint8_t* data, std::size_t size);

// Number of maximal runs of decimal digits in `text`.
int countDigitRuns(std::string_view text);

// Each harness returns "" when the run ended well, else a description of the
// fault found. Any bytes, any size.

// Keyboard entry on the whole input (no data file part): the record must
// hold a shape of 0 .. 12 by 0 .. 12, its entries and MATRIX_END, and
// nothing may be written past it (but for the empty record, see there).
std::string fuzzKeyboardEntry(const std::uint8_t* data, std::size_t size);

// Data file reader on the console part and the data file: a result other
// than 0 must be the size code of a record that fits its buffer and ends in
// MATRIX_END; on 0 the buffer is untouched (or holds the empty record); the
// data file is closed again.
std::string fuzzDataFileReader(const std::uint8_t* data, std::size_t size);

// The whole dialogue on the console part and the data file: it must end
// with the exit status 0 and leave no file open. Inputs that could bring a
// matrix of order 9 or more (FUZZ_DIALOGUE_MAX_DIGIT_RUNS) are skipped, as
// the walk over all permutations of a large order takes a long while under
// the fuzzer; the data file reader's own target covers large entries.
std::string fuzzInverseDialogue(const std::uint8_t* data, std::size_t size);

#endif  // QUADRIXEL_FUZZ_HARNESSES_H_
