// Tests of the pattern library: a Cannon plays a programme exactly as the engine plays the
// same sets, .vly files read as the designer reads them and come back byte for byte through
// .json, and every class of bad file is refused with a message naming file, set and field.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "lib/src/formats.hpp"
#include "tests/e2e/run_program.hpp"
#include "volley/volley.hpp"
#include "volleyedit/barrage_file.hpp"
#include "volleyedit/designer_state.hpp"
#include "volleyedit/menu.hpp"

namespace {

namespace fs = std::filesystem;
using NDESIGNER::MENU;

void WRITE_ALL(const fs::path& P, const std::string& BYTES) {
  std::ofstream(P, std::ios::binary) << BYTES;
}

std::string BYTES_OF(const float (&V)[NDESIGNER::BARRAGE_VALUES]) {
  uint8_t B[NDESIGNER::BARRAGE_BYTES];
  NDESIGNER::ENCODE_BARRAGE(V, B);
  return {reinterpret_cast<const char*>(B), sizeof B};
}

// Three sets that use the aimed first shot, both rotation rules, three wave modes and a
// smaller slot count, each waiting a different number of frames.
volley::Programme THREE_SETS() {
  return volley::detail::parse_json(R"({"format": "volley-programme", "version": 1, "sets": [
    {"X": 160, "Y": 60, "ACTIVE": -1, "RADIUS": 8, "ROTATION": 90, "MAXROTATION": 359,
     "ROTSPEED": 7, "ROTDIR": 1, "MAXSPAWNDELAY": 3, "MAXBULLET": 128, "BULLETS_PER_SHOT": 5,
     "SPREAD_ROTATION": 20, "BULLETSPEED": 2.5, "BULLETOFFSET": 0.7, "BULLET_TYPE": 1,
     "BULLET_MIN_FRAME": 26, "BULLET_NUM_FRAME": 1},
    {"DELAY": 40, "TARGETING": -1, "X": 160, "Y": 60, "ACTIVE": -1, "RADIUS": 8,
     "ROTATION": 90, "MINROTATION": 45, "MAXROTATION": 135, "ROTSPEED": 7, "ROTDIR": 1,
     "MAXSPAWNDELAY": 3, "MAXBULLET": 128, "BULLETS_PER_SHOT": 5, "SPREAD_ROTATION": 20,
     "BULLETSPEED": 2.5, "BULLETSPEED_DELTA": 0.3, "WAVEMODE": 3, "ROTATION_AI": 1,
     "BULLET_MIN_FRAME": 4, "BULLET_NUM_FRAME": 8},
    {"DELAY": 60, "X": 160, "Y": 60, "XV": 0.5, "YV": -0.25, "ACTIVE": -1, "RADIUS": 8,
     "MAXROTATION": 359, "ROTSPEED": 7, "ROTDIR": 1, "MAXSPAWNDELAY": 3, "MAXBULLET": 100,
     "BULLETS_PER_SHOT": 5, "SPREAD_ROTATION": 20, "BULLETSPEED": 2.5, "WAVEMODE": 5,
     "BULLETWAVEMAX": 4, "BULLETWAVEMAXDELAY": 10, "BULLET_TYPE": 1, "BULLET_MIN_FRAME": 26,
     "BULLET_NUM_FRAME": 1}]})",
                                    "three sets");
}

TEST(VolleyCannon, PlaysEveryFrameAsTheEngineDoes) {
  const volley::Programme P = THREE_SETS();
  NBARRAGE::TURRET_TYPE REF{};
  REF.INIT = NBARRAGE::INIT;
  REF.INIT(REF);
  for (volley::Set S : P) {
    volley::Set* PS = &S;
    REF.LIST_ADD(REF, PS);
  }
  NBARRAGE::COORD_TYPE AT{100.0f, 80.0f}, AIM{200.0f, 220.0f};
  REF.SET_POSITION(REF, &AT);
  REF.SET_TARGET(REF, &AIM);

  volley::Cannon C(P);
  C.follow(100.0f, 80.0f);
  C.aim_at(200.0f, 220.0f);
  std::size_t MOST = 0;
  for (int F = 1; F <= 400; ++F) {
    if (F == 150) {  // the bound points move, and the cannon must follow
      AT = {60.0f, 40.0f};
      C.follow(60.0f, 40.0f);
      AIM = {10.0f, 200.0f};
      C.aim_at(10.0f, 200.0f);
    }
    REF.SHOOT(REF, REF.LIST_MANAGE(REF, 0, 0));
    C.step();
    const std::vector<volley::Bullet> GOT = C.bullets();
    std::vector<volley::Bullet> WANT;
    for (int J = 0; J < NBARRAGE::SLOT_COUNT(REF); ++J) {
      const NBARRAGE::BULLET_TYPE& B = REF.P_BULLETS[J];
      if (B.ACTIVE == 0) continue;
      WANT.push_back({J, B.X, B.Y, B.XV, B.YV, B.ROTATION, B.MINFRAME + B.FRAME});
    }
    SCOPED_TRACE("frame " + std::to_string(F));
    ASSERT_EQ(GOT.size(), WANT.size());
    ASSERT_EQ(C.live_bullets(), static_cast<int>(WANT.size()));
    for (std::size_t K = 0; K < WANT.size(); ++K) {
      SCOPED_TRACE("bullet " + std::to_string(K));
      ASSERT_EQ(GOT[K].slot, WANT[K].slot);
      ASSERT_EQ(GOT[K].x, WANT[K].x);
      ASSERT_EQ(GOT[K].y, WANT[K].y);
      ASSERT_EQ(GOT[K].vx, WANT[K].vx);
      ASSERT_EQ(GOT[K].vy, WANT[K].vy);
      ASSERT_EQ(GOT[K].rotation, WANT[K].rotation);
      ASSERT_EQ(GOT[K].sprite_frame, WANT[K].sprite_frame);
    }
    MOST = std::max(MOST, WANT.size());
  }
  EXPECT_EQ(C.turret().LISTINDEX, 3) << "all three sets were applied";
  EXPECT_GT(MOST, 50u) << "the comparison covered a full field of bullets";
  REF.DESTROY(REF);
}

TEST(VolleyCannon, AMovedCannonKeepsPlayingAndTheOldOneIsEmpty) {
  volley::Cannon A(THREE_SETS());
  for (int F = 0; F < 30; ++F) A.step();
  const int LIVE = A.live_bullets();
  volley::Cannon B(std::move(A));
  EXPECT_EQ(B.live_bullets(), LIVE);
  A.step();
  EXPECT_EQ(A.live_bullets(), 0) << "a moved-from cannon has nothing to play";
  B = volley::Cannon(volley::Programme{});
  EXPECT_EQ(B.live_bullets(), 0) << "the assigned cannon replaced the playing one";
}

class VolleyFiles : public ::testing::Test {
 protected:
  fs::path DIR;
  void SetUp() override { DIR = e2e::SCRATCH_DIR("volley_files", false); }
  void TearDown() override { fs::remove_all(DIR); }
};

// Files the designer saves: its start-up menu walked by the designer's own edits (Right/Left
// steps within limits, F3, Tab), with rows 0, 2 and 3 at their start values.
TEST_F(VolleyFiles, DesignerFilesComeBackThroughJsonByteForByte) {
  NBARRAGE::TURRET_PARAM_TYPE SCRATCH{};
  NDESIGNER::CREATE_CANNONS(SCRATCH);
  const float START[3] = {MENU[0].VALUE, MENU[2].VALUE, MENU[3].VALUE};
  std::mt19937 RNG(20261207);
  for (int FILE = 0; FILE < 100; ++FILE) {
    for (int EDIT = 0; EDIT < 300; ++EDIT) {
      const int32_t ROW = static_cast<int32_t>(RNG() % NDESIGNER::SELECTABLE_ROWS);
      switch (RNG() % 8) {
        case 0: NDESIGNER::ROUND_DOWN_FIELD(ROW); break;
        case 1: MENU[NDESIGNER::ROW_ROTATION_AI].VALUE *= -1.0f; break;
        default: NDESIGNER::EDIT_FIELD(NDESIGNER::CANNON[0], RNG() % 2 ? 1 : -1, ROW);
      }
    }
    float V[NDESIGNER::BARRAGE_VALUES];
    for (int32_t K = 0; K < NDESIGNER::BARRAGE_VALUES; ++K) V[K] = MENU[K].VALUE;
    V[0] = START[0];
    V[2] = START[1];
    V[3] = START[2];
    const std::string SAVED = BYTES_OF(V);
    WRITE_ALL(DIR / "a.vly", SAVED);
    volley::save_programme(volley::load_programme(DIR / "a.vly"), DIR / "a.json");
    volley::save_programme(volley::load_programme(DIR / "a.json"), DIR / "b.vly");
    ASSERT_EQ(e2e::READ_FILE((DIR / "b.vly").string()), SAVED) << "file " << FILE;
  }
  NDESIGNER::DESTROY_CANNONS();
}

// Any 140 bytes: the set read from them holds what the designer's cannon holds after loading
// the same file (rows 4 and 5, which the designer keeps in its menu, in X and Y).
TEST_F(VolleyFiles, VlyFilesReadAsTheDesignerLoadsThem) {
  NBARRAGE::TURRET_PARAM_TYPE SCRATCH{};
  NDESIGNER::CREATE_CANNONS(SCRATCH);
  std::mt19937 RNG(7);
  std::uniform_real_distribution<float> WIDE(-2000.0f, 2000.0f);
  for (int FILE = 0; FILE < 200; ++FILE) {
    float V[NDESIGNER::BARRAGE_VALUES];
    for (float& X : V) {
      const uint32_t PICK = RNG() % 4;
      X = PICK == 0   ? std::bit_cast<float>(static_cast<uint32_t>(RNG()))
          : PICK == 1 ? static_cast<float>(static_cast<int>(RNG() % 9) - 4) * 0.5f
                      : WIDE(RNG);
    }
    WRITE_ALL(DIR / "w.vly", BYTES_OF(V));
    ASSERT_TRUE(NDESIGNER::LOAD_DATA((DIR / "w.vly").string()));
    NDESIGNER::APPLY_LOADED_MENU();
    const volley::Programme P = volley::load_programme(DIR / "w.vly");
    ASSERT_EQ(P.size(), 1u);
    NBARRAGE::TURRET_TYPE T{};
    T.INIT = NBARRAGE::INIT;
    T.INIT(T);
    volley::Set S = P[0];
    volley::Set* PS = &S;
    T.LIST_ADD(T, PS);
    T.LIST_MANAGE(T, 0, 0);
    const NBARRAGE::TURRET_TYPE& D = NDESIGNER::CANNON[0];
    for (int32_t ROW = 1; ROW < NDESIGNER::SELECTABLE_ROWS; ++ROW) {
      if (!NDESIGNER::RULE_OF_ROW(ROW).TO_CANNON) continue;
      const NDESIGNER::ROW_FIELD F = NDESIGNER::FIELD_OF_ROW(ROW);
      if (F.INT_FIELD != nullptr) {
        EXPECT_EQ(T.*F.INT_FIELD, D.*F.INT_FIELD) << "file " << FILE << ", row " << ROW;
      } else {
        EXPECT_EQ(T.*F.FLOAT_FIELD, D.*F.FLOAT_FIELD) << "file " << FILE << ", row " << ROW;
      }
    }
    EXPECT_EQ(P[0].ROTATION_AI, NDESIGNER::ROTATION_AI) << "file " << FILE;
    EXPECT_EQ(P[0].X, MENU[4].VALUE) << "file " << FILE;
    EXPECT_EQ(P[0].Y, MENU[5].VALUE) << "file " << FILE;
    T.DESTROY(T);
  }
  NDESIGNER::DESTROY_CANNONS();
}

TEST_F(VolleyFiles, JsonFieldsAreReadByNameAndRoundedTo32Bits) {
  WRITE_ALL(DIR / "p.json",
            R"({"format": "volley-programme", "version": 1, "sets": [)"
            R"({"DELAY": 5, "X": 0.1, "BULLETSPEED": 3.0, "MAXBULLET": 128}, {}]})");
  const volley::Programme P = volley::load_programme(DIR / "p.json");
  ASSERT_EQ(P.size(), 2u);
  EXPECT_EQ(P[0].DELAY, 5);
  EXPECT_EQ(P[0].X, 0.1f) << "a float field holds the nearest 32-bit float";
  EXPECT_EQ(P[0].BULLETSPEED, 3.0f);
  EXPECT_EQ(P[0].MAXBULLET, 128);
  EXPECT_EQ(P[1].ACTIVE, 0) << "a missing key is 0";
  // A one-set .vly reads a switch row holding 1.0 as on (-1), not as 0.
  float V[NDESIGNER::BARRAGE_VALUES] = {};
  V[1] = 1.0f;
  V[10] = 0.5f;
  WRITE_ALL(DIR / "s.vly", BYTES_OF(V));
  const volley::Programme Q = volley::load_programme(DIR / "s.vly");
  EXPECT_EQ(Q[0].TARGETING, -1);
  EXPECT_EQ(Q[0].ACTIVE, -1);
}

struct BadFile {
  const char* NAME;
  std::string CONTENT;
  const char* REASON;  // what follows "PATH: "
};

std::string JSON_SET(const std::string& BODY) {
  return R"({"format": "volley-programme", "version": 1, "sets": [{}, {)" + BODY + "}]}";
}

TEST_F(VolleyFiles, BadFilesAreRefusedWithTheirReason) {
  const std::vector<BadFile> CASES = {
      {"p.txt", "{}", "not a .vly or .json file"},
      {"e.json", "", "empty file"},
      {"e.vly", "", "empty file"},
      {"t.vly", std::string(139, 'x'), "truncated: 139 of 140 bytes"},
      {"s.json", R"({"format": "volley-programme", "version": 1, "sets": [)",
       "not valid JSON: parse error at line 1, column 55: syntax error while parsing value - "
       "unexpected end of input; expected '[', '{', or a literal"},
      {"n.json", std::string(100000, '['), "nesting deeper than 8 levels"},
      {"a.json", "[]", "an object is expected at the top, not array"},
      {"k.json", R"({"format": "volley-programme", "version": 1, "sets": [], "x": 0})",
       "unknown key \"x\""},
      {"d.json", R"({"format": "volley-programme", "format": "x"})", "key \"format\" given twice"},
      {"f.json", R"({"format": "barrage", "version": 1, "sets": []})",
       "\"format\" is \"barrage\", not \"volley-programme\""},
      {"v.json", R"({"format": "volley-programme", "version": 2, "sets": []})",
       "unknown version 2 (version 1 is read)"},
      {"m.json", R"({"format": "volley-programme", "version": 1})", "no \"sets\" key"},
      {"o.json", R"({"format": "volley-programme", "version": 1, "sets": [{}, 3]})",
       "set 2: an object is expected, not number"},
      {"u.json", JSON_SET(R"("SPEED": 1)"), "set 2: unknown field \"SPEED\""},
      {"w.json", JSON_SET(R"("X": "1")"), "set 2, field X: a number is expected, not string"},
      {"i.json", JSON_SET(R"("DELAY": 2.5)"), "set 2, field DELAY: 2.5 is not a whole number"},
      {"r.json", JSON_SET(R"("ROTATION": 2147483648)"),
       "set 2, field ROTATION: 2147483648 is outside the 32-bit integer range"},
      {"x.json", JSON_SET(R"("RADIUS": 1e39)"),
       "set 2, field RADIUS: 1e+39 is outside the 32-bit float range"},
      {"h.json", JSON_SET(R"("RADIUS": 1e999)"), "not valid JSON: number overflow parsing '1e999'"},
      {"c.json", JSON_SET(R"("MAXBULLET": 129)"),
       "set 2, field MAXBULLET: 129 is above the 128 bullet slots"},
      {"b.json", JSON_SET(R"("BULLETS_PER_SHOT": -1)"),
       "set 2, field BULLETS_PER_SHOT: -1 is below 0"},
      {"missing.json", "", "cannot read: No such file or directory"},
  };
  for (const BadFile& C : CASES) {
    const fs::path P = DIR / C.NAME;
    if (std::string(C.NAME) != "missing.json") WRITE_ALL(P, C.CONTENT);
    try {
      (void)volley::load_programme(P);
      ADD_FAILURE() << C.NAME << " was loaded";
    } catch (const volley::Error& E) {
      EXPECT_EQ(std::string(E.what()), P.string() + ": " + C.REASON);
    }
  }
  // A file of gigabytes is refused by its size before anything is read (a sparse file).
  const fs::path BIG = DIR / "big.json";
  WRITE_ALL(BIG, "");
  fs::resize_file(BIG, std::uintmax_t{3} << 30);
  try {
    (void)volley::load_programme(BIG);
    ADD_FAILURE() << "a 3 GiB file was loaded";
  } catch (const volley::Error& E) {
    EXPECT_EQ(std::string(E.what()),
              BIG.string() + ": file of 3221225472 bytes is above the 16 MiB limit");
  }
}

TEST_F(VolleyFiles, SavesThatCannotBeWrittenLeaveTheOldFile) {
  volley::Programme TWO(2);
  volley::Programme DELAYED(1);
  DELAYED[0].DELAY = 30;
  volley::Programme HUGE(1);
  HUGE[0].SPAWNDELAY = 16777217;
  const fs::path OUT = DIR / "old.vly";
  WRITE_ALL(OUT, "old");
  const std::vector<std::pair<const volley::Programme*, std::string>> CASES = {
      {&TWO, "a .vly file holds one set, the programme has 2"},
      {&DELAYED, "set 1, field DELAY: a .vly file has no place for 30"},
      {&HUGE, "set 1, field SPAWNDELAY: 16777217 cannot be held exactly by a .vly value"},
  };
  for (const auto& [P, REASON] : CASES) {
    try {
      volley::save_programme(*P, OUT);
      ADD_FAILURE() << REASON << ": saved";
    } catch (const volley::Error& E) {
      EXPECT_EQ(std::string(E.what()), OUT.string() + ": " + REASON);
    }
  }
  EXPECT_EQ(e2e::READ_FILE(OUT.string()), "old");
  const fs::path NO_DIR = DIR / "none" / "p.json";
  EXPECT_THROW(volley::save_programme(TWO, NO_DIR), volley::Error);
}

}  // namespace
