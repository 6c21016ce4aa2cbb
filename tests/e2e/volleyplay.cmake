# The player end to end: golden traces and headless runs with the harness options (one of
# them leaves build/artifacts/volleyplay_600.gif to look at); its real windows are in
# windows.cmake.
foreach(T golden e2e)
  if(T STREQUAL "golden")
    set(LABELS golden play)
  else()
    set(LABELS e2e play)
  endif()
  volley_add_test(volleyplay_${T}_test SOURCES e2e/volleyplay_${T}_test.cpp LIBS GIF::GIF
                  LABELS ${LABELS})
  target_include_directories(volleyplay_${T}_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/e2e)
  target_compile_definitions(volleyplay_${T}_test PRIVATE VOLLEY_BINARY_DIR="${CMAKE_BINARY_DIR}")
  add_dependencies(volleyplay_${T}_test volleyplay)
endforeach()
