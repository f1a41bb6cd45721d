// Printing a matrix record as a block of right-aligned columns.
//
// One field width serves the whole matrix: the digit count of the largest
// magnitude among the entries plus two (two when every entry is 0), so that
// every entry, a negative one of the largest magnitude included, keeps at
// least one blank before it. Only the rows are printed: no heading and no
// blank line around them.
#ifndef QUADRIXEL_IO_DISPLAY_H_
#define QUADRIXEL_IO_DISPLAY_H_

#include <cstdint>
#include <iostream>

// Writes each row of `matrix` to `out` as one line, entries right-aligned in
// the common field width. A row count of 0 or below prints nothing; a row
// with no columns is an empty line. The record is not changed.
void printMatrix(const std::int32_t* matrix, std::ostream& out = std::cout);

#endif  // QUADRIXEL_IO_DISPLAY_H_
