// The special functions against mpmath at 30 digits (data/golden.tsv, made
// by data/make_golden.py): every case within its function's bound, and the
// accuracy table (max and rms error in units of 2^-52 relative) printed.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "qmanlys.h"
#include "special/special.h"

namespace {

struct Case {
  std::string name;
  std::vector<double> args;
  double expected;
  double scale;
};

std::vector<Case> LoadCases() {
  std::vector<Case> cases;
  std::ifstream in(QM_TEST_DATA_DIR "/golden.tsv");
  std::string line;
  while (std::getline(in, line)) {
    std::istringstream fields(line);
    Case c;
    std::string field;
    std::vector<std::string> parts;
    while (std::getline(fields, field, '\t')) parts.push_back(field);
    if (parts.size() < 3) continue;
    c.name = parts[0];
    for (size_t i = 1; i + 2 < parts.size(); ++i) c.args.push_back(std::stod(parts[i]));
    c.expected = std::stod(parts[parts.size() - 2]);
    c.scale = std::stod(parts[parts.size() - 1]);
    cases.push_back(c);
  }
  return cases;
}

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = LoadCases();
  return cases;
}

double ErfExport(double x) {
  double r = 0;
  EXPECT_EQ(ZMXFunc70(x, &r), 0);
  return r;
}
double ErfcExport(double x) {
  double r = 0;
  EXPECT_EQ(ZMXFunc71(x, &r), 0);
  return r;
}

double FresnelPart(double x, bool sine) {
  double s = 0, c = 0;
  EXPECT_EQ(ZMXFunc331(x, &s, &c), 0.0);
  return sine ? s : c;
}

double AiryPart(double x, int which) {
  double v[4] = {0, 0, 0, 0};
  EXPECT_EQ(ZMXFunc330(x, &v[0], &v[1], &v[2], &v[3]), 0.0);
  return v[which];
}

double JacobiPart(double u, double m, int which) {
  double v[4] = {0, 0, 0, 0};
  const double phi = ZMXFunc332(u, m, &v[0], &v[1], &v[2], &v[3]);
  EXPECT_EQ(phi, v[3]);
  return v[which];
}

using Args = const std::vector<double>&;
struct Function {
  std::function<double(Args)> eval;
  double bound;  // largest accepted error, relative to max(|expected|, scale)
};

// Bounds: 1e-14 for the functions evaluated to full precision; the
// large-parameter incomplete gamma and beta have the error of their
// prefactor's exponential (about |ln prefactor| ulps) and are held to 1e-12.
const std::map<std::string, Function>& Functions() {
  static const std::map<std::string, Function> functions = {
      {"erf", {[](Args a) { return ErfExport(a[0]); }, 1e-14}},
      {"erfc", {[](Args a) { return ErfcExport(a[0]); }, 1e-14}},
      {"gamma", {[](Args a) { return ZMXFunc309(a[0], nullptr); }, 1e-14}},
      {"gamma_stirling", {[](Args a) { return ZMXFunc314(a[0]); }, 1e-14}},
      {"lgamma", {[](Args a) { return ZMXFunc312(a[0]); }, 1e-14}},
      {"factorial", {[](Args a) { return ZMXFunc308(static_cast<int32_t>(a[0])); }, 1e-14}},
      {"log_factorial", {[](Args a) { return ZMXFunc311(static_cast<int32_t>(a[0])); }, 1e-14}},
      {"digamma", {[](Args a) { return ZMXFunc313(a[0]); }, 1e-14}},
      {"beta", {[](Args a) { return ZMXFunc307(a[0], a[1], nullptr); }, 1e-14}},
      {"gammainc_p", {[](Args a) { return ZMXFunc309(a[0], &a[1]); }, 1e-14}},
      {"gammainc_q", {[](Args a) { return qm::special::IncompleteGammaQ(a[0], a[1]); }, 1e-14}},
      {"gammainc_p_large", {[](Args a) { return ZMXFunc309(a[0], &a[1]); }, 1e-12}},
      {"gammainc_q_large",
       {[](Args a) { return qm::special::IncompleteGammaQ(a[0], a[1]); }, 1e-12}},
      {"gammainc_p_huge", {[](Args a) { return ZMXFunc309(a[0], &a[1]); }, 1e-12}},
      {"betainc", {[](Args a) { return ZMXFunc307(a[0], a[1], &a[2]); }, 1e-14}},
      {"betainc_c",
       {[](Args a) { return qm::special::IncompleteBetaComplement(a[0], a[1], a[2]); }, 1e-14}},
      {"betainc_large", {[](Args a) { return ZMXFunc307(a[0], a[1], &a[2]); }, 1e-12}},
      {"expn", {[](Args a) { return ZMXFunc321(a[0], static_cast<int32_t>(a[1])); }, 1e-14}},
      {"si", {[](Args a) { return ZMXFunc323(a[0]); }, 1e-14}},
      {"ci", {[](Args a) { return ZMXFunc322(a[0]); }, 1e-14}},
      {"shi", {[](Args a) { return ZMXFunc325(a[0]); }, 1e-14}},
      {"chi", {[](Args a) { return ZMXFunc324(a[0]); }, 1e-14}},
      {"fresnel_s", {[](Args a) { return FresnelPart(a[0], true); }, 1e-14}},
      {"fresnel_c", {[](Args a) { return FresnelPart(a[0], false); }, 1e-14}},
      {"dawson", {[](Args a) { return ZMXFunc320(a[0]); }, 1e-14}},
      {"spence", {[](Args a) { return ZMXFunc326(a[0]); }, 1e-14}},
      {"bessel_j", {[](Args a) { return ZMXFunc302(a[0], a[1]); }, 1e-14}},
      {"bessel_y", {[](Args a) { return ZMXFunc301(a[0], a[1]); }, 1e-14}},
      {"bessel_i", {[](Args a) { return ZMXFunc305(a[0], a[1]); }, 1e-14}},
      {"sph_j", {[](Args a) { return ZMXFunc303(static_cast<int32_t>(a[0]), a[1]); }, 1e-14}},
      {"sph_y", {[](Args a) { return ZMXFunc304(static_cast<int32_t>(a[0]), a[1]); }, 1e-14}},
      {"ellip_k", {[](Args a) { return ZMXFunc318(a[0], nullptr); }, 1e-14}},
      {"ellip_e", {[](Args a) { return ZMXFunc319(a[0], nullptr); }, 1e-14}},
      {"ellip_f", {[](Args a) { return ZMXFunc318(a[0], &a[1]); }, 1e-14}},
      {"ellip_e_inc", {[](Args a) { return ZMXFunc319(a[0], &a[1]); }, 1e-14}},
      {"jacobi_sn", {[](Args a) { return JacobiPart(a[0], a[1], 0); }, 1e-14}},
      {"jacobi_cn", {[](Args a) { return JacobiPart(a[0], a[1], 1); }, 1e-14}},
      {"jacobi_dn", {[](Args a) { return JacobiPart(a[0], a[1], 2); }, 1e-14}},
      {"zeta", {[](Args a) { return ZMXFunc329(a[0]); }, 1e-14}},
      {"hyp1f1", {[](Args a) { return ZMXFunc316(a[0], a[1], a[2]); }, 1e-12}},
      {"hyp2f1", {[](Args a) { return ZMXFunc315(a[0], a[1], a[2], a[3]); }, 1e-12}},
      {"struve", {[](Args a) { return ZMXFunc328(a[0], a[1]); }, 1e-12}},
      {"airy_ai", {[](Args a) { return AiryPart(a[0], 0); }, 1e-14}},
      {"airy_aip", {[](Args a) { return AiryPart(a[0], 1); }, 1e-14}},
      {"airy_bi", {[](Args a) { return AiryPart(a[0], 2); }, 1e-14}},
      {"airy_bip", {[](Args a) { return AiryPart(a[0], 3); }, 1e-14}},
  };
  return functions;
}

double Error(const Case& c, double got) {
  if (got == c.expected) return 0.0;
  return std::fabs(got - c.expected) / std::max(std::fabs(c.expected), c.scale);
}

TEST(Golden, EveryCaseWithinItsBound) {
  ASSERT_GT(Cases().size(), 1000u) << "golden.tsv missing or short";
  std::map<std::string, int> failures;
  for (const Case& c : Cases()) {
    const auto it = Functions().find(c.name);
    ASSERT_NE(it, Functions().end()) << "no evaluator for " << c.name;
    const double got = it->second.eval(c.args);
    const double err = Error(c, got);
    if (!(err <= it->second.bound) && ++failures[c.name] <= 5) {
      std::ostringstream args;
      for (double a : c.args) args << a << " ";
      ADD_FAILURE() << c.name << "(" << args.str() << ") = " << got << ", expected " << c.expected
                    << ", error " << err;
    }
  }
  for (const auto& [name, count] : failures) ADD_FAILURE() << name << ": " << count << " failures";
}

// The accuracy table: per function the number of cases, the largest and the
// rms error in units of 2^-52 (relative to max(|expected|, scale)).
TEST(Golden, AccuracyTable) {
  struct Stat {
    int n = 0;
    double max = 0, sum2 = 0;
    std::vector<double> worst;
  };
  std::map<std::string, Stat> stats;
  for (const Case& c : Cases()) {
    const auto it = Functions().find(c.name);
    if (it == Functions().end()) continue;
    const double ulps = Error(c, it->second.eval(c.args)) / 0x1p-52;
    Stat& s = stats[c.name];
    ++s.n;
    if (!(ulps <= s.max)) {
      s.max = ulps;
      s.worst = c.args;
    }
    s.sum2 += ulps * ulps;
  }
  std::printf("%-20s %6s %12s %10s  %s\n", "function", "cases", "max ulps", "rms ulps", "worst at");
  for (const auto& [name, s] : stats) {
    std::printf("%-20s %6d %12.2f %10.2f ", name.c_str(), s.n, s.max, std::sqrt(s.sum2 / s.n));
    for (double a : s.worst) std::printf(" %.17g", a);
    std::printf("\n");
  }
  EXPECT_FALSE(stats.empty());
}

}  // namespace
