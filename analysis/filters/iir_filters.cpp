// Classical IIR filters applied to a whole signal in one call.
//
// The filter is designed section by section (iir_design.cpp); each section
// is a direct-form I recursion whose past inputs and outputs start at zero,
// and the sections run sample by sample in passes (iir_sample_major.h) from
// x to y. The numerator is evaluated in the factored form of its section,
// for instance g (x[n] + 2 x[n-1] + x[n-2]); this file is compiled without
// fused multiply-add contraction, so the samples are the same in every build.
#include "filters/iir_filters.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <utility>

#include "filters/iir_sample_major.h"
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
// Section kernels.
//
// A pass runs consecutive sections whose shapes are template arguments, so
// that every numerator is evaluated in its own form with no branch per
// sample. It keeps one delay line per junction of its cascade: h[0] holds
// the past inputs of the first section, h[k] the past outputs of section
// k - 1, which are also the past inputs of section k. L is the longest
// section of the pass; shorter sections leave the older entries unused.

constexpr int LengthOf(IirShape shape) {
  switch (shape) {
    case IirShape::kSum1:
    case IirShape::kDiff1:
      return 1;
    case IirShape::kBand4:
    case IirShape::kSym4:
      return 4;
    default:
      return 2;
  }
}

// One output sample of section s from its input x0; x[j] and y[j] are its
// input and output j + 1 samples back.
template <IirShape kShape>
[[gnu::always_inline]] inline double SectionStep(const IirSection& s, double x0, const double* x,
                                                 const double* y) {
  const double* b = s.b;
  const double* a = s.a;
  if constexpr (kShape == IirShape::kSum1) {
    return b[0] * (x0 + x[0]) - a[0] * y[0];
  } else if constexpr (kShape == IirShape::kDiff1) {
    return b[0] * (x0 - x[0]) - a[0] * y[0];
  } else if constexpr (kShape == IirShape::kSum2) {
    return b[0] * (x0 + 2.0 * x[0] + x[1]) - a[0] * y[0] - a[1] * y[1];
  } else if constexpr (kShape == IirShape::kDiff2) {
    return b[0] * (x0 - 2.0 * x[0] + x[1]) - a[0] * y[0] - a[1] * y[1];
  } else if constexpr (kShape == IirShape::kSym2) {
    return b[0] * (x0 + x[1]) + b[1] * x[0] - a[0] * y[0] - a[1] * y[1];
  } else if constexpr (kShape == IirShape::kAnti2) {
    return b[0] * (x0 - x[1]) - a[0] * y[0] - a[1] * y[1];
  } else if constexpr (kShape == IirShape::kBand4) {
    return b[0] * (x0 - 2.0 * x[1] + x[3]) - a[0] * y[0] - a[1] * y[1] - a[2] * y[2] - a[3] * y[3];
  } else {
    static_assert(kShape == IirShape::kSym4);
    return b[0] * (x0 + x[3]) + b[1] * (x[0] + x[2]) + b[2] * x[1] - a[0] * y[0] - a[1] * y[1] -
           a[2] * y[2] - a[3] * y[3];
  }
}

// sections[k] has shape kShapes[k]; all of them from rest over in -> out,
// sample by sample (out may equal in).
template <IirShape... kShapes>
void RunPass(const IirSection* sections, const double* in, double* out, std::int32_t n) {
  constexpr int K = sizeof...(kShapes);
  constexpr IirShape kShape[K] = {kShapes...};
  constexpr int L = std::max({LengthOf(kShapes)...});
  IirSection s[K];
  for (int k = 0; k < K; ++k) s[k] = sections[k];
  double h[K + 1][L] = {};
  for (std::int32_t i = 0; i < n; ++i) {
    double v[K + 1];
    v[0] = in[i];
    Unrolled<K>([&](auto k) {
      v[k + 1] = SectionStep<kShape[decltype(k)::value]>(s[k], v[k], h[k], h[k + 1]);
    });
    Unrolled<K + 1>([&](auto k) {
      Unrolled<L - 1>([&](auto j) { h[k][L - 1 - j] = h[k][L - 2 - j]; });
      h[k][0] = v[k];
    });
    out[i] = v[K];
  }
}

// A pass of kLead (none or one shape) and kBody once per I, sections[0]
// being the first of the pass.
template <IirShape kBody, IirShape... kLead, int... I>
void RunPass(std::integer_sequence<int, I...>, const IirSection* sections, const double* in,
             double* out, std::int32_t n) {
  RunPass<kLead..., (static_cast<void>(I), kBody)...>(sections, in, out, n);
}

// A pass of kLead (none or one shape) and `count` sections of kBody.
template <IirShape kBody, IirShape... kLead>
void RunPass(const IirSection* sections, int count, const double* in, double* out, std::int32_t n) {
  WithCount<kIirPassSections - sizeof...(kLead)>(count, [&](auto m) {
    RunPass<kBody, kLead...>(std::make_integer_sequence<int, decltype(m)::value>{}, sections, in,
                             out, n);
  });
}

// A pass of `count` sections of one shape.
void RunUniformPass(IirShape shape, const IirSection* sections, int count, const double* in,
                    double* out, std::int32_t n) {
  switch (shape) {
    case IirShape::kSum1:
      return RunPass<IirShape::kSum1>(sections, count, in, out, n);
    case IirShape::kDiff1:
      return RunPass<IirShape::kDiff1>(sections, count, in, out, n);
    case IirShape::kSum2:
      return RunPass<IirShape::kSum2>(sections, count, in, out, n);
    case IirShape::kDiff2:
      return RunPass<IirShape::kDiff2>(sections, count, in, out, n);
    case IirShape::kSym2:
      return RunPass<IirShape::kSym2>(sections, count, in, out, n);
    case IirShape::kAnti2:
      return RunPass<IirShape::kAnti2>(sections, count, in, out, n);
    case IirShape::kBand4:
      return RunPass<IirShape::kBand4>(sections, count, in, out, n);
    case IirShape::kSym4:
      return RunPass<IirShape::kSym4>(sections, count, in, out, n);
  }
}

// The first sections the designs put before their pairs (the first-order
// prototype section of odd orders) and the pairs they precede.
struct LeadPair {
  IirShape lead, body;
};
constexpr LeadPair kLeadPairs[] = {
    {IirShape::kSum1, IirShape::kSum2},   {IirShape::kSum1, IirShape::kSym2},
    {IirShape::kDiff1, IirShape::kDiff2}, {IirShape::kDiff1, IirShape::kSym2},
    {IirShape::kAnti2, IirShape::kBand4}, {IirShape::kAnti2, IirShape::kSym4},
    {IirShape::kSym2, IirShape::kSym4},
};

// A pass of a lead section and count - 1 sections of another shape, when
// kLeadPairs holds the pair; false otherwise.
template <std::size_t... P>
bool RunLeadPass(std::index_sequence<P...>, const IirSection* sections, int count, const double* in,
                 double* out, std::int32_t n) {
  const IirShape lead = sections[0].shape, body = sections[1].shape;
  return ((lead == kLeadPairs[P].lead && body == kLeadPairs[P].body
               ? (RunPass<kLeadPairs[P].body, kLeadPairs[P].lead>(sections, count - 1, in, out, n),
                  true)
               : false) ||
          ...);
}

// sections[1 .. count-1] share one shape; sections[0] may differ from them.
void RunPass(const IirSection* sections, int count, const double* in, double* out, std::int32_t n) {
  if (count == 1 || sections[1].shape == sections[0].shape) {
    RunUniformPass(sections[0].shape, sections, count, in, out, n);
  } else if (!RunLeadPass(std::make_index_sequence<std::size(kLeadPairs)>{}, sections, count, in,
                          out, n)) {
    // A pairing no design makes: the lead section runs on its own.
    RunUniformPass(sections[0].shape, sections, 1, in, out, n);
    RunUniformPass(sections[1].shape, sections + 1, count - 1, out, out, n);
  }
}

}  // namespace

Status IirFilterSignal(const IirParameters& params, const double* x, std::int32_t n, double* y) {
  if (Status s = CheckOneCall(params, n)) return s;
  // The first pass reads x and writes y; an output that overlaps the input
  // only partly gets its copy of the input first.
  if (OverlapsPartly(x, y, n)) {
    std::memmove(y, x, static_cast<std::size_t>(n) * sizeof(double));
    x = y;
  }
  // Passes of up to kIirPassSections sections (IirPassLength): a first
  // section of its own shape, then sections of one shape.
  IirDesigner designer(params);
  const std::int32_t sections = designer.SectionCount();
  IirSection pass[kIirPassSections];
  int count = 0, length = IirPassLength(sections);
  const double* in = x;
  for (std::int32_t k = 0; k < sections; ++k) {
    const IirSection next = designer.Next();
    if (count == length || (count >= 2 && next.shape != pass[count - 1].shape)) {
      RunPass(pass, count, in, y, n);
      in = y;
      count = 0;
      length = IirPassLength(sections - k);
    }
    pass[count++] = next;
  }
  RunPass(pass, count, in, y, n);
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
