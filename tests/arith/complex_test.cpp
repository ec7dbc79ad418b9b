// Complex scalar and parallel-array operations: reference values from
// data/complex_golden.txt (made by data/gen_complex_golden.py with mpmath),
// the documented special cases, and the array forms against the scalar ones.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <limits>
#include <map>
#include <random>
#include <string>
#include <vector>

#include "qmanlys.h"

namespace {

constexpr double kEps = std::numeric_limits<double>::epsilon();
constexpr double kPi = 3.141592653589793;

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
  const std::map<std::string, double> bound = {{"ln", 2},    {"log10", 4}, {"sqrt", 4},
                                               {"recip", 2}, {"exp", 4},   {"pow", 16},
                                               {"div", 4},   {"mul", 2}};
  std::map<std::string, double> worst;
  for (const Golden& g : rows) {
    double zr = 0, zi = 0;
    ASSERT_EQ(Evaluate(g, &zr, &zi), 0) << g.op << " " << g.xr << " " << g.xi;
    const double scale = std::max(std::hypot(g.zr, g.zi), std::numeric_limits<double>::min());
    const double err = std::max(std::fabs(zr - g.zr), std::fabs(zi - g.zi)) / (scale * kEps);
    worst[g.op] = std::max(worst[g.op], err);
    EXPECT_LE(err, bound.at(g.op)) << g.op << "(" << g.xr << ", " << g.xi << "; " << g.p << ", "
                                   << g.q << ") = (" << zr << ", " << zi << "), want (" << g.zr
                                   << ", " << g.zi << ")";
  }
  for (const auto& [op, e] : worst) RecordProperty("worst_" + op, std::to_string(e));
}

TEST(ComplexScalar, SpecialCases) {
  double zr = 7, zi = 7;
  // Zero base of the power: 0 for a positive exponent, divide by zero else.
  EXPECT_EQ(ZMXFunc48(0, 0, 2, &zr, &zi), 0);
  EXPECT_EQ(zr, 0.0);
  EXPECT_EQ(zi, 0.0);
  zr = 7;
  EXPECT_EQ(ZMXFunc48(0, 0, 0, &zr, &zi), -20060);
  EXPECT_EQ(ZMXFunc48(0, -0.0, -1.5, &zr, &zi), -20060);
  EXPECT_EQ(zr, 7.0);
  // Zero arguments of ln, log10 and the reciprocal.
  EXPECT_EQ(ZMXFunc44(0, 0, &zr, &zi), -20060);
  EXPECT_EQ(ZMXFunc45(-0.0, 0, &zr, &zi), -20060);
  EXPECT_EQ(ZMXFunc49(0, 0, &zr, &zi), -20060);
  EXPECT_EQ(zr, 7.0);
  // Tiny but nonzero arguments are not zero.
  EXPECT_EQ(ZMXFunc44(1e-200, 0, &zr, &zi), 0);
  EXPECT_NEAR(zr, -200 * std::log(10.0), 1e-12);
  EXPECT_EQ(ZMXFunc49(0, 1e-200, &zr, &zi), 0);
  EXPECT_EQ(zr, 0.0);
  EXPECT_DOUBLE_EQ(zi, -1e200);
  // Square roots: zero, and -4 (cos(pi/2) is not exactly 0).
  EXPECT_EQ(ZMXFunc50(0, 0, &zr, &zi), 0);
  EXPECT_EQ(zr, 0.0);
  EXPECT_EQ(zi, 0.0);
  EXPECT_EQ(ZMXFunc50(-4, 0, &zr, &zi), 0);
  EXPECT_NEAR(zr, 0.0, 1e-15);
  EXPECT_DOUBLE_EQ(zi, 2.0);
  // Exponential of a real number takes no trigonometry: exactly (e^x, +0).
  EXPECT_EQ(ZMXFunc42(1.0, 0.0, &zr, &zi), 0);
  EXPECT_EQ(zr, std::exp(1.0));
  EXPECT_EQ(zi, 0.0);
  EXPECT_FALSE(std::signbit(zi));
  // Division by zero is not detected: IEEE results, status 0.
  EXPECT_EQ(ZMXFunc40(1, 0, 0, 0, &zr, &zi), 0);
  EXPECT_FALSE(std::isfinite(zr) && std::isfinite(zi));
  // Scaled division does not overflow where y*y would.
  EXPECT_EQ(ZMXFunc40(1e300, 1e300, 2e300, 2e300, &zr, &zi), 0);
  EXPECT_DOUBLE_EQ(zr, 0.5);
  EXPECT_EQ(zi, 0.0);
  // Both branches of the scaled division (|yr| >= |yi| and the other).
  EXPECT_EQ(ZMXFunc40(1, 2, 3, 4, &zr, &zi), 0);
  EXPECT_DOUBLE_EQ(zr, 11.0 / 25);
  EXPECT_DOUBLE_EQ(zi, 2.0 / 25);
  EXPECT_EQ(ZMXFunc40(1, 2, 4, 3, &zr, &zi), 0);
  EXPECT_DOUBLE_EQ(zr, 10.0 / 25);
  EXPECT_DOUBLE_EQ(zi, 5.0 / 25);
  // Principal branch of ln on the negative axis.
  EXPECT_EQ(ZMXFunc44(-1, 0, &zr, &zi), 0);
  EXPECT_EQ(zr, 0.0);
  EXPECT_DOUBLE_EQ(zi, kPi);
  EXPECT_EQ(ZMXFunc45(-10, 0, &zr, &zi), 0);
  EXPECT_DOUBLE_EQ(zr, 1.0);
  EXPECT_DOUBLE_EQ(zi, kPi * 0.434294481903252);
  // Add, subtract, multiply.
  EXPECT_EQ(ZMXFunc38(1, 2, 3, -5, &zr, &zi), 0);
  EXPECT_EQ(zr, 4.0);
  EXPECT_EQ(zi, -3.0);
  EXPECT_EQ(ZMXFunc51(1, 2, 3, -5, &zr, &zi), 0);
  EXPECT_EQ(zr, -2.0);
  EXPECT_EQ(zi, 7.0);
  EXPECT_EQ(ZMXFunc46(1, 2, 3, -5, &zr, &zi), 0);
  EXPECT_EQ(zr, 13.0);
  EXPECT_EQ(zi, 1.0);
  // Null result pointers are refused, not dereferenced.
  EXPECT_EQ(ZMXFunc38(1, 2, 3, 4, nullptr, &zi), -20008);
  EXPECT_EQ(ZMXFunc50(1, 2, &zr, nullptr), -20008);
  EXPECT_EQ(ZMXFunc48(1, 2, 3, nullptr, nullptr), -20008);
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
    std::vector<double> wr(n), wi(n);
    for (int i = 0; i < n; ++i) op.scalar(xr[i], xi[i], yr[i], yi[i], &wr[i], &wi[i]);
    std::vector<double> zr(n), zi(n);
    ASSERT_EQ(op.array(xr.data(), xi.data(), yr.data(), yi.data(), n, zr.data(), zi.data()), 0);
    EXPECT_EQ(zr, wr);
    EXPECT_EQ(zi, wi);
    // Outputs over the inputs, crossed: z real over y imaginary and z
    // imaginary over x real. Both parts are read before either is written.
    std::vector<double> ar = xr, ai = xi, br = yr, bi = yi;
    ASSERT_EQ(op.array(ar.data(), ai.data(), br.data(), bi.data(), n, bi.data(), ar.data()), 0);
    EXPECT_EQ(bi, wr);
    EXPECT_EQ(ar, wi);
    EXPECT_EQ(op.array(xr.data(), xi.data(), yr.data(), yi.data(), 0, zr.data(), zi.data()),
              -20003);
    EXPECT_EQ(op.array(xr.data(), xi.data(), yr.data(), nullptr, n, zr.data(), zi.data()),
              -20008);
    EXPECT_EQ(op.array(xr.data(), xi.data(), yr.data(), yi.data(), int64_t{1} << 32, zr.data(),
                       zi.data()),
              -20046);
  }
}

TEST(ComplexArray, ScaleOffset) {
  const double xr[3] = {1, 0, -2}, xi[3] = {0, 1, 3};
  double zr[3], zi[3];
  // x * (2 + i) + (1 - 1i)
  ASSERT_EQ(ZMXFunc43(xr, xi, 3, 2, 1, 1, -1, zr, zi), 0);
  const double wr[3] = {3, 0, -6}, wi[3] = {0, 1, 3};
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(zr[i], wr[i]);
    EXPECT_EQ(zi[i], wi[i]);
  }
  // Null outputs write over the inputs, each part over its own.
  double ar[3] = {1, 0, -2}, ai[3] = {0, 1, 3};
  ASSERT_EQ(ZMXFunc43(ar, ai, 3, 2, 1, 1, -1, nullptr, nullptr), 0);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(ar[i], wr[i]);
    EXPECT_EQ(ai[i], wi[i]);
  }
  EXPECT_EQ(ZMXFunc43(xr, xi, -1, 2, 1, 1, -1, zr, zi), -20003);
  EXPECT_EQ(ZMXFunc43(xr, nullptr, 3, 2, 1, 1, -1, zr, zi), -20008);
}

}  // namespace
