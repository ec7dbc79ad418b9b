// The IIR cascade filter record: creation, design, direct-form II filtering
// with a persistent delay line (all sections sample by sample, in passes, see
// iir_sample_major.h), and expansion into one transfer function.
//
// Record layout (one block): the fixed fields, then a (S per section),
// b (S + 1 per section) and state (S per section), S = 2 for lowpass and
// highpass, 4 for bandpass and bandstop, sections = (N + 1)/2. For odd N
// section 0 is the first-order prototype section padded with zeros.
#include "filters/iir_cascade.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>

#include "filters/iir_sample_major.h"
#include "frame/counts.h"
#include "frame/workspace.h"

namespace qm::filters {
namespace {

bool IsBand(std::int32_t type) { return type == kIirBandpass || type == kIirBandstop; }
std::int64_t SectionsOf(std::int32_t order) { return (static_cast<std::int64_t>(order) + 1) / 2; }
bool Positive(double v) { return v > 0.0; }  // false for NaN

// Checks 1 to 5 of a design, on the arguments alone (no record needed).
Status CheckDesignArguments(const IirParameters& params) {
  if (params.order < 1) return kOrderNotPositive;
  double fl = params.fl, fh = params.fh;
  const double fs = params.fs;
  // Lowpass and highpass use fl only: fh is put between fl and fs/2.
  if (params.type == kIirLowpass || params.type == kIirHighpass) fh = (fs / 2.0 + fl) / 2.0;
  // NaN fails every comparison; an infinite sampling rate is rejected too.
  if (!Positive(fl) || !Positive(fh) || !(fl < fh) || !Positive(fs) || !std::isfinite(fs)) {
    return kBadBandEdges;
  }
  if (fh > fs / 2.0 || fl > fs / 2.0) return kBadCutoff;
  const IirFamily family = params.family;
  if (family == IirFamily::kChebyshev || family == IirFamily::kElliptic) {
    if (!(Positive(params.ripple) && std::isfinite(params.ripple))) return kRippleNotPositive;
  }
  if (family == IirFamily::kInverseChebyshev || family == IirFamily::kElliptic) {
    if (!(Positive(params.attenuation) && std::isfinite(params.attenuation))) {
      return kAttenuationNotPositive;
    }
  }
  if (family == IirFamily::kElliptic && params.ripple >= params.attenuation) {
    return kAttenuationBelowRipple;
  }
  if (params.type < 0 || params.type > 3) return kBadSelection;
  return kSuccess;
}

// Direct form II, sections [0 .. K-1] of order S (a: S, b: S + 1, state: S
// each), sample by sample over a block: in -> out (out may equal in), the
// state carried on.
template <int S, int K>
void RunPass(const double* a, const double* b, double* state, const double* in, double* out,
             std::int32_t n) {
  double z[K][S], ac[K][S], bc[K][S + 1];
  for (int k = 0; k < K; ++k) {
    for (int j = 0; j < S; ++j) {
      z[k][j] = state[k * S + j];
      ac[k][j] = a[k * S + j];
    }
    for (int j = 0; j <= S; ++j) bc[k][j] = b[k * (S + 1) + j];
  }
  for (std::int32_t i = 0; i < n; ++i) {
    double v = in[i];
    Unrolled<K>([&](auto k) {
      double w = v;
      Unrolled<S>([&](auto j) { w -= ac[k][j] * z[k][j]; });
      double o = bc[k][0] * w;
      Unrolled<S>([&](auto j) { o += bc[k][j + 1] * z[k][j]; });
      Unrolled<S - 1>([&](auto j) { z[k][S - 1 - j] = z[k][S - 2 - j]; });
      z[k][0] = w;
      v = o;
    });
    out[i] = v;
  }
  for (int k = 0; k < K; ++k) {
    for (int j = 0; j < S; ++j) state[k * S + j] = z[k][j];
  }
}

// `count` sections (1 .. kIirPassSections) in one pass.
template <int S>
void RunPass(const double* a, const double* b, double* state, int count, const double* in,
             double* out, std::int32_t n) {
  WithCount<kIirPassSections>(
      count, [&](auto k) { RunPass<S, decltype(k)::value>(a, b, state, in, out, n); });
}

// The multiply of den/num products: out[0 .. la+lb-2] = x * y.
void Convolve(const double* x, std::int64_t lx, const double* y, std::int64_t ly, double* out) {
  for (std::int64_t i = 0; i < lx + ly - 1; ++i) out[i] = 0.0;
  for (std::int64_t i = 0; i < lx; ++i) {
    for (std::int64_t k = 0; k < ly; ++k) out[i + k] += x[i] * y[k];
  }
}

}  // namespace

IirCascadeRecord* IirCascadeCreate(std::int32_t type, std::int32_t order) {
  if (type < 0 || type > 3 || order < 1) return nullptr;
  const std::int64_t sections = SectionsOf(order);
  const std::int64_t s = IsBand(type) ? 4 : 2;
  const std::int64_t a_count = sections * s, b_count = sections * (s + 1);
  // The counts are 32-bit fields: a design they cannot describe is refused.
  if (!FitsInt32(b_count)) return nullptr;
  const std::size_t bytes =
      sizeof(IirCascadeRecord) + static_cast<std::size_t>(2 * a_count + b_count) * sizeof(double);
  void* block = nullptr;
  if (WorkspaceAlloc(&block, bytes) != kSuccess) return nullptr;
  auto* record = static_cast<IirCascadeRecord*>(block);
  record->type = type;
  record->order = order;
  record->resetPending = 0;
  record->aCount = static_cast<std::int32_t>(a_count);
  record->a = reinterpret_cast<double*>(static_cast<char*>(block) + sizeof(IirCascadeRecord));
  record->bCount = static_cast<std::int32_t>(b_count);
  record->b = record->a + a_count;
  record->stateCount = static_cast<std::int32_t>(a_count);
  record->state = record->b + b_count;
  // Coefficients and state all zero: a record filtered or expanded before any
  // design gives zeros, never what the block held before.
  std::memset(record->a, 0, static_cast<std::size_t>(2 * a_count + b_count) * sizeof(double));
  return record;
}

void IirCascadeReset(IirCascadeRecord* record) {
  if (record) record->resetPending = 1;
}

Status IirCascadeDesign(const IirParameters& spec_in, IirCascadeRecord* record) {
  if (!record) return kBadIirRecord;
  IirParameters params = spec_in;
  params.type = record->type;
  params.order = record->order;
  if (Status s = CheckDesignArguments(params)) return s;
  const std::int64_t sections = SectionsOf(params.order);
  const std::int64_t order_s = IsBand(params.type) ? 4 : 2;
  if (!record->a || !record->b || record->aCount < order_s * sections ||
      record->bCount < (order_s + 1) * sections) {
    return kBadIirRecord;
  }
  IirDesigner designer(params);
  for (std::int64_t k = 0; k < sections; ++k) {
    const IirSection section = designer.Next();
    double* a = record->a + k * order_s;
    double* b = record->b + k * (order_s + 1);
    for (std::int64_t j = 0; j < order_s; ++j) a[j] = j < section.length ? section.a[j] : 0.0;
    for (std::int64_t j = 0; j <= order_s; ++j) b[j] = j <= section.length ? section.b[j] : 0.0;
  }
  return kSuccess;
}

namespace {

IirParameters RecordSpec(IirFamily family, double fs, double fl, double fh, double ripple,
                         double attenuation) {
  return IirParameters{family, 0, 0, fs, fl, fh, ripple, attenuation};  // type, order: the record's
}

}  // namespace

Status LinearOrdinateDesign(double fs, double fl, double fh, IirCascadeRecord* record) {
  return IirCascadeDesign(RecordSpec(IirFamily::kLinearOrdinate, fs, fl, fh, 0, 0), record);
}
Status ButterworthDesign(double fs, double fl, double fh, IirCascadeRecord* record) {
  return IirCascadeDesign(RecordSpec(IirFamily::kButterworth, fs, fl, fh, 0, 0), record);
}
Status ChebyshevDesign(double fs, double fl, double fh, double ripple, IirCascadeRecord* record) {
  return IirCascadeDesign(RecordSpec(IirFamily::kChebyshev, fs, fl, fh, ripple, 0), record);
}
Status InverseChebyshevDesign(double fs, double fl, double fh, double attenuation,
                              IirCascadeRecord* record) {
  return IirCascadeDesign(RecordSpec(IirFamily::kInverseChebyshev, fs, fl, fh, 0, attenuation),
                          record);
}
Status EllipticDesign(double fs, double fl, double fh, double ripple, double attenuation,
                      IirCascadeRecord* record) {
  return IirCascadeDesign(RecordSpec(IirFamily::kElliptic, fs, fl, fh, ripple, attenuation),
                          record);
}

Status IirCascadeFilter(const double* x, std::int32_t n, IirCascadeRecord* record, double* y) {
  if (!record) return kBadIirRecord;
  // A record without sections has no section order to derive.
  if (record->order < 1) return kBadIirRecord;
  const std::int64_t sections = SectionsOf(record->order);
  const std::int64_t s = record->aCount / sections;
  if ((s != 2 && s != 4) || record->aCount != s * sections ||
      record->bCount != (s + 1) * sections || record->stateCount != record->aCount || !record->a ||
      !record->b || !record->state) {
    return kBadIirRecord;
  }
  if (n < 1) return kCountNotPositive;
  if (record->resetPending) {
    std::memset(record->state, 0, static_cast<std::size_t>(record->stateCount) * sizeof(double));
    record->resetPending = 0;
  }
  // Passes of up to kIirPassSections sections (IirPassLength): the first
  // reads x, the others filter y in place. When y overlaps x only partly,
  // section 0 runs alone first, so that it reads what it always read.
  const double* in = x;
  std::int64_t k = 0;
  while (k < sections) {
    const int count = k == 0 && OverlapsPartly(x, y, n) ? 1 : IirPassLength(sections - k);
    const double* a = record->a + k * s;
    const double* b = record->b + k * (s + 1);
    double* z = record->state + k * s;
    if (s == 2) {
      RunPass<2>(a, b, z, count, in, y, n);
    } else {
      RunPass<4>(a, b, z, count, in, y, n);
    }
    in = y;
    k += count;
  }
  return kSuccess;
}

Status IirCascadeExpand(const IirCascadeRecord* record, double* den, std::int32_t den_length,
                        double* num, std::int32_t num_length) {
  if (!record) return kBadIirRecord;
  if (record->order < 1) return kOrderNotPositive;
  if (record->type < 0 || record->type > 3) return kBadSelection;
  const std::int64_t sections = SectionsOf(record->order);
  const std::int64_t s = IsBand(record->type) ? 4 : 2;
  if (record->aCount != s * sections || record->bCount != (s + 1) * sections || !record->a ||
      !record->b) {
    return kBadIirRecord;
  }
  const std::int64_t length = IsBand(record->type)
                                  ? 2 * static_cast<std::int64_t>(record->order) + 1
                                  : static_cast<std::int64_t>(record->order) + 1;
  if (den_length < length || num_length < length) return kBadIirRecord;
  // Products of all sections: sections*S + 1 values (one more than L for odd
  // orders, whose padded first section adds a trailing 0).
  const std::int64_t full = sections * s + 1;
  Scratch<double> work;
  if (Status st = work.Allocate(static_cast<std::size_t>(4 * full))) return st;
  double* d_cur = work.data();
  double* d_next = d_cur + full;
  double* n_cur = d_next + full;
  double* n_next = n_cur + full;
  d_cur[0] = 1.0;
  for (std::int64_t j = 0; j < s; ++j) d_cur[j + 1] = record->a[j];
  for (std::int64_t j = 0; j <= s; ++j) n_cur[j] = record->b[j];
  std::int64_t len = s + 1;
  double factor[5];
  for (std::int64_t k = 1; k < sections; ++k) {
    factor[0] = 1.0;
    for (std::int64_t j = 0; j < s; ++j) factor[j + 1] = record->a[k * s + j];
    Convolve(d_cur, len, factor, s + 1, d_next);
    Convolve(n_cur, len, record->b + k * (s + 1), s + 1, n_next);
    len += s;
    std::swap(d_cur, d_next);
    std::swap(n_cur, n_next);
  }
  for (std::int64_t i = 0; i < length; ++i) {
    den[i] = d_cur[i];
    num[i] = n_cur[i];
  }
  return kSuccess;
}

Status IirCoefficients(const IirParameters& params, double* den, std::int32_t den_length,
                       double* num, std::int32_t num_length) {
  // The argument checks of the design come first, so that a bad order or
  // selector is reported as such rather than as a failed record creation.
  if (Status s = CheckDesignArguments(params)) return s;
  IirCascadeRecord* record = IirCascadeCreate(params.type, params.order);
  if (!record) return kOutOfMemory;
  Status s = IirCascadeDesign(params, record);
  if (s == kSuccess) s = IirCascadeExpand(record, den, den_length, num, num_length);
  WorkspaceFree(record);
  return s;
}

namespace {

Status OneShotCoefficients(IirFamily family, std::int32_t type, std::int32_t order, double fs,
                           double fl, double fh, double ripple, double attenuation, double* den,
                           std::int32_t den_length, double* num, std::int32_t num_length) {
  return IirCoefficients(IirParameters{family, type, order, fs, fl, fh, ripple, attenuation}, den,
                         den_length, num, num_length);
}

}  // namespace

Status LinearOrdinateCoefficients(std::int32_t type, std::int32_t order, double fs, double fl,
                                  double fh, double* den, std::int32_t den_length, double* num,
                                  std::int32_t num_length) {
  return OneShotCoefficients(IirFamily::kLinearOrdinate, type, order, fs, fl, fh, 0, 0, den,
                             den_length, num, num_length);
}
Status ButterworthCoefficients(std::int32_t type, std::int32_t order, double fs, double fl,
                               double fh, double* den, std::int32_t den_length, double* num,
                               std::int32_t num_length) {
  return OneShotCoefficients(IirFamily::kButterworth, type, order, fs, fl, fh, 0, 0, den,
                             den_length, num, num_length);
}
Status ChebyshevCoefficients(std::int32_t type, std::int32_t order, double fs, double fl, double fh,
                             double ripple, double* den, std::int32_t den_length, double* num,
                             std::int32_t num_length) {
  return OneShotCoefficients(IirFamily::kChebyshev, type, order, fs, fl, fh, ripple, 0, den,
                             den_length, num, num_length);
}
Status InverseChebyshevCoefficients(std::int32_t type, std::int32_t order, double fs, double fl,
                                    double fh, double attenuation, double* den,
                                    std::int32_t den_length, double* num, std::int32_t num_length) {
  return OneShotCoefficients(IirFamily::kInverseChebyshev, type, order, fs, fl, fh, 0, attenuation,
                             den, den_length, num, num_length);
}
Status EllipticCoefficients(std::int32_t type, std::int32_t order, double fs, double fl, double fh,
                            double ripple, double attenuation, double* den, std::int32_t den_length,
                            double* num, std::int32_t num_length) {
  return OneShotCoefficients(IirFamily::kElliptic, type, order, fs, fl, fh, ripple, attenuation,
                             den, den_length, num, num_length);
}

}  // namespace qm::filters
