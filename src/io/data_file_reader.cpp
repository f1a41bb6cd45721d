#include "io/data_file_reader.h"

std::int32_t readMatrixFromFile(std::int32_t* /*matrix*/, std::istream& /*in*/,
                                std::ostream& out, const char* path) {
  out << "Cannot find file " << path << '\n';
  return 0;
}
