// Deconvolution: spectral division on real FFTs of a power-of-two length,
// and the all-pole recursion when the kernel's spectrum has a (near) zero.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "fft/fft_engine.h"
#include "filters/direct_form.h"
#include "frame/workspace.h"
#include "signal/convolution.h"

namespace qm::signal {
namespace {

constexpr double kEpsilon = 2.220446049250313e-16;

// True when a bin of the half-complex spectrum H (bins 0 … length/2) has
// both parts below eps in magnitude (bins 0 and length/2 have no imaginary
// part).
bool HasZeroBin(const double* hk, std::int32_t length, double eps) {
  for (std::int32_t k = 0; 2 * k <= length; ++k) {
    const double re = hk[k];
    const double im = k == 0 || 2 * k == length ? 0.0 : hk[length - k];
    if (std::fabs(re) < eps && std::fabs(im) < eps) return true;
  }
  return false;
}

// y / h bin by bin, into y: real division for bin 0 and the Nyquist bin,
// complex division for the others.
void DivideHalfComplex(double* y, const double* h, std::int32_t length) {
  y[0] /= h[0];
  for (std::int32_t k = 1; 2 * k < length; ++k) {
    const double a = y[k], b = y[length - k], c = h[k], d = h[length - k];
    const double den = c * c + d * d;
    y[k] = (a * c + b * d) / den;
    y[length - k] = (b * c - a * d) / den;
  }
  if (length % 2 == 0) y[length / 2] /= h[length / 2];
}

}  // namespace

Status DeconvolveLinear(const double* y, std::int32_t n, const double* h, std::int32_t m,
                        double* out) {
  if (n < 1 || m < 1) return kCountNotPositive;
  if (n < m) return kWrongDataCount;
  std::int32_t z = 0;  // leading zero coefficients of the kernel
  while (z < m && h[z] == 0.0) ++z;
  if (z == m) return kAllZero;
  std::int64_t l = 1;
  while (l < n) l *= 2;
  if (l > std::numeric_limits<std::int32_t>::max()) return kOverflow;
  const std::int32_t length = static_cast<std::int32_t>(l);
  const std::size_t size = static_cast<std::size_t>(length);
  const std::int32_t count = n - m + 1;
  // Padded kernel, padded signal and the kernel's spectrum.
  ThreadScratch<double> work;
  if (Status s = work.Allocate(3 * size)) return s;
  double* hp = work.data();
  double* yp = hp + size;
  double* hk = yp + size;
  fft::FftPlanHold plan(length);
  if (!plan) return kOutOfMemory;
  std::memcpy(hp, h, sizeof(double) * m);
  std::memset(hp + m, 0, sizeof(double) * (size - m));
  if (Status s = fft::FftRealForward(plan, hp, hk, 1, 1, length)) return s;
  const double eps = std::min(1e-9, length * kEpsilon);
  if (!HasZeroBin(hk, length, eps)) {
    std::memcpy(yp, y, sizeof(double) * n);
    std::memset(yp + n, 0, sizeof(double) * (size - n));
    if (Status s = fft::FftRealForward(plan, yp, hp, 1, 1, length)) return s;
    DivideHalfComplex(hp, hk, length);
    if (Status s = fft::FftRealInverse(plan, hp, yp, 1, 1, length)) return s;
    std::memcpy(out, yp, sizeof(double) * count);
    return kSuccess;
  }
  // Time domain: w[t] = (y[t] - sum_j a[j] w[t-j]) / a[0] with a = h[z …
  // m-1] gives w[t] = x[t - z]; the result is w[z … z + count - 1]. The
  // recursion runs from rest (zero output state) into the scratch.
  const std::int32_t na = m - z;
  const std::int32_t samples = count + z;
  double* w = yp;
  double* state = hk;
  std::memset(state, 0, sizeof(double) * (na - 1));
  const double one = 1.0;
  if (Status s = filters::IirFilterWithState(y, samples, h + z, state, na, &one, nullptr, 1, w))
    return s;
  std::memcpy(out, w + z, sizeof(double) * count);
  return kSuccess;
}

}  // namespace qm::signal
