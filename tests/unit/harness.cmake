# The run harness: options, key scripts, PNG/GIF writers, the recorder and the trace writer.
volley_add_test(harness_test SOURCES unit/harness_options_test.cpp unit/harness_keys_test.cpp
  unit/harness_images_test.cpp unit/harness_trace_test.cpp
  LIBS volley_harness draw2d PNG::PNG GIF::GIF)
