# The designer's and the previewer's paced frame loops in a real window: each program is
# started twice per case (60 and 660 frames) and its CPU time is read through wait4. Needs an
# X display; scripts/bench.sh starts Xvfb when there is none. Building the benchmark builds
# the programs and their assets.
add_executable(paced_loop_bench ${CMAKE_CURRENT_LIST_DIR}/paced_loop_bench.cpp)
target_include_directories(paced_loop_bench PRIVATE ${CMAKE_SOURCE_DIR})
target_link_libraries(paced_loop_bench PRIVATE benchmark::benchmark)
target_compile_definitions(paced_loop_bench PRIVATE
  VOLLEY_RUN_DIR="${VOLLEY_RUN_DIR}"
  VOLLEY_SOURCE_DIR="${CMAKE_SOURCE_DIR}"
  VOLLEYEDIT_PATH="$<TARGET_FILE:volleyedit>"
  VOLLEYVIEW_PATH="$<TARGET_FILE:volleyview>")
add_dependencies(paced_loop_bench volleyedit volleyview volley_assets)
