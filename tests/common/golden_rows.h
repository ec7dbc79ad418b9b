// Reference files of a test folder's data/: one row per line, `kind v0 v1 ...`.
#pragma once

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace test_common {

// The rows of `file` that start with `kind`, as number lists.
inline std::vector<std::vector<double>> GoldenRows(const std::string& file,
                                                   const std::string& kind) {
  std::ifstream in(std::string(QM_TEST_DATA_DIR) + "/" + file);
  std::vector<std::vector<double>> rows;
  for (std::string line; std::getline(in, line);) {
    std::istringstream s(line);
    std::string k;
    s >> k;
    if (k != kind) continue;
    std::vector<double> row;
    for (double v; s >> v;) row.push_back(v);
    rows.push_back(row);
  }
  return rows;
}

}  // namespace test_common
