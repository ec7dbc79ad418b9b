// Load-time state of the library.
#pragma once

#include <string>

namespace qm {

// Directory of the library's own module, ending in the path separator, or
// "" when unknown.
const std::string& LibraryDirectory();

// The BLAS/LAPACK thread count read from "analysis.ini" at load.
int LibraryThreadCount();

}  // namespace qm
