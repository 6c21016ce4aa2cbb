# The programs as an installed tool: --version and the asset search path, run end to end.
volley_add_test(install_e2e_test SOURCES e2e/install_e2e_test.cpp LIBS volley_asset_path
  LABELS e2e)
target_include_directories(install_e2e_test PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/e2e)
target_compile_definitions(install_e2e_test PRIVATE VOLLEY_VERSION="${PROJECT_VERSION}")
add_dependencies(install_e2e_test volleyplay volleyedit volleypattern)
