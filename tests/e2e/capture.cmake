# The capture keys in real windows under Xvfb (xdotool presses F12 and F11). Real key events
# go to the focused window: one keyboard-driven window test at a time.
add_executable(capture_window_test e2e/capture_window_test.cpp)
target_link_libraries(capture_window_test PRIVATE volley_test_main PNG::PNG GIF::GIF)
target_include_directories(capture_window_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/e2e)
target_compile_definitions(capture_window_test PRIVATE VOLLEY_RUN_DIR="${VOLLEY_RUN_DIR}")
add_dependencies(capture_window_test volleyedit volleyplay)
gtest_discover_tests(capture_window_test DISCOVERY_TIMEOUT 60 TEST_LIST capture_window_TESTS
                     PROPERTIES RESOURCE_LOCK x_keyboard_focus TIMEOUT 120)
# Two labels go through a file read after discovery (PROPERTIES keeps one list item only).
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/capture_window_labels.cmake
     "if(capture_window_TESTS)\n  set_tests_properties(\${capture_window_TESTS} PROPERTIES LABELS \"e2e;window\")\nendif()\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_CURRENT_BINARY_DIR}/capture_window_labels.cmake)
