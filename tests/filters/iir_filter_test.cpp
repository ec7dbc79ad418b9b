// The one-call IIR filters: argument checks and their order, outputs in
// place and apart, the literal section recursions, and samples that are the
// same bit for bit in every build type.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <limits>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "qmanlys.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

struct CheckCase {
  const char* what;
  std::function<int32_t(const double*, int64_t, double*)> call;
  int32_t expected;
};

TEST(IirFilter, ArgumentChecksComeInTheirOrder) {
  const double fs = 1000;
  const std::vector<CheckCase> cases = {
      {"count 0", [&](auto x, auto, auto y) { return ZMXFunc21(x, 0, fs, 100, 2, y); }, -20003},
      {"count too large, before all else",
       [&](auto x, auto, auto y) { return ZMXFunc21(x, int64_t{1} << 31, 0, 0, 0, y); }, -20046},
      {"order 0 before the cut-off",
       [&](auto x, auto n, auto y) { return ZMXFunc21(x, n, fs, 0, 0, y); }, -20021},
      {"fc 0 is a band error, not a cut-off error",
       [&](auto x, auto n, auto y) { return ZMXFunc21(x, n, fs, 0, 2, y); }, -20023},
      {"fs 0", [&](auto x, auto n, auto y) { return ZMXFunc20(x, n, 0, 100, 2, y); }, -20023},
      {"fc NaN", [&](auto x, auto n, auto y) { return ZMXFunc21(x, n, fs, kNaN, 2, y); }, -20023},
      {"fs infinite", [&](auto x, auto n, auto y) { return ZMXFunc21(x, n, kInf, 1, 2, y); },
       -20023},
      {"fc above fs/2",
       [&](auto x, auto n, auto y) { return ZMXFunc21(x, n, fs, 500.0000001, 2, y); }, -20020},
      {"fc at fs/2", [&](auto x, auto n, auto y) { return ZMXFunc20(x, n, fs, 500, 3, y); }, 0},
      {"ripple 0", [&](auto x, auto n, auto y) { return ZMXFunc27(x, n, fs, 100, 0, 2, y); },
       -20024},
      {"ripple NaN", [&](auto x, auto n, auto y) { return ZMXFunc26(x, n, fs, 100, kNaN, 2, y); },
       -20024},
      {"attenuation 0", [&](auto x, auto n, auto y) { return ZMXFunc101(x, n, fs, 100, 0, 2, y); },
       -20025},
      {"attenuation infinite",
       [&](auto x, auto n, auto y) { return ZMXFunc100(x, n, fs, 100, kInf, 2, y); }, -20025},
      {"elliptic ripple 0 before attenuation 0",
       [&](auto x, auto n, auto y) { return ZMXFunc64(x, n, fs, 100, 0, 0, 2, y); }, -20024},
      {"elliptic attenuation 0",
       [&](auto x, auto n, auto y) { return ZMXFunc63(x, n, fs, 100, 1, 0, 2, y); }, -20025},
      {"elliptic ripple == attenuation",
       [&](auto x, auto n, auto y) { return ZMXFunc64(x, n, fs, 100, 40, 40, 2, y); }, -20028},
      {"band fl 0", [&](auto x, auto n, auto y) { return ZMXFunc16(x, n, fs, 0, 200, 2, y); },
       -20023},
      {"band fh 0 before fl > fh",
       [&](auto x, auto n, auto y) { return ZMXFunc17(x, n, fs, 100, 0, 2, y); }, -20023},
      {"Butterworth band fl == fh",
       [&](auto x, auto n, auto y) { return ZMXFunc16(x, n, fs, 200, 200, 2, y); }, -20023},
      {"Butterworth band width before fh > fs/2",
       [&](auto x, auto n, auto y) { return ZMXFunc16(x, n, fs, 700, 600, 2, y); }, -20023},
      {"Chebyshev band: ripple before the band width",
       [&](auto x, auto n, auto y) { return ZMXFunc22(x, n, fs, 200, 200, 0, 2, y); }, -20024},
      {"Chebyshev band fl == fh",
       [&](auto x, auto n, auto y) { return ZMXFunc23(x, n, fs, 200, 200, 1, 2, y); }, -20023},
      {"inverse Chebyshev band fl > fh",
       [&](auto x, auto n, auto y) { return ZMXFunc96(x, n, fs, 300, 200, 40, 2, y); }, -20023},
      {"elliptic band: ripple >= attenuation before the band width",
       [&](auto x, auto n, auto y) { return ZMXFunc59(x, n, fs, 200, 200, 50, 40, 2, y); }, -20028},
      {"band fh above fs/2",
       [&](auto x, auto n, auto y) { return ZMXFunc60(x, n, fs, 200, 501, 1, 40, 2, y); }, -20020},
      {"band fh at fs/2",
       [&](auto x, auto n, auto y) { return ZMXFunc97(x, n, fs, 200, 500, 40, 3, y); }, 0},
  };
  for (const auto& c : cases) {
    std::vector<double> x = {1, 2, 3, 4}, y = {9, 9, 9, 9};
    EXPECT_EQ(c.call(x.data(), 4, y.data()), c.expected) << c.what;
    if (c.expected != 0) {
      EXPECT_EQ(y, std::vector<double>(4, 9)) << c.what << ": output written";
    }
    EXPECT_EQ(x, (std::vector<double>{1, 2, 3, 4})) << c.what << ": input changed";
  }
  EXPECT_EQ(ZMXFunc21(nullptr, 4, fs, 100, 2, nullptr), -20008);
}

TEST(IirFilter, OutputInPlaceOrApart) {
  std::vector<double> x(64);
  for (size_t i = 0; i < x.size(); ++i) x[i] = std::sin(0.3 * i) + (i % 5 == 0 ? 1.0 : 0.0);
  const std::vector<double> original = x;
  std::vector<double> apart(x.size());
  ASSERT_EQ(ZMXFunc59(x.data(), 64, 1000, 100, 250, 0.5, 45, 3, apart.data()), 0);
  EXPECT_EQ(x, original);  // a distinct output leaves the input alone

  std::vector<double> in_place = x;
  ASSERT_EQ(ZMXFunc59(in_place.data(), 64, 1000, 100, 250, 0.5, 45, 3, nullptr), 0);
  EXPECT_EQ(in_place, apart);
  std::vector<double> same = x;
  ASSERT_EQ(ZMXFunc59(same.data(), 64, 1000, 100, 250, 0.5, 45, 3, same.data()), 0);
  EXPECT_EQ(same, apart);
}

// The recursions of the lowpass forms, written out: order 1 runs only the
// first-order section, order 2 only one pair.
TEST(IirFilter, LowOrdersRunTheClassicalRecursions) {
  const double fs = 1000, fc = 130, pi = std::numbers::pi;
  const double k = std::tan(pi * fc / fs);
  std::vector<double> x = {1, 0.5, -2, 3, 0, 0, 1, 4};
  const int n = static_cast<int>(x.size());

  std::vector<double> y1(n), want1(n);
  ASSERT_EQ(ZMXFunc21(x.data(), n, fs, fc, 1, y1.data()), 0);
  for (int i = 0; i < n; ++i) {
    const double xp = i ? x[i - 1] : 0, yp = i ? want1[i - 1] : 0;
    want1[i] = k / (k + 1) * (x[i] + xp) + (1 - k) / (k + 1) * yp;
  }
  for (int i = 0; i < n; ++i) EXPECT_DOUBLE_EQ(y1[i], want1[i]) << i;

  // Butterworth pair k = 0: c = cos(pi/2 + pi/4).
  std::vector<double> y2(n), want2(n);
  ASSERT_EQ(ZMXFunc21(x.data(), n, fs, fc, 2, y2.data()), 0);
  const double c = std::cos(0.75 * pi), d = k * k + 1 - 2 * k * c;
  for (int i = 0; i < n; ++i) {
    auto xs = [&](int j) { return i - j >= 0 ? x[i - j] : 0.0; };
    auto ys = [&](int j) { return i - j >= 0 ? want2[i - j] : 0.0; };
    want2[i] = k * k / d * (xs(0) + 2 * xs(1) + xs(2)) + (2 - 2 * k * k) / d * ys(1) -
               (k * k + 1 + 2 * k * c) / d * ys(2);
  }
  for (int i = 0; i < n; ++i) EXPECT_DOUBLE_EQ(y2[i], want2[i]) << i;

  // A single sample sees zero history in every section.
  double one = 3.0, out = 0;
  std::vector<double> impulse(4, 0.0), h(4);
  impulse[0] = 1.0;
  ASSERT_EQ(ZMXFunc60(&one, 1, fs, 100, 300, 1, 40, 5, &out), 0);
  ASSERT_EQ(ZMXFunc60(impulse.data(), 4, fs, 100, 300, 1, 40, 5, h.data()), 0);
  EXPECT_DOUBLE_EQ(out, 3.0 * h[0]);
}

// The filter sources are compiled without fused multiply-add contraction:
// the samples must be identical in the normal, sanitizer and any other
// build. The fingerprints (FNV-1a over the bit patterns) were recorded by a
// normal build; QM_IIR_RECORD_FINGERPRINTS=1 prints them again.
uint64_t Fingerprint(const std::vector<double>& v) {
  uint64_t h = 1469598103934665603ull;
  for (double d : v) {
    uint64_t bits;
    std::memcpy(&bits, &d, sizeof bits);
    for (int i = 0; i < 8; ++i) {
      h ^= (bits >> (8 * i)) & 0xff;
      h *= 1099511628211ull;
    }
  }
  return h;
}

TEST(IirFilter, SamplesAreTheSameInEveryBuild) {
  std::vector<double> x(2000);
  for (size_t i = 0; i < x.size(); ++i) {
    x[i] = static_cast<double>((i * 7919) % 1009) / 1009.0 - 0.5;  // no libm involved
  }
  auto run = [&](auto f) {
    std::vector<double> y(x.size());
    EXPECT_EQ(f(y.data()), 0);
    return Fingerprint(y);
  };
  const int64_t n = static_cast<int64_t>(x.size());
  const std::vector<std::pair<std::string, uint64_t>> got = {
      {"butter_bandstop_5",
       run([&](double* y) { return ZMXFunc17(x.data(), n, 1000, 80, 240, 5, y); })},
      {"cheby_highpass_6",
       run([&](double* y) { return ZMXFunc26(x.data(), n, 1000, 90, 0.7, 6, y); })},
      {"invcheb_bandpass_4",
       run([&](double* y) { return ZMXFunc96(x.data(), n, 1000, 80, 240, 55, 4, y); })},
      {"ellip_lowpass_7",
       run([&](double* y) { return ZMXFunc64(x.data(), n, 1000, 120, 0.3, 70, 7, y); })},
  };
  if (std::getenv("QM_IIR_RECORD_FINGERPRINTS")) {
    for (const auto& [name, h] : got)
      std::printf("%s %llu\n", name.c_str(), static_cast<unsigned long long>(h));
  }
  std::ifstream in(std::string(QM_TEST_DATA_DIR) + "/iir_fingerprints.txt");
  std::string name;
  unsigned long long want;
  size_t matched = 0;
  while (in >> name >> want) {
    for (const auto& [n2, h] : got) {
      if (n2 == name) {
        EXPECT_EQ(h, want) << name;
        ++matched;
      }
    }
  }
  EXPECT_EQ(matched, got.size());
}

}  // namespace
