# The programs' asset search path.
volley_add_test(asset_path_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/asset_path_test.cpp
  LIBS volley_asset_path)
