// A stand-in BLAS/LAPACK module: every routine of the function table as a
// stub, plus a thread-count setter whose last argument the tests read back.
#include <complex>
#include <cstddef>

using fint = int;
using fcomplex = std::complex<double>;
using fchar_len = std::size_t;

#pragma GCC diagnostic ignored "-Wunused-parameter"
#define QM_CBLAS_FN(ret, name, params) \
  extern "C" __attribute__((visibility("default"))) ret name params { return ret(); }
#define QM_LAPACK_FN(ret, name, params) \
  extern "C" __attribute__((visibility("default"))) ret name##_ params { return ret(); }
#include "frame/lapack_functions.inc"

static int fake_threads = 0;
extern "C" __attribute__((visibility("default"))) void openblas_set_num_threads(int n) {
  fake_threads = n;
}
extern "C" __attribute__((visibility("default"))) int fake_blas_thread_count() {
  return fake_threads;
}
