// Unit conversion of a one-sided spectrum (power or amplitude) into rms or
// peak, amplitude or power, per bin or per hertz, linear, dB or dBm, with the
// caller's unit label rewritten to match.
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::fft {

// Input kinds, output scales and unit flags.
enum : std::int32_t {
  kSpectrumPower = 0,
  kSpectrumAmplitude = 1,
  kSpectrumOther = 2,  // only a dB conversion
};
enum : std::int32_t { kScaleLinear = 0, kScaleDb = 1, kScaleDbm = 2 };
enum : std::int32_t { kUnitPeak = 1, kUnitPower = 2, kUnitDensity = 4 };

// out = the n values of x in the unit asked for (out may be x; x is not
// changed otherwise); label rewritten in place (the caller leaves room for
// 10 more characters). w, the noise-bandwidth factor of the window, is read
// only for a density of a power or amplitude spectrum (null accepted
// otherwise). Checks in order: n < 1 (-20003); kind, scale or flags outside
// 0 … 2, 0 … 2, 0 … 7 (-20061); w null when it is read (-20008); df·w not
// finite and positive when it is read (-20140); no memory for the copy of
// the label (-20001). Nothing is written on a failure.
Status SpectrumUnitConversion(const double* x, std::int32_t n, std::int32_t kind,
                              std::int32_t scale, std::int32_t flags, double df, const double* w,
                              double* out, char* label);

}  // namespace qm::fft
