# Classical IIR filters in one call, and the IIR cascade filter record.
module filters

# The filters start from rest; the result is a new array unless y= (or out=)
# is given, which may be x itself (filtering in place).
export 21 butterworth_lowpass
  x in f64[n]
  n size i64 =len(x)
  fs in f64
  fc in f64
  order in i32
  y out~ f64[n]
export 20 butterworth_highpass
  x in f64[n]
  n size i64 =len(x)
  fs in f64
  fc in f64
  order in i32
  y out~ f64[n]
export 16 butterworth_bandpass
  x in f64[n]
  n size i64 =len(x)
  fs in f64
  fl in f64
  fh in f64
  order in i32
  y out~ f64[n]
export 17 butterworth_bandstop
  x in f64[n]
  n size i64 =len(x)
  fs in f64
  fl in f64
  fh in f64
  order in i32
  y out~ f64[n]
export 27 chebyshev_lowpass
  x in f64[n]
  n size i64 =len(x)
  fs in f64
  fc in f64
  ripple in f64
  order in i32
  y out~ f64[n]
export 26 chebyshev_highpass
  x in f64[n]
  n size i64 =len(x)
  fs in f64
  fc in f64
  ripple in f64
  order in i32
  y out~ f64[n]
export 22 chebyshev_bandpass
  x in f64[n]
  n size i64 =len(x)
  fs in f64
  fl in f64
  fh in f64
  ripple in f64
  order in i32
  y out~ f64[n]
export 23 chebyshev_bandstop
  x in f64[n]
  n size i64 =len(x)
  fs in f64
  fl in f64
  fh in f64
  ripple in f64
  order in i32
  y out~ f64[n]
export 101 inverse_chebyshev_lowpass
  x in f64[n]
  n size i64 =len(x)
  fs in f64
  fc in f64
  attenuation in f64
  order in i32
  y out~ f64[n]
export 100 inverse_chebyshev_highpass
  x in f64[n]
  n size i64 =len(x)
  fs in f64
  fc in f64
  attenuation in f64
  order in i32
  y out~ f64[n]
export 96 inverse_chebyshev_bandpass
  x in f64[n]
  n size i64 =len(x)
  fs in f64
  fl in f64
  fh in f64
  attenuation in f64
  order in i32
  y out~ f64[n]
export 97 inverse_chebyshev_bandstop
  x in f64[n]
  n size i64 =len(x)
  fs in f64
  fl in f64
  fh in f64
  attenuation in f64
  order in i32
  y out~ f64[n]
export 64 elliptic_lowpass
  x in f64[n]
  n size i64 =len(x)
  fs in f64
  fc in f64
  ripple in f64
  attenuation in f64
  order in i32
  y out~ f64[n]
export 63 elliptic_highpass
  x in f64[n]
  n size i64 =len(x)
  fs in f64
  fc in f64
  ripple in f64
  attenuation in f64
  order in i32
  y out~ f64[n]
export 59 elliptic_bandpass
  x in f64[n]
  n size i64 =len(x)
  fs in f64
  fl in f64
  fh in f64
  ripple in f64
  attenuation in f64
  order in i32
  y out~ f64[n]
export 60 elliptic_bandstop
  x in f64[n]
  n size i64 =len(x)
  fs in f64
  fl in f64
  fh in f64
  ripple in f64
  attenuation in f64
  order in i32
  y out~ f64[n]

# IIR cascade records (handle kind IirCascade, declared with the library
# frame): designed once, then filtering block after block.
export 233 iir_cascade_create -> handle:IirCascade
  type in i32
  order in i32
export 235 iir_cascade_reset -> void
  record in handle:IirCascade
## For lowpass and highpass records fl is the cut-off and fh is ignored.
export 12 linear_ordinate_design
  fs in f64
  fl in f64
  fh in f64
  record in handle:IirCascade
export 18 butterworth_design
  fs in f64
  fl in f64
  fh in f64
  record in handle:IirCascade
export 24 chebyshev_design
  fs in f64
  fl in f64
  fh in f64
  ripple in f64
  record in handle:IirCascade
export 98 inverse_chebyshev_design
  fs in f64
  fl in f64
  fh in f64
  attenuation in f64
  record in handle:IirCascade
export 61 elliptic_design
  fs in f64
  fl in f64
  fh in f64
  ripple in f64
  attenuation in f64
  record in handle:IirCascade
## Continues from the record's state.
export 91 iir_cascade_filter
  x in f64[n]
  n size i64 =len(x)
  record in handle:IirCascade
  y out f64[n]
# The lengths cannot be derived from the record here: the caller gives them.
## Returns (den, num) of the whole cascade. denLength and numLength must be
## order + 1 (lowpass, highpass) or 2 order + 1 (bandpass, bandstop): only
## that many values are written.
export 236 iir_cascade_expand
  record in handle:IirCascade
  den out f64[denLength]
  denLength in i32
  num out f64[numLength]
  numLength in i32
# type 0 lowpass, 1 highpass (order + 1 values), 2 bandpass, 3 bandstop
# (2 order + 1 values); max() keeps the length arithmetic in 64 bits.
## Returns (den, num), den[0] = 1.
export 13 linear_ordinate_coefficients
  type in i32
  order in i32
  fs in f64
  fl in f64
  fh in f64
  den out f64[denLength]
  denLength size i32 =(type == 2 || type == 3 ? 2 : 1) * max(order, 0) + 1
  num out f64[numLength]
  numLength size i32 =(type == 2 || type == 3 ? 2 : 1) * max(order, 0) + 1
## Returns (den, num), den[0] = 1.
export 19 butterworth_coefficients
  type in i32
  order in i32
  fs in f64
  fl in f64
  fh in f64
  den out f64[denLength]
  denLength size i32 =(type == 2 || type == 3 ? 2 : 1) * max(order, 0) + 1
  num out f64[numLength]
  numLength size i32 =(type == 2 || type == 3 ? 2 : 1) * max(order, 0) + 1
## Returns (den, num), den[0] = 1.
export 25 chebyshev_coefficients
  type in i32
  order in i32
  fs in f64
  fl in f64
  fh in f64
  ripple in f64
  den out f64[denLength]
  denLength size i32 =(type == 2 || type == 3 ? 2 : 1) * max(order, 0) + 1
  num out f64[numLength]
  numLength size i32 =(type == 2 || type == 3 ? 2 : 1) * max(order, 0) + 1
## Returns (den, num), den[0] = 1.
export 99 inverse_chebyshev_coefficients
  type in i32
  order in i32
  fs in f64
  fl in f64
  fh in f64
  attenuation in f64
  den out f64[denLength]
  denLength size i32 =(type == 2 || type == 3 ? 2 : 1) * max(order, 0) + 1
  num out f64[numLength]
  numLength size i32 =(type == 2 || type == 3 ? 2 : 1) * max(order, 0) + 1
## Returns (den, num), den[0] = 1.
export 62 elliptic_coefficients
  type in i32
  order in i32
  fs in f64
  fl in f64
  fh in f64
  ripple in f64
  attenuation in f64
  den out f64[denLength]
  denLength size i32 =(type == 2 || type == 3 ? 2 : 1) * max(order, 0) + 1
  num out f64[numLength]
  numLength size i32 =(type == 2 || type == 3 ? 2 : 1) * max(order, 0) + 1
