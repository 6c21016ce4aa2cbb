// Fuzz target: what is saved loads back bit for bit.
// Input: 140 bytes of raw menu values, then pairs (operation, row) that edit the start-up
// menu as the designer's keys do (Right, Left, F3, Tab, and a load of the next 140 bytes).
// Saving: any 35 values saved give a file whose 140 bytes are exactly their little-endian
//    bits.
// Round trip: a menu reached by edits and loads, saved and loaded again, is unchanged.
#include <algorithm>
#include <cstring>
#include <string>

#include "fuzz/fuzz_common.hpp"
#include "volleyedit/barrage_file.hpp"
#include "volleyedit/designer_state.hpp"
#include "volleyedit/menu.hpp"

namespace {

using namespace NDESIGNER;

KEY HELD = KEY::COUNT;  // the key the scripted frame holds (COUNT: none)
int32_t READ_KEY(KEY K) { return K == HELD ? -1 : 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* DATA, std::size_t SIZE) {
  const volley_fuzz::SameBlocks BLOCKS;  // the cannons return every block
  // Saving raw values, not-a-number payloads and negative zeros included.
  std::string RAW(BARRAGE_BYTES, '\0');
  std::memcpy(RAW.data(), DATA, std::min(SIZE, BARRAGE_BYTES));
  for (int32_t K = 0; K < BARRAGE_VALUES; ++K) std::memcpy(&MENU[K].VALUE, &RAW[4 * K], 4);
  const std::string SAVED = volley_fuzz::scratch_dir() + "/saved.vly";
  FUZZ_CHECK(SAVE_DATA(SAVED), "a save into the scratch directory succeeds");
  FUZZ_CHECK(volley_fuzz::read_file(SAVED) == RAW, "the file holds the values' bits exactly");

  // Round trip: from the start-up menu, edits (Right, Left, F3, Tab or a load).
  NBARRAGE::TURRET_PARAM_TYPE PARAMETERS{};
  CREATE_CANNONS(PARAMETERS);
  EDIT_KEYS_TYPE KEYS;
  RESET_KEYS(KEYS);
  for (std::size_t AT = BARRAGE_BYTES; AT + 2 <= SIZE;) {
    const uint8_t OP = DATA[AT++] % 5;
    ACTIVEINDEX = DATA[AT++] % SELECTABLE_ROWS;
    const std::size_t N = OP == 4 ? std::min(SIZE - AT, BARRAGE_BYTES) : 0;
    if (OP == 4 && LOAD_DATA(volley_fuzz::write_file("edit.vly", DATA + AT, N)))
      APPLY_LOADED_MENU();
    AT += N;
    // A key: one frame with it down, one with it up, through the designer's key logic (after a
    // load, two frames with no key held).
    static const KEY OPS[5] = {KEY::RIGHT, KEY::LEFT, KEY::F3, KEY::TAB, KEY::COUNT};
    for (KEY K : {OPS[OP], KEY::COUNT}) {
      HELD = K;
      MENU_KEYS(KEYS, READ_KEY);
    }
  }
  MENU_TYPE BEFORE[MENU_ROWS];
  std::memcpy(BEFORE, MENU, sizeof MENU);
  FUZZ_CHECK(SAVE_DATA(SAVED), "a save of the edited menu succeeds");
  for (MENU_TYPE& M : MENU) M.VALUE = 12345.0f;
  FUZZ_CHECK(LOAD_DATA(SAVED), "the saved file loads");
  FUZZ_CHECK(std::memcmp(BEFORE, MENU, sizeof MENU) == 0, "a saved menu loads back bit for bit");
  DESTROY_CANNONS();
  return 0;
}
