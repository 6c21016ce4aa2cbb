# volleyview hot reload in a real window.
add_executable(volleyview_window_test e2e/volleyview_window_test.cpp)
target_link_libraries(volleyview_window_test PRIVATE volley_test_main)
target_include_directories(volleyview_window_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/e2e)
target_compile_definitions(volleyview_window_test PRIVATE VOLLEY_RUN_DIR="${VOLLEY_RUN_DIR}"
                                                   VOLLEY_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
add_dependencies(volleyview_window_test volleyview)
gtest_discover_tests(volleyview_window_test DISCOVERY_TIMEOUT 60 TEST_LIST volleyview_window_TESTS
                     PROPERTIES RESOURCE_LOCK x_keyboard_focus TIMEOUT 120)
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/volleyview_window_labels.cmake
     "if(volleyview_window_TESTS)\n  set_tests_properties(\${volleyview_window_TESTS} PROPERTIES LABELS \"e2e;window;view\")\nendif()\n")
set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_CURRENT_BINARY_DIR}/volleyview_window_labels.cmake)
