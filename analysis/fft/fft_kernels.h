// Fixed-radix DFT kernels of the FFT engine (generated at build time by
// analysis/fft/gen/fft_kernel_gen.cpp into fft_kernels_generated.cpp).
//
// All kernels compute forward DFTs, X[k] = Σ x[j]·e^(−2πi·jk/r), on split
// real/imaginary arrays; the engine obtains inverse transforms by exchanging
// the real and imaginary arrays. Input and output must not overlap, except
// that the twiddle kernels work in place.
#pragma once

#include <cstddef>
#include <cstdint>

// kKernelRadices, kKernelRadixCount, kKernelTableSize (generated with the
// kernels from the generator's radix list).
#include "fft_kernel_registry.h"

namespace qm::fft {

// `count` DFTs of size r: DFT v reads element j at ir/ii[v·ivs + j·is] and
// writes bin k at o_r/o_i[(v mod group)·ovs + (v div group)·gvs + k·os]
// (group ≥ count: DFT v at v·ovs). The two-level output serves a batch of
// transforms that spans two stages of the driver.
using ComplexFirstKernel = void (*)(const double* ir, const double* ii, double* o_r, double* o_i,
                                    std::ptrdiff_t is, std::ptrdiff_t os, std::ptrdiff_t count,
                                    std::ptrdiff_t ivs, std::ptrdiff_t ovs, std::ptrdiff_t group,
                                    std::ptrdiff_t gvs);

// Butterflies jb … je−1 (0 ≤ jb ≤ je ≤ m) of a decimation-in-time stage of
// radix r over r·m elements, in place: element k of butterfly j, at
// re/im[(j − jb)·s + k·d], is multiplied by w^(j·k) = twc[(k−1)(m−1) + j−1] +
// i·tws[(k−1)(m−1) + j−1] (j ≥ 1; the sines are stored negated), then the
// size-r DFT is applied. The whole stage at stride s is (0, m, m·s); a block
// of butterflies copied to a buffer is (jb, je, the buffer's row length).
using ComplexTwiddleKernel = void (*)(double* re, double* im, const double* twc, const double* tws,
                                      std::ptrdiff_t m, std::ptrdiff_t s, std::ptrdiff_t jb,
                                      std::ptrdiff_t je, std::ptrdiff_t d);

// `count` DFTs of size r of real data: DFT v reads x[v·ivs + j·is] and writes
// the half-complex block y[v·ovs + k·os] (Re of bin k at k for k ≤ r/2, Im of
// bin k at r − k for 0 < k < r/2).
using RealFirstKernel = void (*)(const double* in, double* out, std::ptrdiff_t is,
                                 std::ptrdiff_t os, std::ptrdiff_t count, std::ptrdiff_t ivs,
                                 std::ptrdiff_t ovs);

// The whole DFT of n = 2r of unit-stride data, for a plan of factors 2, r: the
// two DFTs of size r over the even and odd elements, then the radix-2 stage
// with its twiddle rows (w^j = twc[j − 1] + i·tws[j − 1], sines negated).
using ComplexPairKernel = void (*)(const double* xr, const double* xi, double* o_r, double* o_i,
                                   const double* twc, const double* tws);

// The whole DFT of n = R·r of unit-stride data, for a plan of factors R, r
// (R = 4: quad kernels, R = 8: octet kernels): the R DFTs of size r over the
// elements of each residue mod R, then the radix-R stage with its twiddle rows
// (w^(j·q) = twc[(q − 1)(r − 1) + j − 1] + i·tws[...], sines negated).
using ComplexFusedKernel = ComplexPairKernel;

// The twiddle stages of real-input transforms work on complex data and use
// the complex twiddle kernel.
using RealTwiddleKernel = ComplexTwiddleKernel;

// Tables indexed by radix (kKernelTableSize entries); the entries of radices
// without a kernel are null. The portable set is compiled for the baseline
// instruction set; the avx2 set is the same code with vector loops added,
// compiled for AVX2 with fused multiply-add, chosen when the processor has
// both.
extern const ComplexFirstKernel kComplexFirstKernels[kKernelTableSize];
extern const ComplexTwiddleKernel kComplexTwiddleKernels[kKernelTableSize];
extern const RealFirstKernel kRealFirstKernels[kKernelTableSize];
extern const RealTwiddleKernel kRealTwiddleKernels[kKernelTableSize];
// Null where a radix has no pair (quad, octet) kernel: every entry of the
// portable set.
extern const ComplexPairKernel kComplexPairKernels[kKernelTableSize];
extern const ComplexFusedKernel kComplexQuadKernels[kKernelTableSize];
extern const ComplexFusedKernel kComplexOctetKernels[kKernelTableSize];

namespace avx2 {
extern const ComplexFirstKernel kComplexFirstKernels[kKernelTableSize];
extern const ComplexTwiddleKernel kComplexTwiddleKernels[kKernelTableSize];
extern const RealFirstKernel kRealFirstKernels[kKernelTableSize];
extern const RealTwiddleKernel kRealTwiddleKernels[kKernelTableSize];
extern const ComplexPairKernel kComplexPairKernels[kKernelTableSize];
extern const ComplexFusedKernel kComplexQuadKernels[kKernelTableSize];
extern const ComplexFusedKernel kComplexOctetKernels[kKernelTableSize];
}  // namespace avx2

// True when r has generated kernels.
constexpr bool IsKernelRadix(std::int32_t r) {
  for (int k : kKernelRadices)
    if (k == r) return true;
  return false;
}

// True when `order` lists every kernel radix exactly once (a planner's order
// of preference over the registry).
template <std::size_t N>
constexpr bool IsOrderOfKernelRadices(const std::int32_t (&order)[N]) {
  if (N != static_cast<std::size_t>(kKernelRadixCount)) return false;
  for (std::size_t i = 0; i < N; ++i) {
    if (!IsKernelRadix(order[i])) return false;
    for (std::size_t j = 0; j < i; ++j)
      if (order[j] == order[i]) return false;
  }
  return true;
}

struct KernelTables {
  const ComplexFirstKernel* complex_first;
  const ComplexTwiddleKernel* complex_twiddle;
  const RealFirstKernel* real_first;
  const RealTwiddleKernel* real_twiddle;
  const ComplexPairKernel* complex_pair;
  const ComplexFusedKernel* complex_quad;
  const ComplexFusedKernel* complex_octet;
  bool wide;  // the avx2 set: the real transforms' unfolding passes run four lanes wide too
};

// The kernel set plans built from now on take: the avx2 set when the
// processor supports it, unless `SetPortableKernels(true)` asked for the
// portable one (tests compare the two).
KernelTables CurrentKernelTables();
void SetPortableKernels(bool portable);

}  // namespace qm::fft
