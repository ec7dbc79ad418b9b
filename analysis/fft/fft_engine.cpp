// Execution of FFT plans: the recursive decimation-in-time driver, the
// generic prime butterfly, Rader's algorithm, and the real-input transforms.
//
// Every path computes a forward DFT of the arrays it is given; an inverse
// transform runs the forward path with the real and imaginary arrays
// exchanged (DFT(i·conj z) = i·conj(unscaled inverse DFT(z))).
//
// Real data of even length n = 2h is transformed as the complex sequence
// z[j] = x[2j] + i·x[2j+1] of length h, then unfolded:
//   X[k] = E[k] + w^k·O[k],  E = (Z[k] + conj Z[h−k])/2,
//   O = (Z[k] − conj Z[h−k])/(2i),  w = e^(−2πi/n),
// pairing bins k and h − k so that the unfolding runs in place.
#include <cstring>

#include "fft/fft_engine.h"
#include "fft/fft_lanes.h"
#include "frame/workspace.h"

namespace qm::fft {
namespace {

constexpr int kGenericPrimeMax = 49;

// Twiddle stages of radix kBlockedRadixMin … kBlockedRadixMax with at least
// kBlockedRows butterflies run through a buffer of kBlockColumns butterflies;
// from radix kBlockedPow2RadixMin when the number of butterflies is a power
// of two (the 2·8 rows of a radix-8 group, a power of two apart, already
// outnumber the ways of their cache set: 8192 = 8·32·32 runs 15% faster).
constexpr std::ptrdiff_t kBlockedRows = 128;
constexpr std::int32_t kBlockedRadixMin = 16;
constexpr std::int32_t kBlockedPow2RadixMin = 8;
constexpr std::int32_t kBlockedRadixMax = 43;
constexpr std::ptrdiff_t kBlockColumns = 32;

// Half lengths from which FftRealForwardFull keeps the halves of its signal
// and of Z apart in memory (below, the arrays are in the first-level cache
// and the extra work space cost more than the shared sets: 64 points 10 %).
constexpr std::int32_t kFullApartHalfMin = 2048;

// y = DFT(x) for a prime r below 50, by pairing inputs k and r − k.
void GenericPrimeDft(const FftStage& st, std::int32_t r, const double* xr, const double* xi,
                     double* yr, double* yi) {
  const std::int32_t h = (r - 1) / 2;
  double ar[kGenericPrimeMax], ai[kGenericPrimeMax], br[kGenericPrimeMax], bi[kGenericPrimeMax];
  double sr = xr[0], si = xi[0];
  for (std::int32_t k = 1; k <= h; ++k) {
    ar[k] = xr[k] + xr[r - k];
    ai[k] = xi[k] + xi[r - k];
    br[k] = xr[k] - xr[r - k];
    bi[k] = xi[k] - xi[r - k];
    sr += ar[k];
    si += ai[k];
  }
  yr[0] = sr;
  yi[0] = si;
  for (std::int32_t j = 1; j <= h; ++j) {
    double tr = xr[0], ti = xi[0], ur = 0.0, ui = 0.0;
    std::int32_t q = 0;
    for (std::int32_t k = 1; k <= h; ++k) {
      q += j;
      if (q >= r) q -= r;
      const double c = st.root_cos[q], s = st.root_sin[q];
      tr += c * ar[k];
      ti += c * ai[k];
      ur += s * br[k];
      ui += s * bi[k];
    }
    // X[j] = T − i·U, X[r − j] = T + i·U.
    yr[j] = tr + ui;
    yi[j] = ti - ur;
    yr[r - j] = tr - ui;
    yi[r - j] = ti + ur;
  }
}

Status ExecComplex(const FftPlan* p, const double* ir, const double* ii, std::ptrdiff_t is,
                   double* o_r, double* o_i, std::ptrdiff_t os, double* work);

// y = DFT(x) for a prime p by Rader's algorithm: the inputs x[g^q] are
// convolved cyclically with e^(−2πi·g^(−q)/p) through transforms of length
// p − 1. Work: 4(p − 1) doubles plus the sub-plan's.
Status RaderDft(const FftStage& st, std::int32_t p, const double* xr, const double* xi, double* yr,
                double* yi, double* work) {
  const FftRaderData& rd = st.rader;
  const std::int32_t q = p - 1;
  double* ar = work;
  double* ai = ar + q;
  double* Ar = ai + q;
  double* Ai = Ar + q;
  double* sub = Ai + q;
  for (std::int32_t i = 0; i < q; ++i) {
    ar[i] = xr[rd.power[i]];
    ai[i] = xi[rd.power[i]];
  }
  if (Status s = ExecComplex(rd.sub, ar, ai, 1, Ar, Ai, 1, sub)) return s;
  const double x0r = xr[0], x0i = xi[0];
  yr[0] = x0r + Ar[0];
  yi[0] = x0i + Ai[0];
  for (std::int32_t i = 0; i < q; ++i) {
    const double kr = rd.kernel_re[i], ki = rd.kernel_im[i];
    ar[i] = Ar[i] * kr - Ai[i] * ki;
    ai[i] = Ar[i] * ki + Ai[i] * kr;
  }
  // Unscaled inverse through the exchanged arrays: the convolution lands in
  // (Ar, Ai).
  if (Status s = ExecComplex(rd.sub, ai, ar, 1, Ai, Ar, 1, sub)) return s;
  for (std::int32_t i = 0; i < q; ++i) {
    const std::int32_t k = rd.inverse_power[i];
    yr[k] = x0r + Ar[i];
    yi[k] = x0i + Ai[i];
  }
  return kSuccess;
}

// Size-r DFT of a contiguous block for the generic kinds.
Status GenericDft(const FftPlan* p, int s, const double* xr, const double* xi, double* yr,
                  double* yi, double* work) {
  const std::int32_t r = p->factors[s];
  if (p->stage_kinds[s] == kFftGenericPrime) {
    GenericPrimeDft(p->stage_data[s], r, xr, xi, yr, yi);
    return kSuccess;
  }
  return RaderDft(p->stage_data[s], r, xr, xi, yr, yi, work);
}

// Four vectors of the stage's radix r (input and output, real and
// imaginary) for a generic or Rader stage: on the stack for the small generic
// primes, else taken from the front of the work space (which then moves on).
double* StageBuffers(const FftPlan* p, int s, double* local, double** work) {
  if (p->stage_kinds[s] != kFftRader) return local;
  double* buf = *work;
  *work += 4 * static_cast<std::size_t>(p->factors[s]);
  return buf;
}

// `count` DFTs of the stage's radix (see ComplexFirstKernel).
Status Leaf(const FftPlan* p, int s, const double* ir, const double* ii, double* o_r, double* o_i,
            std::ptrdiff_t is, std::ptrdiff_t os, std::ptrdiff_t count, std::ptrdiff_t ivs,
            std::ptrdiff_t ovs, std::ptrdiff_t group, std::ptrdiff_t gvs, double* work) {
  if (p->stage_kinds[s] == kFftFixedKernel) {
    p->kernels[s].complex_first(ir, ii, o_r, o_i, is, os, count, ivs, ovs, group, gvs);
    return kSuccess;
  }
  const std::int32_t r = p->factors[s];
  double local[4 * kGenericPrimeMax];
  double* xr = StageBuffers(p, s, local, &work);
  double* xi = xr + r;
  double* yr = xi + r;
  double* yi = yr + r;
  for (std::ptrdiff_t v = 0; v < count; ++v) {
    const double* a = ir + v * ivs;
    const double* b = ii + v * ivs;
    for (std::int32_t j = 0; j < r; ++j) {
      xr[j] = a[j * is];
      xi[j] = b[j * is];
    }
    if (Status st = GenericDft(p, s, xr, xi, yr, yi, work)) return st;
    const std::ptrdiff_t at = v % group * ovs + v / group * gvs;
    double* c = o_r + at;
    double* d = o_i + at;
    for (std::int32_t k = 0; k < r; ++k) {
      c[k * os] = yr[k];
      d[k * os] = yi[k];
    }
  }
  return kSuccess;
}

// The butterflies of stage s over r·m elements at stride st, in place.
Status TwiddleStage(const FftPlan* p, int s, double* re, double* im, std::ptrdiff_t m,
                    std::ptrdiff_t st, double* work) {
  const FftStage& sd = p->stage_data[s];
  if (p->stage_kinds[s] == kFftFixedKernel) {
    const fft::ComplexTwiddleKernel kernel = p->kernels[s].complex_twiddle;
    const std::int32_t r = p->factors[s];
    const bool pow2 = (m & (m - 1)) == 0;
    if (st != 1 || m < kBlockedRows || r > kBlockedRadixMax ||
        r < (pow2 ? kBlockedPow2RadixMin : kBlockedRadixMin)) {
      kernel(re, im, sd.twiddle_cos, sd.twiddle_sin, m, st, 0, m, m * st);
      return kSuccess;
    }
    // Long rows: kBlockColumns butterflies at a time go through a buffer of
    // r short rows. Rows m apart (m a power of two) fall into few cache
    // sets, so in place the r·2 rows of a group evict each other before the
    // next group uses the rest of their cache lines; copied, each line of a
    // row is read and written once and the butterflies run on L1 data.
    alignas(64) double buffer[2 * kBlockedRadixMax * kBlockColumns];
    double* br = buffer;
    double* bi = buffer + r * kBlockColumns;
    std::ptrdiff_t j = 0;
    for (; j + kBlockColumns <= m; j += kBlockColumns) {
      for (std::int32_t k = 0; k < r; ++k)
        for (std::ptrdiff_t c = 0; c < kBlockColumns; ++c) {
          br[k * kBlockColumns + c] = re[j + k * m + c];
          bi[k * kBlockColumns + c] = im[j + k * m + c];
        }
      kernel(br, bi, sd.twiddle_cos, sd.twiddle_sin, m, 1, j, j + kBlockColumns, kBlockColumns);
      for (std::int32_t k = 0; k < r; ++k)
        for (std::ptrdiff_t c = 0; c < kBlockColumns; ++c) {
          re[j + k * m + c] = br[k * kBlockColumns + c];
          im[j + k * m + c] = bi[k * kBlockColumns + c];
        }
    }
    if (j < m) kernel(re + j, im + j, sd.twiddle_cos, sd.twiddle_sin, m, 1, j, m, m);
    return kSuccess;
  }
  const std::int32_t r = p->factors[s];
  double local[4 * kGenericPrimeMax];
  double* xr = StageBuffers(p, s, local, &work);
  double* xi = xr + r;
  double* yr = xi + r;
  double* yi = yr + r;
  for (std::ptrdiff_t j = 0; j < m; ++j) {
    xr[0] = re[j * st];
    xi[0] = im[j * st];
    for (std::int32_t k = 1; k < r; ++k) {
      const std::ptrdiff_t at = (j + k * m) * st;
      if (j == 0) {
        xr[k] = re[at];
        xi[k] = im[at];
      } else {
        const std::ptrdiff_t t = (k - 1) * (m - 1) + (j - 1);
        const double c = sd.twiddle_cos[t], sn = sd.twiddle_sin[t];
        xr[k] = re[at] * c - im[at] * sn;
        xi[k] = re[at] * sn + im[at] * c;
      }
    }
    if (Status status = GenericDft(p, s, xr, xi, yr, yi, work)) return status;
    for (std::int32_t k = 0; k < r; ++k) {
      const std::ptrdiff_t at = (j + k * m) * st;
      re[at] = yr[k];
      im[at] = yi[k];
    }
  }
  return kSuccess;
}

// Decimation in time from stage s: the input (stride is) is split into r
// interleaved subsequences, each transformed by the later stages into its
// block of the output, and the blocks are combined by the stage's twiddle
// butterflies. The last two stages run as one batched leaf call.
//
// `batch` independent transforms of this shape run together, transform b
// reading at ir + b·bis and writing at o_r + (b mod group)·bos +
// (b div group)·gvs: the driver uses it for the subsequences of the first
// stage (or two), whose inputs are adjacent, so that the leaf kernels read
// contiguous data across the batch.
Status Recurse(const FftPlan* p, int s, const double* ir, const double* ii, std::ptrdiff_t is,
               double* o_r, double* o_i, std::ptrdiff_t os, std::ptrdiff_t batch,
               std::ptrdiff_t bis, std::ptrdiff_t group, std::ptrdiff_t bos, std::ptrdiff_t gvs,
               double* work) {
  const int last = p->factor_count - 1;
  if (s == last) return Leaf(p, s, ir, ii, o_r, o_i, is, os, batch, bis, bos, group, gvs, work);
  const std::int32_t r = p->factors[s];
  const std::ptrdiff_t m = p->stage_data[s].remaining / r;
  if (s == last - 1) {
    if (batch == 1) {
      if (Status st = Leaf(p, last, ir, ii, o_r, o_i, is * r, os, r, is, m * os, r, 0, work))
        return st;
    } else {
      for (std::int32_t j = 0; j < r; ++j)
        if (Status st = Leaf(p, last, ir + j * is, ii + j * is, o_r + j * m * os, o_i + j * m * os,
                             is * r, os, batch, bis, bos, group, gvs, work))
          return st;
    }
  } else {
    for (std::int32_t j = 0; j < r; ++j) {
      if (Status st = Recurse(p, s + 1, ir + j * is, ii + j * is, is * r, o_r + j * m * os,
                              o_i + j * m * os, os, batch, bis, group, bos, gvs, work))
        return st;
    }
  }
  for (std::ptrdiff_t b = 0; b < batch; ++b) {
    const std::ptrdiff_t at = b % group * bos + b / group * gvs;
    if (Status st = TwiddleStage(p, s, o_r + at, o_i + at, m, os, work)) return st;
  }
  return kSuccess;
}

Status ExecComplex(const FftPlan* p, const double* ir, const double* ii, std::ptrdiff_t is,
                   double* o_r, double* o_i, std::ptrdiff_t os, double* work) {
  if (p->length == 1) {
    o_r[0] = ir[0];
    o_i[0] = ii[0];
    return kSuccess;
  }
  if (p->fused && is == 1 && os == 1) {
    p->fused(ir, ii, o_r, o_i, p->stage_data[0].twiddle_cos, p->stage_data[0].twiddle_sin);
    return kSuccess;
  }
  if (p->factor_count < 3) return Recurse(p, 0, ir, ii, is, o_r, o_i, os, 1, 0, 1, 0, 0, work);
  const std::int32_t r0 = p->factors[0];
  const std::ptrdiff_t m0 = p->length / r0;
  if (r0 < 4) {
    // Fewer subsequences than vector lanes: the r0·r1 subsequences of the
    // first two stages run as one batch (subsequence t0 + r0·t1 writes at
    // t0·m0 + t1·m1), then the second stage's butterflies of each block.
    const std::int32_t r1 = p->factors[1];
    const std::ptrdiff_t m1 = m0 / r1;
    if (Status st = Recurse(p, 2, ir, ii, is * r0 * r1, o_r, o_i, os, r0 * r1, is, r0, m0 * os,
                            m1 * os, work))
      return st;
    for (std::int32_t t = 0; t < r0; ++t)
      if (Status st = TwiddleStage(p, 1, o_r + t * m0 * os, o_i + t * m0 * os, m1, os, work))
        return st;
  } else {
    // The r0 subsequences of the first stage run as one batch.
    if (Status st = Recurse(p, 1, ir, ii, is * r0, o_r, o_i, os, r0, is, r0, m0 * os, 0, work))
      return st;
  }
  return TwiddleStage(p, 0, o_r, o_i, m0, os, work);
}

// Work space of a complex transform of this plan (null when none is needed).
Status TakeWork(const FftPlan* p, std::size_t extra, ThreadScratch<double>* work) {
  const std::size_t need = p->work_size + extra;
  if (need == 0) return kSuccess;
  return work->Allocate(need);
}

void Scale(double* x, std::ptrdiff_t stride, std::int32_t n, double factor) {
  for (std::int32_t i = 0; i < n; ++i) x[i * stride] *= factor;
}

bool SingleKernel(const FftPlan* p) {
  return p->factor_count == 1 && p->stage_kinds[0] == kFftFixedKernel;
}

// Lanes 0, 2 of a and 0, 2 of b (even = true), or lanes 1, 3 of each.
[[gnu::target("avx2"), gnu::always_inline]] inline Lanes Evens(Lanes a, Lanes b) {
  return QM_FFT_LANE_MIX(a, b, 0, 2, 4, 6);
}
[[gnu::target("avx2"), gnu::always_inline]] inline Lanes Odds(Lanes a, Lanes b) {
  return QM_FFT_LANE_MIX(a, b, 1, 3, 5, 7);
}

// Deinterleave at unit stride, four pairs at a time; returns the pairs done.
[[gnu::target("avx2")]] std::int32_t DeinterleaveWide(const double* x, double* __restrict ze,
                                                      double* __restrict zo, std::int32_t h) {
  std::int32_t j = 0;
  for (; j + 4 <= h; j += 4) {
    const Lanes a = LoadLanes(x + 2 * j), b = LoadLanes(x + 2 * j + 4);
    StoreLanes(ze + j, Evens(a, b));
    StoreLanes(zo + j, Odds(a, b));
  }
  return j;
}

// x[2j] = re[j], x[2j + 1] = im[j] for j < h (unit stride, four pairs at a
// time); returns the pairs done.
[[gnu::target("avx2")]] std::int32_t InterleaveWide(const double* re, const double* im,
                                                    double* __restrict x, std::int32_t h) {
  std::int32_t j = 0;
  for (; j + 4 <= h; j += 4) {
    const Lanes r = LoadLanes(re + j), i = LoadLanes(im + j);
    StoreLanes(x + 2 * j, QM_FFT_LANE_MIX(r, i, 0, 4, 1, 5));
    StoreLanes(x + 2 * j + 4, QM_FFT_LANE_MIX(r, i, 2, 6, 3, 7));
  }
  return j;
}

// The interleaved pairs x[2j·s], x[(2j+1)·s], j < h, split into ze[j] and
// zo[j] (four pairs at a time when `wide` and s = 1).
void Deinterleave(const double* x, std::ptrdiff_t s, double* __restrict ze, double* __restrict zo,
                  std::int32_t h, bool wide) {
  if (s == 1) {
    for (std::int32_t j = wide ? DeinterleaveWide(x, ze, zo, h) : 0; j < h; ++j) {
      ze[j] = x[2 * j];
      zo[j] = x[2 * j + 1];
    }
    return;
  }
  for (std::int32_t j = 0; j < h; ++j) {
    ze[j] = x[2 * j * s];
    zo[j] = x[(2 * j + 1) * s];
  }
}

// Bins k and h − k of a real signal of even length n = 2h from the half
// length transform Z of its even (real) and odd (imaginary) samples:
// a + ib = Z[k], c + id = Z[h − k], 0 < k < h/2; w = e^(−2πi·k/n) as
// (wr, wi). T is double, or Lanes for four consecutive k at once (the same
// operations in the same order, so the same bits).
template <class T>
struct BinPair {
  T kr, ki;  // bin k
  T mr, mi;  // bin h − k
};

// (The operands go by reference: a function without AVX may not take Lanes
// by value.)
template <class T>
[[gnu::always_inline]] inline void RealBinPair(const T& wr, const T& wi, const T& a, const T& b,
                                               const T& c, const T& d, BinPair<T>* q) {
  const T er = 0.5 * (a + c), ei = 0.5 * (b - d);
  const T orr = 0.5 * (b + d), oi = -0.5 * (a - c);
  const T tr = wr * orr - wi * oi, ti = wr * oi + wi * orr;
  q->kr = er + tr;
  q->ki = ei + ti;
  q->mr = er - tr;
  q->mi = -(ei - ti);
}

inline BinPair<double> RealBinPair(const FftRealData* rd, std::int32_t k, double a, double b,
                                   double c, double d) {
  BinPair<double> q;
  RealBinPair<double>(rd->cos[k], rd->sin[k], a, b, c, d, &q);
  return q;
}

// Bins k … k + 3 and h − k … h − k − 3 from Z (real parts in zr, imaginary
// parts in zi, h each).
[[gnu::target("avx2"), gnu::always_inline]] inline void RealBinPairs(const FftRealData* rd,
                                                                     const double* zr,
                                                                     const double* zi,
                                                                     std::int32_t k, std::int32_t h,
                                                                     BinPair<Lanes>* q) {
  const std::int32_t m = h - k;
  const Lanes wr = LoadLanes(rd->cos + k), wi = LoadLanes(rd->sin + k);
  const Lanes a = LoadLanes(zr + k), b = LoadLanes(zi + k);
  const Lanes c = LoadMirrored(zr + m), d = LoadMirrored(zi + m);
  RealBinPair(wr, wi, a, b, c, d, q);
}

// The bin pairs k, h − k of FftRealForward (unit output stride) for
// k = 1, 5, 9, … while all four lanes have 2k < h, from Z in zr, zi into
// out; returns the first k left to the scalar loop.
[[gnu::target("avx2")]] std::int32_t UnfoldHalfComplexWide(const FftRealData* rd, const double* zr,
                                                           const double* zi, double* __restrict out,
                                                           std::int32_t h) {
  const std::int32_t n = 2 * h;
  std::int32_t k = 1;
  for (; 2 * (k + 3) < h; k += 4) {
    const std::int32_t m = h - k;
    BinPair<Lanes> q;
    RealBinPairs(rd, zr, zi, k, h, &q);
    StoreLanes(out + k, q.kr);
    StoreMirrored(out + n - k, q.ki);
    StoreMirrored(out + m, q.mr);
    StoreLanes(out + h + k, q.mi);
  }
  return k;
}

// The same for FftRealForwardFull: the bins with their conjugates into x
// and y (Z may be in x: a block reads its four runs of Z before writing
// them, and the runs of different blocks are apart).
[[gnu::target("avx2")]] std::int32_t UnfoldFullWide(const FftRealData* rd, const double* zr,
                                                    const double* zi, double* x, double* y,
                                                    std::int32_t h) {
  const std::int32_t n = 2 * h;
  std::int32_t k = 1;
  for (; 2 * (k + 3) < h; k += 4) {
    const std::int32_t m = h - k;
    BinPair<Lanes> q;
    RealBinPairs(rd, zr, zi, k, h, &q);
    StoreLanes(x + k, q.kr);
    StoreMirrored(x + n - k, q.kr);
    StoreLanes(y + k, q.ki);
    StoreMirrored(y + n - k, -q.ki);
    StoreMirrored(x + m, q.mr);
    StoreLanes(x + h + k, q.mr);
    StoreMirrored(y + m, q.mi);
    StoreLanes(y + h + k, -q.mi);
  }
  return k;
}

}  // namespace

Status FftComplexForward(const FftPlan* plan, const double* inRe, const double* inIm, double* outRe,
                         double* outIm, std::ptrdiff_t inStride, std::ptrdiff_t outStride,
                         std::int32_t n) {
  if (!plan || n != plan->length) return kAlgorithmFailure;
  ThreadScratch<double> work;
  if (Status s = TakeWork(plan, 0, &work)) return s;
  return ExecComplex(plan, inRe, inIm, inStride, outRe, outIm, outStride, work.data());
}

Status FftComplexInverse(const FftPlan* plan, const double* inRe, const double* inIm, double* outRe,
                         double* outIm, std::ptrdiff_t inStride, std::ptrdiff_t outStride,
                         std::int32_t n) {
  if (!plan || n != plan->length) return kAlgorithmFailure;
  ThreadScratch<double> work;
  if (Status s = TakeWork(plan, 0, &work)) return s;
  if (Status s = ExecComplex(plan, inIm, inRe, inStride, outIm, outRe, outStride, work.data()))
    return s;
  const double scale = 1.0 / n;
  Scale(outRe, outStride, n, scale);
  Scale(outIm, outStride, n, scale);
  return kSuccess;
}

Status FftComplexInterleaved(const FftPlan* plan, const double* in, double* out, std::int32_t n,
                             bool inverse) {
  if (!plan || n != plan->length) return kAlgorithmFailure;
  // The data split into real and imaginary parts (kFftScratchGap apart), the
  // transform at unit strides into a second such pair, then the engine's
  // work space: the kernels' unit-stride paths, and every element of `in`
  // read before `out` is written.
  const std::size_t part = 2 * (static_cast<std::size_t>(n) + kFftScratchGap);
  ThreadScratch<double> work;
  if (Status s = TakeWork(plan, 2 * part, &work)) return s;
  double* xr = work.data();
  double* xi = xr + n + kFftScratchGap;
  double* yr = xr + part;
  double* yi = yr + n + kFftScratchGap;
  const bool wide = FftWideLanes();
  Deinterleave(in, 1, xr, xi, n, wide);
  // The inverse is the forward transform with the parts exchanged, scaled.
  if (Status s = inverse ? ExecComplex(plan, xi, xr, 1, yi, yr, 1, yr + part)
                         : ExecComplex(plan, xr, xi, 1, yr, yi, 1, yr + part))
    return s;
  if (inverse) {
    const double scale = 1.0 / n;
    Scale(yr, 1, n, scale);
    Scale(yi, 1, n, scale);
  }
  for (std::int32_t j = wide ? InterleaveWide(yr, yi, out, n) : 0; j < n; ++j) {
    out[2 * j] = yr[j];
    out[2 * j + 1] = yi[j];
  }
  return kSuccess;
}

Status FftRealForward(const FftPlan* plan, const double* in, double* out, std::ptrdiff_t inStride,
                      std::ptrdiff_t outStride, std::int32_t n) {
  if (!plan || n != plan->length) return kAlgorithmFailure;
  const std::ptrdiff_t is = inStride, os = outStride;
  if (n == 1) {
    out[0] = in[0];
    return kSuccess;
  }
  if (SingleKernel(plan)) {
    plan->kernels[0].real_first(in, out, is, os, 1, 0, 0);
    return kSuccess;
  }
  if (n % 2 == 0) {
    const FftRealData* rd = fft::RealDataOf(plan);
    if (!rd) return kOutOfMemory;
    const std::int32_t h = n / 2;
    ThreadScratch<double> work;
    // The signal split into even and odd samples (the leaf kernels then read
    // adjacent data and run vectorised), then Z, each as two halves
    // kFftScratchGap apart, then the engine's work space.
    const std::size_t part = static_cast<std::size_t>(n) + kFftScratchGap;
    if (Status s = TakeWork(rd->half, 2 * part, &work)) return s;
    double* even = work.data();
    double* odd = even + h + kFftScratchGap;
    double* zr = even + part;
    double* zi = zr + h + kFftScratchGap;
    Deinterleave(in, is, even, odd, h, rd->wide);
    if (Status s = ExecComplex(rd->half, even, odd, 1, zr, zi, 1, zr + part)) return s;
    out[0] = zr[0] + zi[0];
    out[h * os] = zr[0] - zi[0];
    const std::int32_t first = rd->wide && os == 1 ? UnfoldHalfComplexWide(rd, zr, zi, out, h) : 1;
    for (std::int32_t k = first; 2 * k < h; ++k) {
      const std::int32_t m = h - k;
      const BinPair<double> q = RealBinPair(rd, k, zr[k], zi[k], zr[m], zi[m]);
      out[k * os] = q.kr;
      out[(n - k) * os] = q.ki;
      out[m * os] = q.mr;
      out[(h + k) * os] = q.mi;
    }
    if (h % 2 == 0) {
      // Bin h/2 is the conjugate of Z[h/2].
      out[h / 2 * os] = zr[h / 2];
      out[(n - h / 2) * os] = -zi[h / 2];
    }
    return kSuccess;
  }
  // Odd length: complex transform with a zero imaginary part.
  ThreadScratch<double> work;
  if (Status s = TakeWork(plan, 3 * static_cast<std::size_t>(n), &work)) return s;
  double* zero = work.data();
  double* re = zero + n;
  double* im = re + n;
  std::memset(zero, 0, sizeof(double) * n);
  if (Status s = ExecComplex(plan, in, zero, is, re, im, 1, im + n)) return s;
  out[0] = re[0];
  for (std::int32_t k = 1; 2 * k < n; ++k) {
    out[k * os] = re[k];
    out[(n - k) * os] = im[k];
  }
  return kSuccess;
}

Status FftRealForwardFull(const FftPlan* plan, double* x, double* y, std::int32_t n) {
  if (!plan || n != plan->length) return kAlgorithmFailure;
  if (n == 1) {
    y[0] = 0.0;
    return kSuccess;
  }
  if (n % 2 != 0 || SingleKernel(plan)) {
    // The half-complex spectrum in y, unfolded.
    if (Status s = FftRealForward(plan, x, y, 1, 1, n)) return s;
    x[0] = y[0];
    y[0] = 0.0;
    for (std::int32_t k = 1; 2 * k < n; ++k) {
      const double re = y[k], im = y[n - k];
      x[k] = x[n - k] = re;
      y[k] = im;
      y[n - k] = -im;
    }
    if (n % 2 == 0) {
      x[n / 2] = y[n / 2];
      y[n / 2] = 0.0;
    }
    return kSuccess;
  }
  const FftRealData* rd = fft::RealDataOf(plan);
  if (!rd) return kOutOfMemory;
  const std::int32_t h = n / 2;
  // The signal split into even and odd samples (the leaf kernels then read
  // adjacent data), and Z. From kFullApartHalfMin on, the halves of the
  // signal go to the work space kFftScratchGap apart and Z into the lower
  // halves of x (real parts) and y (imaginary parts), so that rows of the
  // two halves do not share cache sets; below, the halves go to y and Z to
  // x (real parts at 0 … h−1, imaginary parts at h … n−1).
  const bool apart = h >= kFullApartHalfMin;
  ThreadScratch<double> work;
  if (Status s =
          TakeWork(rd->half, apart ? static_cast<std::size_t>(n) + kFftScratchGap : 0, &work))
    return s;
  double* even = apart ? work.data() : y;
  double* odd = apart ? even + h + kFftScratchGap : y + h;
  double* zi = apart ? y : x + h;
  Deinterleave(x, 1, even, odd, h, rd->wide);
  if (Status s = ExecComplex(rd->half, even, odd, 1, x, zi, 1, apart ? odd + h : work.data()))
    return s;
  {
    const double zr = x[0], z0 = zi[0];
    x[0] = zr + z0;
    x[h] = zr - z0;
    y[0] = 0.0;
    y[h] = 0.0;
  }
  // Bins k and h − k from Z[k] and Z[h − k], as FftRealForward forms them,
  // with the conjugates of the upper half: the elements of Z a pair reads
  // are the ones of x and y below h it writes.
  const std::int32_t first = rd->wide ? UnfoldFullWide(rd, x, zi, x, y, h) : 1;
  for (std::int32_t k = first; 2 * k < h; ++k) {
    const std::int32_t m = h - k;
    const BinPair<double> q = RealBinPair(rd, k, x[k], zi[k], x[m], zi[m]);
    x[k] = x[n - k] = q.kr;
    y[k] = q.ki;
    y[n - k] = -q.ki;
    x[m] = x[h + k] = q.mr;
    y[m] = q.mi;
    y[h + k] = -q.mi;
  }
  if (h % 2 == 0) {
    // Bin h/2 is the conjugate of Z[h/2].
    const std::int32_t k = h / 2;
    const double zr = x[k], zk = zi[k];
    x[k] = x[n - k] = zr;
    y[k] = -zk;
    y[n - k] = zk;
  }
  return kSuccess;
}

Status FftRealForwardInterleaved(const FftPlan* plan, const double* in, double* out,
                                 std::int32_t n) {
  if (!plan || n != plan->length) return kAlgorithmFailure;
  if (n == 1) {
    out[0] = in[0];
    out[1] = 0.0;
    return kSuccess;
  }
  if (n % 2 != 0 || SingleKernel(plan)) {
    // The half-complex spectrum in the work space, unfolded into pairs as
    // FftRealForwardFull unfolds it.
    ThreadScratch<double> hc;
    if (Status s = hc.Allocate(static_cast<std::size_t>(n))) return s;
    if (Status s = FftRealForward(plan, in, hc.data(), 1, 1, n)) return s;
    const double* y = hc.data();
    out[0] = y[0];
    out[1] = 0.0;
    for (std::int32_t k = 1; 2 * k < n; ++k) {
      const double re = y[k], im = y[n - k];
      out[2 * k] = out[2 * (n - k)] = re;
      out[2 * k + 1] = im;
      out[2 * (n - k) + 1] = -im;
    }
    if (n % 2 == 0) {
      out[n] = y[n / 2];
      out[n + 1] = 0.0;
    }
    return kSuccess;
  }
  const std::int32_t h = n / 2;
  const FftRealData* rd = fft::RealDataOf(plan);
  if (!rd) return kOutOfMemory;
  ThreadScratch<double> work;
  if (Status s = TakeWork(rd->half, static_cast<std::size_t>(n), &work)) return s;
  // The signal split into even and odd samples in the upper half of out
  // (read in full before anything is written there), Z (real parts at
  // 0 … h−1, imaginary parts at h … n−1) in the work space, then each pair
  // of bins k, h − k with the conjugates at n − k, h + k.
  Deinterleave(in, 1, out + n, out + n + h, h, rd->wide);
  double* z = work.data();
  if (Status s = ExecComplex(rd->half, out + n, out + n + h, 1, z, z + h, 1, z + n)) return s;
  out[0] = z[0] + z[h];
  out[1] = 0.0;
  out[n] = z[0] - z[h];
  out[n + 1] = 0.0;
  for (std::int32_t k = 1; 2 * k < h; ++k) {
    const std::int32_t m = h - k;
    const BinPair<double> q = RealBinPair(rd, k, z[k], z[h + k], z[m], z[n - k]);
    double* bk = out + 2 * k;
    double* bm = out + 2 * m;
    double* bnk = out + 2 * (n - k);
    double* bhk = out + 2 * (h + k);
    bk[0] = bnk[0] = q.kr;
    bk[1] = q.ki;
    bnk[1] = -q.ki;
    bm[0] = bhk[0] = q.mr;
    bm[1] = q.mi;
    bhk[1] = -q.mi;
  }
  if (h % 2 == 0) {
    // Bin h/2 is the conjugate of Z[h/2].
    const std::int32_t k = h / 2;
    out[2 * k] = out[2 * (n - k)] = z[k];
    out[2 * k + 1] = -z[n - k];
    out[2 * (n - k) + 1] = z[n - k];
  }
  return kSuccess;
}

namespace {

// Z of an even length n = 2h from a half-complex spectrum, scaled by 1/n:
// the real part of bin k (k ≤ h) at re[k·is], its imaginary part (0 < k < h)
// at im[(n − k)·is], negated when kNegated (the upper half of a full
// spectrum holds the conjugates). Re Z[k] goes to z[k·is], Im Z[k] to
// z[(h + k)·is]. Each pair of bins k, h − k is read before it is written,
// so z may be re or im.
template <bool kNegated>
[[gnu::target("avx2")]] std::int32_t RealInverseFoldWide(const FftRealData* rd, const double* re,
                                                         const double* im, double* z,
                                                         std::int32_t n);

template <bool kNegated>
void RealInverseFold(const FftRealData* rd, const double* re, const double* im, double* z,
                     std::ptrdiff_t is, std::int32_t n) {
  const std::int32_t h = n / 2;
  const double scale = 1.0 / n;
  const double sign = kNegated ? -1.0 : 1.0;
  {
    const double x0 = re[0], xh = re[h * is];
    z[0] = (x0 + xh) * scale;
    z[h * is] = (x0 - xh) * scale;
  }
  const std::int32_t first =
      rd->wide && is == 1 ? RealInverseFoldWide<kNegated>(rd, re, im, z, n) : 1;
  for (std::int32_t k = first; 2 * k < h; ++k) {
    const std::int32_t m = h - k;
    const double a = re[k * is], b = sign * im[(n - k) * is];
    const double c = re[m * is], d = sign * im[(h + k) * is];
    const double pr = a + c, pi = b - d;
    const double qr = a - c, qi = b + d;
    // R = w^(−k)·Q with w^(−k) = (cos, −stored sin).
    const double wr = rd->cos[k], wi = -rd->sin[k];
    const double rr = wr * qr - wi * qi, ri = wr * qi + wi * qr;
    // Z[k] = (P + i·R)/n, Z[h−k] = (conj P + i·conj R)/n.
    z[k * is] = (pr - ri) * scale;
    z[(h + k) * is] = (pi + rr) * scale;
    z[m * is] = (pr + ri) * scale;
    z[(n - k) * is] = (rr - pi) * scale;
  }
  if (h % 2 == 0) {
    const std::int32_t k = h / 2;
    z[k * is] = 2.0 * re[k * is] * scale;
    z[(n - k) * is] = -2.0 * (sign * im[(n - k) * is]) * scale;
  }
}

// The bin pairs of RealInverseFold at unit stride for k = 1, 5, 9, … while
// all four lanes have 2k < h, as the scalar loop forms them; returns the
// first k left to it. A block reads its four runs before writing them (z may
// be re or im), and the runs of different blocks are apart.
template <bool kNegated>
[[gnu::target("avx2")]] std::int32_t RealInverseFoldWide(const FftRealData* rd, const double* re,
                                                         const double* im, double* z,
                                                         std::int32_t n) {
  const std::int32_t h = n / 2;
  const double scale = 1.0 / n;
  const double sign = kNegated ? -1.0 : 1.0;
  std::int32_t k = 1;
  for (; 2 * (k + 3) < h; k += 4) {
    const std::int32_t m = h - k;
    const Lanes a = LoadLanes(re + k), b = sign * LoadMirrored(im + n - k);
    const Lanes c = LoadMirrored(re + m), d = sign * LoadLanes(im + h + k);
    const Lanes pr = a + c, pi = b - d;
    const Lanes qr = a - c, qi = b + d;
    const Lanes wr = LoadLanes(rd->cos + k), wi = -LoadLanes(rd->sin + k);
    const Lanes rr = wr * qr - wi * qi, ri = wr * qi + wi * qr;
    StoreLanes(z + k, (pr - ri) * scale);
    StoreLanes(z + h + k, (pi + rr) * scale);
    StoreMirrored(z + m, (pr + ri) * scale);
    StoreMirrored(z + n - k, (rr - pi) * scale);
  }
  return k;
}

// x = the unscaled inverse of Z (from RealInverseFold): x[2j] = Re z[j],
// x[2j+1] = Im z[j]. The transform writes contiguous scratch (the stages
// then touch half the cache lines a stride-2 output would), which is
// interleaved into x at the end.
Status RealInverseUnfold(const FftRealData* rd, const double* z, std::ptrdiff_t is, double* x,
                         std::ptrdiff_t os, std::int32_t n) {
  const std::int32_t h = n / 2;
  ThreadScratch<double> work;
  if (Status s = TakeWork(rd->half, static_cast<std::size_t>(n) + kFftScratchGap, &work)) return s;
  double* zi = work.data();              // Im z
  double* zr = zi + h + kFftScratchGap;  // Re z
  // The exchanged arrays give the unscaled inverse.
  if (Status s = ExecComplex(rd->half, z + h * is, z, is, zi, zr, 1, zr + h)) return s;
  if (os == 1) {
    for (std::int32_t j = rd->wide ? InterleaveWide(zr, zi, x, h) : 0; j < h; ++j) {
      x[2 * j] = zr[j];
      x[2 * j + 1] = zi[j];
    }
  } else {
    for (std::int32_t j = 0; j < h; ++j) {
      x[2 * j * os] = zr[j];
      x[(2 * j + 1) * os] = zi[j];
    }
  }
  return kSuccess;
}

// Odd n: the full spectrum (bins 1 … (n−1)/2 from re[k·is] and
// ±im[(n − k)·is]), scaled, through a complex inverse.
template <bool kNegated>
Status RealInverseOdd(const FftPlan* plan, const double* data, const double* im, double* out,
                      std::ptrdiff_t is, std::ptrdiff_t os, std::int32_t n) {
  const double scale = 1.0 / n;
  const double sign = kNegated ? -1.0 : 1.0;
  ThreadScratch<double> work;
  if (Status s = TakeWork(plan, 3 * static_cast<std::size_t>(n), &work)) return s;
  double* re = work.data();
  double* imag = re + n;
  double* junk = imag + n;
  re[0] = data[0] * scale;
  imag[0] = 0.0;
  for (std::int32_t k = 1; 2 * k < n; ++k) {
    const double xr = data[k * is] * scale, xi = sign * im[(n - k) * is] * scale;
    re[k] = xr;
    imag[k] = xi;
    re[n - k] = xr;
    imag[n - k] = -xi;
  }
  return ExecComplex(plan, imag, re, 1, junk, out, os, junk + n);
}

}  // namespace

Status FftRealInverse(const FftPlan* plan, double* data, double* out, std::ptrdiff_t inStride,
                      std::ptrdiff_t outStride, std::int32_t n) {
  if (!plan || n != plan->length) return kAlgorithmFailure;
  const std::ptrdiff_t is = inStride, os = outStride;
  if (n == 1) {
    out[0] = data[0];
    return kSuccess;
  }
  if (n % 2 != 0) return RealInverseOdd<false>(plan, data, data, out, is, os, n);
  const FftRealData* rd = fft::RealDataOf(plan);
  if (!rd) return kOutOfMemory;
  RealInverseFold<false>(rd, data, data, data, is, n);
  return RealInverseUnfold(rd, data, is, out, os, n);
}

Status FftRealInverseFull(const FftPlan* plan, const double* re, double* im, double* out,
                          std::int32_t n) {
  if (!plan || n != plan->length) return kAlgorithmFailure;
  if (n == 1) {
    out[0] = re[0];
    return kSuccess;
  }
  if (n % 2 != 0) return RealInverseOdd<true>(plan, re, im, out, 1, 1, n);
  const FftRealData* rd = fft::RealDataOf(plan);
  if (!rd) return kOutOfMemory;
  RealInverseFold<true>(rd, re, im, im, 1, n);
  return RealInverseUnfold(rd, im, 1, out, 1, n);
}

}  // namespace qm::fft
