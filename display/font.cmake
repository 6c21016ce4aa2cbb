# The designer's bitmap font (namespace NFONT).
add_library(volley_font STATIC ${CMAKE_CURRENT_SOURCE_DIR}/font.cpp)
target_include_directories(volley_font PUBLIC ${CMAKE_SOURCE_DIR})
target_link_libraries(volley_font PUBLIC pixbank_image_edit draw2d)
