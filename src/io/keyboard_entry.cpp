#include "io/keyboard_entry.h"

#include "io/console_input.h"
#include "matrix/matrix_record.h"

namespace {

enum class ShapeAnswer { kShape, kMalformed, kEndOfInput };

// Reads an answer of the form "%dx%d". The x must follow the row count
// directly; blanks may stand before each count.
ShapeAnswer scanShape(std::istream& in, std::int64_t* rows, std::int64_t* columns) {
  ScanStatus status = scanInteger(in, rows);
  if (status == ScanStatus::kEndOfInput) return ShapeAnswer::kEndOfInput;
  if (status == ScanStatus::kNoNumber) return ShapeAnswer::kMalformed;
  const int x = in.peek();
  if (x == std::istream::traits_type::eof()) return ShapeAnswer::kEndOfInput;
  if (x != 'x') return ShapeAnswer::kMalformed;
  in.get();
  status = scanInteger(in, columns);
  if (status == ScanStatus::kEndOfInput) return ShapeAnswer::kEndOfInput;
  if (status == ScanStatus::kNoNumber) return ShapeAnswer::kMalformed;
  return ShapeAnswer::kShape;
}

void storeEmptyRecord(std::int32_t* matrix) {
  matrix[0] = 0;
  matrix[1] = MATRIX_END;
}

// Prints the cue lines for column `column` of a row of `columns` entries.
void printCues(std::int64_t column, std::int64_t columns, std::ostream& out) {
  if (column == 1) out << "first number\n";
  if (column > 1 && column < columns) out << "next number\n";
  if (column == columns) out << "last number\n";
}

}  // namespace

void readMatrixFromKeyboard(std::int32_t* matrix, std::istream& in, std::ostream& out) {
  std::int64_t rows = 0;
  std::int64_t columns = 0;
  for (;;) {
    // "termimates" and the two blanks at the end are the prompt as users
    // have always seen it: keep them exactly, misspelling included.
    out << "Enter size of matrix ROWSxCOLUMNS (0x0 termimates input)  \n";
    const ShapeAnswer answer = scanShape(in, &rows, &columns);
    if (answer == ShapeAnswer::kEndOfInput) {
      storeEmptyRecord(matrix);
      return;
    }
    if (answer == ShapeAnswer::kMalformed) {
      out << "Size must be typed as ROWSxCOLUMNS, for example 3x3\n";
      dropRestOfLine(in);
      continue;
    }
    readCharacter(in);
    if (rows > MAX_KEYBOARD_DIM || columns > MAX_KEYBOARD_DIM) {
      out << "No size larger than 12\n";
    } else if (rows < 0 || columns < 0) {
      out << "No size smaller than 0\n";
    } else {
      break;
    }
  }

  matrix[0] = static_cast<std::int32_t>(rows * 100 + columns);
  std::int32_t next = 1;
  for (std::int64_t i = 1; i <= rows; ++i) {
    out << "Prepare to enter " << columns << " numbers in row " << i << '\n';
    for (std::int64_t j = 1; j <= columns; ++j) {
      printCues(j, columns, out);
      std::int64_t value = 0;
      for (;;) {
        const ScanStatus status = scanInteger(in, &value);
        if (status == ScanStatus::kEndOfInput) {
          storeEmptyRecord(matrix);
          return;
        }
        if (status == ScanStatus::kNumber && fitsInt32(value)) break;
        out << "Type a whole number from -2147483648 to 2147483647\n";
        dropRestOfLine(in);
        printCues(j, columns, out);
      }
      readCharacter(in);
      matrix[next++] = static_cast<std::int32_t>(value);
    }
  }
  matrix[next] = MATRIX_END;
}
