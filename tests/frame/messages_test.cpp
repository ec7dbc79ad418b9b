#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <thread>
#include <vector>

#include "frame/messages.h"
#include "qmanlys.h"

namespace {

struct Row {
  int32_t code;
  const char* text;
};

TEST(StatusMessages, KnownCodesGiveTheirTexts) {
  const Row rows[] = {
      {0, "The call was successful."},
      {20003, "Warning: The matrix is singular."},
      {20031, "Warning: The maximum allowable order has been exceeded."},
      {-20001, "There is not enough memory to perform the specified routine."},
      {-20003, "The number of samples must be > 0."},
      {-20009, "The size of the input array must be a power of two:  size = 2^m, 0 < m < 23."},
      {-20046, "There is an overflow in the calculation"},
      {-20068, "Input parameters has at least one element that is Inf, NaN, DBL_MAX, or DBL_MIN"},
      {-20102, "The shifts must meet: |shifts| < samples."},
      {-20312, "No waveform input."},
      {-20999, "Serious algorithm failure. Call Quellmark support."},
      {-20118, "The input is greater than 1 or less than -1."},
      {-20126, "There is no enough space left to perform the specified routine in the analysis workspace."},
  };
  for (const Row& r : rows) EXPECT_STREQ(ZMXFunc240(r.code), r.text) << r.code;
}

TEST(StatusMessages, UnknownCodes) {
  for (int32_t code : {1, -1, 20000, 20007, -20000, -20079, -20100, -20142, -20307, -20333, -21000,
                       INT32_MIN, INT32_MAX}) {
    EXPECT_STREQ(ZMXFunc240(code), "Unknown error number") << code;
  }
}

TEST(StatusMessages, EveryNamedCodeHasAMessage) {
  // The named codes of status.h must all be in the table (a typo in either
  // would show up as "Unknown error number").
  const int32_t named[] = {qm::kWarnRankDeficient, qm::kWarnNonFiniteMatrix, qm::kOutOfMemory,
                           qm::kCountNotPositive,  qm::kNullPointer,          qm::kOverflow,
                           qm::kBadSelection,      qm::kNotFinite,            qm::kNoLinearAlgebra,
                           qm::kAlgorithmFailure,  qm::kBadThreadCount,       qm::kNotPositiveOrZero};
  for (int32_t code : named) EXPECT_STRNE(ZMXFunc240(code), "Unknown error number") << code;
}

TEST(StatusMessages, SameConstantPointerFromEveryThread) {
  std::vector<std::thread> threads;
  std::vector<const char*> seen(8);
  for (int t = 0; t < 8; ++t) {
    threads.emplace_back([&seen, t] {
      for (int i = 0; i < 1000; ++i) seen[t] = ZMXFunc240(-20046);
    });
  }
  for (auto& th : threads) th.join();
  EXPECT_EQ(std::set<const char*>(seen.begin(), seen.end()).size(), 1u);
}

}  // namespace
