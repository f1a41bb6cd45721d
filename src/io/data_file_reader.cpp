#include "io/data_file_reader.h"

#include <algorithm>
#include <cassert>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "io/console_input.h"
#include "matrix/matrix_record.h"

namespace {

// Characters fetched from the data file by one read.
constexpr std::streamsize CHUNK_CHARS = 1 << 16;

// A digit run is read up to this value; anything larger stays at it, which
// is still beyond every value that the record can hold.
constexpr std::int64_t DIGIT_RUN_CEILING = 10'000'000'000;

// The open data file and the chunk of it read last.
struct DataFile {
  std::ifstream stream;
  char chunk[CHUNK_CHARS];
  std::streamsize length = 0;  // characters held in chunk
  std::streamsize next = 0;    // index of the next unread one
  bool failed = false;         // a read or the rewind failed; stays set
};

// Fetches the next chunk. Returns false at the end of the file or, with
// `failed` set, when the file cannot be read. A stream in error never
// reaches its end-of-file state, so the error is tested for on its own.
bool refill(DataFile& file) {
  file.next = 0;
  file.length = 0;
  if (file.failed) return false;
  if (file.stream.good()) {
    file.stream.read(file.chunk, CHUNK_CHARS);
    file.length = file.stream.gcount();
  }
  if (file.stream.bad() || (file.length == 0 && !file.stream.eof())) {
    file.failed = true;
    file.length = 0;
  }
  return file.length > 0;
}

// Returns the next character of the file as an unsigned char value, or -1
// at its end or on a read error.
int nextCharacter(DataFile& file) {
  if (file.next == file.length && !refill(file)) return -1;
  return static_cast<unsigned char>(file.chunk[file.next++]);
}

enum class Seek { kFound, kEnd, kError };

// Reads up to and including the next `target`. The characters before it are
// written to *echo when `echo` is not null.
Seek skipPast(DataFile& file, char target, std::ostream* echo) {
  for (;;) {
    if (file.next == file.length && !refill(file)) {
      return file.failed ? Seek::kError : Seek::kEnd;
    }
    const char* start = file.chunk + file.next;
    const std::streamsize left = file.length - file.next;
    const void* hit = std::memchr(start, target, static_cast<std::size_t>(left));
    const std::streamsize span = hit ? static_cast<const char*>(hit) - start : left;
    if (echo) echo->write(start, span);
    file.next += span;
    if (hit) {
      ++file.next;
      return Seek::kFound;
    }
  }
}

// Goes back to the start of the file. Returns false, with `failed` set,
// when the stream cannot be positioned.
bool rewind(DataFile& file) {
  file.next = 0;
  file.length = 0;
  file.stream.clear();
  file.stream.seekg(0);
  if (file.stream.fail()) file.failed = true;
  return !file.failed;
}

void printCannotRead(std::ostream& out, const char* path) {
  out << "Cannot read file " << path << '\n';
}

// Prints why an entry could not be read to its end: `seek` is kEnd or kError.
void printUnfinished(Seek seek, std::ostream& out, const char* path) {
  if (seek == Seek::kError) {
    printCannotRead(out, path);
  } else {
    out << "Input-array in file has no closing ']'\n";
  }
}

// Prints why the chosen entry could not be read again after the listing:
// `seek` is kError when the file could not be read, kEnd when it ended
// before the entry did, so that it is no longer the file that was listed.
void printRereadFailed(Seek seek, std::ostream& out, const char* path) {
  if (seek == Seek::kError) {
    printCannotRead(out, path);
  } else {
    out << "Data file " << path << " changed since it was listed\n";
  }
}

// Writes every entry of the file to `out` under its number, from the read
// position on. Returns the number of entries, or -1 when the listing could
// not be finished; the reason is then printed.
std::int64_t listEntries(DataFile& file, std::ostream& out, const char* path) {
  std::int64_t count = 0;
  for (;;) {
    Seek seek = skipPast(file, '[', nullptr);
    if (seek == Seek::kEnd) return count;
    if (seek == Seek::kError) {
      printCannotRead(out, path);
      return -1;
    }
    ++count;
    out << count << "  [";
    seek = skipPast(file, ']', &out);
    if (seek != Seek::kFound) {
      out << '\n';
      printUnfinished(seek, out, path);
      return -1;
    }
    out << "]\n\n";
  }
}

// Asks for the number of an entry until the reply is 0 or lies in
// 1 .. `count`, and returns it. One character after each reply is dropped.
// The end of the input returns 0, as the reply 0 does.
std::int64_t askForChoice(std::int64_t count, std::istream& in, std::ostream& out) {
  // A reply with no number in it leaves the choice as it was.
  std::int64_t choice = 0;
  for (;;) {
    out << "Input number before the selected data-input (zero to abort):\n";
    if (scanInteger(in, &choice) == ScanStatus::kEndOfInput) return 0;
    readCharacter(in);
    if (choice == 0) return 0;
    if (choice >= 1 && choice <= count && fitsInt32(choice)) return choice;
    out << "Number must be between 1 and " << count << '\n';
  }
}

// Lists the entries of the file at `path`, asks for one and copies the body
// of the chosen matrix entry (the characters after its marker, before its
// ']') into `body`, setting *length. Returns false when there is no body to
// parse, having printed the reason if there is one. The file is closed when
// this returns.
bool fetchChosenBody(char* body, int* length, std::istream& in, std::ostream& out,
                     const char* path) {
  DataFile file;
  file.stream.open(path, std::ios::in);
  if (!file.stream.is_open()) {
    // Only a file that is not there is missing; one that is there but could
    // not be opened (no permission, or a directory where a directory cannot
    // be opened at all) cannot be read.
    std::error_code error;
    if (std::filesystem::status(path, error).type() == std::filesystem::file_type::not_found) {
      out << "Cannot find file " << path << '\n';
    } else {
      printCannotRead(out, path);
    }
    return false;
  }
  const std::int64_t count = listEntries(file, out, path);
  if (count < 0) return false;
  const std::int64_t choice = askForChoice(count, in, out);
  if (choice == 0) return false;

  if (!rewind(file)) {
    printCannotRead(out, path);
    return false;
  }
  // The entry is found again exactly as the listing delimited the entries,
  // so that a ']' outside every entry is passed over here as it was there.
  for (std::int64_t entry = 1; entry <= choice; ++entry) {
    Seek seek = skipPast(file, '[', nullptr);
    if (seek == Seek::kFound && entry < choice) seek = skipPast(file, ']', nullptr);
    if (seek != Seek::kFound) {
      printRereadFailed(seek, out, path);
      return false;
    }
  }

  const int marker = nextCharacter(file);
  if (marker < 0) {
    printRereadFailed(file.failed ? Seek::kError : Seek::kEnd, out, path);
    return false;
  }
  if (marker != 'M' && marker != 'm') {
    out << "Input-array in file not marked 'M' (after '[') for Matrix data\n";
    return false;
  }
  *length = 0;
  for (;;) {
    const int c = nextCharacter(file);
    if (c < 0) {
      printRereadFailed(file.failed ? Seek::kError : Seek::kEnd, out, path);
      return false;
    }
    if (c == ']') return true;
    if (*length == ENTRY_BODY_CHARS) {
      out << "Input-array in file is longer than 1000 characters\n";
      return false;
    }
    body[(*length)++] = static_cast<char>(c);
  }
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Finds the next run of digits in body[*at .. length) and reads it into
// *magnitude, held at DIGIT_RUN_CEILING at most; *negative tells whether a
// '-' stands right before the run. *at moves past the run. Returns false,
// with *at at `length`, when no digit is left.
bool nextDigitRun(const char* body, int length, int* at, std::int64_t* magnitude, bool* negative) {
  while (*at < length && !isDigit(body[*at])) ++*at;
  if (*at == length) return false;
  *negative = *at > 0 && body[*at - 1] == '-';
  std::int64_t value = 0;
  while (*at < length && isDigit(body[*at])) {
    value = std::min(value * 10 + (body[*at] - '0'), DIGIT_RUN_CEILING);
    ++*at;
  }
  *magnitude = value;
  return true;
}

enum class Parse { kMatrix, kTooFewNumbers, kTooLarge, kNumberAbove, kNumberBelow };

// Parses the body of a matrix entry into `record`: the size code (no sign is
// taken before it), then rows * columns numbers, then MATRIX_END. Whatever
// follows them is ignored. `record` holds MATRIX_BUFFER_INTS elements and
// is written in part even when the body is refused.
Parse parseBody(const char* body, int length, std::int32_t* record) {
  int at = 0;
  std::int64_t code = 0;
  bool negative = false;
  if (!nextDigitRun(body, length, &at, &code, &negative)) return Parse::kTooFewNumbers;
  if (code > INT32_MAX) return Parse::kNumberAbove;
  const std::int64_t rows = code / 100;
  const std::int64_t entries = rows * (code % 100);
  if (rows > MATRIX_MAX_ENTRIES || entries > MATRIX_MAX_ENTRIES) return Parse::kTooLarge;

  record[0] = static_cast<std::int32_t>(code);
  for (std::int64_t i = 1; i <= entries; ++i) {
    std::int64_t magnitude = 0;
    if (!nextDigitRun(body, length, &at, &magnitude, &negative)) {
      return Parse::kTooFewNumbers;
    }
    const std::int64_t value = negative ? -magnitude : magnitude;
    if (value > INT32_MAX) return Parse::kNumberAbove;
    if (value < INT32_MIN) return Parse::kNumberBelow;
    record[i] = static_cast<std::int32_t>(value);
  }
  record[entries + 1] = MATRIX_END;
  return Parse::kMatrix;
}

}  // namespace

std::int32_t readMatrixFromFile(std::int32_t* matrix, std::istream& in, std::ostream& out,
                                const char* path) {
  assert(matrix != nullptr && path != nullptr);
  char body[ENTRY_BODY_CHARS];
  int length = 0;
  if (!fetchChosenBody(body, &length, in, out, path)) return 0;

  // The entry is parsed aside, so that a refused one leaves `matrix` as it was.
  MatrixBuffer parsed;
  switch (parseBody(body, length, parsed)) {
    case Parse::kMatrix: break;
    case Parse::kTooFewNumbers:
      out << "Input-array in file holds fewer numbers than its size code calls for\n";
      return 0;
    case Parse::kTooLarge:
      out << "Input-array in file is too large for a matrix of 999 entries\n";
      return 0;
    case Parse::kNumberAbove:
      out << "Input-array in file holds a number above 2147483647\n";
      return 0;
    case Parse::kNumberBelow:
      out << "Input-array in file holds a number below -2147483648\n";
      return 0;
  }
  const int used = matrixRows(parsed) * matrixColumns(parsed) + 2;
  std::copy(parsed, parsed + used, matrix);
  return matrix[0];
}
