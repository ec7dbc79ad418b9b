// Spectrum unit conversion: worked values, the labels and values of every
// kind, scale and flag combination, the input left alone, in-place use and
// the status codes in their order.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "frame/status.h"
#include "frame/workspace.h"
#include "qmanlys.h"

namespace {

using Vec = std::vector<double>;

struct Result {
  int32_t status;
  Vec values;
  std::string label;
};

Result Convert(const Vec& x, int kind, int scale, int flags, double df, const double* w,
               const char* label) {
  char text[64];
  std::strcpy(text, label);
  Result r{0, Vec(x.size(), -1.0), ""};
  r.status = ZMXFunc162(x.data(), x.size(), kind, scale, flags, df, w, r.values.data(), text);
  r.label = text;
  return r;
}

void ExpectValues(const Vec& got, const Vec& want, const std::string& what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  for (size_t i = 0; i < want.size(); ++i)
    EXPECT_NEAR(got[i], want[i], 1e-14 * std::max(1.0, std::fabs(want[i])))
        << what << " [" << i << "]";
}

TEST(SpectrumUnitsTest, WorkedValues) {
  const Vec p = {4, 4, 4};
  Result r = Convert(p, 0, 0, 0, 1.0, nullptr, "V");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.values, (Vec{2, 2, 2}));
  EXPECT_EQ(r.label, "Vrms");
  r = Convert(p, 0, 0, 1, 1.0, nullptr, "V");
  EXPECT_EQ(r.values, (Vec{2, 2.8284271247461903, 2.8284271247461903}));
  EXPECT_EQ(r.label, "Vpk");
  r = Convert(p, 0, 1, 2, 1.0, nullptr, "V");
  ExpectValues(r.values, Vec(3, 6.0205999132796239), "dB");
  EXPECT_EQ(r.label, "dBVrms");
  // dBm: no doubling, the old label dropped.
  const double w = 2.0;
  r = Convert(p, 0, 2, 7, 0.5, &w, "Volt");
  ExpectValues(r.values, Vec(3, 10 * std::log10(4 / 0.6084)), "dBm");
  EXPECT_EQ(r.label, "dBm");
  // Other kind: scale 0 copies and empties the label; dB is 20 log10 |x|.
  const Vec other = {-10, 0.1, 1};
  r = Convert(other, 2, 0, 5, 1.0, nullptr, "V");
  EXPECT_EQ(r.values, other);
  EXPECT_EQ(r.label, "");
  r = Convert(other, 2, 2, 0, 1.0, nullptr, "V");
  ExpectValues(r.values, Vec{20, -20, 0}, "other dB");
  EXPECT_EQ(r.label, "dB");
}

TEST(SpectrumUnitsTest, EveryKindScaleAndFlagCombination) {
  const char* const kLabels[3][8] = {
      {"Vrms", "Vpk", "Vrms^2", "Vpk^2", "Vrms/rtHz", "Vpk/rtHz", "Vrms^2/Hz", "Vpk^2/Hz"},
      {"dBVrms", "dBVpk", "dBVrms", "dBVpk", "dBVrms/rtHz", "dBVpk/rtHz", "dBVrms^2/Hz",
       "dBVpk^2/Hz"},
      {"dBm", "dBm", "dBm", "dBm", "dBm", "dBm", "dBm", "dBm"},
  };
  // One spectrum as power and as amplitude; df·w = 0.75.
  const Vec power = {4, 9, 0.25, 1e-6};
  const Vec amplitude = {2, 3, 0.5, 1e-3};
  const double w = 1.5, df = 0.5;
  for (int kind : {0, 1}) {
    for (int scale = 0; scale < 3; ++scale) {
      for (int flags = 0; flags < 8; ++flags) {
        const std::string tag = "kind " + std::to_string(kind) + " scale " + std::to_string(scale) +
                                " flags " + std::to_string(flags);
        const Vec& x = kind == 0 ? power : amplitude;
        const Vec x0 = x;
        Result r = Convert(x, kind, scale, flags, df, &w, "V");
        ASSERT_EQ(r.status, 0) << tag;
        EXPECT_EQ(x, x0) << tag;
        EXPECT_EQ(r.label, kLabels[scale][flags]) << tag;
        Vec want(power.size());
        for (size_t i = 0; i < power.size(); ++i) {
          double v = power[i];
          if (flags & 4) v /= 0.75;
          if ((flags & 1) && scale != 2 && i > 0) v *= 2;
          if (scale == 0) want[i] = flags & 2 ? v : std::sqrt(v);
          if (scale == 1) want[i] = 10 * std::log10(v);
          if (scale == 2) want[i] = 10 * std::log10(v / 0.6084);
        }
        ExpectValues(r.values, want, tag);
      }
    }
  }
  // The old label goes in between the prefix and the suffix; an empty one too.
  EXPECT_EQ(Convert(power, 0, 1, 6, df, &w, "g").label, "dBgrms^2/Hz");
  EXPECT_EQ(Convert(power, 0, 0, 3, df, nullptr, "").label, "pk^2");
}

TEST(SpectrumUnitsTest, InPlaceGivesTheSameValues) {
  Vec x = {2, 3, 0.5};
  const double w = 1.2;
  Result want = Convert(x, 1, 0, 5, 0.25, &w, "A");
  char text[32] = "A";
  ASSERT_EQ(ZMXFunc162(x.data(), 3, 1, 0, 5, 0.25, &w, x.data(), text), 0);
  EXPECT_EQ(x, want.values);
  EXPECT_EQ(std::string(text), "Apk/rtHz");
}

TEST(SpectrumUnitsTest, StatusCodesInTheirOrderChangeNothing) {
  const Vec x = {1, 2, 3};
  const double w = 1.0, zero = 0.0, inf = INFINITY;
  struct Case {
    const char* what;
    int64_t n;
    int kind, scale, flags;
    double df;
    const double* w;
    bool null_label;
    int32_t status;
  };
  const Case cases[] = {
      {"n big", int64_t{1} << 32, 9, 0, 0, 1, &w, false, -20046},
      {"null label", 3, 0, 0, 0, 1, &w, true, -20008},
      {"n=0", 0, 9, 0, 0, 1, &w, false, -20003},
      {"n<0", -1, 0, 0, 0, 1, &w, false, -20003},
      {"kind 3", 3, 3, 0, 0, 1, &w, false, -20061},
      {"kind -1", 3, -1, 0, 0, 1, &w, false, -20061},
      {"scale 3", 3, 0, 3, 0, 1, &w, false, -20061},
      {"scale -1", 3, 1, -1, 0, 1, &w, false, -20061},
      {"flags 8", 3, 0, 0, 8, 1, nullptr, false, -20061},
      {"flags -1", 3, 0, 0, -1, 1, &w, false, -20061},
      {"density without w", 3, 0, 0, 4, 1, nullptr, false, -20008},
      {"density df 0", 3, 1, 1, 4, 0, &w, false, -20140},
      {"density w 0", 3, 0, 0, 6, 1, &zero, false, -20140},
      {"density df<0", 3, 0, 2, 4, -1, &w, false, -20140},
      {"density w inf", 3, 0, 0, 4, 1, &inf, false, -20140},
      {"density df nan", 3, 0, 0, 4, NAN, &w, false, -20140},
  };
  for (const Case& c : cases) {
    Vec out(3, -4.0);
    char label[16] = "V";
    EXPECT_EQ(ZMXFunc162(x.data(), c.n, c.kind, c.scale, c.flags, c.df, c.w, out.data(),
                         c.null_label ? nullptr : label),
              c.status)
        << c.what;
    EXPECT_EQ(out, Vec(3, -4.0)) << c.what;
    EXPECT_STREQ(label, "V") << c.what;
  }
  char v[4] = "V";
  EXPECT_EQ(ZMXFunc162(nullptr, 3, 0, 0, 0, 1, &w, Vec(3).data(), v), -20008);
  // Without the density flag (or for kind 2) w is not read: null and a bad
  // df are accepted.
  EXPECT_EQ(Convert(x, 0, 0, 3, 0.0, nullptr, "V").status, 0);
  EXPECT_EQ(Convert(x, 2, 1, 4, 0.0, nullptr, "V").status, 0);
  // No memory for the label copy.
  Vec out(3, -4.0);
  char label[16] = "V";
  qm::SetWorkspaceFailureCountdown(1);
  const int32_t s = ZMXFunc162(x.data(), 3, 0, 0, 0, 1, &w, out.data(), label);
  qm::SetWorkspaceFailureCountdown(0);
  EXPECT_EQ(s, -20001);
  EXPECT_EQ(out, Vec(3, -4.0));
  EXPECT_STREQ(label, "V");
}

}  // namespace
