# FFT kernels: generated at build time by a small C++ program from
# analysis/fft/gen/, compiled into the library objects twice: once for the
# baseline instruction set and once for AVX2 with fused multiply-add (the
# engine picks the set the processor supports when it builds a plan).
# The generator shares the library's exact-angle routine (a standard-library-
# only source) for its constants.
add_executable(fft_kernel_gen ${CMAKE_SOURCE_DIR}/analysis/fft/gen/fft_kernel_gen.cpp
  ${CMAKE_SOURCE_DIR}/analysis/frame/exact_trig.cpp)
target_include_directories(fft_kernel_gen PRIVATE ${CMAKE_SOURCE_DIR}/analysis)
set(QM_FFT_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated/fft)
set(QM_FFT_KERNELS ${QM_FFT_GENERATED_DIR}/fft_kernels_generated.cpp)
set(QM_FFT_KERNELS_AVX2 ${QM_FFT_GENERATED_DIR}/fft_kernels_avx2_generated.cpp)
# The registry header (radices with kernels, table size) is generated from
# the same radix list; fft_kernels.h includes it, so the directory is public.
set(QM_FFT_REGISTRY ${QM_FFT_GENERATED_DIR}/fft_kernel_registry.h)
add_custom_command(
  OUTPUT ${QM_FFT_KERNELS} ${QM_FFT_KERNELS_AVX2} ${QM_FFT_REGISTRY}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${QM_FFT_GENERATED_DIR}
  COMMAND fft_kernel_gen ${QM_FFT_REGISTRY} registry
  COMMAND fft_kernel_gen ${QM_FFT_KERNELS}
  COMMAND fft_kernel_gen ${QM_FFT_KERNELS_AVX2} avx2
  DEPENDS fft_kernel_gen
  COMMENT "Generating the fixed-radix FFT kernels and their registry"
  VERBATIM)
target_sources(qmanlys_objects PRIVATE ${QM_FFT_KERNELS} ${QM_FFT_KERNELS_AVX2}
  ${QM_FFT_REGISTRY})
target_include_directories(qmanlys_objects PUBLIC ${QM_FFT_GENERATED_DIR})
# The kernels and the driver are the hot loops of every spectral routine.
# The generated kernels carry no debug information: it would double their
# compile time and straight-line butterflies are read in the generator.
set_source_files_properties(${CMAKE_SOURCE_DIR}/analysis/fft/fft_engine.cpp
  PROPERTIES COMPILE_OPTIONS "-O3")
set_source_files_properties(${QM_FFT_KERNELS}
  PROPERTIES COMPILE_OPTIONS "-O3;-g0")
set_source_files_properties(${QM_FFT_KERNELS_AVX2}
  PROPERTIES COMPILE_OPTIONS "-O3;-g0;-mavx2;-mfma;-ffp-contract=fast")
