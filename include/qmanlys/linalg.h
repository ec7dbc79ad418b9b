/* Real matrix operations. Included by qmanlys.h inside its extern "C" block. */
/* Matrices are row-major doubles; complex results are interleaved (re, im)   */
/* pairs; index outputs are 0-based. An optional output left null receives    */
/* the result over the input matrix.                                          */

/* Determinant of the n x n matrix a into *det. */
int32_t ZMXFunc55(const double* a, int64_t n, double* det);
/* Determinant of a (type 0 general, 1 positive definite, 2 lower, 3 upper triangular) into *det. */
int32_t ZMXFunc204(const double* a, int64_t n, int32_t type, double* det);
/* Inverse of the n x n matrix a into out (optional). */
int32_t ZMXFunc105(double* a, int64_t n, double* out);
/* Inverse of a of the given matrix type into out (optional). */
int32_t ZMXFunc198(double* a, int64_t n, int32_t type, double* out);
/* Solution x (optional, else over b) of a x = b for the n x n matrix a. */
int32_t ZMXFunc114(const double* a, double* b, int64_t n, double* x);
/* Solution x (n) of a x = b for the m x n matrix a of the given type (type 0: minimum-norm least squares). */
int32_t ZMXFunc197(const double* a, int64_t m, int64_t n, const double* b, int32_t type, double* x);
/* Solution x (n x k) of a x = b for the m x n matrix a of the given type and b (m x k). */
int32_t ZMXFunc241(const double* a, int64_t m, int64_t n, int32_t type, const double* b, int64_t k, double* x);
/* LU factors of the n x n matrix a in place, row interchanges p (optional, n) and their parity. */
int32_t ZMXFunc118(double* a, int64_t n, int64_t* p, int32_t* parity);
/* Forward substitution y (optional, else over b) with the unit lower factor of lu and the interchanges p. */
int32_t ZMXFunc82(const double* lu, double* b, int64_t n, double* y, const int64_t* p);
/* Back substitution x (optional, else over b) with the upper triangular n x n matrix u. */
int32_t ZMXFunc11(const double* u, double* b, int64_t n, double* x);
/* Condition number of the m x n matrix a in the norm norm_type (0 to 3) into *cond. */
int32_t ZMXFunc205(const double* a, int64_t m, int64_t n, int32_t norm_type, double* cond);
/* Whether the n x n matrix a is symmetric positive definite: *result 1 or 0. */
int32_t ZMXFunc209(const double* a, int64_t n, int32_t* result);
/* Dot product of the n-vectors x and y into *dot. */
int32_t ZMXFunc191(const double* x, const double* y, int64_t n, double* dot);
/* Product c (m x n) of a (m x k) and b (k x n). */
int32_t ZMXFunc119(const double* a, const double* b, int64_t m, int64_t k, int64_t n, double* c);
/* Product y (m) of the m x n matrix a and the vector x (n). */
int32_t ZMXFunc370(const double* a, const double* x, int64_t m, int64_t n, double* y);
/* Outer product out (n x m) of x (n) and y (m). */
int32_t ZMXFunc203(const double* x, int64_t n, const double* y, int64_t m, double* out);
/* Kronecker product out (rows_a*rows_b x cols_a*cols_b) of a and b. */
int32_t ZMXFunc358(const double* a, const double* b, int64_t rows_a, int64_t cols_a, int64_t rows_b, int64_t cols_b, double* out);
/* Transpose out (n x m, optional) of the m x n matrix a. */
int32_t ZMXFunc177(double* a, int64_t m, int64_t n, double* out);
/* Trace of the n x n matrix a into *trace. */
int32_t ZMXFunc175(const double* a, int64_t n, double* trace);
/* Norm of the m x n matrix a (type 0 2-norm, 1 column sums, 2 Frobenius, 3 row sums) into *norm. */
int32_t ZMXFunc206(const double* a, int64_t m, int64_t n, int32_t type, double* norm);
/* Rank of the m x n matrix a (singular values above tolerance; negative: default) into *rank. */
int32_t ZMXFunc207(const double* a, int64_t m, int64_t n, double tolerance, int64_t* rank);
/* Pseudo-inverse out (n x m) of the m x n matrix a with the singular value tolerance. */
int32_t ZMXFunc200(const double* a, int64_t m, int64_t n, double tolerance, double* out);
/* Economy singular value decomposition a = u diag(s) v^T: u (m x p), s (p), v (n x p), p = min(m, n). */
int32_t ZMXFunc193(const double* a, int64_t m, int64_t n, double* u, double* s, double* v);
/* Singular value decomposition of a, type 0 full (u m x m, v n x n), 1 economy; u or v null: values only. */
int32_t ZMXFunc246(const double* a, int64_t m, int64_t n, int32_t type, double* u, double* s, double* v);
/* Singular values s (min(m, n), descending) of the m x n matrix a. */
int32_t ZMXFunc195(const double* a, int64_t m, int64_t n, double* s);
/* Eigenvalues (n complex) and, for output_type 1, right eigenvectors (n x n complex, columns) of a. */
int32_t ZMXFunc201(const double* a, int64_t n, int32_t output_type, double* values, double* vectors);
/* Eigenvalues (n, ascending) and, for output_type 1, eigenvectors (columns; optional) of the symmetric a. */
int32_t ZMXFunc202(double* a, int64_t n, int32_t output_type, double* values, double* vectors);
/* Balancing of a (job 0 none, 1 permute, 2 scale, 3 both) into out (optional), bounds ilo, ihi and scale (n). */
int32_t ZMXFunc248(double* a, int64_t n, int32_t job, int64_t* ilo, int64_t* ihi, double* scale, double* out);
/* Back transformation of the n x n eigenvector matrix v of a balanced matrix (side 0 right, else left) into out (optional). */
int32_t ZMXFunc250(double* v, int64_t n, int32_t side, int32_t job, int64_t ilo, int64_t ihi, const double* scale, double* out);
/* Hessenberg form h (optional) and orthogonal q with a = q h q^T. */
int32_t ZMXFunc254(double* a, int64_t n, double* h, double* q);
/* Real Schur form t, Schur vectors q (optional) and eigenvalues (n complex) of a, ordering 0 to 4. */
int32_t ZMXFunc258(const double* a, int64_t n, int32_t ordering, double* q, double* t, double* eigenvalues);
/* Generalized eigenvalues (n complex) of the pair (a, b) and optional left and right eigenvectors (n x n complex). */
int32_t ZMXFunc252(const double* a, const double* b, int64_t n, double* eigenvalues, double* left, double* right);
/* Generalized Schur form of (a, b) with ordering: s, t, q, z (optional), alpha (n complex), beta (n), optional left and right eigenvectors. */
int32_t ZMXFunc256(const double* a, const double* b, int64_t n, int32_t ordering, double* s, double* t, double* q, double* z, double* alpha, double* beta, double* left, double* right);
/* QR decomposition of a (pivoting 0, 1 vector P, 2 matrix P; size 0 full, else economy) into p, q (optional), r. */
int32_t ZMXFunc243(const double* a, int64_t m, int64_t n, int32_t pivoting, int32_t size, int64_t* p, double* q, double* r);
/* Full QR decomposition q (m x m), r (m x n) of a by method 0 Householder, 1 Givens, 2 scaled rotations. */
int32_t ZMXFunc192(const double* a, int64_t m, int64_t n, int32_t method, double* q, double* r);
/* Special matrix out: type 0 identity (n), 1 diagonal of x, 2 Toeplitz (x, y), 3 Vandermonde of x, 4 companion of x. */
int32_t ZMXFunc208(int32_t type, int64_t n, const double* x, int64_t nx, const double* y, int64_t ny, double* out);
/* Upper Cholesky factor r (a = r^T r) of the n x n matrix a into out (optional). */
int32_t ZMXFunc196(double* a, int64_t n, double* out);
