/* Classical IIR filters and the IIR cascade filter record. Included by qmanlys.h inside its extern "C" block. */

/* ---- Classical IIR filters applied to a signal in one call ----------------
 * x: n input samples; y: optional output (null filters x in place). fs is the
 * sampling rate, fc the cut-off, fl < fh the band edges (Hz, fh <= fs/2);
 * ripple and attenuation in dB; order is the prototype order (a band filter
 * of order N has 2N poles). The filter starts from rest. */

/* ButterworthLowpass(x, n, fs, fc, order, y). */
int32_t ZMXFunc21(const double* x, int64_t n, double fs, double fc, int32_t order, double* y);
/* ButterworthHighpass(x, n, fs, fc, order, y). */
int32_t ZMXFunc20(const double* x, int64_t n, double fs, double fc, int32_t order, double* y);
/* ButterworthBandpass(x, n, fs, fl, fh, order, y). */
int32_t ZMXFunc16(const double* x, int64_t n, double fs, double fl, double fh, int32_t order,
                  double* y);
/* ButterworthBandstop(x, n, fs, fl, fh, order, y). */
int32_t ZMXFunc17(const double* x, int64_t n, double fs, double fl, double fh, int32_t order,
                  double* y);
/* ChebyshevLowpass(x, n, fs, fc, ripple, order, y). */
int32_t ZMXFunc27(const double* x, int64_t n, double fs, double fc, double ripple, int32_t order,
                  double* y);
/* ChebyshevHighpass(x, n, fs, fc, ripple, order, y). */
int32_t ZMXFunc26(const double* x, int64_t n, double fs, double fc, double ripple, int32_t order,
                  double* y);
/* ChebyshevBandpass(x, n, fs, fl, fh, ripple, order, y). */
int32_t ZMXFunc22(const double* x, int64_t n, double fs, double fl, double fh, double ripple,
                  int32_t order, double* y);
/* ChebyshevBandstop(x, n, fs, fl, fh, ripple, order, y). */
int32_t ZMXFunc23(const double* x, int64_t n, double fs, double fl, double fh, double ripple,
                  int32_t order, double* y);
/* InverseChebyshevLowpass(x, n, fs, fc, attenuation, order, y); fc is the stopband edge. */
int32_t ZMXFunc101(const double* x, int64_t n, double fs, double fc, double attenuation,
                   int32_t order, double* y);
/* InverseChebyshevHighpass(x, n, fs, fc, attenuation, order, y). */
int32_t ZMXFunc100(const double* x, int64_t n, double fs, double fc, double attenuation,
                   int32_t order, double* y);
/* InverseChebyshevBandpass(x, n, fs, fl, fh, attenuation, order, y). */
int32_t ZMXFunc96(const double* x, int64_t n, double fs, double fl, double fh,
                  double attenuation, int32_t order, double* y);
/* InverseChebyshevBandstop(x, n, fs, fl, fh, attenuation, order, y). */
int32_t ZMXFunc97(const double* x, int64_t n, double fs, double fl, double fh,
                  double attenuation, int32_t order, double* y);
/* EllipticLowpass(x, n, fs, fc, ripple, attenuation, order, y). */
int32_t ZMXFunc64(const double* x, int64_t n, double fs, double fc, double ripple,
                  double attenuation, int32_t order, double* y);
/* EllipticHighpass(x, n, fs, fc, ripple, attenuation, order, y). */
int32_t ZMXFunc63(const double* x, int64_t n, double fs, double fc, double ripple,
                  double attenuation, int32_t order, double* y);
/* EllipticBandpass(x, n, fs, fl, fh, ripple, attenuation, order, y). */
int32_t ZMXFunc59(const double* x, int64_t n, double fs, double fl, double fh, double ripple,
                  double attenuation, int32_t order, double* y);
/* EllipticBandstop(x, n, fs, fl, fh, ripple, attenuation, order, y). */
int32_t ZMXFunc60(const double* x, int64_t n, double fs, double fl, double fh, double ripple,
                  double attenuation, int32_t order, double* y);

/* ---- IIR cascade filter record --------------------------------------------
 * A record made by ZMXFunc233 is one block (these fields, then a, b and state
 * back to back), owned by the caller and released with ZMXFunc234. Section s
 * (sections = (order + 1)/2, S = 2 for lowpass/highpass, 4 for bands) is
 * H(z) = (b[s(S+1)] + ... + b[s(S+1)+S] z^-S) / (1 + a[sS] z^-1 + ... +
 * a[sS+S-1] z^-S), with state[sS .. sS+S-1] its delay line. For odd orders
 * section 0 is the first-order prototype section padded with zeros. The
 * design exports use fl as the cut-off of lowpass and highpass records and
 * ignore fh. A record must not be used from two threads at once. */
typedef struct IirCascadeRecord {
  int32_t type;         /* 0 lowpass, 1 highpass, 2 bandpass, 3 bandstop */
  int32_t order;        /* prototype order N >= 1 */
  int32_t resetPending; /* nonzero: the next filtering call clears the state first */
  int32_t aCount;       /* sections * S feedback coefficients */
  double* a;
  int32_t bCount;       /* sections * (S + 1) feed-forward coefficients */
  double* b;
  int32_t stateCount;   /* sections * S state values */
  double* state;
} IirCascadeRecord;

/* IirCascadeCreate(type, order): a new record with a zeroed state; null when
 * type is outside 0..3, order < 1 or memory is short. */
IirCascadeRecord* ZMXFunc233(int32_t type, int32_t order);
/* IirCascadeReset(record): the next filtering call starts from rest. */
void ZMXFunc235(IirCascadeRecord* record);
/* LinearOrdinateDesign(fs, fl, fh, record): poles with evenly spaced imaginary parts. */
int32_t ZMXFunc12(double fs, double fl, double fh, IirCascadeRecord* record);
/* ButterworthDesign(fs, fl, fh, record). */
int32_t ZMXFunc18(double fs, double fl, double fh, IirCascadeRecord* record);
/* ChebyshevDesign(fs, fl, fh, ripple, record). */
int32_t ZMXFunc24(double fs, double fl, double fh, double ripple, IirCascadeRecord* record);
/* InverseChebyshevDesign(fs, fl, fh, attenuation, record). */
int32_t ZMXFunc98(double fs, double fl, double fh, double attenuation, IirCascadeRecord* record);
/* EllipticDesign(fs, fl, fh, ripple, attenuation, record). */
int32_t ZMXFunc61(double fs, double fl, double fh, double ripple, double attenuation,
                  IirCascadeRecord* record);
/* IirCascadeFilter(x, n, record, y): y = x filtered, continuing from the record's
 * state; y is required and may equal x. */
int32_t ZMXFunc91(const double* x, int64_t n, IirCascadeRecord* record, double* y);
/* IirCascadeExpand(record, den, denLength, num, numLength): den[0..L-1] (den[0] = 1)
 * and num[0..L-1] of the whole cascade, L = order + 1 (lowpass, highpass) or
 * 2 order + 1 (bands). High orders are ill-conditioned in this form. */
int32_t ZMXFunc236(const IirCascadeRecord* record, double* den, int32_t denLength, double* num,
                   int32_t numLength);
/* LinearOrdinateCoefficients(type, order, fs, fl, fh, den, denLength, num, numLength). */
int32_t ZMXFunc13(int32_t type, int32_t order, double fs, double fl, double fh, double* den,
                  int32_t denLength, double* num, int32_t numLength);
/* ButterworthCoefficients(type, order, fs, fl, fh, den, denLength, num, numLength). */
int32_t ZMXFunc19(int32_t type, int32_t order, double fs, double fl, double fh, double* den,
                  int32_t denLength, double* num, int32_t numLength);
/* ChebyshevCoefficients(type, order, fs, fl, fh, ripple, den, denLength, num, numLength). */
int32_t ZMXFunc25(int32_t type, int32_t order, double fs, double fl, double fh, double ripple,
                  double* den, int32_t denLength, double* num, int32_t numLength);
/* InverseChebyshevCoefficients(type, order, fs, fl, fh, attenuation, den, denLength, num,
 * numLength). */
int32_t ZMXFunc99(int32_t type, int32_t order, double fs, double fl, double fh,
                  double attenuation, double* den, int32_t denLength, double* num,
                  int32_t numLength);
/* EllipticCoefficients(type, order, fs, fl, fh, ripple, attenuation, den, denLength, num,
 * numLength). */
int32_t ZMXFunc62(int32_t type, int32_t order, double fs, double fl, double fh, double ripple,
                  double attenuation, double* den, int32_t denLength, double* num,
                  int32_t numLength);
