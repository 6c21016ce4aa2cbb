// volley: the pattern library. Loads and saves programmes (timed lists of parameter sets, as
// the barrage engine plays them) from the designer's 140-byte .vly files and from .json text,
// and plays them with Cannon, one engine turret per cannon (namespace volley).
#pragma once

#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/turret_module.hpp"

namespace volley {

/// A file that cannot be read, parsed or written. what() is "FILE: reason", naming the set
/// (from 1) and the field where the fault lies in one.
struct Error : std::runtime_error {
  using std::runtime_error::runtime_error;
};

/// One timed set: the engine's own record. A set is zero-filled when made.
using Set = NBARRAGE::TURRET_PARAM_TYPE;
/// Sets in the order the cannon plays them.
using Programme = std::vector<Set>;

/// Reads a programme from a .vly (one set) or .json file, chosen by the extension. Throws
/// Error and returns nothing partly loaded on any fault. Files above 16 MiB are refused.
Programme load_programme(const std::filesystem::path& file);

/// Writes P as .vly (exactly one set that the file can hold) or .json, chosen by the
/// extension. The old file is replaced only once the new one is complete. Throws Error.
void save_programme(const Programme& p, const std::filesystem::path& file);

/// The .json text of P (what save_programme writes for a .json file).
std::string programme_json(const Programme& p);

/// One live bullet. x, y is the top-left corner of its sprite; sprite_frame is the frame of
/// the bullet sheet that the designer draws for it.
struct Bullet {
  int slot;
  float x, y, vx, vy;
  int rotation;
  int sprite_frame;
};

/// One cannon playing a programme: an engine turret with its 128 bullet slots. Movable, not
/// copyable; a moved-from cannon has no bullets and step() does nothing.
class Cannon {
 public:
  /// A turret made as the engine makes one, then every set added to its timed list in order.
  explicit Cannon(const Programme& p);
  Cannon(Cannon&& other) noexcept;
  Cannon& operator=(Cannon&& other) noexcept;
  Cannon(const Cannon&) = delete;
  Cannon& operator=(const Cannon&) = delete;
  ~Cannon();

  /// The cannon's position from now on (a bound position, copied into the turret each step).
  void follow(float x, float y);
  /// The cannon's aim point from now on (a bound target).
  void aim_at(float x, float y);
  /// One frame: exactly SHOOT(turret, LIST_MANAGE(turret, 0, 0)) through the turret's slots.
  void step();
  /// Live bullets in slot order, over the slots the turret's passes cover.
  std::vector<Bullet> bullets() const;
  int live_bullets() const;

  /// The engine turret itself, read-only (for drawing it as the designer does, or tracing).
  /// Precondition: the cannon has not been moved from.
  const NBARRAGE::TURRET_TYPE& turret() const;

 private:
  struct State;
  std::unique_ptr<State> state_;
};

/// Turns the allocation tracker's exit report on or off (off unless the host asks for it).
/// With it on, the report lists every engine block still held when the program ends. The
/// library never waits for a key at exit.
void enable_leak_report(bool on);

}  // namespace volley
