// The least-squares coefficients of consecutive windows: for window k of w
// samples starting at s + k, c_q[k] = sum over j = 0 .. w-1, in that order,
// of P[q][j] * s[k + j] (separate multiply and add, from 0.0). Every path
// gives the same bits, so a window's coefficients do not depend on how the
// windows were grouped.
#pragma once

#include <cstdint>

namespace qm::peaks {

enum class FitPath {
  kBest,      // the widest instruction set of the processor
  kPortable,  // plain C++ (for tests of the other paths)
};

void FitWindows(const double* s, std::int32_t count, const double* p, std::int32_t w, double* c0,
                double* c1, double* c2, FitPath path = FitPath::kBest);

}  // namespace qm::peaks
