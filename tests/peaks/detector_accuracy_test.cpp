// The detector's results against closed forms: sampled parabolas and
// Gaussians, the least-squares parabola of each reported window, and the
// candidate rules of the small widths.
#include <gtest/gtest.h>

#include "peaks_test_support.h"

namespace {

using namespace peaks_test;

// A sampled parabola is fitted exactly by every window: location, height and
// second derivative are exact to rounding, for every width and both
// polarities, and the threshold is compared with the vertex height.
TEST(PeakAccuracy, ParabolasAreExact) {
  for (int w : {3, 4, 5, 7, 31}) {
    for (double vertex : {40.0, 40.3, 40.5, 40.77}) {
      const double height = 5.0, a = 0.004;
      Vec x(81);
      for (int i = 0; i < 81; ++i) x[i] = height - a * (i - vertex) * (i - vertex);
      SCOPED_TRACE(testing::Message() << "w " << w << " vertex " << vertex);
      const Found peaks = DetectAll(x, 4.99, w, 0);
      ASSERT_EQ(peaks.size(), 1u);
      EXPECT_NEAR(peaks.location[0], vertex, 1e-10);
      EXPECT_NEAR(peaks.amplitude[0], height, 1e-12);
      EXPECT_NEAR(peaks.curvature[0], -2 * a, 1e-12);
      EXPECT_EQ(DetectAll(x, 5.01, w, 0).size(), 0u);  // above the peak

      const Found valleys = DetectAll(Negated(x), -4.99, w, 1);
      ASSERT_EQ(valleys.size(), 1u);
      EXPECT_NEAR(valleys.location[0], vertex, 1e-10);
      EXPECT_NEAR(valleys.amplitude[0], -height, 1e-12);
      EXPECT_NEAR(valleys.curvature[0], 2 * a, 1e-12);
      EXPECT_EQ(DetectAll(Negated(x), -5.01, w, 1).size(), 0u);
      EXPECT_EQ(DetectAll(x, -1e300, w, 1).size(), 0u);  // a peak is no valley
    }
  }
}

// Gaussians wide enough for the window: location within 0.05 sample and
// height within 1e-3 of the true ones; the reported values are those of the
// least-squares parabola of one window, whose curvature is near the
// Gaussian's -A/sigma^2.
TEST(PeakAccuracy, GaussiansOfKnownLocationAndHeight) {
  struct Case {
    int w;
    double sigma;
  } cases[] = {{3, 3}, {4, 5}, {5, 7}, {7, 10}, {31, 40}};
  for (const Case& c : cases) {
    const double spacing = 10 * c.sigma;
    std::vector<Bump> bumps;
    for (int k = 0; k < 4; ++k)
      bumps.push_back({spacing * (k + 1) + 0.23 * k + 0.1, 1.0 + 0.5 * k, c.sigma});
    const Vec x = Gaussians(static_cast<std::size_t>(spacing * 5), bumps);
    SCOPED_TRACE(testing::Message() << "w " << c.w << " sigma " << c.sigma);
    for (int polarity : {0, 1}) {
      const Found f = polarity ? DetectAll(Negated(x), -0.5, c.w, 1) : DetectAll(x, 0.5, c.w, 0);
      ASSERT_EQ(f.size(), bumps.size());
      const double sign = polarity ? -1.0 : 1.0;
      for (std::size_t k = 0; k < bumps.size(); ++k) {
        EXPECT_NEAR(f.location[k], bumps[k].centre, 0.05);
        EXPECT_NEAR(f.amplitude[k], sign * bumps[k].height, 1e-3 * bumps[k].height);
        const double curvature = -sign * bumps[k].height / (c.sigma * c.sigma);
        EXPECT_NEAR(f.curvature[k], curvature, 0.07 * std::fabs(curvature));
        ExpectLeastSquaresVertex(polarity ? Negated(x) : x, f, k, c.w);
      }
    }
  }
}

// A block of 10*w new samples after the carry: every window in it is the
// sliding window of w consecutive samples, deep inside the block too.
TEST(PeakAccuracy, LongBlockUsesTheSlidingWindows) {
  for (int w : {5, 9, 16}) {
    const int n = 11 * w;
    std::vector<Bump> bumps;
    for (double at : {2.3, 4.6, 6.2, 8.9}) bumps.push_back({w * at + 0.37, 2.0, 0.4 * w});
    const Vec x = Gaussians(n, bumps);
    Found f;
    ASSERT_EQ(Detect(x.data(), w, 0.5, w, 0, 1, 0, &f), 0);  // fills the carry only
    EXPECT_EQ(f.size(), 0u);
    ASSERT_EQ(Detect(x.data() + w, 10 * w, 0.5, w, 0, 0, 1, &f), 0);
    ASSERT_EQ(f.size(), bumps.size()) << "w " << w;
    for (std::size_t k = 0; k < f.size(); ++k) {
      EXPECT_NEAR(f.location[k], bumps[k].centre, 0.5);
      ExpectLeastSquaresVertex(x, f, k, w);
    }
    ExpectSame(f, DetectAll(x, 0.5, w, 0));
  }
}

// Widths 3 and 4 take every window curved the polarity's way as a
// candidate, without a change of slope sign: the corner of a step is a peak
// (the window [0, 1, 1] has its vertex at t = 0.5, the bound), the flat top
// is none (no curvature).
TEST(PeakAccuracy, SmallWidthsNeedNoSignChange) {
  const Vec step = {0, 0, 1, 1, 1, 1};
  const Found f = DetectAll(step, 0.5, 3, 0);
  ASSERT_EQ(f.size(), 1u);
  EXPECT_NEAR(f.location[0], 2.5, 1e-12);
  EXPECT_NEAR(f.amplitude[0], 1.125, 1e-12);
  EXPECT_NEAR(f.curvature[0], -1.0, 1e-12);
  EXPECT_EQ(DetectAll(step, 1.2, 3, 0).size(), 0u);  // threshold above the vertex
  // The same step seen as valleys: the lower corner, window [0, 0, 1] with
  // its vertex at t = -0.5. Both vertices lie on the bound, which admits
  // them despite the rounding of P.
  const Found v = DetectAll(step, 0.5, 3, 1);
  ASSERT_EQ(v.size(), 1u);
  EXPECT_NEAR(v.location[0], 0.5, 1e-12);
  EXPECT_NEAR(v.amplitude[0], -0.125, 1e-12);

  // Width 4 on an increasing concave run: its vertices lie beyond the bound
  // 0.75 from the centre, so nothing is reported, while the last fit that
  // bends over is.
  const Vec rise = {0, 1, 1.8, 2.4, 2.8, 3.0, 3.0, 2.8};
  const Found g = DetectAll(rise, 0.0, 4, 0);
  for (std::size_t k = 0; k < g.size(); ++k) ExpectLeastSquaresVertex(rise, g, k, 4);
  ASSERT_EQ(g.size(), 1u);
  EXPECT_NEAR(g.location[0], 5.5, 0.75);
}

// Adjacent windows of width 4 both accept the vertex of a Gaussian: the two
// results are less than one sample apart and only the larger is kept (the
// smaller for valleys).
TEST(PeakAccuracy, AdjacentCandidatesAreMerged) {
  const int w = 4;
  const Vec x = Gaussians(40, {{20.2, 1.0, 2.0}});
  // The two windows centred 1 sample apart around the peak (centres 19.5 and
  // 20.5) both have their vertex within 0.75 of their centre.
  const Vertex left = WindowVertex(x.data(), 18, w), right = WindowVertex(x.data(), 19, w);
  ASSERT_LT(std::fabs(left.location - 19.5), 0.75);
  ASSERT_LT(std::fabs(right.location - 20.5), 0.75);
  ASSERT_LT(std::fabs(right.location - left.location), 1.0);
  ASSERT_NE(left.amplitude, right.amplitude);
  const Vertex& larger = left.amplitude > right.amplitude ? left : right;
  const Found f = DetectAll(x, 0.5, w, 0);
  ASSERT_EQ(f.size(), 1u);
  EXPECT_NEAR(f.location[0], static_cast<double>(larger.location), 1e-9);
  EXPECT_NEAR(f.amplitude[0], static_cast<double>(larger.amplitude), 1e-12);
  const Found v = DetectAll(Negated(x), -0.5, w, 1);
  ASSERT_EQ(v.size(), 1u);
  EXPECT_NEAR(v.amplitude[0], -static_cast<double>(larger.amplitude), 1e-12);
}

// A vertex left of -0.5 yields to the previous window's vertex when that one
// is nearer its own centre. With w = 5 the slope of a Gaussian centred at
// 30.3 turns in the window centred at 31 (vertex at t = -0.7): the result is
// the vertex of the window centred at 30 (t = 0.3). Centred at 30.7 the same
// window's vertex (t = -0.3) stands. Any nonzero polarity detects valleys.
TEST(PeakAccuracy, PreviousWindowVertexReplacesAFarOne) {
  const int w = 5;
  for (double centre : {30.3, 30.7}) {
    const Vec x = Gaussians(60, {{centre, 1.0, 2.5}});
    const Vertex turn = WindowVertex(x.data(), 29, w), before = WindowVertex(x.data(), 28, w);
    ASSERT_GT(std::fabs(turn.amplitude - before.amplitude), 1e-6);
    const Vertex& expected = centre < 30.5 ? before : turn;
    for (int polarity : {0, 1, 7}) {
      const Found f = polarity ? DetectAll(Negated(x), -0.5, w, polarity) : DetectAll(x, 0.5, w, 0);
      ASSERT_EQ(f.size(), 1u) << polarity;
      const double sign = polarity ? -1.0 : 1.0;
      EXPECT_NEAR(f.location[0], static_cast<double>(expected.location), 1e-9);
      EXPECT_NEAR(f.amplitude[0], sign * static_cast<double>(expected.amplitude), 1e-12);
      EXPECT_NEAR(f.curvature[0], sign * static_cast<double>(expected.curvature), 1e-10);
    }
  }
}

}  // namespace
