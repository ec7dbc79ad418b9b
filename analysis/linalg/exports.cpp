// Exports of the real and complex matrix operations: the boundary adapters of
// include/qmanlys/linalg.h.
#include "frame/boundary.h"
#include "linalg/complex.h"
#include "linalg/real.h"

using namespace qm::boundary;

QM_EXPORT int32_t ZMXFunc55(const double* a, int64_t n, double* det) {
  return Call(qm::linalg::Determinant, In(a), Size(n), Out(det));
}

QM_EXPORT int32_t ZMXFunc204(const double* a, int64_t n, int32_t type, double* det) {
  return Call(qm::linalg::DeterminantTyped, In(a), Size(n), type, Out(det));
}

QM_EXPORT int32_t ZMXFunc105(double* a, int64_t n, double* out) {
  return Call(qm::linalg::MatrixInverse, In(a), Size(n), OutOr(out, a));
}

QM_EXPORT int32_t ZMXFunc198(double* a, int64_t n, int32_t type, double* out) {
  return Call(qm::linalg::MatrixInverseTyped, In(a), Size(n), type, OutOr(out, a));
}

QM_EXPORT int32_t ZMXFunc114(const double* a, double* b, int64_t n, double* x) {
  return Call(qm::linalg::SolveSquare, In(a), In(b), Size(n), OutOr(x, b));
}

QM_EXPORT int32_t ZMXFunc197(const double* a, int64_t m, int64_t n, const double* b, int32_t type,
                             double* x) {
  return Call(qm::linalg::SolveLinearEquations, In(a), Size(m), Size(n), In(b), type, Out(x));
}

QM_EXPORT int32_t ZMXFunc241(const double* a, int64_t m, int64_t n, int32_t type, const double* b,
                             int64_t k, double* x) {
  return Call(qm::linalg::SolveLinearEquationsMulti, In(a), Size(m), Size(n), type, In(b), Size(k),
              Out(x));
}

QM_EXPORT int32_t ZMXFunc118(double* a, int64_t n, int64_t* p, int32_t* parity) {
  return Call(qm::linalg::LuDecomposition, Out(a), Size(n), Maybe(p), Out(parity));
}

QM_EXPORT int32_t ZMXFunc82(const double* lu, double* b, int64_t n, double* y, const int64_t* p) {
  return Call(qm::linalg::LuForwardSubstitution, In(lu), In(b), Size(n), OutOr(y, b), In(p));
}

QM_EXPORT int32_t ZMXFunc11(const double* u, double* b, int64_t n, double* x) {
  return Call(qm::linalg::BackSubstitution, In(u), In(b), Size(n), OutOr(x, b));
}

QM_EXPORT int32_t ZMXFunc205(const double* a, int64_t m, int64_t n, int32_t norm_type,
                             double* cond) {
  return Call(qm::linalg::ConditionNumber, In(a), Size(m), Size(n), norm_type, Out(cond));
}

QM_EXPORT int32_t ZMXFunc209(const double* a, int64_t n, int32_t* result) {
  return Call(qm::linalg::IsPositiveDefinite, In(a), Size(n), Out(result));
}

QM_EXPORT int32_t ZMXFunc191(const double* x, const double* y, int64_t n, double* dot) {
  return Call(qm::linalg::DotProduct, In(x), In(y), Size(n), Out(dot));
}

// Empty products are valid, so the operands are checked for null inside.
QM_EXPORT int32_t ZMXFunc119(const double* a, const double* b, int64_t m, int64_t k, int64_t n,
                             double* c) {
  return Call(qm::linalg::MatrixMultiply, Maybe(a), Maybe(b), Size(m), Size(k), Size(n), Maybe(c));
}

QM_EXPORT int32_t ZMXFunc370(const double* a, const double* x, int64_t m, int64_t n, double* y) {
  return Call(qm::linalg::MatrixVectorMultiply, Maybe(a), Maybe(x), Size(m), Size(n), Maybe(y));
}

QM_EXPORT int32_t ZMXFunc203(const double* x, int64_t n, const double* y, int64_t m, double* out) {
  return Call(qm::linalg::OuterProduct, In(x), Size(n), In(y), Size(m), Out(out));
}

QM_EXPORT int32_t ZMXFunc358(const double* a, const double* b, int64_t rows_a, int64_t cols_a,
                             int64_t rows_b, int64_t cols_b, double* out) {
  return Call(qm::linalg::KroneckerProduct, In(a), In(b), Size(rows_a), Size(cols_a), Size(rows_b),
              Size(cols_b), Out(out));
}

QM_EXPORT int32_t ZMXFunc177(double* a, int64_t m, int64_t n, double* out) {
  return Call(qm::linalg::MatrixTranspose, In(a), Size(m), Size(n), OutOr(out, a));
}

QM_EXPORT int32_t ZMXFunc175(const double* a, int64_t n, double* trace) {
  return Call(qm::linalg::MatrixTrace, In(a), Size(n), Out(trace));
}

QM_EXPORT int32_t ZMXFunc206(const double* a, int64_t m, int64_t n, int32_t type, double* norm) {
  return Call(qm::linalg::MatrixNorm, In(a), Size(m), Size(n), type, Out(norm));
}

QM_EXPORT int32_t ZMXFunc207(const double* a, int64_t m, int64_t n, double tolerance,
                             int64_t* rank) {
  return Call(qm::linalg::MatrixRank, In(a), Size(m), Size(n), tolerance, CountOut(rank));
}

QM_EXPORT int32_t ZMXFunc200(const double* a, int64_t m, int64_t n, double tolerance, double* out) {
  return Call(qm::linalg::PseudoInverse, In(a), Size(m), Size(n), tolerance, Out(out));
}

QM_EXPORT int32_t ZMXFunc193(const double* a, int64_t m, int64_t n, double* u, double* s,
                             double* v) {
  return Call(qm::linalg::SvdDecomposition, In(a), Size(m), Size(n), Out(u), Out(s), Out(v));
}

QM_EXPORT int32_t ZMXFunc246(const double* a, int64_t m, int64_t n, int32_t type, double* u,
                             double* s, double* v) {
  return Call(qm::linalg::SvdDecompositionTyped, In(a), Size(m), Size(n), type, Maybe(u), Out(s),
              Maybe(v));
}

QM_EXPORT int32_t ZMXFunc195(const double* a, int64_t m, int64_t n, double* s) {
  return Call(qm::linalg::MatrixSingularValues, In(a), Size(m), Size(n), Out(s));
}

QM_EXPORT int32_t ZMXFunc201(const double* a, int64_t n, int32_t output_type, double* values,
                             double* vectors) {
  return Call(qm::linalg::EigenGeneral, In(a), Size(n), output_type, Out(values), Maybe(vectors));
}

QM_EXPORT int32_t ZMXFunc202(double* a, int64_t n, int32_t output_type, double* values,
                             double* vectors) {
  return Call(qm::linalg::EigenSymmetric, In(a), Size(n), output_type, Out(values),
              OutOr(vectors, a));
}

QM_EXPORT int32_t ZMXFunc248(double* a, int64_t n, int32_t job, int64_t* ilo, int64_t* ihi,
                             double* scale, double* out) {
  return Call(qm::linalg::MatrixBalance, In(a), Size(n), job, IndexOut(ilo), IndexOut(ihi),
              Out(scale), OutOr(out, a));
}

QM_EXPORT int32_t ZMXFunc250(double* v, int64_t n, int32_t side, int32_t job, int64_t ilo,
                             int64_t ihi, const double* scale, double* out) {
  return Call(qm::linalg::EigenvectorBackTransform, In(v), Size(n), side, job, Size(ilo), Size(ihi),
              In(scale), OutOr(out, v));
}

QM_EXPORT int32_t ZMXFunc254(double* a, int64_t n, double* h, double* q) {
  return Call(qm::linalg::HessenbergDecomposition, In(a), Size(n), OutOr(h, a), Out(q));
}

QM_EXPORT int32_t ZMXFunc258(const double* a, int64_t n, int32_t ordering, double* q, double* t,
                             double* eigenvalues) {
  return Call(qm::linalg::SchurDecomposition, In(a), Size(n), ordering, Maybe(q), Out(t),
              Out(eigenvalues));
}

QM_EXPORT int32_t ZMXFunc252(const double* a, const double* b, int64_t n, double* eigenvalues,
                             double* left, double* right) {
  return Call(qm::linalg::GeneralizedEigenvalues, In(a), In(b), Size(n), Out(eigenvalues),
              Maybe(left), Maybe(right));
}

QM_EXPORT int32_t ZMXFunc256(const double* a, const double* b, int64_t n, int32_t ordering,
                             double* s, double* t, double* q, double* z, double* alpha,
                             double* beta, double* left, double* right) {
  return Call(qm::linalg::GeneralizedEigen, In(a), In(b), Size(n), ordering, Maybe(s), Maybe(t),
              Maybe(q), Maybe(z), Out(alpha), Out(beta), Maybe(left), Maybe(right));
}

QM_EXPORT int32_t ZMXFunc243(const double* a, int64_t m, int64_t n, int32_t pivoting, int32_t size,
                             int64_t* p, double* q, double* r) {
  return Call(qm::linalg::QrDecomposition, In(a), Size(m), Size(n), pivoting, size, Maybe(p),
              Maybe(q), Out(r));
}

QM_EXPORT int32_t ZMXFunc192(const double* a, int64_t m, int64_t n, int32_t method, double* q,
                             double* r) {
  return Call(qm::linalg::QrDecompositionByMethod, In(a), Size(m), Size(n), method, Out(q), Out(r));
}

QM_EXPORT int32_t ZMXFunc208(int32_t type, int64_t n, const double* x, int64_t nx, const double* y,
                             int64_t ny, double* out) {
  return Call(qm::linalg::SpecialMatrix, type, Size(n), Maybe(x), Size(nx), Maybe(y), Size(ny),
              Out(out));
}

QM_EXPORT int32_t ZMXFunc196(double* a, int64_t n, double* out) {
  return Call(qm::linalg::CholeskyFactor, In(a), Size(n), OutOr(out, a));
}

// Complex twins: blocks of interleaved (re, im) pairs.

QM_EXPORT int32_t ZMXFunc220(const double* a, int64_t n, int32_t type, double* det) {
  return Call(qm::linalg::ComplexDeterminantTyped, In(a), Size(n), type, Out(det));
}

QM_EXPORT int32_t ZMXFunc212(double* a, int64_t n, int32_t type, double* out) {
  return Call(qm::linalg::ComplexMatrixInverseTyped, In(a), Size(n), type, OutOr(out, a));
}

QM_EXPORT int32_t ZMXFunc218(const double* a, int64_t m, int64_t n, const double* b, int32_t type,
                             double* x) {
  return Call(qm::linalg::ComplexSolveLinearEquations, In(a), Size(m), Size(n), In(b), type,
              Out(x));
}

QM_EXPORT int32_t ZMXFunc242(const double* a, int64_t m, int64_t n, int32_t type, const double* b,
                             int64_t k, double* x) {
  return Call(qm::linalg::ComplexSolveLinearEquationsMulti, In(a), Size(m), Size(n), type, In(b),
              Size(k), Out(x));
}

QM_EXPORT int32_t ZMXFunc213(double* a, int64_t n, int64_t* p, int32_t* parity) {
  return Call(qm::linalg::ComplexLuDecomposition, Out(a), Size(n), Maybe(p), Out(parity));
}

QM_EXPORT int32_t ZMXFunc210(double* a, int64_t n, double* out) {
  return Call(qm::linalg::ComplexCholeskyFactor, In(a), Size(n), OutOr(out, a));
}

QM_EXPORT int32_t ZMXFunc221(const double* x, const double* y, int64_t n, double* dot) {
  return Call(qm::linalg::ComplexDotProduct, In(x), In(y), Size(n), Out(dot));
}

// Empty products are valid, so the operands are checked for null inside.
QM_EXPORT int32_t ZMXFunc214(const double* a, const double* b, int64_t m, int64_t k, int64_t n,
                             double* c) {
  return Call(qm::linalg::ComplexMatrixMultiply, Maybe(a), Maybe(b), Size(m), Size(k), Size(n),
              Maybe(c));
}

QM_EXPORT int32_t ZMXFunc371(const double* a, const double* x, int64_t m, int64_t n, double* y) {
  return Call(qm::linalg::ComplexMatrixVectorMultiply, Maybe(a), Maybe(x), Size(m), Size(n),
              Maybe(y));
}

QM_EXPORT int32_t ZMXFunc224(const double* x, int64_t n, const double* y, int64_t m, double* out) {
  return Call(qm::linalg::ComplexOuterProduct, In(x), Size(n), In(y), Size(m), Out(out));
}

QM_EXPORT int32_t ZMXFunc359(const double* a, const double* b, int64_t rows_a, int64_t cols_a,
                             int64_t rows_b, int64_t cols_b, double* out) {
  return Call(qm::linalg::ComplexKroneckerProduct, In(a), In(b), Size(rows_a), Size(cols_a),
              Size(rows_b), Size(cols_b), Out(out));
}

QM_EXPORT int32_t ZMXFunc217(double* a, int64_t m, int64_t n, double* out) {
  return Call(qm::linalg::ComplexConjugateTranspose, In(a), Size(m), Size(n), OutOr(out, a));
}

QM_EXPORT int32_t ZMXFunc225(const double* a, int64_t n, double* trace) {
  return Call(qm::linalg::ComplexMatrixTrace, In(a), Size(n), Out(trace));
}

QM_EXPORT int32_t ZMXFunc227(int32_t type, int64_t n, const double* x, int64_t nx, const double* y,
                             int64_t ny, double* out) {
  return Call(qm::linalg::ComplexSpecialMatrix, type, Size(n), Maybe(x), Size(nx), Maybe(y),
              Size(ny), Out(out));
}

QM_EXPORT int32_t ZMXFunc222(const double* a, int64_t m, int64_t n, int32_t norm_type,
                             double* cond) {
  return Call(qm::linalg::ComplexConditionNumber, In(a), Size(m), Size(n), norm_type, Out(cond));
}

QM_EXPORT int32_t ZMXFunc223(const double* a, int64_t m, int64_t n, int32_t type, double* norm) {
  return Call(qm::linalg::ComplexMatrixNorm, In(a), Size(m), Size(n), type, Out(norm));
}

QM_EXPORT int32_t ZMXFunc215(const double* a, int64_t m, int64_t n, double tolerance,
                             int64_t* rank) {
  return Call(qm::linalg::ComplexMatrixRank, In(a), Size(m), Size(n), tolerance, CountOut(rank));
}

QM_EXPORT int32_t ZMXFunc229(const double* a, int64_t m, int64_t n, double tolerance, double* out) {
  return Call(qm::linalg::ComplexPseudoInverse, In(a), Size(m), Size(n), tolerance, Out(out));
}

QM_EXPORT int32_t ZMXFunc219(const double* a, int64_t m, int64_t n, double* u, double* s,
                             double* v) {
  return Call(qm::linalg::ComplexSvdDecomposition, In(a), Size(m), Size(n), Out(u), Out(s), Out(v));
}

QM_EXPORT int32_t ZMXFunc247(const double* a, int64_t m, int64_t n, int32_t type, double* u,
                             double* s, double* v) {
  return Call(qm::linalg::ComplexSvdDecompositionTyped, In(a), Size(m), Size(n), type, Maybe(u),
              Out(s), Maybe(v));
}

QM_EXPORT int32_t ZMXFunc216(const double* a, int64_t m, int64_t n, double* s) {
  return Call(qm::linalg::ComplexSingularValues, In(a), Size(m), Size(n), Out(s));
}

QM_EXPORT int32_t ZMXFunc228(const double* a, int64_t m, int64_t n, double* q, double* r) {
  return Call(qm::linalg::ComplexQrDecomposition, In(a), Size(m), Size(n), Out(q), Out(r));
}

QM_EXPORT int32_t ZMXFunc245(const double* a, int64_t m, int64_t n, int32_t pivoting, int32_t size,
                             int64_t* p, double* q, double* r) {
  return Call(qm::linalg::ComplexQrDecompositionPivoting, In(a), Size(m), Size(n), pivoting, size,
              Maybe(p), Maybe(q), Out(r));
}

QM_EXPORT int32_t ZMXFunc226(const double* a, int64_t n, int32_t* result) {
  return Call(qm::linalg::ComplexIsPositiveDefinite, In(a), Size(n), Out(result));
}

QM_EXPORT int32_t ZMXFunc211(const double* a, int64_t n, int32_t matrix_type, int32_t output_type,
                             double* values, double* vectors) {
  return Call(qm::linalg::ComplexEigen, In(a), Size(n), matrix_type, output_type, Out(values),
              Maybe(vectors));
}

QM_EXPORT int32_t ZMXFunc249(double* a, int64_t n, int32_t job, int64_t* ilo, int64_t* ihi,
                             double* scale, double* out) {
  return Call(qm::linalg::ComplexMatrixBalance, In(a), Size(n), job, IndexOut(ilo), IndexOut(ihi),
              Out(scale), OutOr(out, a));
}

QM_EXPORT int32_t ZMXFunc251(double* v, int64_t n, int32_t side, int32_t job, int64_t ilo,
                             int64_t ihi, const double* scale, double* out) {
  return Call(qm::linalg::ComplexEigenvectorBackTransform, In(v), Size(n), side, job, Size(ilo),
              Size(ihi), In(scale), OutOr(out, v));
}

QM_EXPORT int32_t ZMXFunc255(double* a, int64_t n, double* h, double* q) {
  return Call(qm::linalg::ComplexHessenbergDecomposition, In(a), Size(n), OutOr(h, a), Out(q));
}

QM_EXPORT int32_t ZMXFunc259(const double* a, int64_t n, int32_t ordering, double* q, double* t,
                             double* eigenvalues) {
  return Call(qm::linalg::ComplexSchurDecomposition, In(a), Size(n), ordering, Maybe(q), Out(t),
              Out(eigenvalues));
}

QM_EXPORT int32_t ZMXFunc253(const double* a, const double* b, int64_t n, double* eigenvalues,
                             double* left, double* right) {
  return Call(qm::linalg::ComplexGeneralizedEigenvalues, In(a), In(b), Size(n), Out(eigenvalues),
              Maybe(left), Maybe(right));
}

QM_EXPORT int32_t ZMXFunc257(const double* a, const double* b, int64_t n, int32_t ordering,
                             double* s, double* t, double* q, double* z, double* alpha,
                             double* beta, double* left, double* right) {
  return Call(qm::linalg::ComplexGeneralizedEigen, In(a), In(b), Size(n), ordering, Maybe(s),
              Maybe(t), Maybe(q), Maybe(z), Out(alpha), Out(beta), Maybe(left), Maybe(right));
}
