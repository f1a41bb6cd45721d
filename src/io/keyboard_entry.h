// Filling a matrix record from what the user types.
//
// The user gives the shape as one answer ROWSxCOLUMNS, at most 12 of each
// and none negative, then every entry in turn, each cued by a line. After
// every answer one more character (normally the line end) is read and
// dropped, so numbers of one row may also be typed together on one line.
// Answers that cannot be taken are refused with a line of their own, the rest
// of that input line is dropped and the same question comes again. When the
// input ends before the matrix is complete, the record is left empty.
#ifndef QUADRIXEL_IO_KEYBOARD_ENTRY_H_
#define QUADRIXEL_IO_KEYBOARD_ENTRY_H_

#include <cstdint>
#include <iostream>

// Reads one matrix from `in` into `matrix`, prompting on `out`: size code,
// entries, then MATRIX_END. The answer 0x0, or the end of the input, leaves
// the empty record (size code 0, then MATRIX_END). `matrix` must hold at
// least 146 elements (a 12 x 12 record with its marker).
void readMatrixFromKeyboard(std::int32_t* matrix, std::istream& in = std::cin,
                            std::ostream& out = std::cout);

#endif  // QUADRIXEL_IO_KEYBOARD_ENTRY_H_
