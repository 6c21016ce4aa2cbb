# volley_display: the designer's page and its presentation. display_gl.cpp is the only source of
# Volley that sees GLFW, OpenGL and GLU; the rest of the module talks to draw2d only.
add_library(volley_display STATIC
  ${CMAKE_CURRENT_LIST_DIR}/display.cpp
  ${CMAKE_CURRENT_LIST_DIR}/display_gl.cpp)
target_include_directories(volley_display PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(volley_display
  PUBLIC draw2d leakscope
  PRIVATE glfw OpenGL::GL OpenGL::GLU)
