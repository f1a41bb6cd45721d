// Quadrixel: reports the determinant and the adjoint of one integer matrix,
// typed at the keyboard or picked from the data file, and how to form its
// inverse from them.
#include <iostream>

#include "app/inverse_dialogue.h"
#include "matrix/matrix_record.h"

int main() {
  // The console streams are used only through the C++ streams, in order.
  std::ios::sync_with_stdio(false);
  static MatrixBuffer given;
  static MatrixBuffer adjoint;
  return runInverseDialogue(given, adjoint, std::cin, std::cout);
}
