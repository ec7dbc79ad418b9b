// The special functions keep no state: evaluated from several threads at
// once they give the values of a serial run, bit for bit.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "common/concurrent_calls.h"
#include "qmanlys.h"

namespace {

double Mix(int i) {
  const double x = 0.37 + 0.011 * i;
  double ai, aip, bi, bip, s, c, sn, cn, dn;
  ZMXFunc330(-x * 3, &ai, &aip, &bi, &bip);
  ZMXFunc331(x * 2, &s, &c);
  ZMXFunc332(x, 0.7, &sn, &cn, &dn, nullptr);
  const double xs = x * 5, xb = x / 5;
  return ZMXFunc302(2.5, x * 40) + ZMXFunc301(0.5, x) + ZMXFunc305(1.5, x) + ZMXFunc309(x, &xs) +
         ZMXFunc307(2.0, 3.0, &xb) + ZMXFunc316(1.5, 2.5, x) + ZMXFunc329(x + 1.5) +
         ZMXFunc328(0.5, x * 9) + ai + bip + s + c + sn + dn;
}

TEST(SpecialThreads, ConcurrentCallsMatchTheSerialValues) {
  test_common::ExpectConcurrentMatchesSerial(400, 97, Mix);
}

}  // namespace
