# volleypattern and volleyview end to end: command sessions against golden outputs.
volley_add_test(sessions_e2e_test SOURCES e2e/sessions_e2e_test.cpp LIBS PNG::PNG GIF::GIF
                LABELS e2e view lib)
target_include_directories(sessions_e2e_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/e2e)
add_dependencies(sessions_e2e_test volleyview volleypattern)
