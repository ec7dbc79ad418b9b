// Shared helpers of the IIR filter tests: the SciPy reference designs, calls
// of the one-call and record exports by family and band, and frequency
// responses of records and transfer functions.
#pragma once

#include <complex>
#include <cstdint>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include "qmanlys.h"

namespace qm::test {

struct ReferenceDesign {
  std::string family;  // butter, cheby1, cheby2, ellip, linord
  int32_t type = 0;
  int32_t order = 0;
  double fs = 0, fl = 0, fh = 0, ripple = 0, attenuation = 0;
  double modulus = 0;             // elliptic selectivity k
  std::vector<double> magnitude;  // at f_i = i fs / (2 (M - 1))
  std::vector<double> impulse;

  std::string Name() const {
    static const char* kTypes[] = {"lowpass", "highpass", "bandpass", "bandstop"};
    return family + " " + kTypes[type] + " order " + std::to_string(order);
  }
  double Frequency(size_t i) const {
    return static_cast<double>(i) * fs / (2.0 * static_cast<double>(magnitude.size() - 1));
  }
};

inline std::vector<double> ReadNumbers(std::istringstream& line) {
  std::vector<double> v;
  double d;
  while (line >> d) v.push_back(d);
  return v;
}

inline std::vector<ReferenceDesign> LoadReferenceDesigns() {
  std::vector<ReferenceDesign> designs;
  std::ifstream in(std::string(QM_TEST_DATA_DIR) + "/iir_responses.txt");
  std::string text;
  while (std::getline(in, text)) {
    std::istringstream line(text);
    std::string tag;
    line >> tag;
    if (tag == "design") {
      ReferenceDesign d;
      line >> d.family >> d.type >> d.order >> d.fs >> d.fl >> d.fh >> d.ripple >> d.attenuation >>
          d.modulus;
      designs.push_back(d);
    } else if (tag == "mag" && !designs.empty()) {
      designs.back().magnitude = ReadNumbers(line);
    } else if (tag == "impulse" && !designs.empty()) {
      designs.back().impulse = ReadNumbers(line);
    }
  }
  return designs;
}

// Runs the one-call export of the design's family and band type.
inline int32_t FilterOneCall(const ReferenceDesign& d, const double* x, int64_t n, double* y) {
  const double fs = d.fs, fl = d.fl, fh = d.fh, rp = d.ripple, rs = d.attenuation;
  const int32_t o = d.order;
  if (d.family == "butter") {
    switch (d.type) {
      case 0:
        return ZMXFunc21(x, n, fs, fl, o, y);
      case 1:
        return ZMXFunc20(x, n, fs, fl, o, y);
      case 2:
        return ZMXFunc16(x, n, fs, fl, fh, o, y);
      default:
        return ZMXFunc17(x, n, fs, fl, fh, o, y);
    }
  }
  if (d.family == "cheby1") {
    switch (d.type) {
      case 0:
        return ZMXFunc27(x, n, fs, fl, rp, o, y);
      case 1:
        return ZMXFunc26(x, n, fs, fl, rp, o, y);
      case 2:
        return ZMXFunc22(x, n, fs, fl, fh, rp, o, y);
      default:
        return ZMXFunc23(x, n, fs, fl, fh, rp, o, y);
    }
  }
  if (d.family == "cheby2") {
    switch (d.type) {
      case 0:
        return ZMXFunc101(x, n, fs, fl, rs, o, y);
      case 1:
        return ZMXFunc100(x, n, fs, fl, rs, o, y);
      case 2:
        return ZMXFunc96(x, n, fs, fl, fh, rs, o, y);
      default:
        return ZMXFunc97(x, n, fs, fl, fh, rs, o, y);
    }
  }
  switch (d.type) {
    case 0:
      return ZMXFunc64(x, n, fs, fl, rp, rs, o, y);
    case 1:
      return ZMXFunc63(x, n, fs, fl, rp, rs, o, y);
    case 2:
      return ZMXFunc59(x, n, fs, fl, fh, rp, rs, o, y);
    default:
      return ZMXFunc60(x, n, fs, fl, fh, rp, rs, o, y);
  }
}

// Runs the record design export of the design's family.
inline int32_t DesignRecord(const ReferenceDesign& d, IirCascadeRecord* r) {
  if (d.family == "butter") return ZMXFunc18(d.fs, d.fl, d.fh, r);
  if (d.family == "linord") return ZMXFunc12(d.fs, d.fl, d.fh, r);
  if (d.family == "cheby1") return ZMXFunc24(d.fs, d.fl, d.fh, d.ripple, r);
  if (d.family == "cheby2") return ZMXFunc98(d.fs, d.fl, d.fh, d.attenuation, r);
  return ZMXFunc61(d.fs, d.fl, d.fh, d.ripple, d.attenuation, r);
}

// The one-shot coefficient export of the design's family.
inline int32_t OneShotCoefficients(const ReferenceDesign& d, double* den, int32_t dl, double* num,
                                   int32_t nl) {
  const int32_t t = d.type, o = d.order;
  if (d.family == "butter") return ZMXFunc19(t, o, d.fs, d.fl, d.fh, den, dl, num, nl);
  if (d.family == "linord") return ZMXFunc13(t, o, d.fs, d.fl, d.fh, den, dl, num, nl);
  if (d.family == "cheby1") return ZMXFunc25(t, o, d.fs, d.fl, d.fh, d.ripple, den, dl, num, nl);
  if (d.family == "cheby2") {
    return ZMXFunc99(t, o, d.fs, d.fl, d.fh, d.attenuation, den, dl, num, nl);
  }
  return ZMXFunc62(t, o, d.fs, d.fl, d.fh, d.ripple, d.attenuation, den, dl, num, nl);
}

// p(z) = sum p[i] z^-i at z = exp(j w).
inline std::complex<double> Polynomial(const double* p, int64_t count, double w) {
  const std::complex<double> zinv = std::polar(1.0, -w);
  std::complex<double> acc = 0.0;
  for (int64_t i = count - 1; i >= 0; --i) acc = acc * zinv + p[i];
  return acc;
}

// Frequency response of a record's cascade at w rad/sample.
inline std::complex<double> RecordResponse(const IirCascadeRecord& r, double w) {
  const int64_t sections = (r.order + 1) / 2;
  const int64_t s = r.aCount / sections;
  std::complex<double> h = 1.0;
  for (int64_t k = 0; k < sections; ++k) {
    std::vector<double> den(s + 1, 1.0);
    for (int64_t j = 0; j < s; ++j) den[j + 1] = r.a[k * s + j];
    h *= Polynomial(r.b + k * (s + 1), s + 1, w) / Polynomial(den.data(), s + 1, w);
  }
  return h;
}

// Prototype frequency (rad/s) that a digital frequency maps to under the
// band transformation of the design (passband edge at 1).
inline double PrototypeFrequency(const ReferenceDesign& d, double f) {
  using std::numbers::pi;
  const double t = std::tan(pi * f / d.fs);
  if (d.type == 0) return t / std::tan(pi * d.fl / d.fs);
  if (d.type == 1) return std::tan(pi * d.fl / d.fs) / t;
  const double k1 = std::tan(pi * d.fh / d.fs), k2 = std::tan(pi * d.fl / d.fs);
  const double v = (t * t - k1 * k2) / ((k1 - k2) * t);
  return d.type == 2 ? std::fabs(v) : std::fabs(1.0 / v);
}

}  // namespace qm::test
