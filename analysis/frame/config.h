// The library's one setting: the BLAS/LAPACK thread count, key
// "ZMX_NUM_THREADS" of section "RVX" in "analysis.ini" beside the library.
#pragma once

#include <string>

namespace qm {

inline constexpr char kConfigFileName[] = "analysis.ini";

// Profile-file lookup: section and key names compare without regard to case,
// blanks around names and values are ignored, a value enclosed in matching
// quotes loses them, lines starting with ';' or '#' are comments, the first
// matching key of the first matching section wins. The value is cut to
// `max_chars` characters. Missing file, section or key give `fallback`.
std::string ReadProfileString(const std::string& path, const std::string& section,
                              const std::string& key, const std::string& fallback,
                              std::size_t max_chars);

// Thread count from `dir` + "analysis.ini" (dir ends in the separator; "" means the
// directory is unknown and gives 1): the value read as at most 11 characters,
// read through the platform's profile reader (Win32: GetPrivateProfileStringA),
// converted like C atoi (saturating at INT_MAX instead of wrapping); below 1
// (also a text without digits) becomes 1.
int ReadThreadCount(const std::string& dir);

}  // namespace qm
