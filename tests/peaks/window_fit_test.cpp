// The window fits: every instruction-set path gives the bits of the plain
// in-order sum, for every grouping of the windows.
#include "peaks/window_fit.h"

#include <gtest/gtest.h>

#include <vector>

#include "peaks_test_support.h"

namespace {

using peaks_test::Noise;
using peaks_test::Vec;

TEST(WindowFit, EveryPathGivesThePlainSums) {
  const Vec x = Noise(400, 3);
  for (int w : {3, 4, 5, 7, 8, 9, 31, 64}) {
    const Vec p = Noise(3 * static_cast<std::size_t>(w), static_cast<std::uint64_t>(w));
    for (int count : {1, 3, 4, 7, 8, 9, 17, 256}) {
      if (count + w > static_cast<int>(x.size())) continue;
      for (int offset : {0, 1, 5}) {
        Vec c[2][3];
        for (auto& path : c)
          for (Vec& v : path) v.assign(count, -1.0);
        const qm::peaks::FitPath paths[2] = {qm::peaks::FitPath::kBest,
                                             qm::peaks::FitPath::kPortable};
        for (int k = 0; k < 2; ++k)
          qm::peaks::FitWindows(x.data() + offset, count, p.data(), w, c[k][0].data(),
                                c[k][1].data(), c[k][2].data(), paths[k]);
        for (int q = 0; q < 3; ++q)
          for (int k = 0; k < count; ++k) {
            double plain = 0.0;
            for (int j = 0; j < w; ++j) plain += p[q * w + j] * x[offset + k + j];
            ASSERT_EQ(c[0][q][k], plain) << "best path, w " << w << " count " << count;
            ASSERT_EQ(c[1][q][k], plain) << "portable path, w " << w << " count " << count;
          }
      }
    }
  }
}

}  // namespace
