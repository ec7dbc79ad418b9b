# bertlog tests: the toolkit unit tests link the toolkit library; the
# scripted runs start bertlog (console front end) and bertsim as child
# processes.  Included by tests/CMakeLists.txt after test_client exists.
if(NOT (QM_BUILD_CLIENT AND EXISTS ${CMAKE_SOURCE_DIR}/client/CMakeLists.txt))
  return()
endif()

set(BERTLOG_TEST_DEFS
  BERTLOG_EXE="$<TARGET_FILE:bertlog>"
  BERTSIM_EXE="$<TARGET_FILE:bertsim>"
  BERTLOG_PANEL_DIR="${CMAKE_SOURCE_DIR}/client/panels")
target_link_libraries(test_client PRIVATE bertlog_toolkit)
if(WIN32)
  # The harness's child processes: win32/child_win32.cpp (CreateProcessA and
  # pipes) instead of child_posix.cpp (posix_spawn).
  get_target_property(client_sources test_client SOURCES)
  list(FILTER client_sources EXCLUDE REGEX "/child_posix\\.cpp$")
  set_target_properties(test_client PROPERTIES SOURCES "${client_sources}")
endif()
target_compile_definitions(test_client PRIVATE ${BERTLOG_TEST_DEFS})
add_dependencies(test_client bertlog bertsim)
# GCC 12 reports std::regex internals as maybe-uninitialized when built with
# the sanitizers (a known false positive of libstdc++'s regex automaton).
target_compile_options(test_client PRIVATE -Wno-maybe-uninitialized)

# The Windows window front end (plain Win32 controls) under Wine, in a
# prefix of its own whose graphics driver is the null one: windows exist
# there without a display. The setup step makes that prefix.
if(WIN32)
  add_executable(test_client_window_win32 ${dir}/window/window_win32_test.cpp
    ${dir}/harness.cpp ${dir}/win32/child_win32.cpp)
  target_link_libraries(test_client_window_win32 PRIVATE bertlog_toolkit user32
    GTest::gtest GTest::gtest_main)
  target_include_directories(test_client_window_win32 PRIVATE ${dir})
  target_compile_definitions(test_client_window_win32 PRIVATE ${BERTLOG_TEST_DEFS}
    QM_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_dependencies(test_client_window_win32 bertlog bertsim)
  set(window_prefix "WINEPREFIX=${CMAKE_BINARY_DIR}/wine-prefix-window")
  add_test(NAME client_window_win32_prefix
    COMMAND sh ${dir}/window/wine_prefix.sh ${CMAKE_SOURCE_DIR}/tools/wine-run.sh)
  set_tests_properties(client_window_win32_prefix PROPERTIES
    FIXTURES_SETUP wine_window_prefix ENVIRONMENT "${window_prefix}" TIMEOUT 300)
  add_test(NAME client_window_win32 COMMAND test_client_window_win32)
  set_tests_properties(client_window_win32 PROPERTIES
    FIXTURES_REQUIRED wine_window_prefix ENVIRONMENT "${window_prefix}" TIMEOUT 180)
  return()
endif()

# The window front end under Xvfb, with a screenshot of the main panel saved
# as tests/client/artifacts/main_panel.ppm in the build tree.  FLTK and the
# X libraries keep some memory to the end of the process: LeakSanitizer
# reads its suppressions from lsan.supp.
if(NOT BERTLOG_WINDOW)
  return()
endif()
add_executable(test_client_window ${dir}/window/window_test.cpp ${dir}/harness.cpp
  ${dir}/child_posix.cpp)
target_link_libraries(test_client_window PRIVATE GTest::gtest GTest::gtest_main)
target_include_directories(test_client_window PRIVATE ${dir})
target_compile_definitions(test_client_window PRIVATE ${BERTLOG_TEST_DEFS}
  QM_BINARY_DIR="${CMAKE_BINARY_DIR}"
  BERTLOG_ARTIFACT_DIR="${CMAKE_BINARY_DIR}/tests/client/artifacts")
add_dependencies(test_client_window bertlog bertsim)
add_test(NAME client_window_screenshot COMMAND test_client_window)
set_tests_properties(client_window_screenshot PROPERTIES
  TIMEOUT 120
  ENVIRONMENT "LSAN_OPTIONS=suppressions=${dir}/lsan.supp:print_suppressions=0")
