// volley cannon: one engine turret playing a programme, and the tracker's exit report, which
// stays off in a program that links the library unless the host turns it on (namespace volley).
#include <algorithm>
#include <cstdint>
#include <limits>

#include "leakscope/leakscope.hpp"
#include "volley/volley.hpp"

namespace volley {

// The turret and the two points it borrows live together on the heap, so a moved cannon
// keeps the addresses the turret holds.
struct Cannon::State {
  NBARRAGE::TURRET_TYPE TURRET{};
  NBARRAGE::COORD_TYPE POSITION{};
  NBARRAGE::COORD_TYPE TARGET{};
};

Cannon::Cannon(const Programme& p) : state_(std::make_unique<State>()) {
  NBARRAGE::TURRET_TYPE& T = state_->TURRET;
  T.INIT = NBARRAGE::INIT;
  T.INIT(T);
  for (const Set& S : p) {
    Set COPY = S;  // LIST_ADD copies the set it is given
    Set* P = &COPY;
    T.LIST_ADD(T, P);
  }
}

Cannon::Cannon(Cannon&& other) noexcept = default;

Cannon& Cannon::operator=(Cannon&& other) noexcept {
  if (this != &other) {
    if (state_ != nullptr) state_->TURRET.DESTROY(state_->TURRET);
    state_ = std::move(other.state_);
  }
  return *this;
}

Cannon::~Cannon() {
  if (state_ != nullptr) state_->TURRET.DESTROY(state_->TURRET);
}

void Cannon::follow(float x, float y) {
  if (state_ == nullptr) return;
  state_->POSITION.M_X = x;
  state_->POSITION.M_Y = y;
  state_->TURRET.SET_POSITION(state_->TURRET, &state_->POSITION);
}

void Cannon::aim_at(float x, float y) {
  if (state_ == nullptr) return;
  state_->TARGET.M_X = x;
  state_->TARGET.M_Y = y;
  state_->TURRET.SET_TARGET(state_->TURRET, &state_->TARGET);
}

void Cannon::step() {
  if (state_ == nullptr) return;
  NBARRAGE::TURRET_TYPE& T = state_->TURRET;
  T.SHOOT(T, T.LIST_MANAGE(T, 0, 0));
}

std::vector<Bullet> Cannon::bullets() const {
  std::vector<Bullet> OUT;
  if (state_ == nullptr) return OUT;
  const NBARRAGE::TURRET_TYPE& T = state_->TURRET;
  const int32_t SLOTS = NBARRAGE::SLOT_COUNT(T);
  for (int32_t J = 0; J < SLOTS; ++J) {
    const NBARRAGE::BULLET_TYPE& B = T.P_BULLETS[J];
    if (B.ACTIVE == 0) continue;
    // CHOICE: a frame number beyond the int range (a set may give any first frame) saturates;
    // such a frame lies outside every sheet either way.
    const int64_t FRAME = static_cast<int64_t>(B.MINFRAME) + static_cast<int64_t>(B.FRAME);
    const int64_t CLAMPED = std::clamp<int64_t>(FRAME, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max());
    OUT.push_back({J, B.X, B.Y, B.XV, B.YV, B.ROTATION, static_cast<int>(CLAMPED)});
  }
  return OUT;
}

int Cannon::live_bullets() const {
  if (state_ == nullptr) return 0;
  const NBARRAGE::TURRET_TYPE& T = state_->TURRET;
  const int32_t SLOTS = NBARRAGE::SLOT_COUNT(T);
  int N = 0;
  for (int32_t J = 0; J < SLOTS; ++J) N += T.P_BULLETS[J].ACTIVE != 0 ? 1 : 0;
  return N;
}

const NBARRAGE::TURRET_TYPE& Cannon::turret() const { return state_->TURRET; }

void enable_leak_report(bool on) { LEAKSCOPE_SET_EXIT_REPORT(on); }

namespace {
// DEVIATION(library-quiet-tracker): in a program that links the library, the tracker's exit
// report is off unless the host calls enable_leak_report(true), and its key wait is always
// off: a library never prints and never waits. Runs right after the tracker starts.
__attribute__((constructor(102))) void VOLLEY_QUIET_TRACKER() {
  LEAKSCOPE_SET_EXIT_REPORT(false);
  LEAKSCOPE_SET_EXIT_WAIT(false);
}
}  // namespace

}  // namespace volley
