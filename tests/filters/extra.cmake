# The reference recursions of the sample-major tests round like the filters
# they check: compiled without fused multiply-add contraction, as the
# filters are (analysis/filters/options.cmake).
set_source_files_properties(${dir}/iir_sample_major_test.cpp
  PROPERTIES COMPILE_OPTIONS -ffp-contract=off)
