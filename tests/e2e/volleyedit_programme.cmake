# The designer's programme keys end to end: a scripted headless session checked against the
# library, and real key events in a software and an OpenGL window under Xvfb.
volley_add_test(volleyedit_programme_e2e_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/volleyedit_programme_test.cpp
  LIBS volley_static volley_harness
  LABELS e2e edit)
add_dependencies(volleyedit_programme_e2e_test volleyedit)

foreach(answers 622 522)
  add_test(NAME volleyedit_programme_window_${answers}
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/volleyedit_programme_window.sh
                   ${VOLLEY_RUN_DIR}/volleyedit ${answers})
  set_tests_properties(volleyedit_programme_window_${answers} PROPERTIES
    LABELS "e2e;window" TIMEOUT 120 SKIP_RETURN_CODE 77 RESOURCE_LOCK x_keyboard_focus)
endforeach()
