# The fuzz targets, one per input the programs read. Included by fuzz/CMakeLists.txt (libFuzzer
# executables fuzz_<name>, VOLLEY_FUZZ builds) and by tests/e2e/hardening.cmake (replay_<name>,
# which run the regression inputs and the seed corpus as ordinary tests).
#
# volley_fuzz_targets(MODE) with MODE "fuzz" or "replay" calls
# volley_fuzz_one(<name> <mode> SOURCES ... LIBS ...) for every target.

set(VOLLEY_FUZZ_DIR ${CMAKE_SOURCE_DIR}/fuzz)

# Every target of the list, in the order fuzz.sh runs them.
set(VOLLEY_FUZZ_TARGETS put_sheet palette bitmap_edit bitmap_play barrage_load
    barrage_roundtrip key_script options programme_json programme_vly)

function(volley_fuzz_one NAME MODE)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  if(MODE STREQUAL "fuzz")
    set(EXE fuzz_${NAME})
    add_executable(${EXE} ${T_SOURCES} ${VOLLEY_FUZZ_DIR}/fuzz_common.cpp)
    target_link_options(${EXE} PRIVATE -fsanitize=fuzzer)
  else()
    set(EXE replay_${NAME})
    add_executable(${EXE} ${T_SOURCES} ${VOLLEY_FUZZ_DIR}/fuzz_common.cpp
                          ${VOLLEY_FUZZ_DIR}/replay_main.cpp)
  endif()
  target_include_directories(${EXE} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(${EXE} PRIVATE VOLLEY_RUN_DIR="${VOLLEY_RUN_DIR}")
  target_link_libraries(${EXE} PRIVATE ${T_LIBS} leakscope draw2d)
  if(TARGET volley_assets)
    add_dependencies(${EXE} volley_assets)
  endif()
endfunction()

function(volley_fuzz_targets MODE)
  set(D ${VOLLEY_FUZZ_DIR})
  volley_fuzz_one(put_sheet ${MODE} SOURCES ${D}/put_sheet.cpp LIBS pixbank_image_edit)
  volley_fuzz_one(palette ${MODE} SOURCES ${D}/palette.cpp LIBS pixbank_image_edit)
  volley_fuzz_one(bitmap_edit ${MODE} SOURCES ${D}/bitmap.cpp LIBS pixbank_image_edit)
  volley_fuzz_one(bitmap_play ${MODE} SOURCES ${D}/bitmap.cpp LIBS pixbank_image_play)
  volley_fuzz_one(barrage_load ${MODE} SOURCES ${D}/barrage_load.cpp
                  LIBS volleyedit_core)
  volley_fuzz_one(barrage_roundtrip ${MODE} SOURCES ${D}/barrage_roundtrip.cpp
                  LIBS volleyedit_model)
  volley_fuzz_one(key_script ${MODE} SOURCES ${D}/key_script.cpp ${D}/designer_session.cpp
                  LIBS volleyedit_core volley_harness)
  volley_fuzz_one(options ${MODE} SOURCES ${D}/options.cpp LIBS volley_harness)
  volley_fuzz_one(programme_json ${MODE} SOURCES ${D}/programme_json.cpp LIBS volley_static)
  volley_fuzz_one(programme_vly ${MODE} SOURCES ${D}/programme_vly.cpp LIBS volley_static)
endfunction()
