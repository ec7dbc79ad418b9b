// Classical IIR filters applied to a whole signal in one call.
//
// The filter is designed section by section (iir_design.cpp) and each
// section runs over the whole output array in place, as a direct-form I
// recursion whose past inputs and outputs live in locals and start at zero.
// The numerator is evaluated in the factored form of its section, for
// instance g (x[n] + 2 x[n-1] + x[n-2]); this file is compiled without
// fused multiply-add contraction, so the samples are the same in every build.
#include "filters/iir_filters.h"

#include <cmath>
#include <cstring>

#include "qmanlys.h"

namespace qm::filters {
namespace {

bool Positive(double v) { return v > 0.0; }  // false for NaN

// Checks in the documented order; `params.fh` is the cut-off's twin for
// lowpass and highpass (unused).
Status CheckOneCall(const IirParameters& params, std::int32_t n) {
  const bool band = params.type == kIirBandpass || params.type == kIirBandstop;
  const IirFamily family = params.family;
  const bool takes_ripple = family == IirFamily::kChebyshev || family == IirFamily::kElliptic;
  const bool takes_attenuation =
      family == IirFamily::kInverseChebyshev || family == IirFamily::kElliptic;
  if (n < 1) return kCountNotPositive;
  if (params.order < 1) return kOrderNotPositive;
  // A NaN or an infinite sampling rate is no sampling rate.
  const bool fs_ok = Positive(params.fs) && std::isfinite(params.fs);
  if (!band) {
    if (!Positive(params.fl) || !fs_ok) return kBadBandEdges;
  } else {
    if (!Positive(params.fl)) return kBadBandEdges;
    if (!Positive(params.fh) || !fs_ok) return kBadBandEdges;
    if (family == IirFamily::kButterworth && params.fl >= params.fh) return kBadBandEdges;
  }
  // A ripple or attenuation of NaN or infinity designs nothing: rejected too.
  if (takes_ripple && !(Positive(params.ripple) && std::isfinite(params.ripple))) {
    return kRippleNotPositive;
  }
  if (takes_attenuation && !(Positive(params.attenuation) && std::isfinite(params.attenuation))) {
    return kAttenuationNotPositive;
  }
  if (family == IirFamily::kElliptic && params.ripple >= params.attenuation) {
    return kAttenuationBelowRipple;
  }
  if (band && params.fl >= params.fh) return kBadBandEdges;
  if ((band ? params.fh : params.fl) > params.fs / 2.0) return kBadCutoff;
  return kSuccess;
}

// ---------------------------------------------------------------------------
// Section kernels (in place, zero history).

template <int kSign>  // +1: b (x0 + x1), -1: b (x0 - x1)
void RunFirst(const IirSection& s, double* y, std::int32_t n) {
  const double b = s.b[0], a1 = s.a[0];
  double x1 = 0.0, y1 = 0.0;
  for (std::int32_t i = 0; i < n; ++i) {
    const double x0 = y[i];
    const double out = (kSign > 0 ? b * (x0 + x1) : b * (x0 - x1)) - a1 * y1;
    x1 = x0;
    y1 = out;
    y[i] = out;
  }
}

template <int kSign>  // +1: g (x0 + 2 x1 + x2), -1: g (x0 - 2 x1 + x2)
void RunBinomial2(const IirSection& s, double* y, std::int32_t n) {
  const double g = s.b[0], a1 = s.a[0], a2 = s.a[1];
  double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
  for (std::int32_t i = 0; i < n; ++i) {
    const double x0 = y[i];
    const double num = kSign > 0 ? x0 + 2.0 * x1 + x2 : x0 - 2.0 * x1 + x2;
    const double out = g * num - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x0;
    y2 = y1;
    y1 = out;
    y[i] = out;
  }
}

void RunSym2(const IirSection& s, double* y, std::int32_t n) {
  const double b0 = s.b[0], b1 = s.b[1], a1 = s.a[0], a2 = s.a[1];
  double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
  for (std::int32_t i = 0; i < n; ++i) {
    const double x0 = y[i];
    const double out = b0 * (x0 + x2) + b1 * x1 - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x0;
    y2 = y1;
    y1 = out;
    y[i] = out;
  }
}

void RunAnti2(const IirSection& s, double* y, std::int32_t n) {
  const double b0 = s.b[0], a1 = s.a[0], a2 = s.a[1];
  double x1 = 0.0, x2 = 0.0, y1 = 0.0, y2 = 0.0;
  for (std::int32_t i = 0; i < n; ++i) {
    const double x0 = y[i];
    const double out = b0 * (x0 - x2) - a1 * y1 - a2 * y2;
    x2 = x1;
    x1 = x0;
    y2 = y1;
    y1 = out;
    y[i] = out;
  }
}

template <bool kBand>  // true: g (x0 - 2 x2 + x4); false: symmetric numerator
void RunFourth(const IirSection& s, double* y, std::int32_t n) {
  const double b0 = s.b[0], b1 = s.b[1], b2 = s.b[2];
  const double d1 = s.a[0], d2 = s.a[1], d3 = s.a[2], d4 = s.a[3];
  double x1 = 0.0, x2 = 0.0, x3 = 0.0, x4 = 0.0;
  double y1 = 0.0, y2 = 0.0, y3 = 0.0, y4 = 0.0;
  for (std::int32_t i = 0; i < n; ++i) {
    const double x0 = y[i];
    const double num =
        kBand ? b0 * (x0 - 2.0 * x2 + x4) : b0 * (x0 + x4) + b1 * (x1 + x3) + b2 * x2;
    const double out = num - d1 * y1 - d2 * y2 - d3 * y3 - d4 * y4;
    x4 = x3;
    x3 = x2;
    x2 = x1;
    x1 = x0;
    y4 = y3;
    y3 = y2;
    y2 = y1;
    y1 = out;
    y[i] = out;
  }
}

}  // namespace

void IirRunSection(const IirSection& section, double* y, std::int32_t n) {
  switch (section.shape) {
    case IirShape::kSum1:
      RunFirst<1>(section, y, n);
      break;
    case IirShape::kDiff1:
      RunFirst<-1>(section, y, n);
      break;
    case IirShape::kSum2:
      RunBinomial2<1>(section, y, n);
      break;
    case IirShape::kDiff2:
      RunBinomial2<-1>(section, y, n);
      break;
    case IirShape::kSym2:
      RunSym2(section, y, n);
      break;
    case IirShape::kAnti2:
      RunAnti2(section, y, n);
      break;
    case IirShape::kBand4:
      RunFourth<true>(section, y, n);
      break;
    case IirShape::kSym4:
      RunFourth<false>(section, y, n);
      break;
  }
}

Status IirFilterSignal(const IirParameters& params, const double* x, std::int32_t n, double* y) {
  if (Status s = CheckOneCall(params, n)) return s;
  if (y != x) std::memmove(y, x, static_cast<std::size_t>(n) * sizeof(double));
  IirDesigner designer(params);
  for (std::int32_t k = 0; k < designer.SectionCount(); ++k) {
    IirRunSection(designer.Next(), y, n);
  }
  return kSuccess;
}

// ---------------------------------------------------------------------------
// The sixteen operations.

namespace {

IirParameters Params(IirFamily family, std::int32_t type, std::int32_t order, double fs, double fl,
                     double fh, double ripple, double attenuation) {
  return IirParameters{family, type, order, fs, fl, fh, ripple, attenuation};
}

constexpr IirFamily kButter = IirFamily::kButterworth;
constexpr IirFamily kCheby = IirFamily::kChebyshev;
constexpr IirFamily kInverse = IirFamily::kInverseChebyshev;
constexpr IirFamily kEllip = IirFamily::kElliptic;

}  // namespace

Status ButterworthLowpass(const double* x, std::int32_t n, double fs, double fc, std::int32_t order,
                          double* y) {
  return IirFilterSignal(Params(kButter, kIirLowpass, order, fs, fc, 0, 0, 0), x, n, y);
}
Status ButterworthHighpass(const double* x, std::int32_t n, double fs, double fc,
                           std::int32_t order, double* y) {
  return IirFilterSignal(Params(kButter, kIirHighpass, order, fs, fc, 0, 0, 0), x, n, y);
}
Status ButterworthBandpass(const double* x, std::int32_t n, double fs, double fl, double fh,
                           std::int32_t order, double* y) {
  return IirFilterSignal(Params(kButter, kIirBandpass, order, fs, fl, fh, 0, 0), x, n, y);
}
Status ButterworthBandstop(const double* x, std::int32_t n, double fs, double fl, double fh,
                           std::int32_t order, double* y) {
  return IirFilterSignal(Params(kButter, kIirBandstop, order, fs, fl, fh, 0, 0), x, n, y);
}
Status ChebyshevLowpass(const double* x, std::int32_t n, double fs, double fc, double ripple,
                        std::int32_t order, double* y) {
  return IirFilterSignal(Params(kCheby, kIirLowpass, order, fs, fc, 0, ripple, 0), x, n, y);
}
Status ChebyshevHighpass(const double* x, std::int32_t n, double fs, double fc, double ripple,
                         std::int32_t order, double* y) {
  return IirFilterSignal(Params(kCheby, kIirHighpass, order, fs, fc, 0, ripple, 0), x, n, y);
}
Status ChebyshevBandpass(const double* x, std::int32_t n, double fs, double fl, double fh,
                         double ripple, std::int32_t order, double* y) {
  return IirFilterSignal(Params(kCheby, kIirBandpass, order, fs, fl, fh, ripple, 0), x, n, y);
}
Status ChebyshevBandstop(const double* x, std::int32_t n, double fs, double fl, double fh,
                         double ripple, std::int32_t order, double* y) {
  return IirFilterSignal(Params(kCheby, kIirBandstop, order, fs, fl, fh, ripple, 0), x, n, y);
}
Status InverseChebyshevLowpass(const double* x, std::int32_t n, double fs, double fc,
                               double attenuation, std::int32_t order, double* y) {
  return IirFilterSignal(Params(kInverse, kIirLowpass, order, fs, fc, 0, 0, attenuation), x, n, y);
}
Status InverseChebyshevHighpass(const double* x, std::int32_t n, double fs, double fc,
                                double attenuation, std::int32_t order, double* y) {
  return IirFilterSignal(Params(kInverse, kIirHighpass, order, fs, fc, 0, 0, attenuation), x, n, y);
}
Status InverseChebyshevBandpass(const double* x, std::int32_t n, double fs, double fl, double fh,
                                double attenuation, std::int32_t order, double* y) {
  return IirFilterSignal(Params(kInverse, kIirBandpass, order, fs, fl, fh, 0, attenuation), x, n,
                         y);
}
Status InverseChebyshevBandstop(const double* x, std::int32_t n, double fs, double fl, double fh,
                                double attenuation, std::int32_t order, double* y) {
  return IirFilterSignal(Params(kInverse, kIirBandstop, order, fs, fl, fh, 0, attenuation), x, n,
                         y);
}
Status EllipticLowpass(const double* x, std::int32_t n, double fs, double fc, double ripple,
                       double attenuation, std::int32_t order, double* y) {
  return IirFilterSignal(Params(kEllip, kIirLowpass, order, fs, fc, 0, ripple, attenuation), x, n,
                         y);
}
Status EllipticHighpass(const double* x, std::int32_t n, double fs, double fc, double ripple,
                        double attenuation, std::int32_t order, double* y) {
  return IirFilterSignal(Params(kEllip, kIirHighpass, order, fs, fc, 0, ripple, attenuation), x, n,
                         y);
}
Status EllipticBandpass(const double* x, std::int32_t n, double fs, double fl, double fh,
                        double ripple, double attenuation, std::int32_t order, double* y) {
  return IirFilterSignal(Params(kEllip, kIirBandpass, order, fs, fl, fh, ripple, attenuation), x, n,
                         y);
}
Status EllipticBandstop(const double* x, std::int32_t n, double fs, double fl, double fh,
                        double ripple, double attenuation, std::int32_t order, double* y) {
  return IirFilterSignal(Params(kEllip, kIirBandstop, order, fs, fl, fh, ripple, attenuation), x, n,
                         y);
}

}  // namespace qm::filters
