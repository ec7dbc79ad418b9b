/* Complex matrix operations. Included by qmanlys.h inside its extern "C"     */
/* block. Complex matrices and vectors are row-major blocks of interleaved    */
/* (re, im) pairs of doubles; a complex scalar result is one such pair; index */
/* outputs are 0-based. An optional output left null receives the result over */
/* the input matrix.                                                          */

/* Determinant (a pair) of the n x n matrix a of the given type (0 general, 1 Hermitian positive definite, 2 lower, 3 upper triangular). */
int32_t ZMXFunc220(const double* a, int64_t n, int32_t type, double* det);
/* Inverse of a of the given matrix type into out (optional). */
int32_t ZMXFunc212(double* a, int64_t n, int32_t type, double* out);
/* Solution x (n) of a x = b for the m x n matrix a of the given type (type 0: minimum-norm least squares). */
int32_t ZMXFunc218(const double* a, int64_t m, int64_t n, const double* b, int32_t type, double* x);
/* Solution x (n x k) of a x = b for the m x n matrix a of the given type and b (m x k). */
int32_t ZMXFunc242(const double* a, int64_t m, int64_t n, int32_t type, const double* b, int64_t k, double* x);
/* LU factors of the n x n matrix a in place, row interchanges p (optional, n) and their parity. */
int32_t ZMXFunc213(double* a, int64_t n, int64_t* p, int32_t* parity);
/* Upper factor R of the Hermitian positive definite a = R^H R into out (optional). */
int32_t ZMXFunc210(double* a, int64_t n, double* out);
/* Dot product (no conjugation) of the n-vectors x and y into the pair dot. */
int32_t ZMXFunc221(const double* x, const double* y, int64_t n, double* dot);
/* Product c (m x n) of a (m x k) and b (k x n). */
int32_t ZMXFunc214(const double* a, const double* b, int64_t m, int64_t k, int64_t n, double* c);
/* Product y (m) of the m x n matrix a and the vector x (n). */
int32_t ZMXFunc371(const double* a, const double* x, int64_t m, int64_t n, double* y);
/* Outer product out (n x m) of x (n) and y (m), no conjugation. */
int32_t ZMXFunc224(const double* x, int64_t n, const double* y, int64_t m, double* out);
/* Kronecker product out (rows_a*rows_b x cols_a*cols_b) of a and b. */
int32_t ZMXFunc359(const double* a, const double* b, int64_t rows_a, int64_t cols_a, int64_t rows_b, int64_t cols_b, double* out);
/* Conjugate transpose out (n x m, optional) of the m x n matrix a. */
int32_t ZMXFunc217(double* a, int64_t m, int64_t n, double* out);
/* Trace (a pair) of the n x n matrix a. */
int32_t ZMXFunc225(const double* a, int64_t n, double* trace);
/* Special matrix of the given type (0 identity, 1 diagonal, 2 Toeplitz, 3 Vandermonde, 4 companion) into out. */
int32_t ZMXFunc227(int32_t type, int64_t n, const double* x, int64_t nx, const double* y, int64_t ny, double* out);
/* Condition number of the m x n matrix a in the norm norm_type (0 to 3) into *cond. */
int32_t ZMXFunc222(const double* a, int64_t m, int64_t n, int32_t norm_type, double* cond);
/* Norm of the m x n matrix a (0 largest singular value, 1 column sums, 2 Frobenius, 3 row sums) into *norm. */
int32_t ZMXFunc223(const double* a, int64_t m, int64_t n, int32_t type, double* norm);
/* Rank of the m x n matrix a: singular values above tolerance (negative: the default). */
int32_t ZMXFunc215(const double* a, int64_t m, int64_t n, double tolerance, int64_t* rank);
/* Pseudo-inverse out (n x m) of the m x n matrix a. */
int32_t ZMXFunc229(const double* a, int64_t m, int64_t n, double tolerance, double* out);
/* Economy singular value decomposition a = U S V^H: u (m x p), s (p, real), v (n x p), p = min(m, n). */
int32_t ZMXFunc219(const double* a, int64_t m, int64_t n, double* u, double* s, double* v);
/* Singular value decomposition, type 0 full, 1 economy; u or v null: values only. */
int32_t ZMXFunc247(const double* a, int64_t m, int64_t n, int32_t type, double* u, double* s, double* v);
/* Singular values s (min(m, n), real, descending) of the m x n matrix a. */
int32_t ZMXFunc216(const double* a, int64_t m, int64_t n, double* s);
/* QR decomposition a = Q R: q (m x m), r (m x n). */
int32_t ZMXFunc228(const double* a, int64_t m, int64_t n, double* q, double* r);
/* QR decomposition with pivoting 0, 1 (permutation p) or 2 (permutation matrix p); size 0: full Q. */
int32_t ZMXFunc245(const double* a, int64_t m, int64_t n, int32_t pivoting, int32_t size, int64_t* p, double* q, double* r);
/* Whether the n x n matrix a is Hermitian positive definite: *result 1 or 0. */
int32_t ZMXFunc226(const double* a, int64_t n, int32_t* result);
/* Eigenvalues (n pairs) and, for output_type 1, eigenvectors (columns) of a; matrix_type 0 general, 1 Hermitian. */
int32_t ZMXFunc211(const double* a, int64_t n, int32_t matrix_type, int32_t output_type, double* values, double* vectors);
/* Balanced matrix out (optional) of a with job 0 to 3, bounds ilo, ihi and the real scale (n). */
int32_t ZMXFunc249(double* a, int64_t n, int32_t job, int64_t* ilo, int64_t* ihi, double* scale, double* out);
/* Back transformation of the eigenvectors v of a balanced matrix into out (optional). */
int32_t ZMXFunc251(double* v, int64_t n, int32_t side, int32_t job, int64_t ilo, int64_t ihi, const double* scale, double* out);
/* Hessenberg form h (optional) and unitary q with a = Q H Q^H. */
int32_t ZMXFunc255(double* a, int64_t n, double* h, double* q);
/* Schur form a = Q T Q^H: q (optional), t upper triangular, eigenvalues (n pairs), ordering 0 to 4. */
int32_t ZMXFunc259(const double* a, int64_t n, int32_t ordering, double* q, double* t, double* eigenvalues);
/* Generalized eigenvalues (n pairs) of the pair (a, b) and the optional left and right eigenvectors (columns). */
int32_t ZMXFunc253(const double* a, const double* b, int64_t n, double* eigenvalues, double* left, double* right);
/* Generalized Schur form a = Q S Z^H, b = Q T Z^H (each optional) with ordering 0 to 4, alpha and beta (n pairs each), optional left and right eigenvectors. */
int32_t ZMXFunc257(const double* a, const double* b, int64_t n, int32_t ordering, double* s, double* t, double* q, double* z, double* alpha, double* beta, double* left, double* right);
