# The designer's unit tests: menu, statistics text, key rules and barrage files need only the
# engine; the frame loop, drawing and chooser tests need the whole designer core.
volley_add_test(volleyedit_model_test
  SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/volleyedit_menu_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/volleyedit_barrage_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/volleyedit_state_test.cpp
  LIBS volleyedit_model
  LABELS unit edit)

volley_add_test(volleyedit_core_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/volleyedit_core_test.cpp
  LIBS volleyedit_core
  LABELS unit edit)
add_dependencies(volleyedit_core_test volley_assets)
