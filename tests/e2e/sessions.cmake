# volleypattern, volleyview and volleyedit end to end: command sessions against golden outputs.
find_package(nlohmann_json 3.10 REQUIRED)
volley_add_test(sessions_e2e_test SOURCES e2e/sessions_e2e_test.cpp
                LIBS PNG::PNG GIF::GIF nlohmann_json::nlohmann_json LABELS e2e view lib edit)
target_include_directories(sessions_e2e_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/e2e)
add_dependencies(sessions_e2e_test volleyview volleypattern volleyedit)
