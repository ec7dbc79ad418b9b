// Elliptic integrals and functions of the elliptic design against mpmath.
#include "filters/elliptic.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>

namespace {

TEST(IirElliptic, FunctionsMatchHighPrecisionValues) {
  std::ifstream in(std::string(QM_TEST_DATA_DIR) + "/iir_elliptic_functions.txt");
  std::string text;
  int rows = 0;
  while (std::getline(in, text)) {
    std::istringstream line(text);
    std::string tag;
    line >> tag;
    if (tag == "K") {
      double kc, want;
      line >> kc >> want;
      EXPECT_NEAR(qm::filters::CompleteEllipticK(kc), want, 4e-16 * want) << text;
    } else if (tag == "sncndn") {
      double u, kc, sn, cn, dn;
      line >> u >> kc >> sn >> cn >> dn;
      const qm::filters::JacobiValues v = qm::filters::JacobiSnCnDn(u, kc);
      EXPECT_NEAR(v.sn, sn, 1e-15) << text;
      EXPECT_NEAR(v.cn, cn, 1e-14) << text;
      EXPECT_NEAR(v.dn, dn, 1e-15) << text;
    } else if (tag == "arcsc") {
      double x, kc, want;
      line >> x >> kc >> want;
      // The iteration stops at 1.2e-7 between the means; its quadratic
      // convergence leaves about 1e-14.
      EXPECT_NEAR(qm::filters::InverseJacobi(x, kc), want, 1e-13 * std::fabs(want)) << text;
    } else if (tag == "nome") {
      double tau, want;
      line >> tau >> want;
      const double k = qm::filters::ModulusFromNome(tau);
      EXPECT_NEAR(k, want, 2e-15) << text;
      EXPECT_LE(k, 1.0) << text;
    } else {
      continue;
    }
    ++rows;
  }
  EXPECT_GE(rows, 40);
  const qm::filters::JacobiValues zero = qm::filters::JacobiSnCnDn(0.0, 0.3);
  EXPECT_EQ(zero.sn, 0.0);
  EXPECT_EQ(zero.cn, 1.0);
  EXPECT_EQ(zero.dn, 1.0);
}

}  // namespace
