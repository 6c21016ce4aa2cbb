# The pattern player: the catalogue's sets checked field by field, and the frame loop's timing,
# anchors and drawing on the memory screen (with the generated sprite sheet).
volley_add_test(volleyplay_test SOURCES unit/volleyplay_test.cpp
  LIBS volleyplay_core LABELS unit play)
add_dependencies(volleyplay_test volley_assets)
