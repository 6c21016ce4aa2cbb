# volleyplay: one headless player frame and one four-cannon trace line.
add_executable(volleyplay_bench ${CMAKE_CURRENT_LIST_DIR}/volleyplay_bench.cpp)
target_link_libraries(volleyplay_bench PRIVATE volleyplay_core volley_harness benchmark::benchmark)
add_test(NAME volleyplay_bench COMMAND volleyplay_bench --benchmark_min_time=0.05)
set_tests_properties(volleyplay_bench PROPERTIES LABELS bench)
