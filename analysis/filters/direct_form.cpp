// Direct-form filtering with caller-held state.
//
// The state is never shifted sample by sample: the first nb - 1 samples of a
// block are filtered from a stitched copy of the input state and the head of
// the block, the rest straight from the block. The feed-forward sums run from
// the last sample backwards, so that each reads only inputs that are not yet
// overwritten when y is x; the feedback then runs forwards over those sums,
// its first na - 1 samples from a stitched copy of the output state. When y
// lies apart from x the IIR runs both sums in one forward pass instead. Every
// sample is the same sum in the same order wherever the block boundaries
// fall; this file is compiled without fused multiply-add contraction.
#include "filters/direct_form.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "frame/workspace.h"

namespace qm::filters {
namespace {

using Index = std::ptrdiff_t;

// b[0] p[0] + b[1] p[-1] + ... for samples `stride` doubles apart.
template <Index kStride>
inline double FeedForward(const double* b, Index nb, const double* p) {
  double acc = b[0] * p[0];
  for (Index j = 1; j < nb; ++j) acc += b[j] * p[-j * kStride];
  return acc;
}

// a[1] p[-1] + a[2] p[-2] + ... + a[na-1] p[-(na-1)], na >= 2.
template <Index kStride>
inline double Feedback(const double* a, Index na, const double* p) {
  double sum = a[1] * p[-kStride];
  for (Index j = 2; j < na; ++j) sum += a[j] * p[-j * kStride];
  return sum;
}

// One real component (every sample, or the real or imaginary parts) of a
// block. `a` is null for the FIR computation. `work` holds 3(nb-1) + 2(na-1)
// doubles.
template <Index kStride>
void FilterComponent(const double* x, Index n, const double* b, Index nb, double* input_state,
                     const double* a, Index na, double* output_state, double* y, double* work,
                     bool apart) {
  const Index l = nb - 1;
  double* head = work;           // input state, then x[0 .. l-1]
  double* saved = head + 2 * l;  // the new input state
  double* past = saved + l;      // output state, then y[0 .. k-1]
  const Index head_count = std::min(n, l);
  for (Index k = 0; k < l; ++k) head[k] = input_state[k * kStride];
  for (Index k = 0; k < head_count; ++k) head[l + k] = x[k * kStride];
  // The last l samples of (state, block), read before y overwrites x.
  for (Index k = 0; k < l; ++k) saved[k] = n >= l ? x[(n - l + k) * kStride] : head[n + k];

  if (a && na > 1 && apart) {
    // y apart from x: one forward pass, the same sums in the same order.
    const double a0 = a[0];
    const Index k_past = na - 1;
    for (Index k = 0; k < k_past; ++k) past[k] = output_state[k * kStride];
    const Index lead = std::min(n, std::max(l, k_past));
    for (Index i = 0; i < lead; ++i) {
      const double acc = i >= l ? FeedForward<kStride>(b, nb, x + i * kStride)
                                : FeedForward<1>(b, nb, head + l + i);
      const double fb = i >= k_past ? Feedback<kStride>(a, na, y + i * kStride)
                                    : Feedback<1>(a, na, past + k_past + i);
      const double v = (acc - fb) / a0;
      if (i < k_past) past[k_past + i] = v;
      y[i * kStride] = v;
    }
    for (Index i = lead; i < n; ++i) {
      y[i * kStride] = (FeedForward<kStride>(b, nb, x + i * kStride) -
                        Feedback<kStride>(a, na, y + i * kStride)) /
                       a0;
    }
    for (Index k = 0; k < l; ++k) input_state[k * kStride] = saved[k];
    for (Index k = 0; k < k_past; ++k)
      output_state[k * kStride] = n >= k_past ? y[(n - k_past + k) * kStride] : past[n + k];
    return;
  }
  for (Index i = n - 1; i >= l; --i) y[i * kStride] = FeedForward<kStride>(b, nb, x + i * kStride);
  for (Index i = head_count - 1; i >= 0; --i) y[i * kStride] = FeedForward<1>(b, nb, head + l + i);
  for (Index k = 0; k < l; ++k) input_state[k * kStride] = saved[k];
  if (!a) return;

  const double a0 = a[0];
  const Index k_past = na - 1;
  if (k_past == 0) {
    for (Index i = 0; i < n; ++i) y[i * kStride] = y[i * kStride] / a0;
    return;
  }
  for (Index k = 0; k < k_past; ++k) past[k] = output_state[k * kStride];
  const Index past_count = std::min(n, k_past);
  for (Index i = 0; i < past_count; ++i) {
    const double v = (y[i * kStride] - Feedback<1>(a, na, past + k_past + i)) / a0;
    past[k_past + i] = v;
    y[i * kStride] = v;
  }
  for (Index i = k_past; i < n; ++i)
    y[i * kStride] = (y[i * kStride] - Feedback<kStride>(a, na, y + i * kStride)) / a0;
  for (Index k = 0; k < k_past; ++k)
    output_state[k * kStride] = n >= k_past ? y[(n - k_past + k) * kStride] : past[n + k];
}

template <Index kStride>
Status Filter(const double* x, std::int32_t n, const double* a, double* output_state,
              std::int32_t na, const double* b, double* input_state, std::int32_t nb, double* y) {
  if (n < 1 || nb < 1) return kCountNotPositive;
  // Past outputs need somewhere to live: without an output state only
  // na = 1 (no past outputs) keeps the division by a[0].
  const bool feedback = a != nullptr && na >= 1 && (na == 1 || output_state != nullptr);
  if (feedback && !(std::isfinite(a[0]) && a[0] != 0.0)) return kDivideByZero;
  const Index l = nb - 1, k_past = feedback ? na - 1 : 0;
  const std::size_t per_component = static_cast<std::size_t>(3 * l + 2 * k_past);
  Scratch<double> work;
  if (per_component > 0) {
    if (Status s = work.Allocate(per_component)) return s;
  }
  const auto x_at = reinterpret_cast<std::uintptr_t>(x), y_at = reinterpret_cast<std::uintptr_t>(y);
  const std::uintptr_t bytes = static_cast<std::uintptr_t>(n) * kStride * sizeof(double);
  const bool apart = x_at + bytes <= y_at || y_at + bytes <= x_at;
  for (Index c = 0; c < kStride; ++c) {
    FilterComponent<kStride>(x + c, n, b, nb, input_state ? input_state + c : nullptr,
                             feedback ? a : nullptr, k_past + 1,
                             output_state ? output_state + c : nullptr, y + c, work.data(), apart);
  }
  return kSuccess;
}

}  // namespace

Status FirFilterWithState(const double* x, std::int32_t n, const double* b, double* input_state,
                          std::int32_t nb, double* y) {
  return Filter<1>(x, n, nullptr, nullptr, 0, b, input_state, nb, y);
}

Status ComplexFirFilterWithState(const double* x, std::int32_t n, const double* b,
                                 double* input_state, std::int32_t nb, double* y) {
  return Filter<2>(x, n, nullptr, nullptr, 0, b, input_state, nb, y);
}

Status IirFilterWithState(const double* x, std::int32_t n, const double* a, double* output_state,
                          std::int32_t na, const double* b, double* input_state, std::int32_t nb,
                          double* y) {
  return Filter<1>(x, n, a, output_state, na, b, input_state, nb, y);
}

Status ComplexIirFilterWithState(const double* x, std::int32_t n, const double* a,
                                 double* output_state, std::int32_t na, const double* b,
                                 double* input_state, std::int32_t nb, double* y) {
  return Filter<2>(x, n, a, output_state, na, b, input_state, nb, y);
}

}  // namespace qm::filters
