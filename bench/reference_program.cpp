// The determinant and the adjoint of the reference program: the
// straightforward step-by-step walk, one cofactor after the other in one
// thread. Only quadrixel_reference is built with these.
#include "matrix/adjoint.h"
#include "matrix/determinant.h"
#include "matrix/matrix_record.h"
#include "support/reference_walk.h"

std::int32_t determinant(const std::int32_t* matrix) { return referenceDeterminant(matrix); }

std::int32_t adjointMatrixWithThreads(const std::int32_t* matrix, std::int32_t* adjoint,
                                      int /*threads*/, std::ostream& out) {
  if (!isSquare(matrix)) {
    out << "Error: Matrix not square\n";
    return MATRIX_END;
  }
  referenceAdjoint(matrix, adjoint);
  return adjoint[0];
}

std::int32_t adjointMatrix(const std::int32_t* matrix, std::int32_t* adjoint, std::ostream& out) {
  return adjointMatrixWithThreads(matrix, adjoint, 1, out);
}
