# Engine tests, compiled once against each engine build (labels unit;edit and unit;play).
# The subdirectory carries the build's label for all its tests: a list of labels passed to
# gtest_discover_tests itself does not survive test discovery.
set(VOLLEY_ENGINE_TEST_DIR ${CMAKE_CURRENT_SOURCE_DIR}/unit)
foreach(ENGINE_VARIANT edit play)
  add_subdirectory(${CMAKE_CURRENT_SOURCE_DIR}/unit/engine_variant engine_${ENGINE_VARIANT})
endforeach()

# The demo program runs headless and must report fire lines and a clean tracker exit.
add_test(NAME engine_demo_runs_clean
         COMMAND ${CMAKE_COMMAND} -DDEMO=$<TARGET_FILE:volley_engine_demo>
                 -P ${CMAKE_SOURCE_DIR}/tools/engine_demo/check_demo.cmake)
set_tests_properties(engine_demo_runs_clean PROPERTIES LABELS "unit;edit;e2e" TIMEOUT 60)
