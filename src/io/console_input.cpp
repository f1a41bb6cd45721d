#include "io/console_input.h"

namespace {

using Traits = std::istream::traits_type;

bool isBlank(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(int c) { return c >= '0' && c <= '9'; }

}  // namespace

ScanStatus scanInteger(std::istream& in, std::int64_t* value) {
  int c = in.peek();
  while (c != Traits::eof() && isBlank(c)) {
    in.get();
    c = in.peek();
  }
  if (c == Traits::eof()) return ScanStatus::kEndOfInput;

  bool negative = false;
  if (c == '+' || c == '-') {
    negative = (c == '-');
    in.get();
    c = in.peek();
    if (c == Traits::eof()) return ScanStatus::kEndOfInput;
  }
  if (!isDigit(c)) return ScanStatus::kNoNumber;

  std::int64_t magnitude = 0;
  while (isDigit(c)) {
    magnitude = magnitude * 10 + (c - '0');
    if (magnitude > SCAN_SATURATION) magnitude = SCAN_SATURATION;
    in.get();
    c = in.peek();
  }
  *value = negative ? -magnitude : magnitude;
  return ScanStatus::kNumber;
}

int readCharacter(std::istream& in) {
  const int c = in.get();
  return c == Traits::eof() ? -1 : c;
}

void dropRestOfLine(std::istream& in) {
  for (int c = in.get(); c != Traits::eof() && c != '\n'; c = in.get()) {
  }
}
