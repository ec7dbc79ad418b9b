// The distribution functions and the analysis of variance keep no state
// (the tables take per-call scratch): run from several threads at once they
// give the values of a serial run, bit for bit.
#include <gtest/gtest.h>

#include <cmath>
#include <thread>
#include <vector>

#include "common/concurrent_calls.h"
#include "qmanlys.h"

namespace {

double Mix(int i) {
  const double x = 0.13 + 0.017 * i;
  const int32_t df = 1 + i % 37;
  double f, t, c, n, fi, ti, ci, ni, chi, p;
  ZMXFunc83(x, df, 3 + i % 5, &f);
  ZMXFunc181(x - 3, df, &t);
  ZMXFunc190(x * 4, df, &c);
  ZMXFunc134(x - 2, &n);
  const double q = std::fmod(x, 1.0);
  ZMXFunc104(q, df, 4, &fi);
  ZMXFunc107(q, df, &ti);
  ZMXFunc108(q, df, &ci);
  ZMXFunc106(q, &ni);
  const int32_t table[] = {3 + i % 4, 7, 2, 5 + i % 3, 1 + i % 6, 4};
  ZMXFunc31(2, 3, table, &chi, &p);
  // A 2 x 3 design with r = 2 (one- and two-way).
  int64_t la[12], lb[12];
  double y[12], o[7], tab[15], pa, pb, pab;
  for (int k = 0; k < 12; ++k) {
    la[k] = k / 4;
    lb[k] = k / 2 % 2;
    y[k] = std::sin(k * 0.7 + x);
  }
  ZMXFunc6(y, la, 12, 3, o, o + 1, o + 2, o + 3, o + 4, o + 5, o + 6);
  ZMXFunc7(y, la, lb, 12, 2, 3, -2, tab, &pa, &pb, &pab);
  return f + t + c + n + fi + ti + ci + ni + chi + p + o[2] + o[3] + tab[3] + pa + pb + pab;
}

TEST(DistributionThreads, ConcurrentCallsMatchTheSerialValues) {
  test_common::ExpectConcurrentMatchesSerial(200, 53, Mix);
}

}  // namespace
