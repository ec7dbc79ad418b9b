// Savitzky-Golay smoothing: every output is the value at the centre of the
// polynomial of order p fitted, optionally with weights, to the frame of
// F = 2m + 1 samples around it; the ends take the fits of the first and last
// frames at their points.
//
// J (F x (p+1)) has rows 1, t, ..., t^p for t = i - m; W = diag(|w|).
// C = (J'WJ)^-1 J'W ((p+1) x F) maps a frame to the polynomial coefficients,
// H = J C (F x F) to the fitted values: row r of H gives the fit at r - m.
// (J'WJ)^-1 comes from the QR factors of diag(sqrt|w|) J as R^-1 R^-T.
//
// Checks in this order: p < 1 (-20063); F <= p (-20037); for the filters
// n < F (-20008); F or F*F beyond 32 bits (-20046); weights infinite or NaN
// (-20068); scratch (-20001); fewer than p + 1 usable rows, that is a
// diagonal of R at or below max|R| (p+1) eps (-20041); then the statuses of
// the linear algebra. Outputs are untouched on failure.
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::filters {

// weights: F values or null (equal weights). C is written only when
// want_coefficients is nonzero (it may then not be null).
Status SavitzkyGolayMatrix(std::int32_t p, std::int32_t m, const double* weights,
                           std::int32_t want_coefficients, double* h, double* c);
// y may be x.
Status SavitzkyGolayFilter(const double* x, std::int32_t n, std::int32_t p, std::int32_t m,
                           const double* weights, double* y);
// n interleaved (re, im) pairs; the two parts are smoothed separately.
Status ComplexSavitzkyGolayFilter(const double* x, std::int32_t n, std::int32_t p, std::int32_t m,
                                  const double* weights, double* y);

}  // namespace qm::filters
