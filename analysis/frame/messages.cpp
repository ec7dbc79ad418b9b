// Status-code messages. The table is made from status_table.inc and is
// searched from its first row to its last; the first row with an equal code
// wins, so the rows of QM_STATUS_REPEAT (-20068 and -20312 occur twice with
// the same text) never win.
#include <cstddef>
#include <iterator>
#include <string_view>

#include "frame/messages.h"

namespace qm {
namespace {

constexpr MessageRow kMessages[] = {
#define QM_STATUS(name, code, text) {code, text, false},
#define QM_STATUS_TEXT(code, text) {code, text, false},
#define QM_STATUS_REPEAT(code, text) {code, text, true},
#include "frame/status_table.inc"
};

// Every code has one row, apart from the repeated rows; in particular no two
// named constants share a code (the aliases of status.h are not rows).
constexpr bool CodesAreUnique() {
  for (std::size_t i = 0; i < std::size(kMessages); ++i) {
    if (kMessages[i].repeat) continue;
    for (std::size_t j = 0; j < i; ++j) {
      if (kMessages[j].code == kMessages[i].code) return false;
    }
  }
  return true;
}
static_assert(
    CodesAreUnique(),
    "two rows of status_table.inc share a code; a deliberate second row is QM_STATUS_REPEAT");

// A repeated row follows a row of the same code with the same text, so the
// search gives the same text whichever row it stops at.
constexpr bool RepeatsRepeat() {
  for (std::size_t i = 0; i < std::size(kMessages); ++i) {
    if (!kMessages[i].repeat) continue;
    bool found = false;
    for (std::size_t j = 0; j < i; ++j) {
      found = found || (kMessages[j].code == kMessages[i].code &&
                        std::string_view(kMessages[j].text) == std::string_view(kMessages[i].text));
    }
    if (!found) return false;
  }
  return true;
}
static_assert(
    RepeatsRepeat(),
    "a QM_STATUS_REPEAT row of status_table.inc has no earlier row with its code and text");

constexpr const char kUnknown[] = "Unknown error number";

}  // namespace

const char* GetErrorMessage(Status code) {
  for (const MessageRow& row : kMessages) {
    if (row.code == code) return row.text;
  }
  return kUnknown;
}

std::span<const MessageRow> MessageTable() { return kMessages; }

}  // namespace qm
