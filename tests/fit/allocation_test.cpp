// Every routine of the family reports a failed scratch allocation as -20001,
// wherever in the call it happens, and leaves no block behind (the sanitizer
// builds check the latter).
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "fit_test_support.h"
#include "frame/workspace.h"

namespace {

using fit_test::Ref;
using fit_test::Vec;

double Line(double x, const double* a, int32_t) { return a[0] + a[1] * x; }

TEST(FitAllocation, EveryFailurePointGivesOutOfMemory) {
  const Vec& x = Ref("x");
  const Vec& y = Ref("y");
  const Vec& w = Ref("w");
  const int64_t n = static_cast<int64_t>(x.size());
  Vec f(n), v(n), c(10), cov(100), y2(n), up(n), lo(n);
  double a = 0, b = 0, r = 0, s = 0, e = 0;
  const double guess[] = {1.0, 0.5, 1.0};
  const double line[] = {-0.6, 1.1};
  const int32_t idx[] = {0};
  const double val[] = {1.0};
  const std::function<int32_t()> calls[] = {
      [&] { return ZMXFunc138(x.data(), y.data(), n, 0.3, &a, &b); },
      [&] { return ZMXFunc146(x.data(), y.data(), n, 0.3, &a, &b); },
      [&] { return ZMXFunc164(x.data(), y.data(), n, 0.0, 1.0, y2.data()); },
      [&] {
        return ZMXFunc86(x.data(), n / 2, 2, y.data(), w.data(), 4, f.data(), c.data(), cov.data(),
                         &r);
      },
      [&] {
        return ZMXFunc86(x.data(), n / 2, 2, y.data(), w.data(), 6, f.data(), c.data(), cov.data(),
                         &r);
      },
      [&] {
        return ZMXFunc86(x.data(), n / 2, 2, y.data(), w.data(), 1, f.data(), c.data(), cov.data(),
                         &r);
      },
      [&] { return ZMXFunc286(x.data(), y.data(), w.data(), n, 2, 0, f.data(), &a, &b, &r); },
      [&] { return ZMXFunc288(x.data(), y.data(), w.data(), n, 1, 0, f.data(), &a, &b, &r); },
      [&] {
        return ZMXFunc287(x.data(), y.data(), nullptr, n, 2, 0, guess, f.data(), &a, &b, &s, &r);
      },
      [&] {
        return ZMXFunc361(x.data(), y.data(), w.data(), n, 4, idx, val, 1, 0, f.data(), c.data(),
                          &r);
      },
      [&] { return ZMXFunc285(x.data(), y.data(), w.data(), n, 0.5, v.data(), y2.data()); },
      [&] {
        return ZMXFunc293(x.data(), y.data(), w.data(), n, line, 1, 0.9, up.data(), lo.data(),
                          c.data());
      },
      [&] {
        double p[2] = {0.0, 0.0};
        return ZMXFunc374(x.data(), y.data(), w.data(), f.data(), n, 50, Line, p, 2, &e, nullptr);
      },
  };
  int index = 0;
  for (const auto& call : calls) {
    const int32_t expected = call();
    ASSERT_GE(expected, 0) << index;
    bool reached_end = false;
    // Every one of the first 100 allocations, then a sparser sweep through
    // the iterative fits' many blocks.
    for (int countdown = 1; countdown < 100000 && !reached_end;
         countdown += countdown < 100 ? 1 : countdown / 20) {
      qm::SetWorkspaceFailureCountdown(countdown);
      const int32_t status = call();
      qm::SetWorkspaceFailureCountdown(0);
      if (status == -20001) continue;
      EXPECT_EQ(status, expected) << index << " at allocation " << countdown;
      reached_end = true;
    }
    EXPECT_TRUE(reached_end) << index;
    ++index;
  }
}

}  // namespace
