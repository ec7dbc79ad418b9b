// Products, transpose, trace and special matrices of real matrices.
#include <cstddef>

#include "frame/lapack.h"
#include "frame/workspace.h"
#include "linalg/matrix_util.h"
#include "linalg/real.h"

namespace qm::linalg {

Status DotProduct(const double* x, const double* y, std::int32_t n, double* dot) {
  if (n < 1) return kCountNotPositive;
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;
  *dot = la->cblas_ddot(n, x, 1, y, 1);
  return kSuccess;
}

Status MatrixMultiply(const double* a, const double* b, std::int32_t m, std::int32_t k,
                      std::int32_t n, double* c) {
  if (m < 0 || k < 0 || n < 0) return kCountNotPositive;
  if (m == 0 || n == 0) return kSuccess;
  std::size_t ccount = 0, acount = 0, bcount = 0;
  if (Status s = ElementCount(m, n, &ccount)) return s;
  if (!c) return kNullPointer;
  if (k == 0) {  // an empty inner dimension has no defined product
    Fill(c, ccount, kNaN);
    return kSuccess;
  }
  if (Status s = ElementCount(m, k, &acount)) return s;
  if (Status s = ElementCount(k, n, &bcount)) return s;
  if (!a || !b) return kNullPointer;
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;
  // A result that shares memory with an operand is built aside first:
  // clearing C would otherwise destroy the operand.
  Scratch<double> aside;
  double* dst = c;
  if (Overlaps(c, ccount, a, acount) || Overlaps(c, ccount, b, bcount)) {
    if (Status s = aside.Allocate(ccount)) return s;
    dst = aside.data();
  }
  Fill(dst, ccount, 0.0);
  la->cblas_dgemm(kCblasRowMajor, kCblasNoTrans, kCblasNoTrans, m, n, k, 1.0, a, k, b, n, 0.0, dst,
                  n);
  if (dst != c) Copy(dst, ccount, c);
  return kSuccess;
}

Status MatrixVectorMultiply(const double* a, const double* x, std::int32_t m, std::int32_t n,
                            double* y) {
  if (m < 0 || n < 0) return kCountNotPositive;
  if (m == 0 || n == 0) return kSuccess;
  std::size_t acount = 0;
  if (Status s = ElementCount(m, n, &acount)) return s;
  if (!a || !x || !y) return kNullPointer;
  const LapackTable* la = nullptr;
  if (Status s = RequireLapack(&la)) return s;
  Scratch<double> aside;
  double* dst = y;
  const std::size_t mm = static_cast<std::size_t>(m);
  if (Overlaps(y, mm, a, acount) || Overlaps(y, mm, x, static_cast<std::size_t>(n))) {
    if (Status s = aside.Allocate(mm)) return s;
    dst = aside.data();
  }
  la->cblas_dgemv(kCblasRowMajor, kCblasNoTrans, m, n, 1.0, a, n, x, 1, 0.0, dst, 1);
  if (dst != y) Copy(dst, mm, y);
  return kSuccess;
}

Status OuterProduct(const double* x, std::int32_t n, const double* y, std::int32_t m, double* out) {
  std::size_t count = 0;
  if (Status s = CheckShape(n, m, &count)) return s;
  // Built aside when the result shares memory with an operand.
  Scratch<double> aside;
  double* dst = out;
  if (Overlaps(out, count, x, static_cast<std::size_t>(n)) ||
      Overlaps(out, count, y, static_cast<std::size_t>(m))) {
    if (Status s = aside.Allocate(count)) return s;
    dst = aside.data();
  }
  for (std::int32_t i = 0; i < n; ++i) {
    double* row = dst + static_cast<std::size_t>(i) * m;
    for (std::int32_t j = 0; j < m; ++j) row[j] = x[i] * y[j];
  }
  if (dst != out) Copy(dst, count, out);
  return kSuccess;
}

Status KroneckerProduct(const double* a, const double* b, std::int32_t rows_a, std::int32_t cols_a,
                        std::int32_t rows_b, std::int32_t cols_b, double* out) {
  std::size_t acount = 0, bcount = 0, rows = 0, cols = 0, count = 0;
  if (Status s = CheckShape(rows_a, cols_a, &acount)) return s;
  if (Status s = CheckShape(rows_b, cols_b, &bcount)) return s;
  if (Status s = ElementCount(rows_a, rows_b, &rows)) return s;
  if (Status s = ElementCount(cols_a, cols_b, &cols)) return s;
  if (Status s =
          ElementCount(static_cast<std::int32_t>(rows), static_cast<std::int32_t>(cols), &count)) {
    return s;
  }
  Scratch<double> aside;
  double* dst = out;
  if (Overlaps(out, count, a, acount) || Overlaps(out, count, b, bcount)) {
    if (Status s = aside.Allocate(count)) return s;
    dst = aside.data();
  }
  for (std::int32_t i = 0; i < rows_a; ++i) {
    for (std::int32_t j = 0; j < cols_a; ++j) {
      const double f = a[static_cast<std::size_t>(i) * cols_a + j];
      for (std::int32_t p = 0; p < rows_b; ++p) {
        double* row = dst + (static_cast<std::size_t>(i) * rows_b + p) * cols +
                      static_cast<std::size_t>(j) * cols_b;
        const double* brow = b + static_cast<std::size_t>(p) * cols_b;
        for (std::int32_t q = 0; q < cols_b; ++q) row[q] = f * brow[q];
      }
    }
  }
  if (dst != out) Copy(dst, count, out);
  return kSuccess;
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

Status MatrixTrace(const double* a, std::int32_t n, double* trace) {
  std::size_t count = 0;
  if (Status s = CheckShape(n, n, &count)) return s;
  double sum = 0.0;
  for (std::int32_t i = 0; i < n; ++i) sum += a[static_cast<std::size_t>(i) * n + i];
  *trace = sum;
  return kSuccess;
}

namespace {

enum SpecialType : std::int32_t {
  kIdentity = 0,
  kDiagonal = 1,
  kToeplitz = 2,
  kVandermonde = 3,
  kCompanion = 4,
};

}  // namespace

Status SpecialMatrix(std::int32_t type, std::int32_t n, const double* x, std::int32_t nx,
                     const double* y, std::int32_t ny, double* out) {
  // Which counts matter depends on the type, so the type is checked first.
  if (type < kIdentity || type > kCompanion) return kBadSelection;
  std::size_t count = 0;
  switch (type) {
    case kIdentity: {
      if (Status s = CheckShape(n, n, &count)) return s;
      Fill(out, count, 0.0);
      for (std::int32_t i = 0; i < n; ++i) out[static_cast<std::size_t>(i) * n + i] = 1.0;
      return kSuccess;
    }
    case kDiagonal: {
      if (Status s = CheckShape(nx, nx, &count)) return s;
      if (!x) return kNullPointer;
      Scratch<double> aside;  // x may lie inside the output block
      const double* src = x;
      if (Overlaps(out, count, x, static_cast<std::size_t>(nx))) {
        if (Status s = aside.Allocate(static_cast<std::size_t>(nx))) return s;
        Copy(x, static_cast<std::size_t>(nx), aside.data());
        src = aside.data();
      }
      Fill(out, count, 0.0);
      for (std::int32_t i = 0; i < nx; ++i) out[static_cast<std::size_t>(i) * nx + i] = src[i];
      return kSuccess;
    }
    case kToeplitz: {
      if (Status s = CheckShape(nx, ny, &count)) return s;
      if (!x || !y) return kNullPointer;
      Scratch<double> aside;
      double* dst = out;
      if (Overlaps(out, count, x, static_cast<std::size_t>(nx)) ||
          Overlaps(out, count, y, static_cast<std::size_t>(ny))) {
        if (Status s = aside.Allocate(count)) return s;
        dst = aside.data();
      }
      for (std::int32_t i = 0; i < nx; ++i) {
        double* row = dst + static_cast<std::size_t>(i) * ny;
        for (std::int32_t j = 0; j < ny; ++j) row[j] = j <= i ? x[i - j] : y[j - i];
      }
      if (dst != out) Copy(dst, count, out);
      return kSuccess;
    }
    case kVandermonde: {
      if (Status s = CheckShape(nx, nx, &count)) return s;
      if (!x) return kNullPointer;
      Scratch<double> aside;
      double* dst = out;
      if (Overlaps(out, count, x, static_cast<std::size_t>(nx))) {
        if (Status s = aside.Allocate(count)) return s;
        dst = aside.data();
      }
      for (std::int32_t i = 0; i < nx; ++i) {
        double* row = dst + static_cast<std::size_t>(i) * nx;
        row[nx - 1] = 1.0;
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
      if (x[0] == 0.0) return kDivideByZero;
      const std::int32_t size = nx - 1;
      if (Status s = ElementCount(size, size, &count)) return s;
      Scratch<double> aside;
      double* dst = out;
      if (Overlaps(out, count, x, static_cast<std::size_t>(nx))) {
        if (Status s = aside.Allocate(count)) return s;
        dst = aside.data();
      }
      Fill(dst, count, 0.0);
      for (std::int32_t j = 0; j < size; ++j) dst[j] = -x[j + 1] / x[0];
      for (std::int32_t i = 1; i < size; ++i) dst[static_cast<std::size_t>(i) * size + i - 1] = 1.0;
      if (dst != out) Copy(dst, count, out);
      return kSuccess;
    }
  }
}

}  // namespace qm::linalg
