# Tests of the image module (built against both copies), the font and the generated assets.
foreach(variant edit play)
  volley_add_test(pixbank_image_test_${variant}
    SOURCES ${CMAKE_CURRENT_LIST_DIR}/pixbank_image_test.cpp
    LIBS pixbank_image_${variant} LABELS unit ${variant})
endforeach()
volley_add_test(font_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/font_test.cpp LIBS volley_font)
# The generated assets against reviewed golden files: their facts as loaded, and the golden
# page (our fonts and sprites drawn into a memory page, compared with a checked-in CRC);
# tools/regen_goldens.sh rewrites both after a deliberate change.
volley_add_test(image_golden_test SOURCES ${CMAKE_CURRENT_LIST_DIR}/image_golden_test.cpp
  LIBS pixbank_image_edit volley_font ZLIB::ZLIB PNG::PNG GIF::GIF LABELS golden)
add_dependencies(image_golden_test volley_assets volley_assetgen volley_contact_sheet)
target_compile_definitions(image_golden_test PRIVATE
  VOLLEY_ASSETGEN="$<TARGET_FILE:volley_assetgen>"
  VOLLEY_CONTACT_SHEET="$<TARGET_FILE:volley_contact_sheet>")
