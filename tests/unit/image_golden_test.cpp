// Tests of the generated assets in the run directory, against reviewed golden files: the facts
// of every palette and sheet as the programs load them (tests/golden/image_assets.txt), and the
// fonts and designer bullets drawn into a 320 x 240 memory page, whose CRC-32 is checked in as
// tests/golden/image_page.crc. Also the generator's determinism and the contact sheet. After a
// deliberate change to the artwork, tools/regen_goldens.sh rewrites both; review them like code.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <map>
#include <sstream>

#include "display/colour_table.hpp"
#include "display/font.hpp"
#include "draw2d/draw2d.hpp"
#include "image/pixbank_image.hpp"
#include "tests/e2e/decode.hpp"
#include "tests/unit/golden.hpp"
#include "tests/unit/image_test_files.hpp"

namespace {

using BYTES = std::vector<uint8_t>;
const std::string RUN = std::string(VOLLEY_RUN_DIR) + "/";
const std::string REGEN = imagetest::SCRATCH("regen/");  // the generator's second run

BYTES READ_ALL(const std::string& NAME) {
  std::ifstream F(NAME, std::ios::binary);
  return BYTES(std::istreambuf_iterator<char>(F), {});
}

// A palette: its size, largest byte, colour 15 (0x00BBGGRR) and whether it is the display's
// table. A sheet: its length field and, as loaded, its frames, the words they fill against the
// store's, how many frames have each size and which ones are blank.
std::string FACTS(const std::string& NAME) {
  const BYTES B = READ_ALL(RUN + NAME);
  std::ostringstream S;
  S << B.size() << " bytes" << (READ_ALL(REGEN + NAME) == B ? "" : " (regenerated otherwise)");
  if (NAME.ends_with(".pal")) {
    const bool BUILT_IN = B.size() == 1024 && !std::memcmp(B.data(), BUILTIN_COLOUR_TABLE, 1024);
    S << ", largest byte " << +*std::max_element(B.begin(), B.end()) << ", colour 15 " << std::hex
      << (B.at(60) | B.at(61) << 8 | B.at(62) << 16) << (BUILT_IN ? ", built in" : "");
    return S.str();
  }
  IMAGETYPE IMG{};
  IMAGE_INIT(IMG);
  IMG.M_FILENAME = RUN + NAME;
  IMG.LOAD(IMG);
  std::map<std::string, int> SIZES;
  std::string BLANK;
  uint32_t WORDS = 0;
  for (uint32_t N = 0; N < IMAGE_FRAME_COUNT(IMG); ++N) {
    const uint8_t* F = IMAGE_FRAME(IMG, N);
    const int W = F ? draw2d::width_of(F) : 0, H = F ? draw2d::height_of(F) : 0;
    ++SIZES[std::to_string(W) + "x" + std::to_string(H)];
    WORDS += (W * H + 5) / 2;
    if (std::count(F + 4, F + 4 + W * H, 0) == W * H) BLANK += " " + std::to_string(N);
  }
  S << ", length field " << (B[5] | B[6] << 8) << ", " << IMAGE_FRAME_COUNT(IMG) << " frames in "
    << WORDS << " of " << IMG.M_SIZE << " words:";
  for (const auto& [SIZE, COUNT] : SIZES) S << " " << COUNT << " of " << SIZE;
  IMG.DESTROY(IMG);
  return S.str() + ", blank:" + BLANK;
}

}  // namespace

TEST(Assets, GeneratedFilesAreAsTheTableSaysAndTheContactSheetShowsThemAll) {
  const std::string PNG = imagetest::SCRATCH("contact.png");
  const std::string GEN = VOLLEY_ASSETGEN, SHEET = VOLLEY_CONTACT_SHEET;
  ASSERT_EQ(std::system(("mkdir -p '" + REGEN + "' && '" + GEN + "' '" + REGEN + "' && '" + SHEET +
                         "' '" + RUN + "' '" + PNG + "' 4 >/dev/null 2>&1").c_str()), 0)
      << "the generator's second run and the contact sheet at 4x";
  volley_test::EXPECT_GOLDEN_TABLE("image_assets.txt", FACTS);
  unsigned W = 0;
  const std::size_t PIXELS = e2e::PNG_RGBA(PNG, W).size() / 4;
  // 16 cells of 12 pixels per row at 4x; rows: 4 + 2 + 6 + 6 of frames, 3 between sheets.
  EXPECT_EQ(W, 16u * 12 * 4) << "width";
  EXPECT_EQ(PIXELS, W * (4 + 2 + 6 + 6 + 3) * 12 * 4) << "pixels: width x height";
}

TEST(ImageGolden, FontsAndBulletsDrawTheCheckedInPage) {
  FONTTYPE TINY{}, BIG{};
  for (auto [FONT, NAME] : {std::pair{&TINY, "tiny_font.put"}, std::pair{&BIG, "qzfntdg.put"}}) {
    NFONT::INIT(*FONT);
    FONT->S_IMAGE.M_FILENAME = RUN + NAME;
    FONT->LOAD(*FONT);
  }
  IMAGETYPE BULLETS{};
  IMAGE_INIT(BULLETS);
  BULLETS.M_FILENAME = RUN + "kv_bullet.put";
  BULLETS.LOAD(BULLETS);
  uint8_t* PAGE = draw2d::create_buffer(320, 240, 0);
  auto DRAW = [PAGE](FONTTYPE& FONT, int X, int Y, const std::string& TEXT, int SCORE = 0) {
    FONT.M_X = X;
    FONT.M_Y = Y;
    FONT.M_TEXT = TEXT;
    if (SCORE > 0) FONT.DRAW_SCORE(FONT, SCORE, PAGE);
    else FONT.DRAW(FONT, PAGE);
  };
  // Row numbers and labels as the designer lays them out, 7 pixels apart.
  for (int ROW = 0; ROW < 34; ++ROW) {
    DRAW(TINY, 0, 7 * ROW, std::to_string(ROW) + ".");
    DRAW(TINY, 15, 7 * ROW, ROW % 2 ? "bullet_speed = 1.5" : "min_frame = 26 /X-Y_");
  }
  TINY.M_CENTERED = 1;
  DRAW(TINY, 15, 232, "The quick brown fox {jumps} over 13 lazy dogs!?");
  DRAW(BIG, 160, 0, "Volley 0123");
  DRAW(BIG, 160, 10, "1234567", 9);  // a score of 9 places
  // Every bullet frame, over the text, with a few past the sheet that must draw nothing.
  for (int N = 0; N < 60; ++N) {
    if (const uint8_t* F = IMAGE_FRAME(BULLETS, N))
      draw2d::blit(PAGE, float(140 + (N % 12) * 14), float(30 + (N / 12) * 14), F,
                   draw2d::Blit::TRANSPARENT);
  }
  char HEX[16];
  std::snprintf(HEX, sizeof HEX, "%08lx\n", crc32(0, PAGE + 4, 320 * 240));
  volley_test::EXPECT_GOLDEN("image_page.crc", HEX);
  draw2d::free_buffer(PAGE);
  BULLETS.DESTROY(BULLETS);
  TINY.DESTROY(TINY);
  BIG.DESTROY(BIG);
}
