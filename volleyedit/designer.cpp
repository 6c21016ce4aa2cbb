// volleyedit designer: start-up, frame loop, chooser and exit (namespace NDESIGNER).
#include "volleyedit/designer.hpp"

#include <algorithm>

#include "display/glfw2.hpp"
#include "draw2d/draw2d.hpp"
#include "image/asset_path.hpp"
#include "volleyedit/barrage_file.hpp"
#include "volleyedit/draw.hpp"
#include "volleyedit/menu.hpp"
#include "volleyedit/programme.hpp"

namespace NDESIGNER {

FRAME_CLOCK_TYPE FRAME_CLOCK;
REPEAT_KEY U_KEY{};
REPEAT_KEY D_KEY{};

namespace {

constexpr int32_t LAST_FILENUMBER = 999;

void ASK(const char* QUESTION, std::initializer_list<const char*> ANSWERS) {
  draw2d::console_print(QUESTION);
  draw2d::console_print("");
  for (const char* A : ANSWERS) draw2d::console_print(A);
  draw2d::console_print("");
}

}  // namespace

void BEGIN_FRAME() {
  const int32_t FRAME = FRAME_CLOCK.PRESENTED + 1;
  if (FRAME <= FRAME_CLOCK.BEGUN) return;
  FRAME_CLOCK.BEGUN = FRAME;
  if (FRAME_CLOCK.HOOKS.BEGIN_FRAME) FRAME_CLOCK.HOOKS.BEGIN_FRAME(FRAME);
}

void PRESENT(NDISPLAY::SCREEN_TYPE& VIDEO) {
  const int32_t FRAME = FRAME_CLOCK.PRESENTED + 1;
  if (FRAME_CLOCK.HOOKS.BEFORE_PRESENT) FRAME_CLOCK.HOOKS.BEFORE_PRESENT(FRAME);
  VIDEO.RENDER(VIDEO);
  FRAME_CLOCK.PRESENTED = FRAME;
  if (FRAME_CLOCK.HOOKS.AFTER_PRESENT) FRAME_CLOCK.HOOKS.AFTER_PRESENT(FRAME);
  if (FRAME_CLOCK.HOOKS.LAST_FRAME && FRAME_CLOCK.HOOKS.LAST_FRAME(FRAME)) FRAME_CLOCK.STOP = true;
}

SCREEN_SETTINGS_TYPE ASK_STARTUP() {
  // Three questions, one key each.
  draw2d::console_clear();
  ASK("Choose the number of your scale filter...",
      {"  [1] normal2x/software(default)", "  [2] scale2x/software", "  [3] scanline2x/software",
       "  [4] bilinear/OpenGL", "  [5] nearest/OpenGL", "  [6] none/software"});
  const int32_t CHOICE = ANSWER_VALUE(draw2d::console_read_key());
  ASK("Fullscreen?", {"  [1] Yes", "  [2] No(default)"});
  const int32_t FCHOICE = ANSWER_VALUE(draw2d::console_read_key());
  ASK("16 bits or 32 bits", {"  [1] 16", "  [2] 32(default)"});
  const int32_t BCHOICE = ANSWER_VALUE(draw2d::console_read_key());
  // The answers become a screen mode, a colour depth and a window or full screen.
  return SCREEN_SETTINGS(CHOICE, FCHOICE, BCHOICE);
}

void START(DESIGNER_TYPE& D, const SCREEN_SETTINGS_TYPE& S) {
  // The display.
  D.VIDEO.INIT = NDISPLAY::INIT;
  D.VIDEO.INIT(D.VIDEO);
  D.VIDEO.SET_SCREEN(D.VIDEO, S.SCREEN_MODE, S.BITS_PER_PIXEL, S.FULL_SCREEN);
  // The palette.
  INIT_PALETTE_DATA(assets::locate_or_stop("korvane.pal"));
  // The two fonts.
  D.FONT.INIT = NFONT::INIT;
  D.FONT.INIT(D.FONT);
  D.FONT.S_IMAGE.M_FILENAME = assets::locate_or_stop("tiny_font.put");
  D.FONT.LOAD(D.FONT);
  D.BFONT.INIT = NFONT::INIT;
  D.BFONT.INIT(D.BFONT);
  D.BFONT.S_IMAGE.M_FILENAME = assets::locate_or_stop("qzfntdg.put");
  D.BFONT.LOAD(D.BFONT);
  // The bullet sheet.
  D.S_IMAGE.INIT = IMAGE_INIT;
  D.S_IMAGE.INIT(D.S_IMAGE);
  D.S_IMAGE.M_FILENAME = assets::locate_or_stop("kv_bullet.put");
  D.S_IMAGE.LOAD(D.S_IMAGE);
  // Cannons, parameter sets, menu.
  CREATE_CANNONS(D.PARAMETERS);
  // Key states.
  RESET_KEYS(D.KEYS);
  START_PROGRAMME();
  // The keyboard source: scan codes, or GLFW key codes when an OpenGL window is open.
  // DEVIATION(keyboard-source-flag): DISPLAY_TYPE keeps "an OpenGL window is open" as 1
  // rather than the version text's address cut to 32 bits, which could read 0 for a valid
  // address on a 64-bit system; pinned by Golden/DesignerSession.MatchesItsGoldenDigest/menu_keys
  // (keys in the software mode) and CaptureWindow.DesignerCapturesInAnOpenGlMode (keys in
  // OpenGL).
  DISPLAY_TYPE = D.VIDEO.DISPLAY.GLVER != nullptr ? 1 : 0;
}

int32_t KEY_DOWN(KEY K) {
  if (HELD_BACK_WHILE_PLAYING(K)) return 0;
  if (DISPLAY_TYPE == 0) return draw2d::key_state(SCAN_CODE(K));
  return glfw2::GetKey(GLFW2_CODE(K));
}

bool RUN_FRAME(DESIGNER_TYPE& D) {
  BEGIN_FRAME();
  uint8_t* PAGE = D.VIDEO.P_VPAGE;
  // Clear the page.
  draw2d::box(PAGE, 0, 0, NDISPLAY::PAGE_W - 1, NDISPLAY::PAGE_H - 1, 0);
  // Selection and edits.
  MENU_KEYS(D.KEYS, KEY_DOWN);
  // Bar and row numbers.
  DRAWMENU(PAGE, ACTIVEINDEX, HIGHLIGHT_COLOUR, D.FONT);
  // The cannons holding exactly -1 are stepped and drawn.
  for (int32_t I = 0; I < CANNON_COUNT; ++I) {
    NBARRAGE::TURRET_TYPE& C = CANNON[I];
    // CHOICE: a played programme steps cannon 0 in every frame, as the library's cannon does (a
    // set may switch the cannon off for a while and a later one on again); it is drawn while
    // its ACTIVE is -1. Pinned by
    // VolleyeditProgramme.ScriptedSessionSavesAndPlaysTheProgrammeAsTheLibraryDoes.
    const bool PLAYED = I == 0 && PROGRAMME.PLAYING;
    if (C.ACTIVE != -1 && !PLAYED) continue;
    C.SHOOT(C, C.LIST_MANAGE(C, 0, 0));
    if (!PLAYED || C.ACTIVE == -1) DRAW_CANNON(PAGE, C, D.S_IMAGE);
  }
  // F1 saves.
  if (STEP_PRESS(D.KEYS.SAVE, KEY_DOWN(KEY::F1))) SAVE_DATA(SAVE_FILENAME);
  // F2 loads and applies; a file that could not be read leaves menu and cannon alone
  // (LOAD_DATA reports it and returns false).
  if (STEP_PRESS(D.KEYS.LOAD, KEY_DOWN(KEY::F2))) {
    if (LOAD_DATA(LOAD_FILENAME)) APPLY_LOADED_MENU();
  }
  // CHOICE: F4 offers the numbered-file chooser, loading as F2 does; pinned by
  // Golden/DesignerSession.MatchesItsGoldenDigest/chooser.
  if (STEP_PRESS(D.KEYS.CHOOSE, KEY_DOWN(KEY::F4))) {
    if (LOAD_BARRAGE(D.VIDEO, D.CHOSEN, D.FONT) == -1) {
      if (LOAD_DATA(D.CHOSEN)) APPLY_LOADED_MENU();
    } else {
      // CHOICE: the Escape that cancels the chooser does not also quit the designer; it counts
      // again once released. Pinned by Golden/DesignerSession.MatchesItsGoldenDigest/chooser.
      D.ESCAPE_LATCHED = true;
    }
    if (FRAME_CLOCK.STOP) return false;
    BEGIN_FRAME();  // the rest of this pass belongs to the next page
  }
  PROGRAMME_KEYS(KEY_DOWN);
  // Statistics.
  DRAW_STATS(PAGE, 0, D.FONT);
  // Present.
  PRESENT(D.VIDEO);
  // A 1 ms pause.
  draw2d::sleep_ms(1, false);
  // Escape ends the loop.
  int32_t ESCAPE = KEY_DOWN(KEY::ESCAPE);
  if (D.ESCAPE_LATCHED) {
    if (ESCAPE == 0) D.ESCAPE_LATCHED = false;
    ESCAPE = 0;
  }
  return ESCAPE == 0 && !FRAME_CLOCK.STOP;
}

void SHUTDOWN(DESIGNER_TYPE& D) {
  STOP_PLAYING();  // the edited cannon 0 comes back first, so both are destroyed below
  // The cannons and their block, the sheet and fonts, then the screen.
  DESTROY_CANNONS();
  D.S_IMAGE.DESTROY(D.S_IMAGE);
  D.FONT.DESTROY(D.FONT);
  D.BFONT.DESTROY(D.BFONT);
  D.VIDEO.END_SCREEN(D.VIDEO);
  D.VIDEO.DESTROY(D.VIDEO);
}

std::string BARRAGE_NAME(int32_t N) { return "barrage_" + std::to_string(N) + ".vly"; }

void CHOOSER_KEYS(int32_t& FILENUMBER, int32_t UP, int32_t DOWN) {
  if (STEP_REPEAT(U_KEY, UP)) FILENUMBER = std::max(FILENUMBER - 1, 0);
  if (STEP_REPEAT(D_KEY, DOWN)) FILENUMBER = std::min(FILENUMBER + 1, LAST_FILENUMBER);
}

int32_t LOAD_BARRAGE(NDISPLAY::SCREEN_TYPE& VIDEO, std::string& FILENAME, FONTTYPE& FONT) {
  int32_t FILENUMBER = 0;
  int32_t FINISHED = 0;
  for (;;) {
    BEGIN_FRAME();
    // Up and Down choose the number.
    CHOOSER_KEYS(FILENUMBER, KEY_DOWN(KEY::UP), KEY_DOWN(KEY::DOWN));
    // The box and the name, over whatever the page holds.
    draw2d::box(VIDEO.P_VPAGE, 60, 60, 160, 120, CHOOSER_COLOUR);
    FONT.M_X = 100;
    FONT.M_Y = 90;
    FONT.M_TEXT = BARRAGE_NAME(FILENUMBER);
    FONT.DRAW(FONT, VIDEO.P_VPAGE);
    // Escape cancels at once; this pass is not presented.
    if (KEY_DOWN(KEY::ESCAPE) != 0) return 0;
    // Enter confirms after this pass.
    if (KEY_DOWN(KEY::ENTER) != 0) FINISHED = -1;
    draw2d::sleep_ms(1, false);
    PRESENT(VIDEO);
    if (FINISHED != 0) {
      // CHOICE: the confirmed name reaches the caller through FILENAME; pinned by
      // Golden/DesignerSession.MatchesItsGoldenDigest/chooser.
      FILENAME = BARRAGE_NAME(FILENUMBER);
      return -1;
    }
    if (FRAME_CLOCK.STOP) return 0;
  }
}

}  // namespace NDESIGNER
