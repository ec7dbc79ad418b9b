// The fuzzer's core: one input (a byte string) becomes one call of one
// export, with hostile but in-contract arguments, and the call is checked.
//
// Input layout: two bytes, the export number (little-endian), then choice
// bytes read in parameter order (past the end every choice byte is 0). The
// same input always makes the same call, so a finding replays from its file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace qmfuzz {

enum class Outcome {
  kSkipped,  // unknown export, malformed input, or arrays beyond the fuzzer's size cap
  kPassed,
  kFailed,   // a check failed; `message` is a one-line description of the call
};

struct Report {
  Outcome outcome = Outcome::kSkipped;
  int export_number = -1;
  int32_t status = 0;
  bool has_status = false;
  std::uint64_t digest = 0;  // status, result and every output's bytes
  std::string message;
};

// Makes and checks one call. Thread-safe (no shared state but the library's).
// force_null >= 0: that parameter of the export (a pointer) is passed null,
// whatever the input chooses.
Report RunOne(const std::uint8_t* data, std::size_t size, int force_null = -1);

// The export numbers of the table, in ascending order.
int ExportCount();
int ExportNumber(int i);
bool ExportReturnsStatus(int number);
int ParamCount(int number);

}  // namespace qmfuzz
