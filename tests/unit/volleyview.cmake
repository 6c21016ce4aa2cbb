# volleyview's file watching.
volley_add_test(volleyview_watch_test SOURCES unit/volleyview_watch_test.cpp LIBS volleyview_core)
