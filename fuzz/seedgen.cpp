// Writes the binary seeds of the fuzz targets into DIR/<target>/: our generated assets (run
// directory), cut short or as they are, barrage files saved by SAVE_DATA and bitmap strips
// made here. The text seeds (key scripts, command lines, a .json programme) are plain files
// kept beside them. Usage: fuzz_seedgen DIR. Deterministic: the same tree gives the same seeds.
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>

#include "fuzz/fuzz_common.hpp"
#include "volleyedit/barrage_file.hpp"
#include "volleyedit/designer_state.hpp"
#include "volleyedit/menu.hpp"

namespace {

using BYTES = std::string;
std::filesystem::path OUT;

// Writes seed PATH ("target/name"); the two bitmap targets share their seeds.
void SEED(const BYTES& PATH, const BYTES& B) {
  std::filesystem::create_directories((OUT / PATH).parent_path());
  std::ofstream(OUT / PATH, std::ios::binary) << B;
  if (PATH.starts_with("bitmap_edit/")) SEED("bitmap_play/" + PATH.substr(12), B);
}

// The N low bytes of V, little-endian.
BYTES LE(uint32_t V, int N) { return BYTES(reinterpret_cast<const char*>(&V), N); }

// The bitmap target's input: loader, tile size, frame size, frame list, then a 24 x 8 8-bit
// bitmap (bottom-up unless TOP_DOWN) of three 8 x 8 frames with a grey palette.
BYTES BITMAP(uint32_t LOADER, uint32_t TILE, uint32_t SIZE, const BYTES& LIST, bool TOP_DOWN) {
  BYTES B = LE(LOADER | TILE << 8 | TILE << 16, 3) + LE(SIZE, 2) + LE(SIZE, 2) +
            LE(static_cast<uint32_t>(LIST.size()), 2) + LIST + "BM";
  for (uint32_t V : {1078u + 24 * 8, 0u, 1078u, 40u, 24u, TOP_DOWN ? 0u - 8 : 8u,
                     1u | 8u << 16, 0u, 0u, 0u, 0u, 256u, 0u})  // planes | bits per pixel
    B += LE(V, 4);
  for (uint32_t I = 0; I < 256; ++I) B += LE(I * 0x010101u, 4);
  for (int I = 0; I < 24 * 8; ++I) B += static_cast<char>((I % 24) / 8 * 5 + (I / 24 + I) % 3);
  return B;
}

// The menu as SAVE_DATA writes it.
BYTES SAVED_MENU() {
  const std::string PATH = volley_fuzz::scratch_dir() + "/menu.vly";
  FUZZ_CHECK(NDESIGNER::SAVE_DATA(PATH), "the menu saves");
  return volley_fuzz::read_file(PATH);
}

BYTES RUN(const char* NAME) { return volley_fuzz::read_file(VOLLEY_RUN_DIR "/" + BYTES(NAME)); }

}  // namespace

int main(int ARGC, char** ARGV) {
  LLVMFuzzerInitialize(nullptr, nullptr);
  FUZZ_CHECK(ARGC == 2, "usage: fuzz_seedgen DIR");
  OUT = ARGV[1];
  for (const char* NAME : {"kv_bullet.put", "bullet.put", "tiny_font.put", "korvane.pal", "qz.pal"})
    SEED(BYTES(std::strstr(NAME, ".put") ? "put_sheet/" : "palette/") + NAME, RUN(NAME));
  SEED("put_sheet/cut_short.put", RUN("bullet.put").substr(0, 100));
  SEED("put_sheet/three_bytes.put", BYTES("\xFD\0\0", 3));
  SEED("palette/short.pal", RUN("qz.pal").substr(0, 10));
  const BYTES LIST = "96\n2\na,0,0,8,8,0\n\"b,c\",1,8,8,8,33\nd,2,16,8,-8,900\n";
  SEED("bitmap_edit/single.bin", BITMAP(0, 0, 24, "", false));
  SEED("bitmap_edit/tiles.bin", BITMAP(1, 8, 0, "", true));
  SEED("bitmap_edit/tiles_odd.bin", BITMAP(1, 3, 0, "", false));
  SEED("bitmap_edit/list.bin", BITMAP(2, 0, 0, LIST, false));
  SEED("bitmap_edit/not_a_bitmap.bin", BITMAP(2, 4, 8, LIST, false).substr(0, 9 + LIST.size() + 4));

  NBARRAGE::TURRET_PARAM_TYPE PARAMETERS{};
  NDESIGNER::CREATE_CANNONS(PARAMETERS);
  const BYTES START = SAVED_MENU();
  SEED("barrage_load/startup.vly", START);
  SEED("programme_vly/startup.vly", START);
  SEED("barrage_load/six_bytes.vly", START.substr(0, 6));
  SEED("barrage_load/longer.vly", START + BYTES(60, '\x7F'));
  // Raw values, then (operation, row) pairs; operation 4 loads the next 140 bytes.
  SEED("barrage_roundtrip/edits.bin", START + BYTES("\0\6\0\30\0\26\1\6\1\4\2\6\3\0", 14));
  SEED("barrage_roundtrip/load_then_edit.bin", START + "\4" + '\0' + START + '\0' + "!\1\f");
  // MAXBULLET, CURRENT_MIN_FRAME past the sheet, BULLETSPEED, XV, the bouncing rotation rule.
  const std::pair<int, float> EXTREMES[] = {{19, 1e9f}, {32, 998.0f}, {24, INFINITY}, {6, NAN},
                                            {34, 1.0f}};
  for (const auto& [ROW, VALUE] : EXTREMES) NDESIGNER::MENU[ROW].VALUE = VALUE;
  SEED("barrage_load/extremes.vly", SAVED_MENU());
  NDESIGNER::DESTROY_CANNONS();
}
