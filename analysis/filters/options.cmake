# Digital filters: every source of this folder is compiled without fused
# multiply-add contraction, so that a filter gives the same samples, bit for
# bit, in every build type and on every x86-64 or ARM target.
file(GLOB QM_FILTER_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
set_source_files_properties(${QM_FILTER_SOURCES}
  TARGET_DIRECTORY qmanlys_objects
  PROPERTIES COMPILE_OPTIONS -ffp-contract=off)
