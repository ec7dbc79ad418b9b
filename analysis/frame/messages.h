#pragma once

#include "frame/status.h"

namespace qm {

// The constant message of a status code; "Unknown error number" for a code
// that the table lacks. Safe from any thread.
const char* GetErrorMessage(Status code);

}  // namespace qm
