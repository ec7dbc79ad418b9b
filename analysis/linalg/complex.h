// Complex matrix operations, the twins of the real ones of real.h: the same
// arguments, checks and codes. Complex matrices and vectors are row-major
// blocks of interleaved (re, im) pairs of doubles, passed as double*; scalar
// complex results are one such pair.
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::linalg {

// Determinant, inverse, linear systems, LU, Cholesky (solve.cpp).
Status ComplexDeterminantTyped(const double* a, std::int32_t n, std::int32_t type, double* det);
Status ComplexMatrixInverseTyped(const double* a, std::int32_t n, std::int32_t type, double* out);
Status ComplexSolveLinearEquations(const double* a, std::int32_t m, std::int32_t n, const double* b,
                                   std::int32_t type, double* x);
Status ComplexSolveLinearEquationsMulti(const double* a, std::int32_t m, std::int32_t n,
                                        std::int32_t type, const double* b, std::int32_t k,
                                        double* x);
Status ComplexLuDecomposition(double* a, std::int32_t n, std::int64_t* pivots,
                              std::int32_t* parity);
Status ComplexCholeskyFactor(const double* a, std::int32_t n, double* out);

// Products and element operations (products.cpp).
Status ComplexDotProduct(const double* x, const double* y, std::int32_t n, double* dot);
Status ComplexMatrixMultiply(const double* a, const double* b, std::int32_t m, std::int32_t k,
                             std::int32_t n, double* c);
Status ComplexMatrixVectorMultiply(const double* a, const double* x, std::int32_t m, std::int32_t n,
                                   double* y);
Status ComplexOuterProduct(const double* x, std::int32_t n, const double* y, std::int32_t m,
                           double* out);
Status ComplexKroneckerProduct(const double* a, const double* b, std::int32_t rows_a,
                               std::int32_t cols_a, std::int32_t rows_b, std::int32_t cols_b,
                               double* out);
Status ComplexConjugateTranspose(const double* a, std::int32_t m, std::int32_t n, double* out);
Status ComplexMatrixTrace(const double* a, std::int32_t n, double* trace);
Status ComplexSpecialMatrix(std::int32_t type, std::int32_t n, const double* x, std::int32_t nx,
                            const double* y, std::int32_t ny, double* out);

// Singular values and what is built on them (svd_qr.cpp).
Status ComplexSingularValues(const double* a, std::int32_t m, std::int32_t n, double* s);
Status ComplexSvdDecomposition(const double* a, std::int32_t m, std::int32_t n, double* u,
                               double* s, double* v);
Status ComplexSvdDecompositionTyped(const double* a, std::int32_t m, std::int32_t n,
                                    std::int32_t type, double* u, double* s, double* v);
Status ComplexMatrixNorm(const double* a, std::int32_t m, std::int32_t n, std::int32_t type,
                         double* norm);
Status ComplexConditionNumber(const double* a, std::int32_t m, std::int32_t n,
                              std::int32_t norm_type, double* cond);
Status ComplexMatrixRank(const double* a, std::int32_t m, std::int32_t n, double tolerance,
                         std::int32_t* rank);
Status ComplexPseudoInverse(const double* a, std::int32_t m, std::int32_t n, double tolerance,
                            double* out);
Status ComplexQrDecomposition(const double* a, std::int32_t m, std::int32_t n, double* q,
                              double* r);
Status ComplexQrDecompositionPivoting(const double* a, std::int32_t m, std::int32_t n,
                                      std::int32_t pivoting, std::int32_t size, std::int64_t* p,
                                      double* q, double* r);

// Eigenvalues, balancing, Hessenberg and Schur forms (eigen.cpp).
Status ComplexEigen(const double* a, std::int32_t n, std::int32_t matrix_type,
                    std::int32_t output_type, double* values, double* vectors);
Status ComplexIsPositiveDefinite(const double* a, std::int32_t n, std::int32_t* result);
Status ComplexMatrixBalance(const double* a, std::int32_t n, std::int32_t job, std::int32_t* ilo,
                            std::int32_t* ihi, double* scale, double* out);
Status ComplexEigenvectorBackTransform(const double* v, std::int32_t n, std::int32_t side,
                                       std::int32_t job, std::int32_t ilo, std::int32_t ihi,
                                       const double* scale, double* out);
Status ComplexHessenbergDecomposition(const double* a, std::int32_t n, double* h, double* q);
Status ComplexSchurDecomposition(const double* a, std::int32_t n, std::int32_t ordering, double* q,
                                 double* t, double* eigenvalues);

// Generalized eigenvalues of a pair (complex_generalized.cpp).
Status ComplexGeneralizedEigenvalues(const double* a, const double* b, std::int32_t n,
                                     double* eigenvalues, double* left, double* right);
Status ComplexGeneralizedEigen(const double* a, const double* b, std::int32_t n,
                               std::int32_t ordering, double* s, double* t, double* q, double* z,
                               double* alpha, double* beta, double* left, double* right);

}  // namespace qm::linalg
