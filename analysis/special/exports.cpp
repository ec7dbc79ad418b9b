// Exports of the special functions. All but the error functions return the
// value itself; the optional-pointer exports compute the incomplete function
// at *x when x is not null, the complete one otherwise.
#include "frame/boundary.h"
#include "special/special.h"

using namespace qm::boundary;

// ---- Error functions --------------------------------------------------------------

QM_EXPORT int32_t ZMXFunc70(double x, double* result) {
  return Call(qm::special::ErfToResult, x, Out(result));
}
QM_EXPORT int32_t ZMXFunc71(double x, double* result) {
  return Call(qm::special::ErfcToResult, x, Out(result));
}

// ---- Gamma family -------------------------------------------------------------------

QM_EXPORT double ZMXFunc309(double a, const double* x) {
  return x ? qm::special::IncompleteGammaP(a, *x) : qm::special::Gamma(a);
}
QM_EXPORT double ZMXFunc314(double x) { return qm::special::GammaStirling(x); }
QM_EXPORT double ZMXFunc312(double x) { return qm::special::LogGamma(x); }
QM_EXPORT double ZMXFunc308(int32_t n) { return qm::special::Factorial(n); }
QM_EXPORT double ZMXFunc311(int32_t n) { return qm::special::LogFactorial(n); }
QM_EXPORT double ZMXFunc313(double x) { return qm::special::Digamma(x); }
QM_EXPORT double ZMXFunc307(double a, double b, const double* x) {
  return x ? qm::special::IncompleteBeta(a, b, *x) : qm::special::Beta(a, b);
}
