# Hardening: the fuzz targets' regression inputs and seed corpora replayed as ordinary tests
# (plain and sanitizer builds). Tracker counts over long headless
# runs and barrage files that a failed save or a load must leave as they were are pinned by the
# designer's and the player's unit tests.
include(${CMAKE_SOURCE_DIR}/fuzz/targets.cmake)
volley_fuzz_targets(replay)
# Every target has a seed corpus (a missing one is a configure error); regression inputs exist
# only for targets that once failed.
foreach(name ${VOLLEY_FUZZ_TARGETS})
  set(inputs ${CMAKE_SOURCE_DIR}/fuzz/corpus/${name})
  if(NOT IS_DIRECTORY ${inputs})
    message(FATAL_ERROR "fuzz/corpus/${name} is missing: every fuzz target needs its seeds")
  endif()
  if(IS_DIRECTORY ${CMAKE_SOURCE_DIR}/fuzz/regressions/${name})
    list(PREPEND inputs ${CMAKE_SOURCE_DIR}/fuzz/regressions/${name})
  endif()
  add_test(NAME hardening_replay_${name} COMMAND replay_${name} ${inputs})
  set_tests_properties(hardening_replay_${name} PROPERTIES LABELS "unit;e2e" TIMEOUT 300)
endforeach()

