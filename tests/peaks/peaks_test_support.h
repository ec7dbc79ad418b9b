// Calling the peak detector as a caller does, and the independent
// least-squares parabola of a window.
#pragma once

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "qmanlys.h"

namespace peaks_test {

using Vec = std::vector<double>;

struct Found {
  Vec location, amplitude, curvature;  // curvature: the second derivative
  std::size_t size() const { return location.size(); }
};

// One call of ZMXFunc194; the results are copied into *found (appended) and
// the library's arrays released with ZMXFunc234. Checks that the arrays are
// null exactly when the count is 0.
inline int32_t Detect(const double* x, int64_t n, double threshold, int64_t width, int32_t polarity,
                      int32_t initialize, int32_t end_of_data, Found* found = nullptr) {
  int64_t count = -7;
  double* sentinel = reinterpret_cast<double*>(0x10);
  double *loc = sentinel, *amp = sentinel, *d2 = sentinel;
  const int32_t status = ZMXFunc194(x, n, threshold, width, polarity, initialize, end_of_data,
                                    &count, &loc, &amp, &d2);
  EXPECT_GE(count, 0);
  EXPECT_EQ(count == 0, loc == nullptr);
  EXPECT_EQ(count == 0, amp == nullptr);
  EXPECT_EQ(count == 0, d2 == nullptr);
  if (status != 0) {
    EXPECT_EQ(count, 0);
  }
  if (found && count > 0) {
    found->location.insert(found->location.end(), loc, loc + count);
    found->amplitude.insert(found->amplitude.end(), amp, amp + count);
    found->curvature.insert(found->curvature.end(), d2, d2 + count);
  }
  ZMXFunc234(loc);
  ZMXFunc234(amp);
  ZMXFunc234(d2);
  return status;
}

inline Found DetectAll(const Vec& x, double threshold, int64_t width, int32_t polarity = 0) {
  Found f;
  EXPECT_EQ(Detect(x.data(), static_cast<int64_t>(x.size()), threshold, width, polarity, 1, 1, &f),
            0);
  return f;
}

// The signal fed in blocks of the given sizes (the last one ends the data).
inline Found DetectInBlocks(const Vec& x, const std::vector<int64_t>& sizes, double threshold,
                            int64_t width, int32_t polarity = 0) {
  Found f;
  int64_t at = 0;
  for (std::size_t b = 0; b < sizes.size(); ++b) {
    const bool last = b + 1 == sizes.size();
    EXPECT_EQ(Detect(x.data() + at, sizes[b], threshold, width, polarity, b == 0, last, &f), 0)
        << "block " << b;
    at += sizes[b];
  }
  EXPECT_EQ(at, static_cast<int64_t>(x.size()));
  return f;
}

// Bitwise equality of two result lists.
inline void ExpectSame(const Found& a, const Found& b) {
  EXPECT_EQ(a.location, b.location);
  EXPECT_EQ(a.amplitude, b.amplitude);
  EXPECT_EQ(a.curvature, b.curvature);
}

// The least-squares parabola c0 + c1*t + c2*t^2 of x[start .. start+w-1],
// t from the window centre, by its closed form (normal equations of the
// symmetric grid) in long double, and its vertex.
struct Vertex {
  long double location, amplitude, curvature;
};
inline Vertex WindowVertex(const double* x, int64_t start, int w) {
  const long double half = (w - 1) / 2.0L;
  long double s2 = 0, s4 = 0, y0 = 0, y1 = 0, y2 = 0;
  for (int j = 0; j < w; ++j) {
    const long double t = j - half, y = x[start + j];
    s2 += t * t;
    s4 += t * t * t * t;
    y0 += y;
    y1 += t * y;
    y2 += t * t * y;
  }
  const long double c1 = y1 / s2;
  const long double c2 = (w * y2 - s2 * y0) / (w * s4 - s2 * s2);
  const long double c0 = (y0 - s2 * c2) / w;
  const long double t = -c1 / (2 * c2);
  return {start + half + t, c0 + c1 * t + c2 * t * t, 2 * c2};
}

// Checks that result k of `f` is the vertex of the least-squares parabola of
// one of the windows near its location.
inline void ExpectLeastSquaresVertex(const Vec& x, const Found& f, std::size_t k, int w) {
  const double half = (w - 1) / 2.0;
  const int64_t centre = static_cast<int64_t>(std::floor(f.location[k] - half));
  bool matched = false;
  for (int64_t g = centre - 2; g <= centre + 2 && !matched; ++g) {
    if (g < 0 || g + w > static_cast<int64_t>(x.size())) continue;
    const Vertex v = WindowVertex(x.data(), g, w);
    if (std::fabs(static_cast<double>(v.location) - f.location[k]) > 1e-9) continue;
    matched = true;
    EXPECT_NEAR(f.amplitude[k], static_cast<double>(v.amplitude),
                1e-10 * std::fabs(static_cast<double>(v.amplitude)) + 1e-13);
    EXPECT_NEAR(f.curvature[k], static_cast<double>(v.curvature),
                1e-8 * std::fabs(static_cast<double>(v.curvature)) + 1e-13);
  }
  EXPECT_TRUE(matched) << "result " << k << " at " << f.location[k]
                       << " is no window's least-squares vertex";
}

// Deterministic pseudo-random values in [-1, 1).
inline Vec Noise(std::size_t n, std::uint64_t seed) {
  Vec v(n);
  std::uint64_t s = seed * 6364136223846793005ull + 1442695040888963407ull;
  for (double& x : v) {
    s = s * 6364136223846793005ull + 1442695040888963407ull;
    x = static_cast<double>(s >> 11) / 4503599627370496.0 - 1.0;
  }
  return v;
}

// Two tones and noise: peaks and valleys of every kind, some close together.
inline Vec TonesAndNoise(std::size_t n, double noise, std::uint64_t seed) {
  Vec x = Noise(n, seed);
  for (std::size_t i = 0; i < n; ++i)
    x[i] = std::sin(2 * M_PI * i / 23.0) + 0.6 * std::sin(2 * M_PI * i / 7.3 + 1.0) + noise * x[i];
  return x;
}

struct Bump {
  double centre, height, sigma;
};
inline Vec Gaussians(std::size_t n, const std::vector<Bump>& bumps) {
  Vec x(n, 0.0);
  for (std::size_t i = 0; i < n; ++i)
    for (const Bump& b : bumps) {
      const double u = (static_cast<double>(i) - b.centre) / b.sigma;
      x[i] += b.height * std::exp(-0.5 * u * u);
    }
  return x;
}

inline Vec Negated(Vec x) {
  for (double& v : x) v = -v;
  return x;
}

}  // namespace peaks_test
