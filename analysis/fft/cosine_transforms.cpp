// Cosine and sine transforms on the real FFT.
//
// Dct, even m (Makhoul's reordering): v[j] = x[2j], v[m−1−j] = x[2j+1]; with
// V the m-point real FFT of v and W[k] = e^(−iπk/(2m))·V[k],
// Σ x[j]·cos(πk(2j+1)/(2m)) = Re W[k] and the sum of m − k is −Im W[k], so
// one rotation gives two outputs. Odd m: the 2m-point real FFT of the even
// extension x[0 … m−1], x[m−1 … 0] gives 2·e^(iπk/(2m))·(the sum).
// InverseDct runs the same relations backwards (even n: V[k] =
// e^(iπk/(2n))·(C[k] − i·C[n−k]) from the unscaled coefficients C; odd n: the
// Hermitian 2n-point spectrum of the rotated coefficients).
// Dst: the 2m + 2-point real FFT of 0, x[0 … m−1], 0, −x[m−1 … 0] is
// −2i·(the sum) at bins 1 … m.
//
// The rotations e^(−iπk/(2m)) come from CosSinTwoPiFraction(k, 4m) and are
// kept per thread for the last few lengths, so that repeated calls of one
// length compute no trigonometry.
#include "fft/cosine_transforms.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <numbers>

#include "fft/fft_engine.h"
#include "frame/exact_trig.h"
#include "frame/math_constants.h"
#include "frame/workspace.h"

namespace qm::fft {
namespace {

constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();

// ---------------------------------------------------------------------------
// Per-thread rotation tables: cos and sin of πk/(2m) for k < count, count =
// m/2 + 1 for even m (the pairs k, m − k share one), m for odd m.
class RotationCache {
 public:
  RotationCache() = default;
  RotationCache(const RotationCache&) = delete;
  RotationCache& operator=(const RotationCache&) = delete;
  ~RotationCache() {
    for (Slot& s : slots_) WorkspaceFree(s.table);
  }
  // The table of m (cos at [2k], sin at [2k + 1]); -20001 when it cannot be
  // built. The table stays valid while fewer than kSlots other lengths are
  // asked for.
  Status Get(std::int32_t m, const double** table) {
    ++clock_;
    Slot* victim = &slots_[0];
    for (Slot& s : slots_) {
      if (s.table && s.m == m) {
        s.stamp = clock_;
        *table = s.table;
        return kSuccess;
      }
      if (s.stamp < victim->stamp) victim = &s;
    }
    const std::size_t count = m % 2 == 0 ? static_cast<std::size_t>(m) / 2 + 1 : m;
    void* block = nullptr;
    if (Status s = WorkspaceAlloc(&block, 2 * count * sizeof(double))) return s;
    auto* t = static_cast<double*>(block);
    const std::int64_t turn = 4 * static_cast<std::int64_t>(m);
    for (std::size_t k = 0; k < count; ++k)
      CosSinTwoPiFraction(static_cast<std::int64_t>(k), turn, &t[2 * k], &t[2 * k + 1]);
    WorkspaceFree(victim->table);
    *victim = Slot{m, clock_, t};
    *table = t;
    return kSuccess;
  }

 private:
  static constexpr int kSlots = 4;
  struct Slot {
    std::int32_t m = 0;
    std::uint64_t stamp = 0;
    double* table = nullptr;
  };
  Slot slots_[kSlots];
  std::uint64_t clock_ = 0;
};

RotationCache& Rotations() {
  thread_local RotationCache cache;
  return cache;
}

// ---------------------------------------------------------------------------
enum class Kind { kDct, kInverseDct, kDst, kInverseDst };

bool IsCosine(Kind kind) { return kind == Kind::kDct || kind == Kind::kInverseDct; }

// One transform length with its plan and rotations, held for a call.
struct Lane {
  Kind kind = Kind::kDct;
  std::int32_t m = 0;       // transform length
  std::int32_t length = 0;  // plan length
  FftPlanHold plan;
  const double* rotation = nullptr;
};

// Plan length of a transform of length m, or -1 beyond 32 bits.
std::int32_t PlanLength(Kind kind, std::int32_t m) {
  if (IsCosine(kind)) {
    if (m % 2 == 0) return m;
    return m <= kInt32Max / 2 ? 2 * m : -1;
  }
  return m <= (kInt32Max - 2) / 2 ? 2 * m + 2 : -1;
}

// Doubles of scratch one transform of the lane needs: the extended or
// reordered input and the spectrum.
std::size_t WorkSize(const Lane& lane) { return 2 * static_cast<std::size_t>(lane.length); }

Status Prepare(Kind kind, std::int32_t m, Lane* lane) {
  lane->kind = kind;
  lane->m = m;
  lane->length = PlanLength(kind, m);
  if (lane->length < 0) return kOverflow;
  if (!lane->plan.Acquire(lane->length)) return kOutOfMemory;
  if (IsCosine(kind)) return Rotations().Get(m, &lane->rotation);
  return kSuccess;
}

// Dct of the first `count` values of x (stride xs, zeros beyond) into y
// (stride ys, m values). Everything is read before y is written.
Status RunDct(const Lane& lane, const double* x, std::ptrdiff_t xs, std::int32_t count, double* y,
              std::ptrdiff_t ys, double* work) {
  const std::int32_t m = lane.m;
  const double* rot = lane.rotation;
  auto in = [&](std::int32_t j) { return j < count ? x[j * xs] : 0.0; };
  if (m % 2 == 0) {
    double* v = work;
    double* hc = work + m;
    const std::int32_t h = m / 2;
    if (count >= m) {
      for (std::int32_t j = 0; j < h; ++j) {
        v[j] = x[2 * j * xs];
        v[m - 1 - j] = x[(2 * j + 1) * xs];
      }
    } else {
      for (std::int32_t j = 0; j < h; ++j) {
        v[j] = in(2 * j);
        v[m - 1 - j] = in(2 * j + 1);
      }
    }
    if (Status s = FftRealForward(lane.plan, v, hc, 1, 1, m)) return s;
    const double scale = std::sqrt(2.0 / m);
    y[0] = hc[0] * std::sqrt(1.0 / m);
    for (std::int32_t k = 1; k < h; ++k) {
      const double vr = hc[k], vi = hc[m - k];
      const double c = rot[2 * k], s = rot[2 * k + 1];
      y[k * ys] = scale * (c * vr + s * vi);
      y[(m - k) * ys] = -scale * (c * vi - s * vr);
    }
    y[h * ys] = scale * kSqrtHalf * hc[h];
    return kSuccess;
  }
  const std::int32_t n2 = 2 * m;
  double* e = work;
  double* hc = work + n2;
  for (std::int32_t j = 0; j < m; ++j) e[j] = e[n2 - 1 - j] = in(j);
  if (Status s = FftRealForward(lane.plan, e, hc, 1, 1, n2)) return s;
  const double scale = 1.0 / std::sqrt(static_cast<double>(n2));
  y[0] = hc[0] * scale * kSqrtHalf;
  for (std::int32_t k = 1; k < m; ++k) {
    const double c = rot[2 * k], s = rot[2 * k + 1];
    y[k * ys] = scale * (c * hc[k] + s * hc[n2 - k]);
  }
  return kSuccess;
}

// InverseDct of the m coefficients of x (stride xs) into y (stride ys).
Status RunInverseDct(const Lane& lane, const double* x, std::ptrdiff_t xs, double* y,
                     std::ptrdiff_t ys, double* work) {
  const std::int32_t n = lane.m;
  const double* rot = lane.rotation;
  if (n % 2 == 0) {
    double* hc = work;
    double* v = work + n;
    const std::int32_t h = n / 2;
    // Unscaled coefficients C[0] = √n·x[0], C[k] = √(n/2)·x[k].
    const double w = std::sqrt(0.5 * n);
    hc[0] = std::sqrt(static_cast<double>(n)) * x[0];
    for (std::int32_t k = 1; k < h; ++k) {
      const double a = w * x[k * xs], b = -w * x[(n - k) * xs];
      const double c = rot[2 * k], s = rot[2 * k + 1];
      hc[k] = c * a - s * b;
      hc[n - k] = s * a + c * b;
    }
    hc[h] = std::numbers::sqrt2 * w * x[h * xs];
    if (Status s = FftRealInverse(lane.plan, hc, v, 1, 1, n)) return s;
    for (std::int32_t j = 0; j < h; ++j) {
      y[2 * j * ys] = v[j];
      y[(2 * j + 1) * ys] = v[n - 1 - j];
    }
    return kSuccess;
  }
  const std::int32_t n2 = 2 * n;
  double* hc = work;
  double* u = work + n2;
  const double w = std::sqrt(static_cast<double>(n2));
  hc[0] = 2.0 * std::sqrt(static_cast<double>(n)) * x[0];
  for (std::int32_t k = 1; k < n; ++k) {
    const double a = w * x[k * xs];
    hc[k] = rot[2 * k] * a;
    hc[n2 - k] = rot[2 * k + 1] * a;
  }
  hc[n] = 0.0;
  if (Status s = FftRealInverse(lane.plan, hc, u, 1, 1, n2)) return s;
  for (std::int32_t j = 0; j < n; ++j) y[j * ys] = u[j];
  return kSuccess;
}

// Dst (forward or inverse) of the first `count` values of x into y.
Status RunDst(const Lane& lane, const double* x, std::ptrdiff_t xs, std::int32_t count, double* y,
              std::ptrdiff_t ys, double* work) {
  const std::int32_t m = lane.m, n2 = lane.length;
  double* e = work;
  double* hc = work + n2;
  e[0] = 0.0;
  e[m + 1] = 0.0;
  for (std::int32_t j = 0; j < m; ++j) {
    const double v = j < count ? x[j * xs] : 0.0;
    e[1 + j] = v;
    e[n2 - 1 - j] = -v;
  }
  if (Status s = FftRealForward(lane.plan, e, hc, 1, 1, n2)) return s;
  const double scale = lane.kind == Kind::kDst ? -0.5 : -1.0 / (static_cast<double>(m) + 1.0);
  for (std::int32_t k = 1; k <= m; ++k) y[(k - 1) * ys] = scale * hc[n2 - k];
  return kSuccess;
}

Status Run(const Lane& lane, const double* x, std::ptrdiff_t xs, std::int32_t count, double* y,
           std::ptrdiff_t ys, double* work) {
  switch (lane.kind) {
    case Kind::kDct:
      return RunDct(lane, x, xs, count, y, ys, work);
    case Kind::kInverseDct:
      return RunInverseDct(lane, x, xs, y, ys, work);
    default:
      return RunDst(lane, x, xs, count, y, ys, work);
  }
}

Status Transform1D(Kind kind, const double* x, std::int32_t n, std::int32_t m, double* y) {
  if (n < 1) return kCountNotPositive;
  if (m < 1) m = n;
  Lane lane;
  if (Status s = Prepare(kind, m, &lane)) return s;
  ThreadScratch<double> work;
  if (Status s = work.Allocate(WorkSize(lane))) return s;
  return Run(lane, x, 1, std::min(n, m), y, 1, work.data());
}

// Columns gathered per batch: eight doubles of a row are one cache line.
constexpr std::int32_t kColumnBatch = 8;

Status Transform2D(Kind kind, const double* x, std::int32_t rows, std::int32_t cols, double* y) {
  if (rows < 1 || cols < 1) return kCountNotPositive;
  Lane row_lane, column_lane;
  if (Status s = Prepare(kind, cols, &row_lane)) return s;
  if (Status s = Prepare(kind, rows, &column_lane)) return s;
  // One block: the larger work need, then a batch of gathered columns.
  const std::size_t need = std::max(WorkSize(row_lane), WorkSize(column_lane));
  const std::int32_t batch = std::min(cols, kColumnBatch);
  ThreadScratch<double> scratch;
  if (Status s = scratch.Allocate(need + static_cast<std::size_t>(batch) * rows)) return s;
  double* work = scratch.data();
  double* gathered = work + need;
  const std::size_t stride = static_cast<std::size_t>(cols);
  for (std::int32_t r = 0; r < rows; ++r) {
    if (Status s = Run(row_lane, x + r * stride, 1, cols, y + r * stride, 1, work)) return s;
  }
  for (std::int32_t c0 = 0; c0 < cols; c0 += batch) {
    const std::int32_t b = std::min(batch, cols - c0);
    for (std::int32_t r = 0; r < rows; ++r) {
      const double* src = y + r * stride + c0;
      for (std::int32_t i = 0; i < b; ++i)
        gathered[static_cast<std::size_t>(i) * rows + r] = src[i];
    }
    for (std::int32_t i = 0; i < b; ++i) {
      double* column = gathered + static_cast<std::size_t>(i) * rows;
      if (Status s = Run(column_lane, column, 1, rows, column, 1, work)) return s;
    }
    for (std::int32_t r = 0; r < rows; ++r) {
      double* dst = y + r * stride + c0;
      for (std::int32_t i = 0; i < b; ++i)
        dst[i] = gathered[static_cast<std::size_t>(i) * rows + r];
    }
  }
  return kSuccess;
}

}  // namespace

Status Dct(const double* x, std::int32_t n, std::int32_t m, double* y) {
  return Transform1D(Kind::kDct, x, n, m, y);
}
Status InverseDct(const double* x, std::int32_t n, double* y) {
  return Transform1D(Kind::kInverseDct, x, n, n, y);
}
Status Dst(const double* x, std::int32_t n, std::int32_t m, double* y) {
  return Transform1D(Kind::kDst, x, n, m, y);
}
Status InverseDst(const double* x, std::int32_t n, double* y) {
  return Transform1D(Kind::kInverseDst, x, n, n, y);
}

Status Dct2D(const double* x, std::int32_t rows, std::int32_t cols, double* y) {
  return Transform2D(Kind::kDct, x, rows, cols, y);
}
Status InverseDct2D(const double* x, std::int32_t rows, std::int32_t cols, double* y) {
  return Transform2D(Kind::kInverseDct, x, rows, cols, y);
}
Status Dst2D(const double* x, std::int32_t rows, std::int32_t cols, double* y) {
  return Transform2D(Kind::kDst, x, rows, cols, y);
}
Status InverseDst2D(const double* x, std::int32_t rows, std::int32_t cols, double* y) {
  return Transform2D(Kind::kInverseDst, x, rows, cols, y);
}

}  // namespace qm::fft
