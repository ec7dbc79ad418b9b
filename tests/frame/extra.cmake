if(WIN32)
  include(${CMAKE_CURRENT_SOURCE_DIR}/frame/win32/extra.cmake)
  return()
endif()

# Small fake modules for the BLAS/LAPACK search tests: a BLAS module with
# every routine of the function table, one missing a routine, a run-time
# module and the companion module that carries the pointer file.
add_library(fake_blas MODULE ${CMAKE_CURRENT_SOURCE_DIR}/frame/fakes/fake_blas.cpp)
target_include_directories(fake_blas PRIVATE ${CMAKE_SOURCE_DIR}/analysis)
add_library(fake_blas_incomplete MODULE ${CMAKE_CURRENT_SOURCE_DIR}/frame/fakes/fake_blas.cpp)
target_include_directories(fake_blas_incomplete PRIVATE ${CMAKE_SOURCE_DIR}/analysis)
# The same module with dgetrf hidden.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/fake_incomplete.map "{ global: *; local: dgetrf_; };\n")
target_link_options(fake_blas_incomplete PRIVATE
  -Wl,--version-script=${CMAKE_CURRENT_BINARY_DIR}/fake_incomplete.map)
add_library(fake_runtime MODULE ${CMAKE_CURRENT_SOURCE_DIR}/frame/fakes/fake_runtime.cpp)
add_library(fake_companion MODULE ${CMAKE_CURRENT_SOURCE_DIR}/frame/fakes/fake_companion.cpp)
add_dependencies(test_frame fake_blas fake_blas_incomplete fake_runtime fake_companion)
target_compile_definitions(test_frame PRIVATE
  QM_FAKE_BLAS="$<TARGET_FILE:fake_blas>"
  QM_FAKE_BLAS_INCOMPLETE="$<TARGET_FILE:fake_blas_incomplete>"
  QM_FAKE_RUNTIME="$<TARGET_FILE:fake_runtime>"
  QM_FAKE_COMPANION="$<TARGET_FILE:fake_companion>"
  QM_INCLUDE_DIR="${CMAKE_SOURCE_DIR}/include")

# The public header compiles as C99 and links against the shared library.
add_executable(c_consumer ${CMAKE_CURRENT_SOURCE_DIR}/frame/c_consumer.c)
set_target_properties(c_consumer PROPERTIES C_STANDARD 99 C_EXTENSIONS OFF)
target_compile_options(c_consumer PRIVATE -pedantic-errors)
target_link_libraries(c_consumer PRIVATE qmanlys)
add_test(NAME frame.c_consumer COMMAND c_consumer)

# The installed library serves C callers through pkg-config and CMake.
# (Instrumented builds need the sanitizer run-time in every caller: skipped.)
if(QM_SANITIZE STREQUAL "")
  add_test(NAME frame.install COMMAND sh ${CMAKE_CURRENT_SOURCE_DIR}/frame/install_check.sh
           ${CMAKE_BINARY_DIR} ${CMAKE_SOURCE_DIR})
endif()

# An export defined with parameters that differ from its declaration in the
# public header is rejected by the compiler (every export file sees the
# declarations through frame/boundary.h).
add_test(NAME frame.export_declaration_checked
  COMMAND ${CMAKE_CXX_COMPILER} -std=c++20 -fsyntax-only
          -I${CMAKE_SOURCE_DIR}/include -I${CMAKE_SOURCE_DIR}/analysis -I${QM_PLATFORM_DIR}
          ${CMAKE_CURRENT_SOURCE_DIR}/frame/reject/export_mismatch.cpp)
set_tests_properties(frame.export_declaration_checked PROPERTIES
  PASS_REGULAR_EXPRESSION "conflicting declaration of C function")
