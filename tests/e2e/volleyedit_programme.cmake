# The designer's programme keys end to end: a scripted headless session checked against the
# library, and real key events in a software and an OpenGL window under Xvfb.
foreach(answers 622 522)
  add_test(NAME volleyedit_programme_window_${answers}
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/volleyedit_programme_window.sh
                   ${VOLLEY_RUN_DIR}/volleyedit ${answers})
  set_tests_properties(volleyedit_programme_window_${answers} PROPERTIES
    LABELS "e2e;window" TIMEOUT 120 SKIP_RETURN_CODE 77 RESOURCE_LOCK x_keyboard_focus)
endforeach()
