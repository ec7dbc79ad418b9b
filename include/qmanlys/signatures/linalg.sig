# Real matrix operations: row-major float64 matrices as 2-D arrays; complex
# results (eigenvalues, eigenvectors) as complex128.
module linalg

export 55 determinant
  a in f64[n,n]
  n size i64 =rows(a)
  det out *f64
export 204 determinant_typed
  a in f64[n,n]
  n size i64 =rows(a)
  type in i32
  det out *f64
export 105 matrix_inverse
  a io f64[n,n] >inverse
  n size i64 =rows(a)
  out null f64[n,n]
export 198 matrix_inverse_typed
  a io f64[n,n] >inverse
  n size i64 =rows(a)
  type in i32
  out null f64[n,n]
export 114 solve_square
  a in f64[n,n]
  b io f64[n] >x
  n size i64 =len(b)
  x null f64[n]
export 197 solve_linear_equations
  a in f64[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  b in f64[m]
  type in i32
  x out f64[n]
export 241 solve_linear_equations_multi
  a in f64[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  type in i32
  b in f64[m,k]
  k size i64 =cols(b)
  x out f64[n,k]
## Returns (lu, p, parity): the factors in one matrix (unit lower triangle
## below the diagonal), the 0-based row interchanges and their parity.
export 118 lu_decomposition
  a io f64[n,n] >lu
  n size i64 =rows(a)
  p out~ i64[n]
  parity out *i32
export 82 lu_forward_substitution
  lu in f64[n,n]
  b io f64[n] >y
  n size i64 =len(b)
  y null f64[n]
  p in i64[n]
export 11 back_substitution
  u in f64[n,n]
  b io f64[n] >x
  n size i64 =len(b)
  x null f64[n]
export 205 condition_number
  a in f64[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  norm_type in i32
  cond out *f64
## Returns 1 or 0.
export 209 is_positive_definite
  a in f64[n,n]
  n size i64 =rows(a)
  result out *i32
export 191 dot_product
  x in f64[n]
  y in f64[n]
  n size i64 =len(x)
  dot out *f64
export 119 matrix_multiply
  a in f64[m,k]
  b in f64[k,n]
  m size i64 =rows(a)
  k size i64 =cols(a)
  n size i64 =cols(b)
  c out f64[m,n]
export 370 matrix_vector_multiply
  a in f64[m,n]
  x in f64[n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  y out f64[m]
export 203 outer_product
  x in f64[n]
  n size i64 =len(x)
  y in f64[m]
  m size i64 =len(y)
  out out f64[n,m]
export 358 kronecker_product
  a in f64[rows_a,cols_a]
  b in f64[rows_b,cols_b]
  rows_a size i64 =rows(a)
  cols_a size i64 =cols(a)
  rows_b size i64 =rows(b)
  cols_b size i64 =cols(b)
  out out f64[rows_a * rows_b,cols_a * cols_b]
export 177 matrix_transpose
  a in f64[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  out out~ f64[n,m]
export 175 matrix_trace
  a in f64[n,n]
  n size i64 =rows(a)
  trace out *f64
export 206 matrix_norm
  a in f64[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  type in i32
  norm out *f64
export 207 matrix_rank
  a in f64[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  tolerance in f64 ?-1
  rank out *i64
export 200 pseudo_inverse
  a in f64[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  tolerance in f64 ?-1
  out out f64[n,m]
## Returns (u, s, v) with a = u @ diag(s) @ v.T.
export 193 svd_decomposition
  a in f64[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  u out f64[m,min(m,n)]
  s out f64[min(m,n)]
  v out f64[n,min(m,n)]
## Returns (u, s, v): type 0 full (u m x m, v n x n), type 1 economy.
export 246 svd_decomposition_typed
  a in f64[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  type in i32
  u out~ f64[m,type == 0 ? m : min(m,n)]
  s out f64[min(m,n)]
  v out~ f64[n,type == 0 ? n : min(m,n)]
export 195 matrix_singular_values
  a in f64[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  s out f64[min(m,n)]
## Returns (values, vectors); vectors (columns) is empty unless output_type is 1.
export 201 eigen_general
  a in f64[n,n]
  n size i64 =rows(a)
  output_type in i32
  values out c128[n]
  vectors out~ c128[output_type == 1 ? n : 0,output_type == 1 ? n : 0]
## Returns (values, vectors); vectors (columns) is empty unless output_type is 1.
export 202 eigen_symmetric
  a in f64[n,n]
  n size i64 =rows(a)
  output_type in i32
  values out f64[n]
  vectors out~ f64[output_type == 1 ? n : 0,output_type == 1 ? n : 0]
## Returns (balanced, ilo, ihi, scale).
export 248 matrix_balance
  a io f64[n,n] >balanced
  n size i64 =rows(a)
  job in i32
  ilo out *i64
  ihi out *i64
  scale out f64[n]
  out null f64[n,n]
export 250 eigenvector_back_transform
  v io f64[n,n] >vectors
  n size i64 =rows(v)
  side in i32
  job in i32
  ilo in i64
  ihi in i64
  scale in f64[n]
  out null f64[n,n]
## Returns (h, q) with a = q @ h @ q.T.
export 254 hessenberg_decomposition
  a io f64[n,n] >h
  n size i64 =rows(a)
  h null f64[n,n]
  q out f64[n,n]
## Returns (q, t, eigenvalues) with a = q @ t @ q.T.
export 258 schur_decomposition
  a in f64[n,n]
  n size i64 =rows(a)
  ordering in i32
  q out~ f64[n,n]
  t out f64[n,n]
  eigenvalues out c128[n]
## Returns eigenvalues, then left and right eigenvectors (columns) when asked
## for with left=True, right=True.
export 252 generalized_eigenvalues
  a in f64[n,n]
  b in f64[n,n]
  n size i64 =rows(a)
  eigenvalues out c128[n]
  left out? c128[n,n]
  right out? c128[n,n]
## Returns (s, t, q, z, alpha, beta) with a = q @ s @ z.T, b = q @ t @ z.T and
## the eigenvalues alpha / beta; left=True, right=True add the eigenvectors.
export 256 generalized_eigen
  a in f64[n,n]
  b in f64[n,n]
  n size i64 =rows(a)
  ordering in i32
  s out~ f64[n,n]
  t out~ f64[n,n]
  q out~ f64[n,n]
  z out~ f64[n,n]
  alpha out c128[n]
  beta out f64[n]
  left out? c128[n,n]
  right out? c128[n,n]
## Returns (p, q, r) with a[:, p] = q @ r: p is empty for pivoting 0, the
## column permutation for pivoting 1 and the n x n permutation matrix row by
## row (p.reshape(n, n)) for pivoting 2; size 0 gives the full q (m x m) and
## r (m x n), any other size the economy form.
export 243 qr_decomposition
  a in f64[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  pivoting in i32
  size in i32
  p out~ i64[pivoting == 2 ? n * n : pivoting == 1 ? n : 0]
  q out~ f64[m,size == 0 ? m : min(m,n)]
  r out f64[size == 0 ? m : min(m,n),n]
## Returns (q, r): q m x m, r m x n.
export 192 qr_decomposition_by_method
  a in f64[m,n]
  m size i64 =rows(a)
  n size i64 =cols(a)
  method in i32
  q out f64[m,m]
  r out f64[m,n]
## Type 0: n x n identity; 1: diag(x); 2: Toeplitz with first column x and
## first row y; 3: Vandermonde of x (descending powers); 4: companion matrix
## of the polynomial x (len(x) - 1 square). n is used by type 0 only.
export 208 special_matrix
  type in i32
  n in i64
  x in? f64[nx]
  nx size i64 =len(x)
  y in? f64[ny]
  ny size i64 =len(y)
  out out f64[type == 0 ? n : type == 4 ? nx - 1 : nx,type == 0 ? n : type == 2 ? ny : type == 4 ? nx - 1 : nx]
## The upper factor r with a = r.T @ r.
export 196 cholesky_factor
  a io f64[n,n] >r
  n size i64 =rows(a)
  out null f64[n,n]
