# The pattern library: cannons against the engine, files against the designer, bad files; and
# the C interface from a C11 program, whose tracker report must be off by default and clean
# when the program turns it on.
volley_add_test(volley_lib_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/volley_lib_test.cpp
  LIBS volley_static volleyedit_model GTest::gmock
  LABELS unit lib)

add_executable(volley_c_test ${CMAKE_CURRENT_LIST_DIR}/volley_c_test.c)
set_target_properties(volley_c_test PROPERTIES C_STANDARD 11 C_STANDARD_REQUIRED ON
                                               C_EXTENSIONS OFF)
target_link_libraries(volley_c_test PRIVATE volley)
foreach(MODE quiet report)
  add_test(NAME volley_c_test_${MODE}
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/volley_c_test.sh
                   $<TARGET_FILE:volley_c_test> ${MODE}
                   ${CMAKE_SOURCE_DIR}/tests/golden)
  set_tests_properties(volley_c_test_${MODE} PROPERTIES LABELS "unit;lib" TIMEOUT 60)
endforeach()
