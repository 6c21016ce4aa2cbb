# Allocation tracker tests. The exit report runs after main, so a small helper program that
# leaks on purpose is run as a child and its two output streams are compared byte for byte.
add_executable(leakscope_leak_helper ${CMAKE_CURRENT_SOURCE_DIR}/unit/leakscope_leak_helper.cpp)
target_link_libraries(leakscope_leak_helper PRIVATE leakscope)

volley_add_test(leakscope_test SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/unit/leakscope_test.cpp
                LIBS leakscope)
target_compile_definitions(leakscope_test PRIVATE
                           LEAKSCOPE_HELPER="$<TARGET_FILE:leakscope_leak_helper>")
add_dependencies(leakscope_test leakscope_leak_helper)
target_include_directories(leakscope_test PRIVATE ${CMAKE_SOURCE_DIR})
