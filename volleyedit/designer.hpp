// volleyedit designer: start-up questions, assets, the frame loop, the numbered-file chooser
// and the exit order (namespace NDESIGNER). main.cpp adds option handling around it.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "display/display.hpp"
#include "display/font.hpp"
#include "image/pixbank_image.hpp"
#include "volleyedit/designer_state.hpp"

namespace NDESIGNER {

/// Optional extensions around the frame loop (headless runs, traces, recordings). Frames are
/// numbered from 1 by presented pages, in the chooser as in the main loop.
struct RUN_HOOKS {
  /// Frame FRAME begins (scripted keys for it are set here).
  std::function<void(int32_t FRAME)> BEGIN_FRAME;
  /// The page of frame FRAME is complete and about to be presented (trace line).
  std::function<void(int32_t FRAME)> BEFORE_PRESENT;
  /// Frame FRAME has been presented (recording).
  std::function<void(int32_t FRAME)> AFTER_PRESENT;
  /// True when the run ends after frame FRAME as if Escape had been pressed.
  std::function<bool(int32_t FRAME)> LAST_FRAME;
};

/// Frame counting shared by the main loop and the chooser.
struct FRAME_CLOCK_TYPE {
  RUN_HOOKS HOOKS;
  int32_t PRESENTED = 0;   ///< pages presented so far
  int32_t BEGUN = 0;       ///< the last frame whose BEGIN_FRAME ran
  bool STOP = false;       ///< the LAST_FRAME hook asked to end the run
};
extern FRAME_CLOCK_TYPE FRAME_CLOCK;

/// Starts frame PRESENTED + 1 unless it has begun already (runs BEGIN_FRAME once per frame).
void BEGIN_FRAME();
/// Presents the page through the RENDER slot, with the hooks around it; sets STOP after the
/// last frame.
void PRESENT(NDISPLAY::SCREEN_TYPE& VIDEO);

/// The records of the running designer.
struct DESIGNER_TYPE {
  NDISPLAY::SCREEN_TYPE VIDEO{};
  FONTTYPE FONT{};
  FONTTYPE BFONT{};  ///< loaded and kept; nothing is drawn with it
  IMAGETYPE S_IMAGE{};
  NBARRAGE::TURRET_PARAM_TYPE PARAMETERS{};
  EDIT_KEYS_TYPE KEYS{};
  std::string CHOSEN;            ///< the chooser's FILENAME
  bool ESCAPE_LATCHED = false;   ///< Escape closed the chooser and is not yet released
};

/// Clears the console, asks the three questions and reads one key for each.
SCREEN_SETTINGS_TYPE ASK_STARTUP();

/// Opens the display; loads the palette, fonts and bullet sheet; creates the cannons and
/// the menu; resets the keys and picks the keyboard source. D must be freshly constructed.
void START(DESIGNER_TYPE& D, const SCREEN_SETTINGS_TYPE& SETTINGS);

/// Current state of a key from the source DISPLAY_TYPE selects.
int32_t KEY_DOWN(KEY K);

/// One pass of the frame loop. Returns false when the loop is to be left (Escape at the end of
/// the frame, or the last frame of a limited run).
bool RUN_FRAME(DESIGNER_TYPE& D);

/// Releases in order: cannons, cannon block, sheet and fonts, screen.
void SHUTDOWN(DESIGNER_TYPE& D);

/// "barrage_" + N in decimal + ".vly".
std::string BARRAGE_NAME(int32_t N);

/// The chooser's persistent Up and Down keys (0 at program start, kept between calls).
extern REPEAT_KEY U_KEY;
extern REPEAT_KEY D_KEY;

/// The chooser's number keys for one pass: Up lowers FILENUMBER down to 0, Down raises it up
/// to 999, with the auto-repeat rule on U_KEY and D_KEY.
void CHOOSER_KEYS(int32_t& FILENUMBER, int32_t UP, int32_t DOWN);

/// The numbered-file chooser: one pass per frame draws a box in colour 127 at (60, 60)-(160, 120)
/// and the name "barrage_N.vly" at (100, 90) over the page, then presents it. Each call starts
/// at 0. Returns -1 when Enter confirmed (FILENAME then holds the chosen name), 0 when Escape
/// cancelled (FILENAME unchanged) or the run reached its last frame.
int32_t LOAD_BARRAGE(NDISPLAY::SCREEN_TYPE& VIDEO, std::string& FILENAME, FONTTYPE& FONT);

}  // namespace NDESIGNER
