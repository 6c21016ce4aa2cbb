# draw2d: the drawing core and memory screen (no display needed), and the SDL2 window
# back-end, which runs under the Xvfb display that scripts/test.sh provides.
volley_add_test(draw2d_core_test SOURCES unit/draw2d_core_test.cpp LIBS draw2d)
volley_add_test(draw2d_screen_test SOURCES unit/draw2d_screen_test.cpp LIBS draw2d)
volley_add_test(draw2d_window_test SOURCES unit/draw2d_window_test.cpp LIBS draw2d
                LABELS unit window)
