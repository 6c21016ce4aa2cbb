# The designer's display: scalers, colour map and record life cycle run headless; the window
# tests (with draw2d's window back-end) open a real SDL or GLFW window each (one ctest process
# per test) and need DISPLAY.
volley_add_test(display_test
  SOURCES unit/display_scaler_test.cpp unit/display_record_test.cpp
  LIBS volley_display
  LABELS unit)
volley_add_test(display_window_test
  SOURCES unit/display_window_test.cpp
  LIBS volley_display
  LABELS window)
