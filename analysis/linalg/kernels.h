// The LAPACK and CBLAS routines of the matrix operations by element type:
// one overload for real (d-prefixed) and one for complex (z-prefixed)
// routines, so that an operation written once as a template calls the right
// kernel. Dimensions are passed by value; the hidden lengths of character
// arguments are supplied here.
#pragma once

#include <complex>

#include "frame/lapack.h"

namespace qm::linalg::kernel {

// The real part of a workspace-query answer.
inline double QueryValue(double q) { return q; }
inline double QueryValue(const fcomplex& q) { return q.real(); }

inline void Getrf(const LapackTable* la, fint n, double* a, fint lda, fint* ipiv, fint* info) {
  la->dgetrf(&n, &n, a, &lda, ipiv, info);
}
inline void Getrf(const LapackTable* la, fint n, fcomplex* a, fint lda, fint* ipiv, fint* info) {
  la->zgetrf(&n, &n, a, &lda, ipiv, info);
}

inline void Getri(const LapackTable* la, fint n, double* a, const fint* ipiv, double* work,
                  fint lwork, fint* info) {
  la->dgetri(&n, a, &n, ipiv, work, &lwork, info);
}
inline void Getri(const LapackTable* la, fint n, fcomplex* a, const fint* ipiv, fcomplex* work,
                  fint lwork, fint* info) {
  la->zgetri(&n, a, &n, ipiv, work, &lwork, info);
}

inline void Potrf(const LapackTable* la, const char* uplo, fint n, double* a, fint* info) {
  la->dpotrf(uplo, &n, a, &n, info, 1);
}
inline void Potrf(const LapackTable* la, const char* uplo, fint n, fcomplex* a, fint* info) {
  la->zpotrf(uplo, &n, a, &n, info, 1);
}

inline void Potri(const LapackTable* la, const char* uplo, fint n, double* a, fint* info) {
  la->dpotri(uplo, &n, a, &n, info, 1);
}
inline void Potri(const LapackTable* la, const char* uplo, fint n, fcomplex* a, fint* info) {
  la->zpotri(uplo, &n, a, &n, info, 1);
}

inline void Trtri(const LapackTable* la, const char* uplo, fint n, double* a, fint* info) {
  la->dtrtri(uplo, "N", &n, a, &n, info, 1, 1);
}
inline void Trtri(const LapackTable* la, const char* uplo, fint n, fcomplex* a, fint* info) {
  la->ztrtri(uplo, "N", &n, a, &n, info, 1, 1);
}

inline void Posv(const LapackTable* la, fint n, fint k, double* a, double* b, fint* info) {
  la->dposv("U", &n, &k, a, &n, b, &n, info, 1);
}
inline void Posv(const LapackTable* la, fint n, fint k, fcomplex* a, fcomplex* b, fint* info) {
  la->zposv("U", &n, &k, a, &n, b, &n, info, 1);
}

inline void Tptrs(const LapackTable* la, const char* uplo, fint n, fint k, const double* ap,
                  double* b, fint* info) {
  la->dtptrs(uplo, "N", "N", &n, &k, ap, b, &n, info, 1, 1, 1);
}
inline void Tptrs(const LapackTable* la, const char* uplo, fint n, fint k, const fcomplex* ap,
                  fcomplex* b, fint* info) {
  la->ztptrs(uplo, "N", "N", &n, &k, ap, b, &n, info, 1, 1, 1);
}

// Unconjugated dot product with unit strides.
inline double Dot(const LapackTable* la, fint n, const double* x, const double* y) {
  return la->cblas_ddot(n, x, 1, y, 1);
}
inline fcomplex Dot(const LapackTable* la, fint n, const fcomplex* x, const fcomplex* y) {
  fcomplex d;
  la->cblas_zdotu_sub(n, x, 1, y, 1, &d);
  return d;
}

// Row-major C = op(A)·op(B) (alpha 1, beta 0).
inline void Gemm(const LapackTable* la, int ta, int tb, fint m, fint n, fint k, const double* a,
                 fint lda, const double* b, fint ldb, double* c, fint ldc) {
  la->cblas_dgemm(kCblasRowMajor, ta, tb, m, n, k, 1.0, a, lda, b, ldb, 0.0, c, ldc);
}
inline void Gemm(const LapackTable* la, int ta, int tb, fint m, fint n, fint k, const fcomplex* a,
                 fint lda, const fcomplex* b, fint ldb, fcomplex* c, fint ldc) {
  const fcomplex one(1.0, 0.0), zero(0.0, 0.0);
  la->cblas_zgemm(kCblasRowMajor, ta, tb, m, n, k, &one, a, lda, b, ldb, &zero, c, ldc);
}

// Row-major y = A·x (alpha 1, beta 0).
inline void Gemv(const LapackTable* la, fint m, fint n, const double* a, const double* x,
                 double* y) {
  la->cblas_dgemv(kCblasRowMajor, kCblasNoTrans, m, n, 1.0, a, n, x, 1, 0.0, y, 1);
}
inline void Gemv(const LapackTable* la, fint m, fint n, const fcomplex* a, const fcomplex* x,
                 fcomplex* y) {
  const fcomplex one(1.0, 0.0), zero(0.0, 0.0);
  la->cblas_zgemv(kCblasRowMajor, kCblasNoTrans, m, n, &one, a, n, x, 1, &zero, y, 1);
}

}  // namespace qm::linalg::kernel

namespace qm::linalg::kernel {

// Singular value decomposition by divide and conquer; `rwork` is used by
// the complex routine only.
inline void Gesdd(const LapackTable* la, const char* job, fint m, fint n, double* a, fint lda,
                  double* s, double* u, fint ldu, double* vt, fint ldvt, double* work, fint lwork,
                  double* /*rwork*/, fint* iwork, fint* info) {
  la->dgesdd(job, &m, &n, a, &lda, s, u, &ldu, vt, &ldvt, work, &lwork, iwork, info, 1);
}
inline void Gesdd(const LapackTable* la, const char* job, fint m, fint n, fcomplex* a, fint lda,
                  double* s, fcomplex* u, fint ldu, fcomplex* vt, fint ldvt, fcomplex* work,
                  fint lwork, double* rwork, fint* iwork, fint* info) {
  la->zgesdd(job, &m, &n, a, &lda, s, u, &ldu, vt, &ldvt, work, &lwork, rwork, iwork, info, 1);
}

inline void Gelqf(const LapackTable* la, fint m, fint n, double* a, fint lda, double* tau,
                  double* work, fint lwork, fint* info) {
  la->dgelqf(&m, &n, a, &lda, tau, work, &lwork, info);
}
inline void Gelqf(const LapackTable* la, fint m, fint n, fcomplex* a, fint lda, fcomplex* tau,
                  fcomplex* work, fint lwork, fint* info) {
  la->zgelqf(&m, &n, a, &lda, tau, work, &lwork, info);
}

inline void Unglq(const LapackTable* la, fint m, fint n, fint k, double* a, fint lda,
                  const double* tau, double* work, fint lwork, fint* info) {
  la->dorglq(&m, &n, &k, a, &lda, tau, work, &lwork, info);
}
inline void Unglq(const LapackTable* la, fint m, fint n, fint k, fcomplex* a, fint lda,
                  const fcomplex* tau, fcomplex* work, fint lwork, fint* info) {
  la->zunglq(&m, &n, &k, a, &lda, tau, work, &lwork, info);
}

inline void Geqp3(const LapackTable* la, fint m, fint n, double* a, fint lda, fint* jpvt,
                  double* tau, double* work, fint lwork, double* /*rwork*/, fint* info) {
  la->dgeqp3(&m, &n, a, &lda, jpvt, tau, work, &lwork, info);
}
inline void Geqp3(const LapackTable* la, fint m, fint n, fcomplex* a, fint lda, fint* jpvt,
                  fcomplex* tau, fcomplex* work, fint lwork, double* rwork, fint* info) {
  la->zgeqp3(&m, &n, a, &lda, jpvt, tau, work, &lwork, rwork, info);
}

inline void Ungqr(const LapackTable* la, fint m, fint n, fint k, double* a, fint lda,
                  const double* tau, double* work, fint lwork, fint* info) {
  la->dorgqr(&m, &n, &k, a, &lda, tau, work, &lwork, info);
}
inline void Ungqr(const LapackTable* la, fint m, fint n, fint k, fcomplex* a, fint lda,
                  const fcomplex* tau, fcomplex* work, fint lwork, fint* info) {
  la->zungqr(&m, &n, &k, a, &lda, tau, work, &lwork, info);
}

// 2-norm of a contiguous block of elements.
inline double Nrm2(const LapackTable* la, fint n, const double* x) {
  return la->cblas_dnrm2(n, x, 1);
}
inline double Nrm2(const LapackTable* la, fint n, const fcomplex* x) {
  return la->cblas_dznrm2(n, x, 1);
}

}  // namespace qm::linalg::kernel

namespace qm::linalg::kernel {

inline void Gebal(const LapackTable* la, const char* job, fint n, double* a, fint* ilo, fint* ihi,
                  double* scale, fint* info) {
  la->dgebal(job, &n, a, &n, ilo, ihi, scale, info, 1);
}
inline void Gebal(const LapackTable* la, const char* job, fint n, fcomplex* a, fint* ilo, fint* ihi,
                  double* scale, fint* info) {
  la->zgebal(job, &n, a, &n, ilo, ihi, scale, info, 1);
}

inline void Gebak(const LapackTable* la, const char* job, const char* side, fint n, fint ilo,
                  fint ihi, const double* scale, double* v, fint* info) {
  la->dgebak(job, side, &n, &ilo, &ihi, scale, &n, v, &n, info, 1, 1);
}
inline void Gebak(const LapackTable* la, const char* job, const char* side, fint n, fint ilo,
                  fint ihi, const double* scale, fcomplex* v, fint* info) {
  la->zgebak(job, side, &n, &ilo, &ihi, scale, &n, v, &n, info, 1, 1);
}

inline void Gehrd(const LapackTable* la, fint n, double* a, double* tau, double* work, fint lwork,
                  fint* info) {
  const fint ilo = 1;
  la->dgehrd(&n, &ilo, &n, a, &n, tau, work, &lwork, info);
}
inline void Gehrd(const LapackTable* la, fint n, fcomplex* a, fcomplex* tau, fcomplex* work,
                  fint lwork, fint* info) {
  const fint ilo = 1;
  la->zgehrd(&n, &ilo, &n, a, &n, tau, work, &lwork, info);
}

inline void Unghr(const LapackTable* la, fint n, double* a, const double* tau, double* work,
                  fint lwork, fint* info) {
  const fint ilo = 1;
  la->dorghr(&n, &ilo, &n, a, &n, tau, work, &lwork, info);
}
inline void Unghr(const LapackTable* la, fint n, fcomplex* a, const fcomplex* tau, fcomplex* work,
                  fint lwork, fint* info) {
  const fint ilo = 1;
  la->zunghr(&n, &ilo, &n, a, &n, tau, work, &lwork, info);
}

}  // namespace qm::linalg::kernel
