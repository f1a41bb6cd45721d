#include "app/inverse_dialogue.h"

#include <cassert>

#include "io/console_input.h"
#include "io/data_file_reader.h"
#include "io/display.h"
#include "io/keyboard_entry.h"
#include "matrix/adjoint.h"
#include "matrix/determinant.h"
#include "matrix/exact_range.h"
#include "matrix/matrix_record.h"

namespace {

enum class Source { kKeyboard, kFile, kNone };

// Asks where the matrix comes from until the answer is K or F (either case).
// Returns kNone when the input ends before such an answer.
Source askForSource(std::istream& in, std::ostream& out) {
  out << "Where is the data for the matrix?\n"
      << "If it will be typed in on the (K)eyboard, type K\n"
      << "If it is already in the Quadrixel (F)ile, type F\n";
  for (;;) {
    const int answer = readCharacter(in);
    if (answer < 0) return Source::kNone;
    readCharacter(in);
    if (answer == 'K' || answer == 'k') return Source::kKeyboard;
    if (answer == 'F' || answer == 'f') return Source::kFile;
    out << "Error: enter either K or F\n";
  }
}

// Prints the report on the square matrix `given`, whose shape is known to
// be square, from the determinant on; `adjoint` receives its adjoint.
void reportOnSquareMatrix(const std::int32_t* given, std::int32_t* adjoint, std::ostream& out) {
  if (matrixColumns(given) > MAX_WALK_ORDER) {
    out << "ERROR: matrix is larger than 12x12; no inverse matrix is reported\n";
    return;
  }
  const ExactRange range = checkExactRange(given);
  if (range == ExactRange::kDeterminantTooLarge) {
    out << "ERROR: determinant is too large for 32-bit integers; "
           "no inverse matrix is reported\n";
    return;
  }
  // Here the walk's determinant is the true one; with a cofactor too large
  // it is known not to be 0, so the walk is not needed at all.
  if (range == ExactRange::kAdjointTooLarge) {
    out << "ERROR: adjoint matrix is too large for 32-bit integers; "
           "no inverse matrix is reported\n";
    return;
  }
  const std::int32_t det = determinant(given);
  if (det == 0) {
    out << "Matrix is singular; there is no inverse matrix\n";
    return;
  }
  adjointMatrix(given, adjoint, out);
  out << "For the given matrix\n"
      << "  its determinant value is " << det << '\n'
      << "  and its adjoint matrix is:\n";
  printMatrix(adjoint, out);
  out << '\n';
  if (det == 1) {
    out << "The adjoint matrix is also the inverse matrix\n";
  } else {
    out << "Divide the determinant value " << det << " into the adjoint matrix\n"
        << "  to get the inverse matrix\n";
  }
}

}  // namespace

int runInverseDialogue(std::int32_t* given, std::int32_t* adjoint, const char* dataFile,
                       std::istream& in, std::ostream& out) {
  assert(given != nullptr && adjoint != nullptr && dataFile != nullptr);
  const Source source = askForSource(in, out);
  if (source == Source::kNone) {
    out.flush();
    return out ? 0 : 1;
  }

  bool haveMatrix = true;
  if (source == Source::kKeyboard) {
    out << "Input square matrix, 2x2 or larger\n";
    readMatrixFromKeyboard(given, in, out);
    // The answer 0x0, or input that ended early, leaves the empty record.
    haveMatrix = given[0] != 0;
  } else {
    haveMatrix = readMatrixFromFile(given, in, out, dataFile) != 0;
  }

  if (haveMatrix) {
    out << "\nThe given matrix is:\n";
    printMatrix(given, out);
    out << '\n';
    if (!isSquare(given)) {
      out << "ERROR: matrix is not square; there is no inverse matrix\n";
    } else {
      reportOnSquareMatrix(given, adjoint, out);
    }
  }

  // The final pause: one more character, normally the Enter of one more line.
  out.flush();
  readCharacter(in);
  out.flush();
  return out ? 0 : 1;
}
