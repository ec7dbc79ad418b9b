// Elliptic integrals and Jacobi elliptic functions for the elliptic filter
// design: the complete integral of the first kind, sn/cn/dn, the inverse of
// sc, and the modulus that belongs to a nome.
#pragma once

namespace qm::filters {

struct JacobiValues {
  double sn, cn, dn;
};

// K(k) from the complementary modulus kc = sqrt(1 - k^2): pi / (2 AGM(1, kc)).
double CompleteEllipticK(double kc);

// sn, cn, dn of u for the modulus whose complement is kc (descending Landen
// transformation). Meant for 0 <= u <= K.
JacobiValues JacobiSnCnDn(double u, double kc);

// The u with sc(u) = sn(u)/cn(u) = x for the modulus whose complement is kc,
// that is the incomplete integral F(atan x) (Bulirsch's el1). Stops when the
// arithmetic and geometric means agree to 1.2e-7 relative.
double InverseJacobi(double x, double kc);

// The modulus k whose nome exp(-pi K'(k)/K(k)) is exp(-pi tau), tau > 0, from
// the theta series k = 4 sqrt(q) (sum q^(n(n+1)))^2 / (1 + 2 sum q^(n^2))^2.
double ModulusFromNome(double tau);

}  // namespace qm::filters
