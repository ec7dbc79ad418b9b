#pragma once

#include <span>

#include "frame/status.h"

namespace qm {

// One row of the message table. `repeat` marks a further row of a code that
// an earlier row already has (with the same text); the search never stops at
// it.
struct MessageRow {
  Status code;
  const char* text;
  bool repeat;
};

// The constant message of a status code; "Unknown error number" for a code
// that the table lacks. Safe from any thread.
const char* GetErrorMessage(Status code);

// The message table in its search order (status_table.inc), repeated rows
// included.
std::span<const MessageRow> MessageTable();

}  // namespace qm
