// The filters run all their sections sample by sample, in passes; these
// tests hold them to the plain form, each section over the whole signal
// before the next, bit for bit: the one-call filters of every family, band
// type and order (in place, apart and partly overlapping), and the cascade
// record (the same, plus blocks of any size, the state it keeps and reset).
// This file is compiled without fused multiply-add contraction, like the
// filters (extra.cmake), so that its reference rounds as they do.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "filters/iir_design.h"
#include "iir_test_util.h"
#include "qmanlys.h"

namespace {

using qm::filters::IirDesigner;
using qm::filters::IirFamily;
using qm::filters::IirParameters;
using qm::filters::IirSection;
using qm::filters::IirShape;
using qm::test::ReferenceDesign;

constexpr double kFs = 1000, kFl = 80, kFh = 240, kRipple = 0.5, kAttenuation = 45;

// An impulse, then a deterministic broadband signal (no libm involved).
std::vector<double> Signal(size_t n) {
  std::vector<double> x(n);
  for (size_t i = 0; i < n; ++i) {
    x[i] = static_cast<double>((i * 7919) % 1009) / 1009.0 - 0.5 + (i == 0 ? 1.0 : 0.0);
  }
  return x;
}

// Orders 1 to 10, and a few that need three or more passes.
std::vector<int32_t> Orders() {
  std::vector<int32_t> orders;
  for (int32_t o = 1; o <= 10; ++o) orders.push_back(o);
  for (int32_t o : {15, 17, 24}) orders.push_back(o);
  return orders;
}

// "" when equal bit for bit, else where and how they first differ.
std::string BitDifference(const double* got, const double* want, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    if (std::memcmp(&got[i], &want[i], sizeof(double)) != 0) {
      return "sample " + std::to_string(i) + ": " + std::to_string(got[i]) + " vs " +
             std::to_string(want[i]);
    }
  }
  return "";
}

// ---------------------------------------------------------------------------
// One-call filters.

struct FamilyCase {
  const char* name;  // as the reference designs spell it
  IirFamily family;
};
constexpr FamilyCase kFamilies[] = {{"butter", IirFamily::kButterworth},
                                    {"cheby1", IirFamily::kChebyshev},
                                    {"cheby2", IirFamily::kInverseChebyshev},
                                    {"ellip", IirFamily::kElliptic}};

ReferenceDesign Design(const char* family, int32_t type, int32_t order) {
  ReferenceDesign d;
  d.family = family;
  d.type = type;
  d.order = order;
  d.fs = kFs;
  d.fl = type < 2 ? 130 : kFl;
  d.fh = kFh;
  d.ripple = kRipple;
  d.attenuation = kAttenuation;
  return d;
}

// One section over y[0 .. n-1] in place, from rest: its recursion written out.
void ReferenceSection(const IirSection& s, double* y, size_t n) {
  const double* b = s.b;
  const double* a = s.a;
  double x1 = 0, x2 = 0, x3 = 0, x4 = 0, y1 = 0, y2 = 0, y3 = 0, y4 = 0;
  for (size_t i = 0; i < n; ++i) {
    const double x0 = y[i];
    double out = 0;
    switch (s.shape) {
      case IirShape::kSum1:
        out = b[0] * (x0 + x1) - a[0] * y1;
        break;
      case IirShape::kDiff1:
        out = b[0] * (x0 - x1) - a[0] * y1;
        break;
      case IirShape::kSum2:
        out = b[0] * (x0 + 2.0 * x1 + x2) - a[0] * y1 - a[1] * y2;
        break;
      case IirShape::kDiff2:
        out = b[0] * (x0 - 2.0 * x1 + x2) - a[0] * y1 - a[1] * y2;
        break;
      case IirShape::kSym2:
        out = b[0] * (x0 + x2) + b[1] * x1 - a[0] * y1 - a[1] * y2;
        break;
      case IirShape::kAnti2:
        out = b[0] * (x0 - x2) - a[0] * y1 - a[1] * y2;
        break;
      case IirShape::kBand4:
        out = b[0] * (x0 - 2.0 * x2 + x4) - a[0] * y1 - a[1] * y2 - a[2] * y3 - a[3] * y4;
        break;
      case IirShape::kSym4:
        out = b[0] * (x0 + x4) + b[1] * (x1 + x3) + b[2] * x2 - a[0] * y1 - a[1] * y2 - a[2] * y3 -
              a[3] * y4;
        break;
    }
    x4 = x3;
    x3 = x2;
    x2 = x1;
    x1 = x0;
    y4 = y3;
    y3 = y2;
    y2 = y1;
    y1 = out;
    y[i] = out;
  }
}

std::vector<double> ReferenceOneCall(IirFamily family, const ReferenceDesign& d,
                                     std::vector<double> y) {
  IirDesigner designer(
      IirParameters{family, d.type, d.order, d.fs, d.fl, d.fh, d.ripple, d.attenuation});
  for (int32_t k = 0; k < designer.SectionCount(); ++k) {
    ReferenceSection(designer.Next(), y.data(), y.size());
  }
  return y;
}

TEST(IirSampleMajor, OneCallFiltersEqualTheSectionBySectionForm) {
  const std::vector<double> x = Signal(300);
  const int64_t n = static_cast<int64_t>(x.size());
  for (const FamilyCase& f : kFamilies) {
    for (int32_t type = 0; type < 4; ++type) {
      for (int32_t order : Orders()) {
        const ReferenceDesign d = Design(f.name, type, order);
        const std::vector<double> want = ReferenceOneCall(f.family, d, x);

        std::vector<double> apart(x.size(), -7.0);
        ASSERT_EQ(qm::test::FilterOneCall(d, x.data(), n, apart.data()), 0) << d.Name();
        EXPECT_EQ(BitDifference(apart.data(), want.data(), want.size()), "") << d.Name();

        std::vector<double> in_place = x;
        ASSERT_EQ(qm::test::FilterOneCall(d, in_place.data(), n, in_place.data()), 0);
        EXPECT_EQ(BitDifference(in_place.data(), want.data(), want.size()), "")
            << d.Name() << " in place";
      }
    }
  }
}

// An output that starts a few samples after (or before) the input in the
// same buffer: the filter sees the input as it was on entry.
TEST(IirSampleMajor, OneCallOutputMayOverlapTheInputPartly) {
  const std::vector<double> x = Signal(200);
  const int64_t n = static_cast<int64_t>(x.size());
  for (const FamilyCase& f : kFamilies) {
    for (int32_t type = 0; type < 4; ++type) {
      const ReferenceDesign d = Design(f.name, type, 7);
      const std::vector<double> want = ReferenceOneCall(f.family, d, x);
      for (int shift : {3, -3}) {
        std::vector<double> buffer(x.size() + 3, 0.0);
        double* in = buffer.data() + (shift > 0 ? 0 : 3);
        std::memcpy(in, x.data(), x.size() * sizeof(double));
        ASSERT_EQ(qm::test::FilterOneCall(d, in, n, in + shift), 0);
        EXPECT_EQ(BitDifference(in + shift, want.data(), want.size()), "")
            << d.Name() << " shift " << shift;
      }
    }
  }
}

// ---------------------------------------------------------------------------
// The cascade record.

struct Record {
  Record(const ReferenceDesign& d) : r(ZMXFunc233(d.type, d.order)) {
    EXPECT_EQ(qm::test::DesignRecord(d, r), 0) << d.Name();
  }
  ~Record() { ZMXFunc234(r); }
  Record(const Record&) = delete;
  Record& operator=(const Record&) = delete;
  IirCascadeRecord* r;
};

// The record's sections one after the other over a block, each a direct
// form II recursion from and to its own part of `state` (S values per
// section), reading in[i] before writing out[i] as a plain loop does.
void ReferenceRecord(const IirCascadeRecord& r, const double* in, double* out, size_t n,
                     std::vector<double>& state) {
  const int32_t sections = (r.order + 1) / 2;
  const int32_t s = r.aCount / sections;
  for (int32_t k = 0; k < sections; ++k) {
    const double* a = r.a + k * s;
    const double* b = r.b + k * (s + 1);
    double* z = state.data() + k * s;
    for (size_t i = 0; i < n; ++i) {
      double w = in[i];
      for (int32_t j = 0; j < s; ++j) w -= a[j] * z[j];
      double v = b[0] * w;
      for (int32_t j = 0; j < s; ++j) v += b[j + 1] * z[j];
      for (int32_t j = s - 1; j > 0; --j) z[j] = z[j - 1];
      z[0] = w;
      out[i] = v;
    }
    in = out;
  }
}

std::vector<ReferenceDesign> RecordDesigns() {
  std::vector<ReferenceDesign> designs;
  for (const char* family : {"butter", "cheby1", "cheby2", "ellip", "linord"}) {
    for (int32_t type = 0; type < 4; ++type) {
      for (int32_t order : Orders()) designs.push_back(Design(family, type, order));
    }
  }
  return designs;
}

TEST(IirSampleMajor, RecordFilterEqualsTheSectionBySectionForm) {
  const std::vector<double> x = Signal(300);
  const int64_t n = static_cast<int64_t>(x.size());
  for (const ReferenceDesign& d : RecordDesigns()) {
    Record apart(d), in_place(d);
    std::vector<double> state(apart.r->stateCount, 0.0), want(x.size());
    std::vector<double> y(x.size(), -7.0), same;
    // Two calls: the second starts from the state the first left.
    for (int call = 0; call < 2; ++call) {
      ReferenceRecord(*apart.r, x.data(), want.data(), x.size(), state);
      ASSERT_EQ(ZMXFunc91(x.data(), n, apart.r, y.data()), 0) << d.Name();
      EXPECT_EQ(BitDifference(y.data(), want.data(), want.size()), "")
          << d.Name() << " call " << call;
      EXPECT_EQ(BitDifference(apart.r->state, state.data(), state.size()), "")
          << d.Name() << " state after call " << call;
    }
    for (int call = 0; call < 2; ++call) {
      same = x;
      ASSERT_EQ(ZMXFunc91(same.data(), n, in_place.r, same.data()), 0);
    }
    EXPECT_EQ(BitDifference(same.data(), want.data(), want.size()), "") << d.Name() << " in place";
  }
}

// Blocks of any length, 1 included, continue the signal exactly.
TEST(IirSampleMajor, RecordBlocksOfAnySizeEqualOneCall) {
  const std::vector<double> x = Signal(400);
  const int64_t n = static_cast<int64_t>(x.size());
  const std::vector<int64_t> blocks = {1, 1, 2, 3, 5, 8, 13, 1, 64, 7, 4, 1, 90};
  for (const ReferenceDesign& d :
       {Design("butter", 0, 13), Design("ellip", 1, 8), Design("cheby1", 2, 9),
        Design("cheby2", 3, 10), Design("linord", 0, 1), Design("ellip", 3, 17)}) {
    Record whole(d), pieces(d), ones(d);
    std::vector<double> want(x.size()), y(x.size()), y1(x.size());
    ASSERT_EQ(ZMXFunc91(x.data(), n, whole.r, want.data()), 0);
    int64_t done = 0;
    for (size_t b = 0; done < n; ++b) {
      const int64_t len = b < blocks.size() ? blocks[b] : n - done;
      ASSERT_EQ(ZMXFunc91(x.data() + done, len, pieces.r, y.data() + done), 0);
      done += len;
    }
    for (int64_t i = 0; i < n; ++i) ASSERT_EQ(ZMXFunc91(&x[i], 1, ones.r, &y1[i]), 0);
    EXPECT_EQ(BitDifference(y.data(), want.data(), want.size()), "") << d.Name();
    EXPECT_EQ(BitDifference(y1.data(), want.data(), want.size()), "") << d.Name() << " by ones";
    EXPECT_EQ(BitDifference(pieces.r->state, whole.r->state, whole.r->stateCount), "");
  }
}

// A reset takes effect at the next call that filters: a rejected call keeps
// it pending and leaves the state alone.
TEST(IirSampleMajor, RecordResetWaitsForTheNextFilteringCall) {
  const std::vector<double> x = Signal(120);
  const int64_t n = static_cast<int64_t>(x.size());
  const ReferenceDesign d = Design("cheby2", 2, 9);
  Record used(d), fresh(d);
  std::vector<double> y(x.size()), want(x.size());
  ASSERT_EQ(ZMXFunc91(x.data(), n, used.r, y.data()), 0);
  const std::vector<double> kept(used.r->state, used.r->state + used.r->stateCount);
  ZMXFunc235(used.r);
  EXPECT_EQ(ZMXFunc91(x.data(), 0, used.r, y.data()), -20003);
  EXPECT_EQ(used.r->resetPending, 1);
  EXPECT_EQ(BitDifference(used.r->state, kept.data(), kept.size()), "");
  ASSERT_EQ(ZMXFunc91(x.data(), n, used.r, y.data()), 0);
  EXPECT_EQ(used.r->resetPending, 0);
  ASSERT_EQ(ZMXFunc91(x.data(), n, fresh.r, want.data()), 0);
  EXPECT_EQ(BitDifference(y.data(), want.data(), want.size()), "");
  EXPECT_EQ(BitDifference(used.r->state, fresh.r->state, fresh.r->stateCount), "");
}

// An output a few samples after or before the input in one buffer gives
// what the section-by-section loops give on the same buffer.
TEST(IirSampleMajor, RecordOutputMayOverlapTheInputPartly) {
  const std::vector<double> x = Signal(200);
  const int64_t n = static_cast<int64_t>(x.size());
  for (const ReferenceDesign& d : {Design("butter", 0, 9), Design("ellip", 2, 7)}) {
    for (int shift : {1, 5, -1, -5}) {
      Record rec(d);
      std::vector<double> state(rec.r->stateCount, 0.0);
      std::vector<double> got(x.size() + 5, 0.0), want(x.size() + 5, 0.0);
      const size_t at = shift > 0 ? 0 : 5;
      std::memcpy(got.data() + at, x.data(), x.size() * sizeof(double));
      std::memcpy(want.data() + at, x.data(), x.size() * sizeof(double));
      ASSERT_EQ(ZMXFunc91(got.data() + at, n, rec.r, got.data() + at + shift), 0);
      ReferenceRecord(*rec.r, want.data() + at, want.data() + at + shift, x.size(), state);
      EXPECT_EQ(BitDifference(got.data(), want.data(), want.size()), "")
          << d.Name() << " shift " << shift;
    }
  }
}

}  // namespace
