// Real matrix operations. Matrices are row-major blocks of doubles; counts are
// 32-bit; every routine returns a status and never throws. Complex results
// (eigenvalues, eigenvectors) are interleaved (re, im) pairs. Index outputs
// that reach the caller as 64-bit values are written through int64_t arrays,
// 0-based.
#pragma once

#include <cstdint>

#include "frame/status.h"

namespace qm::linalg {

// Matrix type selector of the determinant, inverse and linear-system routines.
enum MatrixType : std::int32_t {
  kMatrixGeneral = 0,
  kMatrixPositiveDefinite = 1,
  kMatrixLowerTriangular = 2,
  kMatrixUpperTriangular = 3,
};

// Determinant, inverse, linear systems, LU (real_solve.cpp).
Status Determinant(const double* a, std::int32_t n, double* det);
Status DeterminantTyped(const double* a, std::int32_t n, std::int32_t type, double* det);
Status MatrixInverse(const double* a, std::int32_t n, double* out);
Status MatrixInverseTyped(const double* a, std::int32_t n, std::int32_t type, double* out);
Status SolveSquare(const double* a, const double* b, std::int32_t n, double* x);
Status SolveLinearEquations(const double* a, std::int32_t m, std::int32_t n, const double* b,
                            std::int32_t type, double* x);
Status SolveLinearEquationsMulti(const double* a, std::int32_t m, std::int32_t n, std::int32_t type,
                                 const double* b, std::int32_t k, double* x);
Status LuDecomposition(double* a, std::int32_t n, std::int64_t* pivots, std::int32_t* parity);
Status LuForwardSubstitution(const double* lu, const double* b, std::int32_t n, double* y,
                             const std::int64_t* pivots);
Status BackSubstitution(const double* u, const double* b, std::int32_t n, double* x);
Status CholeskyFactor(const double* a, std::int32_t n, double* out);

// Products and element operations (real_products.cpp).
Status DotProduct(const double* x, const double* y, std::int32_t n, double* dot);
Status MatrixMultiply(const double* a, const double* b, std::int32_t m, std::int32_t k,
                      std::int32_t n, double* c);
Status MatrixVectorMultiply(const double* a, const double* x, std::int32_t m, std::int32_t n,
                            double* y);
Status OuterProduct(const double* x, std::int32_t n, const double* y, std::int32_t m, double* out);
Status KroneckerProduct(const double* a, const double* b, std::int32_t rows_a, std::int32_t cols_a,
                        std::int32_t rows_b, std::int32_t cols_b, double* out);
Status MatrixTranspose(const double* a, std::int32_t m, std::int32_t n, double* out);
Status MatrixTrace(const double* a, std::int32_t n, double* trace);
Status SpecialMatrix(std::int32_t type, std::int32_t n, const double* x, std::int32_t nx,
                     const double* y, std::int32_t ny, double* out);

// Singular values and what is built on them, QR (real_svd_qr.cpp).
Status MatrixSingularValues(const double* a, std::int32_t m, std::int32_t n, double* s);
Status SvdDecomposition(const double* a, std::int32_t m, std::int32_t n, double* u, double* s,
                        double* v);
Status SvdDecompositionTyped(const double* a, std::int32_t m, std::int32_t n, std::int32_t type,
                             double* u, double* s, double* v);
Status MatrixNorm(const double* a, std::int32_t m, std::int32_t n, std::int32_t type, double* norm);
Status ConditionNumber(const double* a, std::int32_t m, std::int32_t n, std::int32_t norm_type,
                       double* cond);
Status MatrixRank(const double* a, std::int32_t m, std::int32_t n, double tolerance,
                  std::int32_t* rank);
Status PseudoInverse(const double* a, std::int32_t m, std::int32_t n, double tolerance,
                     double* out);
Status QrDecomposition(const double* a, std::int32_t m, std::int32_t n, std::int32_t pivoting,
                       std::int32_t size, std::int64_t* p, double* q, double* r);
Status QrDecompositionByMethod(const double* a, std::int32_t m, std::int32_t n, std::int32_t method,
                               double* q, double* r);

// Eigenvalues, balancing, Hessenberg and Schur forms (real_eigen.cpp).
Status EigenGeneral(const double* a, std::int32_t n, std::int32_t output_type, double* values,
                    double* vectors);
Status EigenSymmetric(const double* a, std::int32_t n, std::int32_t output_type, double* values,
                      double* vectors);
Status IsPositiveDefinite(const double* a, std::int32_t n, std::int32_t* result);
Status MatrixBalance(const double* a, std::int32_t n, std::int32_t job, std::int32_t* ilo,
                     std::int32_t* ihi, double* scale, double* out);
Status EigenvectorBackTransform(const double* v, std::int32_t n, std::int32_t side,
                                std::int32_t job, std::int32_t ilo, std::int32_t ihi,
                                const double* scale, double* out);
Status HessenbergDecomposition(const double* a, std::int32_t n, double* h, double* q);
Status SchurDecomposition(const double* a, std::int32_t n, std::int32_t ordering, double* q,
                          double* t, double* eigenvalues);

// Generalized eigenvalues of a pair (real_generalized.cpp).
Status GeneralizedEigenvalues(const double* a, const double* b, std::int32_t n, double* eigenvalues,
                              double* left, double* right);
Status GeneralizedEigen(const double* a, const double* b, std::int32_t n, std::int32_t ordering,
                        double* s, double* t, double* q, double* z, double* alpha, double* beta,
                        double* left, double* right);

}  // namespace qm::linalg
