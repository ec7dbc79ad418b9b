#include "frame/config.h"

#include <strings.h>
#include <climits>
#include <cstdlib>
#include <fstream>

#include "frame/platform.h"

namespace qm {
namespace {

std::string Trim(const std::string& s) {
  const char* blanks = " \t\r\n";
  const std::size_t first = s.find_first_not_of(blanks);
  if (first == std::string::npos) return {};
  return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

bool SameName(const std::string& a, const std::string& b) {
  return strcasecmp(a.c_str(), b.c_str()) == 0;
}

}  // namespace

std::string ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& fallback,
                              std::size_t max_chars) {
  std::ifstream in(path);
  if (!in) return fallback.substr(0, max_chars);
  std::string line;
  bool in_section = false;
  while (std::getline(in, line)) {
    const std::string text = Trim(line);
    if (text.empty() || text[0] == ';' || text[0] == '#') continue;
    if (text.front() == '[') {
      const std::size_t close = text.find(']');
      in_section = close != std::string::npos && SameName(Trim(text.substr(1, close - 1)), section);
      continue;
    }
    if (!in_section) continue;
    const std::size_t eq = text.find('=');
    if (eq == std::string::npos || !SameName(Trim(text.substr(0, eq)), key)) continue;
    std::string value = Trim(text.substr(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return value.substr(0, max_chars);
  }
  return fallback.substr(0, max_chars);
}

int ReadThreadCount(const std::string& dir) {
  if (dir.empty()) return 1;
  const std::string text =
      platform::ProfileString(dir + kConfigFileName, "RVX", "ZMX_NUM_THREADS", "1", 11);
  // Read like atoi (leading blanks, optional sign, digits, anything after is
  // ignored), but a value beyond the int range saturates instead of wrapping.
  const long long n = std::strtoll(text.c_str(), nullptr, 10);
  if (n < 1) return 1;
  return n > INT_MAX ? INT_MAX : static_cast<int>(n);
}

}  // namespace qm
