# volleyview end to end: headless key-script sessions, and hot reload in a real window.
if(TARGET volleyview)
  volley_add_test(volleyview_e2e_test SOURCES e2e/volleyview_e2e_test.cpp LIBS PNG::PNG GIF::GIF
                  LABELS e2e view)
  target_include_directories(volleyview_e2e_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/e2e)
  add_dependencies(volleyview_e2e_test volleyview)
endif()
