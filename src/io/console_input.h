// Reading answers from the console the way the program's dialogue expects:
// a decimal integer as the standard "%d" conversion finds it, one character
// at a time, or the rest of a line.
//
// scanInteger never has undefined results: a run of digits of any length is
// read whole and its value saturates, so that a caller can tell a number
// outside the signed 32-bit range from one inside it.
#ifndef QUADRIXEL_IO_CONSOLE_INPUT_H_
#define QUADRIXEL_IO_CONSOLE_INPUT_H_

#include <cstdint>
#include <iostream>

enum class ScanStatus {
  kNumber,      // a number was read into *value
  kNoNumber,    // the next character cannot start a number; it is left unread
  kEndOfInput,  // the input ended before a number
};

// Magnitude at which scanInteger stops growing a value; far beyond 32 bits.
inline constexpr std::int64_t SCAN_SATURATION = 1'000'000'000'000;

// Reads an integer like "%d": skips white space, takes one optional sign and
// a run of digits. On kNumber stores the value, clamped to +-SCAN_SATURATION,
// and leaves the character after the digits unread. A sign that is not
// followed by a digit is consumed. *value is written only on kNumber.
ScanStatus scanInteger(std::istream& in, std::int64_t* value);

// True when `value` lies in -2147483648 .. 2147483647.
inline bool fitsInt32(std::int64_t value) { return value >= INT32_MIN && value <= INT32_MAX; }

// Reads and returns one character like getchar: its value as unsigned char,
// or -1 at the end of the input.
int readCharacter(std::istream& in);

// Reads and drops characters up to and including the next line end.
void dropRestOfLine(std::istream& in);

#endif  // QUADRIXEL_IO_CONSOLE_INPUT_H_
