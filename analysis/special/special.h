// Scalar special functions of real arguments.
//
// Every function takes its arguments by value and returns the value; none
// keeps state or allocates. Out-of-domain arguments give a quiet NaN (after
// the domain hook, see DomainError in kernels.h); NaN arguments give NaN.
// These are also the interfaces other families use (the distributions need
// LogGamma, IncompleteGammaP/Q and IncompleteBeta/IncompleteBetaComplement).
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::special {

// ---- Error functions --------------------------------------------------------
double Erf(double x);
double Erfc(double x);
// Status forms of the exports: *result = erf(x) or erfc(x), status 0.
Status ErfToResult(double x, double* result);
Status ErfcToResult(double x, double* result);

// ---- Gamma family -------------------------------------------------------------
// Γ(x); NaN at 0 and the negative integers.
double Gamma(double x);
// Γ(x) by Stirling's formula alone, 0 < x < 709.782712893384 (crude below 33).
double GammaStirling(double x);
// ln Γ(x) for x >= 0 (+infinity at 0), NaN for x < 0.
double LogGamma(double x);
double Factorial(std::int32_t n);
double LogFactorial(std::int32_t n);
// ψ(x); NaN at the non-positive integers.
double Digamma(double x);
// Complete beta function B(a, b).
double Beta(double a, double b);
// Regularised incomplete gamma functions P(a, x) and Q(a, x) = 1 - P(a, x),
// a > 0, x >= 0; each computed directly where it is the smaller one.
double IncompleteGammaP(double a, double x);
double IncompleteGammaQ(double a, double x);
// Regularised incomplete beta I_x(a, b) and its complement 1 - I_x(a, b),
// a > 0, b > 0, 0 <= x <= 1.
double IncompleteBeta(double a, double b, double x);
double IncompleteBetaComplement(double a, double b, double x);

// ---- Exponential and trigonometric-type integrals ------------------------------
// E_n(x), n >= 0, x >= 0.
double ExponentialIntegralEn(double x, std::int32_t n);
// Si and Ci together; for x < 0 Ci is the real part Ci(|x|).
void SineCosineIntegrals(double x, double* si, double* ci);
double SineIntegral(double x);
double CosineIntegral(double x);
// Shi and Chi together; for x < 0 Chi is the real part Chi(|x|).
void HyperbolicSineCosineIntegrals(double x, double* shi, double* chi);
double HyperbolicSineIntegral(double x);
double HyperbolicCosineIntegral(double x);
// Fresnel S(x) and C(x) with the phase πx²/2.
void FresnelIntegrals(double x, double* s, double* c);
double DawsonIntegral(double x);
// Spence's function ∫₁ˣ ln t / (1 - t) dt = Li₂(1 - x), x >= 0.
double Dilogarithm(double x);

// ---- Bessel and Airy functions ------------------------------------------------------
// J_v(x), Y_v(x) and I_v(x) of real order.
double BesselJ(double v, double x);
double BesselY(double v, double x);
double BesselI(double v, double x);
double SphericalBesselJ(std::int32_t n, double x);
double SphericalBesselY(std::int32_t n, double x);
// Ai, Ai', Bi, Bi' at x (all four outputs required).
void Airy(double x, double* ai, double* aip, double* bi, double* bip);

// ---- Elliptic integrals and functions -------------------------------------------
// Complete K(m) (the logarithmic form for 1 - m <= 7e-6) and E(m), 0 <= m <= 1.
double EllipticK(double m);
double EllipticE(double m);
// Incomplete F(φ | m) and E(φ | m); for m > 1 only where 1 - m sin²φ >= 0.
double EllipticF(double phi, double m);
double EllipticEIncomplete(double phi, double m);
// sn, cn, dn of (u | m), 0 <= m <= 1; returns the amplitude φ = am(u | m).
double JacobiElliptic(double u, double m, double* sn, double* cn, double* dn);

// ---- Zeta ---------------------------------------------------------------------------
double RiemannZeta(double x);

// ---- Hypergeometric functions and Struve --------------------------------------------
double Hypergeometric2F1(double a, double b, double c, double x);
double Hypergeometric1F1(double a, double b, double x);
// Struve function H_v(x); x < 0 only for integer v.
double Struve(double v, double x);

}  // namespace qm::special
