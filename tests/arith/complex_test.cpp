// Complex scalar and parallel-array operations: reference values from
// data/complex_golden.txt (made by data/gen_complex_golden.py with mpmath),
// the documented special cases, and the array forms against the scalar ones.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <functional>
#include <limits>
#include <map>
#include <numbers>
#include <random>
#include <string>
#include <vector>

#include "qmanlys.h"

namespace {

constexpr double kEps = std::numeric_limits<double>::epsilon();
constexpr double kPi = std::numbers::pi;

struct Golden {
  std::string op;
  double xr, xi, p, q, zr, zi;
};

std::vector<Golden> LoadGolden() {
  std::ifstream in(std::string(QM_TEST_DATA_DIR) + "/complex_golden.txt");
  std::vector<Golden> rows;
  Golden g;
  while (in >> g.op >> g.xr >> g.xi >> g.p >> g.q >> g.zr >> g.zi) rows.push_back(g);
  return rows;
}

int32_t Evaluate(const Golden& g, double* zr, double* zi) {
  if (g.op == "ln") return ZMXFunc44(g.xr, g.xi, zr, zi);
  if (g.op == "log10") return ZMXFunc45(g.xr, g.xi, zr, zi);
  if (g.op == "sqrt") return ZMXFunc50(g.xr, g.xi, zr, zi);
  if (g.op == "recip") return ZMXFunc49(g.xr, g.xi, zr, zi);
  if (g.op == "exp") return ZMXFunc42(g.xr, g.xi, zr, zi);
  if (g.op == "pow") return ZMXFunc48(g.xr, g.xi, g.p, zr, zi);
  if (g.op == "div") return ZMXFunc40(g.xr, g.xi, g.p, g.q, zr, zi);
  if (g.op == "mul") return ZMXFunc46(g.xr, g.xi, g.p, g.q, zr, zi);
  ADD_FAILURE() << "unknown operation " << g.op;
  return -1;
}

// Error of each part relative to the modulus of the reference, in units of
// epsilon. The polar forms (power, root, exponential) carry the rounding of
// the angle into both parts, hence the per-operation bounds.
TEST(ComplexScalar, MatchesHighPrecisionReference) {
  const std::vector<Golden> rows = LoadGolden();
  ASSERT_GT(rows.size(), 300u) << "missing " << QM_TEST_DATA_DIR << "/complex_golden.txt";
  const std::map<std::string, double> bound = {{"ln", 2},  {"log10", 4}, {"sqrt", 4}, {"recip", 2},
                                               {"exp", 4}, {"pow", 16},  {"div", 4},  {"mul", 2}};
  std::map<std::string, double> worst;
  for (const Golden& g : rows) {
    double zr = 0, zi = 0;
    ASSERT_EQ(Evaluate(g, &zr, &zi), 0) << g.op << " " << g.xr << " " << g.xi;
    const double scale = std::max(std::hypot(g.zr, g.zi), std::numeric_limits<double>::min());
    const double err = std::max(std::fabs(zr - g.zr), std::fabs(zi - g.zi)) / (scale * kEps);
    worst[g.op] = std::max(worst[g.op], err);
    EXPECT_LE(err, bound.at(g.op))
        << g.op << "(" << g.xr << ", " << g.xi << "; " << g.p << ", " << g.q << ") = (" << zr
        << ", " << zi << "), want (" << g.zr << ", " << g.zi << ")";
  }
  for (const auto& [op, e] : worst) RecordProperty("worst_" + op, std::to_string(e));
}

TEST(ComplexScalar, SpecialCases) {
  const double big = 1e300, inf = std::numeric_limits<double>::infinity();
  struct Case {
    const char* name;
    std::function<int32_t(double*, double*)> call;
    int32_t status;
    double zr = 0, zi = 0;  // checked to 1e-15 relative when the status is 0
  };
  const Case cases[] = {
      {"0^2", [](double* r, double* i) { return ZMXFunc48(0, 0, 2, r, i); }, 0, 0, 0},
      {"0^0", [](double* r, double* i) { return ZMXFunc48(0, 0, 0, r, i); }, -20060},
      {"0^-1.5", [](double* r, double* i) { return ZMXFunc48(0, -0.0, -1.5, r, i); }, -20060},
      {"ln 0", [](double* r, double* i) { return ZMXFunc44(0, 0, r, i); }, -20060},
      {"log10 -0", [](double* r, double* i) { return ZMXFunc45(-0.0, 0, r, i); }, -20060},
      {"1/0", [](double* r, double* i) { return ZMXFunc49(0, 0, r, i); }, -20060},
      // Tiny and huge numbers are neither zero nor infinite.
      {"ln 1e-200", [](double* r, double* i) { return ZMXFunc44(1e-200, 0, r, i); }, 0,
       -200 * std::log(10.0), 0},
      {"1/(1e-200 i)", [](double* r, double* i) { return ZMXFunc49(0, 1e-200, r, i); }, 0, 0,
       -1e200},
      {"sqrt 0", [](double* r, double* i) { return ZMXFunc50(0, 0, r, i); }, 0, 0, 0},
      {"sqrt -4", [](double* r, double* i) { return ZMXFunc50(-4, 0, r, i); }, 0, 0, 2},
      {"exp 1", [](double* r, double* i) { return ZMXFunc42(1, 0, r, i); }, 0, std::exp(1.0), 0},
      {"ln -1", [](double* r, double* i) { return ZMXFunc44(-1, 0, r, i); }, 0, 0, kPi},
      {"log10 -10", [](double* r, double* i) { return ZMXFunc45(-10, 0, r, i); }, 0, 1,
       kPi * 0.434294481903252},
      // Both branches of the scaled division, and operands whose squares overflow.
      {"(1+2i)/(3+4i)", [](double* r, double* i) { return ZMXFunc40(1, 2, 3, 4, r, i); }, 0,
       11.0 / 25, 2.0 / 25},
      {"(1+2i)/(4+3i)", [](double* r, double* i) { return ZMXFunc40(1, 2, 4, 3, r, i); }, 0,
       10.0 / 25, 5.0 / 25},
      {"huge/huge",
       [&](double* r, double* i) { return ZMXFunc40(big, big, 2 * big, 2 * big, r, i); }, 0, 0.5,
       0},
      {"1/0 divide", [](double* r, double* i) { return ZMXFunc40(1, 0, 0, 0, r, i); }, 0, inf, 0},
      {"add", [](double* r, double* i) { return ZMXFunc38(1, 2, 3, -5, r, i); }, 0, 4, -3},
      {"subtract", [](double* r, double* i) { return ZMXFunc51(1, 2, 3, -5, r, i); }, 0, -2, 7},
      {"multiply", [](double* r, double* i) { return ZMXFunc46(1, 2, 3, -5, r, i); }, 0, 13, 1},
      {"null", [](double*, double* i) { return ZMXFunc38(1, 2, 3, 4, nullptr, i); }, -20008},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    double zr = 7, zi = 7;
    ASSERT_EQ(c.call(&zr, &zi), c.status);
    if (c.status != 0) {
      EXPECT_EQ(zr, 7.0);  // nothing written on failure
      continue;
    }
    if (std::isinf(c.zr)) {  // IEEE result of an undetected zero divisor
      EXPECT_FALSE(std::isfinite(zr) && std::isfinite(zi));
      continue;
    }
    const double tol = 1e-15 * std::max(1.0, std::hypot(c.zr, c.zi));
    EXPECT_NEAR(zr, c.zr, tol);
    EXPECT_NEAR(zi, c.zi, tol);
  }
  double zr, zi;  // the exponential of a real number takes no trigonometry
  ASSERT_EQ(ZMXFunc42(1.0, 0.0, &zr, &zi), 0);
  EXPECT_EQ(zr, std::exp(1.0));
  EXPECT_FALSE(std::signbit(zi));
}

// ---------------------------------------------------------------------------
// Parallel arrays: each element equals the scalar operation.

using ArrayOp = int32_t (*)(const double*, const double*, const double*, const double*, int64_t,
                            double*, double*);
using ScalarOp = int32_t (*)(double, double, double, double, double*, double*);

struct Pair {
  const char* name;
  ArrayOp array;
  ScalarOp scalar;
};

const Pair kPairs[] = {{"add", ZMXFunc39, ZMXFunc38},
                       {"subtract", ZMXFunc52, ZMXFunc51},
                       {"multiply", ZMXFunc47, ZMXFunc46},
                       {"divide", ZMXFunc41, ZMXFunc40}};

std::vector<double> Random(int n, unsigned seed) {
  std::mt19937_64 gen(seed);
  std::uniform_real_distribution<double> dist(-10, 10);
  std::vector<double> v(n);
  for (double& e : v) e = dist(gen);
  return v;
}

TEST(ComplexArray, ElementsEqualScalarOperation) {
  const int n = 257;
  const auto xr = Random(n, 1), xi = Random(n, 2), yr = Random(n, 3), yi = Random(n, 4);
  for (const Pair& op : kPairs) {
    SCOPED_TRACE(op.name);
    std::vector<double> wr(n), wi(n), zr(n), zi(n);
    for (int i = 0; i < n; ++i) op.scalar(xr[i], xi[i], yr[i], yi[i], &wr[i], &wi[i]);
    ASSERT_EQ(op.array(xr.data(), xi.data(), yr.data(), yi.data(), n, zr.data(), zi.data()), 0);
    EXPECT_EQ(zr, wr);
    EXPECT_EQ(zi, wi);
    // Outputs crossed over the inputs (z real over y imaginary, z imaginary
    // over x real): both parts are read before either is written.
    std::vector<double> ar = xr, bi = yi;
    ASSERT_EQ(op.array(ar.data(), xi.data(), yr.data(), bi.data(), n, bi.data(), ar.data()), 0);
    EXPECT_EQ(bi, wr);
    EXPECT_EQ(ar, wi);
    EXPECT_EQ(op.array(xr.data(), xi.data(), yr.data(), yi.data(), 0, zr.data(), zi.data()),
              -20003);
    EXPECT_EQ(op.array(xr.data(), xi.data(), yr.data(), nullptr, n, zr.data(), zi.data()), -20008);
  }
  // Scale and offset: x * (2 + i) + (1 - i), null outputs over the inputs.
  double ar[3] = {1, 0, -2}, ai[3] = {0, 1, 3};
  ASSERT_EQ(ZMXFunc43(ar, ai, 3, 2, 1, 1, -1, nullptr, nullptr), 0);
  EXPECT_EQ(std::vector<double>(ar, ar + 3), (std::vector<double>{3, 0, -6}));
  EXPECT_EQ(std::vector<double>(ai, ai + 3), (std::vector<double>{0, 1, 3}));
  EXPECT_EQ(ZMXFunc43(ar, ai, int64_t{1} << 32, 2, 1, 1, -1, nullptr, nullptr), -20046);
}

}  // namespace
