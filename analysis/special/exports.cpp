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

// ---- Exponential and trigonometric-type integrals ------------------------------------

QM_EXPORT double ZMXFunc321(double x, int32_t n) {
  return qm::special::ExponentialIntegralEn(x, n);
}
QM_EXPORT double ZMXFunc331(double x, double* s, double* c) {
  double sv, cv;
  qm::special::FresnelIntegrals(x, &sv, &cv);
  if (s) *s = sv;
  if (c) *c = cv;
  return 0.0;
}
QM_EXPORT double ZMXFunc325(double x) { return qm::special::HyperbolicSineIntegral(x); }
QM_EXPORT double ZMXFunc324(double x) { return qm::special::HyperbolicCosineIntegral(x); }
QM_EXPORT double ZMXFunc322(double x) { return qm::special::CosineIntegral(x); }
QM_EXPORT double ZMXFunc323(double x) { return qm::special::SineIntegral(x); }
QM_EXPORT double ZMXFunc320(double x) { return qm::special::DawsonIntegral(x); }
QM_EXPORT double ZMXFunc326(double x) { return qm::special::Dilogarithm(x); }

// ---- Bessel and Airy functions ---------------------------------------------------------

QM_EXPORT double ZMXFunc302(double v, double x) { return qm::special::BesselJ(v, x); }
QM_EXPORT double ZMXFunc301(double v, double x) { return qm::special::BesselY(v, x); }
QM_EXPORT double ZMXFunc303(int32_t n, double x) { return qm::special::SphericalBesselJ(n, x); }
QM_EXPORT double ZMXFunc304(int32_t n, double x) { return qm::special::SphericalBesselY(n, x); }
QM_EXPORT double ZMXFunc305(double v, double x) { return qm::special::BesselI(v, x); }
QM_EXPORT double ZMXFunc330(double x, double* ai, double* aip, double* bi, double* bip) {
  double v[4];
  qm::special::Airy(x, &v[0], &v[1], &v[2], &v[3]);
  if (ai) *ai = v[0];
  if (aip) *aip = v[1];
  if (bi) *bi = v[2];
  if (bip) *bip = v[3];
  return 0.0;
}

// ---- Elliptic integrals and functions, zeta ----------------------------------------------

QM_EXPORT double ZMXFunc318(double m, const double* phi) {
  return phi ? qm::special::EllipticF(*phi, m) : qm::special::EllipticK(m);
}
QM_EXPORT double ZMXFunc319(double m, const double* phi) {
  return phi ? qm::special::EllipticEIncomplete(*phi, m) : qm::special::EllipticE(m);
}
QM_EXPORT double ZMXFunc332(double u, double m, double* sn, double* cn, double* dn, double* phi) {
  double s, c, d;
  const double amplitude = qm::special::JacobiElliptic(u, m, &s, &c, &d);
  if (sn) *sn = s;
  if (cn) *cn = c;
  if (dn) *dn = d;
  if (phi) *phi = amplitude;
  return amplitude;
}
QM_EXPORT double ZMXFunc329(double x) { return qm::special::RiemannZeta(x); }

// ---- Hypergeometric functions and Struve ---------------------------------------------------

QM_EXPORT double ZMXFunc315(double a, double b, double c, double x) {
  return qm::special::Hypergeometric2F1(a, b, c, x);
}
QM_EXPORT double ZMXFunc316(double a, double b, double x) {
  return qm::special::Hypergeometric1F1(a, b, x);
}
QM_EXPORT double ZMXFunc328(double v, double x) { return qm::special::Struve(v, x); }
