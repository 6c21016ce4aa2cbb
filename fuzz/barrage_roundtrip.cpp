// Fuzz target: what is saved loads back bit for bit.
// Input: 140 bytes of raw menu values, then pairs (operation, row) that edit the start-up
// menu as the designer's keys do (Right, Left, F3, Tab, and a load of the next 140 bytes).
// Saving: any 35 values saved give a file whose 140 bytes are exactly their little-endian
//    bits, and a save over a longer file keeps the bytes beyond 140.
// Round trip: a menu reached by edits and loads, saved and loaded again, is unchanged.
#include <bit>
#include <cstring>
#include <string>

#include "fuzz/fuzz_common.hpp"
#include "leakscope/leakscope.hpp"
#include "volleyedit/barrage_file.hpp"
#include "volleyedit/designer_state.hpp"
#include "volleyedit/menu.hpp"

namespace {

using namespace NDESIGNER;

void BITS_OF_MENU(uint32_t (&OUT)[BARRAGE_VALUES]) {
  for (int32_t K = 0; K < BARRAGE_VALUES; ++K) OUT[K] = std::bit_cast<uint32_t>(MENU[K].VALUE);
}

// The key the scripted frame holds (COUNT: none).
KEY HELD = KEY::COUNT;
int32_t READ_KEY(KEY K) { return K == HELD ? -1 : 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* DATA, std::size_t SIZE) {
  const std::size_t BLOCKS = LEAKSCOPE_COUNT();
  const std::string SAVED = volley_fuzz::scratch_dir() + "/saved.vly";
  const std::string LONGER = volley_fuzz::scratch_dir() + "/longer.vly";
  std::remove(SAVED.c_str());

  NBARRAGE::TURRET_PARAM_TYPE PARAMETERS{};
  CREATE_CANNONS(PARAMETERS);

  // Saving raw values, not-a-number payloads and negative zeros included.
  uint8_t RAW[BARRAGE_BYTES] = {};
  std::memcpy(RAW, DATA, SIZE < BARRAGE_BYTES ? SIZE : BARRAGE_BYTES);
  float KEEP[BARRAGE_VALUES];
  DECODE_BARRAGE(RAW, BARRAGE_BYTES, KEEP);
  for (int32_t K = 0; K < BARRAGE_VALUES; ++K) MENU[K].VALUE = KEEP[K];
  FUZZ_CHECK(SAVE_DATA(SAVED), "a save into the scratch directory succeeds");
  std::string FILE = volley_fuzz::read_file(SAVED);
  FUZZ_CHECK(FILE.size() == BARRAGE_BYTES && std::memcmp(FILE.data(), RAW, BARRAGE_BYTES) == 0,
             "the file holds the values' bits exactly");
  std::string TAIL(60, '\0');
  for (std::size_t I = 0; I < TAIL.size(); ++I) TAIL[I] = static_cast<char>(SIZE + 7 * I);
  const std::string OLD = std::string(BARRAGE_BYTES, 'x') + TAIL;
  volley_fuzz::write_file("longer.vly", reinterpret_cast<const uint8_t*>(OLD.data()), OLD.size());
  FUZZ_CHECK(SAVE_DATA(LONGER), "a save over a longer file succeeds");
  FILE = volley_fuzz::read_file(LONGER);
  FUZZ_CHECK(FILE.size() == OLD.size() && FILE.compare(BARRAGE_BYTES, TAIL.size(), TAIL) == 0,
             "bytes beyond 140 of a longer file stay");

  // Round trip: back to the start-up menu, then edits (Right, Left, F3, Tab or a load).
  DESTROY_CANNONS();
  CREATE_CANNONS(PARAMETERS);
  EDIT_KEYS_TYPE KEYS;
  RESET_KEYS(KEYS);
  std::size_t AT = BARRAGE_BYTES;
  while (AT + 2 <= SIZE) {
    const uint8_t OP = DATA[AT] % 5;
    ACTIVEINDEX = DATA[AT + 1] % SELECTABLE_ROWS;
    AT += 2;
    if (OP < 4) {
      // One frame with the key down, one with it up, through the designer's key logic.
      static const KEY OPS[4] = {KEY::RIGHT, KEY::LEFT, KEY::F3, KEY::TAB};
      HELD = OPS[OP];
      MENU_KEYS(KEYS, READ_KEY);
      HELD = KEY::COUNT;
      MENU_KEYS(KEYS, READ_KEY);
    } else {
      const std::size_t N = SIZE - AT < BARRAGE_BYTES ? SIZE - AT : BARRAGE_BYTES;
      volley_fuzz::write_file("edit.vly", DATA + AT, N);
      AT += N;
      if (LOAD_DATA(volley_fuzz::scratch_dir() + "/edit.vly")) APPLY_LOADED_MENU();
    }
  }
  uint32_t BEFORE[BARRAGE_VALUES], AFTER[BARRAGE_VALUES];
  BITS_OF_MENU(BEFORE);
  FUZZ_CHECK(SAVE_DATA(SAVED), "a save of the edited menu succeeds");
  for (int32_t K = 0; K < BARRAGE_VALUES; ++K) MENU[K].VALUE = 12345.0f;
  FUZZ_CHECK(LOAD_DATA(SAVED), "the saved file loads");
  BITS_OF_MENU(AFTER);
  for (int32_t K = 0; K < BARRAGE_VALUES; ++K)
    FUZZ_CHECK(BEFORE[K] == AFTER[K], "a saved menu loads back bit for bit");

  DESTROY_CANNONS();
  FUZZ_CHECK(LEAKSCOPE_COUNT() == BLOCKS, "the cannons return every block");
  return 0;
}
