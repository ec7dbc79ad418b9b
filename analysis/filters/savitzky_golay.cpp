// Savitzky-Golay smoothing matrix and filters.
#include "filters/savitzky_golay.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>

#include "frame/workspace.h"
#include "linalg/matrix_util.h"
#include "linalg/real.h"

namespace qm::filters {
namespace {

using std::size_t;

Status CheckOrder(std::int32_t p, std::int32_t m) {
  if (p < 1) return kBadPolynomial;
  const std::int64_t frame = 2 * static_cast<std::int64_t>(m) + 1;
  if (frame <= p) return kTooFewPointsForOrder;
  return kSuccess;
}

// The frame size and F*F, both within 32 bits, and the weights.
Status CheckSizes(std::int32_t m, const double* weights, std::int32_t* frame) {
  const std::int64_t f = 2 * static_cast<std::int64_t>(m) + 1;
  constexpr std::int64_t kLimit = std::numeric_limits<std::int32_t>::max();
  if (f > kLimit || f * f > kLimit) return kOverflow;  // f * f checked only below 2^31
  *frame = static_cast<std::int32_t>(f);
  if (weights) {
    for (std::int64_t i = 0; i < f; ++i) {
      if (!std::isfinite(weights[i])) return kNotFinite;
    }
  }
  return kSuccess;
}

// H (F x F) and, when c is not null, C ((p+1) x F). The arguments are checked.
Status BuildMatrices(std::int32_t p, std::int32_t m, std::int32_t f, const double* weights,
                     double* h, double* c) {
  const std::int32_t k = p + 1;
  const size_t fk = static_cast<size_t>(f) * k, kk = static_cast<size_t>(k) * k;
  // One block: J, J_w, J', R, R^-1, R^-T, (J'WJ)^-1, and C when the caller
  // does not take it.
  Scratch<double> block;
  if (Status s = block.Allocate(3 * fk + 4 * kk + (c ? 0 : fk))) return s;
  double* j = block.data();
  double* jw = j + fk;
  double* jt = jw + fk;
  double* r = jt + fk;
  double* r_inv = r + kk;
  double* r_inv_t = r_inv + kk;
  double* gram_inv = r_inv_t + kk;
  double* coef = c ? c : gram_inv + kk;

  for (std::int32_t i = 0; i < f; ++i) {
    const double t = static_cast<double>(i - m);
    const double scale = weights ? std::sqrt(std::fabs(weights[i])) : 1.0;
    double power = 1.0;
    for (std::int32_t q = 0; q < k; ++q) {
      j[static_cast<size_t>(i) * k + q] = power;
      jw[static_cast<size_t>(i) * k + q] = power * scale;
      power *= t;
    }
  }
  if (Status s = linalg::QrDecomposition(jw, f, k, 0, 1, nullptr, nullptr, r)) return s;
  // Fewer than p + 1 rows with weight: R is singular, if only to rounding.
  double largest = 0.0;
  for (size_t i = 0; i < kk; ++i) largest = std::fmax(largest, std::fabs(r[i]));
  const double tiny = largest * k * std::numeric_limits<double>::epsilon();
  for (std::int32_t q = 0; q < k; ++q) {
    if (!(std::fabs(r[static_cast<size_t>(q) * k + q]) > tiny)) return kSingularMatrix;
  }
  if (Status s = linalg::MatrixInverseTyped(r, k, linalg::kMatrixUpperTriangular, r_inv)) return s;
  if (Status s = linalg::MatrixTranspose(r_inv, k, k, r_inv_t)) return s;
  if (Status s = linalg::MatrixMultiply(r_inv, r_inv_t, k, k, k, gram_inv)) return s;
  if (Status s = linalg::MatrixTranspose(j, f, k, jt)) return s;
  // C goes straight into the caller's array: the products write only at
  // their end, and once the earlier calls of the linear algebra succeeded
  // the last one cannot fail (its operands and result do not overlap).
  if (Status s = linalg::MatrixMultiply(gram_inv, jt, k, k, f, coef)) return s;
  if (weights) {
    for (std::int32_t q = 0; q < k; ++q) {
      for (std::int32_t i = 0; i < f; ++i)
        coef[static_cast<size_t>(q) * f + i] *= std::fabs(weights[i]);
    }
  }
  return linalg::MatrixMultiply(j, coef, f, k, f, h);
}

// Row `row` of H applied to f samples from x (`stride` doubles apart).
template <std::ptrdiff_t kStride>
inline double Apply(const double* row, std::int32_t f, const double* x) {
  double sum = row[0] * x[0];
  for (std::int32_t i = 1; i < f; ++i) sum += row[i] * x[i * kStride];
  return sum;
}

// Smooths n samples of x (stride apart) into the contiguous out.
template <std::ptrdiff_t kStride>
void Smooth(const double* h, std::int32_t f, std::int32_t m, const double* x, std::int32_t n,
            double* out) {
  const double* centre = h + static_cast<size_t>(m) * f;
  for (std::int32_t i = 0; i < m; ++i)
    out[i] = Apply<kStride>(h + static_cast<size_t>(i) * f, f, x);
  for (std::int32_t i = m; i < n - m; ++i)
    out[i] = Apply<kStride>(centre, f, x + (i - m) * kStride);
  const double* tail = x + static_cast<std::ptrdiff_t>(n - f) * kStride;
  for (std::int32_t i = 0; i < m; ++i) {
    out[n - m + i] = Apply<kStride>(h + static_cast<size_t>(m + 1 + i) * f, f, tail);
  }
}

// Checks and H for a filter of n samples.
Status FilterMatrix(std::int32_t n, std::int32_t p, std::int32_t m, const double* weights,
                    Scratch<double>* h, std::int32_t* f) {
  if (Status s = CheckOrder(p, m)) return s;
  if (n < 2 * static_cast<std::int64_t>(m) + 1) return kWrongDataCount;
  if (Status s = CheckSizes(m, weights, f)) return s;
  if (Status s = h->Allocate(static_cast<size_t>(*f) * *f)) return s;
  return BuildMatrices(p, m, *f, weights, h->data(), nullptr);
}

}  // namespace

Status SavitzkyGolayMatrix(std::int32_t p, std::int32_t m, const double* weights,
                           std::int32_t want_coefficients, double* h, double* c) {
  if (Status s = CheckOrder(p, m)) return s;
  std::int32_t f = 0;
  if (Status s = CheckSizes(m, weights, &f)) return s;
  return BuildMatrices(p, m, f, weights, h, want_coefficients ? c : nullptr);
}

Status SavitzkyGolayFilter(const double* x, std::int32_t n, std::int32_t p, std::int32_t m,
                           const double* weights, double* y) {
  Scratch<double> h, aside;
  std::int32_t f = 0;
  if (Status s = FilterMatrix(n, p, m, weights, &h, &f)) return s;
  const size_t count = static_cast<size_t>(n);
  if (!linalg::Overlaps(x, count, y, count)) {
    Smooth<1>(h.data(), f, m, x, n, y);
    return kSuccess;
  }
  if (Status s = aside.Allocate(count)) return s;
  Smooth<1>(h.data(), f, m, x, n, aside.data());
  std::memcpy(y, aside.data(), count * sizeof(double));
  return kSuccess;
}

Status ComplexSavitzkyGolayFilter(const double* x, std::int32_t n, std::int32_t p, std::int32_t m,
                                  const double* weights, double* y) {
  Scratch<double> h, parts;
  std::int32_t f = 0;
  if (Status s = FilterMatrix(n, p, m, weights, &h, &f)) return s;
  const size_t count = static_cast<size_t>(n);
  if (Status s = parts.Allocate(2 * count)) return s;
  Smooth<2>(h.data(), f, m, x, n, parts.data());
  Smooth<2>(h.data(), f, m, x + 1, n, parts.data() + count);
  for (size_t i = 0; i < count; ++i) {
    y[2 * i] = parts[i];
    y[2 * i + 1] = parts[count + i];
  }
  return kSuccess;
}

}  // namespace qm::filters
