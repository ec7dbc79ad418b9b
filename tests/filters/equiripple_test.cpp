// Equiripple FIR design: SciPy's remez (which carries the 1973 program) for
// multiband, differentiator and Hilbert designs of odd and even length, the
// ripple against the weighted error on the design grid, the fixed shapes,
// and the checks in their order with the outputs left alone.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <limits>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "qmanlys.h"

namespace {

using Vec = std::vector<double>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kSentinel = -777.25;

struct Design {
  int32_t type = 1, taps = 0, nbands = 0;
  double fs = 1;
  Vec edges, gains, weights, h;
};

std::vector<Design> LoadDesigns() {
  std::vector<Design> designs;
  std::ifstream in(std::string(QM_TEST_DATA_DIR) + "/fir_remez.txt");
  std::string text;
  while (std::getline(in, text)) {
    std::istringstream line(text);
    std::string tag;
    line >> tag;
    if (tag == "remez") {
      Design d;
      line >> d.type >> d.taps >> d.fs >> d.nbands;
      designs.push_back(d);
      continue;
    }
    Vec v;
    for (double x; line >> x;) v.push_back(x);
    Design& d = designs.back();
    if (tag == "edges") d.edges = v;
    if (tag == "gains") d.gains = v;
    if (tag == "weights") d.weights = v;
    if (tag == "h") d.h = v;
  }
  return designs;
}

// |H(f)| at f (cycles per sample).
double Magnitude(const Vec& h, double f) {
  double re = 0, im = 0;
  for (size_t n = 0; n < h.size(); ++n) {
    re += h[n] * std::cos(2 * std::numbers::pi * f * n);
    im -= h[n] * std::sin(2 * std::numbers::pi * f * n);
  }
  return std::hypot(re, im);
}

// The largest weighted error over the design grid: 16 points per extremal
// frequency, each band's upper edge included, the differentiator's desired
// response and weight scaled by the frequency.
double LargestWeightedError(const Design& d, const Vec& h) {
  const bool negative = d.type != 1, odd = d.taps % 2 == 1;
  const int32_t nf = d.taps / 2 + (odd && !negative ? 1 : 0);
  const double spacing = 0.5 / (16.0 * nf);
  double largest = 0;
  for (int32_t b = 0; b < d.nbands; ++b) {
    double lo = d.edges[2 * b] / d.fs;
    const double hi = d.edges[2 * b + 1] / d.fs;
    if (b == 0 && negative && lo < spacing) lo = spacing;
    for (double f = lo;; f += spacing) {
      if (f > hi) f = hi;
      // Where the symmetry factor vanishes at 0.5 the grid has no point.
      if (!(negative == odd && f > 0.5 - spacing)) {
        const bool slope = d.type == 2;
        const double desired = slope ? d.gains[b] * f : d.gains[b];
        const double weight = slope && d.gains[b] >= 0.0001 ? d.weights[b] / f : d.weights[b];
        largest = std::fmax(largest, weight * std::fabs(Magnitude(h, f) - desired));
      }
      if (f == hi) break;
    }
  }
  return largest;
}

TEST(Equiripple, MatchesScipyRemezAndItsRippleIsTheGridError) {
  const std::vector<Design> designs = LoadDesigns();
  ASSERT_EQ(designs.size(), 12u);
  for (const Design& d : designs) {
    SCOPED_TRACE("type " + std::to_string(d.type) + " taps " + std::to_string(d.taps) + " bands " +
                 std::to_string(d.nbands));
    Vec h(d.taps, kSentinel);
    double ripple = kSentinel;
    ASSERT_EQ(ZMXFunc65(d.nbands, d.gains.data(), d.weights.data(), d.fs, d.edges.data(), d.type,
                        d.taps, h.data(), &ripple),
              0);
    for (int32_t i = 0; i < d.taps; ++i) EXPECT_NEAR(h[i], d.h[i], 1e-9) << i;
    const double sign = d.type == 1 ? 1 : -1;
    for (int32_t i = 0; i < d.taps; ++i) EXPECT_EQ(h[d.taps - 1 - i], sign * h[i]) << i;
    if (d.type != 1 && d.taps % 2 == 1) {
      EXPECT_EQ(h[d.taps / 2], 0.0);
    }
    EXPECT_GT(ripple, 0);
    EXPECT_NEAR(ripple, LargestWeightedError(d, h), 1e-6);
  }
}

TEST(Equiripple, ReproducesThePrintedBandpassOf1973) {
  // Example 1 of McClellan, Parks and Rabiner, "A computer program for
  // designing optimum FIR linear phase digital filters" (1973): its printed
  // impulse response, from a single-precision run, so to about 1e-7.
  const double printed[16] = {-0.57534026e-02, 0.99026691e-03,  0.75733471e-02,  -0.65141204e-02,
                              0.13960509e-01,  0.22951644e-02,  -0.19994041e-01, 0.71369656e-02,
                              -0.39657373e-01, 0.11260066e-01,  0.66233635e-01,  -0.10497202e-01,
                              0.85136160e-01,  -0.12024988e+00, -0.29678580e+00, 0.30410913e+00};
  const double edges[] = {0, 0.1, 0.2, 0.35, 0.425, 0.5}, gains[] = {0, 1, 0},
               weights[] = {10, 1, 10};
  Vec h(32);
  double ripple = 0;
  ASSERT_EQ(ZMXFunc65(3, gains, weights, 1.0, edges, 1, 32, h.data(), &ripple), 0);
  for (int i = 0; i < 16; ++i) {
    EXPECT_NEAR(h[i], printed[i], 1e-7) << i;
    EXPECT_EQ(h[31 - i], h[i]) << i;
  }
}

TEST(Equiripple, FixedShapesAreTheirMultibandDesigns) {
  struct Shape {
    const char* what;
    int32_t taps;
    Vec edges, gains;
    std::function<int32_t(double*, double*)> call;
  };
  const double fs = 1000;
  const std::vector<Shape> shapes = {
      {"lowpass",
       31,
       {0, 100, 150, 500},
       {1, 0},
       [&](double* h, double* r) { return ZMXFunc69(fs, 100, 150, 31, h, r); }},
      {"highpass",
       31,
       {0, 100, 150, 500},
       {0, 1},
       [&](double* h, double* r) { return ZMXFunc68(fs, 100, 150, 31, h, r); }},
      {"bandpass",
       40,
       {0, 100, 150, 250, 300, 500},
       {0, 1, 0},
       [&](double* h, double* r) { return ZMXFunc66(fs, 100, 150, 250, 300, 40, h, r); }},
      {"bandstop",
       41,
       {0, 100, 150, 250, 300, 500},
       {1, 0, 1},
       [&](double* h, double* r) { return ZMXFunc67(fs, 100, 150, 250, 300, 41, h, r); }},
  };
  for (const Shape& s : shapes) {
    SCOPED_TRACE(s.what);
    const int32_t nbands = static_cast<int32_t>(s.gains.size());
    const Vec weights(nbands, 1.0);
    Vec h(s.taps), g(s.taps);
    double ripple = 0, general = 0;
    ASSERT_EQ(s.call(h.data(), &ripple), 0);
    ASSERT_EQ(ZMXFunc65(nbands, s.gains.data(), weights.data(), fs, s.edges.data(), 1, s.taps,
                        g.data(), &general),
              0);
    EXPECT_EQ(h, g);
    EXPECT_EQ(ripple, general);
    Design d{1, s.taps, nbands, fs, s.edges, s.gains, weights, {}};
    EXPECT_NEAR(ripple, LargestWeightedError(d, h), 1e-6);
  }
}

TEST(Equiripple, ChecksComeInTheirOrderAndLeaveOutputsUntouched) {
  struct Case {
    const char* what;
    int32_t nbands;
    Vec edges, gains, weights;
    double fs;
    int32_t type, taps, expected;
  };
  const Vec e2 = {0, 100, 150, 500}, g2 = {1, 0}, w2 = {1, 1};
  const std::vector<Case> cases = {
      {"taps 2 first", 0, e2, g2, w2, kNaN, 1, 2, -20031},
      {"no bands", 0, e2, g2, w2, kNaN, 1, 31, -20003},
      {"fs NaN", 2, e2, g2, w2, kNaN, 1, 31, -20031},
      {"fs infinite", 2, e2, g2, w2, kInf, 1, 31, -20031},
      {"fs 0", 2, e2, g2, w2, 0, 1, 31, -20023},
      {"edge NaN", 2, {0, kNaN, 150, 500}, g2, w2, 1000, 1, 31, -20031},
      {"edge negative", 2, {0, -100, 150, 500}, g2, w2, 1000, 1, 31, -20023},
      {"weight NaN", 2, e2, g2, {1, kNaN}, 1000, 1, 31, -20031},
      {"weight 0 before a NaN gain", 2, e2, {1, kNaN}, {0, 1}, 1000, 1, 31, -20023},
      {"gain infinite", 2, e2, {1, kInf}, w2, 1000, 1, 31, -20031},
      {"gain negative", 2, e2, {1, -1}, w2, 1000, 1, 31, -20023},
      {"last edge above fs/2", 2, {0, 100, 150, 500.5}, g2, w2, 1000, 1, 31, -20020},
      {"edges not increasing", 2, {0, 150, 150, 500}, g2, w2, 1000, 1, 31, -20023},
      {"unknown type", 2, e2, g2, w2, 1000, 4, 31, -20061},
      {"first edge not 0", 2, {1, 100, 150, 500}, g2, w2, 1000, 1, 31, -20031},
      {"last edge 0.002 Hz short", 2, {0, 100, 150, 499.998}, g2, w2, 1000, 1, 31, -20031},
      {"even taps, last gain 1", 2, e2, {0, 1}, w2, 1000, 1, 30, -20033},
      {"differentiator, first edge not 0", 1, {1, 400}, {1}, {1}, 1000, 2, 31, -20031},
      {"odd differentiator up to fs/2", 1, {0, 499.995}, {1}, {1}, 1000, 2, 31, -20031},
      {"even differentiator short of fs/2", 1, {0, 499}, {1}, {1}, 1000, 2, 30, -20031},
      {"Hilbert from 0", 1, {0, 400}, {1}, {1}, 1000, 3, 31, -20031},
      {"odd Hilbert up to fs/2", 1, {10, 499.9995}, {1}, {1}, 1000, 3, 31, -20031},
      {"even Hilbert short of fs/2", 1, {10, 499}, {1}, {1}, 1000, 3, 30, -20031},
      {"taps limit", 2, e2, g2, w2, 1000, 1, 4093, -20001},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Vec h(4100, kSentinel);
    double ripple = kSentinel;
    EXPECT_EQ(ZMXFunc65(c.nbands, c.gains.data(), c.weights.data(), c.fs, c.edges.data(), c.type,
                        c.taps, h.data(), &ripple),
              c.expected);
    EXPECT_EQ(ripple, kSentinel);
    EXPECT_EQ(h, Vec(4100, kSentinel));
  }
  Vec h(31);
  double ripple = 0;
  // The last edge exactly at fs/2 passes; so does one within 0.001 Hz.
  EXPECT_EQ(ZMXFunc65(2, g2.data(), w2.data(), 1000, e2.data(), 1, 31, h.data(), &ripple), 0);
  const Vec near = {0, 100, 150, 499.9995};
  EXPECT_EQ(ZMXFunc65(2, g2.data(), w2.data(), 1000, near.data(), 1, 31, h.data(), &ripple), 0);
  // Highpass and bandstop want odd taps before anything else.
  EXPECT_EQ(ZMXFunc68(kNaN, 100, 150, 30, h.data(), &ripple), -20033);
  EXPECT_EQ(ZMXFunc67(kNaN, 1, 2, 3, 4, 2, h.data(), &ripple), -20033);
  EXPECT_EQ(ZMXFunc68(1000, 100, 150, 1, h.data(), &ripple), -20031);
  EXPECT_EQ(ZMXFunc69(1000, 100, 150, 31, nullptr, &ripple), -20008);
  EXPECT_EQ(ZMXFunc69(1000, 100, 150, 31, h.data(), nullptr), -20008);
  EXPECT_EQ(ZMXFunc65(2, nullptr, w2.data(), 1000, e2.data(), 1, 31, h.data(), &ripple), -20008);
}

TEST(Equiripple, DesignsThatCannotSettleFailQuickly) {
  struct Case {
    const char* what;
    Vec edges;
    int32_t taps, expected;
  };
  const std::vector<Case> cases = {
      // Two bands whose grid points round to the same cos(2 pi f): the
      // exchange meets coincident abscissae and cannot settle.
      {"bands 1e-9 Hz apart near 0", {0, 1e-9, 2e-9, 500}, 101, -20031},
      // Two grid points for 52 trial frequencies.
      {"grid smaller than the set", {0, 1e-6, 499.999999, 500}, 101, -20031},
      // A jump: the best that any length can do is an error of 1/2.
      {"transition of 1e-9 Hz", {0, 100, 100.000000001, 500}, 301, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Vec gains = {1, 0}, weights = {1, 1};
    Vec h(c.taps, kSentinel);
    double ripple = kSentinel;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(ZMXFunc65(2, gains.data(), weights.data(), 1000, c.edges.data(), 1, c.taps, h.data(),
                        &ripple),
              c.expected);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 1.0);
    if (c.expected != 0) {
      EXPECT_EQ(ripple, kSentinel);
      EXPECT_EQ(h, Vec(c.taps, kSentinel));
    } else {
      EXPECT_NEAR(ripple, 0.5, 1e-6);
    }
  }
}

}  // namespace
