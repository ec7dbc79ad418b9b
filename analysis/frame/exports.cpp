// Exports of the frame: status messages and the release of memory that the
// library handed out. Neither returns a status (see frame/boundary.h).
#include "frame/boundary.h"
#include "frame/messages.h"
#include "frame/workspace.h"

QM_EXPORT const char* ZMXFunc240(int32_t code) { return qm::GetErrorMessage(code); }

// Releases memory that an export allocated for the caller; null does nothing.
// Exported under two names.
QM_EXPORT void ZMXFunc234(void* block) { qm::WorkspaceFree(block); }
QM_EXPORT __attribute__((alias("ZMXFunc234"))) void ZMXFunc238(void* block);
