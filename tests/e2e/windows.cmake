# The programs in real windows under Xvfb, one test per scenario of tests/golden/windows/
# (xdotool presses the keys). Real key events go to the focused window: one keyboard-driven
# window test at a time. The scenarios are listed when ctest runs, so a new file needs no build.
add_executable(windows_test e2e/windows_test.cpp)
target_link_libraries(windows_test PRIVATE volley_test_main PNG::PNG GIF::GIF)
target_include_directories(windows_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/e2e)
target_compile_definitions(windows_test PRIVATE VOLLEY_RUN_DIR="${VOLLEY_RUN_DIR}"
                                         VOLLEY_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_dependencies(windows_test volleyedit volleyplay volleyview)
gtest_discover_tests(windows_test DISCOVERY_TIMEOUT 60 TEST_LIST windows_TESTS
                     DISCOVERY_MODE PRE_TEST PROPERTIES RESOURCE_LOCK x_keyboard_focus TIMEOUT 120)
# Two labels go through a file read after discovery (PROPERTIES keeps one list item only).
set(WINDOW_LABELS ${CMAKE_CURRENT_BINARY_DIR}/windows_labels.cmake)
file(WRITE ${WINDOW_LABELS} "if(windows_TESTS)\n"
     "  set_tests_properties(\${windows_TESTS} PROPERTIES LABELS \"e2e;window\")\nendif()\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${WINDOW_LABELS})
