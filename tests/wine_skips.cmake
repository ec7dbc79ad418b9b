# What the Windows suite under Wine leaves out, and why.
#
# Needs LAPACK: no BLAS/LAPACK is built for Windows here, so these exports
# return -20078 (tests/frame/win32/ proves the binding itself with fake
# modules). Whole programs:
set(QM_WINE_DISABLED_PROGRAMS test_linalg test_fit)
# Single tests of families that otherwise need no LAPACK (the Savitzky-Golay
# design and the peak detector's window fit solve least-squares problems):
set(QM_WINE_SKIP_filters "SavitzkyGolay.*")
set(QM_WINE_SKIP_peaks "PeakStreaming.*:PeakLifecycle.*:PeakThreads.*:PeakInput.*:PeakAccuracy.*")
# The C run-time's libm: MinGW links msvcrt's sin, cos, exp and pow, which
# are less accurate than glibc's (errors of 1e-14 relative and, for sin of
# large arguments, 1e-9 absolute). Bit-for-bit and 1e-14 reference checks
# therefore fail on Windows; the library's own code is the same.
string(APPEND QM_WINE_SKIP_filters ":IirFilter.SamplesAreTheSameInEveryBuild")
set(QM_WINE_SKIP_special "SineCosineIntegrals.ZeroInfinitySymmetry:Golden.EveryCaseWithinItsBound")
set(QM_WINE_SKIP_stats "DistributionFunctions.MatchTheClosedFormsAndScipy")

# How the Windows test programs are compiled: -O1 without debug information
# and linked stripped, which takes about half the compile time of the
# project's -O2 -g. Only the programs and GoogleTest under tests/ are
# affected: qmanlys.dll and the library objects the white-box tests link
# keep the project's flags, so the code under test is the code shipped.
# (Floating-point results do not depend on the level: no -ffast-math, and no
# FMA without -mfma.)
add_compile_options(-O1 -g0)
add_link_options(-s)
foreach(t gtest gtest_main gmock gmock_main)
  target_compile_options(${t} PRIVATE -O1 -g0)
endforeach()
