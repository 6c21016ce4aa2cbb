// Golden page: the generated fonts and designer bullets drawn into a 320 x 240 memory page,
// compared with the CRC-32 checked in as tests/golden/image_page.crc. After a deliberate change
// to the artwork, tools/assetgen/regen_golden.sh rewrites the CRC; review it like code.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "display/draw2d.hpp"
#include "display/font.hpp"
#include "image/pixbank_image.hpp"

namespace {

const std::string RUN = std::string(VOLLEY_RUN_DIR) + "/";
const std::string GOLDEN = std::string(VOLLEY_SOURCE_DIR) + "/tests/golden/image_page.crc";

uint32_t CRC32(const uint8_t* P, std::size_t N) {
  uint32_t C = 0xFFFFFFFFu;
  for (std::size_t I = 0; I < N; ++I) {
    C ^= P[I];
    for (int K = 0; K < 8; ++K) C = (C >> 1) ^ (0xEDB88320u & (0u - (C & 1u)));
  }
  return ~C;
}

void LOAD_FONT(FONTTYPE& FONT, const char* NAME) {
  FONT.INIT = NFONT::INIT;
  FONT.INIT(FONT);
  FONT.S_IMAGE.M_FILENAME = RUN + NAME;
  FONT.LOAD(FONT);
}

}  // namespace

TEST(ImageGolden, FontsAndBulletsDrawTheCheckedInPage) {
  FONTTYPE TINY{}, BIG{};
  LOAD_FONT(TINY, "tiny_font.put");
  LOAD_FONT(BIG, "qzfntdg.put");
  IMAGETYPE BULLETS{};
  BULLETS.INIT = IMAGE_INIT;
  BULLETS.INIT(BULLETS);
  BULLETS.M_FILENAME = RUN + "kv_bullet.put";
  BULLETS.LOAD(BULLETS);
  uint8_t* PAGE = draw2d::create_buffer(320, 240, 0);

  // Row numbers and labels as the designer lays them out, 7 pixels apart.
  for (int ROW = 0; ROW < 34; ++ROW) {
    TINY.M_X = 0;
    TINY.M_Y = 7 * ROW;
    TINY.M_TEXT = std::to_string(ROW) + ".";
    TINY.DRAW(TINY, PAGE);
    TINY.M_X = 15;
    TINY.M_TEXT = ROW % 2 ? "bullet_speed = 1.5" : "min_frame = 26 /X-Y_";
    TINY.DRAW(TINY, PAGE);
  }
  TINY.M_CENTERED = 1;
  TINY.M_Y = 232;
  TINY.M_TEXT = "The quick brown fox {jumps} over 13 lazy dogs!?";
  TINY.DRAW(TINY, PAGE);
  BIG.M_X = 160;
  BIG.M_Y = 0;
  BIG.M_TEXT = "Volley 0123";
  BIG.DRAW(BIG, PAGE);
  BIG.M_Y = 10;
  BIG.M_TEXT = "1234567";
  BIG.DRAW_SCORE(BIG, 9, PAGE);
  // Every bullet frame, over the text, with a few past the sheet that must draw nothing.
  for (int N = 0; N < 60; ++N) {
    if (const uint8_t* F = IMAGE_FRAME(BULLETS, N)) {
      draw2d::blit(PAGE, static_cast<float>(140 + (N % 12) * 14), static_cast<float>(30 + (N / 12) * 14),
                   F, draw2d::Blit::TRANSPARENT);
    }
  }

  const uint32_t CRC = CRC32(PAGE + 4, 320 * 240);
  char HEX[16];
  std::snprintf(HEX, sizeof HEX, "%08x", CRC);
  if (std::getenv("VOLLEY_UPDATE_GOLDEN")) {
    if (std::FILE* F = std::fopen(GOLDEN.c_str(), "w")) {
      std::fprintf(F, "%s\n", HEX);
      std::fclose(F);
    }
  }
  std::string EXPECTED;
  if (std::FILE* F = std::fopen(GOLDEN.c_str(), "r")) {
    char LINE[32] = {};
    if (std::fgets(LINE, sizeof LINE, F)) EXPECTED = std::string(LINE).substr(0, 8);
    std::fclose(F);
  }
  EXPECT_EQ(std::string(HEX), EXPECTED) << "the page differs from the checked-in golden page";

  draw2d::free_buffer(PAGE);
  BULLETS.DESTROY(BULLETS);
  TINY.DESTROY(TINY);
  BIG.DESTROY(BIG);
}
