# Element-wise loops of the arithmetic family: let the vectoriser version a
# loop with a run-time overlap check (the default cost model at -O2 refuses
# to, and any output here may alias an input). Results are unchanged: the
# vectorised loops compute the same element-wise IEEE operations, and the
# sums and products keep their strict left-to-right order (no reassociation).
set_source_files_properties(
  ${CMAKE_SOURCE_DIR}/analysis/arith/array_ops.cpp
  ${CMAKE_SOURCE_DIR}/analysis/arith/complex_ops.cpp
  TARGET_DIRECTORY qmanlys_objects
  PROPERTIES COMPILE_OPTIONS "-fvect-cost-model=dynamic")
