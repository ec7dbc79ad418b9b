// Four doubles at a time for the passes around the FFT engine (unfolding,
// folding, splitting and the spectra's bin loops), on processors with AVX2.
// Functions using them carry [[gnu::target("avx2")]] and run only when
// `FftWideLanes()` (or a plan's FftRealData::wide) says so. No fused
// multiply-add: four lanes give the bits of four passes of the scalar loop.
#pragma once

#include <cstdint>
#include <cstring>

namespace qm::fft {

using Lanes = double __attribute__((vector_size(32)));
using LaneOrder = long long __attribute__((vector_size(32)));

[[gnu::target("avx2"), gnu::always_inline]] inline Lanes LoadLanes(const double* p) {
  Lanes v;
  std::memcpy(&v, p, sizeof v);
  return v;
}
[[gnu::target("avx2"), gnu::always_inline]] inline void StoreLanes(double* p, Lanes v) {
  std::memcpy(p, &v, sizeof v);
}
// Lanes 3, 2, 1, 0 of v: the four elements below a mirrored index.
[[gnu::target("avx2"), gnu::always_inline]] inline Lanes Reversed(Lanes v) {
#ifdef __clang__
  return __builtin_shufflevector(v, v, 3, 2, 1, 0);
#else
  return __builtin_shuffle(v, LaneOrder{3, 2, 1, 0});
#endif
}
// Lanes i, j, k, l of the eight lanes of a (0 … 3) and b (4 … 7).
#ifdef __clang__
#define QM_FFT_LANE_MIX(a, b, i, j, k, l) __builtin_shufflevector(a, b, i, j, k, l)
#else
#define QM_FFT_LANE_MIX(a, b, i, j, k, l) __builtin_shuffle(a, b, LaneOrder{i, j, k, l})
#endif
// The mirrored elements p[−3 … 0] as lanes 0 … 3 read p[0], p[−1], p[−2], p[−3].
[[gnu::target("avx2"), gnu::always_inline]] inline Lanes LoadMirrored(const double* p) {
  return Reversed(LoadLanes(p - 3));
}
[[gnu::target("avx2"), gnu::always_inline]] inline void StoreMirrored(double* p, Lanes v) {
  StoreLanes(p - 3, Reversed(v));
}

// Whether the four-lane passes run: the processor has AVX2 and the portable
// kernel set is not selected (the choice plans made now take).
bool FftWideLanes();

}  // namespace qm::fft
