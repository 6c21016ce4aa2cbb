# The run harness: options, key scripts, PNG/GIF writers and the recorder, and the trace
# writer built against both engine builds (the turret object differs between them).
volley_add_test(harness_test SOURCES unit/harness_options_test.cpp unit/harness_keys_test.cpp
  unit/harness_images_test.cpp LIBS volley_harness draw2d PNG::PNG GIF::GIF)
foreach(variant edit play)
  volley_add_test(harness_trace_test_${variant} SOURCES unit/harness_trace_test.cpp
    LIBS volley_harness engine_${variant} LABELS unit ${variant})
endforeach()
