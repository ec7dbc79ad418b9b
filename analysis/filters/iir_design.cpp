// Classical IIR filter design as cascades of recursive sections.
//
// Every design is the bilinear transform of an analog prototype with the band
// edges prewarped: K = tan(pi fc/fs), and for bands K1 = tan(pi fh/fs),
// K2 = tan(pi fl/fs), P = K1 K2, B = K1 - K2. Prototypes (normalised to a
// passband edge of 1 rad/s, the inverse Chebyshev to a stopband edge of 1):
//   Butterworth     poles on the unit circle at angles theta_k;
//   Chebyshev       poles sh cos(theta_k) + j ch sin(theta_k) on an ellipse;
//   inverse Cheb.   reciprocals of those poles, zeros at +-j / sin(j pi/2N);
//   elliptic        poles and zeros from Jacobi elliptic functions;
//   linear ordinate poles on the unit circle with evenly spaced imaginary
//                   parts.
// References: A. V. Oppenheim and R. W. Schafer, Discrete-Time Signal
// Processing, 7.1-7.2; A. Antoniou, Digital Filters, chapter 5 (elliptic
// approximation); H. J. Orchard and A. N. Willson, "Elliptic functions for
// filter design", IEEE Trans. CAS-I 44 (1997).
//
// The lowpass members and the whole Butterworth family use their classical
// closed forms. The highpass, bandpass and bandstop members of the other
// families put their lowpass prototype's poles and zeros through the same
// substitution that the Butterworth forms embody, in powers of z^-1:
//   lowpass   s = (1 - z^-1) / (K (1 + z^-1))
//   highpass  s = K (1 + z^-1) / (1 - z^-1)
//   bandpass  s = ((1 + P) - 2(1 - P) z^-1 + (1 + P) z^-2) / (B (1 - z^-2))
//   bandstop  s = B (1 - z^-2) / ((1 + P) - 2(1 - P) z^-1 + (1 + P) z^-2)
// A prototype factor (n2 s^2 + n0) / (s^2 + d1 s + d0) with s = u/v becomes
// (n2 u^2 + n0 v^2) / (u^2 + d1 u v + d0 v^2), a first-order factor
// n0 / (s + d0) becomes n0 v / (u + d0 v); both are then scaled to a leading
// denominator coefficient of 1. With the Butterworth poles this reproduces
// the Butterworth band forms term by term.
#include "filters/iir_design.h"

#include <cmath>
#include <initializer_list>

#include "filters/elliptic.h"
#include "frame/math_constants.h"

namespace qm::filters {
namespace {

void Multiply(const double* x, const double* y, std::int32_t degree, double* out) {
  for (std::int32_t i = 0; i <= 2 * degree; ++i) out[i] = 0.0;
  for (std::int32_t i = 0; i <= degree; ++i) {
    for (std::int32_t k = 0; k <= degree; ++k) out[i + k] += x[i] * y[k];
  }
}

// Fills b from the factored numerator coefficients of `shape`.
void SetNumerator(IirSection& s, IirShape shape, double b0, double b1, double b2) {
  s.shape = shape;
  for (double& b : s.b) b = 0.0;
  switch (shape) {
    case IirShape::kSum1:
      s.b[0] = b0;
      s.b[1] = b0;
      break;
    case IirShape::kDiff1:
      s.b[0] = b0;
      s.b[1] = -b0;
      break;
    case IirShape::kSum2:
      s.b[0] = b0;
      s.b[1] = 2.0 * b0;
      s.b[2] = b0;
      break;
    case IirShape::kDiff2:
      s.b[0] = b0;
      s.b[1] = -2.0 * b0;
      s.b[2] = b0;
      break;
    case IirShape::kSym2:
      s.b[0] = b0;
      s.b[1] = b1;
      s.b[2] = b0;
      break;
    case IirShape::kAnti2:
      s.b[0] = b0;
      s.b[2] = -b0;
      break;
    case IirShape::kBand4:
      s.b[0] = b0;
      s.b[2] = -2.0 * b0;
      s.b[4] = b0;
      break;
    case IirShape::kSym4:
      s.b[0] = b0;
      s.b[1] = b1;
      s.b[2] = b2;
      s.b[3] = b1;
      s.b[4] = b0;
      break;
  }
}

IirSection MakeSection(std::int32_t length, std::initializer_list<double> a) {
  IirSection s{};
  s.length = length;
  std::int32_t i = 0;
  for (double v : a) s.a[i++] = v;
  return s;
}

}  // namespace

IirDesigner::IirDesigner(const IirParameters& params) : spec_(params) {
  const std::int32_t n = params.order;
  sections_ = static_cast<std::int32_t>((static_cast<std::int64_t>(n) + 1) / 2);
  odd_ = (n % 2) != 0;

  if (params.type == kIirLowpass || params.type == kIirHighpass) {
    k_ = std::tan(kPi * params.fl / params.fs);
    map_degree_ = 1;
    const double lo[2] = {1.0, -1.0};
    const double hi[2] = {k_, k_};
    for (int i = 0; i < 2; ++i) {
      u_[i] = params.type == kIirLowpass ? lo[i] : hi[i];
      v_[i] = params.type == kIirLowpass ? hi[i] : lo[i];
    }
  } else {
    k1_ = std::tan(kPi * params.fh / params.fs);
    k2_ = std::tan(kPi * params.fl / params.fs);
    p_ = k1_ * k2_;
    bw_ = k1_ - k2_;
    map_degree_ = 2;
    const double centre[3] = {1.0 + p_, -2.0 * (1.0 - p_), 1.0 + p_};
    const double width[3] = {bw_, 0.0, -bw_};
    for (int i = 0; i < 3; ++i) {
      u_[i] = params.type == kIirBandpass ? centre[i] : width[i];
      v_[i] = params.type == kIirBandpass ? width[i] : centre[i];
    }
  }
  Multiply(u_, u_, map_degree_, uu_);
  Multiply(u_, v_, map_degree_, uv_);
  Multiply(v_, v_, map_degree_, vv_);

  // Pole angles theta_k = (pi + pi/N)/2 + k pi/N, accumulated by addition.
  step_ = kPi / n;
  theta_ = (kPi + kPi / n) / 2.0;
  j_ = odd_ ? 2 : 1;
  t_ = 1.0 - 1.0 / n;

  switch (params.family) {
    case IirFamily::kButterworth:
    case IirFamily::kLinearOrdinate:
      break;
    case IirFamily::kChebyshev: {
      const double e10 = std::pow(10.0, params.ripple / 10.0);
      const double r = std::pow((std::sqrt(e10) + 1.0) / std::sqrt(e10 - 1.0), 1.0 / n);
      sh_ = (r - 1.0 / r) / 2.0;
      ch_ = (r + 1.0 / r) / 2.0;
      gain_div_ = std::sqrt(e10);
      break;
    }
    case IirFamily::kInverseChebyshev: {
      const double eps = std::sqrt(std::pow(10.0, params.attenuation / 10.0) - 1.0);
      const double r = std::pow((std::sqrt(1.0 / (eps * eps) + 1.0) + 1.0) * eps, 1.0 / n);
      sh_ = (r - 1.0 / r) / 2.0;
      ch_ = (r + 1.0 / r) / 2.0;
      break;
    }
    case IirFamily::kElliptic: {
      const double eps_p = std::sqrt(std::pow(10.0, params.ripple / 10.0) - 1.0);
      const double eps_s = std::sqrt(std::pow(10.0, params.attenuation / 10.0) - 1.0);
      const double k1 = eps_p / eps_s;
      const double k1c = std::sqrt(1.0 - k1 * k1);
      const double big_k1 = CompleteEllipticK(k1c);  // K(k1)
      const double big_k1c = CompleteEllipticK(k1);  // K(k1')
      // Degree equation: K'(k)/K(k) = K'(k1) / (N K(k1)).
      k_sel_ = ModulusFromNome(big_k1c / (big_k1 * n));
      const double kk = 1.0 - k_sel_ * k_sel_;
      kc_sel_ = kk > 0.0 ? std::sqrt(kk) : 0.0;
      u0_ = CompleteEllipticK(kc_sel_) / n;
      const double w0 = InverseJacobi(1.0 / eps_p, k1) * u0_ / big_k1;
      // Functions of the complementary modulus k' at w0 (second argument k).
      const JacobiValues at_w0 = JacobiSnCnDn(w0, k_sel_);
      sv_ = at_w0.sn;
      cv_ = at_w0.cn;
      dv_ = at_w0.dn;
      gain_div_ = std::sqrt(1.0 + eps_p * eps_p);
      break;
    }
  }
}

// ---------------------------------------------------------------------------
// Butterworth and linear-ordinate sections (c = cos theta_k, or -s_k).

IirSection IirDesigner::ButterworthFirst() const {
  const double k = k_, p = p_, b = bw_;
  switch (spec_.type) {
    case kIirLowpass: {
      IirSection s = MakeSection(1, {-(1.0 - k) / (1.0 + k)});
      SetNumerator(s, IirShape::kSum1, k / (k + 1.0), 0, 0);
      return s;
    }
    case kIirHighpass: {
      IirSection s = MakeSection(1, {-(1.0 - k) / (1.0 + k)});
      SetNumerator(s, IirShape::kDiff1, 1.0 / (k + 1.0), 0, 0);
      return s;
    }
    case kIirBandpass: {
      const double d = p + 1.0 + b;
      IirSection s = MakeSection(2, {-(2.0 * (1.0 - p)) / d, (p + 1.0 - b) / d});
      SetNumerator(s, IirShape::kAnti2, b / d, 0, 0);
      return s;
    }
    default: {
      const double d = p + 1.0 + b;
      const double g1 = -2.0 * (1.0 - p) / d;
      IirSection s = MakeSection(2, {g1, (p + 1.0 - b) / d});
      SetNumerator(s, IirShape::kSym2, (p + 1.0) / d, g1, 0);
      return s;
    }
  }
}

IirSection IirDesigner::ButterworthPair(double c) const {
  const double k = k_, p = p_, b = bw_;
  if (spec_.type == kIirLowpass || spec_.type == kIirHighpass) {
    const double kk = k * k;
    const double d = kk + 1.0 - 2.0 * k * c;
    IirSection s = MakeSection(2, {-(2.0 - 2.0 * kk) / d, (kk + 1.0 + 2.0 * k * c) / d});
    if (spec_.type == kIirLowpass) {
      SetNumerator(s, IirShape::kSum2, kk / d, 0, 0);
    } else {
      SetNumerator(s, IirShape::kDiff2, 1.0 / d, 0, 0);
    }
    return s;
  }
  const double e = (1.0 + p) * (1.0 + p) + b * b;
  const double f = 2.0 * b * c * (1.0 + p);
  const double g = 4.0 * b * c * (1.0 - p);
  const double d = e - f;
  IirSection s = MakeSection(
      4, {(4.0 * p * p - 4.0 + g) / d, (6.0 - 2.0 * (2.0 * p + b * b) + 6.0 * p * p) / d,
          (4.0 * p * p - 4.0 - g) / d, (e + f) / d});
  if (spec_.type == kIirBandpass) {
    SetNumerator(s, IirShape::kBand4, b * b / d, 0, 0);
  } else {
    SetNumerator(s, IirShape::kSym4, (1.0 + p) * (1.0 + p) / d, -4.0 * (1.0 - p * p) / d,
                 (6.0 - 4.0 * p + 6.0 * p * p) / d);
  }
  return s;
}

// ---------------------------------------------------------------------------
// Substitution of a prototype factor (highpass and band members).

IirSection IirDesigner::TransformFirst(double pole) const {
  // n0 / (s + d0) with n0 = d0 = pole: unit gain at the prototype's 0 rad/s.
  const std::int32_t m = map_degree_;
  double num[3] = {}, den[3] = {};
  for (std::int32_t i = 0; i <= m; ++i) {
    num[i] = pole * v_[i];
    den[i] = u_[i] + pole * v_[i];
  }
  IirSection s{};
  s.length = m;
  for (std::int32_t i = 1; i <= m; ++i) s.a[i - 1] = den[i] / den[0];
  const double b0 = num[0] / den[0];
  switch (spec_.type) {
    case kIirLowpass:
      SetNumerator(s, IirShape::kSum1, b0, 0, 0);
      break;
    case kIirHighpass:
      SetNumerator(s, IirShape::kDiff1, b0, 0, 0);
      break;
    case kIirBandpass:
      SetNumerator(s, IirShape::kAnti2, b0, 0, 0);
      break;
    default:
      SetNumerator(s, IirShape::kSym2, b0, num[1] / den[0], 0);
      break;
  }
  return s;
}

IirSection IirDesigner::TransformPair(double n2, double n0, double d1, double d0) const {
  const std::int32_t m = 2 * map_degree_;
  double num[5] = {}, den[5] = {};
  for (std::int32_t i = 0; i <= m; ++i) {
    num[i] = n2 * uu_[i] + n0 * vv_[i];
    den[i] = uu_[i] + d1 * uv_[i] + d0 * vv_[i];
  }
  IirSection s{};
  s.length = m;
  for (std::int32_t i = 1; i <= m; ++i) s.a[i - 1] = den[i] / den[0];
  const double b0 = num[0] / den[0], b1 = num[1] / den[0], b2 = num[2] / den[0];
  const bool zeros = n2 != 0.0;
  switch (spec_.type) {
    case kIirLowpass:
      SetNumerator(s, zeros ? IirShape::kSym2 : IirShape::kSum2, b0, b1, 0);
      break;
    case kIirHighpass:
      SetNumerator(s, zeros ? IirShape::kSym2 : IirShape::kDiff2, b0, b1, 0);
      break;
    case kIirBandpass:
      SetNumerator(s, zeros ? IirShape::kSym4 : IirShape::kBand4, b0, b1, b2);
      break;
    default:
      SetNumerator(s, IirShape::kSym4, b0, b1, b2);
      break;
  }
  return s;
}

// ---------------------------------------------------------------------------
// Chebyshev, inverse Chebyshev and elliptic pairs.

IirSection IirDesigner::NextChebyshev(bool first_pair) {
  const double c = std::cos(theta_);
  const double sh2 = sh_ * sh_, ch2 = ch_ * ch_;
  const bool normalise = first_pair && !odd_;
  if (spec_.type != kIirLowpass) {
    const double mag2 = (std::cos(2.0 * theta_) * (sh2 - ch2) + (ch2 + sh2)) / 2.0;  // |pole|^2
    return TransformPair(0.0, normalise ? mag2 / gain_div_ : mag2, -2.0 * sh_ * c, mag2);
  }
  const double k = k_;
  const double q = 2.0 * k * sh_ * c;
  const double m = (std::cos(2.0 * theta_) * (sh2 - ch2) + (ch2 + sh2)) * (k * k) / 2.0;
  const double d = 1.0 - q + m;
  IirSection s = MakeSection(2, {-(2.0 - 2.0 * m) / d, (1.0 + q + m) / d});
  double g = m / d;
  if (normalise) g = g / gain_div_;
  SetNumerator(s, IirShape::kSum2, g, 0, 0);
  return s;
}

IirSection IirDesigner::NextInverseChebyshev() {
  const double n = spec_.order;
  const double sz = std::sin(j_ * kPi / (2.0 * n));
  const double st = std::sin(theta_), ct = std::cos(theta_);
  const double rho = (ch_ * st) * (ch_ * st) + (sh_ * ct) * (sh_ * ct);
  if (spec_.type != kIirLowpass) {
    // Poles 1/(sh cos + j ch sin), zeros +-j/sz, unit gain at 0 rad/s.
    const double d0 = 1.0 / rho;
    return TransformPair(d0 * (sz * sz), d0, -2.0 * sh_ * ct / rho, d0);
  }
  const double kk = k_ * k_;
  const double z = kk / (sz * sz);
  const double pp = kk / rho;
  const double r = -2.0 * k_ * sh_ * ct / rho;
  const double g = pp / z;
  const double d = 1.0 + r + pp;
  IirSection s = MakeSection(2, {-(2.0 * (1.0 - pp)) / d, (1.0 - r + pp) / d});
  SetNumerator(s, IirShape::kSym2, g * (z + 1.0) / d, -2.0 * g * (1.0 - z) / d, 0);
  return s;
}

IirSection IirDesigner::NextElliptic(bool first_pair) {
  const JacobiValues f = JacobiSnCnDn(j_ * u0_, kc_sel_);
  const double zero = 1.0 / (k_sel_ * f.sn);  // zeros at +-j zero
  const double den = 1.0 - (f.dn * sv_) * (f.dn * sv_);
  const double re = -(f.cn * f.dn * sv_ * cv_) / den;
  const double im = f.sn * dv_ / den;
  const double mag2 = re * re + im * im;
  const bool normalise = first_pair && !odd_;
  if (spec_.type != kIirLowpass) {
    double n0 = mag2;
    if (normalise) n0 = n0 / gain_div_;
    return TransformPair(n0 / (zero * zero), n0, -2.0 * re, mag2);
  }
  // The inverse Chebyshev form with these zeros and poles.
  const double kk = k_ * k_;
  const double z = kk * (zero * zero);
  const double pp = kk * mag2;
  const double r = -2.0 * k_ * re;
  double g = pp / z;
  if (normalise) g = g / gain_div_;
  const double d = 1.0 + r + pp;
  IirSection s = MakeSection(2, {-(2.0 * (1.0 - pp)) / d, (1.0 - r + pp) / d});
  SetNumerator(s, IirShape::kSym2, g * (z + 1.0) / d, -2.0 * g * (1.0 - z) / d, 0);
  return s;
}

// ---------------------------------------------------------------------------

IirSection IirDesigner::Next() {
  const bool first_order = odd_ && produced_ == 0;
  const bool first_pair = produced_ == (odd_ ? 1 : 0);
  ++produced_;
  const IirFamily family = spec_.family;

  if (first_order) {
    double pole = 1.0;  // Butterworth and linear ordinate: the real pole at -1
    switch (family) {
      case IirFamily::kButterworth:
      case IirFamily::kLinearOrdinate:
        return ButterworthFirst();
      case IirFamily::kChebyshev:
        pole = sh_;
        break;
      case IirFamily::kInverseChebyshev:
        pole = 1.0 / sh_;
        break;
      case IirFamily::kElliptic: {
        const JacobiValues f = JacobiSnCnDn(0.0, kc_sel_);
        pole = f.cn * f.dn * sv_ * cv_ / (1.0 - (f.dn * sv_) * (f.dn * sv_));
        break;
      }
    }
    if (spec_.type != kIirLowpass) return TransformFirst(pole);
    // Lowpass first-order form with the prewarped edge scaled by the pole.
    const double kp = pole * k_;
    IirSection s = MakeSection(1, {-(1.0 - kp) / (1.0 + kp)});
    SetNumerator(s, IirShape::kSum1, kp / (kp + 1.0), 0, 0);
    return s;
  }

  IirSection s{};
  switch (family) {
    case IirFamily::kButterworth:
      s = ButterworthPair(std::cos(theta_));
      break;
    case IirFamily::kLinearOrdinate:
      s = ButterworthPair(-std::sqrt(1.0 - t_ * t_));
      t_ -= 2.0 / spec_.order;
      break;
    case IirFamily::kChebyshev:
      s = NextChebyshev(first_pair);
      break;
    case IirFamily::kInverseChebyshev:
      s = NextInverseChebyshev();
      break;
    case IirFamily::kElliptic:
      s = NextElliptic(first_pair);
      break;
  }
  theta_ += step_;
  j_ += 2;
  return s;
}

}  // namespace qm::filters
