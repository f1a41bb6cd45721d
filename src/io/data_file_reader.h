// Picking a matrix out of the data file.
//
// The data file is free text with bracketed entries: an entry runs from a
// '[' to the first ']' after it, and the character right after the '['
// tells its kind; 'M' or 'm' marks matrix data, a size code (rows * 100 +
// columns) followed by the entries. The reader lists every entry under its
// number, asks the user for one and parses the chosen matrix entry.
//
// The file is streamed, never held: the listing and the search for the
// chosen entry each read it once from the start, in fixed-size chunks, so
// time is linear in the file's size and memory does not grow with it. Only
// the chosen entry is copied, and its body may hold at most 1000 characters.
// A file that ends before the chosen entry does when it is read again has
// changed since it was listed, and is refused as such. Every refusal prints
// one line, returns 0 and leaves the caller's buffer untouched; the file is
// closed before the reader returns, on every road.
#ifndef QUADRIXEL_IO_DATA_FILE_READER_H_
#define QUADRIXEL_IO_DATA_FILE_READER_H_

#include <cstdint>
#include <iostream>

// The data file that the program reads when its command line names none,
// looked for in the current directory.
inline constexpr const char* DATA_FILE_NAME = "MatrixDataFile2.txt";

// Most characters in the body of a matrix entry (after its marker, before
// its ']') that the reader accepts.
inline constexpr int ENTRY_BODY_CHARS = 1000;

// Lists the entries of the data file at `path` on `out`, reads the user's
// choice from `in` and parses the chosen matrix entry into `matrix`.
// Returns the size code stored, or 0 when no matrix was read (the caller's
// buffer then untouched, except for a parsed size code of 0). A message
// about the file names it by `path`, as given. `matrix` must hold
// MATRIX_BUFFER_INTS elements.
std::int32_t readMatrixFromFile(std::int32_t* matrix, std::istream& in = std::cin,
                                std::ostream& out = std::cout, const char* path = DATA_FILE_NAME);

#endif  // QUADRIXEL_IO_DATA_FILE_READER_H_
