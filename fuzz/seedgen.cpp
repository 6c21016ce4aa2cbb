// Writes the binary seeds of the fuzz targets into DIR/<target>/: our generated assets (run
// directory), cut short or as they are, barrage files saved by SAVE_DATA and bitmap strips
// made here. The text seeds (key scripts, command lines, a .json programme) are plain files
// kept beside them. Usage: fuzz_seedgen DIR. Deterministic: the same tree gives the same seeds.
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <utility>

#include "fuzz/fuzz_common.hpp"
#include "volleyedit/barrage_file.hpp"
#include "volleyedit/designer_state.hpp"
#include "volleyedit/menu.hpp"

namespace {

using BYTES = std::string;

BYTES LE(uint32_t V, int N) {
  BYTES B;
  for (int I = 0; I < N; ++I) B += static_cast<char>(V >> (8 * I));
  return B;
}

// A 24 x 8 8-bit bitmap (bottom-up unless TOP_DOWN) of three 8 x 8 frames, grey palette.
BYTES BMP(bool TOP_DOWN) {
  BYTES B = "BM";
  for (uint32_t V : {1078u + 24 * 8, 0u, 1078u, 40u, 24u, TOP_DOWN ? 0u - 8 : 8u,
                     1u | 8u << 16, 0u, 0u, 0u, 0u, 256u, 0u})  // planes | bits per pixel
    B += LE(V, 4);
  for (uint32_t I = 0; I < 256; ++I) B += LE(I * 0x010101u, 4);
  for (int I = 0; I < 24 * 8; ++I) B += static_cast<char>((I % 24) / 8 * 5 + (I / 24 + I) % 3);
  return B;
}

// The bitmap target's input: loader, tile size, frame size, frame list, bitmap file.
BYTES BITMAP(uint32_t LOADER, uint32_t TILE, uint32_t SIZE, const BYTES& LIST, const BYTES& FILE) {
  const uint32_t LENGTH = static_cast<uint32_t>(LIST.size());
  return LE(LOADER | TILE << 8 | TILE << 16, 3) + LE(SIZE, 2) + LE(SIZE, 2) + LE(LENGTH, 2) +
         LIST + FILE;
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
  volley_fuzz::init_process();
  FUZZ_CHECK(ARGC == 2, "usage: fuzz_seedgen DIR");
  NBARRAGE::TURRET_PARAM_TYPE PARAMETERS{};
  NDESIGNER::CREATE_CANNONS(PARAMETERS);
  const BYTES START = SAVED_MENU();
  using NDESIGNER::MENU;
  MENU[19].VALUE = 1e9f;                                    // MAXBULLET
  MENU[32].VALUE = 998.0f;                                  // CURRENT_MIN_FRAME past the sheet
  MENU[24].VALUE = std::numeric_limits<float>::infinity();  // BULLETSPEED
  MENU[6].VALUE = std::numeric_limits<float>::quiet_NaN();  // XV
  MENU[34].VALUE = 1.0f;                                    // the bouncing rotation rule
  const BYTES EXTREMES = SAVED_MENU();
  NDESIGNER::DESTROY_CANNONS();
  const BYTES LIST = "96\n2\na,0,0,8,8,0\n\"b,c\",1,8,8,8,33\nd,2,16,8,-8,900\n";
  const BYTES UP = BMP(false), DOWN = BMP(true);
  // Each seed: target directory and name, bytes.
  const std::pair<std::string, BYTES> SEEDS[] = {
      {"put_sheet/kv_bullet.put", RUN("kv_bullet.put")},
      {"put_sheet/bullet.put", RUN("bullet.put")},
      {"put_sheet/tiny_font.put", RUN("tiny_font.put")},
      {"put_sheet/cut_short.put", RUN("bullet.put").substr(0, 100)},
      {"put_sheet/three_bytes.put", BYTES("\xFD\0\0", 3)},
      {"palette/korvane.pal", RUN("korvane.pal")},
      {"palette/qz.pal", RUN("qz.pal")},
      {"palette/short.pal", RUN("qz.pal").substr(0, 10)},
      {"bitmap_edit/single.bin", BITMAP(0, 0, 24, "", UP)},
      {"bitmap_edit/tiles.bin", BITMAP(1, 8, 0, "", DOWN)},
      {"bitmap_edit/tiles_odd.bin", BITMAP(1, 3, 0, "", UP)},
      {"bitmap_edit/list.bin", BITMAP(2, 0, 0, LIST, UP)},
      {"bitmap_edit/not_a_bitmap.bin", BITMAP(2, 4, 8, LIST, "BM\1\2")},
      {"barrage_load/startup.vly", START},
      {"barrage_load/six_bytes.vly", START.substr(0, 6)},
      {"barrage_load/longer.vly", START + BYTES(60, '\x7F')},
      {"barrage_load/extremes.vly", EXTREMES},
      // Raw values, then (operation, row) pairs; operation 4 loads the next 140 bytes.
      {"barrage_roundtrip/edits.bin",
       START + BYTES("\0\6\0\30\0\26\1\6\1\4\2\6\3\0", 14)},
      {"barrage_roundtrip/load_then_edit.bin",
       START + BYTES("\4\0", 2) + START + BYTES("\0!\1\f", 4)},
      {"programme_vly/startup.vly", START}};
  const auto WRITE = [ARGV](const BYTES& PATH, const BYTES& B) {
    const std::filesystem::path FILE = std::filesystem::path(ARGV[1]) / PATH;
    std::filesystem::create_directories(FILE.parent_path());
    std::ofstream(FILE, std::ios::binary) << B;
  };
  for (const auto& [PATH, B] : SEEDS) {
    WRITE(PATH, B);
    // The two bitmap targets share their seeds.
    if (PATH.starts_with("bitmap_edit/")) WRITE("bitmap_play/" + PATH.substr(12), B);
  }
  return 0;
}
