// Mathematical constants shared by the families (and the FFT kernel
// generator), taken from <numbers> so that every routine uses the same
// correctly rounded values.
#pragma once

#include <numbers>

namespace qm {

inline constexpr double kPi = std::numbers::pi;
inline constexpr double kTwoPi = 2 * std::numbers::pi;        // exact: scaling by 2
inline constexpr double kSqrtHalf = std::numbers::sqrt2 / 2;  // 1/√2, exact likewise
inline constexpr double kLn10 = std::numbers::ln10;
// π in extended precision, for the exact-angle trigonometry.
inline constexpr long double kPiL = std::numbers::pi_v<long double>;

}  // namespace qm
