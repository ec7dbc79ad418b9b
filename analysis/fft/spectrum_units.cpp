// Spectrum unit conversion: the value steps in their fixed order (amplitude
// to power, density, peak doubling, the scale), then the label.
#include "fft/spectrum_units.h"

#include <cmath>
#include <cstring>

#include "frame/workspace.h"

namespace qm::fft {
namespace {

// dBm: 10·log10 of the power over 0.6084 (1 mW into 600 Ω, in V²).
constexpr double kDbmReference = 0.6084;

// Suffix of the unit flags; `db` for the dB scale, where power and
// amplitude read alike.
const char* Suffix(std::int32_t flags, bool db) {
  static const char* const kLinear[8] = {"rms",      "pk",      "rms^2",    "pk^2",
                                         "rms/rtHz", "pk/rtHz", "rms^2/Hz", "pk^2/Hz"};
  if (db && flags == kUnitPower) return "rms";
  if (db && flags == (kUnitPower | kUnitPeak)) return "pk";
  return kLinear[flags];
}

}  // namespace

Status SpectrumUnitConversion(const double* x, std::int32_t n, std::int32_t kind,
                              std::int32_t scale, std::int32_t flags, double df, const double* w,
                              double* out, char* label) {
  if (n < 1) return kCountNotPositive;
  if (kind < 0 || kind > kSpectrumOther || scale < 0 || scale > kScaleDbm || flags < 0 || flags > 7)
    return kBadSelection;
  const bool density = kind != kSpectrumOther && (flags & kUnitDensity) != 0;
  double g = 1.0;
  if (density) {
    if (!w) return kNullPointer;
    const double bandwidth = df * *w;
    if (!std::isfinite(bandwidth) || !(bandwidth > 0.0)) return kNotPositiveOrZero;
    g = 1.0 / bandwidth;
  }
  const std::size_t length = std::strlen(label);
  Scratch<char> old;
  if (Status s = old.Allocate(length + 1)) return s;
  std::memcpy(old.data(), label, length + 1);

  std::memmove(out, x, sizeof(double) * static_cast<std::size_t>(n));
  if (kind == kSpectrumOther) {
    if (scale == kScaleLinear) {
      label[0] = '\0';
    } else {
      for (std::int32_t i = 0; i < n; ++i) out[i] = 20.0 * std::log10(std::fabs(out[i]));
      std::strcpy(label, "dB");
    }
    return kSuccess;
  }
  if (kind == kSpectrumAmplitude)
    for (std::int32_t i = 0; i < n; ++i) out[i] *= out[i];
  if (density)
    for (std::int32_t i = 0; i < n; ++i) out[i] *= g;
  if ((flags & kUnitPeak) && scale != kScaleDbm)
    for (std::int32_t i = 1; i < n; ++i) out[i] *= 2.0;
  switch (scale) {
    case kScaleLinear:
      if (!(flags & kUnitPower))
        for (std::int32_t i = 0; i < n; ++i) out[i] = std::sqrt(std::fabs(out[i]));
      break;
    case kScaleDb:
      for (std::int32_t i = 0; i < n; ++i) out[i] = 10.0 * std::log10(std::fabs(out[i]));
      break;
    default:
      for (std::int32_t i = 0; i < n; ++i)
        out[i] = 10.0 * std::log10(std::fabs(out[i]) / kDbmReference);
      std::strcpy(label, "dBm");
      return kSuccess;
  }
  const bool db = scale == kScaleDb;
  std::strcpy(label, db ? "dB" : "");
  std::strcat(label, old.data());
  std::strcat(label, Suffix(flags, db));
  return kSuccess;
}

}  // namespace qm::fft
