# The pattern player: the programmes' timetable (every set applied, field by field), anchors
# and drawing of the frame loop on the memory screen (with the generated sprite sheet).
volley_add_test(volleyplay_test SOURCES unit/volleyplay_test.cpp
  LIBS volleyplay_core LABELS unit play)
add_dependencies(volleyplay_test volley_assets)
