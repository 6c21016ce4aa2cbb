# End-to-end tests of volleyedit: headless scripted sessions (gtest driving the program) and
# real windows under Xvfb driven by xdotool.
if(TARGET volleyedit)
  volley_add_test(volleyedit_e2e_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/volleyedit_e2e_test.cpp
    LIBS PNG::PNG GIF::GIF
    LABELS e2e edit)
  target_compile_definitions(volleyedit_e2e_test PRIVATE VOLLEY_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_dependencies(volleyedit_e2e_test volleyedit)

  foreach(answers 622 522)
    add_test(NAME volleyedit_window_${answers}
             COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/volleyedit_window.sh
                     ${VOLLEY_RUN_DIR}/volleyedit ${answers})
    set_tests_properties(volleyedit_window_${answers} PROPERTIES
      LABELS "e2e;window" TIMEOUT 120 SKIP_RETURN_CODE 77
      # real key events go to the focused window: one keyboard-driven window test at a time
      RESOURCE_LOCK x_keyboard_focus)
  endforeach()
endif()
