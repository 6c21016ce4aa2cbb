// volleyview viewer: files, cannon, keys, mouse, page and overlay (namespace NVIEW).
#include "volleyview/viewer.hpp"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>

#include "barrage/cannon_draw.hpp"
#include "draw2d/draw2d.hpp"
#include "image/asset_path.hpp"

namespace NVIEW {

namespace fs = std::filesystem;

namespace {

constexpr int32_t LINE_HEIGHT = 7;    // the tiny font's glyphs are 6 rows high
constexpr int32_t GLYPH_ADVANCE = 5;  // 4 columns and a gap
constexpr int32_t ERROR_TOP = 6 * LINE_HEIGHT;
constexpr std::size_t ERROR_COLUMNS = PAGE_W / GLYPH_ADVANCE - 1;

double MICROSECONDS_SINCE(std::chrono::steady_clock::time_point T0) {
  return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - T0).count();
}

// Lines of at most COLUMNS characters, broken after a space where one is near.
std::vector<std::string> WRAP(const std::string& TEXT, std::size_t COLUMNS) {
  std::vector<std::string> LINES;
  std::size_t AT = 0;
  while (AT < TEXT.size()) {
    std::size_t LEN = std::min(COLUMNS, TEXT.size() - AT);
    if (AT + LEN < TEXT.size()) {
      const std::size_t SPACE = TEXT.rfind(' ', AT + LEN);
      if (SPACE != std::string::npos && SPACE > AT + COLUMNS / 2) LEN = SPACE - AT + 1;
    }
    LINES.push_back(TEXT.substr(AT, LEN));
    AT += LEN;
  }
  return LINES;
}

// The palette entry whose colour lies nearest to pure red (6-bit components).
uint8_t NEAREST_RED() {
  uint8_t BEST = 0;
  int BEST_DISTANCE = 1 << 30;
  for (int I = 1; I < 256; ++I) {
    const uint32_t C = draw2d::get_palette(I);
    const int R = static_cast<int>(C & 63) - 63, G = static_cast<int>((C >> 8) & 63);
    const int B = static_cast<int>((C >> 16) & 63);
    const int D = R * R + G * G + B * B;
    if (D < BEST_DISTANCE) {
      BEST_DISTANCE = D;
      BEST = static_cast<uint8_t>(I);
    }
  }
  return BEST;
}

}  // namespace

void RUNNING_MEAN::ADD(double V) {
  if (COUNT_ == TIME_WINDOW) SUM_ -= VALUES_[static_cast<std::size_t>(NEXT_)];
  VALUES_[static_cast<std::size_t>(NEXT_)] = V;
  SUM_ += V;
  NEXT_ = (NEXT_ + 1) % TIME_WINDOW;
  COUNT_ = std::min(COUNT_ + 1, TIME_WINDOW);
}

VIEWER::VIEWER(std::vector<std::string> ARGS) : WATCHER_(std::move(ARGS)) {}

VIEWER::~VIEWER() {
  CANNON_.reset();
  if (ASSETS_) {
    SHEET_.DESTROY(SHEET_);
    FONT_.DESTROY(FONT_);
  }
}

void VIEWER::LOAD_ASSETS() {
  INIT_PALETTE_DATA(assets::locate_or_stop("korvane.pal"));
  FONT_.INIT = NFONT::INIT;
  FONT_.INIT(FONT_);
  FONT_.S_IMAGE.M_FILENAME = assets::locate_or_stop("tiny_font.put");
  FONT_.LOAD(FONT_);
  SHEET_.INIT = IMAGE_INIT;
  SHEET_.INIT(SHEET_);
  SHEET_.M_FILENAME = assets::locate_or_stop("kv_bullet.put");
  SHEET_.LOAD(SHEET_);
  RED_ = NEAREST_RED();
  ASSETS_ = true;
}

void VIEWER::POLL(std::vector<std::string>& ERRORS) {
  const std::vector<FILE_CHANGE> CHANGES = WATCHER_.POLL();
  if (CHANGES.empty()) return;
  const fs::path CURRENT_PATH = FILES_.empty() ? fs::path() : FILES_[CURRENT_].PATH;
  bool CURRENT_LOADED = false;
  std::vector<PATTERN_FILE> NEXT;
  for (const fs::path& P : WATCHER_.FILES()) {
    const auto OLD = std::find_if(FILES_.begin(), FILES_.end(),
                                  [&P](const PATTERN_FILE& F) { return F.PATH == P; });
    PATTERN_FILE F = OLD != FILES_.end() ? std::move(*OLD) : PATTERN_FILE{P, std::nullopt, {}};
    const bool CHANGED = std::any_of(CHANGES.begin(), CHANGES.end(), [&P](const FILE_CHANGE& C) {
      return C.PATH == P && C.WHAT != FILE_CHANGE::KIND::REMOVED;
    });
    if (CHANGED) {
      // A file that no longer loads keeps its last good version playing.
      try {
        F.GOOD = volley::load_programme(P);
        F.ERROR.clear();
        if (P == CURRENT_PATH || CURRENT_PATH.empty()) CURRENT_LOADED = true;
      } catch (const std::exception& E) {
        if (F.ERROR != E.what()) ERRORS.emplace_back(E.what());
        F.ERROR = E.what();
      }
    }
    NEXT.push_back(std::move(F));
  }
  FILES_ = std::move(NEXT);
  const auto NOW =
      std::find_if(FILES_.begin(), FILES_.end(),
                   [&CURRENT_PATH](const PATTERN_FILE& F) { return F.PATH == CURRENT_PATH; });
  if (NOW != FILES_.end()) {
    CURRENT_ = static_cast<int32_t>(NOW - FILES_.begin());
    if (CURRENT_LOADED) RESTART();
  } else {
    // The current file is gone (or there was none): the one now at its place plays.
    CURRENT_ = std::clamp<int32_t>(CURRENT_, 0,
                                   std::max<int32_t>(static_cast<int32_t>(FILES_.size()) - 1, 0));
    RESTART();
  }
}

int32_t VIEWER::SETS() const {
  if (FILES_.empty() || !FILES_[CURRENT_].GOOD) return 0;
  return static_cast<int32_t>(FILES_[CURRENT_].GOOD->size());
}

void VIEWER::RESTART() {
  CANNON_.reset();
  SET_ = SET_FRAME_ = 0;
  FRESH_ = true;
  if (FILES_.empty() || !FILES_[CURRENT_].GOOD) return;
  CANNON_.emplace(*FILES_[CURRENT_].GOOD);
  // CHOICE: where the user dragged the cannon and pointed stays for every restart and file;
  // pinned by VolleyviewRun.PointerAimsAnAimedSetAndADragMovesTheCannon.
  if (FOLLOWING_) CANNON_->follow(FOLLOW_X_, FOLLOW_Y_);
  if (AIMING_) CANNON_->aim_at(AIM_X_, AIM_Y_);
}

void VIEWER::STEP() {
  const auto T0 = std::chrono::steady_clock::now();
  CANNON_->step();
  STEP_TIME_.ADD(MICROSECONDS_SINCE(T0));
  const int32_t APPLIED = CANNON_->turret().LISTINDEX;
  SET_FRAME_ = APPLIED != SET_ ? 1 : SET_FRAME_ + 1;
  SET_ = APPLIED;
}

void VIEWER::FRAME(const INPUT_TYPE& IN) {
  const int32_t N = static_cast<int32_t>(FILES_.size());
  // CHOICE: PageDown after the last file goes to the first and PageUp before the first to
  // the last; pinned by VolleyviewRun.KeysDriveFilesPauseStepAndRestart.
  if (N > 0 && IN.NEXT) {
    CURRENT_ = (CURRENT_ + 1) % N;
    RESTART();
  }
  if (N > 0 && IN.PREVIOUS) {
    CURRENT_ = (CURRENT_ + N - 1) % N;
    RESTART();
  }
  if (IN.RESTART) RESTART();
  if (IN.PAUSE) PAUSED_ = !PAUSED_;
  if (IN.OVERLAY) OVERLAY_ = !OVERLAY_;
  if (IN.POINTER_INSIDE) {
    AIMING_ = true;
    AIM_X_ = IN.X;
    AIM_Y_ = IN.Y;
    if (CANNON_) CANNON_->aim_at(AIM_X_, AIM_Y_);
  }
  if (IN.DRAGGING) {
    FOLLOWING_ = true;
    FOLLOW_X_ = IN.X;
    FOLLOW_Y_ = IN.Y;
    if (CANNON_) CANNON_->follow(FOLLOW_X_, FOLLOW_Y_);
  }
  // CHOICE: a cannon made in this frame (R, a file switch, a reload) is shown as it starts,
  // set 0 frame 0, and steps from the next frame on; pinned by
  // VolleyviewRun.KeysDriveFilesPauseStepAndRestart.
  if (CANNON_ && !FRESH_ && (!PAUSED_ || IN.STEP)) STEP();
  FRESH_ = false;
}

void VIEWER::DRAW(uint8_t* PAGE, double FPS) {
  const auto T0 = std::chrono::steady_clock::now();
  draw2d::box(PAGE, 0, 0, PAGE_W - 1, PAGE_H - 1, 0);
  if (CANNON_) NDESIGNER::DRAW_CANNON(PAGE, CANNON_->turret(), SHEET_);
  if (FILES_.empty()) {
    DRAW_ERROR(PAGE, "no pattern file is left");
  } else if (!FILES_[CURRENT_].ERROR.empty()) {
    DRAW_ERROR(PAGE, FILES_[CURRENT_].ERROR);
  }
  if (OVERLAY_) {
    std::vector<std::string> LINES;
    if (!FILES_.empty()) {
      LINES.push_back("file " + std::to_string(CURRENT_ + 1) + "/" + std::to_string(FILES_.size()) +
                      " " + FILES_[CURRENT_].PATH.filename().string());
    }
    LINES.push_back("set " + std::to_string(SET_) + "/" + std::to_string(SETS()) + " frame " +
                    std::to_string(SET_FRAME_));
    LINES.push_back("bullets " + std::to_string(CANNON_ ? CANNON_->live_bullets() : 0));
    LINES.push_back("step " + std::to_string(std::lround(STEP_US())) + " us draw " +
                    std::to_string(std::lround(DRAW_US())) + " us");
    LINES.push_back(std::to_string(std::lround(FPS)) + " fps" + (PAUSED_ ? " paused" : ""));
    FONT_.M_X = 1;
    FONT_.M_CENTERED = 0;
    for (std::size_t I = 0; I < LINES.size(); ++I) {
      FONT_.M_Y = 1 + static_cast<int32_t>(I) * LINE_HEIGHT;
      FONT_.M_TEXT = LINES[I];
      FONT_.DRAW(FONT_, PAGE);
    }
  }
  DRAW_TIME_.ADD(MICROSECONDS_SINCE(T0));
}

void VIEWER::DRAW_ERROR(uint8_t* PAGE, const std::string& TEXT) {
  // The glyphs are drawn onto a cleared strip and every pixel they set becomes red on the page.
  const std::vector<std::string> LINES = WRAP(TEXT, ERROR_COLUMNS);
  const int32_t H = static_cast<int32_t>(LINES.size()) * LINE_HEIGHT;
  std::vector<uint8_t> STRIP(draw2d::buffer_bytes(PAGE_W, H), 0);
  draw2d::write_header(STRIP.data(), PAGE_W, H);
  FONT_.M_X = 1;
  FONT_.M_CENTERED = 0;
  for (std::size_t I = 0; I < LINES.size(); ++I) {
    FONT_.M_Y = static_cast<int32_t>(I) * LINE_HEIGHT;
    FONT_.M_TEXT = LINES[I];
    FONT_.DRAW(FONT_, STRIP.data());
  }
  const int32_t ROWS = std::min(H, PAGE_H - ERROR_TOP);
  for (int32_t Y = 0; Y < ROWS; ++Y) {
    const uint8_t* FROM =
        STRIP.data() + draw2d::HEADER_BYTES + static_cast<std::size_t>(Y) * PAGE_W;
    uint8_t* TO = PAGE + draw2d::HEADER_BYTES + static_cast<std::size_t>(Y + ERROR_TOP) * PAGE_W;
    for (int32_t X = 0; X < PAGE_W; ++X)
      if (FROM[X] != 0) TO[X] = RED_;
  }
}

}  // namespace NVIEW
