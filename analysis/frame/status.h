// Status codes of the analysis library.
//
// 0 is success, a negative code an error (outputs not valid), a positive code
// a warning (the call completed and its outputs are valid). The codes, their
// names and their texts are listed once, in status_table.inc; ZMXFunc240
// returns the texts (messages.cpp).
#pragma once

#include <cstdint>

namespace qm {

using Status = std::int32_t;

// One constant per QM_STATUS row of status_table.inc: kSuccess, the warnings
// kWarn... and the errors.
#define QM_STATUS(name, code, text) inline constexpr Status name = code;
#define QM_STATUS_TEXT(code, text)
#define QM_STATUS_REPEAT(code, text)
#include "frame/status_table.inc"

// Library-wide conventions chosen for this implementation:
//
// A null pointer where an array or result is required. "The input arrays do
// not contain the correct number of data values for this function." -- a null
// array holds no values. Checked at the export boundary, after the size
// narrowing and before any other check.
inline constexpr Status kNullPointer = kWrongDataCount;

// An export that needs BLAS/LAPACK while no BLAS/LAPACK module could be bound
// at load time.
inline constexpr Status kNoLinearAlgebra = kNotSupported;

}  // namespace qm
