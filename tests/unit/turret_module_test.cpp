// Engine tests, compiled once against each engine build. Most are the scenarios of
// tests/golden/engine/turret.scn: each "test Suite.Name" block there becomes one test; a line
// is a command and its arguments (RUN lists the commands), and a line led by "edit" or "play"
// runs in that build only. Names: turret fields by name (KIND is the bullet kind field of
// either build), Bn.F a turret slot's field, all.F every turret slot's, Pn.F and Pall.F the
// pool's, stored.F the first stored set's; "draft" and "add" name set fields; VALUES lists
// the names that are not fields.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <numbers>
#include <sstream>
#include <variant>
#include <vector>

#include "engine/turret_module.hpp"
#include "tests/unit/leakscope_capture.hpp"

namespace {

using namespace NBARRAGE;

TEST(ParamList, AddKeepsTheOrderAndAnEmptyLastNode) {
  TURRET_PARAM_LIST* L = PARAM_CREATE();
  const std::vector<TURRET_PARAM_TYPE*> ADDED{PARAM_ADD(L), PARAM_ADD(L), nullptr};
  std::vector<TURRET_PARAM_TYPE*> WALKED;
  for (TURRET_PARAM_LIST* N = PARAM_GETFIRST(L); N != nullptr; N = PARAM_GETNEXT(N))
    WALKED.push_back(PARAM_GETDATA(N));
  EXPECT_EQ(WALKED, ADDED) << "sets in the order they were added, then the empty last node";
  PARAM_DESTROY(L);
  TURRET_PARAM_TYPE* S = PARAM_ADD(L);
  EXPECT_EQ(L, nullptr) << "the set is returned unlinked and the list stays null";
  LEAKSCOPE_DEALLOCATE(S, "test", __LINE__, "s");
}

// ---- The scenario runner ----

using Ref = std::variant<int32_t*, float*>;

// Every numeric field of the turret, set and bullet records.
#define RECORD_FIELDS(F)                                                                           \
  F(DELAY) F(TARGETING) F(X) F(Y) F(XV) F(YV) F(TARGETX) F(TARGETY) F(ACTIVE) F(RADIUS)            \
  F(ROTATION) F(MINROTATION) F(MAXROTATION) F(ROTSPEED) F(ROTDIR) F(SPAWNDELAY) F(MAXSPAWNDELAY)   \
  F(MAXBULLET) F(BULLET_ENERGY) F(BULLET_DEATH_ID) F(BULLETS_PER_SHOT) F(SPREAD_ROTATION)          \
  F(BULLETSPEED) F(BULLETSPEED_DELTA) F(BULLETOFFSET) F(WAVEMODE) F(BULLETCOUNTER)                 \
  F(BULLETWAVEMAX) F(BULLETWAVEMAXDELAY) F(BULLETSHOOT) F(BULLET_TYPE) F(ROTATION_AI)              \
  F(BULLET_MIN_FRAME) F(BULLET_NUM_FRAME) F(LISTINDEX) F(CURRENT_MIN_FRAME) F(CURRENT_NUM_FRAME)   \
  F(COUNTER) F(FRAME) F(MINFRAME) F(MAXFRAME) F(ANIM) F(ENERGY)

// The field of REC called NAME, among those its record type has.
template <class R>
Ref FIELD(R& REC, const std::string& NAME) {
  if (NAME == "KIND") return FIELD(REC, PLAYER_BUILD ? "BULLETSHOOT" : "BULLET_TYPE");
#define TRY_FIELD(N) \
  if constexpr (requires { REC.N; }) \
    if (NAME == #N) return &REC.N;
  RECORD_FIELDS(TRY_FIELD)
#undef TRY_FIELD
  throw std::runtime_error("unknown field " + NAME);
}

// Stores the number written in S (nan and inf are understood) in the field.
void PUT(Ref R, const std::string& S) {
  const char* END = S.data() + S.size();
  std::visit([&](auto* P) {
    const auto [AT, ERROR] = std::from_chars(S.data(), END, *P);
    if (ERROR != std::errc() || AT != END) throw std::runtime_error("bad number " + S);
  }, R);
}

// A number as the scenarios write it: the shortest text that reads back as the same value of
// its type, and 0 for a negative zero.
template <class N>
std::string TEXT(N V) {
  char BUF[32];
  return {BUF, std::to_chars(BUF, BUF + sizeof BUF, V + N{0}).ptr};
}

void APPEND(std::string& LIST, const std::string& V, const char* SEP = ",") {
  LIST += (LIST.empty() ? "" : SEP) + V;
}

int LIVE(const BULLET_TYPE* B, int N) {
  if (B == nullptr) return 0;
  return static_cast<int>(std::count_if(B, B + N, [](const BULLET_TYPE& X) { return X.ACTIVE; }));
}

using Line = std::pair<int, std::vector<std::string>>;  // a line's number and its words

// One scenario, run on a turret and a shared pool made ready through their INIT slots and
// destroyed through their DESTROY slots.
class Scenario : public ::testing::Test {
 public:
  explicit Scenario(std::vector<Line> LINES) : LINES_(std::move(LINES)) {
    T.INIT(T);
    POOL.INIT(POOL);
  }

 private:
  std::vector<Line> LINES_;  // the "test" line, then the commands
  TURRET_TYPE T{.INIT = NBARRAGE::INIT};
  BARRAGE_TYPE POOL{.INIT = NBARRAGE::INIT};
  std::map<std::string, std::string> RECORDED;  // ret, and traces: comma-separated
  COORD_TYPE POS{}, TGT{};
  const std::size_t BASE = LEAKSCOPE_COUNT();  // blocks held before INIT
  volley_test::ReportCapture CAP;               // the tracker's reports in this scenario
  // The set that "add" appends: it keeps firing with the defaults' look until changed.
  TURRET_PARAM_TYPE DRAFT{.ACTIVE = -1, .MAXROTATION = 360, .MAXBULLET = DEFAULT_MAXBULLET,
                          .BULLETS_PER_SHOT = 1, .BULLET_NUM_FRAME = 1};

  // Every field NAME stands for: one, or every slot's for all. and Pall.
  std::vector<Ref> REFS(const std::string& NAME) {
    const std::size_t DOT = NAME.find('.');
    if (DOT == std::string::npos) return {FIELD(T, NAME)};
    const std::string OWNER = NAME.substr(0, DOT), F = NAME.substr(DOT + 1);
    if (OWNER == "stored") return {FIELD(*T.P_PARAMETERS->DATA, F)};
    const bool IN_POOL = OWNER[0] == 'P', ALL = OWNER.ends_with("all");
    const int FIRST = ALL ? 0 : std::stoi(OWNER.substr(1));
    const int COUNT = IN_POOL ? POOL_MAXBULLET : DEFAULT_MAXBULLET, END = ALL ? COUNT : FIRST + 1;
    if (FIRST < 0 || END > COUNT) throw std::out_of_range("no slot " + NAME);
    std::vector<Ref> OUT;
    BULLET_TYPE* SLOTS = IN_POOL ? POOL.P_BULLETS : T.P_BULLETS;
    for (int I = FIRST; I < END; ++I) OUT.push_back(FIELD(SLOTS[I], F));
    return OUT;
  }
  // The values NAME stands for: a recording, a count, whether a pointer is set, the rule bound,
  // a bullet's polar placement (angleN: degrees seen from the turret, to four decimals) or
  // flight (flightN: degrees@speed of its velocity), or the fields REFS names.
  std::vector<std::string> VALUES(const std::string& NAME) {
    if (RECORDED.count(NAME) != 0) return {RECORDED[NAME]};
    const std::map<std::string, int64_t> STATE = {
        {"live", LIVE(T.P_BULLETS, DEFAULT_MAXBULLET)},
        {"poollive", LIVE(POOL.P_BULLETS, POOL_MAXBULLET)}, {"poolslots", POOL.MAXBULLET},
        {"blocks", static_cast<int64_t>(LEAKSCOPE_COUNT()) - static_cast<int64_t>(BASE)},
        {"position", T.P_POSITION != nullptr}, {"aimpoint", T.P_TARGET != nullptr},
        {"cursor", T.P_NODE != nullptr}, {"init", T.INIT != nullptr},
        {"manage", T.LIST_MANAGE != nullptr}, {"poolarray", POOL.P_BULLETS != nullptr},
        {"bouncing", T.ROTATE == ROTATE2}};
    if (STATE.count(NAME) != 0) return {TEXT(STATE.at(NAME))};
    const bool ANGLE = NAME.starts_with("angle");
    if (ANGLE || NAME.starts_with("flight")) {
      const BULLET_TYPE& B = T.P_BULLETS[std::stoi(NAME.substr(ANGLE ? 5 : 6))];
      const double DX = ANGLE ? double{B.X} - T.X : B.XV, DY = ANGLE ? double{B.Y} - T.Y : B.YV;
      const auto ROUNDED = [](double V) { return TEXT(std::round(V * 1e4) / 1e4); };
      const std::string DEGREES = ROUNDED(std::atan2(DY, DX) * 180 / std::numbers::pi);
      return {ANGLE ? DEGREES : DEGREES + "@" + ROUNDED(std::hypot(DX, DY))};
    }
    std::vector<std::string> OUT;
    for (const Ref& R : REFS(NAME)) OUT.push_back(std::visit([](auto* P) { return TEXT(*P); }, R));
    return OUT;
  }
  void RUN(const std::vector<std::string>& W) {
    // NAME=VALUE words: expect checks them, set assigns them, draft and add change DRAFT.
    const bool PAIRED = W[0] == "set" || W[0] == "expect" || W[0] == "draft" || W[0] == "add";
    for (std::size_t K = 1; PAIRED && K < W.size(); ++K) {
      const std::size_t EQ = W[K].find('=');
      const std::string NAME = W[K].substr(0, EQ), VALUE = W[K].substr(EQ + 1);
      if (W[0] != "expect") {
        for (const Ref& R : W[0] == "set" ? REFS(NAME) : std::vector{FIELD(DRAFT, NAME)})
          PUT(R, VALUE);
        continue;
      }
      const std::vector<std::string> GOT = VALUES(NAME);
      for (std::size_t I = 0; I < GOT.size(); ++I) ASSERT_EQ(GOT[I], VALUE) << NAME << " #" << I;
    }
    if (PAIRED && W[0] != "add") return;
    const auto ARG = [&](int NONE) { return W.size() > 1 ? std::stoi(W[1]) : NONE; };
    const std::map<std::string, std::function<void()>> COMMANDS = {
        {"add", [&, P = &DRAFT]() mutable { T.LIST_ADD(T, P); }},
        {"step", [&] { for (int I = 0; I < ARG(1); ++I) T.SHOOT(T, T.LIST_MANAGE(T, 0, 0)); }},
        {"shoot", [&] { T.SHOOT(T, ARG(0)); }},
        {"fire", [&] { SHOOTER_AI(T); }},
        {"move", [&] { MOVE_BULLETS(T); }},
        {"manage", [&] { RECORDED["ret"] = std::to_string(T.LIST_MANAGE(T, ARG(0), 0)); }},
        {"rule", [&] { CHANGE_ROTATION_AI(T, ARG(0)); }},
        {"rotate", [&] { T.ROTATE(T); }},
        {"copy", [&] { BARRAGE_COPY_BULLETS(POOL, T); }},
        {"poolstep", [&] { BARRAGE_SHOOT(POOL); }},
        {"defaults", [&] { SET_DEFAULTS(T); }},
        {"destroy", [&] { DESTROY(T); }},
        {"pooldestroy", [&] { DESTROY(POOL); }},
        {"report", [&] {  // report TEXT...: the tracker's reports begin so; none without TEXT
           std::string WANT;
           for (std::size_t K = 1; K < W.size(); ++K) APPEND(WANT, W[K], " ");
           const std::string GOT = CAP.ERR_TEXT();
           EXPECT_EQ(W.size() == 1 ? GOT : GOT.substr(0, WANT.size()), WANT) << "reports";
         }},
        {"anchor", [&] {  // anchor PX PY TX TY: the points followed and aimed at
           POS = {std::stof(W[1]), std::stof(W[2])};
           TGT = {std::stof(W[3]), std::stof(W[4])};
           T.SET_POSITION(T, &POS);
           T.SET_TARGET(T, &TGT);
         }},
        {"trace", [&] {  // trace N COMMAND NAME...: "trace:NAME", NAME after each of N commands
           for (int I = 0; I < ARG(0); ++I) {
             RUN({W[2]});
             for (std::size_t K = 3; K < W.size(); ++K)
               APPEND(RECORDED["trace:" + W[K]], VALUES(W[K]).at(0));
           }
         }}};
    const auto IT = COMMANDS.find(W[0]);
    if (IT == COMMANDS.end()) throw std::runtime_error("unknown command " + W[0]);
    IT->second();
  }
  void TearDown() override {
    if (T.DESTROY != nullptr) T.DESTROY(T);
    if (POOL.DESTROY != nullptr) POOL.DESTROY(POOL);
  }
  void TestBody() override {
    ASSERT_GT(LINES_.size(), 1u) << "the scenario file is missing";
    for (std::size_t K = 1; K < LINES_.size() && !HasFatalFailure(); ++K) {
      SCOPED_TRACE("turret.scn line " + std::to_string(LINES_[K].first));
      try {
        RUN(LINES_[K].second);
      } catch (const std::exception& E) {
        FAIL() << E.what();
      }
    }
  }
};

// Registers every scenario of the file (its "test" line, then the lines of this build) as a
// test; one for the other build only is left out, and one that fails stands in for a file
// that cannot be read.
const bool REGISTERED = [] {
  std::ifstream IN(VOLLEY_SOURCE_DIR "/tests/golden/engine/turret.scn");
  std::vector<std::vector<Line>> TESTS{{{0, {"test", "TurretTest.ScenarioFileIsRead"}}}};
  int N = 0;
  for (std::string TEXT; std::getline(IN, TEXT);) {
    std::istringstream WORDS(TEXT.substr(0, TEXT.find('#')));
    Line L{++N, {std::istream_iterator<std::string>(WORDS), {}}};
    std::vector<std::string>& W = L.second;
    if (W.empty() || W[0] == (PLAYER_BUILD ? "edit" : "play")) continue;
    if (W[0] == (PLAYER_BUILD ? "play" : "edit")) W.erase(W.begin());
    if (W[0] == "test") TESTS.emplace_back();
    TESTS.back().push_back(L);
  }
  for (const std::vector<Line>& LINES : TESTS) {
    const std::string& NAME = LINES[0].second.at(1);
    const std::size_t DOT = NAME.find('.');
    if (LINES.size() == 1 && TESTS.size() > 1) continue;
    ::testing::RegisterTest(NAME.substr(0, DOT).c_str(), NAME.substr(DOT + 1).c_str(), nullptr,
                            nullptr, __FILE__, __LINE__,
                            [LINES]() -> ::testing::Test* { return new Scenario(LINES); });
  }
  return true;
}();

}  // namespace
