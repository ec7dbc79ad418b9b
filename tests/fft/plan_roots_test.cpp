// The plans' tables of roots of unity are those of the exact-angle routine,
// bit for bit, whichever way the plan builds them.
#include <gtest/gtest.h>

#include <cstdint>

#include "fft/fft_engine.h"
#include "frame/exact_trig.h"

namespace qm::fft {
namespace {

TEST(FftPlanRoots, TwiddlesAndUnfoldingFactorsAreTheExactRoots) {
  // Fixed kernels only, mixed with a generic prime (47), with Rader stages
  // (106 = 2·53, 2039), odd, twice odd and multiples of 4 and 8.
  for (std::int32_t n : {12, 94, 106, 360, 1000, 1024, 2039, 4096, 6000, 3 * 47 * 8}) {
    FftPlan* plan = FftPlanAcquire(n);
    ASSERT_NE(plan, nullptr) << n;
    for (int st = 0; st < plan->factor_count; ++st) {
      const FftStage& stage = plan->stage_data[st];
      const std::int32_t r = plan->factors[st], L = stage.remaining, m = L / r;
      for (std::int32_t k = 1; k < r && m > 1; ++k) {
        for (std::int32_t j = 1; j < m; ++j) {
          double c, s;
          CosSinTwoPiFraction(static_cast<std::int64_t>(j) * k, L, &c, &s);
          const std::size_t at = static_cast<std::size_t>(k - 1) * (m - 1) + (j - 1);
          ASSERT_EQ(stage.twiddle_cos[at], c) << n << " stage " << st << " " << j << "·" << k;
          ASSERT_EQ(stage.twiddle_sin[at], -s) << n << " stage " << st << " " << j << "·" << k;
        }
      }
      if (plan->stage_kinds[st] == kFftGenericPrime) {
        for (std::int32_t q = 0; q < r; ++q) {
          double c, s;
          CosSinTwoPiFraction(q, r, &c, &s);
          ASSERT_EQ(stage.root_cos[q], c) << n << " root " << q;
          ASSERT_EQ(stage.root_sin[q], s) << n << " root " << q;
        }
      }
    }
    if (n % 2 == 0) {
      const FftRealData* rd = fft::RealDataOf(plan);
      ASSERT_NE(rd, nullptr) << n;
      for (std::int32_t k = 0; k <= n / 4; ++k) {
        double c, s;
        CosSinTwoPiFraction(k, n, &c, &s);
        ASSERT_EQ(rd->cos[k], c) << n << " unfolding " << k;
        ASSERT_EQ(rd->sin[k], -s) << n << " unfolding " << k;
      }
    }
    FftPlanRelease(plan);
  }
}

}  // namespace
}  // namespace qm::fft
