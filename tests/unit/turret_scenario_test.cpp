// Runner of the engine scenarios in tests/golden/engine/turret.scn: each "test Suite.Name"
// block there becomes one test of this build. A line is a command and its arguments; a line
// led by "edit" or "play" runs in that build only. Names: turret fields by name (KIND is the
// bullet kind field of either build), Bn.FIELD a turret slot, all.FIELD every turret slot,
// Pn.FIELD a pool slot, Pall.FIELD every pool slot; "draft" and "add" name set fields.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "tests/unit/turret_module_test_util.hpp"

namespace volley_test {
namespace {

template <class R>
struct Field {
  const char* NAME;
  int32_t R::*I = nullptr;
  float R::*F = nullptr;
  Field(const char* N, int32_t R::*P) : NAME(N), I(P) {}
  Field(const char* N, float R::*P) : NAME(N), F(P) {}
};

#if VOLLEY_PLAYER_BUILD
#define KIND_FIELD(R) Field<R>("KIND", &R::BULLETSHOOT)
#else
#define KIND_FIELD(R) Field<R>("KIND", &R::BULLET_TYPE)
#endif
#define F_(R, N) Field<R>(#N, &R::N)
#define SHARED_FIELDS(R)                                                                       \
  F_(R, TARGETING), F_(R, X), F_(R, Y), F_(R, XV), F_(R, YV), F_(R, TARGETX), F_(R, TARGETY),  \
      F_(R, ACTIVE), F_(R, RADIUS), F_(R, ROTATION), F_(R, MINROTATION), F_(R, MAXROTATION),   \
      F_(R, ROTSPEED), F_(R, ROTDIR), F_(R, SPAWNDELAY), F_(R, MAXSPAWNDELAY),                 \
      F_(R, MAXBULLET), F_(R, BULLET_ENERGY), F_(R, BULLET_DEATH_ID), F_(R, BULLETS_PER_SHOT), \
      F_(R, SPREAD_ROTATION), F_(R, BULLETSPEED), F_(R, BULLETSPEED_DELTA),                    \
      F_(R, BULLETOFFSET), F_(R, WAVEMODE), F_(R, BULLETCOUNTER), F_(R, BULLETWAVEMAX),        \
      F_(R, BULLETWAVEMAXDELAY), KIND_FIELD(R)

const std::vector<Field<TURRET_TYPE>> TURRET_FIELDS = {
    SHARED_FIELDS(TURRET_TYPE), F_(TURRET_TYPE, LISTINDEX), F_(TURRET_TYPE, CURRENT_MIN_FRAME),
    F_(TURRET_TYPE, CURRENT_NUM_FRAME)};
const std::vector<Field<TURRET_PARAM_TYPE>> SET_FIELDS = {
    SHARED_FIELDS(TURRET_PARAM_TYPE), F_(TURRET_PARAM_TYPE, DELAY),
    F_(TURRET_PARAM_TYPE, ROTATION_AI), F_(TURRET_PARAM_TYPE, BULLET_MIN_FRAME),
    F_(TURRET_PARAM_TYPE, BULLET_NUM_FRAME)};
const std::vector<Field<BULLET_TYPE>> BULLET_FIELDS = {
    F_(BULLET_TYPE, X), F_(BULLET_TYPE, Y), F_(BULLET_TYPE, XV), F_(BULLET_TYPE, YV),
    F_(BULLET_TYPE, ACTIVE), F_(BULLET_TYPE, COUNTER), F_(BULLET_TYPE, ROTATION),
    F_(BULLET_TYPE, FRAME), F_(BULLET_TYPE, MINFRAME), F_(BULLET_TYPE, MAXFRAME),
    F_(BULLET_TYPE, ANIM), F_(BULLET_TYPE, ENERGY)};

template <class R>
const Field<R>& FIND(const std::vector<Field<R>>& FIELDS, const std::string& NAME) {
  const auto IT = std::find_if(FIELDS.begin(), FIELDS.end(),
                               [&](const Field<R>& X) { return NAME == X.NAME; });
  if (IT == FIELDS.end()) throw std::runtime_error("unknown field " + NAME);
  return *IT;
}

// Reads a number; INT_MAX and INT_MIN name the int32 limits, nan and inf are understood.
double NUMBER(const std::string& S) {
  if (S == "INT_MAX") return INT32_MAX;
  if (S == "INT_MIN") return INT32_MIN;
  std::size_t USED = 0;
  const double V = std::stod(S, &USED);
  if (USED != S.size()) throw std::runtime_error("not a number: " + S);
  return V;
}

template <class R>
void PUT(R& REC, const Field<R>& F, double V) {
  if (F.I != nullptr) REC.*F.I = static_cast<int32_t>(V);
  if (F.F != nullptr) REC.*F.F = static_cast<float>(V);
}

template <class R>
double GET(const R& REC, const Field<R>& F) {
  return F.I != nullptr ? static_cast<double>(REC.*F.I) : static_cast<double>(REC.*F.F);
}

std::string JOIN(const std::vector<double>& V) {
  std::ostringstream OUT;
  for (std::size_t K = 0; K < V.size(); ++K) OUT << (K > 0 ? "," : "") << V[K];
  return OUT.str();
}

struct Line {
  int NUMBER;
  std::vector<std::string> WORDS;
};

class Scenario : public TurretTest {
 public:
  explicit Scenario(std::vector<Line> LINES) : LINES_(std::move(LINES)) {}

 private:
  std::vector<Line> LINES_;
  std::map<std::string, std::string> RECORDED;  // shots, aims, trace: comma-separated
  int32_t RET = 0;
  COORD_TYPE POS{}, TGT{};
  // The set that "add" appends: it keeps firing with the defaults' look until changed.
  TURRET_PARAM_TYPE DRAFT{.DELAY = 0, .ACTIVE = -1, .MAXROTATION = 360,
                          .MAXBULLET = DEFAULT_MAXBULLET, .BULLETS_PER_SHOT = 1,
                          .BULLET_NUM_FRAME = 1};

  int LIVE(const BULLET_TYPE* B, int N) const {
    return static_cast<int>(std::count_if(B, B + N, [](const BULLET_TYPE& X) { return X.ACTIVE; }));
  }
  // The bullet record a "Bn." or "Pn." name points at.
  BULLET_TYPE& SLOT(const std::string& NAME) {
    const int N = std::stoi(NAME.substr(1));
    return NAME[0] == 'P' ? POOL.P_BULLETS[N] : T.P_BULLETS[N];
  }
  double VALUE(const std::string& NAME) {
    const std::size_t DOT = NAME.find('.');
    if (NAME == "live") return LIVE(T.P_BULLETS, DEFAULT_MAXBULLET);
    if (NAME == "poollive") return LIVE(POOL.P_BULLETS, POOL_MAXBULLET);
    if (NAME == "ret") return RET;
    if (NAME == "bouncing") return T.ROTATE == ROTATE2;
    if (NAME == "stored.DELAY") return T.P_PARAMETERS->DATA->DELAY;
    if (DOT == std::string::npos) return GET(T, FIND(TURRET_FIELDS, NAME));
    return GET(SLOT(NAME), FIND(BULLET_FIELDS, NAME.substr(DOT + 1)));
  }
  void ASSIGN(const std::string& NAME, double V) {
    const std::size_t DOT = NAME.find('.');
    if (DOT == std::string::npos) return PUT(T, FIND(TURRET_FIELDS, NAME), V);
    const Field<BULLET_TYPE>& F = FIND(BULLET_FIELDS, NAME.substr(DOT + 1));
    if (NAME.rfind("Pall.", 0) == 0) {
      for (int I = 0; I < POOL_MAXBULLET; ++I) PUT(POOL.P_BULLETS[I], F, V);
    } else if (NAME.rfind("all.", 0) == 0) {
      for (int I = 0; I < DEFAULT_MAXBULLET; ++I) PUT(T.P_BULLETS[I], F, V);
    } else {
      PUT(SLOT(NAME), F, V);
    }
  }
  // The angle (degrees) at which bullet N was placed on the turret's circle.
  double PLACED(int N) const {
    const BULLET_TYPE& B = T.P_BULLETS[N];
    return std::atan2(double{B.Y} - T.Y, double{B.X} - T.X) * 180.0 / 3.141592653589793;
  }
  void EXPECT(const Line& L, const std::string& NAME, const std::string& WANT) {
    if (RECORDED.count(NAME) != 0) {
      EXPECT_EQ(RECORDED[NAME], WANT) << "line " << L.NUMBER << ": " << NAME;
      return;
    }
    if (NAME.rfind("angle", 0) == 0) {  // angleN=DEGREES: where bullet N was placed
      EXPECT_NEAR(PLACED(std::stoi(NAME.substr(5))), NUMBER(WANT), 1e-3) << "line " << L.NUMBER;
      return;
    }
    if (NAME.rfind("flight", 0) == 0) {  // flightN=DEGREES@SPEED: bullet N's velocity
      const BULLET_TYPE& B = T.P_BULLETS[std::stoi(NAME.substr(6))];
      const std::size_t AT = WANT.find('@');
      const double RAD = NUMBER(WANT.substr(0, AT)) * 3.141592653589793 / 180;
      const double SPEED = NUMBER(WANT.substr(AT + 1));
      EXPECT_NEAR(B.XV, SPEED * std::cos(RAD), 1e-5) << "line " << L.NUMBER << ": " << NAME;
      EXPECT_NEAR(B.YV, SPEED * std::sin(RAD), 1e-5) << "line " << L.NUMBER << ": " << NAME;
      return;
    }
    const std::size_t DOT = NAME.find('.');
    if (NAME.rfind("all.", 0) == 0) {
      const Field<BULLET_TYPE>& F = FIND(BULLET_FIELDS, NAME.substr(DOT + 1));
      for (int I = 0; I < DEFAULT_MAXBULLET; ++I)
        ASSERT_EQ(GET(T.P_BULLETS[I], F), NUMBER(WANT)) << "line " << L.NUMBER << ": slot " << I;
      return;
    }
    const double W = NUMBER(WANT);  // a fraction is a float field's value, to float precision
    EXPECT_EQ(VALUE(NAME), W == std::floor(W) ? W : double{static_cast<float>(W)})
        << "line " << L.NUMBER << ": " << NAME;
  }
  void STEP() { T.SHOOT(T, T.LIST_MANAGE(T, 0, 0)); }
  // Runs one command that moves the world on.
  void ACT(const std::vector<std::string>& W) {
    const std::string& C = W[0];
    if (C == "step") {
      for (int I = 0; I < (W.size() > 1 ? std::stoi(W[1]) : 1); ++I) STEP();
    } else if (C == "shoot") {
      T.SHOOT(T, std::stoi(W[1]));
    } else if (C == "fire") {
      SHOOTER_AI(T);
    } else if (C == "move") {
      MOVE_BULLETS(T);
    } else if (C == "manage") {
      RET = T.LIST_MANAGE(T, W.size() > 1 ? std::stoi(W[1]) : 0, 0);
    } else if (C == "rule") {
      CHANGE_ROTATION_AI(T, std::stoi(W[1]));
    } else if (C == "rotate") {
      T.ROTATE(T);
    } else if (C == "copy") {
      POOL.COPY_BULLETS(POOL, T);
    } else if (C == "anchor") {  // anchor PX PY TX TY: the points followed and aimed at
      POS = {std::stof(W[1]), std::stof(W[2])};
      TGT = {std::stof(W[3]), std::stof(W[4])};
      if (T.P_POSITION == nullptr) T.SET_POSITION(T, &POS);
      if (T.P_TARGET == nullptr) T.SET_TARGET(T, &TGT);
    } else if (C == "poolstep") {
      POOL.SHOOT(POOL);
    } else {
      throw std::runtime_error("unknown command " + C);
    }
  }
  void RUN(const Line& L) {
    const std::vector<std::string>& W = L.WORDS;
    const std::string& C = W[0];
    std::vector<std::pair<std::string, std::string>> PAIRS;
    for (std::size_t K = 1; K < W.size(); ++K) {
      const std::size_t EQ = W[K].find('=');
      if (EQ != std::string::npos) PAIRS.emplace_back(W[K].substr(0, EQ), W[K].substr(EQ + 1));
    }
    if (C == "set") {
      for (const auto& [NAME, V] : PAIRS) ASSIGN(NAME, NUMBER(V));
    } else if (C == "draft" || C == "add") {  // changes the draft set; add appends a copy
      for (const auto& [NAME, V] : PAIRS) PUT(DRAFT, FIND(SET_FIELDS, NAME), NUMBER(V));
      TURRET_PARAM_TYPE* P = &DRAFT;
      if (C == "add") T.LIST_ADD(T, P);
    } else if (C == "expect") {
      for (const auto& [NAME, V] : PAIRS) EXPECT(L, NAME, V);
    } else if (C == "shots") {  // steps N times, recording the steps that fired and their aims
      std::vector<double> SHOTS, AIMS;
      for (int S = 1, BEFORE = LIVE(T.P_BULLETS, DEFAULT_MAXBULLET); S <= std::stoi(W[1]); ++S) {
        STEP();
        const int NOW = LIVE(T.P_BULLETS, DEFAULT_MAXBULLET);
        if (NOW > BEFORE) SHOTS.push_back(S);
        if (NOW > BEFORE) AIMS.push_back(T.ROTATION);
        BEFORE = NOW;
      }
      RECORDED["shots"] = JOIN(SHOTS);
      RECORDED["aims"] = JOIN(AIMS);
    } else if (C == "trace") {  // trace N NAME COMMAND...: NAME after each of N commands
      std::vector<double> V;
      for (int I = 0; I < std::stoi(W[1]); ++I) {
        ACT({W.begin() + 3, W.end()});
        V.push_back(VALUE(W[2]));
      }
      RECORDED["trace"] = JOIN(V);
    } else {
      ACT(W);
    }
  }
  void TestBody() override {
    ASSERT_FALSE(LINES_.empty()) << "the scenario file is missing";
    for (const Line& L : LINES_) {
      try {
        RUN(L);
      } catch (const std::exception& E) {
        FAIL() << "line " << L.NUMBER << ": " << E.what();
      }
      if (HasFatalFailure()) return;
    }
  }
};

// Registers every scenario of the file as a test of the turret fixture.
const bool REGISTERED = [] {
  const std::string PATH = VOLLEY_SOURCE_DIR "/tests/golden/engine/turret.scn";
  std::ifstream IN(PATH);
  std::string TEXT, NAME;
  std::vector<Line> LINES;
  int START = 0;
  const auto FLUSH = [&] {  // a scenario for the other build only has no lines here
    if (NAME.empty() || (LINES.empty() && IN.is_open())) return;
    const std::size_t DOT = NAME.find('.');
    ::testing::RegisterTest(NAME.substr(0, DOT).c_str(), NAME.substr(DOT + 1).c_str(), nullptr,
                            nullptr, PATH.c_str(), START,
                            [LINES]() -> TurretTest* { return new Scenario(LINES); });
    LINES.clear();
  };
  for (int N = 1; std::getline(IN, TEXT); ++N) {
    std::istringstream WORDS(TEXT.substr(0, TEXT.find('#')));
    Line L{N, {}};
    for (std::string W; WORDS >> W;) L.WORDS.push_back(W);
    if (L.WORDS.empty()) continue;
    if (L.WORDS[0] == "test") {
      FLUSH();
      NAME = L.WORDS[1];
      START = N;
      continue;
    }
    if (L.WORDS[0] == (PLAYER_BUILD ? "edit" : "play")) continue;
    if (L.WORDS[0] == "edit" || L.WORDS[0] == "play") L.WORDS.erase(L.WORDS.begin());
    LINES.push_back(L);
  }
  FLUSH();
  if (!IN.is_open()) {
    NAME = "TurretTest.ScenarioFileIsRead";
    FLUSH();
  }
  return true;
}();

}  // namespace
}  // namespace volley_test
