# The designer's programme keys end to end: a scripted headless session checked against the
# library (the real windows of tests/e2e/windows.cmake press the programme keys too).
volley_add_test(volleyedit_programme_e2e_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/volleyedit_programme_test.cpp
  LIBS volley_static volley_harness
  LABELS e2e edit)
add_dependencies(volleyedit_programme_e2e_test volleyedit)

