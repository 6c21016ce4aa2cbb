// Tests of the pattern library: a Cannon plays a programme exactly as the engine plays the
// same sets, .vly files read as the designer reads them and come back byte for byte through
// .json, and every class of bad file is refused with a message naming file, set and field.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iomanip>
#include <random>
#include <sstream>
#include <string>

#include "lib/src/formats.hpp"
#include "tests/e2e/run_program.hpp"
#include "volley/volley.hpp"
#include "volleyedit/barrage_file.hpp"
#include "volleyedit/designer_state.hpp"
#include "volleyedit/menu.hpp"

namespace {

namespace fs = std::filesystem;
using NDESIGNER::MENU;
using ::testing::ThrowsMessage;

// A turret made with the engine's own calls, every set of P added to its list.
NBARRAGE::TURRET_TYPE ENGINE_TURRET(volley::Programme P) {
  NBARRAGE::TURRET_TYPE T{};
  T.INIT = NBARRAGE::INIT;
  T.INIT(T);
  for (volley::Set* S = P.data(); S != P.data() + P.size(); ++S) T.LIST_ADD(T, S);
  return T;
}

// One line per bullet, floats to the last bit, so that a frame compares and prints whole.
std::string LINE(int SLOT, float X, float Y, float XV, float YV, int ROTATION, int FRAME) {
  std::ostringstream OUT;
  OUT << std::setprecision(9) << "slot " << SLOT << " at " << X << ", " << Y << " moving " << XV
      << ", " << YV << " rotation " << ROTATION << " frame " << FRAME << "\n";
  return OUT.str();
}

TEST(VolleyCannon, PlaysEveryFrameAsTheEngineDoes) {
  // Three sets that use the aimed first shot, both rotation rules, three wave modes and a
  // smaller slot count, each waiting a different number of frames.
  const volley::Programme P =
      volley::load_programme(fs::path(VOLLEY_SOURCE_DIR) / "tests/golden/three_sets.json");
  NBARRAGE::TURRET_TYPE REF = ENGINE_TURRET(P);
  NBARRAGE::COORD_TYPE AT{100.0f, 80.0f}, AIM{200.0f, 220.0f};
  REF.SET_POSITION(REF, &AT);
  REF.SET_TARGET(REF, &AIM);
  volley::Cannon C(P);
  for (int F = 1; F <= 400; ++F) {
    if (F == 150) {  // the bound points move, and the cannon must follow
      AT = {60.0f, 40.0f};
      AIM = {10.0f, 200.0f};
    }
    C.follow(AT.M_X, AT.M_Y);
    C.aim_at(AIM.M_X, AIM.M_Y);
    REF.SHOOT(REF, REF.LIST_MANAGE(REF, 0, 0));
    C.step();
    std::string GOT, WANT;
    for (const volley::Bullet& B : C.bullets())
      GOT += LINE(B.slot, B.x, B.y, B.vx, B.vy, B.rotation, B.sprite_frame);
    for (int J = 0; J < NBARRAGE::SLOT_COUNT(REF); ++J) {
      const NBARRAGE::BULLET_TYPE& B = REF.P_BULLETS[J];
      if (B.ACTIVE == 0) continue;
      WANT += LINE(J, B.X, B.Y, B.XV, B.YV, B.ROTATION, B.MINFRAME + B.FRAME);
    }
    ASSERT_EQ(GOT, WANT) << "frame " << F;
    const int LIVE = static_cast<int>(std::count(WANT.begin(), WANT.end(), '\n'));
    ASSERT_EQ(C.live_bullets(), LIVE) << "frame " << F;
  }
  EXPECT_EQ(C.turret().LISTINDEX, 3) << "all three sets were applied";
  EXPECT_GT(C.live_bullets(), 50) << "the comparison ends on a full field of bullets";
  REF.DESTROY(REF);
}

// Every file is read by the library as the designer loads it: the set holds what cannon 0
// holds after loading the file (rows 4 and 5, which the designer keeps in its menu, in X and
// Y). The files: 100 that the designer saves (its start-up menu walked by its own edits, Right
// and Left steps within limits, F3 and Tab, with rows 0, 2 and 3 at their start values), which
// also come back through .json byte for byte; then 200 of any 140 bytes (any bits, halves
// and values up to 2147 either way).
TEST(VolleyFiles, VlyFilesReadAsTheDesignerLoadsThemAndComeBackThroughJson) {
  const fs::path DIR = e2e::SCRATCH_DIR("volley_vly", false);
  NBARRAGE::TURRET_PARAM_TYPE SCRATCH{};
  NDESIGNER::CREATE_CANNONS(SCRATCH);
  float START[NDESIGNER::BARRAGE_VALUES];
  for (int32_t K = 0; K < NDESIGNER::BARRAGE_VALUES; ++K) START[K] = MENU[K].VALUE;
  std::mt19937 RNG(20261207);
  for (int FILE = 0; FILE < 300; ++FILE) {
    float V[NDESIGNER::BARRAGE_VALUES];
    for (int EDIT = 0; EDIT < (FILE < 100 ? 300 : 0); ++EDIT) {
      const int32_t ROW = static_cast<int32_t>(RNG() % NDESIGNER::SELECTABLE_ROWS);
      switch (RNG() % 8) {
        case 0: NDESIGNER::ROUND_DOWN_FIELD(ROW); break;
        case 1: MENU[NDESIGNER::ROW_ROTATION_AI].VALUE *= -1.0f; break;
        default: NDESIGNER::EDIT_FIELD(NDESIGNER::CANNON[0], RNG() % 2 ? 1 : -1, ROW);
      }
    }
    for (int32_t K = 0; K < NDESIGNER::BARRAGE_VALUES; ++K) {
      const uint32_t PICK = RNG() % 4;
      if (FILE < 100) {
        V[K] = K == 0 || K == 2 || K == 3 ? START[K] : MENU[K].VALUE;
      } else {
        V[K] = PICK == 0   ? std::bit_cast<float>(static_cast<uint32_t>(RNG()))
               : PICK == 1 ? static_cast<float>(static_cast<int>(RNG() % 9) - 4) * 0.5f
                           : static_cast<float>(static_cast<int32_t>(RNG())) * 1e-6f;
      }
    }
    uint8_t BYTES[NDESIGNER::BARRAGE_BYTES];
    NDESIGNER::ENCODE_BARRAGE(V, BYTES);
    std::ofstream(DIR / "a.vly").write(reinterpret_cast<const char*>(BYTES), sizeof BYTES);
    ASSERT_TRUE(NDESIGNER::LOAD_DATA((DIR / "a.vly").string())) << "file " << FILE;
    NDESIGNER::APPLY_LOADED_MENU();
    const volley::Programme P = volley::load_programme(DIR / "a.vly");
    ASSERT_EQ(P.size(), 1u);
    NBARRAGE::TURRET_TYPE T = ENGINE_TURRET(P);
    T.LIST_MANAGE(T, 0, 0);
    const NBARRAGE::TURRET_TYPE& D = NDESIGNER::CANNON[0];
    for (int32_t ROW = 1; ROW < NDESIGNER::SELECTABLE_ROWS; ++ROW) {
      if (!NDESIGNER::RULE_OF_ROW(ROW).TO_CANNON) continue;
      const NDESIGNER::ROW_FIELD F = NDESIGNER::FIELD_OF_ROW(ROW);
      const auto VALUE = [&F](const NBARRAGE::TURRET_TYPE& X) {
        return F.INT_FIELD ? double(X.*F.INT_FIELD) : X.*F.FLOAT_FIELD;
      };
      EXPECT_EQ(VALUE(T), VALUE(D)) << "file " << FILE << ", row " << ROW;
    }
    EXPECT_EQ(P[0].ROTATION_AI, NDESIGNER::ROTATION_AI) << "file " << FILE;
    EXPECT_EQ(P[0].X, MENU[4].VALUE) << "file " << FILE;
    EXPECT_EQ(P[0].Y, MENU[5].VALUE) << "file " << FILE;
    T.DESTROY(T);
    if (FILE >= 100) continue;
    volley::save_programme(P, DIR / "a.json");
    volley::save_programme(volley::load_programme(DIR / "a.json"), DIR / "b.vly");
    ASSERT_EQ(e2e::READ_FILE(DIR / "b.vly"), e2e::READ_FILE(DIR / "a.vly")) << "file " << FILE;
  }
  NDESIGNER::DESTROY_CANNONS();
  fs::remove_all(DIR);
}

TEST(VolleyFiles, BadFilesAreRefusedWithTheirReason) {
  const fs::path DIR = e2e::SCRATCH_DIR("volley_bad", false);
  const fs::path GOLDEN = fs::path(VOLLEY_SOURCE_DIR) / "tests/golden/bad_programmes";
  std::ofstream(DIR / "bomb.json") << std::string(100000, '[');
  std::string MANY = R"({"format": "volley-programme", "version": 1, "sets": [{})";
  for (std::size_t K = 0; K < volley::detail::MAX_SETS; ++K) MANY += ", {}";
  std::ofstream(DIR / "many.json") << MANY + "]}";
  std::ofstream(DIR / "big.json").close();
  fs::resize_file(DIR / "big.json", std::uintmax_t{3} << 30);
  std::ifstream TABLE(GOLDEN / "messages.txt");
  ASSERT_TRUE(TABLE.is_open());
  for (std::string LINE; std::getline(TABLE, LINE);) {
    if (LINE.empty() || LINE[0] == '#') continue;
    const std::string NAME = LINE.substr(0, LINE.find('\t'));
    const fs::path P = fs::exists(GOLDEN / NAME) ? GOLDEN / NAME : DIR / NAME;
    EXPECT_THAT([&] { (void)volley::load_programme(P); },
                ThrowsMessage<volley::Error>(P.string() + ": " + LINE.substr(NAME.size() + 1)));
  }
  fs::remove_all(DIR);
}

}  // namespace
