// The IIR cascade filter record: layout of its single block, structure and
// argument checks of every operation, block-wise filtering, reset,
// redesign, expansion and the one-shot coefficient exports.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>
#include <limits>
#include <numbers>
#include <vector>

#include "frame/workspace.h"
#include "qmanlys.h"

namespace {

struct Record {
  Record(int32_t type, int32_t order) : r(ZMXFunc233(type, order)) {}
  ~Record() { ZMXFunc234(r); }
  IirCascadeRecord* r;
};

std::vector<double> Signal(size_t n) {
  std::vector<double> x(n);
  for (size_t i = 0; i < n; ++i) x[i] = std::sin(0.05 * i) + 0.5 * std::cos(1.3 * i) + (i == 3);
  return x;
}

TEST(IirRecord, CreateLaysOutOneBlock) {
  struct Layout {
    int32_t type, order, a_count, b_count;
  };
  for (const Layout& l : {Layout{0, 3, 4, 6}, Layout{1, 4, 4, 6}, Layout{2, 2, 4, 5},
                          Layout{3, 5, 12, 15}, Layout{0, 1, 2, 3}}) {
    Record rec(l.type, l.order);
    ASSERT_NE(rec.r, nullptr);
    EXPECT_EQ(rec.r->type, l.type);
    EXPECT_EQ(rec.r->order, l.order);
    EXPECT_EQ(rec.r->resetPending, 0);
    EXPECT_EQ(rec.r->aCount, l.a_count);
    EXPECT_EQ(rec.r->bCount, l.b_count);
    EXPECT_EQ(rec.r->stateCount, l.a_count);
    EXPECT_EQ(reinterpret_cast<char*>(rec.r->a), reinterpret_cast<char*>(rec.r) + sizeof(*rec.r));
    EXPECT_EQ(rec.r->b, rec.r->a + l.a_count);
    EXPECT_EQ(rec.r->state, rec.r->b + l.b_count);
    for (int32_t i = 0; i < l.a_count; ++i) EXPECT_EQ(rec.r->state[i], 0.0);
  }
  for (auto [type, order] : {std::pair{4, 2},
                             {-1, 2},
                             {0, 0},
                             {2, -3},
                             // sections * 5 coefficients do not fit in 32 bits
                             {2, std::numeric_limits<int32_t>::max()}}) {
    EXPECT_EQ(ZMXFunc233(type, order), nullptr) << type << " " << order;
  }
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc233(0, 4), nullptr);
  qm::SetWorkspaceFailureCountdown(0);
}

TEST(IirRecord, ARecordNeverDesignedHoldsZeros) {
  const std::vector<double> x = Signal(16);
  {
    // The block a new record gets may be this one's, coefficients and all.
    Record used(2, 3);
    ASSERT_NE(used.r, nullptr);
    ASSERT_EQ(ZMXFunc18(1000, 100, 200, used.r), 0);
    std::vector<double> y(16);
    ASSERT_EQ(ZMXFunc91(x.data(), 16, used.r, y.data()), 0);
  }
  for (int round = 0; round < 2; ++round) {
    Record rec(2, 3);
    ASSERT_NE(rec.r, nullptr);
    for (int32_t i = 0; i < rec.r->aCount; ++i) EXPECT_EQ(rec.r->a[i], 0.0) << i;
    for (int32_t i = 0; i < rec.r->bCount; ++i) EXPECT_EQ(rec.r->b[i], 0.0) << i;
    std::vector<double> y(16, 1.0);
    ASSERT_EQ(ZMXFunc91(x.data(), 16, rec.r, y.data()), 0);
    EXPECT_EQ(y, std::vector<double>(16, 0.0));
  }
}

TEST(IirRecord, OddOrdersPadTheFirstOrderSection) {
  Record lp(0, 3), bp(2, 3);
  ASSERT_EQ(ZMXFunc18(1000, 100, 0, lp.r), 0);
  ASSERT_EQ(ZMXFunc61(1000, 100, 200, 0.5, 40, bp.r), 0);
  const double k = std::tan(std::numbers::pi * 100 / 1000);
  EXPECT_DOUBLE_EQ(lp.r->a[0], -(1 - k) / (1 + k));
  EXPECT_EQ(lp.r->a[1], 0.0);
  EXPECT_DOUBLE_EQ(lp.r->b[0], k / (1 + k));
  EXPECT_DOUBLE_EQ(lp.r->b[1], k / (1 + k));
  EXPECT_EQ(lp.r->b[2], 0.0);
  EXPECT_EQ(bp.r->a[2], 0.0);
  EXPECT_EQ(bp.r->a[3], 0.0);
  EXPECT_EQ(bp.r->b[3], 0.0);
  EXPECT_EQ(bp.r->b[4], 0.0);
  EXPECT_EQ(bp.r->b[1], 0.0);  // bandpass first-order section: B (1 - z^-2) / D
  EXPECT_EQ(bp.r->b[2], -bp.r->b[0]);
}

struct DesignCase {
  const char* what;
  int32_t type, order;
  std::function<int32_t(IirCascadeRecord*)> design;
  int32_t expected;
};

TEST(IirRecord, DesignChecksComeInTheirOrderAndLeaveTheRecordAlone) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const std::vector<DesignCase> cases = {
      {"lowpass ignores fh", 0, 4, [](auto r) { return ZMXFunc18(1000, 100, -5, r); }, 0},
      {"lowpass fl at fs/2 leaves no room for fh", 0, 4,
       [](auto r) { return ZMXFunc18(1000, 500, 0, r); }, -20023},
      {"lowpass fl above fs/2", 1, 4, [](auto r) { return ZMXFunc24(1000, 600, 0, 1, r); }, -20023},
      {"fl 0", 2, 2, [](auto r) { return ZMXFunc18(1000, 0, 200, r); }, -20023},
      {"fl == fh", 2, 2, [](auto r) { return ZMXFunc12(1000, 200, 200, r); }, -20023},
      {"fs 0", 3, 2, [](auto r) { return ZMXFunc18(0, 100, 200, r); }, -20023},
      {"fl NaN", 0, 2, [=](auto r) { return ZMXFunc18(1000, nan, 0, r); }, -20023},
      {"fh above fs/2 before the ripple", 2, 2,
       [](auto r) { return ZMXFunc24(1000, 100, 501, 0, r); }, -20020},
      {"ripple 0", 0, 2, [](auto r) { return ZMXFunc24(1000, 100, 0, 0, r); }, -20024},
      {"attenuation 0", 1, 2, [](auto r) { return ZMXFunc98(1000, 100, 0, 0, r); }, -20025},
      {"elliptic ripple 0 first", 0, 2, [](auto r) { return ZMXFunc61(1000, 100, 0, 0, 0, r); },
       -20024},
      {"elliptic ripple > attenuation", 3, 2,
       [](auto r) { return ZMXFunc61(1000, 100, 200, 60, 40, r); }, -20028},
      {"null record", 0, 2, [](auto) { return ZMXFunc18(1000, 100, 0, nullptr); }, -20066},
  };
  for (const auto& c : cases) {
    Record rec(c.type, c.order);
    ASSERT_NE(rec.r, nullptr);
    const size_t bytes = (rec.r->aCount + rec.r->bCount + rec.r->stateCount) * sizeof(double);
    std::memset(rec.r->a, 0x5a, bytes);
    std::vector<char> before(bytes);
    std::memcpy(before.data(), rec.r->a, bytes);
    EXPECT_EQ(c.design(rec.r), c.expected) << c.what;
    if (c.expected != 0) {
      EXPECT_EQ(std::memcmp(before.data(), rec.r->a, bytes), 0) << c.what;
    }
    // No design touches the state.
    EXPECT_EQ(std::memcmp(before.data() + bytes - rec.r->stateCount * sizeof(double), rec.r->state,
                          rec.r->stateCount * sizeof(double)),
              0)
        << c.what;
  }

  // Structure checks come last: order, then selector, then capacity.
  Record rec(2, 4);
  rec.r->order = 0;
  EXPECT_EQ(ZMXFunc18(1000, 100, 0, rec.r), -20021);
  rec.r->order = 4;
  rec.r->type = 7;
  EXPECT_EQ(ZMXFunc18(1000, 700, 100, rec.r), -20023);  // the edges first
  EXPECT_EQ(ZMXFunc18(1000, 100, 200, rec.r), -20061);
  rec.r->type = 2;
  rec.r->bCount = 9;
  EXPECT_EQ(ZMXFunc18(1000, 100, 200, rec.r), -20066);
  rec.r->bCount = 10;
  rec.r->aCount = 7;
  EXPECT_EQ(ZMXFunc18(1000, 100, 200, rec.r), -20066);
}

TEST(IirRecord, FilterChecksTheStructureFirst) {
  std::vector<double> x = Signal(8), y(8);
  Record rec(1, 4);
  ASSERT_EQ(ZMXFunc18(1000, 100, 0, rec.r), 0);
  EXPECT_EQ(ZMXFunc91(x.data(), 8, nullptr, y.data()), -20066);
  EXPECT_EQ(ZMXFunc91(x.data(), 8, rec.r, nullptr), -20008);
  EXPECT_EQ(ZMXFunc91(x.data(), int64_t{1} << 32, rec.r, y.data()), -20046);
  struct Corruption {
    int32_t IirCascadeRecord::*field;
    int32_t value;
  };
  for (const Corruption& c :
       {Corruption{&IirCascadeRecord::order, 0}, Corruption{&IirCascadeRecord::order, -5},
        Corruption{&IirCascadeRecord::aCount, 6}, Corruption{&IirCascadeRecord::aCount, 12},
        Corruption{&IirCascadeRecord::bCount, 5}, Corruption{&IirCascadeRecord::stateCount, 2}}) {
    const int32_t saved = rec.r->*c.field;
    rec.r->*c.field = c.value;
    EXPECT_EQ(ZMXFunc91(x.data(), 0, rec.r, y.data()), -20066) << c.value;
    rec.r->*c.field = saved;
  }
  EXPECT_EQ(ZMXFunc91(x.data(), 0, rec.r, y.data()), -20003);
  EXPECT_EQ(ZMXFunc91(x.data(), 8, rec.r, y.data()), 0);
}

TEST(IirRecord, BlocksResetAndRedesignKeepTheSignalWhole) {
  const std::vector<double> x = Signal(300);
  const int64_t n = static_cast<int64_t>(x.size());
  Record whole(3, 5), pieces(3, 5);
  ASSERT_EQ(ZMXFunc61(1000, 100, 250, 0.5, 50, whole.r), 0);
  ASSERT_EQ(ZMXFunc61(1000, 100, 250, 0.5, 50, pieces.r), 0);
  std::vector<double> y1(n), y2 = x;
  ASSERT_EQ(ZMXFunc91(x.data(), n, whole.r, y1.data()), 0);
  // Uneven blocks, in place, with a redesign (same values) in between: the
  // state is carried on and the redesign does not clear it.
  int64_t done = 0;
  for (int64_t len : {1, 7, 100, 192}) {
    ASSERT_EQ(ZMXFunc91(y2.data() + done, len, pieces.r, y2.data() + done), 0);
    done += len;
    ASSERT_EQ(ZMXFunc61(1000, 100, 250, 0.5, 50, pieces.r), 0);
  }
  EXPECT_EQ(y1, y2);

  // After a reset the record behaves as a fresh one.
  ZMXFunc235(whole.r);
  EXPECT_EQ(whole.r->resetPending, 1);
  Record fresh(3, 5);
  ASSERT_EQ(ZMXFunc61(1000, 100, 250, 0.5, 50, fresh.r), 0);
  std::vector<double> again(n), first(n);
  ASSERT_EQ(ZMXFunc91(x.data(), n, whole.r, again.data()), 0);
  EXPECT_EQ(whole.r->resetPending, 0);
  ASSERT_EQ(ZMXFunc91(x.data(), n, fresh.r, first.data()), 0);
  EXPECT_EQ(again, first);
  EXPECT_EQ(again, y1);
  ZMXFunc235(nullptr);  // ignored
}

TEST(IirRecord, ExpansionChecksAndLengths) {
  Record bp(2, 2);
  ASSERT_EQ(ZMXFunc18(1000, 100, 200, bp.r), 0);
  double den[6] = {}, num[6] = {};
  EXPECT_EQ(ZMXFunc236(bp.r, den, 5, num, 5), 0);  // L = 2N + 1
  EXPECT_EQ(den[0], 1.0);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(den[i + 1], bp.r->a[i]);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(num[i], bp.r->b[i]);
  EXPECT_EQ(ZMXFunc236(bp.r, den, 4, num, 5), -20066);
  EXPECT_EQ(ZMXFunc236(bp.r, den, 5, num, 4), -20066);
  EXPECT_EQ(ZMXFunc236(nullptr, den, 5, num, 5), -20066);
  EXPECT_EQ(ZMXFunc236(bp.r, nullptr, 5, num, 5), -20008);
  bp.r->order = 0;
  EXPECT_EQ(ZMXFunc236(bp.r, den, 5, num, 5), -20021);
  bp.r->order = 2;
  bp.r->type = 4;
  EXPECT_EQ(ZMXFunc236(bp.r, den, 5, num, 5), -20061);
  bp.r->type = 0;  // a lowpass record would have S = 2: the counts do not fit
  EXPECT_EQ(ZMXFunc236(bp.r, den, 5, num, 5), -20066);
  bp.r->type = 2;
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc236(bp.r, den, 5, num, 5), -20001);
  qm::SetWorkspaceFailureCountdown(0);

  // Odd lowpass order: L = N + 1, the padded product's last 0 is dropped.
  Record lp(0, 3);
  ASSERT_EQ(ZMXFunc24(1000, 100, 0, 1, lp.r), 0);
  double d4[4], n4[4];
  ASSERT_EQ(ZMXFunc236(lp.r, d4, 4, n4, 4), 0);
  double dc_num = 0, dc_den = 0;
  for (int i = 0; i < 4; ++i) {
    dc_num += n4[i];
    dc_den += d4[i];
  }
  EXPECT_NEAR(dc_num / dc_den, 1.0, 1e-12);  // odd Chebyshev: unit gain at 0 Hz
}

TEST(IirRecord, OneShotExportsCheckBeforeCreatingAndReleaseTheirRecord) {
  double den[9], num[9];
  EXPECT_EQ(ZMXFunc19(0, 0, 1000, 100, 0, den, 9, num, 9), -20021);
  EXPECT_EQ(ZMXFunc19(4, 2, 1000, 100, 200, den, 9, num, 9), -20061);
  EXPECT_EQ(ZMXFunc13(-1, 2, 1000, 600, 200, den, 9, num, 9), -20023);
  EXPECT_EQ(ZMXFunc25(0, 2, 1000, 100, 0, 0, den, 9, num, 9), -20024);
  EXPECT_EQ(ZMXFunc99(1, 2, 1000, 100, 0, 0, den, 9, num, 9), -20025);
  EXPECT_EQ(ZMXFunc62(2, 2, 1000, 100, 200, 3, 2, den, 9, num, 9), -20028);
  EXPECT_EQ(ZMXFunc62(2, 4, 1000, 100, 200, 1, 40, den, 8, num, 9), -20066);  // L = 9
  EXPECT_EQ(ZMXFunc62(2, 4, 1000, 100, 200, 1, 40, den, 9, num, 9), 0);
  qm::SetWorkspaceFailureCountdown(1);
  EXPECT_EQ(ZMXFunc19(0, 8, 1000, 100, 0, den, 9, num, 9), -20001);
  qm::SetWorkspaceFailureCountdown(2);  // the record, then the expansion
  EXPECT_EQ(ZMXFunc19(0, 8, 1000, 100, 0, den, 9, num, 9), -20001);
  qm::SetWorkspaceFailureCountdown(0);
  EXPECT_EQ(ZMXFunc19(0, 8, 1000, 100, 0, den, 9, num, 9), 0);
}

}  // namespace
