// Quadrixel: reports the determinant and the adjoint of one integer matrix,
// typed at the keyboard or picked from the data file, and how to form its
// inverse from them.
#include <iostream>

#include "app/command_line.h"
#include "app/inverse_dialogue.h"
#include "matrix/matrix_record.h"

int main(int argc, char** argv) {
  // The console streams are used only through the C++ streams, in order.
  std::ios::sync_with_stdio(false);
  const CommandLine line = parseCommandLine(argc, argv);
  if (line.request != Request::kDialogue) return answerRequest(line, std::cout, std::cerr);
  static MatrixBuffer given;
  static MatrixBuffer adjoint;
  return runInverseDialogue(given, adjoint, line.dataFile, std::cin, std::cout);
}
