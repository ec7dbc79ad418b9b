// Helpers of the sample-major section loops shared by the one-call filters
// and the cascade record.
//
// A cascade runs in passes over the signal; one pass takes up to
// kIirPassSections consecutive sections and feeds every sample through all
// of them before the next sample. Each section does the same operations in
// the same order as when it runs alone over the whole array, so the samples
// are identical bit for bit, but the recursions of the sections no longer
// wait for each other and the processor overlaps them. The section count of
// a pass is a template argument, so that the loops over the sections unroll
// and the delay lines stay in registers.
#pragma once

#include <cstdint>
#include <type_traits>
#include <utility>

namespace qm::filters {

// Three sections a pass: on the 8 sections of an order-16 record, passes of
// 3 + 3 + 2 ran at 0.94 × a loop of transposed biquads taking all sections
// per sample, 4 + 4 at 1.08–1.15 and one pass of 8 at 1.5–1.7 (its delay
// lines and coefficients no longer fit in the registers).
inline constexpr int kIirPassSections = 3;

// The length of the next pass when `remaining` (>= 1) sections are left:
// the fewest passes, as even as they can be (7 sections run as 3 + 2 + 2,
// not 3 + 3 + 1, since a lone section has nothing to overlap with).
inline int IirPassLength(std::int64_t remaining) {
  const std::int64_t passes = (remaining + kIirPassSections - 1) / kIirPassSections;
  return static_cast<int>((remaining + passes - 1) / passes);
}

// f(std::integral_constant<int, 0>{}), ..., f(std::integral_constant<int, K - 1>{}).
template <int K, class F>
[[gnu::always_inline]] inline void Unrolled(F&& f) {
  [&]<int... I>(std::integer_sequence<int, I...>) { (f(std::integral_constant<int, I>{}), ...); }
  (std::make_integer_sequence<int, K>{});
}

// f(std::integral_constant<int, count>{}) for 1 <= count <= kMax.
template <int kMax, class F>
inline void WithCount(int count, F&& f) {
  [&]<int... I>(std::integer_sequence<int, I...>) {
    (void)((count == I + 1 ? (f(std::integral_constant<int, I + 1>{}), true) : false) || ...);
  }
  (std::make_integer_sequence<int, kMax>{});
}

// True when y[0 .. n-1] and x[0 .. n-1] share some but not all elements: a
// pass that reads x[i] and writes y[i] would then see its own output.
inline bool OverlapsPartly(const double* x, const double* y, std::int32_t n) {
  const auto xa = reinterpret_cast<std::uintptr_t>(x);
  const auto ya = reinterpret_cast<std::uintptr_t>(y);
  const std::uintptr_t bytes = static_cast<std::uintptr_t>(n) * sizeof(double);
  return xa != ya && xa < ya + bytes && ya < xa + bytes;
}

}  // namespace qm::filters
