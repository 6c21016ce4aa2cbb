# draw2d: blit, box and circle throughput on memory buffers (no display needed).
add_executable(draw2d_bench ${CMAKE_CURRENT_LIST_DIR}/draw2d_bench.cpp)
target_link_libraries(draw2d_bench PRIVATE draw2d benchmark::benchmark_main)
add_test(NAME draw2d_bench COMMAND draw2d_bench --benchmark_min_time=0.05)
set_tests_properties(draw2d_bench PROPERTIES LABELS bench)
