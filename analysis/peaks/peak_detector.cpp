// The streaming quadratic-fit peak and valley detector.
//
// Every window of w consecutive samples is fitted by c0 + c1*t + c2*t^2,
// t = -(w-1)/2 .. (w-1)/2, through the 3 x w least-squares operator P (the
// pseudo-inverse of the w x 3 matrix with rows [1, t, t^2]), so c = P*window.
// A window is a candidate when the sign of its slope differs from the
// previous window's (w >= 5), or when it is curved the polarity's way
// (w = 3, 4). The vertex t* = -c1/(2*c2) is accepted when it lies within
// (w-1)/4 of the window centre and beyond the threshold; a vertex left of
// -0.5 yields to the previous window's vertex when that one is nearer its own
// centre.
//
// Streaming: the state in the calling thread's record carries the last w
// samples (the carry buffer), the previous window's coefficients and slope
// sign and the global window index. A call sees the concatenation of the
// carry and its block and processes the windows that start 0 .. m-1 samples
// into it (m = new samples); the window that ends at the last sample starts
// the next call (it is the next carry), unless the call ends the data. So
// each window is formed from the same samples and multiplied by the same P
// however the signal is split, and its coefficients are bitwise those of one
// call over the whole signal.
//
// Results less than one sample apart are merged, and the last result of a
// call may still merge with a result of the next; it is held in the state
// (and reported by the next call) while a later window could reach it.
#include <cmath>
#include <cstring>

#include "frame/thread_state.h"
#include "frame/workspace.h"
#include "linalg/real.h"
#include "peaks/peaks.h"
#include "peaks/window_fit.h"

namespace qm::peaks {
namespace {

constexpr double kSlopeFloor = 1e-10;      // |c1| below this: the sign of c2 decides
constexpr double kCurvatureFloor = 1e-10;  // |2*c2| below this: no vertex
constexpr double kBoundSlack = 2.220446049250313e-15;
constexpr double kMergeDistance = 1.0;
constexpr std::int64_t kGrowth = 512;

// The detection kept in ThreadRecord::work_record. Plain data: the record's
// release frees it as a block. The buffers are in ThreadRecord::work_array:
// P (3*w, row-major) followed by a buffer of 2*w samples whose first half is
// the carry.
struct DetectorState {
  std::int32_t width;
  std::int32_t filled;        // samples in the carry buffer (w once filled)
  std::int64_t window_index;  // windows processed since initialisation
  double previous[3];         // coefficients of the previous window
  std::int32_t previous_rising;
  std::int32_t has_pending;  // 1 while `pending` holds a result not yet reported
  double pending[3];         // location, amplitude, second derivative
};

void ReleaseDetection(ThreadRecord* record) {
  if (!record) return;
  WorkspaceFree(record->work_array);
  WorkspaceFree(record->work_record);
  record->work_array = nullptr;
  record->work_record = nullptr;
}

// A fresh detection of width w in `record` (any earlier one released).
Status StartDetection(ThreadRecord* record, std::int32_t w) {
  ReleaseDetection(record);
  void* state_block = nullptr;
  if (Status s = WorkspaceAlloc(&state_block, sizeof(DetectorState))) return s;
  record->work_record = state_block;
  void* array_block = nullptr;
  if (Status s = WorkspaceAlloc(&array_block, 5 * static_cast<std::size_t>(w) * sizeof(double))) {
    ReleaseDetection(record);
    return s;
  }
  record->work_array = array_block;
  auto* state = new (state_block) DetectorState{};
  state->width = w;
  return kSuccess;
}

// P = pinv(A), A (w x 3) with rows [1, t, t^2].
Status ComputeOperator(std::int32_t w, double* p) {
  Scratch<double> a;
  if (Status s = a.Allocate(3 * static_cast<std::size_t>(w))) return s;
  const double half = (w - 1) / 2.0;
  for (std::int32_t i = 0; i < w; ++i) {
    const double t = i - half;
    a[3 * static_cast<std::size_t>(i)] = 1.0;
    a[3 * static_cast<std::size_t>(i) + 1] = t;
    a[3 * static_cast<std::size_t>(i) + 2] = t * t;
  }
  return linalg::PseudoInverse(a.data(), w, 3, -1.0, p);
}

// The three result arrays of a call, grown kGrowth entries at a time.
class Results {
 public:
  Results() = default;
  Results(const Results&) = delete;
  Results& operator=(const Results&) = delete;
  ~Results() { Release(); }

  std::int64_t count() const { return count_; }
  double location(std::int64_t i) const { return field_[0][i]; }
  double amplitude(std::int64_t i) const { return field_[1][i]; }

  Status Append(const double r[3]) {
    if (count_ == capacity_) {
      const std::size_t bytes = static_cast<std::size_t>(capacity_ + kGrowth) * sizeof(double);
      for (double*& f : field_) {
        void* block = f;
        const Status s = WorkspaceRealloc(&block, bytes);
        f = static_cast<double*>(block);
        if (s) return s;
      }
      capacity_ += kGrowth;
    }
    Set(count_++, r);
    return kSuccess;
  }
  void Set(std::int64_t i, const double r[3]) {
    for (int k = 0; k < 3; ++k) field_[k][i] = r[k];
  }
  void Get(std::int64_t i, double r[3]) const {
    for (int k = 0; k < 3; ++k) r[k] = field_[k][i];
  }
  void DropLast() { --count_; }

  // Trims the arrays to the count (none when the count is 0) and hands them
  // over to the caller.
  Status HandOver(double** locations, double** amplitudes, double** second_derivatives) {
    if (count_ == 0) {
      Release();
    } else if (count_ < capacity_) {
      for (double*& f : field_) {
        void* block = f;
        const Status s =
            WorkspaceRealloc(&block, static_cast<std::size_t>(count_) * sizeof(double));
        f = static_cast<double*>(block);
        if (s) return s;
      }
      capacity_ = count_;
    }
    *locations = field_[0];
    *amplitudes = field_[1];
    *second_derivatives = field_[2];
    field_[0] = field_[1] = field_[2] = nullptr;
    count_ = capacity_ = 0;
    return kSuccess;
  }

 private:
  void Release() {
    for (double*& f : field_) {
      WorkspaceFree(f);
      f = nullptr;
    }
    count_ = capacity_ = 0;
  }
  double* field_[3] = {nullptr, nullptr, nullptr};
  std::int64_t count_ = 0;
  std::int64_t capacity_ = 0;
};

// What one call needs besides the state.
struct Pass {
  DetectorState* state;
  const double* p;  // 3 x w operator
  double threshold;
  bool valleys;
  double half;   // (w - 1)/2
  double bound;  // (w - 1)/4 + slack
  Results* results;
};

constexpr std::int32_t kChunk = 256;  // windows fitted ahead of the decisions

// The fits of up to kChunk consecutive windows; entry 0 holds the window
// before the first (the previous coefficients), entries 1 .. chunk the
// windows themselves.
struct ChunkFits {
  double c[3][kChunk + 1];
};

// The candidates of a chunk (entries of ChunkFits), listed without branches:
// slope signs of noisy data flip unpredictably. Updates *previous_rising to
// the sign of the chunk's last window.
std::int32_t ListCandidates(const Pass& pass, const ChunkFits& fits, std::int32_t chunk,
                            bool first_of_detection, std::int32_t* previous_rising,
                            std::int32_t* listed) {
  const bool by_sign = pass.state->width >= 5;
  std::int32_t before = *previous_rising, found = 0;
  for (std::int32_t k = 1; k <= chunk; ++k) {
    const double c1 = fits.c[1][k], c2 = fits.c[2][k];
    // A NaN window has NaN coefficients: slope sign "not rising", and no
    // vertex passes the acceptance test.
    const bool steep = std::fabs(c1) > kSlopeFloor;
    const std::int32_t rising = (steep & (c1 > 0.0)) | (!steep & (c2 > 0.0));
    // The first window of a detection takes its own sign as the previous.
    if (k == 1 && first_of_detection) before = rising;
    const bool candidate = by_sign ? rising != before : (pass.valleys ? c2 > 0.0 : c2 < 0.0);
    listed[found] = k;
    found += candidate;
    before = rising;
  }
  *previous_rising = before;
  return found;
}

// The accepted vertices of the listed candidates, in order (again without
// branches on the data). Entry k of the fits is window `base + k - 1`.
//  - d = 2*c2; a candidate with |d| < 1e-10 is dropped; t = -c1/d and the
//    amplitude is the fit at t;
//  - when a window precedes and t < -0.5, the previous window's vertex
//    (unless its d is exactly 0) replaces it if nearer its own centre;
//  - accepted when |t| <= (w-1)/4 + slack and d, amplitude lie on the
//    polarity's side of 0 and of the threshold.
std::int32_t AcceptVertices(const Pass& pass, const ChunkFits& fits, const std::int32_t* listed,
                            std::int32_t found, std::int64_t base, double (*out)[kChunk]) {
  std::int32_t accepted = 0;
  for (std::int32_t f = 0; f < found; ++f) {
    const std::int32_t k = listed[f];
    const double c0 = fits.c[0][k], c1 = fits.c[1][k], c2 = fits.c[2][k];
    const double q0 = fits.c[0][k - 1], q1 = fits.c[1][k - 1], q2 = fits.c[2][k - 1];
    const double d = 2.0 * c2;
    const double t = -c1 / d;
    const double amplitude = c0 + c1 * t + c2 * t * t;
    const double dq = 2.0 * q2;
    const double tq = -q1 / dq;
    const double amplitude_q = q0 + q1 * tq + q2 * tq * tq;
    const std::int64_t index = base + k - 1;
    const bool replace = (index > 0) & (t < -0.5) & (dq != 0.0) & (std::fabs(tq) < std::fabs(t));
    const double tv = replace ? tq : t;
    const double av = replace ? amplitude_q : amplitude;
    const double dv = replace ? dq : d;
    const bool side =
        pass.valleys ? (dv > 0.0) & (av < pass.threshold) : (dv < 0.0) & (av > pass.threshold);
    const bool ok = !(std::fabs(d) < kCurvatureFloor) & (std::fabs(tv) <= pass.bound) & side;
    out[0][accepted] = static_cast<double>(index - replace) + pass.half + tv;
    out[1][accepted] = av;
    out[2][accepted] = dv;
    accepted += ok;
  }
  return accepted;
}

// Stores an accepted result: one less than a sample from the last stored
// result replaces it when larger (peaks) or smaller (valleys), else is
// dropped; otherwise it is appended.
Status Store(const Pass& pass, const double r[3]) {
  Results& res = *pass.results;
  if (res.count() > 0) {
    const std::int64_t last = res.count() - 1;
    if (std::fabs(r[0] - res.location(last)) < kMergeDistance) {
      const bool better = pass.valleys ? r[1] < res.amplitude(last) : r[1] > res.amplitude(last);
      if (better) res.Set(last, r);
      return kSuccess;
    }
  }
  return res.Append(r);
}

// The windows that start at s, s + 1, ... (`count` of them), a chunk at a
// time: the fits, the list of candidates, their accepted vertices, and the
// results in order.
Status DecideWindows(const Pass& pass, const double* s, std::int32_t count) {
  DetectorState& st = *pass.state;
  ChunkFits fits;
  std::int32_t listed[kChunk];
  double vertices[3][kChunk];
  for (std::int32_t first = 0; first < count; first += kChunk) {
    const std::int32_t chunk = count - first < kChunk ? count - first : kChunk;
    for (int q = 0; q < 3; ++q) fits.c[q][0] = st.previous[q];
    FitWindows(s + first, chunk, pass.p, st.width, fits.c[0] + 1, fits.c[1] + 1, fits.c[2] + 1);
    std::int32_t rising = st.previous_rising;
    const std::int32_t found =
        ListCandidates(pass, fits, chunk, st.window_index == 0, &rising, listed);
    const std::int32_t accepted =
        AcceptVertices(pass, fits, listed, found, st.window_index, vertices);
    for (std::int32_t a = 0; a < accepted; ++a) {
      const double r[3] = {vertices[0][a], vertices[1][a], vertices[2][a]};
      if (Status status = Store(pass, r)) return status;
    }
    for (int q = 0; q < 3; ++q) st.previous[q] = fits.c[q][chunk];
    st.previous_rising = rising;
    st.window_index += chunk;
  }
  return kSuccess;
}

// Processes the windows of one call: windows 0 .. min(m, w) start in
// `buffer` (the carry followed by the first new samples), the later ones at
// x + i - w.
Status RunWindows(const Pass& pass, const double* buffer, const double* x, std::int32_t m,
                  bool end_of_data) {
  const std::int32_t w = pass.state->width;
  const std::int32_t head = m < w ? m : w;
  const std::int32_t last = end_of_data ? m : m - 1;
  const std::int32_t in_buffer = (last < head ? last : head) + 1;
  if (in_buffer > 0) {
    if (Status s = DecideWindows(pass, buffer, in_buffer)) return s;
  }
  if (last > head) return DecideWindows(pass, x + (head + 1 - w), last - head);
  return kSuccess;
}

Status Detect(const double* x, std::int32_t n, double threshold, std::int32_t width,
              std::int32_t polarity, bool initialize, bool end_of_data, Results* results) {
  if (width < kMinWidth || width > kMaxWidth) return kBadSelection;
  ThreadRecord* record = nullptr;
  if (initialize) {
    if (Status s = GetThreadRecord(&record)) return s;
    if (Status s = StartDetection(record, width)) return s;
  } else {
    record = FindThreadRecord();
    if (!record || !record->work_record) return kStateNotInitialised;
  }
  if (n < width) return kBadWidth;
  auto* state = static_cast<DetectorState*>(record->work_record);
  const std::int32_t w = state->width;
  double* p = static_cast<double*>(record->work_array);
  double* buffer = p + 3 * static_cast<std::size_t>(w);
  if (initialize) {
    if (Status s = ComputeOperator(w, p)) return s;
  }

  // Filling of the carry buffer (the first w samples of a detection).
  if (state->filled < w) {
    const std::int32_t take = w - state->filled < n ? w - state->filled : n;
    std::memcpy(buffer + state->filled, x, static_cast<std::size_t>(take) * sizeof(double));
    state->filled += take;
    x += take;
    n -= take;
    if (state->filled < w) return kSuccess;
  }
  const std::int32_t m = n;

  // The result held back by the previous call comes first.
  if (state->has_pending) {
    if (Status s = results->Append(state->pending)) return s;
    state->has_pending = 0;
  }

  const std::int32_t head = m < w ? m : w;
  std::memcpy(buffer + w, x, static_cast<std::size_t>(head) * sizeof(double));
  const Pass pass{
      state, p, threshold, polarity != kPeaks, (w - 1) / 2.0, (w - 1) / 4.0 + kBoundSlack, results};
  if (Status s = RunWindows(pass, buffer, x, m, end_of_data)) return s;

  // The carry becomes the last w samples seen.
  if (m >= w)
    std::memcpy(buffer, x + (m - w), static_cast<std::size_t>(w) * sizeof(double));
  else
    std::memmove(buffer, buffer + m, static_cast<std::size_t>(w) * sizeof(double));

  // Hold the last result back while a later window could merge with it. A
  // later result comes from window `window_index` or beyond, or replaces one
  // by its predecessor, and lies within (w-1)/4 of its window's centre, so it
  // is at least window_index - 1 + (w-1)/4 - slack; one further sample of
  // margin absorbs the rounding of the locations.
  if (!end_of_data && results->count() > 0) {
    const std::int64_t last = results->count() - 1;
    const double reach = static_cast<double>(state->window_index) - 3.0 + (w - 1) / 4.0;
    if (results->location(last) > reach) {
      results->Get(last, state->pending);
      state->has_pending = 1;
      results->DropLast();
    }
  }
  return kSuccess;
}

}  // namespace

Status DetectPeaks(const double* x, std::int32_t n, double threshold, std::int32_t width,
                   std::int32_t polarity, std::int32_t initialize, std::int32_t end_of_data,
                   std::int32_t* count, double** locations, double** amplitudes,
                   double** second_derivatives) {
  *count = 0;
  *locations = *amplitudes = *second_derivatives = nullptr;
  Results results;
  Status s = Detect(x, n, threshold, width, polarity, initialize != 0, end_of_data != 0, &results);
  if (s == kSuccess) {
    const std::int64_t found = results.count();
    s = results.HandOver(locations, amplitudes, second_derivatives);
    if (s == kSuccess) *count = static_cast<std::int32_t>(found);
  }
  if (s != kSuccess || end_of_data) ReleaseDetection(FindThreadRecord());
  return s;
}

}  // namespace qm::peaks
