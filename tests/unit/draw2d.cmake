# draw2d: the drawing core and memory screen (no display needed); the SDL2 window back-end is
# tested with the display's windows (display.cmake) under the Xvfb display of scripts/test.sh.
volley_add_test(draw2d_core_test SOURCES unit/draw2d_core_test.cpp LIBS draw2d)
volley_add_test(draw2d_screen_test SOURCES unit/draw2d_screen_test.cpp LIBS draw2d)
