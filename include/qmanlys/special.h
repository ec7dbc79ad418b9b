/* Special functions of real arguments. Included by qmanlys.h inside its
 * extern "C" block.
 *
 * Each export evaluates one function and returns its value (the error
 * functions return status 0 and write the value; the multi-valued exports
 * write through pointers and skip a null one). Arguments outside a
 * function's domain give a quiet NaN, NaN arguments give NaN. Integer orders
 * are 32-bit. "Optional x" arguments: a null pointer selects the complete
 * function, otherwise the incomplete one at *x. */

/* Erf(x, result): *result = erf(x); status 0, -20008 for a null result. */
int32_t ZMXFunc70(double x, double* result);
/* Erfc(x, result): *result = erfc(x) (exactly 0 beyond x = 26.64, 2 below -26.64); status 0,
 * -20008 for a null result. */
int32_t ZMXFunc71(double x, double* result);

/* GammaOrIncompleteGamma(a, x): x null: Gamma(a) (NaN at 0 and the negative integers); otherwise
 * the regularised lower incomplete gamma P(a, *x), a > 0, *x >= 0. */
double ZMXFunc309(double a, const double* x);
/* GammaStirling(x): Gamma(x) by Stirling's formula, 0 < x < 709.78 (a crude value below 33). */
double ZMXFunc314(double x);
/* LogGamma(x): ln Gamma(x), x >= 0 (+infinity at 0); NaN for x < 0. */
double ZMXFunc312(double x);
/* Factorial(n): n!, NaN for n < 0, +infinity from n = 171. */
double ZMXFunc308(int32_t n);
/* LogFactorial(n): ln n!, NaN for n < 0. */
double ZMXFunc311(int32_t n);
/* Digamma(x): psi(x) = Gamma'(x)/Gamma(x); NaN at the non-positive integers. */
double ZMXFunc313(double x);
/* BetaOrIncompleteBeta(a, b, x): x null: B(a, b) (NaN at the poles of a and b); otherwise the
 * regularised incomplete beta I_x(a, b), a > 0, b > 0, 0 <= *x <= 1. */
double ZMXFunc307(double a, double b, const double* x);

/* ExponentialIntegralEn(x, n): E_n(x), n >= 0, x >= 0 (+infinity at x = 0 for n <= 1). */
double ZMXFunc321(double x, int32_t n);
/* FresnelIntegrals(x, s, c): *s = S(x), *c = C(x) (phase pi x^2/2; both 0.5 with the sign of x
 * beyond |x| = 36974); a null output is skipped. Returns 0.0. */
double ZMXFunc331(double x, double* s, double* c);
/* HyperbolicSineIntegral(x): Shi(x), odd; +-infinity beyond |x| = 880. */
double ZMXFunc325(double x);
/* HyperbolicCosineIntegral(x): Chi(x) (-infinity at 0; for x < 0 the real part Chi(|x|)). */
double ZMXFunc324(double x);
/* CosineIntegral(x): Ci(x) = gamma + ln x + int_0^x (cos t - 1)/t dt (-infinity at 0; for x < 0
 * the real part Ci(|x|)). */
double ZMXFunc322(double x);
/* SineIntegral(x): Si(x) = int_0^x sin t / t dt, odd; +-pi/2 at +-infinity. */
double ZMXFunc323(double x);
/* DawsonIntegral(x): F(x) = exp(-x^2) int_0^x exp(t^2) dt, odd. */
double ZMXFunc320(double x);
/* Dilogarithm(x): Spence's function int_1^x ln t / (1 - t) dt = Li2(1 - x), x >= 0 (NaN below);
 * pi^2/6 at 0, 0 at 1. */
double ZMXFunc326(double x);

/* BesselJ(v, x): J_v(x) of real order; x < 0 only for integer v (NaN otherwise). */
double ZMXFunc302(double v, double x);
/* BesselY(v, x): Y_v(x) of real order, x > 0 (NaN for x <= 0, v < -200 and integer |v| above
 * 2147483647); accurate also for orders near an integer. */
double ZMXFunc301(double v, double x);
/* SphericalBesselJ(n, x): j_n(x) = sqrt(pi/(2x)) J_(n+1/2)(x), x >= 0 (1 at x = 0 for n = 0, 0 for
 * n > 0). */
double ZMXFunc303(int32_t n, double x);
/* SphericalBesselY(n, x): y_n(x) = sqrt(pi/(2x)) Y_(n+1/2)(x), x > 0. */
double ZMXFunc304(int32_t n, double x);
/* BesselI(v, x): modified Bessel function I_v(x) of real order; x < 0 only for integer v. */
double ZMXFunc305(double v, double x);
/* Airy(x, ai, aip, bi, bip): Ai(x), Ai'(x), Bi(x), Bi'(x); a null output is skipped. Returns 0.0. */
double ZMXFunc330(double x, double* ai, double* aip, double* bi, double* bip);

/* EllipticFirstKind(m, phi): phi null: complete K(m), 0 <= m <= 1 (+infinity at 1; for
 * 1 - m <= 7e-6 the logarithmic form ln 4 - ln(1 - m)/2); otherwise F(*phi | m) (parameter m;
 * for m > 1 only where 1 - m sin^2 phi >= 0). */
double ZMXFunc318(double m, const double* phi);
/* EllipticSecondKind(m, phi): phi null: complete E(m), 0 <= m <= 1; otherwise E(*phi | m). */
double ZMXFunc319(double m, const double* phi);
/* JacobiElliptic(u, m, sn, cn, dn, phi): sn, cn, dn of (u | m), 0 <= m <= 1 (NaN outside); the
 * amplitude phi = am(u | m) is written to *phi and returned. A null output is skipped. */
double ZMXFunc332(double u, double m, double* sn, double* cn, double* dn, double* phi);
/* RiemannZeta(x): zeta(x) for real x (+infinity at the pole x = 1, exact zeros at the negative
 * even integers, finite down to about -260). */
double ZMXFunc329(double x);

/* Hypergeometric2F1(a, b, c, x): Gauss's 2F1(a, b; c; x), x <= 1 (any x when a or b is a
 * non-positive integer); NaN at the poles of c. */
double ZMXFunc315(double a, double b, double c, double x);
/* Hypergeometric1F1(a, b, x): Kummer's confluent 1F1(a; b; x); NaN at the poles of b. */
double ZMXFunc316(double a, double b, double x);
/* Struve(v, x): Struve function H_v(x), |v| <= 200; x < 0 only for integer v. */
double ZMXFunc328(double v, double x);

/* Not exported: ZMXFunc306, ZMXFunc310, ZMXFunc317, ZMXFunc327, ZMXFunc333 and ZMXFunc334, whose
 * meanings are not fixed beyond their argument shapes; a missing symbol is safer for a caller than
 * a guessed function returning plausible but different numbers. */
