// Tests of barrage files: the 140-byte layout, saving over longer files, short files, limits
// of loaded values, and the failures that must not pass silently or change files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <vector>

#include "volleyedit/barrage_file.hpp"
#include "volleyedit/menu.hpp"

namespace {

namespace fs = std::filesystem;
using NDESIGNER::MENU;

std::vector<uint8_t> READ_ALL(const fs::path& P) {
  std::ifstream IN(P, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(IN), {});
}

void WRITE_ALL(const fs::path& P, const std::vector<uint8_t>& BYTES) {
  std::ofstream OUT(P, std::ios::binary | std::ios::trunc);
  OUT.write(reinterpret_cast<const char*>(BYTES.data()), static_cast<std::streamsize>(BYTES.size()));
}

std::vector<uint8_t> FLOAT_BYTES(float V) {
  uint8_t B[4];
  std::memcpy(B, &V, 4);  // the test machine is little-endian like the file
  return {B[0], B[1], B[2], B[3]};
}

class BarrageFileTest : public ::testing::Test {
 protected:
  fs::path DIR;
  void SetUp() override {
    DIR = fs::temp_directory_path() /
          ("volleyedit_barrage_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
           "_" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(DIR);
    fs::create_directories(DIR);
    NDESIGNER::INIT_MENU(225.0f, -1);
    for (int32_t K = 0; K < NDESIGNER::MENU_ROWS; ++K)
      if (K != 12 && K != 34) MENU[K].VALUE = static_cast<float>(K % 2);
  }
  void TearDown() override { fs::remove_all(DIR); }
  std::string PATH(const char* NAME) const { return (DIR / NAME).string(); }
};

TEST(BarrageCodec, ValuesAreLittleEndianSinglesInRowOrder) {
  float VALUES[NDESIGNER::BARRAGE_VALUES] = {};
  VALUES[12] = 225.0f;
  VALUES[34] = -1.0f;
  uint8_t BYTES[NDESIGNER::BARRAGE_BYTES];
  NDESIGNER::ENCODE_BARRAGE(VALUES, BYTES);
  const uint8_t AT_48[4] = {0x00, 0x00, 0x61, 0x43};  // 225.0
  const uint8_t AT_136[4] = {0x00, 0x00, 0x80, 0xBF};  // -1.0
  EXPECT_EQ(std::memcmp(BYTES + 48, AT_48, 4), 0) << "225.0 at offset 48";
  EXPECT_EQ(std::memcmp(BYTES + 136, AT_136, 4), 0) << "-1.0 at offset 136";
  float BACK[NDESIGNER::BARRAGE_VALUES];
  NDESIGNER::DECODE_BARRAGE(BYTES, sizeof BYTES, BACK);
  EXPECT_EQ(std::memcmp(BACK, VALUES, sizeof BACK), 0) << "decoding undoes encoding bit for bit";
}

TEST(BarrageCodec, ShortDataReadsZerosBeyondItsEnd) {
  const uint8_t SIX[6] = {0x00, 0x00, 0x80, 0x3F, 0x11, 0x22};
  float VALUES[NDESIGNER::BARRAGE_VALUES];
  NDESIGNER::DECODE_BARRAGE(SIX, 6, VALUES);
  EXPECT_EQ(VALUES[0], 1.0f) << "row 0 gets the first four bytes";
  uint32_t BITS;
  std::memcpy(&BITS, &VALUES[1], 4);
  EXPECT_EQ(BITS, 0x00002211u) << "row 1 keeps bytes 4 and 5 with zero bytes above them";
  for (int32_t K = 2; K < NDESIGNER::BARRAGE_VALUES; ++K) EXPECT_EQ(VALUES[K], 0.0f) << "row " << K;
}

TEST_F(BarrageFileTest, SaveWritesExactly140Bytes) {
  ASSERT_TRUE(NDESIGNER::SAVE_DATA(PATH("barrage.vly")));
  const auto BYTES = READ_ALL(DIR / "barrage.vly");
  ASSERT_EQ(BYTES.size(), 140u) << "35 floats and nothing else";
  EXPECT_EQ(std::vector<uint8_t>(BYTES.begin() + 48, BYTES.begin() + 52), FLOAT_BYTES(225.0f));
  EXPECT_EQ(std::vector<uint8_t>(BYTES.begin() + 136, BYTES.end()), FLOAT_BYTES(-1.0f));
  EXPECT_EQ(std::vector<uint8_t>(BYTES.begin() + 4, BYTES.begin() + 8), FLOAT_BYTES(1.0f));
}

TEST_F(BarrageFileTest, SaveOverALongerFileRewritesOnlyTheFirst140Bytes) {
  std::vector<uint8_t> OLD(200);
  for (std::size_t I = 0; I < OLD.size(); ++I) OLD[I] = static_cast<uint8_t>(I + 3);
  WRITE_ALL(DIR / "barrage.vly", OLD);
  ASSERT_TRUE(NDESIGNER::SAVE_DATA(PATH("barrage.vly")));
  const auto BYTES = READ_ALL(DIR / "barrage.vly");
  ASSERT_EQ(BYTES.size(), 200u) << "the file is not truncated";
  EXPECT_EQ(std::vector<uint8_t>(BYTES.begin() + 140, BYTES.end()),
            std::vector<uint8_t>(OLD.begin() + 140, OLD.end()))
      << "bytes 140 to 199 stay as they were";
  EXPECT_EQ(std::vector<uint8_t>(BYTES.begin() + 48, BYTES.begin() + 52), FLOAT_BYTES(225.0f));
}

TEST_F(BarrageFileTest, UnwritableFileIsReportedAndKept) {
  fs::create_directory(DIR / "barrage.vly");  // cannot be opened for writing, even by root
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(NDESIGNER::SAVE_DATA(PATH("barrage.vly"))) << "a failed save is not a success";
  const std::string ERR = ::testing::internal::GetCapturedStderr();
  EXPECT_NE(ERR.find("barrage.vly"), std::string::npos) << "the line names the file: " << ERR;
  EXPECT_EQ(std::count(ERR.begin(), ERR.end(), '\n'), 1) << "one line on standard error";
  EXPECT_TRUE(fs::is_directory(DIR / "barrage.vly"));
}

TEST_F(BarrageFileTest, FailedWriteIsReported) {
  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full on this system";
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(NDESIGNER::SAVE_DATA("/dev/full")) << "a write that fails is not a success";
  EXPECT_NE(::testing::internal::GetCapturedStderr(), "");
}

TEST_F(BarrageFileTest, LoadReadsWhatSaveWrote) {
  MENU[6].VALUE = 0.3f;
  MENU[19].VALUE = 2.5f;
  ASSERT_TRUE(NDESIGNER::SAVE_DATA(PATH("b.vly")));
  NDESIGNER::INIT_MENU(0.0f, 0);
  ASSERT_TRUE(NDESIGNER::LOAD_DATA(PATH("b.vly")));
  EXPECT_EQ(MENU[6].VALUE, 0.3f);
  EXPECT_EQ(MENU[19].VALUE, 2.5f) << "loading does not round; the cannon copy does";
  EXPECT_EQ(MENU[12].VALUE, 225.0f);
  EXPECT_EQ(MENU[34].VALUE, -1.0f);
}

TEST_F(BarrageFileTest, LoadOfALongerFileReadsOnlyTheFirst140Bytes) {
  std::vector<uint8_t> BYTES(200, 0);
  const auto TEN = FLOAT_BYTES(10.0f);
  for (std::size_t I = 0; I < 200; I += 4) std::copy(TEN.begin(), TEN.end(), BYTES.begin() + I);
  WRITE_ALL(DIR / "long.vly", BYTES);
  ASSERT_TRUE(NDESIGNER::LOAD_DATA(PATH("long.vly")));
  EXPECT_EQ(MENU[34].VALUE, 10.0f);
  EXPECT_EQ(MENU[19].VALUE, 10.0f);
  EXPECT_EQ(READ_ALL(DIR / "long.vly"), BYTES) << "loading never changes the file";
}

TEST_F(BarrageFileTest, LoadOfASixByteFileZeroesTheRest) {
  std::vector<uint8_t> SIX = FLOAT_BYTES(5.0f);
  SIX.push_back(0x00);
  SIX.push_back(0x00);
  WRITE_ALL(DIR / "six.vly", SIX);
  ASSERT_TRUE(NDESIGNER::LOAD_DATA(PATH("six.vly")));
  EXPECT_EQ(MENU[0].VALUE, 5.0f);
  EXPECT_EQ(MENU[1].VALUE, 0.0f);
  EXPECT_EQ(MENU[12].VALUE, 0.0f) << "values after the end become 0.0";
  EXPECT_EQ(MENU[10].VALUE, 0.0f) << "ACTIVE 0: the cannon will be switched off";
  EXPECT_EQ(MENU[33].VALUE, 1.0f) << "0.0 is below row 33's MIN and is raised to 1";
  EXPECT_EQ(MENU[34].VALUE, 0.0f);
}

TEST_F(BarrageFileTest, LoadOfAnEmptyFileSetsEveryRowToZeroOrMin) {
  WRITE_ALL(DIR / "empty.vly", {});
  ASSERT_TRUE(NDESIGNER::LOAD_DATA(PATH("empty.vly")));
  for (int32_t K = 0; K < NDESIGNER::MENU_ROWS; ++K)
    EXPECT_EQ(MENU[K].VALUE, K == 33 ? 1.0f : 0.0f) << "row " << K;
}

TEST_F(BarrageFileTest, MissingFileIsNotCreatedAndKeepsTheMenu) {
  MENU[19].VALUE = 77.0f;
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(NDESIGNER::LOAD_DATA(PATH("barrage2.vly")));
  const std::string ERR = ::testing::internal::GetCapturedStderr();
  EXPECT_FALSE(fs::exists(DIR / "barrage2.vly")) << "loading must not create the file";
  EXPECT_EQ(MENU[19].VALUE, 77.0f) << "the design is not wiped";
  EXPECT_EQ(MENU[12].VALUE, 225.0f);
  EXPECT_NE(ERR.find("not found"), std::string::npos) << ERR;
  EXPECT_EQ(std::count(ERR.begin(), ERR.end(), '\n'), 1) << "one line on standard error";
}

TEST_F(BarrageFileTest, ValuesAreLimitedToTheirRows) {
  std::vector<uint8_t> BYTES;
  auto PUT = [&](float V) {
    const auto B = FLOAT_BYTES(V);
    BYTES.insert(BYTES.end(), B.begin(), B.end());
  };
  for (int32_t K = 0; K < 35; ++K) {
    if (K == 19) PUT(1000.0f);                                            // above MAX
    else if (K == 22) PUT(-5.0f);                                         // below MIN
    else if (K == 24) PUT(std::numeric_limits<float>::quiet_NaN());      // not a number
    else if (K == 32) PUT(std::numeric_limits<float>::infinity());       // not finite
    else if (K == 34) PUT(1.0f);
    else PUT(0.0f);
  }
  WRITE_ALL(DIR / "wild.vly", BYTES);
  ASSERT_TRUE(NDESIGNER::LOAD_DATA(PATH("wild.vly")));
  EXPECT_EQ(MENU[19].VALUE, 128.0f) << "MAXBULLET cannot pass the 128 slots";
  EXPECT_EQ(MENU[22].VALUE, 0.0f) << "negative bullet counts are raised to 0";
  EXPECT_EQ(MENU[24].VALUE, -100.0f) << "NaN becomes the row's MIN";
  EXPECT_EQ(MENU[32].VALUE, 0.0f) << "infinity becomes the row's MIN";
  EXPECT_EQ(MENU[34].VALUE, 1.0f) << "the switch keeps 1.0, the bouncing rule";
}

TEST_F(BarrageFileTest, RotationSwitchIsNotClamped) {
  std::vector<uint8_t> BYTES(136, 0);
  const auto HUGE = FLOAT_BYTES(3.0e9f);
  BYTES.insert(BYTES.end(), HUGE.begin(), HUGE.end());
  WRITE_ALL(DIR / "switch.vly", BYTES);
  ASSERT_TRUE(NDESIGNER::LOAD_DATA(PATH("switch.vly")));
  EXPECT_EQ(MENU[34].VALUE, 3.0e9f) << "row 34 has no limits";
  EXPECT_EQ(NDESIGNER::ROUND_HALF_EVEN(MENU[34].VALUE), INT32_MAX) << "and rounds saturated";
}

}  // namespace
