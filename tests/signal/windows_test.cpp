// Time-domain windows: every window against an evaluation of its closed form
// in long double and against golden weights (tests/signal/data), the
// tabulated properties against generated windows, and the exports' status
// behaviour.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <fstream>
#include <limits>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "frame/workspace.h"
#include "qmanlys.h"
#include "signal/windows.h"

namespace {

using Real = long double;
constexpr Real kPiL = std::numbers::pi_v<Real>;
const double kNaN = std::numeric_limits<double>::quiet_NaN();

const std::vector<std::vector<Real>> kCosineTable = {
    {1.0L},
    {0.5L, 0.5L},
    {0.54L, 0.46L},
    {0.42323L, 0.49755L, 0.07922L},
    {0.42659071367153911L, 0.49656061908856410L, 0.07684866723989682L},
    {0.42L, 0.5L, 0.08L},
    {0.215578948L, 0.41663158L, 0.277263158L, 0.083578947L, 0.006947368L},
    {0.35875L, 0.48829L, 0.14128L, 0.01168L},
    {0.27105140069342L, 0.43329793923449L, 0.21812299954311L, 0.06592544638803L, 0.01081174209837L,
     0.00077658482523L, 0.00001388721735L},
    {0.323215218L, 0.471492057L, 0.17553428L, 0.028497078L, 0.001261367L},
    {},
    {0.3635819L, 0.4891775L, 0.1365995L, 0.0106411L}};

Real I0Series(Real x) {  // the stated series: terms while > 1e-8, at most 25
  Real sum = 1, f = 1;
  for (int k = 1; k <= 25; ++k) {
    f *= x / 2 / k;
    sum += f * f;
    if (f * f <= 1e-8L) break;
  }
  return sum;
}

// Unnormalised Dolph-Chebyshev weights of L points by the defining sum.
std::vector<Real> ChebyshevReference(long length, Real ratio) {
  if (ratio < 1) ratio = 1;
  const Real order = length - 1;
  const Real x0 = std::cosh(std::acosh(ratio) / order);
  std::vector<Real> w(length);
  Real peak = 0;
  for (long i = 0; i < length; ++i) {
    Real s = ratio;
    for (long k = 1; k <= (length - 1) / 2; ++k) {
      const Real t = x0 * std::cos(kPiL * k / length);
      const Real T =
          std::fabs(t) <= 1 ? std::cos(order * std::acos(t)) : std::cosh(order * std::acosh(t));
      s += 2 * T * std::cos(2 * kPiL * k * (i - order / 2) / length);
    }
    w[i] = s / length;
    peak = std::max(peak, w[i]);
  }
  for (Real& v : w) v /= peak;
  return w;
}

// Weight i of the periodic window `code` of n points (n >= 2).
Real PeriodicReference(int code, Real p, long n, long i) {
  const Real f = static_cast<Real>(i) / n, h = n / 2.0L;
  if (code <= 11) {
    Real w = 0;
    for (size_t k = 0; k < kCosineTable[code].size(); ++k)
      w += (k % 2 ? -1 : 1) * kCosineTable[code][k] * std::cos(2 * kPiL * k * f);
    return w;
  }
  switch (code) {
    case 30:
      return 1 - std::fabs(2 * f - 1);
    case 31:
      return 0.62L - 0.48L * std::fabs(f - 0.5L) - 0.38L * std::cos(2 * kPiL * f);
    case 32: {
      const Real u = std::fabs(2 * f - 1);
      return (1 - u) * std::cos(kPiL * u) + std::sin(kPiL * u) / kPiL;
    }
    case 33: {
      const Real r = std::fabs(i - h) / h;
      return r <= 0.5L ? 1 - 6 * r * r + 6 * r * r * r : 2 * (1 - r) * (1 - r) * (1 - r);
    }
    case 34:
      return 1 - ((i - h) / h) * ((i - h) / h);
    case 60: {
      const Real t = 1 - 2 * f;
      return I0Series(p * std::sqrt(1 - t * t)) / I0Series(p);
    }
    case 61:
      return ChebyshevReference(n + 1, p)[i];
    case 62: {
      const Real s = p <= 0 ? 0.2L : p;
      return std::exp(-0.5L * (i - h) * (i - h) / (s * s * (n + 1) * (n + 1)));
    }
  }
  return kNaN;
}

// The window of n points (any n >= 1) in either form, by the rules for one
// point and for the symmetric form.
std::vector<Real> Reference(int code, Real p, long n, bool symmetric) {
  std::vector<Real> w(n, 1);
  if (code == 0 || n == 1) {
    if (!symmetric && n == 1 && code == 30) w[0] = 0;
    if (!symmetric && n == 1 && code == 60) w[0] = 1 / I0Series(p);
    return w;
  }
  if (symmetric && code == 61) return ChebyshevReference(n, p);
  if (symmetric && code == 62) {
    const Real s = p <= 0 ? 0.2L : p;
    for (long i = 0; i < n; ++i) {
      const Real d = i - (n - 1) / 2.0L;
      w[i] = std::exp(-0.5L * d * d / (s * s * n * n));
    }
    return w;
  }
  if (symmetric) {
    std::vector<Real> q = Reference(code, p, n - 1, false);
    q.push_back(q[0]);
    return q;
  }
  for (long i = 0; i < n; ++i) w[i] = PeriodicReference(code, p, n, i);
  return w;
}

std::vector<double> Generate(int code, double p, int n, qm::signal::WindowForm form) {
  std::vector<double> x(n, 1.0);
  EXPECT_EQ(qm::signal::ApplyWindowByCode(x.data(), n, code, p, form), 0) << code;
  return x;
}

struct Case {
  int code;
  double parameter;  // as the generator takes it
};
const Case kAllWindows[] = {{0, 0},  {1, 0},    {2, 0},    {3, 0},  {4, 0},    {5, 0},
                            {6, 0},  {7, 0},    {8, 0},    {9, 0},  {11, 0},   {30, 0},
                            {31, 0}, {32, 0},   {33, 0},   {34, 0}, {60, 0},   {60, 8.5},
                            {61, 1}, {61, 1e3}, {61, 1e5}, {62, 0}, {62, 0.35}};

TEST(Windows, EveryWindowMatchesItsClosedFormInBothForms) {
  for (const Case& c : kAllWindows) {
    for (int n : {1, 2, 3, 4, 7, 8, 31, 64, 101}) {
      for (auto form : {qm::signal::WindowForm::kPeriodic, qm::signal::WindowForm::kSymmetric}) {
        const bool sym = form == qm::signal::WindowForm::kSymmetric;
        const std::vector<double> got = Generate(c.code, c.parameter, n, form);
        const std::vector<Real> want = Reference(c.code, c.parameter, n, sym);
        for (int i = 0; i < n; ++i)
          ASSERT_NEAR(got[i], static_cast<double>(want[i]), c.code == 61 ? 1e-13 : 4e-15)
              << "code " << c.code << " p " << c.parameter << " n " << n << " sym " << sym << " i "
              << i;
      }
    }
  }
}

// Long cosine sums (the angle tables split indices into coarse and fine
// parts) stay at full accuracy everywhere.
TEST(Windows, LongCosineSumsKeepFullAccuracy) {
  for (int n : {1000003, 1 << 20}) {
    const auto w = Generate(8, 0, n, qm::signal::WindowForm::kPeriodic);
    for (long i = 0; i < n; i += 4999)
      ASSERT_NEAR(w[i], static_cast<double>(PeriodicReference(8, 0, n, i)), 2e-15) << n << " " << i;
    for (long i = 0; i < n; ++i) ASSERT_EQ(w[i], w[(n - i) % n]);  // exactly symmetric
  }
}

TEST(Windows, GoldenWeights) {
  std::ifstream in(QM_TEST_DATA_DIR "/windows_golden.txt");
  ASSERT_TRUE(in) << "missing windows_golden.txt";
  std::string line;
  int records = 0;
  while (std::getline(in, line)) {
    std::istringstream s(line);
    int code, form, n;
    double p, tol;
    s >> code >> form >> n >> p >> tol;
    std::vector<double> want(n);
    for (double& v : want) s >> v;
    const auto got = Generate(
        code, p, n, form ? qm::signal::WindowForm::kSymmetric : qm::signal::WindowForm::kPeriodic);
    for (int i = 0; i < n; ++i)
      ASSERT_NEAR(got[i], want[i], tol)
          << "code " << code << " form " << form << " n " << n << " i " << i;
    ++records;
  }
  EXPECT_GT(records, 100);
}

// A Dolph-Chebyshev window's spectrum has every side lobe at the stated
// attenuation below the main lobe.
TEST(Windows, ChebyshevSideLobesAreEquiripple) {
  const int n = 41;
  for (double db : {50.0, 90.0}) {
    std::vector<double> w(n, 1.0);
    ASSERT_EQ(qm::signal::SymmetricWindow(w.data(), n, qm::signal::kWindowChebyshev, db), 0);
    auto magnitude = [&](double f) {
      std::complex<double> s = 0;
      for (int i = 0; i < n; ++i) s += w[i] * std::polar(1.0, -2 * std::numbers::pi * f * i);
      return std::abs(s);
    };
    const double main = magnitude(0);
    const double x0 = std::cosh(std::acosh(std::pow(10, db / 20)) / (n - 1));
    const double edge = 2 * std::acos(1 / x0) / (2 * std::numbers::pi);  // first null
    double worst = 0;
    for (double f = edge * 1.01; f <= 0.5; f += 1e-4) worst = std::max(worst, magnitude(f));
    EXPECT_NEAR(20 * std::log10(worst / main), -db, 0.01) << db;
  }
}

// Long Dolph-Chebyshev windows come from an inverse FFT of the sampled
// Chebyshev polynomial; they must agree with the defining sum (evaluated here
// in long double at sampled points) across the switch-over length, for
// composite and prime lengths, and stay exactly symmetric.
// The defining sum at point i, from the precomputed T_1 ... T_m.
long double ChebyshevSumAt(const std::vector<long double>& T, long double ratio, long length,
                           long i) {
  long double s = ratio;
  const long double centre = (length - 1) / 2.0L;
  for (size_t k = 1; k <= T.size(); ++k)
    s += 2 * T[k - 1] * std::cos(2 * kPiL * k * (i - centre) / length);
  return s / length;
}

std::vector<long double> ChebyshevSamples(long length, long double ratio) {
  const long double order = length - 1;
  const long double x0 = std::cosh(std::acosh(ratio) / order);
  std::vector<long double> T((length - 1) / 2);
  for (size_t k = 1; k <= T.size(); ++k) {
    const long double t = x0 * std::cos(kPiL * k / length);
    T[k - 1] =
        std::fabs(t) <= 1 ? std::cos(order * std::acos(t)) : std::cosh(order * std::acosh(t));
  }
  return T;
}

TEST(Windows, LongChebyshevWindowsMatchTheDefiningSum) {
  for (int n : {126, 127, 128, 1000, 1008, 1009}) {
    for (auto form : {qm::signal::WindowForm::kPeriodic, qm::signal::WindowForm::kSymmetric}) {
      for (double ratio : {1e3, 1e6}) {
        const bool sym = form == qm::signal::WindowForm::kSymmetric;
        const long length = sym ? n : n + 1, centre = (length - 1) / 2;
        const std::vector<double> w = Generate(61, ratio, n, form);
        // Long windows of low ratio peak at their ends, not at the centre:
        // compare the shape relative to the centre weight.
        const std::vector<long double> T = ChebyshevSamples(length, ratio);
        const long double at_centre = ChebyshevSumAt(T, ratio, length, centre);
        // T_k = cosh((L-1) acosh(t_k)) magnifies rounding of t_k by L, so the
        // bound grows with the length.
        const double tol = 64 * 2.2e-16 * length;
        for (long i = 0; i<n; i += n> 500 ? 7 : 1) {
          const double want = static_cast<double>(ChebyshevSumAt(T, ratio, length, i) / at_centre);
          ASSERT_NEAR(w[i] / w[centre], want, tol * std::max(1.0, std::fabs(want)))
              << "n " << n << " sym " << sym << " ratio " << ratio << " i " << i;
        }
        for (long i = 0; i < n; ++i) ASSERT_EQ(w[i], w[length - 1 - i < n ? length - 1 - i : i]);
      }
    }
  }
  // A million points: exactly symmetric, largest weight exactly 1.
  const int n = 1 << 20;
  const std::vector<double> w = Generate(61, 1e5, n, qm::signal::WindowForm::kSymmetric);
  double largest = 0;
  for (long i = 0; i < n; ++i) {
    ASSERT_TRUE(std::isfinite(w[i])) << i;
    ASSERT_EQ(w[i], w[n - 1 - i]);
    largest = std::max(largest, w[i]);
  }
  EXPECT_EQ(largest, 1.0);
}

TEST(Windows, KaiserSeriesMatchesBesselFunction) {
  // I0 at 40 digits (mpmath). The series stays within 1e-9 until its cap of
  // 25 terms starts to cut it short (beta = 20 loses 1.6e-9, beta = 40 much
  // more: the cap is part of the window's definition).
  const struct {
    double x, i0, tol;
  } rows[] = {{0.0, 1.0, 0},
              {0.5, 1.0634833707413236, 1e-9},
              {2.0, 2.2795853023360673, 1e-9},
              {8.0, 427.56411572180479, 1e-9},
              {20.0, 43558282.559553534, 2e-9},
              {40.0, 1.4894774793419895e16, 0.5}};
  for (const auto& r : rows) EXPECT_NEAR(qm::signal::KaiserBesselI0(r.x) / r.i0, 1.0, r.tol) << r.x;
  EXPECT_LT(qm::signal::KaiserBesselI0(40.0) / 1.4894774793419895e16, 0.999);
}

// ENBW and coherent gain of generated windows against the table. The
// polynomial windows' values are the long-window limits (n = 2^20 agrees to
// the table's digits). Three tabulated ENBWs differ from their coefficient
// sets beyond the printed digits (6 and 9 at the 9th, 11 at the 6th).
TEST(Windows, TabulatedPropertiesMatchGeneratedWindows) {
  const struct {
    int code, n;
    double enbw_tol, cg_tol;
  } rows[] = {{0, 64, 0, 0},
              {1, 64, 0, 0},
              {2, 64, 5e-7, 0},
              {3, 64, 5e-7, 0},
              {4, 64, 5e-7, 5e-12},
              {5, 64, 5e-7, 0},
              {6, 64, 1e-8, 0},
              {7, 64, 5e-7, 0},
              {8, 64, 5e-7, 0},
              {9, 64, 5e-9, 0},
              {11, 64, 3e-6, 0},
              {31, 1 << 20, 5e-9, 0},
              {32, 1 << 20, 5e-12, 5e-12},
              {33, 1 << 20, 5e-12, 0},
              {34, 1 << 20, 5e-10, 5e-9}};
  for (const auto& r : rows) {
    qm::signal::WindowPropertiesRecord table, computed;
    ASSERT_EQ(qm::signal::WindowPropertiesByType(r.code, &table), 0);
    const auto w = Generate(r.code, 0, r.n, qm::signal::WindowForm::kPeriodic);
    ASSERT_EQ(qm::signal::ComputeWindowProperties(w.data(), r.n, &computed), 0);
    EXPECT_NEAR(computed.enbw, table.enbw, r.enbw_tol + 1e-13) << r.code;
    EXPECT_NEAR(computed.coherent_gain, table.coherent_gain, r.cg_tol + 1e-13) << r.code;
  }
}

std::vector<double> Ones(size_t n) { return std::vector<double>(n, 1.0); }

TEST(WindowExports, WorkedValues) {
  auto x = Ones(4);
  ASSERT_EQ(ZMXFunc89(x.data(), 4), 0);
  EXPECT_EQ(x, (std::vector<double>{0, 0.5, 1, 0.5}));

  double props[2];
  x = Ones(4);
  ASSERT_EQ(ZMXFunc152(x.data(), 4, 1, props), 0);
  EXPECT_EQ(x, (std::vector<double>{0, 1, 2, 1}));
  EXPECT_EQ(props[0], 1.5);
  EXPECT_EQ(props[1], 0.5);

  x = Ones(5);
  ASSERT_EQ(ZMXFunc281(x.data(), 5, 1, 0.0), 0);
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(x[i], (std::vector<double>{0, 0.5, 1, 0.5, 0})[i], 1e-16);

  const double one = 1.0, hann[2] = {0.5, 0.5};
  std::vector<double> data = {3, -1, 2.5, 7, 0.25, 9, -4};
  x = data;
  ASSERT_EQ(ZMXFunc85(x.data(), 7, &one, 1), 0);
  EXPECT_EQ(x, data);
  std::vector<double> y = data;
  ASSERT_EQ(ZMXFunc85(x.data(), 7, hann, 2), 0);
  ASSERT_EQ(ZMXFunc89(y.data(), 7), 0);
  EXPECT_EQ(x, y);

  const std::vector<double> w = {0.25, 1, 1, 0.5};
  ASSERT_EQ(ZMXFunc283(Ones(9).data(), 9, props), 0);
  EXPECT_EQ(props[0], 1.0);
  EXPECT_EQ(props[1], 1.0);
  ASSERT_EQ(ZMXFunc283(w.data(), 4, props), 0);
  EXPECT_DOUBLE_EQ(props[1], 2.75 / 4);
  EXPECT_DOUBLE_EQ(props[0], 4 * 2.3125 / (2.75 * 2.75));
}

TEST(WindowExports, TaperingAndTruncation) {
  std::vector<double> data(100);
  for (int i = 0; i < 100; ++i) data[i] = i + 1;
  auto x = data;
  EXPECT_EQ(ZMXFunc74(x.data(), 100, 1.0), 0);
  EXPECT_EQ(x, data);
  x = Ones(5);
  ASSERT_EQ(ZMXFunc74(x.data(), 5, 0.0625), 0);
  for (int i = 0; i < 5; ++i) EXPECT_NEAR(x[i], std::pow(0.5, i), 1e-15);
  for (double bad : {0.0, -1.0, kNaN}) EXPECT_EQ(ZMXFunc74(x.data(), 5, bad), -20027);
  EXPECT_EQ(ZMXFunc74(x.data(), 1, 0.5), -20006);

  const struct {
    double duty;
    int kept;
  } force[] = {{0, 0}, {-5, 0}, {50, 50}, {33.3, 33}, {100, 100}, {250, 100}, {kNaN, 0}};
  for (const auto& f : force) {
    x = data;
    ASSERT_EQ(ZMXFunc81(x.data(), 100, f.duty), 0);
    for (int i = 0; i < 100; ++i) ASSERT_EQ(x[i], i < f.kept ? data[i] : 0.0) << f.duty;
  }
  EXPECT_EQ(ZMXFunc81(x.data(), 1, 50), -20006);

  auto hann = data;
  ZMXFunc89(hann.data(), 100);
  x = data;
  ASSERT_EQ(ZMXFunc278(x.data(), 100, 1.0), 0);
  EXPECT_EQ(x, hann);
  for (double r : {0.001, 0.0, -2.0, kNaN}) {
    x = data;
    ASSERT_EQ(ZMXFunc278(x.data(), 100, r), 0);
    EXPECT_EQ(x, data) << r;
  }
  // Ratio 0.2 on 100 points: a 10-point taper at each end.
  x = Ones(100);
  ASSERT_EQ(ZMXFunc35(x.data(), 100), 0);
  for (int i = 0; i < 100; ++i) {
    const int e = std::min(i, 99 - i);
    const double want = e >= 10 ? 1.0 : std::pow(std::sin(std::numbers::pi * e / 20), 2);
    ASSERT_NEAR(x[i], want, 1e-15) << i;
  }
}

TEST(WindowExports, InvalidInputsKeepTheData) {
  std::vector<double> x = {1, 2, 3, 4};
  const auto data = x;
  double props[2] = {7, 7};
  for (int code : {10, 12, 29, 35, 59, 63, -1}) {
    EXPECT_EQ(ZMXFunc152(x.data(), 4, code, props), -20061) << code;
    EXPECT_TRUE(std::isnan(props[0]) && std::isnan(props[1]));
    EXPECT_EQ(ZMXFunc337(x.data(), 4, code, 1.0, props), -20061);
    EXPECT_EQ(ZMXFunc281(x.data(), 4, code, 1.0), -20061);
    EXPECT_EQ(ZMXFunc282(code, props), -20061);
  }
  EXPECT_EQ(ZMXFunc282(30, props), -20061);
  // Only the low 32 bits of the symmetric window's code count.
  EXPECT_EQ(ZMXFunc281(x.data(), 4, (int64_t{5} << 32) | 77, 0.0), -20061);
  EXPECT_EQ(x, data);
  EXPECT_EQ(ZMXFunc281(x.data(), 4, int64_t{1} << 32, 0.0), 0);  // code 0
  EXPECT_EQ(x, data);

  props[0] = props[1] = 7;
  EXPECT_EQ(ZMXFunc152(x.data(), -1, 1, props), -20004);
  EXPECT_EQ(props[0], 7);
  EXPECT_EQ(ZMXFunc152(x.data(), 0, 2, props), 0);  // properties only
  EXPECT_EQ(props[1], 0.54);
  EXPECT_EQ(ZMXFunc152(x.data(), 0, 30, props), -20003);
  EXPECT_TRUE(std::isnan(props[0]));
  EXPECT_EQ(ZMXFunc152(x.data(), 4, 34, nullptr), 0);  // properties not wanted
  x = data;
  EXPECT_EQ(ZMXFunc152(x.data(), 1, 30, props), -20060);  // zero-sum window
  EXPECT_EQ(x, data);

  const int64_t too_big = int64_t{1} << 31;
  EXPECT_EQ(ZMXFunc89(x.data(), too_big), -20046);
  EXPECT_EQ(ZMXFunc281(x.data(), too_big, 1, 0), -20046);
  EXPECT_EQ(ZMXFunc89(nullptr, 4), -20008);
  EXPECT_EQ(ZMXFunc85(x.data(), 4, nullptr, 2), -20008);
  EXPECT_EQ(ZMXFunc85(x.data(), 4, props, 0), -20003);
  for (int64_t n : {int64_t{0}, int64_t{-3}}) {
    EXPECT_EQ(ZMXFunc89(x.data(), n), -20003);
    EXPECT_EQ(ZMXFunc113(x.data(), n, 3), -20003);
    EXPECT_EQ(ZMXFunc279(x.data(), n, 60), -20003);
    EXPECT_EQ(ZMXFunc281(x.data(), n, 1, 0), -20003);
  }
  EXPECT_EQ(ZMXFunc283(x.data(), 0, props), -20003);
  EXPECT_EQ(x, data);
}

TEST(WindowExports, ParameterMappingOfTheByCodeEntryPoints) {
  const int n = 16;
  auto check = [&](int code, double mapped_parameter, double export_parameter) {
    auto want = Generate(code, mapped_parameter, n, qm::signal::WindowForm::kPeriodic);
    qm::signal::WindowPropertiesRecord p;
    ASSERT_EQ(qm::signal::ComputeWindowProperties(want.data(), n, &p), 0);
    auto x = Ones(n);
    double props[2];
    ASSERT_EQ(ZMXFunc337(x.data(), n, code, export_parameter, props), 0);
    for (int i = 0; i < n; ++i) EXPECT_NEAR(x[i], want[i] / p.coherent_gain, 1e-14) << code;
    EXPECT_NEAR(props[0], p.enbw, 1e-14);
    auto s = Ones(n);
    ASSERT_EQ(ZMXFunc281(s.data(), n, code, export_parameter), 0);
    auto sw = Generate(code, mapped_parameter, n, qm::signal::WindowForm::kSymmetric);
    for (int i = 0; i < n; ++i) EXPECT_NEAR(s[i], sw[i], 1e-15) << code;
  };
  check(61, 1000.0, 60.0);
  check(61, 1000.0, -5.0);
  check(61, 1.0, 0.0);
  check(62, 0.2, -1.0);
  check(62, 0.3, 0.3);
  check(60, 5.0, 5.0);
  // ScaledWindow passes 0 unmapped: Kaiser with beta 0 is flat.
  auto x = Ones(n);
  double props[2];
  ASSERT_EQ(ZMXFunc152(x.data(), n, 60, props), 0);
  EXPECT_EQ(x, Ones(n));
  EXPECT_EQ(props[0], 1.0);
}

TEST(WindowExports, ScratchFailureLeavesDataAndReportsNaN) {
  std::vector<double> x = {1, 2, 3, 4, 5, 6};
  const auto data = x;
  double props[2] = {0, 0};
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc89(x.data(), 6), -20001);
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc279(x.data(), 6, 80), -20001);
  qm::SetWorkspaceFailureCountdown(2);
  EXPECT_EQ(ZMXFunc279(x.data(), 6, 80), -20001);
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc281(x.data(), 6, 30, 0), -20001);
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc152(x.data(), 6, 33, props), -20001);
  EXPECT_TRUE(std::isnan(props[0]) && std::isnan(props[1]));
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc152(x.data(), 6, 7, props), -20001);
  EXPECT_TRUE(std::isnan(props[1]));
  qm::SetWorkspaceFailureCountdown(0);
  EXPECT_EQ(x, data);
}

}  // namespace
