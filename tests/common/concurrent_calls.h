// Thread-safety check shared by the test programs: values computed on four
// threads at once equal the serial ones.
#pragma once

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace test_common {

// mix(i) for i < n serially, then on four threads at once, thread t
// starting at index stride * t; every value must equal its serial one.
template <class F>
void ExpectConcurrentMatchesSerial(int n, int stride, F mix) {
  std::vector<double> serial(n);
  for (int i = 0; i < n; ++i) serial[i] = mix(i);
  std::vector<std::vector<double>> parallel(4, std::vector<double>(n));
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&parallel, &mix, n, stride, t] {
      for (int i = 0; i < n; ++i) parallel[t][i] = mix((i + stride * t) % n);
    });
  }
  for (auto& th : threads) th.join();
  for (int t = 0; t < 4; ++t) {
    for (int i = 0; i < n; ++i)
      EXPECT_EQ(parallel[t][i], serial[(i + stride * t) % n]) << t << " " << i;
  }
}

}  // namespace test_common
