// Classical IIR filter design shared by the one-call filters and the cascade
// filter record: Butterworth, Chebyshev (passband ripple), inverse Chebyshev
// (stopband attenuation), elliptic (both) and the linear-ordinate family, for
// the four band types, as a cascade of recursive sections.
//
// The caller validates the arguments; the designer assumes order >= 1,
// 0 < fl < fh <= fs/2 for bands (0 < fc <= fs/2 otherwise), ripple > 0,
// attenuation > 0 and ripple < attenuation where they apply.
#pragma once

#include <cstdint>

namespace qm::filters {

enum IirBandType : std::int32_t {
  kIirLowpass = 0,
  kIirHighpass = 1,
  kIirBandpass = 2,
  kIirBandstop = 3,
};

enum class IirFamily {
  kButterworth,
  kChebyshev,
  kInverseChebyshev,
  kElliptic,
  kLinearOrdinate,
};

struct IirParameters {
  IirFamily family;
  std::int32_t type;   // IirBandType
  std::int32_t order;  // prototype order N
  double fs;
  double fl;           // cut-off for lowpass and highpass
  double fh;           // ignored for lowpass and highpass
  double ripple;       // dB, Chebyshev and elliptic
  double attenuation;  // dB, inverse Chebyshev and elliptic
};

// How a section's numerator is shaped; the one-call filters evaluate the
// numerator in that factored form, x[n] + x[n-1] for instance.
enum class IirShape {
  kSum1,   // b0 (x0 + x1)
  kDiff1,  // b0 (x0 - x1)
  kSum2,   // b0 (x0 + 2 x1 + x2)
  kDiff2,  // b0 (x0 - 2 x1 + x2)
  kSym2,   // b0 (x0 + x2) + b1 x1
  kAnti2,  // b0 (x0 - x2)
  kBand4,  // b0 (x0 - 2 x2 + x4)
  kSym4,   // b0 (x0 + x4) + b1 (x1 + x3) + b2 x2
};

// One recursive section H(z) = (b0 + b1 z^-1 + ... + bL z^-L) /
// (1 + a1 z^-1 + ... + aL z^-L), L = length; a holds a1..aL with their own
// sign (the denominator after its leading 1).
struct IirSection {
  std::int32_t length;  // 1, 2 or 4
  IirShape shape;
  double b[5];
  double a[4];
};

// Produces the sections of one design in cascade order: for odd N the
// first-order prototype section, then one section per prototype pole pair.
// Nothing is allocated; a section is computed when it is asked for.
class IirDesigner {
 public:
  explicit IirDesigner(const IirParameters& params);
  std::int32_t SectionCount() const { return sections_; }
  // The next section; call SectionCount() times.
  IirSection Next();

 private:
  IirSection ButterworthPair(double c) const;
  IirSection ButterworthFirst() const;
  IirSection TransformFirst(double pole) const;
  IirSection TransformPair(double n2, double n0, double d1, double d0) const;
  IirSection NextChebyshev(bool first_pair);
  IirSection NextInverseChebyshev();
  IirSection NextElliptic(bool first_pair);

  IirParameters spec_;
  std::int32_t sections_ = 0;
  std::int32_t produced_ = 0;
  bool odd_ = false;
  // Prewarped edges.
  double k_ = 0, k1_ = 0, k2_ = 0, p_ = 0, bw_ = 0;
  // Band substitution s = u(z)/v(z) in powers of z^-1 and its products.
  std::int32_t map_degree_ = 1;
  double u_[3] = {}, v_[3] = {};
  double uu_[5] = {}, uv_[5] = {}, vv_[5] = {};
  // Pole angle (running), its step, and the pair index j of the zeros.
  double theta_ = 0, step_ = 0;
  std::int64_t j_ = 0;  // 2N + 2 for the last pair of an order near 2^31: beyond 32 bits
  double t_ = 0;  // linear-ordinate imaginary part (running)
  // Family constants.
  double sh_ = 0, ch_ = 0;                  // sinh and cosh of the pole ellipse
  double gain_div_ = 1;                     // even orders: the first pair's gain is divided by it
  double k_sel_ = 0, kc_sel_ = 0, u0_ = 0;  // elliptic modulus, complement, K/N
  double sv_ = 0, cv_ = 0, dv_ = 1;         // Jacobi functions at w0
};

}  // namespace qm::filters
