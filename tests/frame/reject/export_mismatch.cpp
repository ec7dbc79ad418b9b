// Must not compile: the export's count is 32 bits wide where its declaration
// in the public header says 64. The frame.export_declaration_checked test
// compiles this file and expects the compiler's rejection.
#include "frame/boundary.h"

QM_EXPORT int32_t ZMXFunc1(const double* x, int32_t n, double* out) {
  return n > 0 && x && out ? 0 : -20003;
}
