// Reference data and small helpers of the curve-fitting tests.
#pragma once

#include <cmath>
#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "qmanlys.h"

namespace fit_test {

using Vec = std::vector<double>;
constexpr int64_t kTooBig = int64_t{1} << 32;
constexpr double kSentinel = -7.25;

// The arrays of data/reference.txt by name.
inline const std::map<std::string, Vec>& Reference() {
  static const std::map<std::string, Vec> table = [] {
    std::map<std::string, Vec> t;
    std::ifstream in(std::string(QM_TEST_DATA_DIR) + "/reference.txt");
    std::string line;
    while (std::getline(in, line)) {
      std::istringstream s(line);
      std::string name;
      s >> name;
      Vec v;
      double d;
      while (s >> d) v.push_back(d);
      t[name] = v;
    }
    return t;
  }();
  return table;
}

inline const Vec& Ref(const std::string& name) { return Reference().at(name); }

// Largest |a - b| relative to max(1, |b|).
inline double MaxRelError(const Vec& a, const Vec& b) {
  double worst = 0.0;
  for (std::size_t i = 0; i < a.size() && i < b.size(); ++i) {
    const double e = std::fabs(a[i] - b[i]) / std::fmax(1.0, std::fabs(b[i]));
    if (!(e <= worst)) worst = e;
  }
  return a.size() == b.size() ? worst : INFINITY;
}

}  // namespace fit_test
