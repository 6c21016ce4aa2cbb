// Tests of the image module: the ".put" index walk, the bitmap loaders and the two builds'
// differences (palette files are pinned by the palette fuzz target and its corpus). Built
// twice (designer and player copies of the module); every file is written into the test
// program's scratch directory. The loads of well-formed and damaged files are one table,
// tests/golden/image_sheets.txt: each line describes a file, how it is loaded, and what the
// record then holds.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <sstream>

#include "image/pixbank_image.hpp"
#include "leakscope/leakscope.hpp"
#include "tests/unit/golden.hpp"
#include "tests/unit/image_test_files.hpp"

using namespace imagetest;
using BYTES = std::vector<uint8_t>;

class Image : public ::testing::Test {
 protected:
  Image() {
    draw2d::set_headless(true);  // headless: no key wait
    IMAGE_INIT(IMG);
  }
  ~Image() override { RESET(); }
  void RESET() { if (IMG.P_DATA || IMG.P_DATAINDEX) IMG.DESTROY(IMG); }
  // Size, last index, and per frame (all of them, or the last of more than 20): its word in
  // the store ("none" when refused), its size and its first and last pixels.
  std::string DUMP() const {
    std::ostringstream S;
    const uint32_t COUNT = IMAGE_FRAME_COUNT(IMG);
    S << (IMG.P_DATA ? "" : "no store, ") << "size " << IMG.M_SIZE << " last "
      << int32_t(IMG.M_MAXINDEX);
    for (uint32_t N = COUNT > 20 ? COUNT - 1 : 0; N < COUNT; ++N) {
      const uint8_t* F = IMAGE_FRAME(IMG, N);
      const int W = F ? draw2d::width_of(F) : 0, H = F ? draw2d::height_of(F) : 0;
      S << ", " << N << "@";
      if (IMG.P_DATAINDEX[N] == IMAGE_NO_FRAME) S << "none";
      else S << IMG.P_DATAINDEX[N] << (F ? "" : " unreadable");
      if (W * H > 0) S << " " << W << "x" << H << " " << +PIXEL_AT(F, 0, 0) << ".."
                       << +PIXEL_AT(F, W - 1, H - 1);
    }
    return S.str();
  }
  // Writes the file a table line describes, loads it and tells the outcome.
  std::string OUTCOME(const std::string& LINE) {
    RESET();
    std::istringstream IN(LINE);
    std::string KIND, TOKEN;
    int W = 0, H = 0, TW = 0, TH = 0, C = 0;
    BYTES DATA = {0xFD, 0, 0, 0, 0, 0, 0};  // a .put header; the loader reads no length field
    IN >> KIND;
    if (KIND == "name") return IMAGE_FRAME_LIST_NAME(LINE.substr(5));
    for (int N = 1; KIND == "put" && IN >> TOKEN; N = 1) {
      if (std::sscanf(TOKEN.c_str(), "%dx%d:%d*%d", &W, &H, &C, &N) < 3) {
        DATA.resize(DATA.size() + std::stol(TOKEN));  // "-2" cuts bytes, "+1" adds a zero
        continue;
      }
      const BYTES F = PUT_FILE(std::vector<SOLID>(N, {W, H, uint8_t(C)}));
      DATA.insert(DATA.end(), F.begin() + 7, F.end());
    }
    if (KIND == "put") {
      WRITE_BYTES(IMG.M_FILENAME = SCRATCH("sheet.put"), DATA);
      IMG.LOAD(IMG);
    } else if (KIND == "tiles" && IN >> W >> H >> TW >> TH) {
      static const LEAKSCOPE_ALLOCATOR NO_RESIZE{
          std::calloc, [](void*, std::size_t) -> void* { return nullptr; }, std::free};
      WRITE_BMP(IMG.M_FILENAME = SCRATCH("tiles.bmp"), W, std::abs(H), H < 0);
      LEAKSCOPE_SET_ALLOCATOR(IN >> TOKEN ? &NO_RESIZE : nullptr);  // every resize fails
      IMG.LOAD_BMP_SET(IMG, TW, TH);
      LEAKSCOPE_SET_ALLOCATOR(nullptr);
    } else if (KIND == "list" && IN >> W >> H) {
      std::string TEXT;
      std::getline(IN >> std::ws, TEXT);
      for (std::size_t P; (P = TEXT.find('\\')) != TEXT.npos;)
        TEXT.replace(P, 2, TEXT[P + 1] == 'n' ? "\n" : "\r");
      WRITE_BMP(IMG.M_FILENAME = SCRATCH("list.sheet.bmp"), W, H);
      std::remove(SCRATCH("list.txt").c_str());
      if (!TEXT.empty()) WRITE_BYTES(SCRATCH("list.txt"), BYTES(TEXT.begin(), TEXT.end()));
      IMG.LOAD_BMP_SETL(IMG);
    }
    return DUMP();
  }
  IMAGETYPE IMG{};
};

TEST_F(Image, FilesLoadAsTheTableSays) {
  volley_test::EXPECT_GOLDEN_TABLE("image_sheets.txt",
                                   [this](const std::string& LINE) { return OUTCOME(LINE); });
}

// ---- the two builds -------------------------------------------------------------------------

TEST_F(Image, SingleFrameBitmapLoadFailureAndSecondDestroy) {
  WRITE_BMP(IMG.M_FILENAME = SCRATCH("single.bmp"), 5, 3);
  EXPECT_EXIT(IMG.LOAD_BMP(IMG, 9000, 2), ::testing::ExitedWithCode(0), "")
      << "a width whose field cannot be stored is a buffer that cannot be obtained";
  IMG.M_MAXINDEX = 77;
  IMG.LOAD_BMP(IMG, 5, 3);
  EXPECT_EQ(DUMP(), IMAGE_PLAYER_BUILD ? "size 10 last 77" : "size 10 last 0, 0@0 5x3 1..19")
      << "2 + (5 x 3 + 1) \\ 2 words; the designer's copy indexes the bitmap as frame 0";
  IMG.DESTROY(IMG);
  ::testing::internal::CaptureStdout();  // the tracker reports on standard output
  IMG.DESTROY(IMG);
  const std::string TEXT = ::testing::internal::GetCapturedStdout();
  EXPECT_EQ(TEXT.find("image.p_dataindex") != TEXT.npos, !IMAGE_PLAYER_BUILD)
      << "only the designer hands the nulls of a second DESTROY to the tracker: " << TEXT;
}
