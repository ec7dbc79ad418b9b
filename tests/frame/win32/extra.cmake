# Windows: small fake modules for the BLAS/LAPACK search tests, built as DLLs
# (every function exported, as MinGW does without dllexport marks): the BLAS
# module with the thread-count setter MKL_Set_Num_Threads, the same module
# missing dgetrf_, a run-time module and the companion module.
set(win32_fakes ${CMAKE_CURRENT_SOURCE_DIR}/frame/win32)
add_library(fake_blas MODULE ${win32_fakes}/fake_mkl.cpp)
add_library(fake_blas_incomplete MODULE ${win32_fakes}/fake_mkl.cpp)
target_link_options(fake_blas_incomplete PRIVATE -Wl,--exclude-symbols,dgetrf_)
add_library(fake_runtime MODULE ${CMAKE_CURRENT_SOURCE_DIR}/frame/fakes/fake_runtime.cpp)
add_library(fake_companion MODULE ${CMAKE_CURRENT_SOURCE_DIR}/frame/fakes/fake_companion.cpp)
foreach(t fake_blas fake_blas_incomplete fake_runtime fake_companion)
  target_include_directories(${t} PRIVATE ${CMAKE_SOURCE_DIR}/analysis ${CMAKE_CURRENT_SOURCE_DIR})
  set_target_properties(${t} PROPERTIES PREFIX "")
endforeach()
add_dependencies(test_frame fake_blas fake_blas_incomplete fake_runtime fake_companion)
target_compile_definitions(test_frame PRIVATE
  QM_FAKE_BLAS="$<TARGET_FILE:fake_blas>"
  QM_FAKE_BLAS_INCOMPLETE="$<TARGET_FILE:fake_blas_incomplete>"
  QM_FAKE_RUNTIME="$<TARGET_FILE:fake_runtime>"
  QM_FAKE_COMPANION="$<TARGET_FILE:fake_companion>")

# The public header compiles as C99 and links against qmanlys.dll through its
# import library.
add_executable(c_consumer ${CMAKE_CURRENT_SOURCE_DIR}/frame/c_consumer.c)
set_target_properties(c_consumer PROPERTIES C_STANDARD 99 C_EXTENSIONS OFF)
target_compile_options(c_consumer PRIVATE -pedantic-errors)
target_link_libraries(c_consumer PRIVATE qmanlys)
add_test(NAME frame.c_consumer COMMAND c_consumer)
