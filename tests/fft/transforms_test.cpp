// Exported transforms and spectra: worked values, closed forms, golden values
// from NumPy/SciPy (tests/fft/data/make_golden.py), round trips, and the
// status codes of the boundary and of the routines.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <functional>
#include <map>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "fft/fft_engine.h"
#include "frame/status.h"
#include "frame/workspace.h"
#include "qmanlys.h"

namespace {

using Vec = std::vector<double>;

Vec InputX(int n) {
  Vec v(n);
  for (int j = 0; j < n; ++j) v[j] = ((7919LL * j + 13) % 1009) / 1009.0 - 0.5;
  return v;
}
Vec InputY(int n) {
  Vec v(n);
  for (int j = 0; j < n; ++j) v[j] = ((104729LL * j + 7) % 997) / 997.0 - 0.25;
  return v;
}

const std::map<std::string, Vec>& Golden() {
  static const std::map<std::string, Vec> table = [] {
    std::map<std::string, Vec> t;
    std::ifstream f(QM_TEST_DATA_DIR "/golden.txt");
    std::string line;
    while (std::getline(f, line)) {
      std::istringstream is(line);
      std::string name;
      int n;
      is >> name >> n;
      Vec v;
      double d;
      while (is >> d) v.push_back(d);
      t[name + "/" + std::to_string(n)] = v;
    }
    return t;
  }();
  return table;
}

const Vec& Gold(const std::string& name, int n) {
  static const Vec empty;
  auto it = Golden().find(name + "/" + std::to_string(n));
  EXPECT_NE(it, Golden().end()) << name << " " << n;
  return it == Golden().end() ? empty : it->second;
}

// |a − b| within tol·(scale of the reference vector).
void ExpectClose(const Vec& got, const Vec& want, double tol, const std::string& what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  double scale = 0;
  for (double w : want) scale = std::max(scale, std::fabs(w));
  for (size_t i = 0; i < want.size(); ++i)
    EXPECT_NEAR(got[i], want[i], tol * scale) << what << " [" << i << "]";
}

void ExpectSameAngle(const Vec& got, const Vec& want, const std::string& what) {
  ASSERT_EQ(got.size(), want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    double d = std::remainder(got[i] - want[i], 2 * std::numbers::pi);
    EXPECT_NEAR(d, 0.0, 1e-12) << what << " [" << i << "]";
  }
}

const int kGoldenLengths[] = {7, 16, 53, 100};

TEST(FftTransformsTest, RealFftOfAnImpulseIsFlat) {
  Vec x = {1, 0, 0, 0}, y(4, 9.0);
  ASSERT_EQ(ZMXFunc147(x.data(), y.data(), 4), 0);
  EXPECT_EQ(x, Vec(4, 1.0));
  EXPECT_EQ(y, Vec(4, 0.0));
}

TEST(FftTransformsTest, SpectraMatchGoldenValues) {
  for (int n : kGoldenLengths) {
    const std::string tag = " n=" + std::to_string(n);
    const int half = n / 2;
    Vec x = InputX(n), y = InputY(n);
    Vec re = x, im(n);
    ASSERT_EQ(ZMXFunc147(re.data(), im.data(), n), 0);
    ExpectClose(re, Gold("real_fft_re", n), 1e-14, "RealFft re" + tag);
    ExpectClose(im, Gold("real_fft_im", n), 1e-14, "RealFft im" + tag);

    Vec spectrum(half + 1, -7.0);
    double df = 0;
    ASSERT_EQ(ZMXFunc10(x.data(), n, 0.5, spectrum.data(), &df), 0);
    EXPECT_EQ(spectrum[half], -7.0) << "PowerSpectrum writes n/2 values" << tag;
    spectrum.resize(half);
    ExpectClose(spectrum, Gold("power_spectrum", n), 1e-13, "PowerSpectrum" + tag);
    EXPECT_DOUBLE_EQ(df, 1.0 / (n * 0.5));

    Vec cr(n), ci(n);
    ASSERT_EQ(ZMXFunc36(x.data(), y.data(), n, cr.data(), ci.data()), 0);
    ExpectClose(cr, Gold("cross_re", n), 1e-13, "CrossPowerSpectrumTwoSided re" + tag);
    ExpectClose(ci, Gold("cross_im", n), 1e-13, "CrossPowerSpectrumTwoSided im" + tag);

    Vec mag(half), ph(half);
    ASSERT_EQ(ZMXFunc37(x.data(), y.data(), n, 2.0, mag.data(), ph.data(), &df), 0);
    ExpectClose(mag, Gold("cross_magnitude", n), 1e-13, "CrossPowerSpectrum magnitude" + tag);
    ExpectSameAngle(ph, Gold("cross_phase", n), "CrossPowerSpectrum phase" + tag);
    EXPECT_DOUBLE_EQ(df, 1.0 / (n * 2.0));

    ASSERT_EQ(ZMXFunc176(x.data(), y.data(), n, 1.0, mag.data(), ph.data(), nullptr), 0);
    ExpectClose(mag, Gold("transfer_magnitude", n), 1e-12, "TransferFunction magnitude" + tag);
    ExpectSameAngle(ph, Gold("transfer_phase", n), "TransferFunction phase" + tag);

    Vec out(n);
    ASSERT_EQ(ZMXFunc94(x.data(), y.data(), n, out.data()), 0);
    ExpectClose(out, Gold("deconvolve", n), 1e-11, "Deconvolve" + tag);

    Vec h = x;
    ASSERT_EQ(ZMXFunc75(h.data(), n), 0);
    ExpectClose(h, Gold("hilbert", n), 1e-13, "HilbertTransform" + tag);
    Vec hn = x;
    ASSERT_EQ(ZMXFunc76(hn.data(), n), 0);
    for (int j = 0; j < n; ++j) EXPECT_EQ(hn[j], -h[j]);

    Vec ht = x;
    ASSERT_EQ(ZMXFunc78(ht.data(), n), 0);
    ExpectClose(ht, Gold("hartley", n), 1e-14, "HartleyTransform" + tag);
  }
}

double MaxDiff(const Vec& a, const Vec& b) {
  double m = 0;
  for (size_t i = 0; i < a.size(); ++i) m = std::max(m, std::fabs(a[i] - b[i]));
  return m;
}

TEST(FftTransformsTest, InversesRestoreTheirInputs) {
  for (int n : {1, 2, 3, 7, 8, 53, 97, 100, 1000, 1009, 4096}) {
    const std::string tag = " n=" + std::to_string(n);
    const Vec x = InputX(n), y = InputY(n);
    Vec re = x, im(n);
    ASSERT_EQ(ZMXFunc147(re.data(), im.data(), n), 0);
    ASSERT_EQ(ZMXFunc148(re.data(), im.data(), n), 0);
    EXPECT_LT(MaxDiff(re, x), 1e-14) << "RealFft/InverseRealFft" << tag;

    Vec cr = x, ci = y;
    ASSERT_EQ(ZMXFunc77(cr.data(), ci.data(), n), 0);
    ASSERT_EQ(ZMXFunc102(cr.data(), ci.data(), n), 0);
    EXPECT_LT(MaxDiff(cr, x) + MaxDiff(ci, y), 1e-14) << "ComplexFft" << tag;

    Vec hartley = x;
    ASSERT_EQ(ZMXFunc78(hartley.data(), n), 0);
    ASSERT_EQ(ZMXFunc103(hartley.data(), n), 0);
    EXPECT_LT(MaxDiff(hartley, x), 1e-14) << "Hartley" << tag;
  }
}

// The in-place complex exports run the engine's out-of-place transform
// through scratch (copying the input in, or the result back, by length):
// the engine's bits, forward and inverse.
TEST(FftTransformsTest, ComplexExportsGiveTheEngineBits) {
  for (int n : {2, 6, 64, 97, 1000, 4096, 6000, 8192}) {
    const Vec x = InputX(n), y = InputY(n);
    qm::fft::FftPlanHold plan(n);
    ASSERT_TRUE(plan);
    Vec wr(n), wi(n), vr(n), vi(n);
    ASSERT_EQ(qm::fft::FftComplexForward(plan, x.data(), y.data(), wr.data(), wi.data(), 1, 1, n),
              qm::kSuccess);
    ASSERT_EQ(qm::fft::FftComplexInverse(plan, x.data(), y.data(), vr.data(), vi.data(), 1, 1, n),
              qm::kSuccess);
    Vec re = x, im = y;
    ASSERT_EQ(ZMXFunc77(re.data(), im.data(), n), 0);
    EXPECT_EQ(re, wr) << "ComplexFft n=" << n;
    EXPECT_EQ(im, wi) << "ComplexFft n=" << n;
    re = x;
    im = y;
    ASSERT_EQ(ZMXFunc102(re.data(), im.data(), n), 0);
    EXPECT_EQ(re, vr) << "InverseComplexFft n=" << n;
    EXPECT_EQ(im, vi) << "InverseComplexFft n=" << n;
  }
}

// The power and cross spectra are formed bin by bin from the spectrum that
// RealFft returns, to the bit, whichever way their loops run (four bins at
// a time on some processors, with the bins left over one at a time).
TEST(FftTransformsTest, SpectraAreTheRealFftBinsToTheBit) {
  for (int n : {2, 3, 8, 9, 10, 11, 12, 16, 17, 18, 25, 64, 97, 100, 1000, 1009, 4096}) {
    const Vec x = InputX(n), y = InputY(n);
    Vec xr = x, xi(n), yr = y, yi(n);
    ASSERT_EQ(ZMXFunc147(xr.data(), xi.data(), n), 0);
    ASSERT_EQ(ZMXFunc147(yr.data(), yi.data(), n), 0);
    const double nn = static_cast<double>(n) * n;
    Vec two = x, one(n / 2, -1.0), cre(n), cim(n);
    double df = 0;
    ASSERT_EQ(ZMXFunc161(two.data(), n), 0);
    ASSERT_EQ(ZMXFunc10(x.data(), n, 0.5, one.data(), &df), 0);
    ASSERT_EQ(ZMXFunc36(x.data(), y.data(), n, cre.data(), cim.data()), 0);
    int differ = 0;
    for (int k = 0; k < n; ++k) {
      const double p = (xr[k] * xr[k] + xi[k] * xi[k]) / nn;
      differ += two[k] != p;
      if (k > 0 && k < n / 2) differ += one[k] != 2.0 * p;
      differ += cre[k] != (xr[k] * yr[k] + xi[k] * yi[k]) / nn;
      differ += cim[k] != (xr[k] * yi[k] - xi[k] * yr[k]) / nn;
    }
    EXPECT_EQ(differ, 0) << "n = " << n;
  }
}

TEST(FftTransformsTest, InverseRealFftReadsOnlyTheHermitianHalf) {
  const int n = 10;
  Vec x = InputX(n), re = x, im(n);
  ASSERT_EQ(ZMXFunc147(re.data(), im.data(), n), 0);
  for (int j = n / 2 + 1; j < n; ++j) re[j] = 1e300;  // not read
  for (int j = 0; j <= n / 2; ++j) im[j] = -1e300;    // not read
  ASSERT_EQ(ZMXFunc148(re.data(), im.data(), n), 0);
  EXPECT_LT(MaxDiff(re, x), 1e-14);
}

TEST(FftTransformsTest, ClosedForms) {
  // Constant c, n = 8: all power in bin 0, four values, df = 1/(8·dt).
  Vec c(8, 3.0), spectrum(5, -1.0);
  double df = 0;
  ASSERT_EQ(ZMXFunc10(c.data(), 8, 0.25, spectrum.data(), &df), 0);
  EXPECT_NEAR(spectrum[0], 9.0, 1e-13);
  for (int k = 1; k < 4; ++k) EXPECT_NEAR(spectrum[k], 0.0, 1e-13);
  EXPECT_EQ(spectrum[4], -1.0);
  EXPECT_DOUBLE_EQ(df, 0.5);

  // The Hilbert transform turns cos into sin (even and odd n).
  for (auto [n, k] : {std::pair{16, 3}, {15, 2}, {1000, 17}, {53, 26}}) {
    Vec x(n), want(n);
    for (int j = 0; j < n; ++j) {
      x[j] = std::cos(2 * std::numbers::pi * k * j / n);
      want[j] = std::sin(2 * std::numbers::pi * k * j / n);
    }
    ASSERT_EQ(ZMXFunc75(x.data(), n), 0);
    EXPECT_LT(MaxDiff(x, want), 1e-13) << n;
  }
  double one = 5.0;
  ASSERT_EQ(ZMXFunc75(&one, 1), 0);
  EXPECT_EQ(one, 0.0);

  // A response that is the stimulus delayed by one sample: |H| = 1 and the
  // phase −2πk/n.
  const int n = 32;
  Vec s = InputX(n), r(n), mag(n / 2), ph(n / 2);
  for (int j = 0; j < n; ++j) r[j] = s[(j + n - 1) % n];
  ASSERT_EQ(ZMXFunc176(s.data(), r.data(), n, 1.0, mag.data(), ph.data(), &df), 0);
  for (int k = 0; k < n / 2; ++k) {
    EXPECT_NEAR(mag[k], 1.0, 1e-12) << k;
    EXPECT_NEAR(std::remainder(ph[k] + 2 * std::numbers::pi * k / n, 2 * std::numbers::pi), 0.0,
                1e-12)
        << k;
  }

  // Deconvolving a circular convolution gives the other factor back.
  Vec a = InputX(n), b = InputY(n), conv(n, 0.0), got(n);
  a[0] += 3.0;  // keep the divisor's spectrum away from zero
  for (int i = 0; i < n; ++i)
    for (int j = 0; j < n; ++j) conv[(i + j) % n] += a[i] * b[j];
  ASSERT_EQ(ZMXFunc94(a.data(), conv.data(), n, got.data()), 0);
  EXPECT_LT(MaxDiff(got, b), 1e-13);

  // PowerSpectrumTwoSided of n = 1 squares the value.
  double v = -3.0;
  ASSERT_EQ(ZMXFunc161(&v, 1), 0);
  EXPECT_EQ(v, 9.0);
}

TEST(FftTransformsTest, OutputsMayBeTheInputArrays) {
  const int n = 12;
  Vec x = InputX(n), y = InputY(n), re(n), im(n);
  ASSERT_EQ(ZMXFunc36(x.data(), y.data(), n, re.data(), im.data()), 0);
  Vec x2 = x, y2 = y;
  ASSERT_EQ(ZMXFunc36(x2.data(), y2.data(), n, x2.data(), y2.data()), 0);
  EXPECT_EQ(x2, re);
  EXPECT_EQ(y2, im);
  Vec d = x, out(n);
  ASSERT_EQ(ZMXFunc94(x.data(), y.data(), n, out.data()), 0);
  ASSERT_EQ(ZMXFunc94(d.data(), y.data(), n, d.data()), 0);
  EXPECT_EQ(d, out);
}

// Every export, called with count n and arrays of at least max(n, 1) doubles.
struct Export {
  const char* name;
  std::function<int32_t(double*, double*, double*, double*, int64_t)> call;
};

const std::vector<Export>& Exports() {
  static const std::vector<Export> all = {
      {"RealFft",
       [](double* a, double* b, double*, double*, int64_t n) { return ZMXFunc147(a, b, n); }},
      {"InverseRealFft",
       [](double* a, double* b, double*, double*, int64_t n) { return ZMXFunc148(a, b, n); }},
      {"ComplexFft",
       [](double* a, double* b, double*, double*, int64_t n) { return ZMXFunc77(a, b, n); }},
      {"InverseComplexFft",
       [](double* a, double* b, double*, double*, int64_t n) { return ZMXFunc102(a, b, n); }},
      {"PowerSpectrumTwoSided",
       [](double* a, double*, double*, double*, int64_t n) { return ZMXFunc161(a, n); }},
      {"PowerSpectrum", [](double* a, double* b, double* c, double*,
                           int64_t n) { return ZMXFunc10(a, n, 1.0, b, c); }},
      {"CrossPowerSpectrumTwoSided", [](double* a, double* b, double* c, double* d,
                                        int64_t n) { return ZMXFunc36(a, b, n, c, d); }},
      {"CrossPowerSpectrum", [](double* a, double* b, double* c, double* d,
                                int64_t n) { return ZMXFunc37(a, b, n, 1.0, c, d, a); }},
      {"TransferFunction", [](double* a, double* b, double* c, double* d,
                              int64_t n) { return ZMXFunc176(a, b, n, 1.0, c, d, a); }},
      {"Deconvolve",
       [](double* a, double* b, double* c, double*, int64_t n) { return ZMXFunc94(a, b, n, c); }},
      {"HilbertTransform",
       [](double* a, double*, double*, double*, int64_t n) { return ZMXFunc75(a, n); }},
      {"InverseHilbertTransform",
       [](double* a, double*, double*, double*, int64_t n) { return ZMXFunc76(a, n); }},
      {"HartleyTransform",
       [](double* a, double*, double*, double*, int64_t n) { return ZMXFunc78(a, n); }},
      {"InverseHartleyTransform",
       [](double* a, double*, double*, double*, int64_t n) { return ZMXFunc103(a, n); }},
  };
  return all;
}

TEST(FftTransformsTest, CountsOutsideTheRangeGiveTheirCodes) {
  for (const Export& e : Exports()) {
    double a[4] = {1, 2, 3, 4}, b[4] = {5, 6, 7, 8}, c[4] = {0}, d[4] = {0};
    EXPECT_EQ(e.call(a, b, c, d, 0), qm::kCountNotPositive) << e.name;
    EXPECT_EQ(e.call(a, b, c, d, -3), qm::kCountNotPositive) << e.name;
    EXPECT_EQ(e.call(a, b, c, d, int64_t{1} << 31), qm::kOverflow) << e.name;
    EXPECT_EQ(e.call(a, b, c, d, -(int64_t{1} << 40)), qm::kOverflow) << e.name;
    EXPECT_EQ(a[0], 1.0) << e.name << ": untouched on a boundary error";
    EXPECT_EQ(e.call(nullptr, b, c, d, 4), qm::kNullPointer) << e.name;
  }
  double a[4] = {1, 2, 3, 4}, c[4];
  EXPECT_EQ(ZMXFunc147(a, nullptr, 4), qm::kNullPointer);
  EXPECT_EQ(ZMXFunc10(a, 4, 1.0, nullptr, c), qm::kNullPointer);
  EXPECT_EQ(ZMXFunc94(a, a, 4, nullptr), qm::kNullPointer);
}

TEST(FftTransformsTest, MemoryFailuresGiveMinus20001AndLeaveTheInput) {
  // Lengths whose plans are not cached by the other tests (so that plan
  // building fails as well as scratch), and a Rader length.
  for (const Export& e : Exports()) {
    for (int64_t n : {36, 318}) {
      bool succeeded = false;
      for (int k = 1; k < 60 && !succeeded; ++k) {
        Vec a = InputX(n), b = InputY(n), c(n), d(n);
        a[0] += 2.0;
        const Vec a0 = a;
        qm::SetWorkspaceFailureCountdown(k);
        const int32_t s = e.call(a.data(), b.data(), c.data(), d.data(), n);
        qm::SetWorkspaceFailureCountdown(0);
        if (s == 0) {
          succeeded = true;
        } else {
          ASSERT_EQ(s, qm::kOutOfMemory) << e.name << " k=" << k;
          EXPECT_EQ(a, a0) << e.name << " k=" << k;
        }
      }
      EXPECT_TRUE(succeeded) << e.name;
    }
  }
}

}  // namespace
