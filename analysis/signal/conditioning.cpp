// Derivatives, integrals, decimation, phase unwrapping and the amplitude and
// phase spectrum.
#include "signal/conditioning.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "fft/fft_transforms.h"
#include "frame/math_constants.h"
#include "frame/workspace.h"

namespace qm::signal {
namespace {

// True when the n doubles at a and at b share no element.
bool Disjoint(const double* a, const double* b, std::int32_t n) {
  const auto pa = reinterpret_cast<std::uintptr_t>(a), pb = reinterpret_cast<std::uintptr_t>(b);
  const std::uintptr_t bytes = static_cast<std::uintptr_t>(n) * sizeof(double);
  return pa + bytes <= pb || pb + bytes <= pa;
}

// out[i] = f(i) for i < count, in blocks of four, which the compiler turns
// into vector operations.
template <class F>
void InBlocksOfFour(const F& f, double* __restrict out, std::int32_t count) {
  std::int32_t i = 0;
  for (; i + 4 <= count; i += 4) {
    out[i] = f(i);
    out[i + 1] = f(i + 1);
    out[i + 2] = f(i + 2);
    out[i + 3] = f(i + 3);
  }
  for (; i < count; ++i) out[i] = f(i);
}

// out[i] for i < count by `method`, from the original samples s[i] … s[i+4]
// (x[j-2] … x[j+2] of output j). out and s never overlap.
void DifferenceKernel(std::int32_t method, const double* __restrict s, double* __restrict out,
                      std::int32_t count, double dt) {
  switch (method) {
    case kCentral2: {
      const double d = 2.0 * dt;
      InBlocksOfFour([&](std::int32_t i) { return (s[i + 3] - s[i + 1]) / d; }, out, count);
      break;
    }
    case kCentral4: {
      const double d = 12.0 * dt;
      InBlocksOfFour(
          [&](std::int32_t i) { return (s[i] - 8.0 * s[i + 1] + 8.0 * s[i + 3] - s[i + 4]) / d; },
          out, count);
      break;
    }
    case kForward:
      InBlocksOfFour([&](std::int32_t i) { return (s[i + 3] - s[i + 2]) / dt; }, out, count);
      break;
    default:  // kBackward
      InBlocksOfFour([&](std::int32_t i) { return (s[i + 2] - s[i + 1]) / dt; }, out, count);
      break;
  }
}

// The record extended by two samples each side: x[-2], x[-1] in before,
// x[n], x[n+1] in after (entries the method does not read may be anything).
struct Extended {
  const double* x;
  std::int32_t n;
  double before[2];
  double after[2];
  double At(std::int64_t k) const { return k < 0 ? before[k + 2] : k >= n ? after[k - n] : x[k]; }
};

// Outputs lo … hi-1, in blocks: the originals a block needs are copied to a
// local buffer before any of its outputs is written, and the two samples
// before the next block are carried in that buffer. So out may be x itself.
void DerivativeByBlocks(const Extended& e, std::int32_t method, double dt, std::int32_t lo,
                        std::int32_t hi, double* out) {
  constexpr std::int32_t kBlock = 512;
  double buf[kBlock + 4];
  buf[0] = e.At(std::int64_t{lo} - 2);
  buf[1] = e.At(std::int64_t{lo} - 1);
  for (std::int32_t b = lo; b < hi; b += kBlock) {
    const std::int32_t len = std::min(kBlock, hi - b);
    for (std::int32_t j = 0; j < len + 2; ++j) buf[2 + j] = e.At(std::int64_t{b} + j);
    DifferenceKernel(method, buf, out + b, len, dt);
    buf[0] = buf[len];
    buf[1] = buf[len + 1];
  }
}

Status RunDerivative(const Extended& e, std::int32_t method, double dt, double* out) {
  const std::int32_t n = e.n;
  if (n < 1) return kCountNotPositive;
  if (!(dt > 0.0)) return kDtNotPositive;
  if (n > 4 && Disjoint(e.x, out, n)) {
    // Separate arrays: the interior straight from x.
    DerivativeByBlocks(e, method, dt, 0, 2, out);
    DifferenceKernel(method, e.x, out + 2, n - 4, dt);
    DerivativeByBlocks(e, method, dt, n - 2, n, out);
    return kSuccess;
  }
  DerivativeByBlocks(e, method, dt, 0, n, out);
  return kSuccess;
}

}  // namespace

Status Derivative(const double* x, std::int32_t n, double dt, double initial, double final_value,
                  double* out) {
  const Extended e{x, n, {0.0, initial}, {final_value, 0.0}};
  return RunDerivative(e, kCentral2, dt, out);
}

Status DerivativeWithMethod(const double* x, std::int32_t n, double dt, const double* initial,
                            std::int32_t initial_count, const double* final_values,
                            std::int32_t final_count, std::int32_t method, double* out) {
  std::int32_t need_initial = 0, need_final = 0;  // condition values the formula reads
  switch (method) {
    case kCentral2:
      need_initial = need_final = 1;
      break;
    case kCentral4:
      need_initial = need_final = 2;
      break;
    case kForward:
      need_final = 1;
      break;
    case kBackward:
      need_initial = 1;
      break;
    default:
      return kBadSelection;
  }
  if (initial_count < need_initial || final_count < need_final)
    return need_initial == 2 ? kCountBelowTwo : kCountNotPositive;
  if ((need_initial > 0 && !initial) || (need_final > 0 && !final_values)) return kNullPointer;
  Extended e{x, n, {0.0, 0.0}, {0.0, 0.0}};
  if (need_initial == 1) e.before[1] = initial[0];
  if (need_initial == 2) {
    e.before[0] = initial[0];
    e.before[1] = initial[1];
  }
  if (need_final >= 1) e.after[0] = final_values[0];
  if (need_final == 2) e.after[1] = final_values[1];
  return RunDerivative(e, method, dt, out);
}

Status Integral(const double* x, std::int32_t n, double dt, double initial, double final_value,
                double* out) {
  if (n < 1) return kCountNotPositive;
  if (!(dt > 0.0)) return kDtNotPositive;
  // The originals x[i-1], x[i] are carried in locals: out may be x.
  double previous = initial, current = x[0], sum = 0.0;
  for (std::int32_t i = 0; i + 1 < n; ++i) {
    const double next = x[i + 1];
    sum += (previous + 4.0 * current + next) * dt / 6.0;
    out[i] = sum;
    previous = current;
    current = next;
  }
  out[n - 1] = sum + (previous + 4.0 * current + final_value) * dt / 6.0;
  return kSuccess;
}

Status IntegrateArray(const double* x, std::int32_t n, double dt, std::int32_t rule,
                      double* result) {
  std::int32_t minimum = 0;
  switch (rule) {
    case kTrapezoid:
      minimum = 2;
      break;
    case kSimpson:
      minimum = 3;
      break;
    case kSimpson38:
      minimum = 4;
      break;
    case kBode:
      minimum = 5;
      break;
    default:
      return kBadSelection;
  }
  if (n < minimum) return kWrongDataCount;
  const double h = std::fabs(dt);
  // The one-, two- and three-interval rules on x[k], x[k+1], ...
  const auto trapezoid = [&](std::int32_t k) { return (x[k] + x[k + 1]) * h / 2.0; };
  const auto simpson = [&](std::int32_t k) { return (x[k] + 4.0 * x[k + 1] + x[k + 2]) * h / 3.0; };
  const auto simpson38 = [&](std::int32_t k) {
    return (x[k] + 3.0 * x[k + 1] + 3.0 * x[k + 2] + x[k + 3]) * 3.0 * h / 8.0;
  };
  const std::int32_t intervals = n - 1;
  double sum = 0.0, value = 0.0;
  switch (rule) {
    case kTrapezoid:
      for (std::int32_t i = 1; i + 1 < n; ++i) sum += x[i];
      value = h * ((x[0] + x[n - 1]) / 2.0 + sum);
      break;
    case kSimpson: {
      const std::int32_t panels = intervals / 2;
      for (std::int32_t j = 0; j < panels; ++j) sum += x[2 * j] + 4.0 * x[2 * j + 1] + x[2 * j + 2];
      value = sum * h / 3.0;
      if (intervals % 2 == 1) value += trapezoid(n - 2);
      break;
    }
    case kSimpson38: {
      const std::int32_t panels = intervals / 3;
      for (std::int32_t j = 0; j < panels; ++j)
        sum += x[3 * j] + 3.0 * x[3 * j + 1] + 3.0 * x[3 * j + 2] + x[3 * j + 3];
      value = sum * 3.0 * h / 8.0;
      if (intervals % 3 == 1) value += trapezoid(n - 2);
      if (intervals % 3 == 2) value += simpson(n - 3);
      break;
    }
    default: {  // kBode
      const std::int32_t panels = intervals / 4;
      for (std::int32_t j = 0; j < panels; ++j)
        sum += 14.0 * x[4 * j] + 64.0 * x[4 * j + 1] + 24.0 * x[4 * j + 2] + 64.0 * x[4 * j + 3] +
               14.0 * x[4 * j + 4];
      value = sum * h / 45.0;
      if (intervals % 4 == 1) value += trapezoid(n - 2);
      if (intervals % 4 == 2) value += simpson(n - 3);
      if (intervals % 4 == 3) value += simpson38(n - 4);
      break;
    }
  }
  *result = value;
  return kSuccess;
}

namespace {

// The whole blocks of `width` doubles per sample (1 real, 2 complex):
// out[k] from the block at k*factor. Each output sample lies at or before
// the first sample of its block, so out may be x.
Status DecimateSamples(const double* x, std::int32_t n, std::int32_t factor, std::int32_t average,
                       std::int32_t width, double* out) {
  if (n < 1) return kCountNotPositive;
  if (factor < 1 || factor > n) return kBadDecimation;
  const std::int32_t blocks = n / factor;
  for (std::int32_t k = 0; k < blocks; ++k) {
    const double* block = x + static_cast<std::size_t>(k) * factor * width;
    for (std::int32_t c = 0; c < width; ++c) {
      double v = block[c];
      if (average) {
        double sum = 0.0;
        for (std::int32_t i = 0; i < factor; ++i)
          sum += block[static_cast<std::size_t>(i) * width + c];
        v = sum / factor;
      }
      out[static_cast<std::size_t>(k) * width + c] = v;
    }
  }
  return kSuccess;
}

}  // namespace

Status Decimate(const double* x, std::int32_t n, std::int32_t factor, std::int32_t average,
                double* out) {
  return DecimateSamples(x, n, factor, average, 1, out);
}

Status ComplexDecimate(const double* x, std::int32_t n, std::int32_t factor, std::int32_t average,
                       double* out) {
  return DecimateSamples(x, n, factor, average, 2, out);
}

namespace {

void Unwrap(double* p, std::int32_t n, double period) {
  for (std::int32_t i = 1; i < n; ++i) {
    const double k = std::floor((p[i] - p[i - 1]) / period + 0.5);
    p[i] -= k * period;
  }
}

}  // namespace

Status UnwrapPhase(double* p, std::int32_t n) {
  if (n < 1) return kCountNotPositive;
  Unwrap(p, n, kTwoPi);
  return kSuccess;
}

Status UnwrapPhaseWithUnits(double* p, std::int32_t n, std::int32_t units) {
  if (n < 1) return kWrongDataCount;
  const bool degrees_in = units == kDegrees || units == kDegreesToRadians;
  Unwrap(p, n, degrees_in ? 360.0 : kTwoPi);
  if (units == kRadiansToDegrees || units == kDegreesToRadians) {
    const double factor = units == kRadiansToDegrees ? 360.0 / kTwoPi : kTwoPi / 360.0;
    for (std::int32_t i = 0; i < n; ++i) p[i] *= factor;
  }
  return kSuccess;
}

Status AmplitudePhaseSpectrum(const double* x, std::int32_t n, std::int32_t unwrap, double dt,
                              double* amplitude, double* phase, double* df) {
  if (n < 1) return kCountNotPositive;
  Scratch<double> work;
  if (Status s = work.Allocate(2 * static_cast<std::size_t>(n))) return s;
  double* re = work.data();
  double* im = re + n;
  std::memcpy(re, x, sizeof(double) * n);
  if (Status s = fft::RealFft(re, im, n)) return s;
  const std::int32_t half = n / 2;
  if (half > 0) {
    amplitude[0] = std::fabs(re[0]) / n;
    phase[0] = re[0] >= 0.0 ? 0.0 : kPi;
  }
  const double root2 = std::sqrt(2.0);
  for (std::int32_t k = 1; k < half; ++k) {
    // |X_k| without overflow of the squares.
    amplitude[k] = std::hypot(re[k], im[k]) * root2 / n;
    phase[k] = std::atan2(im[k], re[k]);
  }
  if (unwrap && half > 0) Unwrap(phase, half, kTwoPi);
  *df = 1.0 / (n * dt);
  return kSuccess;
}

}  // namespace qm::signal
