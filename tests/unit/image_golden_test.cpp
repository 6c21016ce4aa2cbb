// Golden page: the generated fonts and designer bullets drawn into a 320 x 240 memory page,
// compared with the CRC-32 checked in as tests/golden/image_page.crc. After a deliberate change
// to the artwork, tools/regen_goldens.sh rewrites the CRC; review it like code.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>

#include "display/font.hpp"
#include "draw2d/draw2d.hpp"
#include "image/pixbank_image.hpp"
#include "tests/unit/golden.hpp"

TEST(ImageGolden, FontsAndBulletsDrawTheCheckedInPage) {
  const std::string RUN = std::string(VOLLEY_RUN_DIR) + "/";
  FONTTYPE TINY{}, BIG{};
  for (auto [FONT, NAME] : {std::pair{&TINY, "tiny_font.put"}, std::pair{&BIG, "qzfntdg.put"}}) {
    FONT->INIT = NFONT::INIT;
    FONT->INIT(*FONT);
    FONT->S_IMAGE.M_FILENAME = RUN + NAME;
    FONT->LOAD(*FONT);
  }
  IMAGETYPE BULLETS{};
  BULLETS.INIT = IMAGE_INIT;
  BULLETS.INIT(BULLETS);
  BULLETS.M_FILENAME = RUN + "kv_bullet.put";
  BULLETS.LOAD(BULLETS);
  uint8_t* PAGE = draw2d::create_buffer(320, 240, 0);
  auto DRAW = [PAGE](FONTTYPE& FONT, int X, int Y, const std::string& TEXT) {
    FONT.M_X = X, FONT.M_Y = Y, FONT.M_TEXT = TEXT;
    FONT.DRAW(FONT, PAGE);
  };
  // Row numbers and labels as the designer lays them out, 7 pixels apart.
  for (int ROW = 0; ROW < 34; ++ROW) {
    DRAW(TINY, 0, 7 * ROW, std::to_string(ROW) + ".");
    DRAW(TINY, 15, 7 * ROW, ROW % 2 ? "bullet_speed = 1.5" : "min_frame = 26 /X-Y_");
  }
  TINY.M_CENTERED = 1;
  DRAW(TINY, 15, 232, "The quick brown fox {jumps} over 13 lazy dogs!?");
  DRAW(BIG, 160, 0, "Volley 0123");
  BIG.M_Y = 10, BIG.M_TEXT = "1234567";
  BIG.DRAW_SCORE(BIG, 9, PAGE);
  // Every bullet frame, over the text, with a few past the sheet that must draw nothing.
  for (int N = 0; N < 60; ++N) {
    if (const uint8_t* F = IMAGE_FRAME(BULLETS, N)) {
      draw2d::blit(PAGE, float(140 + (N % 12) * 14), float(30 + (N / 12) * 14), F,
                   draw2d::Blit::TRANSPARENT);
    }
  }
  char HEX[16];
  std::snprintf(HEX, sizeof HEX, "%08lx\n", crc32(0, PAGE + 4, 320 * 240));
  volley_test::EXPECT_GOLDEN("image_page.crc", HEX);
  draw2d::free_buffer(PAGE);
  BULLETS.DESTROY(BULLETS);
  TINY.DESTROY(TINY);
  BIG.DESTROY(BIG);
}
