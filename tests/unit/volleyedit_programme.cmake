# The designer's programme: selecting, copying, removing and delaying sets, and playing them.
volley_add_test(volleyedit_programme_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/volleyedit_programme_test.cpp
  LIBS volleyedit_model
  LABELS unit edit)
