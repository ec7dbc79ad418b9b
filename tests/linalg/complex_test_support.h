// Complex matrices, products in long double, residual ratios and the
// reference data of the complex matrix tests.
#pragma once

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <complex>
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "qmanlys.h"

namespace complex_test {

using cplx = std::complex<double>;
using lcplx = std::complex<long double>;
using CMatrix = std::vector<cplx>;
constexpr double kEps = DBL_EPSILON;

// The interleaved (re, im) view the exports take.
inline double* D(CMatrix& m) { return reinterpret_cast<double*>(m.data()); }
inline const double* D(const CMatrix& m) { return reinterpret_cast<const double*>(m.data()); }

// Deterministic pseudo-random entries with both parts in [-1, 1).
inline CMatrix RandomC(int rows, int cols, std::uint64_t seed) {
  CMatrix a(static_cast<std::size_t>(rows) * cols);
  std::uint64_t s = seed * 6364136223846793005ull + 1442695040888963407ull;
  auto next = [&] {
    s = s * 6364136223846793005ull + 1442695040888963407ull;
    return static_cast<double>(s >> 11) / 4503599627370496.0 - 1.0;
  };
  for (cplx& x : a) {
    const double re = next();
    x = cplx(re, next());
  }
  return a;
}

// Row-major product of a (m x k) and b (k x n) in long double.
inline CMatrix MulC(const CMatrix& a, const CMatrix& b, int m, int k, int n) {
  CMatrix c(static_cast<std::size_t>(m) * n);
  for (int i = 0; i < m; ++i)
    for (int j = 0; j < n; ++j) {
      lcplx s = 0;
      for (int p = 0; p < k; ++p) s += lcplx(a[i * k + p]) * lcplx(b[p * n + j]);
      c[i * n + j] = cplx(static_cast<double>(s.real()), static_cast<double>(s.imag()));
    }
  return c;
}

// The conjugate transpose (cols x rows) of a rows x cols matrix.
inline CMatrix Adjoint(const CMatrix& a, int rows, int cols) {
  CMatrix t(a.size());
  for (int i = 0; i < rows; ++i)
    for (int j = 0; j < cols; ++j) t[j * rows + i] = std::conj(a[i * cols + j]);
  return t;
}

inline CMatrix IdentityC(int n) {
  CMatrix e(static_cast<std::size_t>(n) * n, 0.0);
  for (int i = 0; i < n; ++i) e[i * n + i] = 1.0;
  return e;
}

// A Hermitian positive definite matrix M·Mᴴ + n·I.
inline CMatrix HermitianPd(int n, std::uint64_t seed) {
  const CMatrix m = RandomC(n, n, seed);
  CMatrix h = MulC(m, Adjoint(m, n, n), n, n, n);
  for (int i = 0; i < n; ++i) h[i * n + i] = cplx(h[i * n + i].real() + n, 0.0);
  return h;
}

inline double Norm1C(const CMatrix& a, int rows, int cols) {
  double best = 0;
  for (int j = 0; j < cols; ++j) {
    double s = 0;
    for (int i = 0; i < rows; ++i) s += std::abs(a[i * cols + j]);
    best = std::max(best, s);
  }
  return best;
}

inline double Diff1C(const CMatrix& a, const CMatrix& b, int rows, int cols) {
  CMatrix d(a.size());
  for (std::size_t i = 0; i < a.size(); ++i) d[i] = a[i] - b[i];
  return Norm1C(d, rows, cols);
}

// ‖X − Y‖₁ / (n·‖scale‖₁·ε); 0 when both are exact.
inline double RatioC(double residual, int n, double scale) {
  if (residual == 0) return 0;
  return residual / (n * scale * kEps);
}

// ‖X − Y‖₁ / (n·‖Y‖₁·ε) for two rows x cols matrices.
inline double MatrixRatio(const CMatrix& x, const CMatrix& y, int rows, int cols) {
  return RatioC(Diff1C(x, y, rows, cols), std::max(rows, cols),
                std::max(Norm1C(y, rows, cols), 1e-300));
}

// Unitarity ratio ‖QᴴQ − I‖₁ / (n·ε) of the columns of a rows x cols Q.
inline double UnitaryRatio(const CMatrix& q, int rows, int cols) {
  const CMatrix qhq = MulC(Adjoint(q, rows, cols), q, cols, rows, cols);
  return RatioC(Diff1C(qhq, IdentityC(cols), cols, cols), std::max(rows, cols), 1.0);
}

// Determinant by partial-pivoting LU in long double.
inline lcplx LongDetC(const CMatrix& a0, int n) {
  std::vector<lcplx> a(a0.begin(), a0.end());
  lcplx det = 1;
  for (int k = 0; k < n; ++k) {
    int p = k;
    for (int i = k + 1; i < n; ++i)
      if (std::abs(a[i * n + k]) > std::abs(a[p * n + k])) p = i;
    if (a[p * n + k] == lcplx(0)) return 0;
    if (p != k) {
      for (int j = 0; j < n; ++j) std::swap(a[k * n + j], a[p * n + j]);
      det = -det;
    }
    det *= a[k * n + k];
    for (int i = k + 1; i < n; ++i) {
      const lcplx f = a[i * n + k] / a[k * n + k];
      for (int j = k; j < n; ++j) a[i * n + j] -= f * a[k * n + j];
    }
  }
  return det;
}

// One case of data/complex_golden.txt (made by data/make_complex_golden.py).
struct ComplexGolden {
  std::string name;
  int m = 0, n = 0;
  CMatrix a, b, inverse, pinv, eig, geig;
  cplx det;
  std::vector<double> sv;
};

inline std::vector<ComplexGolden> LoadComplexGolden() {
  std::vector<ComplexGolden> cases;
  std::ifstream in(std::string(QM_TEST_DATA_DIR) + "/complex_golden.txt");
  auto read = [&](CMatrix* v, std::size_t count) {
    v->resize(count);
    for (cplx& x : *v) {
      double re = 0, im = 0;
      in >> re >> im;
      x = cplx(re, im);
    }
  };
  std::string word;
  while (in >> word && word == "case") {
    ComplexGolden c;
    in >> c.name >> c.m >> c.n;
    const std::size_t mn = static_cast<std::size_t>(c.m) * c.n;
    read(&c.a, mn);
    const bool square = c.m == c.n;
    if (square) read(&c.b, mn);
    while (in >> word) {
      if (word == "det") {
        double re = 0, im = 0;
        in >> re >> im;
        c.det = cplx(re, im);
      } else if (word == "inv") {
        read(&c.inverse, mn);
      } else if (word == "pinv") {
        read(&c.pinv, mn);
      } else if (word == "sv") {
        c.sv.resize(std::min(c.m, c.n));
        for (double& s : c.sv) in >> s;
        if (!square) break;
      } else if (word == "eig") {
        read(&c.eig, c.n);
      } else if (word == "geig") {
        read(&c.geig, c.n);
        break;
      }
    }
    cases.push_back(c);
  }
  return cases;
}

// Sorted by (re, im) after rounding to 9 digits, as the script sorts.
inline CMatrix Ordered(CMatrix v) {
  auto key = [](const cplx& z) {
    return std::make_pair(std::round(z.real() * 1e9) / 1e9, std::round(z.imag() * 1e9) / 1e9);
  };
  std::sort(v.begin(), v.end(), [&](const cplx& x, const cplx& y) { return key(x) < key(y); });
  return v;
}

}  // namespace complex_test
