# The pattern library at 100,096 live bullets: a frame stepped through volley::Cannon and drawn
# as sprites onto the 320 x 240 page, each against a plain-loop floor of the same bytes.
add_executable(volley_bench ${CMAKE_CURRENT_LIST_DIR}/volley_bench.cpp)
target_include_directories(volley_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_compile_definitions(volley_bench PRIVATE VOLLEY_RUN_DIR="${VOLLEY_RUN_DIR}")
target_link_libraries(volley_bench PRIVATE volley_static volley_cannon_draw pixbank_image_edit
                                           draw2d benchmark::benchmark)
if(TARGET volley_assets)
  add_dependencies(volley_bench volley_assets)
endif()
if(VOLLEY_TESTS)
  add_test(NAME volley_bench_smoke
           COMMAND volley_bench --benchmark_min_time=0.01 --benchmark_repetitions=1)
  set_tests_properties(volley_bench_smoke PROPERTIES LABELS bench)
endif()
