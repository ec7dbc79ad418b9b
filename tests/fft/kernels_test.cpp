// The generated kernels directly: the radix registry against the kernel
// tables, the leaf kernels' two-level output and the twiddle kernels' blocks
// of butterflies in both kernel sets (vector groups, remainders, strides),
// and power-of-two transforms through every path of the driver.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include "fft/fft_engine.h"
#include "frame/exact_trig.h"

namespace qm::fft {
namespace {

struct Set {
  const char* name;
  KernelTables tables;
};

std::vector<Set> Sets() {
  std::vector<Set> sets = {
      {"portable",
       {kComplexFirstKernels, kComplexTwiddleKernels, kRealFirstKernels, kRealTwiddleKernels,
        kComplexPairKernels, kComplexQuadKernels, kComplexOctetKernels, false}}};
  if (__builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma"))
    sets.push_back({"avx2",
                    {avx2::kComplexFirstKernels, avx2::kComplexTwiddleKernels,
                     avx2::kRealFirstKernels, avx2::kRealTwiddleKernels, avx2::kComplexPairKernels,
                     avx2::kComplexQuadKernels, avx2::kComplexOctetKernels, true}});
  return sets;
}

std::vector<double> Random(std::size_t n, unsigned seed) {
  std::mt19937_64 gen(seed);
  std::uniform_real_distribution<double> u(-1.0, 1.0);
  std::vector<double> v(n);
  for (double& x : v) x = u(gen);
  return v;
}

using Cx = std::complex<long double>;

// Direct DFT of size r of x[k] = (re[k·st], im[k·st]).
std::vector<Cx> Direct(const double* re, const double* im, std::ptrdiff_t st, int r) {
  std::vector<Cx> y(r);
  for (int k = 0; k < r; ++k)
    for (int j = 0; j < r; ++j) {
      const long double a = -2 * std::numbers::pi_v<long double> * ((j * k) % r) / r;
      y[k] += Cx(re[j * st], im[j * st]) * Cx(cosl(a), sinl(a));
    }
  return y;
}

TEST(FftKernelRegistryTest, TablesHoldExactlyTheRegisteredRadices) {
  EXPECT_EQ(kKernelRadixCount, static_cast<int>(std::size(kKernelRadices)));
  EXPECT_EQ(kKernelTableSize,
            *std::max_element(std::begin(kKernelRadices), std::end(kKernelRadices)) + 1);
  for (const Set& set : Sets()) {
    for (int r = 0; r < kKernelTableSize; ++r) {
      const bool has = IsKernelRadix(r);
      EXPECT_EQ(set.tables.complex_first[r] != nullptr, has) << set.name << " radix " << r;
      EXPECT_EQ(set.tables.complex_twiddle[r] != nullptr, has) << set.name << " radix " << r;
      EXPECT_EQ(set.tables.real_first[r] != nullptr, has) << set.name << " radix " << r;
      EXPECT_EQ(set.tables.real_twiddle[r] != nullptr, has) << set.name << " radix " << r;
    }
  }
  const std::int32_t reordered[] = {2,  3,  4,  5,  7,  8,  9,  10, 11, 13, 14,
                                    16, 17, 18, 19, 29, 31, 32, 37, 41, 43};
  const std::int32_t duplicate[] = {2,  2,  4,  5,  7,  8,  9,  10, 11, 13, 14,
                                    16, 17, 18, 19, 29, 31, 32, 37, 41, 43};
  const std::int32_t foreign[] = {6,  3,  4,  5,  7,  8,  9,  10, 11, 13, 14,
                                  16, 17, 18, 19, 29, 31, 32, 37, 41, 43};
  EXPECT_TRUE(IsOrderOfKernelRadices(reordered));
  EXPECT_FALSE(IsOrderOfKernelRadices(duplicate));
  EXPECT_FALSE(IsOrderOfKernelRadices(foreign));
  const std::int32_t short_order[] = {43, 41, 37, 32};
  EXPECT_FALSE(IsOrderOfKernelRadices(short_order));
}

// Leaf kernels: `count` DFTs with adjacent or spread inputs, written to a
// two-level output (group, gvs) or a plain one, at unit or wider output
// stride; every DFT against the direct one, and nothing else written.
TEST(FftKernelTest, LeafKernelsWriteEachDftWhereItsGroupPutsIt) {
  for (const Set& set : Sets()) {
    for (int r : kKernelRadices) {
      for (std::ptrdiff_t count : {1, 2, 3, 4, 5, 7, 8, 9}) {
        for (std::ptrdiff_t group : {std::ptrdiff_t{2}, std::ptrdiff_t{3}, count}) {
          for (std::ptrdiff_t ivs : {1, 3}) {
            for (std::ptrdiff_t os : {1, 2}) {
              const std::ptrdiff_t is = count * ivs + 1;
              const std::ptrdiff_t ovs = r * os + 5, gvs = group * ovs + 3;
              const std::ptrdiff_t groups = (count + group - 1) / group;
              const std::size_t in = static_cast<std::size_t>(r * is + count * ivs);
              const std::size_t out = static_cast<std::size_t>(groups * gvs + group * ovs);
              std::vector<double> re = Random(in, r + count), im = Random(in, 7 * r + count);
              std::vector<double> yr(out, 9.0), yi(out, 9.0);
              set.tables.complex_first[r](re.data(), im.data(), yr.data(), yi.data(), is, os, count,
                                          ivs, ovs, group, gvs);
              std::vector<char> written(out, 0);
              for (std::ptrdiff_t v = 0; v < count; ++v) {
                const std::vector<Cx> y = Direct(re.data() + v * ivs, im.data() + v * ivs, is, r);
                const std::ptrdiff_t at = v % group * ovs + v / group * gvs;
                for (int k = 0; k < r; ++k) {
                  const std::size_t o = static_cast<std::size_t>(at + k * os);
                  written[o] = 1;
                  ASSERT_NEAR(yr[o], static_cast<double>(y[k].real()), 1e-13)
                      << set.name << " r " << r << " count " << count << " group " << group << " v "
                      << v << " k " << k;
                  ASSERT_NEAR(yi[o], static_cast<double>(y[k].imag()), 1e-13)
                      << set.name << " r " << r << " count " << count << " v " << v;
                }
              }
              for (std::size_t o = 0; o < out; ++o)
                if (!written[o]) {
                  ASSERT_EQ(yr[o], 9.0) << set.name << " r " << r << " at " << o;
                }
            }
          }
        }
      }
    }
  }
}

// A single DFT on adjacent data (the half-length transform of a short real
// one) has its own vector form in the radices divisible by 16: against the
// direct DFT, with an output stride the other forms serve.
TEST(FftKernelTest, SingleLeafOnAdjacentDataMatchesTheDirectDft) {
  for (const Set& set : Sets()) {
    for (int r : kKernelRadices) {
      for (std::ptrdiff_t os : {1, 2}) {
        std::vector<double> re = Random(r, 3 * r), im = Random(r, 5 * r);
        std::vector<double> yr(r * os + 1, 9.0), yi(r * os + 1, 9.0);
        set.tables.complex_first[r](re.data(), im.data(), yr.data(), yi.data(), 1, os, 1, 0, 0, 1,
                                    0);
        const std::vector<Cx> y = Direct(re.data(), im.data(), 1, r);
        for (int k = 0; k < r; ++k) {
          ASSERT_NEAR(yr[k * os], static_cast<double>(y[k].real()), 1e-13)
              << set.name << " r " << r << " os " << os << " k " << k;
          ASSERT_NEAR(yi[k * os], static_cast<double>(y[k].imag()), 1e-13)
              << set.name << " r " << r << " os " << os << " k " << k;
        }
        EXPECT_EQ(yr[r * os], 9.0) << set.name << " r " << r;
        if (os == 2) {
          EXPECT_EQ(yr[1], 9.0) << set.name << " r " << r;
        }
      }
    }
  }
}

// Two DFTs of interleaved inputs (the leaves of n = 2r) have their own vector
// form in the radices divisible by 16, as has the whole transform of n = 2r
// (the two leaves and the radix-2 stage): against the direct DFTs, the second
// leaf written at ovs (group 2) or gvs (group 1).
TEST(FftKernelTest, PairedLeavesAndTheirRadix2StageMatchTheDirectDft) {
  for (const Set& set : Sets()) {
    for (int r : kKernelRadices) {
      std::vector<double> re = Random(2 * r, 11 * r), im = Random(2 * r, 13 * r);
      for (std::ptrdiff_t group : {1, 2}) {
        const std::ptrdiff_t ovs = r + 3, gvs = r + 7, second = group == 2 ? ovs : gvs;
        std::vector<double> yr(second + r + 1, 9.0), yi(second + r + 1, 9.0);
        set.tables.complex_first[r](re.data(), im.data(), yr.data(), yi.data(), 2, 1, 2, 1, ovs,
                                    group, gvs);
        for (int v = 0; v < 2; ++v) {
          const std::vector<Cx> y = Direct(re.data() + v, im.data() + v, 2, r);
          for (int k = 0; k < r; ++k) {
            ASSERT_NEAR(yr[v * second + k], static_cast<double>(y[k].real()), 1e-13)
                << set.name << " r " << r << " group " << group << " v " << v << " k " << k;
            ASSERT_NEAR(yi[v * second + k], static_cast<double>(y[k].imag()), 1e-13)
                << set.name << " r " << r << " group " << group << " v " << v << " k " << k;
          }
        }
        EXPECT_EQ(yr[r], 9.0) << set.name << " r " << r;
        EXPECT_EQ(yr[second + r], 9.0) << set.name << " r " << r;
      }
      const ComplexPairKernel pair = set.tables.complex_pair[r];
      EXPECT_EQ(pair != nullptr, set.tables.wide && r % 16 == 0) << set.name << " radix " << r;
      if (!pair) continue;
      std::vector<double> twc(r - 1), tws(r - 1);
      for (int j = 1; j < r; ++j) {
        const long double a = 2 * std::numbers::pi_v<long double> * j / (2 * r);
        twc[j - 1] = static_cast<double>(cosl(a));
        tws[j - 1] = static_cast<double>(-sinl(a));
      }
      std::vector<double> yr(2 * r + 1, 9.0), yi(2 * r + 1, 9.0);
      pair(re.data(), im.data(), yr.data(), yi.data(), twc.data(), tws.data());
      const std::vector<Cx> y = Direct(re.data(), im.data(), 1, 2 * r);
      for (int k = 0; k < 2 * r; ++k) {
        ASSERT_NEAR(yr[k], static_cast<double>(y[k].real()), 1e-13) << set.name << " k " << k;
        ASSERT_NEAR(yi[k], static_cast<double>(y[k].imag()), 1e-13) << set.name << " k " << k;
      }
      EXPECT_EQ(yr[2 * r], 9.0) << set.name << " r " << r;
    }
  }
}

// The whole transforms of n = 4r and 8r (the leaves four at a time, one per
// vector lane, and the radix-4 or radix-8 stage applied to each group of bins
// as it is computed) exist for the same radices: against the direct DFT,
// nothing written past the output.
TEST(FftKernelTest, QuadAndOctetKernelsMatchTheDirectDft) {
  for (const Set& set : Sets()) {
    for (int r : kKernelRadices) {
      for (int R : {4, 8}) {
        const ComplexFusedKernel fused =
            (R == 4 ? set.tables.complex_quad : set.tables.complex_octet)[r];
        EXPECT_EQ(fused != nullptr, set.tables.wide && r % 16 == 0) << set.name << " radix " << r;
        if (!fused) continue;
        const int n = R * r;
        std::vector<double> re = Random(n, 17 * r + R), im = Random(n, 19 * r + R);
        std::vector<double> twc((R - 1) * (r - 1)), tws((R - 1) * (r - 1));
        for (int q = 1; q < R; ++q)
          for (int j = 1; j < r; ++j) {
            const long double a = 2 * std::numbers::pi_v<long double> * (q * j) / n;
            twc[(q - 1) * (r - 1) + j - 1] = static_cast<double>(cosl(a));
            tws[(q - 1) * (r - 1) + j - 1] = static_cast<double>(-sinl(a));
          }
        std::vector<double> yr(n + 1, 9.0), yi(n + 1, 9.0);
        fused(re.data(), im.data(), yr.data(), yi.data(), twc.data(), tws.data());
        const std::vector<Cx> y = Direct(re.data(), im.data(), 1, n);
        for (int k = 0; k < n; ++k) {
          ASSERT_NEAR(yr[k], static_cast<double>(y[k].real()), 3e-13)
              << set.name << " n " << n << " k " << k;
          ASSERT_NEAR(yi[k], static_cast<double>(y[k].imag()), 3e-13)
              << set.name << " n " << n << " k " << k;
        }
        EXPECT_EQ(yr[n], 9.0) << set.name << " n " << n;
        EXPECT_EQ(yi[n], 9.0) << set.name << " n " << n;
      }
    }
  }
}

// Twiddle kernels: blocks of butterflies [jb, je) of a stage, the data of
// the block at its own row length d, against a direct evaluation with the
// exact roots; head group, vector groups, remainders and strides.
TEST(FftKernelTest, TwiddleKernelsComputeAnyBlockOfButterflies) {
  struct Block {
    std::ptrdiff_t m, jb, je, s;
  };
  const Block blocks[] = {{1, 0, 1, 1},   {3, 0, 3, 1},     {4, 0, 4, 1},        {8, 0, 8, 1},
                          {12, 0, 12, 1}, {33, 0, 33, 1},   {64, 0, 64, 1},      {64, 32, 64, 1},
                          {64, 5, 23, 1}, {64, 0, 3, 1},    {40, 36, 40, 1},     {12, 0, 12, 2},
                          {33, 4, 30, 3}, {1024, 0, 32, 1}, {1024, 992, 1024, 1}};
  for (const Set& set : Sets()) {
    for (int r : kKernelRadices) {
      for (const Block& b : blocks) {
        const std::ptrdiff_t L = r * b.m, w = b.je - b.jb;
        // Twiddle tables of the stage (as the plans lay them out).
        std::vector<double> tc(
            static_cast<std::size_t>(std::max<std::ptrdiff_t>((r - 1) * (b.m - 1), 1))),
            ts(tc.size());
        for (int k = 1; k < r; ++k)
          for (std::ptrdiff_t j = 1; j < b.m; ++j) {
            double c, sn;
            CosSinTwoPiFraction(j * k, L, &c, &sn);
            tc[(k - 1) * (b.m - 1) + j - 1] = c;
            ts[(k - 1) * (b.m - 1) + j - 1] = -sn;
          }
        const std::ptrdiff_t d = w * b.s + 2;  // rows of the block, with a gap
        const std::size_t size = static_cast<std::size_t>(r * d);
        std::vector<double> re = Random(size, r + b.m), im = Random(size, 3 * r + b.je);
        std::vector<double> yr = re, yi = im;
        set.tables.complex_twiddle[r](yr.data(), yi.data(), tc.data(), ts.data(), b.m, b.s, b.jb,
                                      b.je, d);
        for (std::ptrdiff_t j = b.jb; j < b.je; ++j) {
          std::vector<double> xr(r), xi(r);
          for (int k = 0; k < r; ++k) {
            const std::size_t at = static_cast<std::size_t>((j - b.jb) * b.s + k * d);
            double c, sn;
            CosSinTwoPiFraction(j * k, L, &c, &sn);
            xr[k] = re[at] * c + im[at] * sn;
            xi[k] = im[at] * c - re[at] * sn;
          }
          const std::vector<Cx> y = Direct(xr.data(), xi.data(), 1, r);
          for (int k = 0; k < r; ++k) {
            const std::size_t at = static_cast<std::size_t>((j - b.jb) * b.s + k * d);
            ASSERT_NEAR(yr[at], static_cast<double>(y[k].real()), 1e-13)
                << set.name << " r " << r << " m " << b.m << " [" << b.jb << ", " << b.je << ") j "
                << j << " k " << k;
            ASSERT_NEAR(yi[at], static_cast<double>(y[k].imag()), 1e-13)
                << set.name << " r " << r << " m " << b.m << " j " << j << " k " << k;
          }
        }
        // Gaps between the butterflies and after the rows stay untouched.
        for (int k = 0; k < r; ++k)
          for (std::ptrdiff_t q = 0; q < d; ++q) {
            const bool butterfly = q < w * b.s && q % b.s == 0;
            const std::size_t at = static_cast<std::size_t>(q + k * d);
            if (!butterfly) {
              ASSERT_EQ(yr[at], re[at]) << set.name << " r " << r << " gap " << q;
            }
          }
      }
    }
  }
}

// Powers of two through every shape of the driver (one or two batched first
// stages, blocked long stages) in both kernel sets, against the long-double
// DFT at sampled bins, within 3·ε·log2 n.
TEST(FftKernelTest, PowersOfTwoInBothSetsMatchTheLongDoubleDft) {
  for (bool portable : {true, false}) {
    SetPortableKernels(portable);
    for (int p = 1; p <= 17; ++p) {
      const std::int32_t n = 1 << p;
      FftPlan* plan = FftPlanAcquire(n);
      ASSERT_NE(plan, nullptr);
      std::vector<double> re = Random(n, n), im = Random(n, n + 1), yr(n), yi(n);
      ASSERT_EQ(FftComplexForward(plan, re.data(), im.data(), yr.data(), yi.data(), 1, 1, n),
                kSuccess);
      std::mt19937 gen(n);
      long double err = 0, ref = 0;
      for (int i = 0; i < 24; ++i) {
        const std::int64_t k = (i < 4 ? i : gen()) % n;
        Cx x = 0;
        for (std::int64_t j = 0; j < n; ++j) {
          const long double a = -2 * std::numbers::pi_v<long double> * ((j * k) % n) / n;
          x += Cx(re[j], im[j]) * Cx(cosl(a), sinl(a));
        }
        err += std::norm(Cx(yr[k], yi[k]) - x);
        ref += std::norm(x);
      }
      const double rms = static_cast<double>(std::sqrt(err / ref));
      EXPECT_LT(rms, 3 * 2.220446049250313e-16 * p)
          << (portable ? "portable" : "avx2") << " n " << n;
      FftPlanRelease(plan);
    }
  }
  SetPortableKernels(false);
}

}  // namespace
}  // namespace qm::fft
