# volleyview's file watching.
if(TARGET volleyview_core)
  volley_add_test(volleyview_watch_test SOURCES unit/volleyview_watch_test.cpp LIBS volleyview_core)
endif()
