# Waveform measurements: the finiteness scan of the samples (an integer OR
# over their exponent fields, state_levels.cpp) is vectorised only with the
# dynamic cost model, which may add a scalar epilogue; the default cost model
# at -O2 refuses. Results are unchanged (integer operations).
set_source_files_properties(
  ${CMAKE_SOURCE_DIR}/analysis/measure/state_levels.cpp
  TARGET_DIRECTORY qmanlys_objects
  PROPERTIES COMPILE_OPTIONS "-fvect-cost-model=dynamic")
