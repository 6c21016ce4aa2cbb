# The designer in real windows under Xvfb driven by xdotool (its headless key-script sessions
# are in tests/e2e/sessions.cmake).

# mode 0 shows the page 1:1, mode 5 in the 640 x 480 OpenGL window
foreach(case 622:320x240 522:640x480)
  string(REPLACE ":" ";" case ${case})
  list(GET case 0 answers)
  list(GET case 1 size)
  add_test(NAME volleyedit_window_${answers}
           COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/volleyedit_window.sh
                   ${VOLLEY_RUN_DIR}/volleyedit ${answers} ${size})
  set_tests_properties(volleyedit_window_${answers} PROPERTIES
    LABELS "e2e;window" TIMEOUT 120 SKIP_RETURN_CODE 77
    # real key events go to the focused window: one keyboard-driven window test at a time
    RESOURCE_LOCK x_keyboard_focus)
endforeach()
