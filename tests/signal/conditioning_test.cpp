// Derivatives, integrals, decimation, phase unwrapping and the amplitude and
// phase spectrum, through the exports: worked values, exactness on
// polynomials, in-place calls equal to separate outputs bit for bit, phase
// references from data/convolution_golden.txt (made by
// data/convolution_golden_gen.py with NumPy), and the statuses in their order
// with the outputs left alone.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "frame/workspace.h"
#include "qmanlys.h"
#include "common/golden_rows.h"

namespace {

using Vec = std::vector<double>;
constexpr double kSentinel = -777.25;
constexpr double kPi = std::numbers::pi;
constexpr int64_t kTooBig = int64_t{1} << 31;

// The samples t^k for t = t0 + i*dt, i = -2 .. n+1 (the conditions included).
struct Sampled {
  Vec before, x, after;
};
Sampled Polynomial(const std::function<double(double)>& f, int n, double t0, double dt) {
  Sampled s;
  s.before = {f(t0 - 2 * dt), f(t0 - dt)};
  for (int i = 0; i < n; ++i) s.x.push_back(f(t0 + i * dt));
  s.after = {f(t0 + n * dt), f(t0 + (n + 1) * dt)};
  return s;
}

int32_t DerivativeBy(int method, Sampled& s, double dt, double* out) {
  const int64_t n = static_cast<int64_t>(s.x.size());
  // Method 1 reads both conditions each side; the others the nearer one.
  Vec init = method == 1 ? s.before : Vec{s.before[1]};
  Vec fin = method == 1 ? s.after : Vec{s.after[0]};
  return ZMXFunc367(s.x.data(), n, dt, init.data(), static_cast<int64_t>(init.size()), fin.data(),
                    static_cast<int64_t>(fin.size()), method, out);
}

TEST(Derivative, WorkedValueAndPolynomialsOfTheFormulasDegree) {
  {
    Vec x(9), out(9, kSentinel);
    for (int i = 0; i < 9; ++i) x[i] = i;
    ASSERT_EQ(ZMXFunc56(x.data(), 9, 1.0, -1.0, 9.0, out.data()), 0);
    for (double v : out) EXPECT_EQ(v, 1.0);
  }
  // Method 0 is exact on quadratics, 1 on quartics, 2 and 3 on lines; every
  // sample uses the conditions it needs at both ends.
  struct Case {
    int method;
    std::function<double(double)> f, df;
  };
  const Case cases[] = {
      {0, [](double t) { return 3 * t * t - 2 * t + 1; }, [](double t) { return 6 * t - 2; }},
      {1, [](double t) { return t * t * t * t - 2 * t * t * t + t; },
       [](double t) { return 4 * t * t * t - 6 * t * t + 1; }},
      {2, [](double t) { return 5 - 3 * t; }, [](double) { return -3.0; }},
      {3, [](double t) { return 0.5 * t + 7; }, [](double) { return 0.5; }},
  };
  for (const Case& c : cases) {
    for (int n : {1, 2, 3, 5, 600}) {
      SCOPED_TRACE(testing::Message() << "method " << c.method << " n " << n);
      const double dt = 0.25, t0 = -1.5;
      Sampled s = Polynomial(c.f, n, t0, dt);
      Vec out(n, kSentinel);
      ASSERT_EQ(DerivativeBy(c.method, s, dt, out.data()), 0);
      for (int i = 0; i < n; ++i) {
        const double t = t0 + i * dt, want = c.df(t);
        EXPECT_NEAR(out[i], want, 1e-11 * (1 + std::fabs(t * t * t * t))) << i;
      }
    }
  }
}

TEST(Derivative, InPlaceEqualsSeparateOutputBitForBit) {
  // Lengths around the block edges of the in-place path.
  for (int method = 0; method < 4; ++method) {
    for (int n : {1, 2, 4, 5, 511, 512, 513, 1030}) {
      SCOPED_TRACE(testing::Message() << "method " << method << " n " << n);
      Sampled s = Polynomial([](double t) { return std::sin(3 * t) + t; }, n, 0.1, 0.01);
      Vec out(n, kSentinel);
      ASSERT_EQ(DerivativeBy(method, s, 0.01, out.data()), 0);
      Sampled in = s;
      ASSERT_EQ(DerivativeBy(method, in, 0.01, in.x.data()), 0);
      EXPECT_EQ(in.x, out);
      Sampled null_out = s;
      ASSERT_EQ(DerivativeBy(method, null_out, 0.01, nullptr), 0);
      EXPECT_EQ(null_out.x, out);
      if (method == 0) {
        Vec a = s.x, b(n);
        ASSERT_EQ(ZMXFunc56(s.x.data(), n, 0.01, s.before[1], s.after[0], b.data()), 0);
        ASSERT_EQ(ZMXFunc56(a.data(), n, 0.01, s.before[1], s.after[0], nullptr), 0);
        EXPECT_EQ(a, out);
        EXPECT_EQ(b, out);
      }
    }
  }
}

TEST(Derivative, ConditionsAndStatusesInOrder) {
  const Vec x = {1, 2, 4};
  const double one[] = {0}, two[] = {0, 0};
  // A condition array the method does not read may be null, whatever its count.
  Vec out(3, kSentinel);
  EXPECT_EQ(ZMXFunc367(x.data(), 3, 1.0, nullptr, 0, one, 1, 2, out.data()), 0);
  EXPECT_EQ(out, (Vec{1, 2, -4}));
  EXPECT_EQ(ZMXFunc367(x.data(), 3, 1.0, one, 1, nullptr, 5, 3, out.data()), 0);
  EXPECT_EQ(out, (Vec{1, 1, 2}));
  struct Case {
    int64_t n;
    double dt;
    const double* init;
    int64_t ni;
    const double* fin;
    int64_t nf;
    int method;
    int32_t status;
  };
  const Case cases[] = {
      {3, 1, two, 1, two, 2, 1, -20006},        // fourth order, one initial value
      {3, 1, two, 2, two, 1, 1, -20006},        // fourth order, one final value
      {3, 1, one, 0, one, 1, 0, -20003},        // central, no initial value
      {3, 1, one, 1, one, 0, 0, -20003},        // central, no final value
      {3, 1, one, 1, one, 0, 2, -20003},        // forward, no final value
      {3, 1, one, 0, one, 1, 3, -20003},        // backward, no initial value
      {3, 1, one, 1, one, 1, 4, -20061},        // unknown method
      {3, 1, one, 1, one, 1, -1, -20061},       //
      {0, -1, one, 1, one, 1, 4, -20061},       // the method comes before n and dt
      {3, 1, nullptr, 1, one, 1, 0, -20008},    // a condition the method reads
      {3, 1, two, 2, nullptr, 2, 1, -20008},    //
      {0, 1, one, 1, one, 1, 0, -20003},        // then the core: n, dt
      {3, 0, one, 1, one, 1, 0, -20016},        //
      {3, -1, one, 1, one, 1, 3, -20016},       //
      {kTooBig, 1, one, 1, one, 1, 0, -20046},  // every count narrowed first
      {3, 1, one, kTooBig, one, 1, 4, -20046},  //
      {3, 1, one, 1, one, -kTooBig - 1, 4, -20046},
  };
  for (const Case& c : cases) {
    Vec o(3, kSentinel);
    EXPECT_EQ(ZMXFunc367(x.data(), c.n, c.dt, c.init, c.ni, c.fin, c.nf, c.method, o.data()),
              c.status)
        << c.n << " " << c.ni << " " << c.nf << " " << c.method;
    EXPECT_EQ(o, Vec(3, kSentinel));
  }
  Vec o(3, kSentinel);
  EXPECT_EQ(ZMXFunc56(x.data(), 0, 1, 0, 0, o.data()), -20003);
  EXPECT_EQ(ZMXFunc56(x.data(), 3, 0, 0, 0, o.data()), -20016);
  EXPECT_EQ(ZMXFunc56(nullptr, 3, 1, 0, 0, o.data()), -20008);
  EXPECT_EQ(ZMXFunc56(x.data(), kTooBig, 1, 0, 0, o.data()), -20046);
  EXPECT_EQ(ZMXFunc367(nullptr, 3, 1.0, one, 1, one, 1, 0, o.data()), -20008);
  EXPECT_EQ(o, Vec(3, kSentinel));
}

TEST(Integral, RunningSimpsonSums) {
  // A constant with matching conditions: c dt (i + 1).
  {
    Vec x(7, 2.5), out(7, kSentinel);
    ASSERT_EQ(ZMXFunc95(x.data(), 7, 0.5, 2.5, 2.5, out.data()), 0);
    for (int i = 0; i < 7; ++i) EXPECT_DOUBLE_EQ(out[i], 2.5 * 0.5 * (i + 1)) << i;
  }
  // n = 1: (initial + 4 x[0] + final) dt / 6.
  {
    double x = 3, out = kSentinel;
    ASSERT_EQ(ZMXFunc95(&x, 1, 3.0, 1.0, 7.0, &out), 0);
    EXPECT_EQ(out, 20.0 * 3.0 / 6.0);
  }
  // Each step adds half of Simpson's rule over [t_i - h, t_i + h], exact for
  // cubics: y[i] = (F(t_i + h) + F(t_i) - F(t_-1) - F(t_0)) / 2 with F' = f.
  {
    const auto f = [](double t) { return t * t * t - t + 2; };
    const auto F = [](double t) { return t * t * t * t / 4 - t * t / 2 + 2 * t; };
    const int n = 200;
    const double h = 0.05, t0 = -3;
    Sampled s = Polynomial(f, n, t0, h);
    Vec out(n);
    ASSERT_EQ(ZMXFunc95(s.x.data(), n, h, s.before[1], s.after[0], out.data()), 0);
    for (int i = 0; i < n; ++i) {
      const double ti = t0 + i * h;
      const double want = (F(ti + h) + F(ti) - F(t0 - h) - F(t0)) / 2;
      EXPECT_NEAR(out[i], want, 1e-11) << i;
    }
    Vec in = s.x;
    ASSERT_EQ(ZMXFunc95(in.data(), n, h, s.before[1], s.after[0], nullptr), 0);
    EXPECT_EQ(in, out);  // in place, bit for bit
  }
  Vec x = {1, 2}, o(2, kSentinel);
  EXPECT_EQ(ZMXFunc95(x.data(), 0, 1, 0, 0, o.data()), -20003);
  EXPECT_EQ(ZMXFunc95(x.data(), 2, 0, 0, 0, o.data()), -20016);
  EXPECT_EQ(ZMXFunc95(x.data(), kTooBig, 1, 0, 0, o.data()), -20046);
  EXPECT_EQ(ZMXFunc95(nullptr, 2, 1, 0, 0, o.data()), -20008);
  EXPECT_EQ(o, Vec(2, kSentinel));
}

double Integrate(const Vec& x, double dt, int rule) {
  double r = kSentinel;
  EXPECT_EQ(ZMXFunc230(x.data(), static_cast<int64_t>(x.size()), dt, rule, &r), 0);
  return r;
}

TEST(IntegrateArray, RulesExactForTheirDegreeWithEveryLeftover) {
  const Vec squares = {0, 1, 4, 9, 16};
  EXPECT_EQ(Integrate(squares, 1.0, 1), 64.0 / 3.0);
  EXPECT_EQ(Integrate(squares, 1.0, 3), 64.0 / 3.0);
  EXPECT_EQ(Integrate(squares, 1.0, 0), 22.0);
  // Each rule and each leftover is exact on polynomials of its degree:
  // trapezoid 1, Simpson and 3/8 3, Bode 5 (a one-interval leftover 1).
  struct Case {
    int rule, degree;
    std::vector<int> lengths;
  };
  const Case cases[] = {
      {0, 1, {2, 3, 10}},
      {1, 3, {3, 5, 21}},            // whole panels
      {1, 1, {4, 22}},               // one interval left
      {2, 3, {4, 6, 7, 9, 10, 31}},  // whole panels, or two intervals left
      {2, 1, {5, 8, 32}},            // one interval left
      {3, 5, {5, 9, 41}},            // whole panels
      {3, 3, {7, 8, 43, 44}},
      {3, 1, {6, 42}},
  };
  const double coef[] = {0.7, -1.3, 0.4, 2.0, -0.6, 0.25};
  for (const Case& c : cases) {
    for (int n : c.lengths) {
      SCOPED_TRACE(testing::Message() << "rule " << c.rule << " n " << n);
      const double h = 0.125, t0 = -0.5;
      Vec x(n);
      for (int i = 0; i < n; ++i) {
        double t = t0 + i * h, p = 1, v = 0;
        for (int k = 0; k <= c.degree; ++k, p *= t) v += coef[k] * p;
        x[i] = v;
      }
      double want = 0, a = t0, b = t0 + (n - 1) * h, pa = a, pb = b;
      for (int k = 0; k <= c.degree; ++k, pa *= a, pb *= b) want += coef[k] * (pb - pa) / (k + 1);
      EXPECT_NEAR(Integrate(x, h, c.rule), want, 1e-13 * n);
      EXPECT_EQ(Integrate(x, -h, c.rule), Integrate(x, h, c.rule));  // the sign of dt is ignored
    }
  }
}

TEST(IntegrateArray, StatusesInOrder) {
  const Vec x = {1, 2, 3, 4, 5};
  const int32_t cases[][3] = {// n, rule, status
                              {1, 0, -20008}, {2, 1, -20008}, {3, 2, -20008}, {4, 3, -20008},
                              {0, 0, -20008}, {2, 4, -20061}, {0, -1, -20061}};
  for (const auto& c : cases) {
    double r = kSentinel;
    EXPECT_EQ(ZMXFunc230(x.data(), c[0], 1.0, c[1], &r), c[2]) << c[0] << " " << c[1];
    EXPECT_EQ(r, kSentinel);
  }
  double r = kSentinel;
  EXPECT_EQ(ZMXFunc230(x.data(), kTooBig, 1.0, 9, &r), -20046);
  EXPECT_EQ(ZMXFunc230(nullptr, 5, 1.0, 0, &r), -20008);
  EXPECT_EQ(ZMXFunc230(x.data(), 5, 1.0, 0, nullptr), -20008);
  EXPECT_EQ(r, kSentinel);
  EXPECT_EQ(Integrate({1, 2}, 1.0, 0), 1.5);  // each rule at its minimum
  EXPECT_EQ(Integrate({1, 2, 3}, 1.0, 1), 4.0);
  EXPECT_EQ(Integrate({1, 2, 3, 4}, 1.0, 2), 7.5);
  EXPECT_EQ(Integrate({1, 2, 3, 4, 5}, 1.0, 3), 12.0);
}

TEST(Decimate, WholeBlocksKeptOrAveraged) {
  Vec x(10);
  for (int i = 0; i < 10; ++i) x[i] = i * i;
  Vec out(4, kSentinel);
  ASSERT_EQ(ZMXFunc53(x.data(), 10, 3, 0, out.data()), 0);
  EXPECT_EQ(out, (Vec{0, 9, 36, kSentinel}));  // the 10th sample is ignored
  ASSERT_EQ(ZMXFunc53(x.data(), 10, 3, 1, out.data()), 0);
  EXPECT_EQ(out, (Vec{5.0 / 3, 50.0 / 3, 149.0 / 3, kSentinel}));
  ASSERT_EQ(ZMXFunc53(x.data(), 10, 10, 1, out.data()), 0);
  EXPECT_EQ(out[0], 28.5);
  ASSERT_EQ(ZMXFunc53(x.data(), 10, 1, 1, nullptr), 0);  // factor 1: unchanged
  // A null output decimates in place, as an output equal to x does.
  for (int average = 0; average < 2; ++average) {
    Vec sep(5, kSentinel), a = x, b = x;
    ASSERT_EQ(ZMXFunc53(x.data(), 10, 2, average, sep.data()), 0);
    ASSERT_EQ(ZMXFunc53(a.data(), 10, 2, average, nullptr), 0);
    ASSERT_EQ(ZMXFunc53(b.data(), 10, 2, average, b.data()), 0);
    EXPECT_EQ(Vec(a.begin(), a.begin() + 5), sep);
    EXPECT_EQ(Vec(b.begin(), b.begin() + 5), sep);
    EXPECT_EQ(Vec(a.begin() + 5, a.end()), Vec(x.begin() + 5, x.end()));  // beyond: untouched
  }
  // Complex: parts averaged separately, in place by default.
  Vec z = {1, -1, 3, -5, 5, 0, 7, 2, 100, 100};
  Vec zo(4, kSentinel);
  ASSERT_EQ(ZMXFunc360(z.data(), 5, 2, 1, zo.data()), 0);
  EXPECT_EQ(zo, (Vec{2, -3, 6, 1}));
  ASSERT_EQ(ZMXFunc360(z.data(), 5, 2, 0, zo.data()), 0);
  EXPECT_EQ(zo, (Vec{1, -1, 5, 0}));
  ASSERT_EQ(ZMXFunc360(z.data(), 5, 2, 1, nullptr), 0);
  EXPECT_EQ(z, (Vec{2, -3, 6, 1, 5, 0, 7, 2, 100, 100}));
}

TEST(Decimate, FactorJudgedAgainstNInSixtyFourBits) {
  const Vec x(10, 1.0);
  struct Case {
    int64_t n, factor;
    int32_t status;
  };
  const Case cases[] = {{10, 0, -20022},
                        {10, -3, -20022},
                        {10, 11, -20022},
                        {10, (int64_t{1} << 32) + 3, -20022},  // not a wrapped 3
                        {10, int64_t{1} << 31, -20022},
                        {10, INT64_MIN, -20022},
                        {0, 3, -20003},
                        {0, 0, -20003},  // n first
                        {kTooBig, 3, -20046}};
  for (const Case& c : cases) {
    Vec o(10, kSentinel);
    EXPECT_EQ(ZMXFunc53(x.data(), c.n, c.factor, 0, o.data()), c.status) << c.factor;
    EXPECT_EQ(ZMXFunc360(x.data(), c.n > 5 && c.n < kTooBig ? 5 : c.n,
                         c.factor == 11 ? 6 : c.factor, 1, o.data()),
              c.status)
        << c.factor;
    EXPECT_EQ(o, Vec(10, kSentinel));
  }
  double o = kSentinel;
  EXPECT_EQ(ZMXFunc53(nullptr, 10, 2, 0, &o), -20008);
  EXPECT_EQ(ZMXFunc360(nullptr, 5, 2, 0, &o), -20008);
  EXPECT_EQ(o, kSentinel);
}

// Lines of the reference file that start with `kind`, as number lists.
std::vector<Vec> Golden(const std::string& kind) {
  return test_common::GoldenRows("convolution_golden.txt", kind);
}

TEST(UnwrapPhase, WorkedValuesTiesAndUnits) {
  Vec p = {0, 3, 6.5};
  ASSERT_EQ(ZMXFunc183(p.data(), 3), 0);
  EXPECT_EQ(p, (Vec{0, 3, 6.5 - 2 * kPi}));
  Vec d = {170, -170};
  ASSERT_EQ(ZMXFunc368(d.data(), 2, 2), 0);
  EXPECT_EQ(d, (Vec{170, 190}));
  // Against the unwrapped predecessor: a run of wraps accumulates.
  Vec run = {350, 10, 30, 50, -290};
  ASSERT_EQ(ZMXFunc368(run.data(), 5, 2), 0);
  EXPECT_EQ(run, (Vec{350, 370, 390, 410, 430}));
  // A jump of exactly +half a period moves down, -half a period stays.
  Vec ties = {0, 180, -180, -360};
  ASSERT_EQ(ZMXFunc368(ties.data(), 4, 2), 0);
  EXPECT_EQ(ties, (Vec{0, -180, -180, -360}));
  Vec rties = {0, kPi};
  ASSERT_EQ(ZMXFunc183(rties.data(), 2), 0);
  EXPECT_EQ(rties[1], -kPi);
  // Unit conversion after unwrapping; unknown codes are radians.
  Vec r2d = {0, 3, 6.5};
  ASSERT_EQ(ZMXFunc368(r2d.data(), 3, 1), 0);
  EXPECT_NEAR(r2d[2], (6.5 - 2 * kPi) * 180 / kPi, 1e-12);
  EXPECT_NEAR(r2d[1], 3 * 180 / kPi, 1e-12);
  Vec d2r = {170, -170};
  ASSERT_EQ(ZMXFunc368(d2r.data(), 2, 3), 0);
  EXPECT_NEAR(d2r[1], 190 * kPi / 180, 2e-15);
  for (int code : {4, -1, 99}) {
    Vec q = {0, 3, 6.5};
    ASSERT_EQ(ZMXFunc368(q.data(), 3, code), 0);
    EXPECT_EQ(q, (Vec{0, 3, 6.5 - 2 * kPi})) << code;
  }
  // The two exports check n differently.
  Vec q = {kSentinel};
  EXPECT_EQ(ZMXFunc183(q.data(), 0), -20003);
  EXPECT_EQ(ZMXFunc368(q.data(), 0, 0), -20008);
  EXPECT_EQ(ZMXFunc368(q.data(), -4, 0), -20008);
  EXPECT_EQ(ZMXFunc183(q.data(), kTooBig), -20046);
  EXPECT_EQ(ZMXFunc368(q.data(), kTooBig, 0), -20046);
  EXPECT_EQ(ZMXFunc183(nullptr, 3), -20008);
  EXPECT_EQ(q[0], kSentinel);
}

TEST(UnwrapPhase, MatchesNumpyAwayFromTies) {
  for (const char* kind : {"unwrap", "unwrapdeg"}) {
    const bool degrees = std::string(kind) == "unwrapdeg";
    const auto rows = Golden(kind);
    ASSERT_FALSE(rows.empty());
    for (const Vec& row : rows) {
      const int n = static_cast<int>(row[0]);
      Vec p(row.begin() + 1, row.begin() + 1 + n);
      const Vec want(row.begin() + 1 + n, row.end());
      ASSERT_EQ(degrees ? ZMXFunc368(p.data(), n, 2) : ZMXFunc183(p.data(), n), 0);
      double scale = 1;
      for (double v : want) scale = std::max(scale, std::fabs(v));
      for (int i = 0; i < n; ++i) EXPECT_NEAR(p[i], want[i], 8e-16 * scale * n) << kind << i;
    }
  }
}

TEST(AmplitudePhaseSpectrum, RmsAmplitudesPhasesAndDf) {
  for (int n : {64, 63, 100}) {
    SCOPED_TRACE(n);
    Vec x(n);
    // DC -0.5, bin 3 amplitude 2 phase 0.6, bin 7 amplitude 0.5 phase -2.
    for (int i = 0; i < n; ++i) {
      const double t = 2 * kPi * i / n;
      x[i] = -0.5 + 2 * std::cos(3 * t + 0.6) + 0.5 * std::cos(7 * t - 2);
    }
    const Vec copy = x;
    Vec amp(n / 2 + 1, kSentinel), ph(n / 2 + 1, kSentinel);
    double df = kSentinel;
    ASSERT_EQ(ZMXFunc5(x.data(), n, 0, 0.001, amp.data(), ph.data(), &df), 0);
    EXPECT_EQ(x, copy);
    EXPECT_DOUBLE_EQ(df, 1.0 / (n * 0.001));
    EXPECT_NEAR(amp[0], 0.5, 1e-14);
    EXPECT_EQ(ph[0], kPi);  // negative DC
    EXPECT_NEAR(amp[3], 2 / std::sqrt(2.0), 1e-13);
    EXPECT_NEAR(ph[3], 0.6, 1e-13);
    EXPECT_NEAR(amp[7], 0.5 / std::sqrt(2.0), 1e-13);
    EXPECT_NEAR(ph[7], -2, 1e-13);
    EXPECT_NEAR(amp[5], 0, 1e-13);
    EXPECT_EQ(amp[n / 2], kSentinel);  // exactly n/2 values
    EXPECT_EQ(ph[n / 2], kSentinel);
    // The unwrap flag unwraps the n/2 phases as UnwrapPhase does.
    Vec amp2(n / 2), ph2(n / 2);
    ASSERT_EQ(ZMXFunc5(x.data(), n, 1, 0.001, amp2.data(), ph2.data(), &df), 0);
    Vec unwrapped(ph.begin(), ph.begin() + n / 2);
    ASSERT_EQ(ZMXFunc183(unwrapped.data(), n / 2), 0);
    EXPECT_EQ(ph2, unwrapped);
    EXPECT_EQ(amp2, Vec(amp.begin(), amp.begin() + n / 2));
  }
  // Positive DC has phase 0; n = 1 writes only df.
  {
    const Vec x = {3, 3, 3, 3};
    Vec amp(2), ph(2);
    double df;
    ASSERT_EQ(ZMXFunc5(x.data(), 4, 0, 0.5, amp.data(), ph.data(), &df), 0);
    EXPECT_EQ(amp[0], 3.0);
    EXPECT_NEAR(amp[1], 0.0, 1e-15);
    EXPECT_EQ(ph[0], 0.0);
    double one = 2, a = kSentinel, p = kSentinel;
    ASSERT_EQ(ZMXFunc5(&one, 1, 1, 0.25, &a, &p, &df), 0);
    EXPECT_EQ(df, 4.0);
    EXPECT_EQ(a, kSentinel);
    EXPECT_EQ(p, kSentinel);
  }
  const Vec x(8, 1.0);
  double a[4] = {kSentinel}, p[4] = {kSentinel}, df = kSentinel;
  EXPECT_EQ(ZMXFunc5(x.data(), 0, 0, 1, a, p, &df), -20003);
  EXPECT_EQ(ZMXFunc5(x.data(), kTooBig, 0, 1, a, p, &df), -20046);
  EXPECT_EQ(ZMXFunc5(x.data(), 8, 0, 1, a, p, nullptr), -20008);
  EXPECT_EQ(ZMXFunc5(x.data(), 8, 0, 1, nullptr, p, &df), -20008);
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc5(x.data(), 8, 0, 1, a, p, &df), -20001);
  qm::SetWorkspaceFailureCountdown(0);
  EXPECT_EQ(a[0], kSentinel);
  EXPECT_EQ(p[0], kSentinel);
  EXPECT_EQ(df, kSentinel);
}

}  // namespace
