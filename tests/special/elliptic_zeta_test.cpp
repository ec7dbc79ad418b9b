// Elliptic integrals, Jacobi functions and zeta: the crude logarithmic
// branch of K, periodicity, identities, domains and the functional equation.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "qmanlys.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kPi = 3.141592653589793;

double F(double phi, double m) { return ZMXFunc318(m, &phi); }
double E(double phi, double m) { return ZMXFunc319(m, &phi); }

TEST(EllipticComplete, ValuesDomainAndTheLogarithmicBranch) {
  EXPECT_NEAR(ZMXFunc318(0.0, nullptr), kPi / 2, 4e-16);
  EXPECT_NEAR(ZMXFunc319(0.0, nullptr), kPi / 2, 4e-16);
  EXPECT_EQ(ZMXFunc318(1.0, nullptr), kInf);
  EXPECT_EQ(ZMXFunc319(1.0, nullptr), 1.0);
  for (double m : {-0.1, 1.0000001, kNaN}) {
    EXPECT_TRUE(std::isnan(ZMXFunc318(m, nullptr))) << m;
    EXPECT_TRUE(std::isnan(ZMXFunc319(m, nullptr))) << m;
  }
  // m1 = 1 - m <= 7e-6: ln 4 - ln(m1)/2 exactly, about 1.5e-6 below K there;
  // just above 7e-6 the polynomial pair, accurate again.
  for (double target : {6.9999e-6, 1e-9, 1e-15}) {
    const double m = 1.0 - target;
    const double m1 = 1.0 - m;  // exact
    EXPECT_EQ(ZMXFunc318(m, nullptr), 1.3862943611198906 - 0.5 * std::log(m1)) << m1;
    const double exact = F(kPi / 2, m);  // Carlson's R_F
    EXPECT_GT(std::fabs(ZMXFunc318(m, nullptr) - exact), 1e-16) << m1;
    EXPECT_LT(std::fabs(ZMXFunc318(m, nullptr) / exact - 1.0), 1.6e-6) << m1;
  }
  const double m = 1.0 - 7.1e-6;
  EXPECT_NEAR(ZMXFunc318(m, nullptr), F(kPi / 2, m), 1e-14 * F(kPi / 2, m));
}

TEST(EllipticIncomplete, PeriodicityOddnessAndDomain) {
  for (double m : {-3.0, 0.0, 0.4, 0.99}) {
    const double k = F(kPi / 2, m), e = E(kPi / 2, m);
    EXPECT_NEAR(k, m >= 0 ? ZMXFunc318(m, nullptr) : k, 1e-14 * k);
    EXPECT_NEAR(e, m >= 0 ? ZMXFunc319(m, nullptr) : e, 1e-14 * e);
    for (double phi : {0.3, 1.2, 2.9}) {
      EXPECT_EQ(F(-phi, m), -F(phi, m));
      EXPECT_NEAR(F(phi + 3 * kPi, m), F(phi, m) + 6 * k, 1e-14 * (6 * k));
      EXPECT_NEAR(E(phi - 2 * kPi, m), E(phi, m) - 4 * e, 1e-14 * (4 * e));
    }
  }
  EXPECT_EQ(F(0.0, 0.5), 0.0);
  EXPECT_NEAR(F(1.0, 1.0), std::asinh(std::tan(1.0)), 1e-15);
  EXPECT_EQ(F(kPi, 1.0), kInf);
  // m > 1: real only while m sin^2 phi <= 1.
  EXPECT_FALSE(std::isnan(F(0.5, 2.0)));
  EXPECT_TRUE(std::isnan(F(0.9, 2.0)));
  EXPECT_TRUE(std::isnan(E(0.9, 2.0)));
  EXPECT_TRUE(std::isnan(F(4.0, 2.0)));
  EXPECT_TRUE(std::isnan(F(0.5, kInf)));
  EXPECT_TRUE(std::isnan(F(kNaN, 0.5)));
}

TEST(Jacobi, IdentitiesLimitsOutputsAndDomain) {
  for (double m : {0.0, 1e-13, 0.3, 0.8, 0.999999999, 1.0}) {
    for (double u : {-4.0, 0.5, 1.7, 12.0}) {
      double sn, cn, dn, phi;
      const double ret = ZMXFunc332(u, m, &sn, &cn, &dn, &phi);
      EXPECT_EQ(ret, phi);
      EXPECT_NEAR(sn * sn + cn * cn, 1.0, 4e-16) << u << " " << m;
      EXPECT_NEAR(dn * dn + m * sn * sn, 1.0, 4e-16) << u << " " << m;
      EXPECT_NEAR(std::sin(phi), sn, 1e-15);
      // am is the inverse of F (dF/dφ = 1/dn).
      EXPECT_NEAR(F(phi, m), u, 4e-16 * (std::fabs(u) + std::fabs(phi) / dn)) << u << " " << m;
    }
  }
  double sn, cn, dn, phi;
  ZMXFunc332(0.7, 0.0, &sn, &cn, &dn, &phi);
  EXPECT_NEAR(sn, std::sin(0.7), 2e-16);
  EXPECT_NEAR(cn, std::cos(0.7), 2e-16);
  EXPECT_EQ(dn, 1.0);
  EXPECT_EQ(phi, 0.7);
  ZMXFunc332(0.7, 1.0, &sn, &cn, &dn, &phi);
  EXPECT_NEAR(sn, std::tanh(0.7), 2e-16);
  EXPECT_NEAR(cn, 1.0 / std::cosh(0.7), 2e-16);
  EXPECT_EQ(cn, dn);
  EXPECT_TRUE(std::isnan(ZMXFunc332(0.7, 1.5, &sn, &cn, &dn, &phi)));
  EXPECT_TRUE(std::isnan(sn) && std::isnan(cn) && std::isnan(dn) && std::isnan(phi));
  EXPECT_TRUE(std::isnan(ZMXFunc332(0.7, -0.5, &sn, &cn, &dn, nullptr)));
  // Null outputs are skipped; the amplitude is still returned.
  double only = 7;
  const double amp = ZMXFunc332(0.7, 0.5, nullptr, &only, nullptr, nullptr);
  ZMXFunc332(0.7, 0.5, &sn, &cn, &dn, &phi);
  EXPECT_EQ(only, cn);
  EXPECT_EQ(amp, phi);
}

TEST(Zeta, PoleZerosFunctionalEquationAndRange) {
  EXPECT_EQ(ZMXFunc329(1.0), kInf);
  EXPECT_EQ(ZMXFunc329(kInf), 1.0);
  EXPECT_TRUE(std::isnan(ZMXFunc329(-kInf)));
  EXPECT_TRUE(std::isnan(ZMXFunc329(kNaN)));
  EXPECT_NEAR(ZMXFunc329(0.0), -0.5, 1e-16);
  EXPECT_NEAR(ZMXFunc329(2.0), kPi * kPi / 6, 4e-16);
  EXPECT_NEAR(ZMXFunc329(-1.0), -1.0 / 12, 3e-17);
  EXPECT_NEAR(ZMXFunc329(-3.0), 1.0 / 120, 1e-17);
  for (double x : {-2.0, -4.0, -200.0, -1000.0, -1e300}) EXPECT_EQ(ZMXFunc329(x), 0.0) << x;
  // Below -171 (Γ(1 - x) overflows) the values stay finite to about -260.
  for (double x : {-171.5, -201.0, -240.5, -259.9}) {
    EXPECT_TRUE(std::isfinite(ZMXFunc329(x))) << x;
    EXPECT_NE(ZMXFunc329(x), 0.0) << x;
  }
  EXPECT_TRUE(std::isinf(ZMXFunc329(-300.5)));
  // Either side of the pole: 1/(x - 1) + γ.
  const double above = 1.0 + 1e-10, below = 1.0 - 1e-10;
  EXPECT_NEAR(ZMXFunc329(above), 1.0 / (above - 1.0) + 0.5772156649015329, 1e-5);
  EXPECT_NEAR(ZMXFunc329(below), 1.0 / (below - 1.0) + 0.5772156649015329, 1e-5);
}

}  // namespace
