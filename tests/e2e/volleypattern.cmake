# The pattern tool end to end: every command through the executable, in a scratch directory
# with the designer's palette and bullet sheet.
if(TARGET volleypattern)
  volley_add_test(volleypattern_e2e_test
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/volleypattern_e2e_test.cpp
    LIBS volley_static volley_cannon_draw pixbank_image_edit draw2d GIF::GIF
    LABELS e2e lib)
  target_include_directories(volleypattern_e2e_test PRIVATE ${CMAKE_CURRENT_LIST_DIR})
  add_dependencies(volleypattern_e2e_test volleypattern)
endif()
