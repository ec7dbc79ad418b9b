#include "frame/config.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace {

using qm::test::TempDir;
using qm::test::WriteFile;

int ThreadsFrom(const std::string& ini_text) {
  TempDir dir;
  WriteFile(dir.dir() + "analysis.ini", ini_text);
  return qm::ReadThreadCount(dir.dir());
}

TEST(AnalysisIni, ThreadCountValues) {
  struct Case {
    const char* text;
    int threads;
  } cases[] = {
      {"[RVX]\nZMX_NUM_THREADS=8\n", 8},
      {"[RVX]\nZMX_NUM_THREADS=0\n", 1},
      {"[RVX]\nZMX_NUM_THREADS=-4\n", 1},
      {"[RVX]\nZMX_NUM_THREADS=many\n", 1},
      {"[RVX]\nZMX_NUM_THREADS=\n", 1},
      {"[RVX]\nZMX_NUM_THREADS=4 threads\n", 4},  // atoi stops at the blank
      {"[RVX]\nZMX_NUM_THREADS=  12  \r\n", 12},  // blanks and CRLF line ends
      {"[rvx]\nzmx_num_threads=3\n", 3},          // names ignore case
      {"[RVX]\nZMX_NUM_THREADS=\"6\"\n", 6},      // quotes are removed
      {"; comment\n[Other]\nZMX_NUM_THREADS=9\n[RVX]\nZMX_NUM_THREADS=2\n", 2},
      {"[RVX]\nZMX_NUM_THREADS=5\nZMX_NUM_THREADS=7\n", 5},  // first key wins
      {"[Other]\nZMX_NUM_THREADS=9\n", 1},                   // key only in another section
      {"[RVX]\nZMX_NUM_THREADS=000000000016\n", 1},          // cut to 11 characters: "00000000001"
      {"[RVX]\nZMX_NUM_THREADS=99999999999\n", 2147483647},  // saturates, never wraps
  };
  for (const Case& c : cases) EXPECT_EQ(ThreadsFrom(c.text), c.threads) << c.text;
}

TEST(AnalysisIni, MissingFileOrUnknownDirectoryGivesOne) {
  TempDir dir;
  EXPECT_EQ(qm::ReadThreadCount(dir.dir()), 1);
  EXPECT_EQ(qm::ReadThreadCount(""), 1);
}

TEST(AnalysisIni, ValueIsCutToTheLimit) {
  TempDir dir;
  WriteFile(dir.dir() + "a.ini", "[S]\nK = abcdefghijklmnop\n");
  EXPECT_EQ(qm::ReadProfileString(dir.dir() + "a.ini", "S", "K", "x", 11), "abcdefghijk");
  EXPECT_EQ(qm::ReadProfileString(dir.dir() + "a.ini", "S", "missing", "dflt", 11), "dflt");
}

}  // namespace
