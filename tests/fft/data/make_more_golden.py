#!/usr/bin/python3
# Needs the Debian packages python3-numpy python3-scipy (tools/install-deps.sh --reference); run with /usr/bin/python3.
"""Reference values for the cosine and sine transforms and the interleaved
and 2-D FFT exports.

Writes more_golden.txt beside this script: one line per quantity,
`name key v0 v1 ...`, values with 17 significant digits; complex results
interleaved (real, imaginary). The inputs are the exact rationals the tests
build themselves (2-D arrays row by row from the same sequence):
    x[j] = ((7919*j + 13) % 1009)/1009 - 0.5
    y[j] = ((104729*j + 7) % 997)/997 - 0.25
Complex inputs are x + i*y. Run with /usr/bin/python3 (NumPy and SciPy).

Conventions of the library against SciPy's: the DCT is scipy.fft.dct(type=2,
norm='ortho') and idct likewise; the DST-I sum is half of SciPy's
unnormalised dst(type=1) (a quarter of dstn in 2-D), its inverse the SciPy
dst divided by n + 1 (by (rows + 1)(cols + 1) in 2-D).
"""
import os
import numpy as np
import scipy.fft


def seq_x(n):
    j = np.arange(n)
    return ((7919 * j + 13) % 1009) / 1009.0 - 0.5


def seq_y(n):
    j = np.arange(n)
    return ((104729 * j + 7) % 997) / 997.0 - 0.25


def interleave(z):
    z = np.asarray(z).ravel()
    out = np.empty(2 * z.size)
    out[0::2] = z.real
    out[1::2] = z.imag
    return out


def main():
    lines = []

    def put(name, key, values):
        lines.append(" ".join([name, key] + ["%.17g" % v for v in np.ravel(values)]))

    for n in [1, 2, 3, 4, 7, 16, 53, 100, 101]:
        x = seq_x(n)
        put("dct", "%d" % n, scipy.fft.dct(x, type=2, norm="ortho"))
        put("idct", "%d" % n, scipy.fft.idct(x, type=2, norm="ortho"))
        put("dst", "%d" % n, scipy.fft.dst(x, type=1) / 2)
        put("idst", "%d" % n, scipy.fft.dst(x, type=1) / (n + 1))
    for n, m in [(5, 12), (5, 11), (16, 7), (16, 8), (9, 9)]:
        x = seq_x(n)
        xm = np.zeros(m)
        xm[:min(n, m)] = x[:min(n, m)]
        put("dct", "%dto%d" % (n, m), scipy.fft.dct(xm, type=2, norm="ortho"))
        put("dst", "%dto%d" % (n, m), scipy.fft.dst(xm, type=1) / 2)
    for r, c in [(3, 5), (4, 4), (1, 7), (6, 1), (8, 6), (7, 9)]:
        a = seq_x(r * c).reshape(r, c)
        key = "%dx%d" % (r, c)
        put("dct2", key, scipy.fft.dctn(a, type=2, norm="ortho"))
        put("idct2", key, scipy.fft.idctn(a, type=2, norm="ortho"))
        put("dst2", key, scipy.fft.dstn(a, type=1) / 4)
        put("idst2", key, scipy.fft.dstn(a, type=1) / ((r + 1) * (c + 1)))

    for n, m in [(7, 7), (16, 16), (5, 8), (10, 3), (9, 9), (1, 1), (1, 4)]:
        x = seq_x(n)
        z = x + 1j * seq_y(n)
        key = "%dto%d" % (n, m)
        X = np.fft.fft(x, n=m)
        Z = np.fft.fft(z, n=m)
        put("rfft", key, interleave(X))
        put("rfft_shift", key, interleave(np.fft.fftshift(X)))
        put("cfft", key, interleave(Z))
        put("cfft_shift", key, interleave(np.fft.fftshift(Z)))
    for n in [7, 16, 9, 1]:
        z = seq_x(n) + 1j * seq_y(n)
        put("icfft", "%d" % n, interleave(np.fft.ifft(z)))
        put("icfft_shift", "%d" % n, interleave(np.fft.ifft(np.fft.ifftshift(z))))
        # A Hermitian spectrum of the real sequence x: its inverse is x.
        X = np.fft.fft(seq_x(n))
        put("hermitian", "%d" % n, interleave(X))
        put("hermitian_shift", "%d" % n, interleave(np.fft.fftshift(X)))

    for r, c, tr, tc in [(3, 5, 3, 5), (4, 6, 6, 4), (5, 3, 2, 7), (1, 8, 1, 8), (7, 1, 3, 1),
                         (6, 7, 6, 7), (9, 10, 9, 10)]:
        a = seq_x(r * c).reshape(r, c)
        z = a + 1j * seq_y(r * c).reshape(r, c)
        key = "%dx%dto%dx%d" % (r, c, tr, tc)
        A = np.fft.fft2(a, s=(tr, tc))
        Z = np.fft.fft2(z, s=(tr, tc))
        put("rfft2", key, interleave(A))
        put("rfft2_shift", key, interleave(np.fft.fftshift(A)))
        put("cfft2", key, interleave(Z))
        put("cfft2_shift", key, interleave(np.fft.fftshift(Z)))
    for r, c in [(3, 5), (4, 6), (6, 7), (1, 8)]:
        z = seq_x(r * c).reshape(r, c) + 1j * seq_y(r * c).reshape(r, c)
        key = "%dx%d" % (r, c)
        put("icfft2", key, interleave(np.fft.ifft2(z)))
        put("icfft2_shift", key, interleave(np.fft.ifft2(np.fft.ifftshift(z))))
        put("irfft2", key, np.real(np.fft.ifft2(z)))
        put("irfft2_shift", key, np.real(np.fft.ifft2(np.fft.ifftshift(z))))
    with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "more_golden.txt"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
