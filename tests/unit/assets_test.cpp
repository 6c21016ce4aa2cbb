// Tests of the generated assets in the run directory: palettes, sheets and fonts as the
// programs load them (the golden page pins their pixels), the generator's determinism and the
// contact sheet.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <cstdlib>
#include <iterator>

#include "display/colour_table.hpp"
#include "display/font.hpp"
#include "image/pixbank_image.hpp"
#include "tests/unit/image_test_files.hpp"

namespace {

const std::string RUN = std::string(VOLLEY_RUN_DIR) + "/";

std::vector<uint8_t> READ_ALL(const std::string& NAME) {
  std::ifstream F(NAME, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(F), {});
}

struct Sheet {
  explicit Sheet(const std::string& NAME) {
    IMG.INIT = IMAGE_INIT;
    IMG.INIT(IMG);
    IMG.M_FILENAME = RUN + NAME;
    IMG.LOAD(IMG);
  }
  ~Sheet() { IMG.DESTROY(IMG); }
  const uint8_t* operator[](int N) const { return IMAGE_FRAME(IMG, N); }
  IMAGETYPE IMG{};
};

int INKED(const uint8_t* F) {
  return int(std::count_if(F + 4, F + 4 + draw2d::width_of(F) * draw2d::height_of(F),
                           [](uint8_t I) { return I; }));
}

}  // namespace

TEST(Assets, PalettesAreTheBuiltInTableAndBlackToWhite) {
  const std::vector<uint8_t> K = READ_ALL(RUN + "korvane.pal"), Q = READ_ALL(RUN + "qz.pal");
  ASSERT_EQ(K.size(), 1024u) << "256 entries of 4 bytes";
  ASSERT_EQ(Q.size(), 1024u) << "256 entries of 4 bytes";
  std::vector<uint32_t> KE(256), QE(256);
  std::memcpy(KE.data(), K.data(), 1024);  // little-endian entries
  std::memcpy(QE.data(), Q.data(), 1024);
  EXPECT_EQ(KE, std::vector<uint32_t>(BUILTIN_COLOUR_TABLE, BUILTIN_COLOUR_TABLE + 256))
      << "korvane.pal is the display's table";
  EXPECT_EQ(std::count_if(QE.begin(), QE.end(), [](uint32_t E) { return E & ~0x3F3F3Fu; }), 0)
      << "every qz.pal entry is 6-bit";
  EXPECT_EQ(QE[15], 0x3F3F3Fu) << "qz.pal colour 15 is white";
}

TEST(Assets, SheetsHoldTheirFramesAndNothingElse) {
  const struct { const char* NAME; uint32_t FRAMES; bool FONT; int MAX_W, MAX_H;
  } SHEETS[] = {{"kv_bullet.put", 51, false, 16, 16},
                {"bullet.put", 19, false, 12, 12},
                {"tiny_font.put", 95, true, 5, 7},
                {"qzfntdg.put", 95, true, 8, 8}};  // font frames are exactly MAX_W wide
  for (const auto& S : SHEETS) {
    SCOPED_TRACE(S.NAME);
    const std::vector<uint8_t> B = READ_ALL(RUN + S.NAME);
    ASSERT_GE(B.size(), 7u);
    EXPECT_EQ(B[5] | B[6] << 8, int(B.size()) - 7) << "the length field is the size - 7";
    const Sheet SHEET(S.NAME);
    const uint32_t COUNT = IMAGE_FRAME_COUNT(SHEET.IMG);
    EXPECT_GE(COUNT, S.FRAMES);
    uint32_t WORDS = 0;
    for (uint32_t N = 0; N < COUNT; ++N) {
      ASSERT_NE(SHEET[N], nullptr) << "frame " << N;
      const int W = draw2d::width_of(SHEET[N]), H = draw2d::height_of(SHEET[N]);
      WORDS += (W * H + 5) / 2;
      EXPECT_LE(W, S.MAX_W) << "frame " << N;
      EXPECT_LE(H, S.MAX_H) << "frame " << N;
      if (N > 0 && N < S.FRAMES) {
        EXPECT_GT(INKED(SHEET[N]), 0) << "frame " << N << " has ink";
      }
    }
    EXPECT_EQ(WORDS, SHEET.IMG.M_SIZE) << "the frames fill the sheet exactly";
    if (S.FONT) {
      EXPECT_EQ(INKED(SHEET[0]), 0) << "the space is blank";
    }
  }
}

TEST(Assets, GeneratorIsDeterministicAndTheContactSheetShowsEverySheet) {
  const std::string DIR = imagetest::SCRATCH("regen"), PNG = imagetest::SCRATCH("contact.png");
  ASSERT_EQ(
      std::system(("mkdir -p '" + DIR + "' && '" + VOLLEY_ASSETGEN + "' '" + DIR + "'").c_str()),
      0);
  for (const char* NAME :
       {"korvane.pal", "qz.pal", "kv_bullet.put", "bullet.put", "tiny_font.put", "qzfntdg.put"}) {
    EXPECT_EQ(READ_ALL(DIR + "/" + NAME), READ_ALL(RUN + NAME)) << NAME << " differs between runs";
  }
  const std::string SHEET = VOLLEY_CONTACT_SHEET;
  ASSERT_EQ(std::system(("'" + SHEET + "' '" + RUN + "' '" + PNG + "' 4 >/dev/null 2>&1").c_str()),
            0);
  const std::vector<uint8_t> B = READ_ALL(PNG);
  ASSERT_GE(B.size(), 24u) << "the PNG exists";
  // 16 cells of 12 pixels per row at 4x; rows: 4 + 2 + 6 + 6 of frames, 3 between sheets.
  EXPECT_EQ(B[16] << 24 | B[17] << 16 | B[18] << 8 | B[19], 16 * 12 * 4) << "width";
  EXPECT_EQ(B[20] << 24 | B[21] << 16 | B[22] << 8 | B[23], (4 + 2 + 6 + 6 + 3) * 12 * 4)
      << "height";
}
