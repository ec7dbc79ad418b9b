// Matrices, residual ratios and reference data for the real matrix tests.
#pragma once

#include <cfloat>
#include <cmath>
#include <complex>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "qmanlys.h"

namespace linalg_test {

using Matrix = std::vector<double>;
using cplx = std::complex<double>;
constexpr double kEps = DBL_EPSILON;

// Deterministic pseudo-random entries in [-1, 1).
inline Matrix Random(int rows, int cols, std::uint64_t seed) {
  Matrix a(static_cast<std::size_t>(rows) * cols);
  std::uint64_t s = seed * 6364136223846793005ull + 1442695040888963407ull;
  for (double& x : a) {
    s = s * 6364136223846793005ull + 1442695040888963407ull;
    x = static_cast<double>(s >> 11) / 4503599627370496.0 - 1.0;
  }
  return a;
}

// Row-major product of a (m x k) and b (k x n) in long double.
inline Matrix Mul(const Matrix& a, const Matrix& b, int m, int k, int n) {
  Matrix c(static_cast<std::size_t>(m) * n);
  for (int i = 0; i < m; ++i)
    for (int j = 0; j < n; ++j) {
      long double s = 0;
      for (int p = 0; p < k; ++p) s += static_cast<long double>(a[i * k + p]) * b[p * n + j];
      c[i * n + j] = static_cast<double>(s);
    }
  return c;
}

inline Matrix T(const Matrix& a, int rows, int cols) {
  Matrix t(a.size());
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j) t[j * rows + i] = a[i * cols + j];
  return t;
}

inline Matrix Identity(int n) {
  Matrix e(static_cast<std::size_t>(n) * n, 0.0);
  for (int i = 0; i < n; ++i) e[i * n + i] = 1.0;
  return e;
}

// Largest column sum of absolute values.
inline double Norm1(const Matrix& a, int rows, int cols) {
  double best = 0;
  for (int j = 0; j < cols; ++j) {
    double s = 0;
    for (int i = 0; i < rows; ++i) s += std::fabs(a[i * cols + j]);
    best = std::max(best, s);
  }
  return best;
}

inline double Diff1(const Matrix& a, const Matrix& b, int rows, int cols) {
  Matrix d(a.size());
  for (std::size_t i = 0; i < a.size(); ++i) d[i] = a[i] - b[i];
  return Norm1(d, rows, cols);
}

// ‖X − Y‖₁ / (n·‖scale‖₁·ε), the LAPACK test ratio; 0 when both are exact.
inline double Ratio(double residual, int n, double scale) {
  if (residual == 0) return 0;
  return residual / (n * scale * kEps);
}

// Orthogonality ratio ‖QᵀQ − I‖₁ / (n·ε) of the columns of a rows x cols Q.
inline double OrthoRatio(const Matrix& q, int rows, int cols) {
  const Matrix qtq = Mul(T(q, rows, cols), q, cols, rows, cols);
  return Ratio(Diff1(qtq, Identity(cols), cols, cols), std::max(rows, cols), 1.0);
}

// Determinant by partial-pivoting LU in long double.
inline long double LongDet(Matrix a0, int n) {
  std::vector<long double> a(a0.begin(), a0.end());
  long double det = 1;
  for (int k = 0; k < n; ++k) {
    int p = k;
    for (int i = k + 1; i < n; ++i)
      if (std::fabs(a[i * n + k]) > std::fabs(a[p * n + k])) p = i;
    if (a[p * n + k] == 0) return 0;
    if (p != k) {
      for (int j = 0; j < n; ++j) std::swap(a[k * n + j], a[p * n + j]);
      det = -det;
    }
    det *= a[k * n + k];
    for (int i = k + 1; i < n; ++i) {
      const long double f = a[i * n + k] / a[k * n + k];
      for (int j = k; j < n; ++j) a[i * n + j] -= f * a[k * n + j];
    }
  }
  return det;
}

// One case of data/golden.txt (made by data/make_golden.py).
struct GoldenCase {
  std::string name;
  int type = 0;
  int n = 0;
  Matrix a, inverse;
  double det = 0, cond = 0;
};

inline std::vector<GoldenCase> LoadGolden() {
  std::vector<GoldenCase> cases;
  std::ifstream in(std::string(QM_TEST_DATA_DIR) + "/golden.txt");
  std::string word;
  while (in >> word) {
    if (word != "case") break;
    GoldenCase c;
    in >> c.name >> c.type >> c.n;
    c.a.resize(static_cast<std::size_t>(c.n) * c.n);
    c.inverse.resize(c.a.size());
    for (double& x : c.a) in >> x;
    in >> c.det >> c.cond;
    for (double& x : c.inverse) in >> x;
    cases.push_back(c);
  }
  return cases;
}

// Complex entry (i, j) of an interleaved row-major n x n matrix.
inline cplx At(const Matrix& m, int n, int i, int j) {
  return {m[2 * (i * n + j)], m[2 * (i * n + j) + 1]};
}

}  // namespace linalg_test
