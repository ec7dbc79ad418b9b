# Complex matrix operations: row-major complex128 matrices as 2-D arrays
# (interleaved pairs in the library); singular values, norms and balancing
# scales stay real.
module linalg

export 220 complex_determinant_typed
  a in c128[n,n]
  n size i64 =rows(a)
  type in i32
  det out *c128
export 212 complex_matrix_inverse_typed
  a io c128[n,n] >inverse
  n size i64 =rows(a)
  type in i32
  out null c128[n,n]
export 218 complex_solve_linear_equations
  a in c128[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  b in c128[m]
  type in i32
  x out c128[n]
export 242 complex_solve_linear_equations_multi
  a in c128[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  type in i32
  b in c128[m,k]
  k size i64 =cols(b)
  x out c128[n,k]
## Returns (lu, p, parity): the factors in one matrix (unit lower triangle
## below the diagonal), the 0-based row interchanges and their parity.
export 213 complex_lu_decomposition
  a io c128[n,n] >lu
  n size i64 =rows(a)
  p out~ i64[n]
  parity out *i32
## The upper factor r with a = r.conj().T @ r.
export 210 complex_cholesky_factor
  a io c128[n,n] >r
  n size i64 =rows(a)
  out null c128[n,n]
export 221 complex_dot_product
  x in c128[n]
  y in c128[n]
  n size i64 =len(x)
  dot out *c128
export 214 complex_matrix_multiply
  a in c128[m,k]
  b in c128[k,n]
  m size i64 =rows(a)
  k size i64 =cols(a)
  n size i64 =cols(b)
  c out c128[m,n]
export 371 complex_matrix_vector_multiply
  a in c128[m,n]
  x in c128[n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  y out c128[m]
export 224 complex_outer_product
  x in c128[n]
  n size i64 =len(x)
  y in c128[m]
  m size i64 =len(y)
  out out c128[n,m]
export 359 complex_kronecker_product
  a in c128[rows_a,cols_a]
  b in c128[rows_b,cols_b]
  rows_a size i64 =rows(a)
  cols_a size i64 =cols(a)
  rows_b size i64 =rows(b)
  cols_b size i64 =cols(b)
  out out c128[rows_a * rows_b,cols_a * cols_b]
export 217 complex_conjugate_transpose
  a in c128[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  out out~ c128[n,m]
export 225 complex_matrix_trace
  a in c128[n,n]
  n size i64 =rows(a)
  trace out *c128
## The types of special_matrix with complex entries; n is used by type 0 only.
export 227 complex_special_matrix
  type in i32
  n in i64
  x in? c128[nx]
  nx size i64 =len(x)
  y in? c128[ny]
  ny size i64 =len(y)
  out out c128[type == 0 ? n : type == 4 ? nx - 1 : nx,type == 0 ? n : type == 2 ? ny : type == 4 ? nx - 1 : nx]
export 222 complex_condition_number
  a in c128[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  norm_type in i32
  cond out *f64
export 223 complex_matrix_norm
  a in c128[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  type in i32
  norm out *f64
export 215 complex_matrix_rank
  a in c128[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  tolerance in f64 ?-1
  rank out *i64
export 229 complex_pseudo_inverse
  a in c128[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  tolerance in f64 ?-1
  out out c128[n,m]
## Returns (u, s, v) with a = u @ diag(s) @ v.conj().T.
export 219 complex_svd_decomposition
  a in c128[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  u out c128[m,min(m,n)]
  s out f64[min(m,n)]
  v out c128[n,min(m,n)]
## Returns (u, s, v): type 0 full (u m x m, v n x n), type 1 economy.
export 247 complex_svd_decomposition_typed
  a in c128[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  type in i32
  u out~ c128[m,type == 0 ? m : min(m,n)]
  s out f64[min(m,n)]
  v out~ c128[n,type == 0 ? n : min(m,n)]
export 216 complex_singular_values
  a in c128[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  s out f64[min(m,n)]
## Returns (q, r): q m x m, r m x n.
export 228 complex_qr_decomposition
  a in c128[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  q out c128[m,m]
  r out c128[m,n]
## Returns (p, q, r) as qr_decomposition does.
export 245 complex_qr_decomposition_pivoting
  a in c128[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  pivoting in i32
  size in i32
  p out~ i64[pivoting == 2 ? n * n : pivoting == 1 ? n : 0]
  q out~ c128[m,size == 0 ? m : min(m,n)]
  r out c128[size == 0 ? m : min(m,n),n]
## Returns 1 or 0.
export 226 complex_is_positive_definite
  a in c128[n,n]
  n size i64 =rows(a)
  result out *i32
## Returns (values, vectors); vectors (columns) is empty unless output_type is 1.
export 211 complex_eigen
  a in c128[n,n]
  n size i64 =rows(a)
  matrix_type in i32
  output_type in i32
  values out c128[n]
  vectors out~ c128[output_type == 1 ? n : 0,output_type == 1 ? n : 0]
## Returns (balanced, ilo, ihi, scale).
export 249 complex_matrix_balance
  a io c128[n,n] >balanced
  n size i64 =rows(a)
  job in i32
  ilo out *i64
  ihi out *i64
  scale out f64[n]
  out null c128[n,n]
export 251 complex_eigenvector_back_transform
  v io c128[n,n] >vectors
  n size i64 =rows(v)
  side in i32
  job in i32
  ilo in i64
  ihi in i64
  scale in f64[n]
  out null c128[n,n]
## Returns (h, q) with a = q @ h @ q.conj().T.
export 255 complex_hessenberg_decomposition
  a io c128[n,n] >h
  n size i64 =rows(a)
  h null c128[n,n]
  q out c128[n,n]
## Returns (q, t, eigenvalues) with a = q @ t @ q.conj().T.
export 259 complex_schur_decomposition
  a in c128[n,n]
  n size i64 =rows(a)
  ordering in i32
  q out~ c128[n,n]
  t out c128[n,n]
  eigenvalues out c128[n]
## Returns eigenvalues, then left and right eigenvectors (columns) when asked
## for with left=True, right=True.
export 253 complex_generalized_eigenvalues
  a in c128[n,n]
  b in c128[n,n]
  n size i64 =rows(a)
  eigenvalues out c128[n]
  left out? c128[n,n]
  right out? c128[n,n]
## Returns (s, t, q, z, alpha, beta) with a = q @ s @ z.conj().T,
## b = q @ t @ z.conj().T and the eigenvalues alpha / beta; left=True,
## right=True add the eigenvectors.
export 257 complex_generalized_eigen
  a in c128[n,n]
  b in c128[n,n]
  n size i64 =rows(a)
  ordering in i32
  s out~ c128[n,n]
  t out~ c128[n,n]
  q out~ c128[n,n]
  z out~ c128[n,n]
  alpha out c128[n]
  beta out c128[n]
  left out? c128[n,n]
  right out? c128[n,n]
