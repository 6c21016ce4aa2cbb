# The display's per-frame work: each scaler and the colour-map conversion against a copy loop of
# the same bytes, and the CPU that the paced frame loop costs. Run by scripts/bench.sh.
add_executable(display_bench ${CMAKE_CURRENT_LIST_DIR}/display_bench.cpp)
target_link_libraries(display_bench PRIVATE volley_display benchmark::benchmark)
if(VOLLEY_TESTS)
  # a quick smoke run under `ctest -L bench` (never part of the default test run)
  add_test(NAME display_bench_smoke
           COMMAND display_bench --benchmark_min_time=0.01 --benchmark_filter=-Paced)
  set_tests_properties(display_bench_smoke PROPERTIES LABELS bench)
endif()
