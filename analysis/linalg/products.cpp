// Products, transpose, trace and special matrices of real and complex
// matrices, each written once over the element type.
#include <complex>
#include <cstddef>

#include "arith/complex_ops.h"
#include "frame/lapack.h"
#include "frame/workspace.h"
#include "linalg/complex.h"
#include "linalg/kernels.h"
#include "linalg/matrix_util.h"
#include "linalg/real.h"

namespace qm::linalg {

namespace {

// a / b; complex quotients by the library's scaled division.
inline double Quotient(double a, double b) { return a / b; }
inline fcomplex Quotient(const fcomplex& a, const fcomplex& b) {
  double re = 0.0, im = 0.0;
  arith::ComplexQuotient(a.real(), a.imag(), b.real(), b.imag(), &re, &im);
  return fcomplex(re, im);
}

template <class T>
T NotANumberOf() {
  return T(kNaN);
}
template <>
fcomplex NotANumberOf<fcomplex>() {
  return fcomplex(kNaN, kNaN);
}

template <class T>
Status DotOf(const T* x, const T* y, std::int32_t n, T* dot) {
  if (n < 1) return kCountNotPositive;
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;
  *dot = kernel::Dot(la, n, x, y);
  return kSuccess;
}

template <class T>
Status MultiplyOf(const T* a, const T* b, std::int32_t m, std::int32_t k, std::int32_t n, T* c) {
  if (m < 0 || k < 0 || n < 0) return kCountNotPositive;
  if (m == 0 || n == 0) return kSuccess;
  std::size_t ccount = 0, acount = 0, bcount = 0;
  if (Status s = ElementCount(m, n, &ccount)) return s;
  if (!c) return kNullPointer;
  if (k == 0) {  // an empty inner dimension has no defined product
    Fill(c, ccount, NotANumberOf<T>());
    return kSuccess;
  }
  if (Status s = ElementCount(m, k, &acount)) return s;
  if (Status s = ElementCount(k, n, &bcount)) return s;
  if (!a || !b) return kNullPointer;
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;
  // A result that shares memory with an operand is built aside first:
  // clearing C would otherwise destroy the operand.
  Scratch<T> aside;
  T* dst = c;
  if (Overlaps(c, ccount, a, acount) || Overlaps(c, ccount, b, bcount)) {
    if (Status s = aside.Allocate(ccount)) return s;
    dst = aside.data();
  }
  Fill(dst, ccount, T(0.0));
  kernel::Gemm(la, kCblasNoTrans, kCblasNoTrans, m, n, k, a, k, b, n, dst, n);
  if (dst != c) Copy(dst, ccount, c);
  return kSuccess;
}

template <class T>
Status MatrixVectorOf(const T* a, const T* x, std::int32_t m, std::int32_t n, T* y) {
  if (m < 0 || n < 0) return kCountNotPositive;
  if (m == 0 || n == 0) return kSuccess;
  std::size_t acount = 0;
  if (Status s = ElementCount(m, n, &acount)) return s;
  if (!a || !x || !y) return kNullPointer;
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;
  Scratch<T> aside;
  T* dst = y;
  const std::size_t mm = static_cast<std::size_t>(m);
  if (Overlaps(y, mm, a, acount) || Overlaps(y, mm, x, static_cast<std::size_t>(n))) {
    if (Status s = aside.Allocate(mm)) return s;
    dst = aside.data();
  }
  kernel::Gemv(la, m, n, a, x, dst);
  if (dst != y) Copy(dst, mm, y);
  return kSuccess;
}

template <class T>
Status OuterOf(const T* x, std::int32_t n, const T* y, std::int32_t m, T* out) {
  std::size_t count = 0;
  if (Status s = CheckShape(n, m, &count)) return s;
  // Built aside when the result shares memory with an operand.
  Scratch<T> aside;
  T* dst = out;
  if (Overlaps(out, count, x, static_cast<std::size_t>(n)) ||
      Overlaps(out, count, y, static_cast<std::size_t>(m))) {
    if (Status s = aside.Allocate(count)) return s;
    dst = aside.data();
  }
  for (std::int32_t i = 0; i < n; ++i) {
    T* row = dst + static_cast<std::size_t>(i) * m;
    for (std::int32_t j = 0; j < m; ++j) row[j] = x[i] * y[j];
  }
  if (dst != out) Copy(dst, count, out);
  return kSuccess;
}

template <class T>
Status KroneckerOf(const T* a, const T* b, std::int32_t rows_a, std::int32_t cols_a,
                   std::int32_t rows_b, std::int32_t cols_b, T* out) {
  std::size_t acount = 0, bcount = 0, rows = 0, cols = 0, count = 0;
  if (Status s = CheckShape(rows_a, cols_a, &acount)) return s;
  if (Status s = CheckShape(rows_b, cols_b, &bcount)) return s;
  if (Status s = ElementCount(rows_a, rows_b, &rows)) return s;
  if (Status s = ElementCount(cols_a, cols_b, &cols)) return s;
  if (Status s =
          ElementCount(static_cast<std::int32_t>(rows), static_cast<std::int32_t>(cols), &count)) {
    return s;
  }
  Scratch<T> aside;
  T* dst = out;
  if (Overlaps(out, count, a, acount) || Overlaps(out, count, b, bcount)) {
    if (Status s = aside.Allocate(count)) return s;
    dst = aside.data();
  }
  for (std::int32_t i = 0; i < rows_a; ++i) {
    for (std::int32_t j = 0; j < cols_a; ++j) {
      const T f = a[static_cast<std::size_t>(i) * cols_a + j];
      for (std::int32_t p = 0; p < rows_b; ++p) {
        T* row = dst + (static_cast<std::size_t>(i) * rows_b + p) * cols +
                 static_cast<std::size_t>(j) * cols_b;
        const T* brow = b + static_cast<std::size_t>(p) * cols_b;
        for (std::int32_t q = 0; q < cols_b; ++q) row[q] = f * brow[q];
      }
    }
  }
  if (dst != out) Copy(dst, count, out);
  return kSuccess;
}

template <class T>
Status TraceOf(const T* a, std::int32_t n, T* trace) {
  std::size_t count = 0;
  if (Status s = CheckShape(n, n, &count)) return s;
  T sum = T(0.0);
  for (std::int32_t i = 0; i < n; ++i) sum += a[static_cast<std::size_t>(i) * n + i];
  *trace = sum;
  return kSuccess;
}

enum SpecialType : std::int32_t {
  kIdentity = 0,
  kDiagonal = 1,
  kToeplitz = 2,
  kVandermonde = 3,
  kCompanion = 4,
};

template <class T>
Status SpecialOf(std::int32_t type, std::int32_t n, const T* x, std::int32_t nx, const T* y,
                 std::int32_t ny, T* out) {
  // Which counts matter depends on the type, so the type is checked first.
  if (type < kIdentity || type > kCompanion) return kBadSelection;
  std::size_t count = 0;
  switch (type) {
    case kIdentity: {
      if (Status s = CheckShape(n, n, &count)) return s;
      Fill(out, count, T(0.0));
      for (std::int32_t i = 0; i < n; ++i) out[static_cast<std::size_t>(i) * n + i] = T(1.0);
      return kSuccess;
    }
    case kDiagonal: {
      if (Status s = CheckShape(nx, nx, &count)) return s;
      if (!x) return kNullPointer;
      Scratch<T> aside;  // x may lie inside the output block
      const T* src = x;
      if (Overlaps(out, count, x, static_cast<std::size_t>(nx))) {
        if (Status s = aside.Allocate(static_cast<std::size_t>(nx))) return s;
        Copy(x, static_cast<std::size_t>(nx), aside.data());
        src = aside.data();
      }
      Fill(out, count, T(0.0));
      for (std::int32_t i = 0; i < nx; ++i) out[static_cast<std::size_t>(i) * nx + i] = src[i];
      return kSuccess;
    }
    case kToeplitz: {
      if (Status s = CheckShape(nx, ny, &count)) return s;
      if (!x || !y) return kNullPointer;
      Scratch<T> aside;
      T* dst = out;
      if (Overlaps(out, count, x, static_cast<std::size_t>(nx)) ||
          Overlaps(out, count, y, static_cast<std::size_t>(ny))) {
        if (Status s = aside.Allocate(count)) return s;
        dst = aside.data();
      }
      for (std::int32_t i = 0; i < nx; ++i) {
        T* row = dst + static_cast<std::size_t>(i) * ny;
        for (std::int32_t j = 0; j < ny; ++j) row[j] = j <= i ? x[i - j] : y[j - i];
      }
      if (dst != out) Copy(dst, count, out);
      return kSuccess;
    }
    case kVandermonde: {
      if (Status s = CheckShape(nx, nx, &count)) return s;
      if (!x) return kNullPointer;
      Scratch<T> aside;
      T* dst = out;
      if (Overlaps(out, count, x, static_cast<std::size_t>(nx))) {
        if (Status s = aside.Allocate(count)) return s;
        dst = aside.data();
      }
      for (std::int32_t i = 0; i < nx; ++i) {
        T* row = dst + static_cast<std::size_t>(i) * nx;
        row[nx - 1] = T(1.0);
        for (std::int32_t j = nx - 2; j >= 0; --j) row[j] = row[j + 1] * x[i];
      }
      if (dst != out) Copy(dst, count, out);
      return kSuccess;
    }
    default: {  // companion matrix of x[0]·t^(nx-1) + … + x[nx-1]
      if (nx < 1) return kCountNotPositive;
      if (nx < 2) return kCountBelowTwo;
      if (!x) return kNullPointer;
      // A zero leading coefficient leaves no companion matrix of this size.
      if (x[0] == T(0.0)) return kDivideByZero;
      const std::int32_t size = nx - 1;
      if (Status s = ElementCount(size, size, &count)) return s;
      Scratch<T> aside;
      T* dst = out;
      if (Overlaps(out, count, x, static_cast<std::size_t>(nx))) {
        if (Status s = aside.Allocate(count)) return s;
        dst = aside.data();
      }
      Fill(dst, count, T(0.0));
      for (std::int32_t j = 0; j < size; ++j) dst[j] = -Quotient(x[j + 1], x[0]);
      for (std::int32_t i = 1; i < size; ++i)
        dst[static_cast<std::size_t>(i) * size + i - 1] = T(1.0);
      if (dst != out) Copy(dst, count, out);
      return kSuccess;
    }
  }
}

}  // namespace

Status DotProduct(const double* x, const double* y, std::int32_t n, double* dot) {
  return DotOf(x, y, n, dot);
}

Status MatrixMultiply(const double* a, const double* b, std::int32_t m, std::int32_t k,
                      std::int32_t n, double* c) {
  return MultiplyOf(a, b, m, k, n, c);
}

Status MatrixVectorMultiply(const double* a, const double* x, std::int32_t m, std::int32_t n,
                            double* y) {
  return MatrixVectorOf(a, x, m, n, y);
}

Status OuterProduct(const double* x, std::int32_t n, const double* y, std::int32_t m, double* out) {
  return OuterOf(x, n, y, m, out);
}

Status KroneckerProduct(const double* a, const double* b, std::int32_t rows_a, std::int32_t cols_a,
                        std::int32_t rows_b, std::int32_t cols_b, double* out) {
  return KroneckerOf(a, b, rows_a, cols_a, rows_b, cols_b, out);
}

Status MatrixTranspose(const double* a, std::int32_t m, std::int32_t n, double* out) {
  std::size_t count = 0;
  if (Status s = CheckShape(m, n, &count)) return s;
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;
  // In place (or any overlap of the two blocks): build the transpose aside.
  Scratch<double> aside;
  double* dst = out;
  if (Overlaps(out, count, a, count)) {
    if (Status s = aside.Allocate(count)) return s;
    dst = aside.data();
  }
  // Column j of A (stride n) becomes row j of the result.
  for (std::int32_t j = 0; j < n; ++j) {
    la->cblas_dcopy(m, a + j, n, dst + static_cast<std::size_t>(j) * m, 1);
  }
  if (dst != out) Copy(dst, count, out);
  return kSuccess;
}

Status MatrixTrace(const double* a, std::int32_t n, double* trace) { return TraceOf(a, n, trace); }

Status SpecialMatrix(std::int32_t type, std::int32_t n, const double* x, std::int32_t nx,
                     const double* y, std::int32_t ny, double* out) {
  return SpecialOf(type, n, x, nx, y, ny, out);
}

Status ComplexDotProduct(const double* x, const double* y, std::int32_t n, double* dot) {
  return DotOf(AsComplex(x), AsComplex(y), n, AsComplex(dot));
}

Status ComplexMatrixMultiply(const double* a, const double* b, std::int32_t m, std::int32_t k,
                             std::int32_t n, double* c) {
  return MultiplyOf(AsComplex(a), AsComplex(b), m, k, n, AsComplex(c));
}

Status ComplexMatrixVectorMultiply(const double* a, const double* x, std::int32_t m, std::int32_t n,
                                   double* y) {
  return MatrixVectorOf(AsComplex(a), AsComplex(x), m, n, AsComplex(y));
}

Status ComplexOuterProduct(const double* x, std::int32_t n, const double* y, std::int32_t m,
                           double* out) {
  return OuterOf(AsComplex(x), n, AsComplex(y), m, AsComplex(out));
}

Status ComplexKroneckerProduct(const double* a, const double* b, std::int32_t rows_a,
                               std::int32_t cols_a, std::int32_t rows_b, std::int32_t cols_b,
                               double* out) {
  return KroneckerOf(AsComplex(a), AsComplex(b), rows_a, cols_a, rows_b, cols_b, AsComplex(out));
}

Status ComplexConjugateTranspose(const double* a, std::int32_t m, std::int32_t n, double* out) {
  std::size_t count = 0;
  if (Status s = CheckShape(m, n, &count)) return s;
  const fcomplex* src = AsComplex(a);
  fcomplex* dst = AsComplex(out);
  // In place (or any overlap of the two blocks): build the result aside.
  Scratch<fcomplex> aside;
  fcomplex* to = dst;
  if (Overlaps(dst, count, src, count)) {
    if (Status s = aside.Allocate(count)) return s;
    to = aside.data();
  }
  Transpose<true>(src, n, m, n, to, m);
  if (to != dst) Copy(to, count, dst);
  return kSuccess;
}

Status ComplexMatrixTrace(const double* a, std::int32_t n, double* trace) {
  return TraceOf(AsComplex(a), n, AsComplex(trace));
}

Status ComplexSpecialMatrix(std::int32_t type, std::int32_t n, const double* x, std::int32_t nx,
                            const double* y, std::int32_t ny, double* out) {
  return SpecialOf(type, n, AsComplex(x), nx, AsComplex(y), ny, AsComplex(out));
}

}  // namespace qm::linalg
