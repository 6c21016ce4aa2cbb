# End-to-end tests of volleyedit: headless key-script sessions checked against golden digests
# (its real windows are in windows.cmake).
find_package(nlohmann_json 3.10 REQUIRED)
volley_add_test(volleyedit_e2e_test
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/volleyedit_e2e_test.cpp
  LIBS PNG::PNG GIF::GIF nlohmann_json::nlohmann_json
  LABELS e2e edit)
add_dependencies(volleyedit_e2e_test volleyedit)
