// The one dialogue that a run of the program consists of.
//
// It asks where the matrix comes from (K for the keyboard, F for the data
// file), reads it, prints it and, when it is square and regular, reports its
// determinant and adjoint and how to divide the one into the other for the
// inverse. Every run ends with a pause for one more character. A value that
// the 32-bit arithmetic cannot hold is refused, never printed wrapped.
#ifndef QUADRIXEL_APP_INVERSE_DIALOGUE_H_
#define QUADRIXEL_APP_INVERSE_DIALOGUE_H_

#include <cstdint>
#include <iostream>

// Runs the dialogue once on `in` and `out`, using `given` for the matrix read
// and `adjoint` for its adjoint; both must hold MATRIX_BUFFER_INTS elements.
// The answer F reads the data file at the path `dataFile`, which every
// message about that file names as it is given here. Returns the process
// exit status: 0, or 1 when `out` could not be written.
int runInverseDialogue(std::int32_t* given, std::int32_t* adjoint, const char* dataFile,
                       std::istream& in = std::cin, std::ostream& out = std::cout);

#endif  // QUADRIXEL_APP_INVERSE_DIALOGUE_H_
