// Windowed-sinc FIR design: SciPy's firwin for every type and window of the
// named exports, exact symmetry, the selector and Kaiser mappings, and the
// checks in their order with the coefficients left alone.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <limits>
#include <sstream>
#include <string>
#include <vector>

#include "frame/workspace.h"
#include "qmanlys.h"

namespace {

using Vec = std::vector<double>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kSentinel = -777.25;

struct Firwin {
  int32_t type = 0, taps = 0, code = 0;
  double fs = 0, f1 = 0, f2 = 0, parameter = 0;
  Vec h;
};

std::vector<Firwin> LoadFirwin() {
  std::vector<Firwin> designs;
  std::ifstream in(std::string(QM_TEST_DATA_DIR) + "/fir_firwin.txt");
  std::string text;
  while (std::getline(in, text)) {
    std::istringstream line(text);
    std::string tag;
    line >> tag;
    if (tag == "design") {
      Firwin d;
      line >> d.type >> d.fs >> d.f1 >> d.f2 >> d.taps >> d.code >> d.parameter;
      designs.push_back(d);
    } else if (tag == "h") {
      double v;
      while (line >> v) designs.back().h.push_back(v);
    }
  }
  return designs;
}

// The named export of a design's type and window (selector or Kaiser).
int32_t NamedExport(const Firwin& d, double* coef) {
  if (d.code == 60) {
    switch (d.type) {
      case 0:
        return ZMXFunc112(d.fs, d.f1, d.taps, coef, d.parameter);
      case 1:
        return ZMXFunc111(d.fs, d.f1, d.taps, coef, d.parameter);
      case 2:
        return ZMXFunc109(d.fs, d.f1, d.f2, d.taps, coef, d.parameter);
      default:
        return ZMXFunc110(d.fs, d.f1, d.f2, d.taps, coef, d.parameter);
    }
  }
  const int32_t selector = d.code == 0    ? 1
                           : d.code == 30 ? 2
                           : d.code == 1  ? 3
                           : d.code == 2  ? 4
                                          : 5;
  switch (d.type) {
    case 0:
      return ZMXFunc189(d.fs, d.f1, d.taps, coef, selector);
    case 1:
      return ZMXFunc188(d.fs, d.f1, d.taps, coef, selector);
    case 2:
      return ZMXFunc186(d.fs, d.f1, d.f2, d.taps, coef, selector);
    default:
      return ZMXFunc187(d.fs, d.f1, d.f2, d.taps, coef, selector);
  }
}

void ExpectSymmetric(const Vec& h) {
  for (size_t i = 0; i < h.size(); ++i) ASSERT_EQ(h[i], h[h.size() - 1 - i]) << i;
}

TEST(FirWindowDesign, MatchesScipyFirwinForEveryTypeAndWindow) {
  const std::vector<Firwin> designs = LoadFirwin();
  ASSERT_EQ(designs.size(), 72u);
  for (const Firwin& d : designs) {
    SCOPED_TRACE("type " + std::to_string(d.type) + " taps " + std::to_string(d.taps) + " window " +
                 std::to_string(d.code) + " parameter " + std::to_string(d.parameter));
    // The Kaiser window's I0 series stops at terms below 1e-8.
    const double tolerance = d.code == 60 ? 1e-7 : 1e-13;
    Vec by_code(d.taps, kSentinel), named(d.taps, kSentinel);
    ASSERT_EQ(ZMXFunc335(d.type, d.fs, d.f1, d.f2, d.taps, d.code, d.parameter, by_code.data()), 0);
    ASSERT_EQ(NamedExport(d, named.data()), 0);
    for (int32_t i = 0; i < d.taps; ++i) {
      EXPECT_NEAR(by_code[i], d.h[i], tolerance) << i;
      EXPECT_EQ(named[i], by_code[i]) << i;
    }
    ExpectSymmetric(by_code);
    if (d.code == 0) {
      Vec ideal(d.taps, kSentinel);
      ASSERT_EQ(ZMXFunc79(d.type, d.fs, d.f1, d.f2, d.taps, ideal.data()), 0);
      EXPECT_EQ(ideal, by_code);
    }
  }
}

TEST(FirWindowDesign, SmallLengthsCentresAndMappings) {
  double one = kSentinel;
  ASSERT_EQ(ZMXFunc189(1000, 100, 1, &one, 4), 0);
  EXPECT_DOUBLE_EQ(one, 0.2);  // one tap: 2 fc/fs, no window
  // One tap takes no window, so not even an unknown window code fails.
  ASSERT_EQ(ZMXFunc335(0, 1000, 100, 0, 1, 999, 0, &one), 0);
  EXPECT_DOUBLE_EQ(one, 0.2);

  Vec h(11), g(11);
  ASSERT_EQ(ZMXFunc188(1000, 100, 11, h.data(), 1), 0);
  EXPECT_DOUBLE_EQ(h[5], 1 - 0.2);
  ASSERT_EQ(ZMXFunc187(1000, 100, 300, 11, h.data(), 1), 0);
  EXPECT_DOUBLE_EQ(h[5], 1 - 0.4);
  // The cut-off at fs/2 passes: an all-pass impulse (zeros to rounding).
  ASSERT_EQ(ZMXFunc79(0, 1000, 500, 0, 11, h.data()), 0);
  for (int i = 0; i < 11; ++i) EXPECT_NEAR(h[i], i == 5 ? 1 : 0, 1e-16) << i;

  // Selectors outside 1..5 mean Hamming.
  ASSERT_EQ(ZMXFunc186(1000, 100, 200, 11, g.data(), 4), 0);
  for (int32_t selector : {0, 6, 7, -1}) {
    ASSERT_EQ(ZMXFunc186(1000, 100, 200, 11, h.data(), selector), 0);
    EXPECT_EQ(h, g) << selector;
  }
  // A negative or NaN beta means 4.5.
  ASSERT_EQ(ZMXFunc112(1000, 100, 11, g.data(), 4.5), 0);
  for (double beta : {-1.0, kNaN, -kInf}) {
    ASSERT_EQ(ZMXFunc112(1000, 100, 11, h.data(), beta), 0);
    EXPECT_EQ(h, g) << beta;
  }
  // Lowpass and highpass ignore f2.
  ASSERT_EQ(ZMXFunc335(1, 1000, 100, 0, 11, 2, 0, g.data()), 0);
  ASSERT_EQ(ZMXFunc335(1, 1000, 100, kNaN, 11, 2, 0, h.data()), 0);
  EXPECT_EQ(h, g);
}

TEST(FirWindowDesign, ChecksComeInTheirOrderAndLeaveCoefUntouched) {
  struct Case {
    const char* what;
    int32_t type;
    double fs, f1, f2;
    int32_t taps, code;
    int32_t expected;
  };
  const Case cases[] = {
      {"type 4 before taps", 4, 1000, 100, 200, 0, 2, -20061},
      {"type -1", -1, 1000, 100, 200, 11, 2, -20061},
      {"taps 0 before the edges", 0, 1000, 900, 0, 0, 2, -20021},
      {"f1 above fs/2 before fs", 0, -1, 100, 0, 11, 2, -20020},
      {"f2 above fs/2", 2, 1000, 100, 600, 11, 2, -20020},
      {"f2 infinite", 2, 1000, 100, kInf, 11, 2, -20020},
      {"fs 0", 0, 0, 0, 0, 11, 2, -20023},
      {"fs NaN", 0, kNaN, 100, 0, 11, 2, -20023},
      {"fs infinite", 2, kInf, 100, 200, 11, 2, -20023},
      {"f1 NaN", 0, 1000, kNaN, 0, 11, 2, -20023},
      {"f1 0", 1, 1000, 0, 0, 11, 2, -20023},
      {"f2 NaN", 3, 1000, 100, kNaN, 11, 2, -20023},
      {"f2 0", 2, 1000, 100, 0, 11, 2, -20023},
      {"f1 = f2", 2, 1000, 100, 100, 11, 2, -20023},
      {"f1 > f2", 2, 1000, 200, 100, 11, 2, -20023},
      {"even highpass after the edges", 1, 1000, 100, 0, 10, 2, -20033},
      {"even bandstop", 3, 1000, 100, 200, 10, 2, -20033},
      {"even lowpass reaches the window", 0, 1000, 100, 0, 10, 99, -20061},
      {"unknown window code", 2, 1000, 100, 200, 10, 99, -20061},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Vec coef(16, kSentinel);
    EXPECT_EQ(ZMXFunc335(c.type, c.fs, c.f1, c.f2, c.taps, c.code, 0, coef.data()), c.expected);
    EXPECT_EQ(coef, Vec(16, kSentinel));
    if (c.code == 2) {  // the ideal response shares every check but the window's
      EXPECT_EQ(ZMXFunc79(c.type, c.fs, c.f1, c.f2, c.taps, coef.data()), c.expected);
      EXPECT_EQ(coef, Vec(16, kSentinel));
    }
  }
  EXPECT_EQ(ZMXFunc79(0, 1000, 100, 0, 11, nullptr), -20008);
  EXPECT_EQ(ZMXFunc110(1000, 100, 200, 10, nullptr, 1), -20008);
  Vec coef(16, kSentinel);
  EXPECT_EQ(ZMXFunc111(1000, 100, 10, coef.data(), 1), -20033);
  EXPECT_EQ(ZMXFunc187(1000, 200, 100, 11, coef.data(), 1), -20023);
  // The window's scratch is taken before coef is written.
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc189(1000, 100, 11, coef.data(), 3), -20001);
  qm::SetWorkspaceFailureCountdown(0);
  EXPECT_EQ(coef, Vec(16, kSentinel));
}

}  // namespace
