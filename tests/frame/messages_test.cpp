#include <gtest/gtest.h>

#include <cstddef>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "frame/messages.h"
#include "qmanlys.h"

namespace {

// The message table as stored, one "code<TAB>text" line per row in search
// order (tests/frame/data/status_messages.tsv).
struct StoredRow {
  int32_t code;
  std::string text;
};

std::vector<StoredRow> ReadStoredRows() {
  std::vector<StoredRow> rows;
  std::ifstream in(QM_TEST_DATA_DIR "/status_messages.tsv", std::ios::binary);
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string::npos || line.find('\r') != std::string::npos) {
      ADD_FAILURE() << "malformed row " << rows.size() + 1 << ": " << line;
      continue;
    }
    rows.push_back({static_cast<int32_t>(std::stol(line.substr(0, tab))), line.substr(tab + 1)});
  }
  return rows;
}

// The text the search must give for each code: that of its first row.
std::map<int32_t, std::string> FirstTexts(const std::vector<StoredRow>& rows) {
  std::map<int32_t, std::string> first;
  for (const StoredRow& r : rows) first.emplace(r.code, r.text);
  return first;
}

TEST(StatusMessages, EveryStoredRowGivesTheTextOfItsCodesFirstRow) {
  const std::vector<StoredRow> rows = ReadStoredRows();
  ASSERT_EQ(rows.size(), 140u) << "missing or short " << QM_TEST_DATA_DIR << "/status_messages.tsv";
  const std::map<int32_t, std::string> first = FirstTexts(rows);
  for (const StoredRow& r : rows)
    EXPECT_STREQ(ZMXFunc240(r.code), first.at(r.code).c_str()) << r.code;
}

TEST(StatusMessages, TableHasTheStoredRowsInTheStoredOrder) {
  const std::vector<StoredRow> rows = ReadStoredRows();
  const std::span<const qm::MessageRow> table = qm::MessageTable();
  ASSERT_EQ(table.size(), rows.size());
  std::set<int32_t> seen;
  for (std::size_t i = 0; i < rows.size(); ++i) {
    EXPECT_EQ(table[i].code, rows[i].code) << "row " << i + 1;
    EXPECT_STREQ(table[i].text, rows[i].text.c_str()) << "row " << i + 1;
    // Only a code's later rows are marked as repeats (-20068 and -20312).
    EXPECT_EQ(table[i].repeat, !seen.insert(rows[i].code).second) << "row " << i + 1;
  }
}

TEST(StatusMessages, UnknownCodes) {
  const std::map<int32_t, std::string> first = FirstTexts(ReadStoredRows());
  for (int32_t code : {1, -1, 20000, 20007, -20000, -20079, -20100, -20142, -20307, -20333, -21000,
                       INT32_MIN, INT32_MAX}) {
    ASSERT_EQ(first.count(code), 0u) << code;
    EXPECT_STREQ(ZMXFunc240(code), "Unknown error number") << code;
  }
}

TEST(StatusMessages, EveryNamedCodeIsAStoredCode) {
  // Every constant of status.h has a stored row and gets its text (a name on
  // a mistyped code would give "Unknown error number" or another text).
  struct Named {
    const char* name;
    int32_t code;
  };
  const Named named[] = {
#define QM_STATUS(name, code, text) {#name, qm::name},
#define QM_STATUS_TEXT(code, text)
#define QM_STATUS_REPEAT(code, text)
#include "frame/status_table.inc"
  };
  const std::map<int32_t, std::string> first = FirstTexts(ReadStoredRows());
  ASSERT_EQ(std::size(named), 125u);
  for (const Named& n : named) {
    ASSERT_EQ(first.count(n.code), 1u) << n.name;
    EXPECT_STREQ(ZMXFunc240(n.code), first.at(n.code).c_str()) << n.name;
  }
  // The conventions and the codes that other code relies on by number.
  EXPECT_EQ(qm::kSuccess, 0);
  EXPECT_EQ(qm::kNullPointer, -20008);
  EXPECT_EQ(qm::kNoLinearAlgebra, -20078);
  EXPECT_EQ(qm::kAlgorithmFailure, -20999);
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
