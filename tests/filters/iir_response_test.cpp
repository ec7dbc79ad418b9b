// Designed filters against the SciPy reference designs (bilinear transform
// with prewarped edges): impulse responses of the one-call exports and of
// the records, magnitude responses of the records' sections and of their
// expansions, and the pass-band and stop-band masks of every family.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "iir_test_util.h"

namespace {

using qm::test::ReferenceDesign;

const std::vector<ReferenceDesign>& Designs() {
  static const std::vector<ReferenceDesign> designs = qm::test::LoadReferenceDesigns();
  return designs;
}

// Relative tolerance. The elliptic design's inverse Jacobi iteration stops
// when its means agree to 1.2e-7, but it converges quadratically, so the
// elliptic designs meet the same bound as the others (errors seen: 5e-12).
double Tolerance(const ReferenceDesign&) { return 1e-9; }

double MaxAbs(const std::vector<double>& v) {
  double m = 0;
  for (double x : v) m = std::max(m, std::fabs(x));
  return m;
}

// Largest |a - b| relative to the largest |b|.
double ScaledError(const std::vector<double>& a, const std::vector<double>& b) {
  double e = 0;
  for (size_t i = 0; i < b.size(); ++i) e = std::max(e, std::fabs(a[i] - b[i]));
  return e / MaxAbs(b);
}

// Magnitude error relative to the reference magnitude, with responses more
// than 80 dB below the peak compared absolutely at that level (the zeros of
// inverse Chebyshev and elliptic filters make relative errors meaningless).
double MagnitudeError(const ReferenceDesign& d, const std::vector<double>& mag) {
  const double floor = 1e-4 * MaxAbs(d.magnitude);
  double e = 0;
  for (size_t i = 0; i < mag.size(); ++i) {
    e = std::max(e, std::fabs(mag[i] - d.magnitude[i]) / std::max(d.magnitude[i], floor));
  }
  return e;
}

struct Record {
  explicit Record(const ReferenceDesign& d) : r(ZMXFunc233(d.type, d.order)) {}
  ~Record() { ZMXFunc234(r); }
  IirCascadeRecord* r;
};

TEST(IirResponse, ReferenceDataIsComplete) {
  ASSERT_GE(Designs().size(), 100u);
  for (const auto& d : Designs()) {
    ASSERT_EQ(d.magnitude.size(), 101u) << d.Name();
    ASSERT_EQ(d.impulse.size(), 48u) << d.Name();
  }
}

TEST(IirResponse, OneCallImpulseResponsesEqualTheReference) {
  for (const auto& d : Designs()) {
    if (d.family == "linord") continue;  // record designs only
    std::vector<double> x(d.impulse.size(), 0.0), y(x.size(), -1.0);
    x[0] = 1.0;
    ASSERT_EQ(qm::test::FilterOneCall(d, x.data(), static_cast<int64_t>(x.size()), y.data()), 0)
        << d.Name();
    EXPECT_LT(ScaledError(y, d.impulse), Tolerance(d)) << d.Name();
  }
}

TEST(IirResponse, RecordsMatchTheReferenceInTimeAndFrequency) {
  using std::numbers::pi;
  for (const auto& d : Designs()) {
    Record rec(d);
    ASSERT_NE(rec.r, nullptr);
    ASSERT_EQ(qm::test::DesignRecord(d, rec.r), 0) << d.Name();

    std::vector<double> x(d.impulse.size(), 0.0), y(x.size());
    x[0] = 1.0;
    ASSERT_EQ(ZMXFunc91(x.data(), static_cast<int64_t>(x.size()), rec.r, y.data()), 0);
    EXPECT_LT(ScaledError(y, d.impulse), Tolerance(d)) << d.Name() << " record impulse";
    if (d.family != "linord") {  // and the one-call filter (direct form I) agrees
      std::vector<double> one(x.size());
      ASSERT_EQ(qm::test::FilterOneCall(d, x.data(), static_cast<int64_t>(x.size()), one.data()),
                0);
      EXPECT_LT(ScaledError(one, y), 1e-12) << d.Name() << " one-call against record";
    }

    // The sections' product, the record's expansion and the one-shot
    // coefficients all give the reference magnitude response.
    const int32_t length = d.type < 2 ? d.order + 1 : 2 * d.order + 1;
    std::vector<double> den(length), num(length), den1(length), num1(length);
    ASSERT_EQ(ZMXFunc236(rec.r, den.data(), length, num.data(), length), 0) << d.Name();
    ASSERT_EQ(qm::test::OneShotCoefficients(d, den1.data(), length, num1.data(), length), 0);
    EXPECT_EQ(den, den1) << d.Name();
    EXPECT_EQ(num, num1) << d.Name();
    EXPECT_EQ(den[0], 1.0);

    std::vector<double> cascade, expanded;
    for (size_t i = 0; i < d.magnitude.size(); ++i) {
      const double w = 2.0 * pi * d.Frequency(i) / d.fs;
      cascade.push_back(std::abs(qm::test::RecordResponse(*rec.r, w)));
      expanded.push_back(std::abs(qm::test::Polynomial(num.data(), length, w) /
                                  qm::test::Polynomial(den.data(), length, w)));
    }
    EXPECT_LT(MagnitudeError(d, cascade), Tolerance(d)) << d.Name() << " sections";
    // Evaluated in expanded form the response loses accuracy with the order
    // (the roots cluster): about 1e-5 for the order 10 bands here.
    EXPECT_LT(MagnitudeError(d, expanded), 1e-4) << d.Name() << " expansion";

    // The expansion is the product of the sections, computed here in long
    // double; for odd orders the products end in the padding zeros (one for
    // lowpass and highpass, two for bands).
    const int64_t sections = (d.order + 1) / 2, s = rec.r->aCount / sections;
    std::vector<long double> pd{1.0L}, pn{1.0L};
    for (int64_t k = 0; k < sections; ++k) {
      std::vector<long double> fd(s + 1, 1.0L), fn(s + 1), qd(pd.size() + s), qn(pd.size() + s);
      for (int64_t j = 0; j < s; ++j) fd[j + 1] = rec.r->a[k * s + j];
      for (int64_t j = 0; j <= s; ++j) fn[j] = rec.r->b[k * (s + 1) + j];
      for (size_t i = 0; i < pd.size(); ++i) {
        for (int64_t j = 0; j <= s; ++j) {
          qd[i + j] += pd[i] * fd[j];
          qn[i + j] += pn[i] * fn[j];
        }
      }
      pd.swap(qd);
      pn.swap(qn);
    }
    ASSERT_EQ(pd.size(), static_cast<size_t>(1 + sections * s));
    for (size_t i = length; i < pd.size(); ++i) {
      EXPECT_EQ(pd[i], 0.0L);
      EXPECT_EQ(pn[i], 0.0L);
    }
    long double scale_d = 0, scale_n = 0;
    for (int32_t i = 0; i < length; ++i) {
      scale_d = std::max(scale_d, std::fabs(pd[i]));
      scale_n = std::max(scale_n, std::fabs(pn[i]));
    }
    for (int32_t i = 0; i < length; ++i) {
      EXPECT_LT(std::fabs(den[i] - pd[i]), 1e-13L * scale_d) << d.Name() << " den " << i;
      EXPECT_LT(std::fabs(num[i] - pn[i]), 1e-13L * scale_n) << d.Name() << " num " << i;
    }
  }
}

// The defining properties of each family, at the band edges and over the
// pass and stop bands (in prototype frequency: passband |W| <= 1).
TEST(IirResponse, MagnitudesKeepTheirFamilyMasks) {
  using std::numbers::pi;
  for (const auto& d : Designs()) {
    Record rec(d);
    ASSERT_EQ(qm::test::DesignRecord(d, rec.r), 0);
    const double ripple_floor = std::pow(10.0, -d.ripple / 20.0);
    const double stop_ceiling = std::pow(10.0, -d.attenuation / 20.0);
    auto mag = [&](double f) {
      return std::abs(qm::test::RecordResponse(*rec.r, 2 * pi * f / d.fs));
    };
    // At the edges (stop edge for the inverse Chebyshev family).
    for (double edge : d.type < 2 ? std::vector<double>{d.fl} : std::vector<double>{d.fl, d.fh}) {
      const double at = mag(edge);
      if (d.family == "butter") {
        EXPECT_NEAR(at, std::sqrt(0.5), 1e-12) << d.Name();
      }
      if (d.family == "cheby1" || d.family == "ellip") {
        EXPECT_NEAR(at, ripple_floor, 1e-9) << d.Name();
      }
      if (d.family == "cheby2") {
        EXPECT_NEAR(at, stop_ceiling, 1e-9) << d.Name();
      }
    }
    for (int i = 1; i < 400; ++i) {
      const double f = i * d.fs / 800.0;
      const double w = qm::test::PrototypeFrequency(d, f);
      const double m = mag(f);
      if (std::fabs(w - 1.0) < 1e-9) continue;  // the edges are checked above
      EXPECT_LE(m, 1.0 + 1e-12) << d.Name() << " at " << f;
      if (w < 1.0 && (d.family == "cheby1" || d.family == "ellip")) {
        EXPECT_GE(m, ripple_floor - 1e-12) << d.Name() << " passband at " << f;
      }
      if (w > 1.0 && d.family == "cheby2") {
        EXPECT_LE(m, stop_ceiling + 1e-12) << d.Name() << " stopband at " << f;
      }
      if (d.family == "ellip" && w > 1.0 / d.modulus) {
        EXPECT_LE(m, stop_ceiling * (1 + 1e-6)) << d.Name() << " stopband at " << f;
      }
      if (d.family == "butter") {
        // Monotonic in |W|: above -3 dB inside the band, below it outside.
        EXPECT_EQ(m > std::sqrt(0.5), w < 1.0) << d.Name() << " at " << f;
      }
    }
  }
}

}  // namespace
