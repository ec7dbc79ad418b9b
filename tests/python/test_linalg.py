"""qmanlys.linalg: real and complex matrix operations from NumPy arrays."""

import numpy as np
import pytest
import scipy.linalg as sl

import qmanlys
from qmanlys import linalg as L

G = np.array([[4.0, 1.0, -2.0, 0.5], [1.0, 3.0, 0.0, 1.0], [0.5, -1.0, 5.0, 2.0],
              [2.0, 0.0, 1.0, 6.0]])
S = G @ G.T + 4 * np.eye(4)  # symmetric positive definite
R = G[:, :3].copy()  # 4 x 3
CG = G + 1j * np.array([[0.5, -1, 0, 2], [1, 0, 1, 0], [0, 2, -1, 1], [1, 1, 0, 0.5]])
CH = CG @ CG.conj().T + 4 * np.eye(4)  # Hermitian positive definite
CR = CG[:, :3].copy()
V = np.array([1.0, -2.0, 0.5, 3.0])
CV = V + 1j * np.array([0.5, 1.0, -1.0, 2.0])


def ascending(z):
  """Complex values in a fixed order that rounding does not upset."""
  z = np.asarray(z, complex)
  return z[np.lexsort((z.imag, np.round(z.real, 8)))]


# (function, arguments, reference). A reference is a value or a callable of
# the result; every export of the module appears here at least once.
SMOKE = [
    (L.determinant, (G,), np.linalg.det(G)),
    (L.determinant_typed, (S, 1), np.linalg.det(S)),
    (L.determinant_typed, (G, 2), np.prod(np.diag(G))),
    (L.matrix_inverse, (G,), np.linalg.inv(G)),
    (L.matrix_inverse_typed, (S, 1), np.linalg.inv(S)),
    (L.matrix_inverse_typed, (G, 3), np.linalg.inv(np.triu(G))),
    (L.solve_square, (G, V), np.linalg.solve(G, V)),
    (L.solve_linear_equations, (R, V, 0), np.linalg.lstsq(R, V, rcond=None)[0]),
    (L.solve_linear_equations_multi, (R, 0, np.c_[V, 2 * V]),
     np.linalg.lstsq(R, np.c_[V, 2 * V], rcond=None)[0]),
    (L.back_substitution, (np.triu(G), V), np.linalg.solve(np.triu(G), V)),
    (L.condition_number, (G, 0), np.linalg.cond(G)),
    (L.condition_number, (G, 1), np.linalg.cond(G, 1)),
    (L.is_positive_definite, (S,), 1),
    (L.is_positive_definite, (G,), 0),
    (L.dot_product, (V, V[::-1]), V @ V[::-1]),
    (L.matrix_multiply, (G, R), G @ R),
    (L.matrix_vector_multiply, (R, V[:3]), R @ V[:3]),
    (L.outer_product, (V, V[:2]), np.outer(V, V[:2])),
    (L.kronecker_product, (R, G[:2]), np.kron(R, G[:2])),
    (L.matrix_transpose, (R,), R.T),
    (L.matrix_trace, (G,), np.trace(G)),
    (L.matrix_norm, (R, 2), np.linalg.norm(R)),
    (L.matrix_norm, (R, 3), np.linalg.norm(R, np.inf)),
    (L.matrix_rank, (np.c_[R, R[:, 0]],), 3),
    (L.pseudo_inverse, (R,), np.linalg.pinv(R)),
    (L.matrix_singular_values, (R,), np.linalg.svd(R, compute_uv=False)),
    (L.special_matrix, (0, 3), np.eye(3)),
    (L.special_matrix, (2, 0, [1.0, 2, 3], [9.0, 4]), sl.toeplitz([1.0, 2, 3], [1.0, 4])),
    (L.cholesky_factor, (S,), sl.cholesky(S)),
    (L.complex_determinant_typed, (CG, 0), np.linalg.det(CG)),
    (L.complex_determinant_typed, (CG, 3), np.prod(np.diag(CG))),
    (L.complex_matrix_inverse_typed, (CG, 0), np.linalg.inv(CG)),
    (L.complex_matrix_inverse_typed, (CH, 1), np.linalg.inv(CH)),
    (L.complex_solve_linear_equations, (CR, CV, 0), np.linalg.lstsq(CR, CV, rcond=None)[0]),
    (L.complex_solve_linear_equations_multi, (CG, 0, np.c_[CV, V]),
     np.linalg.solve(CG, np.c_[CV, V])),
    (L.complex_cholesky_factor, (CH,), sl.cholesky(CH)),
    (L.complex_dot_product, (CV, CV), CV @ CV),
    (L.complex_matrix_multiply, (CG, CR), CG @ CR),
    (L.complex_matrix_vector_multiply, (CR, CV[:3]), CR @ CV[:3]),
    (L.complex_outer_product, (CV, CV[:2]), np.outer(CV, CV[:2])),
    (L.complex_kronecker_product, (CR, CG[:2]), np.kron(CR, CG[:2])),
    (L.complex_conjugate_transpose, (CR,), CR.conj().T),
    (L.complex_matrix_trace, (CG,), np.trace(CG)),
    (L.complex_special_matrix, (1, 0, CV), np.diag(CV)),
    (L.complex_special_matrix, (3, 0, CV[:3]), np.vander(CV[:3])),
    (L.complex_condition_number, (CG, 0), np.linalg.cond(CG)),
    (L.complex_matrix_norm, (CR, 0), np.linalg.norm(CR, 2)),
    (L.complex_matrix_norm, (CR, 1), np.linalg.norm(CR, 1)),
    (L.complex_matrix_rank, (np.c_[CR, 1j * CR[:, 1]],), 3),
    (L.complex_pseudo_inverse, (CR,), np.linalg.pinv(CR)),
    (L.complex_singular_values, (CR,), np.linalg.svd(CR, compute_uv=False)),
    (L.complex_is_positive_definite, (CH,), 1),
    (L.complex_is_positive_definite, (CG,), 0),
    (L.eigen_general, (G, 0), lambda r: np.testing.assert_allclose(
        ascending(r[0]), ascending(np.linalg.eigvals(G)), atol=1e-10)),
    (L.eigen_symmetric, (S, 0), lambda r: np.testing.assert_allclose(
        r[0], np.linalg.eigvalsh(S), rtol=1e-12)),
    (L.complex_eigen, (CG, 0, 0), lambda r: np.testing.assert_allclose(
        ascending(r[0]), ascending(np.linalg.eigvals(CG)), atol=1e-10)),
    (L.complex_eigen, (CH, 1, 0), lambda r: np.testing.assert_allclose(
        r[0], np.linalg.eigvalsh(CH), rtol=1e-12)),
    (L.generalized_eigenvalues, (G, S), lambda r: np.testing.assert_allclose(
        ascending(r), ascending(sl.eigvals(G, S)), atol=1e-12)),
    (L.complex_generalized_eigenvalues, (CG, CH), lambda r: np.testing.assert_allclose(
        ascending(r), ascending(sl.eigvals(CG, CH)), atol=1e-12)),
]


@pytest.mark.parametrize("fn, args, ref", SMOKE,
                         ids=["%s-%d" % (row[0].__name__, i) for i, row in enumerate(SMOKE)])
def test_each_export_against_numpy(fn, args, ref, no_warnings):
  result = fn(*args)
  if callable(ref):
    ref(result)
    return
  ref = np.asarray(ref)
  if isinstance(result, np.ndarray):
    assert result.shape == ref.shape
    assert result.dtype == (np.complex128 if np.iscomplexobj(ref) else np.float64)
  np.testing.assert_allclose(result, ref, rtol=1e-10, atol=1e-12)


def test_every_linalg_export_has_a_smoke_row():
  seen = {row[0].__name__ for row in SMOKE}
  deeper = {"lu_decomposition", "complex_lu_decomposition", "lu_forward_substitution",
            "svd_decomposition", "svd_decomposition_typed", "complex_svd_decomposition",
            "complex_svd_decomposition_typed", "qr_decomposition", "qr_decomposition_by_method",
            "complex_qr_decomposition", "complex_qr_decomposition_pivoting",
            "hessenberg_decomposition", "complex_hessenberg_decomposition",
            "schur_decomposition", "complex_schur_decomposition", "matrix_balance",
            "complex_matrix_balance", "eigenvector_back_transform",
            "complex_eigenvector_back_transform", "generalized_eigen",
            "complex_generalized_eigen"}
  assert set(L.__all__) == seen | deeper


def test_inputs_are_left_alone_and_out_arrays_are_filled():
  a, b = G.copy(), V.copy()
  inv = np.empty((4, 4))
  assert L.matrix_inverse(a, out=inv) is inv
  np.testing.assert_allclose(inv @ G, np.eye(4), atol=1e-12)
  x = L.solve_square(a, b)
  np.testing.assert_array_equal(a, G)
  np.testing.assert_array_equal(b, V)
  np.testing.assert_allclose(G @ x, V, atol=1e-12)
  # In place: the result written over the caller's own array.
  assert L.solve_square(a, b, x=b) is b
  np.testing.assert_allclose(b, x, atol=1e-14)
  t = R.copy()
  assert L.matrix_transpose(t).shape == (3, 4)
  np.testing.assert_array_equal(t, R)  # an export declared without const gets a copy
  c = L.complex_conjugate_transpose(CR)
  np.testing.assert_array_equal(L.complex_conjugate_transpose(c), CR)
  with pytest.raises(ValueError, match=r"expected \(4, 4\)"):
    L.matrix_inverse(G, out=np.empty((4, 3)))
  with pytest.raises(TypeError):
    L.complex_matrix_inverse_typed(CG, 0, out=np.empty((4, 4)))  # float64, not complex128


def test_shapes_are_checked_before_the_library_is_called():
  with pytest.raises(ValueError, match=r"a has shape \(4, 3\), expected \(4, 4\)"):
    L.determinant(R)
  with pytest.raises(ValueError, match="2-D"):
    L.matrix_trace(V)
  with pytest.raises(ValueError, match=r"b has shape \(3,\), expected \(4,\)"):
    L.solve_linear_equations(R, V[:3], 0)
  with pytest.raises(ValueError, match=r"b has shape \(4, 4\), expected \(3, 4\)"):
    L.matrix_multiply(R, G)
  with pytest.raises(TypeError, match="float64"):
    L.determinant(CG)


def test_library_statuses_become_errors_and_warnings():
  cases = [
      (lambda: L.determinant_typed(G, 4), -20061),
      (lambda: L.matrix_inverse(np.ones((3, 3))), -20041),
      (lambda: L.cholesky_factor(-S), -20071),
      (lambda: L.condition_number(R, 1), -20039),
      (lambda: L.matrix_norm(np.full((2, 2), np.inf), 0), -20068),
      (lambda: L.complex_singular_values(np.array([[1, 1j * np.nan]])), -20068),
      (lambda: L.special_matrix(4, 0, [2.0]), -20006),
      (lambda: L.qr_decomposition(G, 3, 0), -20061),
      (lambda: L.solve_linear_equations(np.diag([1.0, 0, 2]), V[:3], 2), -20041),
  ]
  for call, code in cases:
    with pytest.raises(qmanlys.Error) as info:
      call()
    assert info.value.code == code
  with pytest.warns(qmanlys.Warning):
    x = L.solve_linear_equations(np.ones((3, 2)), [1.0, 1, 1], 0)
  np.testing.assert_allclose(x, [0.5, 0.5], atol=1e-12)  # the minimum-norm solution
  assert np.isnan(L.matrix_multiply(np.ones((2, 0)), np.ones((0, 3)))).all()


def test_lu_factors_feed_the_substitutions():
  lu, p, parity = L.lu_decomposition(G)
  assert lu.shape == (4, 4) and p.dtype == np.int64 and isinstance(parity, int)
  ref_lu, ref_piv = sl.lu_factor(G)
  np.testing.assert_allclose(lu, ref_lu, atol=1e-12)
  np.testing.assert_array_equal(p, ref_piv)
  assert (-1) ** parity == np.sign(np.linalg.det(G)) * np.sign(np.prod(np.diag(lu)))
  y = L.lu_forward_substitution(lu, V, p)
  x = L.back_substitution(np.triu(lu), y)
  np.testing.assert_allclose(x, np.linalg.solve(G, V), atol=1e-12)
  clu, cp, _ = L.complex_lu_decomposition(CG)
  ref_lu, ref_piv = sl.lu_factor(CG)
  np.testing.assert_allclose(clu, ref_lu, atol=1e-12)
  np.testing.assert_array_equal(cp, ref_piv)
  with pytest.warns(qmanlys.Warning):
    lu, p, parity = L.lu_decomposition(np.ones((3, 3)))
  assert lu[0, 0] == 1.0


@pytest.mark.parametrize("fn, mat", [
    (L.svd_decomposition, R), (L.svd_decomposition, R.T.copy()),
    (L.complex_svd_decomposition, CR), (L.complex_svd_decomposition, CR.T.copy())])
def test_economy_svd_reconstructs(fn, mat):
  u, s, v = fn(mat)
  p = min(mat.shape)
  assert u.shape == (mat.shape[0], p) and s.shape == (p,) and v.shape == (mat.shape[1], p)
  assert s.dtype == np.float64
  np.testing.assert_allclose(u @ np.diag(s) @ v.conj().T, mat, atol=1e-12)


@pytest.mark.parametrize("fn, mat", [(L.svd_decomposition_typed, R),
                                     (L.complex_svd_decomposition_typed, CR)])
def test_typed_svd_full_and_economy_shapes(fn, mat):
  m, n = mat.shape
  u, s, v = fn(mat, 0)
  assert u.shape == (m, m) and v.shape == (n, n)
  np.testing.assert_allclose(u.conj().T @ u, np.eye(m), atol=1e-12)
  np.testing.assert_allclose(u[:, :n] @ np.diag(s) @ v.conj().T, mat, atol=1e-12)
  u, s, v = fn(mat, 1)
  assert u.shape == (m, n) and v.shape == (n, n)


@pytest.mark.parametrize("fn, mat", [(L.qr_decomposition, R),
                                     (L.complex_qr_decomposition_pivoting, CR)])
def test_qr_pivoting_and_sizes(fn, mat):
  m, n = mat.shape
  p, q, r = fn(mat, 0, 0)
  assert p.shape == (0,) and q.shape == (m, m) and r.shape == (m, n)
  np.testing.assert_allclose(q @ r, mat, atol=1e-12)
  p, q, r = fn(mat, 1, 1)
  assert sorted(p) == list(range(n)) and q.shape == (m, n) and r.shape == (n, n)
  np.testing.assert_allclose(q @ r, mat[:, p], atol=1e-12)
  pm, q, r = fn(mat, 2, 0)
  pm = pm.reshape(n, n)
  assert (pm.sum(axis=0) == 1).all() and (pm.sum(axis=1) == 1).all()
  np.testing.assert_allclose(q @ r, mat @ pm, atol=1e-12)


def test_qr_by_method_and_complex_qr():
  for method in (0, 1, 2):
    q, r = L.qr_decomposition_by_method(R, method)
    assert q.shape == (4, 4) and r.shape == (4, 3)
    np.testing.assert_allclose(q @ r, R, atol=1e-12)
    np.testing.assert_allclose(np.tril(r, -1), 0, atol=1e-12)
  q, r = L.complex_qr_decomposition(CR)
  assert q.dtype == np.complex128 and q.shape == (4, 4)
  np.testing.assert_allclose(q @ r, CR, atol=1e-12)


def test_eigenvectors_only_for_output_type_1():
  values, vectors = L.eigen_general(G, 1)
  assert values.dtype == np.complex128 and vectors.shape == (4, 4)
  np.testing.assert_allclose(G @ vectors, vectors * values, atol=1e-10)
  values, vectors = L.eigen_symmetric(S, 1)
  assert values.dtype == np.float64
  np.testing.assert_allclose(S @ vectors, vectors * values, atol=1e-10)
  values, vectors = L.complex_eigen(CG, 0, 1)
  np.testing.assert_allclose(CG @ vectors, vectors * values, atol=1e-10)
  values, vectors = L.complex_eigen(CH, 1, 1)
  np.testing.assert_array_equal(values.imag, 0)
  assert L.eigen_symmetric(S, 0)[1].shape == (0, 0)


@pytest.mark.parametrize("hess, schur, mat", [
    (L.hessenberg_decomposition, L.schur_decomposition, G),
    (L.complex_hessenberg_decomposition, L.complex_schur_decomposition, CG)])
def test_hessenberg_and_schur_forms(hess, schur, mat):
  h, q = hess(mat)
  np.testing.assert_array_equal(np.tril(h, -2), 0)
  np.testing.assert_allclose(q @ h @ q.conj().T, mat, atol=1e-12)
  for ordering in (1, 4):
    q, t, w = schur(mat, ordering)
    np.testing.assert_allclose(q @ t @ q.conj().T, mat, atol=1e-12)
    key = w.real if ordering == 1 else -abs(w)
    assert (np.diff(key) >= -1e-12).all()


@pytest.mark.parametrize("balance, back, dtype", [
    (L.matrix_balance, L.eigenvector_back_transform, float),
    (L.complex_matrix_balance, L.complex_eigenvector_back_transform, complex)])
def test_balance_then_back_transform_eigenvectors(balance, back, dtype):
  # Real distinct eigenvalues, badly scaled rows and columns.
  d = np.diag([1.0, 1e3, 1e-3, 10.0])
  a = (d @ np.triu(G) @ np.linalg.inv(d)).astype(dtype)
  b, ilo, ihi, scale = balance(a, 3)
  assert isinstance(ilo, int) and isinstance(ihi, int) and scale.dtype == np.float64
  np.testing.assert_allclose(ascending(np.linalg.eigvals(b)), ascending(np.diag(G)), rtol=1e-10)
  w, vb = np.linalg.eig(b)
  vb = np.real_if_close(vb).astype(dtype)
  v = back(vb, 0, 3, ilo, ihi, scale)
  np.testing.assert_allclose(a @ v, v * w.real, atol=1e-8 * np.abs(a).max())


@pytest.mark.parametrize("fn, a, b", [(L.generalized_eigenvalues, G, S),
                                      (L.complex_generalized_eigenvalues, CG, CH)])
def test_generalized_eigenvectors_on_request(fn, a, b):
  w = fn(a, b)
  assert isinstance(w, np.ndarray) and w.shape == (4,)
  w, right = fn(a, b, right=True)
  np.testing.assert_allclose(a @ right, b @ right * w, atol=1e-10)
  w, left, right = fn(a, b, left=True, right=True)
  np.testing.assert_allclose(left.conj().T @ a, w[:, None] * (left.conj().T @ b), atol=1e-10)


@pytest.mark.parametrize("fn, a, b", [(L.generalized_eigen, G, S),
                                      (L.complex_generalized_eigen, CG, CH)])
def test_generalized_schur_form(fn, a, b):
  s, t, q, z, alpha, beta = fn(a, b, 3)
  np.testing.assert_allclose(q @ s @ z.conj().T, a, atol=1e-10)
  np.testing.assert_allclose(q @ t @ z.conj().T, b, atol=1e-10)
  w = alpha / beta
  assert (np.diff(abs(w)) >= -1e-12).all()
  np.testing.assert_allclose(ascending(w), ascending(sl.eigvals(a, b)), atol=1e-10)
  assert len(fn(a, b, 0, left=True)) == 7


def test_special_matrix_shapes_follow_the_type():
  x, y = [1.0, 2.0, 3.0], [0.0, 4.0, 5.0, 6.0]
  np.testing.assert_array_equal(L.special_matrix(1, 0, x), np.diag(x))
  assert L.special_matrix(2, 0, x, y).shape == (3, 4)
  np.testing.assert_array_equal(L.special_matrix(3, 0, x), np.vander(x))
  np.testing.assert_allclose(L.special_matrix(4, 0, x), sl.companion(x))
  np.testing.assert_array_equal(L.complex_special_matrix(0, 2), np.eye(2))
  np.testing.assert_allclose(L.complex_special_matrix(4, 0, [2j, 1, 1j]), sl.companion([2j, 1, 1j]))
  with pytest.raises(qmanlys.Error) as info:
    L.special_matrix(1, 0)  # no x
  assert info.value.code == -20003
