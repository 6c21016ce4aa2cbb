// Tests of the generated assets in the run directory: palettes, sheets and fonts as the
// programs load them, the generator's determinism and the contact sheet.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "display/colour_table.hpp"
#include "display/draw2d.hpp"
#include "display/font.hpp"
#include "image/pixbank_image.hpp"

namespace {

const std::string RUN = std::string(VOLLEY_RUN_DIR) + "/";

std::vector<uint8_t> READ_ALL(const std::string& NAME) {
  std::vector<uint8_t> B;
  if (std::FILE* F = std::fopen(NAME.c_str(), "rb")) {
    for (int C = std::fgetc(F); C != EOF; C = std::fgetc(F)) B.push_back(static_cast<uint8_t>(C));
    std::fclose(F);
  }
  return B;
}

uint32_t PAL_ENTRY(const std::vector<uint8_t>& P, int I) {
  return P[4 * I] | P[4 * I + 1] << 8 | P[4 * I + 2] << 16 | static_cast<uint32_t>(P[4 * I + 3]) << 24;
}

class Sheet {
 public:
  explicit Sheet(const std::string& NAME) {
    IMG.INIT = IMAGE_INIT;
    IMG.INIT(IMG);
    IMG.M_FILENAME = RUN + NAME;
    IMG.LOAD(IMG);
  }
  ~Sheet() { IMG.DESTROY(IMG); }
  IMAGETYPE IMG{};
};

// Centroid of the non-transparent pixels of a frame, relative to the frame's centre,
// weighted by how far along its ramp each index is (brighter counts more).
void CENTROID(const uint8_t* F, double& CX, double& CY) {
  const int W = draw2d::width_of(F), H = draw2d::height_of(F);
  double SUM = 0, SX = 0, SY = 0;
  for (int Y = 0; Y < H; ++Y) {
    for (int X = 0; X < W; ++X) {
      const uint8_t I = F[4 + Y * W + X];
      if (I == 0) continue;
      const double WEIGHT = I == 15 ? 16 : (I % 16) + 1;
      SUM += WEIGHT;
      SX += WEIGHT * (X + 0.5 - W / 2.0);
      SY += WEIGHT * (Y + 0.5 - H / 2.0);
    }
  }
  CX = SUM > 0 ? SX / SUM : 0;
  CY = SUM > 0 ? SY / SUM : 0;
}

bool SAME_FRAME(const uint8_t* A, const uint8_t* B) {
  const std::size_t N = draw2d::buffer_bytes(draw2d::width_of(A), draw2d::height_of(A));
  return draw2d::width_of(A) == draw2d::width_of(B) && draw2d::height_of(A) == draw2d::height_of(B) &&
         std::equal(A + 4, A + N, B + 4);
}

int INKED_PIXELS(const uint8_t* F) {
  int N = 0;
  for (int I = 0; I < draw2d::width_of(F) * draw2d::height_of(F); ++I) N += F[4 + I] != 0;
  return N;
}

}  // namespace

TEST(Assets, KorvanePaletteIsTheDisplaysColourTable) {
  const std::vector<uint8_t> P = READ_ALL(RUN + "korvane.pal");
  ASSERT_EQ(P.size(), 1024u);
  for (int I = 0; I < 256; ++I) {
    ASSERT_EQ(PAL_ENTRY(P, I), BUILTIN_COLOUR_TABLE[I]) << "entry " << I;
  }
  EXPECT_EQ(BUILTIN_COLOUR_TABLE[9], 0x3F1515u) << "light blue: blue in the high byte";
}

TEST(Assets, PlayerPaletteHasBlackAndWhiteAndSixBitEntries) {
  const std::vector<uint8_t> P = READ_ALL(RUN + "qz.pal");
  ASSERT_EQ(P.size(), 1024u);
  EXPECT_EQ(PAL_ENTRY(P, 0), 0u) << "colour 0 black";
  EXPECT_EQ(PAL_ENTRY(P, 15), 0x3F3F3Fu) << "colour 15 white";
  for (int I = 0; I < 256; ++I) ASSERT_EQ(PAL_ENTRY(P, I) & ~0x3F3F3Fu, 0u) << "entry " << I;
}

TEST(Assets, SheetsAreWellFormedAndSmall) {
  for (const char* NAME : {"kv_bullet.put", "bullet.put", "tiny_font.put", "qzfntdg.put"}) {
    const std::vector<uint8_t> B = READ_ALL(RUN + NAME);
    ASSERT_GE(B.size(), 7u) << NAME;
    EXPECT_EQ(B[0], 0xFD) << NAME;
    EXPECT_EQ(B[5] | B[6] << 8, static_cast<int>(B.size()) - 7) << NAME << ": length = size - 7";
    EXPECT_LE(B.size() - 7, 65535u) << NAME;
    Sheet S(NAME);
    uint32_t WORDS = 0;
    for (uint32_t N = 0; N < IMAGE_FRAME_COUNT(S.IMG); ++N) {
      const uint8_t* F = IMAGE_FRAME(S.IMG, N);
      ASSERT_NE(F, nullptr) << NAME << " frame " << N;
      WORDS += (draw2d::width_of(F) * draw2d::height_of(F) + 5) / 2;
    }
    EXPECT_EQ(WORDS, S.IMG.M_SIZE) << NAME << ": the frames fill the sheet exactly";
  }
}

TEST(Assets, DesignerBulletsHaveRoundSpinningAndDirectionalFrames) {
  Sheet S("kv_bullet.put");
  ASSERT_GE(IMAGE_FRAME_COUNT(S.IMG), 51u);
  for (int N = 0; N <= 50; ++N) EXPECT_GT(INKED_PIXELS(IMAGE_FRAME(S.IMG, N)), 4) << "frame " << N;
  double CX = 0, CY = 0;
  CENTROID(IMAGE_FRAME(S.IMG, 26), CX, CY);
  EXPECT_GT(CX, 0.5) << "direction 0 points right";
  EXPECT_NEAR(CY, 0, 0.3);
  CENTROID(IMAGE_FRAME(S.IMG, 26 + 6), CX, CY);
  EXPECT_GT(CY, 0.5) << "90 degrees points down";
  EXPECT_NEAR(CX, 0, 0.3);
  CENTROID(IMAGE_FRAME(S.IMG, 26 + 12), CX, CY);
  EXPECT_LT(CX, -0.5) << "180 degrees points left";
  CENTROID(IMAGE_FRAME(S.IMG, 26 + 18), CX, CY);
  EXPECT_LT(CY, -0.5) << "270 degrees points up";
  CENTROID(IMAGE_FRAME(S.IMG, 26 + 3), CX, CY);
  EXPECT_GT(CX, 0.3) << "45 degrees points right and down";
  EXPECT_GT(CY, 0.3);
  EXPECT_TRUE(SAME_FRAME(IMAGE_FRAME(S.IMG, 50), IMAGE_FRAME(S.IMG, 26))) << "frame 50 repeats direction 0";
  EXPECT_TRUE(SAME_FRAME(IMAGE_FRAME(S.IMG, 25), IMAGE_FRAME(S.IMG, 49)))
      << "direction index -1 shows direction 23";
  EXPECT_FALSE(SAME_FRAME(IMAGE_FRAME(S.IMG, 4), IMAGE_FRAME(S.IMG, 5))) << "the spinner turns";
}

TEST(Assets, PlayerBulletsCoverTheCatalogueFrames) {
  Sheet S("bullet.put");
  ASSERT_GE(IMAGE_FRAME_COUNT(S.IMG), 19u) << "animations at 0, 4, 12 and 15 of 4 frames";
  for (int N = 0; N <= 18; ++N) {
    const uint8_t* F = IMAGE_FRAME(S.IMG, N);
    EXPECT_GT(INKED_PIXELS(F), 4) << "frame " << N;
    EXPECT_LE(draw2d::width_of(F), 12) << "bullets are small";
  }
}

TEST(Assets, TinyFontFitsTheDesignersRows) {
  Sheet S("tiny_font.put");
  ASSERT_EQ(IMAGE_FRAME_COUNT(S.IMG), 95u) << "codes 32 to 126";
  for (int N = 0; N < 95; ++N) {
    const uint8_t* F = IMAGE_FRAME(S.IMG, N);
    ASSERT_EQ(draw2d::width_of(F), 5) << "frame " << N;
    ASSERT_LE(draw2d::height_of(F), 7) << "rows are 7 pixels apart";
    if (N > 0) {
      EXPECT_GT(INKED_PIXELS(F), 0) << "character " << static_cast<char>(32 + N) << " has ink";
    }
  }
  EXPECT_EQ(INKED_PIXELS(IMAGE_FRAME(S.IMG, 0)), 0) << "the space is blank";
  for (char C : std::string("0123456789=._/-")) {
    for (char D : std::string("0123456789=._/-")) {
      if (C != D) {
        EXPECT_FALSE(SAME_FRAME(IMAGE_FRAME(S.IMG, C - 32), IMAGE_FRAME(S.IMG, D - 32)))
            << C << " and " << D << " must look different";
      }
    }
  }
}

TEST(Assets, TinyFontDrawsThirtyThreeDotInFifteenPixels) {
  FONTTYPE FONT{};
  FONT.INIT = NFONT::INIT;
  FONT.INIT(FONT);
  FONT.S_IMAGE.M_FILENAME = RUN + "tiny_font.put";
  FONT.LOAD(FONT);
  uint8_t* PAGE = draw2d::create_buffer(320, 240, 0);
  FONT.M_TEXT = "33.";
  FONT.DRAW(FONT, PAGE);
  int RIGHT = -1;
  for (int Y = 0; Y < 7; ++Y) {
    for (int X = 0; X < 320; ++X) {
      if (PAGE[4 + Y * 320 + X] != 0 && X > RIGHT) RIGHT = X;
    }
  }
  EXPECT_GE(RIGHT, 10);
  EXPECT_LT(RIGHT, 15) << "the row number must stay left of column 15";
  draw2d::free_buffer(PAGE);
  FONT.DESTROY(FONT);
}

TEST(Assets, BigFontHasEightByEightCells) {
  Sheet S("qzfntdg.put");
  ASSERT_EQ(IMAGE_FRAME_COUNT(S.IMG), 95u);
  for (int N = 0; N < 95; ++N) {
    const uint8_t* F = IMAGE_FRAME(S.IMG, N);
    EXPECT_EQ(draw2d::width_of(F), 8);
    EXPECT_EQ(draw2d::height_of(F), 8);
  }
}

TEST(Assets, GeneratorWritesTheSameBytesEveryRun) {
  const std::string DIR = "assets_test_regen";
  std::system(("mkdir -p " + DIR).c_str());
  ASSERT_EQ(std::system((std::string("\"") + VOLLEY_ASSETGEN + "\" " + DIR).c_str()), 0);
  for (const char* NAME :
       {"korvane.pal", "qz.pal", "kv_bullet.put", "bullet.put", "tiny_font.put", "qzfntdg.put"}) {
    EXPECT_EQ(READ_ALL(DIR + "/" + NAME), READ_ALL(RUN + NAME)) << NAME << " differs between runs";
  }
}

TEST(Assets, ContactSheetShowsEverySheet) {
  const std::string PNG = "assets_test_contact.png";
  std::remove(PNG.c_str());
  ASSERT_EQ(std::system((std::string("\"") + VOLLEY_CONTACT_SHEET + "\" " + VOLLEY_RUN_DIR + " " + PNG +
                         " 4 > /dev/null 2>&1")
                            .c_str()),
            0);
  const std::vector<uint8_t> B = READ_ALL(PNG);
  ASSERT_GE(B.size(), 24u) << "the PNG exists";
  EXPECT_EQ(B[1], 'P');
  const uint32_t W = B[16] << 24 | B[17] << 16 | B[18] << 8 | B[19];
  const uint32_t H = B[20] << 24 | B[21] << 16 | B[22] << 8 | B[23];
  // 16 cells of 12 pixels per row at 4x; rows: 4 + 2 + 6 + 6 of frames, 3 between sheets.
  EXPECT_EQ(W, 16u * 12 * 4);
  EXPECT_EQ(H, (4u + 2 + 6 + 6 + 3) * 12 * 4);
}
