# The detector's per-window loops are written to be unrolled and
# vectorised; -O3 does both. Results are unchanged: no reassociation, each
# coefficient is still summed in order.
set_source_files_properties(
  ${CMAKE_SOURCE_DIR}/analysis/peaks/peak_detector.cpp
  ${CMAKE_SOURCE_DIR}/analysis/peaks/window_fit.cpp
  TARGET_DIRECTORY qmanlys_objects
  PROPERTIES COMPILE_OPTIONS "-O3")
