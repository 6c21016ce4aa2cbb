# Hardening: the fuzz targets' regression inputs and seed corpora replayed as ordinary tests
# (plain and sanitizer builds), and the --png field width. Tracker counts over long headless
# runs and barrage files that a failed save or a load must leave as they were are pinned by the
# designer's and the player's unit tests.
if(TARGET volleyedit_core AND TARGET volleyplay_core AND TARGET volley_harness)
  include(${CMAKE_SOURCE_DIR}/fuzz/targets.cmake)
  volley_fuzz_targets(replay)
  foreach(name ${VOLLEY_FUZZ_TARGETS})
    set(inputs)
    foreach(dir regressions corpus)
      if(IS_DIRECTORY ${CMAKE_SOURCE_DIR}/fuzz/${dir}/${name})
        list(APPEND inputs ${CMAKE_SOURCE_DIR}/fuzz/${dir}/${name})
      endif()
    endforeach()
    if(inputs)
      add_test(NAME hardening_replay_${name} COMMAND replay_${name} ${inputs})
      set_tests_properties(hardening_replay_${name} PROPERTIES LABELS "unit;e2e" TIMEOUT 300)
    endif()
  endforeach()
endif()
