// The BLAS/LAPACK function table. Families call every BLAS/LAPACK routine
// through it:
//
//   const qm::LapackTable* la = nullptr;
//   if (qm::Status s = qm::RequireLapack(&la)) return s;
//   la->dgetrf(&m, &n, a, &lda, ipiv, &info);
#pragma once

#include <complex>
#include <cstddef>

#include "frame/status.h"

namespace qm {

using fint = int;
using fcomplex = std::complex<double>;
using fchar_len = std::size_t;

struct LapackTable {
#define QM_CBLAS_FN(ret, name, params) ret(*name) params;
#define QM_LAPACK_FN(ret, name, params) ret(*name) params;
#include "frame/lapack_functions.inc"
#undef QM_CBLAS_FN
#undef QM_LAPACK_FN
};

// CBLAS enumeration values (the same in every CBLAS).
enum : int {
  kCblasRowMajor = 101,
  kCblasColMajor = 102,
  kCblasNoTrans = 111,
  kCblasTrans = 112,
  kCblasConjTrans = 113,
};

// The table of the module bound at load time, or kNoLinearAlgebra when no
// BLAS/LAPACK module could be bound.
Status RequireLapack(const LapackTable** table);

}  // namespace qm
