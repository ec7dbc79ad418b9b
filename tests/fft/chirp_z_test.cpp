// Chirp-Z transform: SciPy golden values and long-double direct sums from the
// same double A and W for both methods, the DFT case against RealFft, the
// 64-bit exponent of the direct sum, in-place calls and the status codes.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <complex>
#include <cstdint>
#include <fstream>
#include <limits>
#include <map>
#include <numbers>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "fft/chirp_z.h"
#include "more_golden.h"
#include "frame/status.h"
#include "frame/workspace.h"
#include "qmanlys.h"

namespace {

using Vec = std::vector<double>;
using CL = std::complex<long double>;

constexpr int64_t kTooBig = int64_t{1} << 32;

const Vec& Gold(const std::string& name, const std::string& key) {
  static const std::map<std::string, Vec> table = fft_test::ReadGolden("chirp_z_golden.txt");
  return fft_test::GoldenEntry(table, name, key);
}

// z^p in long double, polar form, for a real (integer-valued) p.
CL PowerL(double re, double im, long double p) {
  const long double r = std::hypot(static_cast<long double>(re), static_cast<long double>(im));
  const long double t = std::atan2(static_cast<long double>(im), static_cast<long double>(re));
  return std::polar(std::pow(r, p), p * t);
}

// The defining sum in long double; x interleaved when complex_input.
Vec DirectSumL(const Vec& x, bool complex_input, const double* a, const double* w, int m) {
  const int n = static_cast<int>(complex_input ? x.size() / 2 : x.size());
  Vec out(2 * m);
  for (int k = 0; k < m; ++k) {
    CL s = 0;
    for (int j = 0; j < n; ++j) {
      const CL xj = complex_input ? CL(x[2 * j], x[2 * j + 1]) : CL(x[j], 0);
      s += xj * PowerL(a[0], a[1], -static_cast<long double>(j)) *
           PowerL(w[0], w[1], static_cast<long double>(int64_t{j} * k));
    }
    out[2 * k] = static_cast<double>(s.real());
    out[2 * k + 1] = static_cast<double>(s.imag());
  }
  return out;
}

// max |got − want| over max |want| (complex magnitudes).
double RelativeError(const Vec& got, const Vec& want) {
  EXPECT_EQ(got.size(), want.size());
  double err = 0.0, scale = 0.0;
  for (size_t i = 0; i + 1 < want.size() && i + 1 < got.size(); i += 2) {
    err = std::max(err, std::hypot(got[i] - want[i], got[i + 1] - want[i + 1]));
    scale = std::max(scale, std::hypot(want[i], want[i + 1]));
  }
  return err / scale;
}

int32_t Czt(const Vec& x, bool complex_input, const double* a, const double* w, int32_t method,
            int64_t m, double* out) {
  const int64_t n = complex_input ? static_cast<int64_t>(x.size() / 2) : x.size();
  return complex_input ? ZMXFunc342(x.data(), n, a, w, method, m, out)
                       : ZMXFunc341(x.data(), n, a, w, method, m, out);
}

Vec UnitRoot(int n) {
  const double t = 2.0 * std::numbers::pi / n;
  return {std::cos(t), -std::sin(t)};
}

Vec Seq(int count, int seed) {
  Vec v(count);
  for (int i = 0; i < count; ++i) v[i] = ((7919LL * i + 31 * seed + 13) % 1009) / 1009.0 - 0.5;
  return v;
}

TEST(ChirpZTest, MatchesScipyAndLongDoubleSums) {
  const char* keys[] = {"dft16",   "zoom_real", "prime_real", "spiral",
                        "outward", "single",    "many_out"};
  for (const char* key : keys) {
    const Vec& p = Gold("params", key);
    ASSERT_EQ(p.size(), 6u) << key;
    const double a[2] = {p[0], p[1]}, w[2] = {p[2], p[3]};
    const int m = static_cast<int>(p[4]);
    const bool cplx = p[5] != 0.0;
    const Vec& x = Gold("input", key);
    const Vec& golden = Gold("czt", key);
    const Vec exact = DirectSumL(x, cplx, a, w, m);
    // SciPy itself works in double by Bluestein's method.
    EXPECT_LT(RelativeError(golden, exact), 1e-11) << key;
    for (int32_t method : {0, 1}) {
      Vec out(2 * m, -7.0);
      ASSERT_EQ(Czt(x, cplx, a, w, method, m, out.data()), 0) << key << " " << method;
      // The direct sum follows the powers closely; Bluestein's chirp off
      // the unit circle spans |W|^(t*t/2), which costs digits.
      const double tol = method == 0 ? 1e-13 : 1e-11;
      EXPECT_LT(RelativeError(out, exact), tol) << key << " method " << method;
      EXPECT_LT(RelativeError(out, golden), 1e-11) << key << " method " << method;
    }
  }
}

TEST(ChirpZTest, DftCaseEqualsRealFft) {
  for (int n : {1, 2, 16, 97, 100, 256, 1000}) {
    const Vec x = Seq(n, n);
    Vec re = x, im(n);
    ASSERT_EQ(ZMXFunc147(re.data(), im.data(), n), 0);
    Vec fft(2 * n);
    for (int k = 0; k < n; ++k) {
      fft[2 * k] = re[k];
      fft[2 * k + 1] = im[k];
    }
    const double a[2] = {1.0, 0.0};
    const Vec w = UnitRoot(n);
    for (int32_t method : {0, 1}) {
      if (method == 0 && n > 256) continue;  // n*n complex powers
      Vec out(2 * n);
      // m = 0 asks for n points.
      ASSERT_EQ(ZMXFunc341(x.data(), n, a, w.data(), method, 0, out.data()), 0);
      const double tol = (method == 0 ? 4e-15 : 2e-15) * std::log2(2.0 * n) * std::sqrt(n);
      EXPECT_LT(RelativeError(out, fft), tol) << "n=" << n << " method " << method;
    }
  }
}

TEST(ChirpZTest, MethodsAgreeAcrossShapes) {
  struct Shape {
    int n, m;
    bool cplx;
  };
  const Shape shapes[] = {{1, 1, false},  {3, 1, true},   {1, 9, false},   {64, 7, true},
                          {7, 64, false}, {45, 45, true}, {120, 33, false}};
  const double a[2] = {0.8, 0.6};  // on the unit circle
  const double w[2] = {std::cos(0.01), -std::sin(0.01)};
  for (const Shape& s : shapes) {
    const Vec x = Seq(s.cplx ? 2 * s.n : s.n, s.m);
    Vec d(2 * s.m), b(2 * s.m);
    ASSERT_EQ(Czt(x, s.cplx, a, w, 0, s.m, d.data()), 0);
    ASSERT_EQ(Czt(x, s.cplx, a, w, 1, s.m, b.data()), 0);
    EXPECT_LT(RelativeError(b, d), 1e-13) << s.n << "x" << s.m;
    EXPECT_LT(RelativeError(d, DirectSumL(x, s.cplx, a, w, s.m)), 1e-13) << s.n << "x" << s.m;
  }
}

TEST(ChirpZTest, OutputMayBeTheInputAndParameters) {
  const int n = 40, m = 50;
  const double a0[2] = {1.05, -0.1}, w0[2] = {0.999 * std::cos(0.2), 0.999 * std::sin(0.2)};
  for (int32_t method : {0, 1}) {
    for (bool cplx : {false, true}) {
      const Vec x = Seq(cplx ? 2 * n : n, 3);
      Vec want(2 * m);
      ASSERT_EQ(Czt(x, cplx, a0, w0, method, m, want.data()), 0);
      Vec buf(2 * m, 0.0);
      std::copy(x.begin(), x.end(), buf.begin());
      const int32_t s = cplx ? ZMXFunc342(buf.data(), n, a0, w0, method, m, buf.data())
                             : ZMXFunc341(buf.data(), n, a0, w0, method, m, buf.data());
      ASSERT_EQ(s, 0);
      EXPECT_EQ(buf, want) << "in place, method " << method << " complex " << cplx;
      // A and W stored in the output's first values.
      Vec out(2 * m);
      out[0] = a0[0];
      out[1] = a0[1];
      out[2] = w0[0];
      out[3] = w0[1];
      ASSERT_EQ(Czt(x, cplx, out.data(), out.data() + 2, method, m, out.data()), 0);
      EXPECT_EQ(out, want) << "A, W in the output, method " << method;
    }
  }
}

TEST(ChirpZTest, DirectExponentIsFormedIn64Bits) {
  // j*k = 2.5e9 passes 2^31: a 32-bit product would wrap to 2.5e9 - 2^32.
  const double wr = std::cos(0.3), wi = std::sin(0.3);
  for (int32_t jk : {46341, 50000, 65535}) {
    double zr = 0.0, zi = 0.0;
    ASSERT_EQ(qm::fft::ChirpZPowerOfProduct(wr, wi, jk, jk, &zr, &zi), 0);
    const CL want = PowerL(wr, wi, static_cast<long double>(int64_t{jk} * jk));
    EXPECT_NEAR(zr, static_cast<double>(want.real()), 1e-6) << jk;
    EXPECT_NEAR(zi, static_cast<double>(want.imag()), 1e-6) << jk;
  }
  // Off the unit circle the magnitude follows the full exponent too.
  double zr = 0.0, zi = 0.0;
  ASSERT_EQ(qm::fft::ChirpZPowerOfProduct(1.0 + 1e-10, 0.0, 60000, 60000, &zr, &zi), 0);
  EXPECT_NEAR(zr, std::exp(0.36), 1e-5);
  EXPECT_EQ(zi, 0.0);
}

TEST(ChirpZTest, ChecksComeInOrderAndWriteNothing) {
  const Vec x = Seq(8, 1);
  const double one[2] = {1.0, 0.0}, zero[2] = {0.0, 0.0};
  const double nan[2] = {1.0, std::numeric_limits<double>::quiet_NaN()};
  const double inf[2] = {std::numeric_limits<double>::infinity(), 0.0};
  const double big[2] = {-DBL_MAX, 0.0}, tiny[2] = {0.5, DBL_MIN};
  const Vec w = UnitRoot(8);
  struct Case {
    const char* name;
    int64_t n;
    const double *a, *w;
    int32_t method;
    int64_t m;
    int32_t want;
  };
  const Case cases[] = {
      {"n 0 before method", 0, one, w.data(), 5, 8, -20003},
      {"n negative", -3, nan, zero, 0, 8, -20003},
      {"method 2 before A", 8, nan, w.data(), 2, 8, -20061},
      {"method -1", 8, one, w.data(), -1, 8, -20061},
      {"A NaN before W", 8, nan, zero, 0, 8, -20068},
      {"A infinite", 8, inf, w.data(), 1, 8, -20068},
      {"A -DBL_MAX", 8, big, w.data(), 0, 8, -20068},
      {"A DBL_MIN part", 8, tiny, w.data(), 1, 8, -20068},
      {"A zero before W", 8, zero, nan, 0, 8, -20141},
      {"W NaN", 8, one, nan, 1, 8, -20068},
      {"W zero", 8, one, zero, 0, 8, -20141},
      {"W DBL_MAX", 8, one, big, 1, 8, -20068},
      {"n beyond 32 bits", kTooBig, one, w.data(), 0, 8, -20046},
      {"m beyond 32 bits", 8, one, w.data(), 0, kTooBig, -20046},
  };
  for (const Case& c : cases) {
    for (bool cplx : {false, true}) {
      Vec out(16, -3.0);
      const int32_t s = cplx ? ZMXFunc342(x.data(), c.n, c.a, c.w, c.method, c.m, out.data())
                             : ZMXFunc341(x.data(), c.n, c.a, c.w, c.method, c.m, out.data());
      EXPECT_EQ(s, c.want) << c.name << " complex " << cplx;
      EXPECT_EQ(out, Vec(16, -3.0)) << c.name;
    }
  }
  Vec out(16);
  EXPECT_EQ(ZMXFunc341(nullptr, 8, one, w.data(), 0, 8, out.data()), -20008);
  EXPECT_EQ(ZMXFunc341(x.data(), 8, nullptr, w.data(), 0, 8, out.data()), -20008);
  EXPECT_EQ(ZMXFunc342(x.data(), 4, one, nullptr, 1, 8, out.data()), -20008);
  EXPECT_EQ(ZMXFunc342(x.data(), 4, one, w.data(), 1, 8, nullptr), -20008);
  // A negative m, like 0, means n points.
  Vec neg(16, -3.0), dflt(16, -4.0);
  ASSERT_EQ(ZMXFunc341(x.data(), 8, one, w.data(), 1, -5, neg.data()), 0);
  ASSERT_EQ(ZMXFunc341(x.data(), 8, one, w.data(), 1, 8, dflt.data()), 0);
  EXPECT_EQ(neg, dflt);
}

TEST(ChirpZTest, ConcurrentCallsGiveTheSerialValues) {
  // Threads share the Bluestein plans and take their own scratch.
  const int sizes[] = {300, 301, 509};
  const double a[2] = {std::cos(0.4), std::sin(0.4)};
  const double w[2] = {std::cos(0.003), -std::sin(0.003)};
  std::vector<Vec> inputs, want;
  for (int n : sizes) {
    inputs.push_back(Seq(2 * n, n));
    want.emplace_back(2 * n);
    ASSERT_EQ(Czt(inputs.back(), true, a, w, 1, n, want.back().data()), 0);
  }
  std::vector<int> bad(4, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int r = 0; r < 6; ++r) {
        const size_t i = (t + r) % 3;
        Vec out(want[i].size());
        if (Czt(inputs[i], true, a, w, 1, sizes[i], out.data()) != 0 || out != want[i]) ++bad[t];
      }
    });
  }
  for (std::thread& th : threads) th.join();
  EXPECT_EQ(bad, std::vector<int>(4, 0));
}

TEST(ChirpZTest, MemoryFailuresGiveMinus20001) {
  // A length no other test uses, so that the Bluestein plan is built here.
  const int n = 211, m = 173;
  const Vec x = Seq(n, 9);
  const double a[2] = {1.0, 0.0};
  const Vec w = UnitRoot(389);
  for (int32_t method : {0, 1}) {
    bool succeeded = false;
    for (int k = 1; k < 80 && !succeeded; ++k) {
      Vec out(2 * m, -1.0);
      qm::SetWorkspaceFailureCountdown(k);
      const int32_t s = ZMXFunc341(x.data(), n, a, w.data(), method, m, out.data());
      qm::SetWorkspaceFailureCountdown(0);
      if (s == 0) {
        succeeded = true;
        Vec want(2 * m);
        ASSERT_EQ(ZMXFunc341(x.data(), n, a, w.data(), method, m, want.data()), 0);
        EXPECT_EQ(out, want) << "method " << method;
      } else {
        ASSERT_EQ(s, qm::kOutOfMemory) << "method " << method << " k=" << k;
        EXPECT_EQ(out, Vec(2 * m, -1.0));
      }
    }
    EXPECT_TRUE(succeeded) << "method " << method;
  }
}

}  // namespace
