#include "peaks/window_fit.h"

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace qm::peaks {
namespace {

// kCount windows side by side, sharing each pass over P.
template <int kCount>
inline void FitLanes(const double* a, const double* p0, const double* p1, const double* p2,
                     std::int32_t w, double* c0, double* c1, double* c2) {
  double acc[3][kCount] = {};
  for (std::int32_t j = 0; j < w; ++j) {
    const double q0 = p0[j], q1 = p1[j], q2 = p2[j];
#pragma GCC unroll 8
    for (int l = 0; l < kCount; ++l) {
      const double v = a[j + l];
      acc[0][l] += q0 * v;
      acc[1][l] += q1 * v;
      acc[2][l] += q2 * v;
    }
  }
#pragma GCC unroll 8
  for (int l = 0; l < kCount; ++l) {
    c0[l] = acc[0][l];
    c1[l] = acc[1][l];
    c2[l] = acc[2][l];
  }
}

void FitPortable(const double* s, std::int32_t count, const double* p, std::int32_t w, double* c0,
                 double* c1, double* c2) {
  constexpr int kLanes = 4;
  const double* p0 = p;
  const double* p1 = p0 + w;
  const double* p2 = p1 + w;
  std::int32_t k = 0;
  for (; k + kLanes <= count; k += kLanes)
    FitLanes<kLanes>(s + k, p0, p1, p2, w, c0 + k, c1 + k, c2 + k);
  for (; k < count; ++k) FitLanes<1>(s + k, p0, p1, p2, w, c0 + k, c1 + k, c2 + k);
}

#if defined(__x86_64__)
// Eight windows at a time: lane l of a register holds window k + l and adds
// its products in the order of j, with a separate multiply and add.
__attribute__((target("avx2"))) void FitAvx2(const double* s, std::int32_t count, const double* p,
                                             std::int32_t w, double* c0, double* c1, double* c2) {
  const double* p0 = p;
  const double* p1 = p0 + w;
  const double* p2 = p1 + w;
  std::int32_t k = 0;
  for (; k + 8 <= count; k += 8) {
    const double* a = s + k;
    __m256d a0 = _mm256_setzero_pd(), a1 = a0, a2 = a0, b0 = a0, b1 = a0, b2 = a0;
    for (std::int32_t j = 0; j < w; ++j) {
      const __m256d q0 = _mm256_broadcast_sd(p0 + j), q1 = _mm256_broadcast_sd(p1 + j),
                    q2 = _mm256_broadcast_sd(p2 + j);
      const __m256d va = _mm256_loadu_pd(a + j), vb = _mm256_loadu_pd(a + j + 4);
      a0 = _mm256_add_pd(a0, _mm256_mul_pd(q0, va));
      a1 = _mm256_add_pd(a1, _mm256_mul_pd(q1, va));
      a2 = _mm256_add_pd(a2, _mm256_mul_pd(q2, va));
      b0 = _mm256_add_pd(b0, _mm256_mul_pd(q0, vb));
      b1 = _mm256_add_pd(b1, _mm256_mul_pd(q1, vb));
      b2 = _mm256_add_pd(b2, _mm256_mul_pd(q2, vb));
    }
    _mm256_storeu_pd(c0 + k, a0);
    _mm256_storeu_pd(c1 + k, a1);
    _mm256_storeu_pd(c2 + k, a2);
    _mm256_storeu_pd(c0 + k + 4, b0);
    _mm256_storeu_pd(c1 + k + 4, b1);
    _mm256_storeu_pd(c2 + k + 4, b2);
  }
  FitPortable(s + k, count - k, p, w, c0 + k, c1 + k, c2 + k);
}
#endif

}  // namespace

void FitWindows(const double* s, std::int32_t count, const double* p, std::int32_t w, double* c0,
                double* c1, double* c2, FitPath path) {
#if defined(__x86_64__)
  static const bool avx2 = __builtin_cpu_supports("avx2");
  if (avx2 && path == FitPath::kBest) return FitAvx2(s, count, p, w, c0, c1, c2);
#endif
  FitPortable(s, count, p, w, c0, c1, c2);
}

}  // namespace qm::peaks
