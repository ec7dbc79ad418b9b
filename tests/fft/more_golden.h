// Golden values of tests/fft/data/more_golden.txt (made by
// make_more_golden.py): `name key v0 v1 ...` per line.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace fft_test {

using Vec = std::vector<double>;

inline Vec SeqX(long n) {
  Vec v(n);
  for (long j = 0; j < n; ++j) v[j] = ((7919LL * j + 13) % 1009) / 1009.0 - 0.5;
  return v;
}
inline Vec SeqY(long n) {
  Vec v(n);
  for (long j = 0; j < n; ++j) v[j] = ((104729LL * j + 7) % 997) / 997.0 - 0.25;
  return v;
}
// x + i·y interleaved.
inline Vec SeqComplex(long n) {
  Vec x = SeqX(n), y = SeqY(n), z(2 * n);
  for (long j = 0; j < n; ++j) {
    z[2 * j] = x[j];
    z[2 * j + 1] = y[j];
  }
  return z;
}

// The table of one golden file of tests/fft/data (`name key v0 v1 ...` per
// line), read once; a missing entry fails the test and gives an empty vector.
inline const Vec& GoldenEntry(const std::map<std::string, Vec>& table, const std::string& name,
                              const std::string& key) {
  static const Vec empty;
  auto it = table.find(name + "/" + key);
  EXPECT_NE(it, table.end()) << name << " " << key;
  return it == table.end() ? empty : it->second;
}

inline std::map<std::string, Vec> ReadGolden(const std::string& file) {
  std::map<std::string, Vec> t;
  std::ifstream f(std::string(QM_TEST_DATA_DIR "/") + file);
  std::string line;
  while (std::getline(f, line)) {
    std::istringstream is(line);
    std::string n, k;
    is >> n >> k;
    Vec v;
    double d;
    while (is >> d) v.push_back(d);
    t[n + "/" + k] = v;
  }
  return t;
}

inline const Vec& MoreGold(const std::string& name, const std::string& key) {
  static const std::map<std::string, Vec> table = ReadGolden("more_golden.txt");
  return GoldenEntry(table, name, key);
}

// |got − want| within tol·max|want| everywhere.
inline void ExpectNearVec(const Vec& got, const Vec& want, double tol, const std::string& what) {
  ASSERT_EQ(got.size(), want.size()) << what;
  double scale = 0;
  for (double w : want) scale = std::max(scale, std::fabs(w));
  for (size_t i = 0; i < want.size(); ++i)
    EXPECT_NEAR(got[i], want[i], tol * std::max(scale, 1e-300)) << what << " [" << i << "]";
}

}  // namespace fft_test
