# The barrage engine's per-frame cost (LIST_MANAGE + SHOOT for 1, 100 and 10,000 turrets of 128
# live bullets, in nanoseconds per live bullet) and the free-slot search of a full shot against
# a plain scan from slot 0. The designer build of the engine: 128 slots per turret.
add_executable(engine_bench ${CMAKE_CURRENT_LIST_DIR}/engine_bench.cpp)
target_link_libraries(engine_bench PRIVATE engine_edit benchmark::benchmark)
if(VOLLEY_TESTS)
  # a quick smoke run under `ctest -L bench` (never part of the default test run): it fails
  # when a check inside the benchmark fails (bullets lost, different slots chosen)
  add_test(NAME engine_bench_smoke
           COMMAND engine_bench --benchmark_min_time=0.01 --benchmark_filter=/1$|/100$|Slot|Shot)
  set_tests_properties(engine_bench_smoke PROPERTIES LABELS bench)
endif()
