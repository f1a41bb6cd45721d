#include "matrix/exact_range.h"

ExactRange checkExactRange(const std::int32_t* /*matrix*/) { return ExactRange::kFits; }
