// volleyview viewer: the pattern files, the cannon that plays the current one, the keys and
// the mouse, and the page with its overlay (namespace NVIEW). main.cpp adds the options, the
// window, the pacing, traces and recordings.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "display/font.hpp"
#include "image/pixbank_image.hpp"
#include "volley/volley.hpp"
#include "volleyview/watch.hpp"

namespace NVIEW {

inline constexpr int32_t PAGE_W = 320, PAGE_H = 240;
/// Seconds between two looks at the files (at least twice a second, as asked of a previewer).
inline constexpr double POLL_SECONDS = 0.25;
/// Frames over which the step and draw times are averaged.
inline constexpr int32_t TIME_WINDOW = 60;

/// One pattern file and the last version of it that loaded.
struct PATTERN_FILE {
  std::filesystem::path PATH;
  std::optional<volley::Programme> GOOD;  ///< the version that plays
  std::string ERROR;                      ///< why the file on disk does not load, "" when it does
};

/// The mean of the last TIME_WINDOW values.
class RUNNING_MEAN {
 public:
  void ADD(double V);
  double MEAN() const { return COUNT_ == 0 ? 0.0 : SUM_ / COUNT_; }

 private:
  std::array<double, TIME_WINDOW> VALUES_{};
  int32_t NEXT_ = 0, COUNT_ = 0;
  double SUM_ = 0.0;
};

/// The keys and the mouse of one frame: true for a key that went down in this frame.
struct INPUT_TYPE {
  bool PREVIOUS = false, NEXT = false, RESTART = false, PAUSE = false, STEP = false,
       OVERLAY = false;
  bool POINTER_INSIDE = false, DRAGGING = false;
  float X = 0.0f, Y = 0.0f;  ///< the pointer on the page
};

class VIEWER {
 public:
  /// ARGS: the files and directories of the command line. Nothing is read until POLL.
  explicit VIEWER(std::vector<std::string> ARGS);
  ~VIEWER();
  VIEWER(const VIEWER&) = delete;
  VIEWER& operator=(const VIEWER&) = delete;

  /// Loads the palette, the font and the bullet sheet from the working directory.
  void LOAD_ASSETS();

  /// Looks at the files: new ones are loaded, changed ones reloaded (the current one restarts
  /// when it loads), removed ones dropped. ERRORS gets one line for each file whose error is
  /// new (a file that keeps failing the same way is reported once).
  void POLL(std::vector<std::string>& ERRORS);

  /// One frame: the keys and the mouse, then the cannon's step unless paused (STEP steps
  /// once while paused). A file switch, R or a reload show the fresh cannon unstepped.
  void FRAME(const INPUT_TYPE& IN);
  /// Draws the page: the cannon as the designer draws it, the error of the current file in
  /// red, the overlay unless hidden. FPS is shown in the overlay.
  void DRAW(uint8_t* PAGE, double FPS);

  const std::vector<PATTERN_FILE>& FILES() const { return FILES_; }
  /// Index of the current file; -1 when there is none.
  int32_t CURRENT() const { return FILES_.empty() ? -1 : CURRENT_; }
  const volley::Cannon* CANNON() const { return CANNON_ ? &*CANNON_ : nullptr; }
  /// Sets applied so far (the playing set counted from 1, 0 before the first step), the sets
  /// of the programme and the steps since the playing set was applied.
  int32_t SET() const { return SET_; }
  int32_t SETS() const;
  int32_t SET_FRAME() const { return SET_FRAME_; }
  bool PAUSED() const { return PAUSED_; }
  bool OVERLAY() const { return OVERLAY_; }
  double STEP_US() const { return STEP_TIME_.MEAN(); }
  double DRAW_US() const { return DRAW_TIME_.MEAN(); }

 private:
  void RESTART();
  void STEP();
  void DRAW_ERROR(uint8_t* PAGE, const std::string& TEXT);

  WATCHER WATCHER_;
  std::vector<PATTERN_FILE> FILES_;
  int32_t CURRENT_ = 0;
  std::optional<volley::Cannon> CANNON_;
  int32_t SET_ = 0, SET_FRAME_ = 0;
  bool PAUSED_ = false, OVERLAY_ = true;
  bool FRESH_ = false;  // the cannon was made in this frame
  bool FOLLOWING_ = false, AIMING_ = false;
  float FOLLOW_X_ = 0.0f, FOLLOW_Y_ = 0.0f, AIM_X_ = 0.0f, AIM_Y_ = 0.0f;
  RUNNING_MEAN STEP_TIME_, DRAW_TIME_;
  FONTTYPE FONT_{};
  IMAGETYPE SHEET_{};
  bool ASSETS_ = false;
  uint8_t RED_ = 0;  // the palette entry nearest to pure red
};

}  // namespace NVIEW
