// Equiripple FIR design: the Remez exchange of the McClellan-Parks-Rabiner
// program.
//
// The approximation problem: with nf cosine terms, find the polynomial P in
// x = cos(2 pi f) whose weighted error E(f) = W(f) (P(f) - D(f)) has the
// smallest peak over the grid of the bands. Each iteration interpolates on
// nf + 1 trial extremal frequencies (barycentric Lagrange form) with an
// alternating error of size dev, searches the grid for the local extrema of
// E between and around the trial points, and exchanges; it stops when the
// set no longer changes. The arrays are 1-based, as in the published
// program, whose control flow the search keeps (including its ties: a new
// extremum must exceed the current one strictly, the candidates beyond the
// first and last trial points are weighed against 1.00001 times the
// neighbouring extremum, and at most one point is traded at either end).
#include "filters/equiripple.h"

#include <cmath>
#include <cstddef>
#include <cstdint>

#include "frame/math_constants.h"
#include "frame/workspace.h"

namespace qm::filters {
namespace {

constexpr std::int32_t kGridDensity = 16;
constexpr std::int32_t kMaxIterations = 100;
constexpr std::int32_t kMaxHalfLength = 2048;  // taps/2 + 2 must stay below

class Exchange {
 public:
  // Lengths: grid arrays of `grid_capacity`, the rest of nf + 3 (1-based).
  Status Allocate(std::int64_t grid_capacity, std::int32_t nfcns) {
    grid_capacity_ = grid_capacity;
    const std::size_t small = static_cast<std::size_t>(nfcns) + 3;
    const std::size_t grid = static_cast<std::size_t>(grid_capacity) + 2;
    if (Status s = block_.Allocate(3 * grid + 7 * small)) return s;
    if (Status s = iext_.Allocate(small)) return s;
    double* p = block_.data();
    for (std::size_t i = 0; i < 3 * grid + 7 * small; ++i) p[i] = 0.0;
    for (std::size_t i = 0; i < small; ++i) iext_[i] = 0;
    grid_ = p;
    des_ = grid_ + grid;
    wt_ = des_ + grid;
    x_ = wt_ + grid;
    y_ = x_ + small;
    ad_ = y_ + small;
    alpha_ = ad_ + small;
    a_ = alpha_ + small;
    pp_ = a_ + small;
    qq_ = pp_ + small;
    nfcns_ = nfcns;
    return kSuccess;
  }

  // Builds the grid for normalised edges (f/fs). False when the grid has
  // fewer points than nf + 1.
  bool BuildGrid(std::int32_t nbands, const double* edges, const double* gains,
                 const double* weights, bool differentiator, bool negative, bool odd);
  // The exchange; -20031 when it cannot proceed or does not settle.
  Status Run();
  // The cosine coefficients of the best approximation into alpha.
  void Coefficients(double first_edge, double last_edge);
  // The impulse response (taps values) and the deviation.
  void ImpulseResponse(std::int32_t taps, bool negative, bool odd, double* coef) const;
  double Deviation() const { return dev_; }

 private:
  double Desired(double f, double gain, bool differentiator) const {
    return differentiator ? gain * f : gain;
  }
  double Weight(double f, double gain, double weight, bool differentiator) const {
    return differentiator && gain >= 0.0001 ? weight / f : weight;
  }
  // Lagrange coefficients of trial point k (of n), as the program computes
  // them: the product is taken in m interleaved passes for its range.
  double D(std::int32_t k, std::int32_t n, std::int32_t m) const {
    double d = 1.0;
    const double q = x_[k];
    for (std::int32_t l = 1; l <= m; ++l) {
      for (std::int32_t j = l; j <= n; j += m) {
        if (j != k) d = 2.0 * d * (q - x_[j]);
      }
    }
    return 1.0 / d;
  }
  // The interpolant at grid point k.
  double Gee(std::int32_t k, std::int32_t n) const {
    const double xf = std::cos(kTwoPi * grid_[k]);
    double p = 0.0, d = 0.0;
    for (std::int32_t j = 1; j <= n; ++j) {
      const double gap = xf - x_[j];
      // At a trial abscissa (or one that rounds to it) the interpolant is
      // its value there; the barycentric quotient would be inf/inf.
      if (gap == 0.0) return y_[j];
      const double c = ad_[j] / gap;
      d += c;
      p += c * y_[j];
    }
    return p / d;
  }
  double Error(std::int32_t l, std::int32_t nz) const { return (Gee(l, nz) - des_[l]) * wt_[l]; }

  Scratch<double> block_;
  Scratch<std::int32_t> iext_;
  std::int64_t grid_capacity_ = 0;
  double *grid_ = nullptr, *des_ = nullptr, *wt_ = nullptr;
  double *x_ = nullptr, *y_ = nullptr, *ad_ = nullptr, *alpha_ = nullptr;
  double *a_ = nullptr, *pp_ = nullptr, *qq_ = nullptr;
  std::int32_t nfcns_ = 0, ngrid_ = 0;
  double dev_ = 0.0;
};

bool Exchange::BuildGrid(std::int32_t nbands, const double* edges, const double* gains,
                         const double* weights, bool differentiator, bool negative, bool odd) {
  const double delf = 0.5 / (static_cast<double>(kGridDensity) * nfcns_);
  grid_[1] = edges[0];
  if (negative && edges[0] < delf) grid_[1] = delf;
  std::int64_t j = 1;
  for (std::int32_t band = 0; band < nbands; ++band) {
    const double fup = edges[2 * static_cast<std::int64_t>(band) + 1];
    const double gain = gains[band], weight = weights[band];
    for (;;) {
      const double temp = grid_[j];
      des_[j] = Desired(temp, gain, differentiator);
      wt_[j] = Weight(temp, gain, weight, differentiator);
      ++j;
      if (j > grid_capacity_) return false;  // not reached: the capacity has room
      grid_[j] = temp + delf;
      if (grid_[j] > fup) break;
    }
    grid_[j - 1] = fup;
    des_[j - 1] = Desired(fup, gain, differentiator);
    wt_[j - 1] = Weight(fup, gain, weight, differentiator);
    if (band + 1 < nbands) grid_[j] = edges[2 * static_cast<std::int64_t>(band) + 2];
  }
  std::int64_t ngrid = j - 1;
  // Where the symmetry factor vanishes at f = 0.5 the point is dropped.
  if (negative == odd && grid_[ngrid] > 0.5 - delf) --ngrid;
  if (ngrid < nfcns_ + 1) return false;
  ngrid_ = static_cast<std::int32_t>(ngrid);

  // The fixed factor of the symmetry leaves a cosine polynomial of nf terms.
  if (!negative && odd) return true;
  for (std::int32_t k = 1; k <= ngrid_; ++k) {
    const double f = grid_[k];
    const double change = !negative ? std::cos(kPi * f)
                          : odd     ? std::sin(kTwoPi * f)
                                    : std::sin(kPi * f);
    des_[k] /= change;
    wt_[k] *= change;
  }
  return true;
}

Status Exchange::Run() {
  const std::int32_t nfcns = nfcns_, nz = nfcns + 1, nzz = nfcns + 2;
  std::int32_t* iext = iext_.data();
  const double spacing = static_cast<double>(ngrid_ - 1) / nfcns;
  for (std::int32_t j = 1; j <= nfcns; ++j) {
    iext[j] = static_cast<std::int32_t>(static_cast<double>(j - 1) * spacing + 1.0);
  }
  iext[nz] = ngrid_;

  double devl = -1.0, comp = 0.0, y1 = 0.0, ynz = 0.0, err = 0.0;
  std::int32_t niter = 0, nu = 0, nut = 0, nut1 = 0, jchnge = 0, k1 = 0, knz = 0, klow = 0;
  std::int32_t j = 0, l = 0, kup = 0, luck = 0;

iterate:
  iext[nzz] = ngrid_ + 1;
  ++niter;
  if (niter > kMaxIterations) return kFilterNotDesignable;
  for (j = 1; j <= nz; ++j) x_[j] = std::cos(kTwoPi * grid_[iext[j]]);
  {
    const std::int32_t jet = (nfcns - 1) / 15 + 1;
    for (j = 1; j <= nz; ++j) ad_[j] = D(j, nz, jet);
    double dnum = 0.0, dden = 0.0;
    std::int32_t k = 1;
    for (j = 1; j <= nz; ++j) {
      l = iext[j];
      dnum += ad_[j] * des_[l];
      dden += k * ad_[j] / wt_[l];
      k = -k;
    }
    if (dden == 0.0 || !std::isfinite(dnum) || !std::isfinite(dden)) return kFilterNotDesignable;
    dev_ = dnum / dden;
    nu = dev_ > 0.0 ? -1 : 1;
    dev_ = -nu * dev_;
    k = nu;
    for (j = 1; j <= nz; ++j) {
      l = iext[j];
      y_[j] = des_[l] + k * dev_ / wt_[l];
      k = -k;
    }
  }
  // A deviation that shrinks is the limit of the arithmetic: the published
  // program takes the present approximation.
  if (dev_ < devl) return kSuccess;
  devl = dev_;
  jchnge = 0;
  k1 = iext[1];
  knz = iext[nz];
  klow = 0;
  nut = -nu;
  j = 1;

// Search for the extremal frequencies of the best approximation.
search:
  if (j == nzz) ynz = comp;
  if (j >= nzz) goto ends;
  kup = iext[j + 1];
  l = iext[j] + 1;
  nut = -nut;
  if (j == 2) y1 = comp;
  comp = dev_;
  if (l >= kup) goto down;
  err = Error(l, nz);
  if (nut * err - comp <= 0.0) goto down;
  comp = nut * err;
climb:
  ++l;
  if (l >= kup) goto found_up;
  err = Error(l, nz);
  if (nut * err - comp <= 0.0) goto found_up;
  comp = nut * err;
  goto climb;
found_up:
  iext[j] = l - 1;
  ++j;
  klow = l - 1;
  ++jchnge;
  goto search;
down:
  --l;
down_step:
  --l;
  if (l <= klow) goto up_again;
  err = Error(l, nz);
  if (nut * err - comp > 0.0) goto descend;
  if (jchnge <= 0) goto down_step;
  goto keep;
descend:
  comp = nut * err;
descend_step:
  --l;
  if (l <= klow) goto found_down;
  err = Error(l, nz);
  if (nut * err - comp <= 0.0) goto found_down;
  comp = nut * err;
  goto descend_step;
found_down:
  klow = iext[j];
  iext[j] = l + 1;
  ++j;
  ++jchnge;
  goto search;
up_again:
  l = iext[j] + 1;
  if (jchnge > 0) goto found_up;
up_again_step:
  ++l;
  if (l >= kup) goto keep;
  err = Error(l, nz);
  if (nut * err - comp <= 0.0) goto up_again_step;
  comp = nut * err;
  goto climb;
keep:
  klow = iext[j];
  ++j;
  goto search;

// Candidates below the first and above the last trial point.
ends:
  if (j > nzz) goto after_low;
  if (k1 > iext[1]) k1 = iext[1];
  if (knz < iext[nz]) knz = iext[nz];
  nut1 = nut;
  nut = -nu;
  l = 0;
  kup = k1;
  comp = ynz * 1.00001;
  luck = 1;
low_step:
  ++l;
  if (l >= kup) goto low_none;
  err = Error(l, nz);
  if (nut * err - comp <= 0.0) goto low_step;
  comp = nut * err;
  j = nzz;
  goto climb;
low_none:
  luck = 6;
  goto high;
after_low:
  if (luck > 9) goto shift_down;
  if (comp > y1) y1 = comp;
  k1 = iext[nzz];
high:
  l = ngrid_ + 1;
  klow = knz;
  nut = -nut1;
  comp = y1 * 1.00001;
high_step:
  --l;
  if (l <= klow) goto high_none;
  err = Error(l, nz);
  if (nut * err - comp <= 0.0) goto high_step;
  j = nzz;
  comp = nut * err;
  luck += 10;
  goto descend_step;
high_none:
  if (luck == 6) goto settled;
  for (j = 1; j <= nfcns; ++j) iext[nzz - j] = iext[nz - j];
  iext[1] = k1;
  goto iterate;
shift_down : {
  const std::int32_t kn = iext[nzz];
  for (j = 1; j <= nfcns; ++j) iext[j] = iext[j + 1];
  iext[nz] = kn;
}
  goto iterate;
settled:
  if (jchnge > 0) goto iterate;
  return kSuccess;
}

void Exchange::Coefficients(double first_edge, double last_edge) {
  const std::int32_t nfcns = nfcns_, nm1 = nfcns - 1, nz = nfcns + 1, nzz = nfcns + 2;
  const double fsh = 1.0e-6;
  const double gtemp = grid_[1];
  x_[nzz] = -2.0;
  const double cn = 2 * nfcns - 1;
  const double delf = 1.0 / cn;
  std::int32_t l = 1;
  // Unless the bands cover 0 .. 0.5, the polynomial is sampled on the
  // interval of the grid, mapped onto [-1, 1].
  const bool whole = (first_edge == 0.0 && last_edge == 0.5) || nfcns <= 3;
  double aa = 0.0, bb = 0.0;
  if (!whole) {
    const double dtemp = std::cos(kTwoPi * grid_[1]);
    const double dnum = std::cos(kTwoPi * grid_[ngrid_]);
    aa = 2.0 / (dtemp - dnum);
    bb = -(dtemp + dnum) / (dtemp - dnum);
  }
  for (std::int32_t j = 1; j <= nfcns; ++j) {
    double ft = (j - 1) * delf;
    double xt = std::cos(kTwoPi * ft);
    if (!whole) {
      xt = (xt - bb) / aa;
      const double xt1 = std::sqrt(1.0 - xt * xt);
      ft = std::atan2(xt1, xt) / kTwoPi;
    }
    for (;;) {
      const double xe = x_[l];
      if (xt > xe) {
        if (xt - xe < fsh) {
          a_[j] = y_[l];
        } else {
          grid_[1] = ft;
          a_[j] = Gee(1, nz);
        }
        break;
      }
      if (xe - xt < fsh) {
        a_[j] = y_[l];
        break;
      }
      ++l;
    }
    if (l > 1) --l;
  }
  grid_[1] = gtemp;
  const double dden = kTwoPi / cn;
  for (std::int32_t j = 1; j <= nfcns; ++j) {
    double dtemp = 0.0;
    const double dnum = (j - 1) * dden;
    for (std::int32_t k = 1; k <= nm1; ++k) dtemp += a_[k + 1] * std::cos(dnum * k);
    alpha_[j] = 2.0 * dtemp + a_[1];
  }
  for (std::int32_t j = 2; j <= nfcns; ++j) alpha_[j] = 2.0 * alpha_[j] / cn;
  alpha_[1] = alpha_[1] / cn;
  if (!whole) {
    // Back from the mapped variable: the Chebyshev series in (x - bb)/aa
    // re-expanded in x.
    double* p = pp_;
    double* q = qq_;
    p[1] = 2.0 * alpha_[nfcns] * bb + alpha_[nm1];
    p[2] = 2.0 * aa * alpha_[nfcns];
    q[1] = alpha_[nfcns - 2] - alpha_[nfcns];
    for (std::int32_t j = 2; j <= nm1; ++j) {
      if (j >= nm1) {
        aa *= 0.5;
        bb *= 0.5;
      }
      p[j + 1] = 0.0;
      for (std::int32_t k = 1; k <= j; ++k) {
        a_[k] = p[k];
        p[k] = 2.0 * bb * a_[k];
      }
      p[2] += a_[1] * 2.0 * aa;
      for (std::int32_t k = 1; k <= j - 1; ++k) p[k] += q[k] + aa * a_[k + 1];
      for (std::int32_t k = 3; k <= j + 1; ++k) p[k] += aa * a_[k - 1];
      if (j == nm1) break;
      for (std::int32_t k = 1; k <= j; ++k) q[k] = -a_[k];
      q[1] += alpha_[nfcns - 1 - j];
    }
    for (std::int32_t j = 1; j <= nfcns; ++j) alpha_[j] = p[j];
  }
  if (nfcns <= 3) {
    alpha_[nfcns + 1] = 0.0;
    alpha_[nfcns + 2] = 0.0;
  }
}

void Exchange::ImpulseResponse(std::int32_t taps, bool negative, bool odd, double* coef) const {
  const std::int32_t nfcns = nfcns_, nm1 = nfcns - 1, nz = nfcns + 1;
  const double* alpha = alpha_;
  // h[1 .. nfcns] (1-based) of the first half; h(nz) = 0 is the centre of an
  // odd antisymmetric filter.
  double* h = a_;  // free now; nfcns + 3 entries
  for (std::int32_t j = 0; j <= nz; ++j) h[j] = 0.0;
  if (!negative) {
    if (odd) {
      for (std::int32_t j = 1; j <= nm1; ++j) h[j] = 0.5 * alpha[nz - j];
      h[nfcns] = alpha[1];
    } else {
      h[1] = 0.25 * alpha[nfcns];
      for (std::int32_t j = 2; j <= nm1; ++j) h[j] = 0.25 * (alpha[nz - j] + alpha[nfcns + 2 - j]);
      h[nfcns] = 0.5 * alpha[1] + 0.25 * alpha[2];
    }
  } else if (odd) {
    h[1] = 0.25 * alpha[nfcns];
    if (nm1 >= 1) h[2] = 0.25 * alpha[nm1];
    for (std::int32_t j = 3; j <= nm1; ++j) h[j] = 0.25 * (alpha[nz - j] - alpha[nfcns + 3 - j]);
    h[nfcns] = 0.5 * alpha[1] - 0.25 * alpha[3];
    h[nz] = 0.0;
  } else {
    h[1] = 0.25 * alpha[nfcns];
    for (std::int32_t j = 2; j <= nm1; ++j) h[j] = 0.25 * (alpha[nz - j] - alpha[nfcns + 2 - j]);
    h[nfcns] = 0.5 * alpha[1] - 0.25 * alpha[2];
  }
  const double sign = negative ? -1.0 : 1.0;
  for (std::int32_t j = 1; j <= nfcns; ++j) {
    coef[j - 1] = h[j];
    coef[taps - j] = sign * h[j];
  }
  if (odd && negative) coef[nfcns] = 0.0;  // the centre of an antisymmetric filter
}

bool Finite(double v) { return std::isfinite(v); }

Status CheckDesign(std::int32_t nbands, const double* gains, const double* weights, double fs,
                   const double* edges, std::int32_t type, std::int32_t taps) {
  if (taps < 3) return kFilterNotDesignable;
  if (nbands < 1) return kCountNotPositive;
  if (!Finite(fs)) return kFilterNotDesignable;
  if (fs <= 0) return kBadBandEdges;
  const std::int64_t nedges = 2 * static_cast<std::int64_t>(nbands);
  for (std::int64_t i = 0; i < nedges; ++i) {
    if (!Finite(edges[i])) return kFilterNotDesignable;
    if (edges[i] < 0) return kBadBandEdges;
  }
  for (std::int32_t b = 0; b < nbands; ++b) {
    if (!Finite(weights[b])) return kFilterNotDesignable;
    if (weights[b] <= 0) return kBadBandEdges;
    if (!Finite(gains[b])) return kFilterNotDesignable;
    if (gains[b] < 0) return kBadBandEdges;
  }
  const double nyquist = fs / 2, last = edges[nedges - 1];
  if (last > nyquist) return kBadCutoff;
  for (std::int64_t i = 1; i < nedges; ++i) {
    if (!(edges[i] > edges[i - 1])) return kBadBandEdges;
  }
  const bool odd = taps % 2 == 1;
  const double gap = nyquist - last;
  switch (type) {
    case kEquirippleMultiband:
      if (edges[0] != 0 || gap > 0.001) return kFilterNotDesignable;
      if (!odd && gains[nbands - 1] != 0) return kCoefficientsNotOdd;
      break;
    case kEquirippleDifferentiator:
      if (edges[0] != 0) return kFilterNotDesignable;
      if (odd ? gap < 0.01 : gap > 0.001) return kFilterNotDesignable;
      break;
    case kEquirippleHilbert:
      if (edges[0] == 0) return kFilterNotDesignable;
      if (odd ? gap < 0.001 : gap > 0.001) return kFilterNotDesignable;
      break;
    default:
      return kBadSelection;
  }
  if (taps / 2 + 2 >= kMaxHalfLength) return kOutOfMemory;
  return kSuccess;
}

}  // namespace

Status EquirippleFir(std::int32_t nbands, const double* gains, const double* weights, double fs,
                     const double* edges, std::int32_t type, std::int32_t taps, double* coef,
                     double* ripple) {
  if (Status s = CheckDesign(nbands, gains, weights, fs, edges, type, taps)) return s;
  const bool negative = type != kEquirippleMultiband;
  const bool odd = taps % 2 == 1;
  std::int32_t nfcns = taps / 2;
  if (odd && !negative) ++nfcns;

  const std::int64_t nedges = 2 * static_cast<std::int64_t>(nbands);
  Scratch<double> normalised;
  if (Status s = normalised.Allocate(static_cast<std::size_t>(nedges))) return s;
  for (std::int64_t i = 0; i < nedges; ++i) normalised[i] = edges[i] / fs;
  // Every band holds at most its width / spacing + 1 points, plus room for
  // the rounding of the spacing's sums.
  const std::int64_t capacity =
      static_cast<std::int64_t>(kGridDensity) * nfcns + 3 * static_cast<std::int64_t>(nbands) + 8;
  Exchange exchange;
  if (Status s = exchange.Allocate(capacity, nfcns)) return s;
  if (!exchange.BuildGrid(nbands, normalised.data(), gains, weights,
                          type == kEquirippleDifferentiator, negative, odd)) {
    return kFilterNotDesignable;
  }
  if (Status s = exchange.Run()) return s;
  exchange.Coefficients(normalised[0], normalised[nedges - 1]);
  exchange.ImpulseResponse(taps, negative, odd, coef);
  *ripple = std::fabs(exchange.Deviation());
  return kSuccess;
}

Status EquirippleLowpass(double fs, double fpass, double fstop, std::int32_t taps, double* coef,
                         double* ripple) {
  const double edges[] = {0, fpass, fstop, fs / 2}, gains[] = {1, 0}, weights[] = {1, 1};
  return EquirippleFir(2, gains, weights, fs, edges, kEquirippleMultiband, taps, coef, ripple);
}

Status EquirippleHighpass(double fs, double fstop, double fpass, std::int32_t taps, double* coef,
                          double* ripple) {
  if (taps % 2 == 0) return kCoefficientsNotOdd;
  const double edges[] = {0, fstop, fpass, fs / 2}, gains[] = {0, 1}, weights[] = {1, 1};
  return EquirippleFir(2, gains, weights, fs, edges, kEquirippleMultiband, taps, coef, ripple);
}

Status EquirippleBandpass(double fs, double fstop1, double fpass1, double fpass2, double fstop2,
                          std::int32_t taps, double* coef, double* ripple) {
  const double edges[] = {0, fstop1, fpass1, fpass2, fstop2, fs / 2};
  const double gains[] = {0, 1, 0}, weights[] = {1, 1, 1};
  return EquirippleFir(3, gains, weights, fs, edges, kEquirippleMultiband, taps, coef, ripple);
}

Status EquirippleBandstop(double fs, double fpass1, double fstop1, double fstop2, double fpass2,
                          std::int32_t taps, double* coef, double* ripple) {
  if (taps % 2 == 0) return kCoefficientsNotOdd;
  const double edges[] = {0, fpass1, fstop1, fstop2, fpass2, fs / 2};
  const double gains[] = {1, 0, 1}, weights[] = {1, 1, 1};
  return EquirippleFir(3, gains, weights, fs, edges, kEquirippleMultiband, taps, coef, ripple);
}

}  // namespace qm::filters
