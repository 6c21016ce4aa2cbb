// Writes the seed corpora of the fuzz targets into DIR/<target>/ from our own generated assets
// (run directory) and our own writers (barrage files through SAVE_DATA, a bitmap strip made
// here). Usage: fuzz_seedgen DIR. Deterministic: the same tree gives the same seeds.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "draw2d/draw2d.hpp"
#include "leakscope/leakscope.hpp"
#include "lib/src/formats.hpp"
#include "volleyedit/barrage_file.hpp"
#include "volleyedit/designer_state.hpp"
#include "volleyedit/menu.hpp"

namespace {

namespace fs = std::filesystem;
using BYTES = std::string;

fs::path OUT;

BYTES READ(const fs::path& P) {
  std::ifstream IN(P, std::ios::binary);
  return BYTES(std::istreambuf_iterator<char>(IN), std::istreambuf_iterator<char>());
}

void WRITE(const std::string& TARGET, const std::string& NAME, const BYTES& B) {
  fs::create_directories(OUT / TARGET);
  std::ofstream(OUT / TARGET / NAME, std::ios::binary) << B;
}

void PUT(BYTES& B, uint32_t V, int N) {
  for (int I = 0; I < N; ++I) B += static_cast<char>(V >> (8 * I));
}

// A 24 x 8 8-bit bitmap (bottom-up unless TOP_DOWN) of three 8 x 8 frames, grey palette.
BYTES BMP(bool TOP_DOWN) {
  BYTES B = "BM";
  for (uint32_t V : {1078u + 24 * 8, 0u, 1078u, 40u, 24u, TOP_DOWN ? 0u - 8 : 8u}) PUT(B, V, 4);
  PUT(B, 1 | 8 << 16, 4);  // planes, bits per pixel
  for (uint32_t V : {0u, 0u, 0u, 0u, 256u, 0u}) PUT(B, V, 4);
  for (uint32_t I = 0; I < 256; ++I) PUT(B, I * 0x010101u, 4);
  for (int I = 0; I < 24 * 8; ++I) B += static_cast<char>((I % 24) / 8 * 5 + (I / 24 + I) % 3);
  return B;
}

// Input of the bitmap target: loader, tile size, frame size, frame list, bitmap.
BYTES BITMAP_INPUT(int LOADER, int TILE, int SIZE, const BYTES& LIST, const BYTES& FILE) {
  BYTES B{static_cast<char>(LOADER), static_cast<char>(TILE), static_cast<char>(TILE)};
  for (std::size_t V : {std::size_t(SIZE), std::size_t(SIZE), LIST.size()}) PUT(B, uint32_t(V), 2);
  return B + LIST + FILE;
}

// The menu as SAVE_DATA writes it.
BYTES SAVED_MENU() {
  const fs::path P = OUT / ".menu";
  NDESIGNER::SAVE_DATA(P.string());
  const BYTES B = READ(P);
  fs::remove(P);
  return B;
}

void ASSETS(const fs::path& RUN) {
  for (const char* NAME : {"kv_bullet.put", "bullet.put", "tiny_font.put"})
    WRITE("put_sheet", NAME, READ(RUN / NAME));
  WRITE("put_sheet", "cut_short.put", READ(RUN / "bullet.put").substr(0, 100));
  WRITE("put_sheet", "three_bytes.put", BYTES("\xFD\0\0", 3));
  for (const char* NAME : {"korvane.pal", "qz.pal"}) WRITE("palette", NAME, READ(RUN / NAME));
  WRITE("palette", "short.pal", READ(RUN / "qz.pal").substr(0, 10));
  const BYTES UP = BMP(false), DOWN = BMP(true);
  const BYTES LIST = "96\n2\na,0,0,8,8,0\n\"b,c\",1,8,8,8,33\nd,2,16,8,-8,900\n";
  for (const char* T : {"bitmap_edit", "bitmap_play"}) {
    WRITE(T, "single.bin", BITMAP_INPUT(0, 0, 24, "", UP));
    WRITE(T, "tiles.bin", BITMAP_INPUT(1, 8, 0, "", DOWN));
    WRITE(T, "tiles_odd.bin", BITMAP_INPUT(1, 3, 0, "", UP));
    WRITE(T, "list.bin", BITMAP_INPUT(2, 0, 0, LIST, UP));
    WRITE(T, "not_a_bitmap.bin", BITMAP_INPUT(2, 4, 8, LIST, "BM\1\2"));
  }
}

void BARRAGES() {
  NBARRAGE::TURRET_PARAM_TYPE PARAMETERS{};
  NDESIGNER::CREATE_CANNONS(PARAMETERS);
  const BYTES START = SAVED_MENU();
  WRITE("barrage_load", "startup.vly", START);
  WRITE("barrage_load", "six_bytes.vly", START.substr(0, 6));
  WRITE("barrage_load", "longer.vly", START + BYTES(60, '\x7F'));
  using NDESIGNER::MENU;
  MENU[19].VALUE = 1e9f;                                    // MAXBULLET
  MENU[32].VALUE = 998.0f;                                  // CURRENT_MIN_FRAME past the sheet
  MENU[24].VALUE = std::numeric_limits<float>::infinity();  // BULLETSPEED
  MENU[6].VALUE = std::numeric_limits<float>::quiet_NaN();  // XV
  MENU[34].VALUE = 1.0f;                                    // the bouncing rotation rule
  WRITE("barrage_load", "extremes.vly", SAVED_MENU());
  NDESIGNER::DESTROY_CANNONS();
  // Round trip: raw values, then (operation, row) pairs; operation 4 loads the next 140 bytes.
  WRITE("barrage_roundtrip", "edits.bin",
        START + BYTES("\0\6\0\30\0\26\1\6\1\4\2\6\3\0", 14));
  WRITE("barrage_roundtrip", "load_then_edit.bin",
        START + BYTES("\4\0", 2) + START + BYTES("\0\41\1\14", 4));
  // Programmes: the designer's start-up file, and as .json with a second, delayed set.
  WRITE("programme_vly", "startup.vly", START);
  volley::Programme P = volley::detail::parse_vly(
      reinterpret_cast<const uint8_t*>(START.data()), START.size(), "start");
  P.push_back(P[0]);
  P[1].DELAY = 90;
  WRITE("programme_json", "two_sets.json", volley::programme_json(P));
}

void SCRIPTS_AND_OPTIONS() {
  WRITE("key_script", "edit_and_save.keys",
        "# hold Right on row 0, then F1\n1 Down down\n2 Down up\n3 Right down\n14 Right up\n"
        "15 F1 down\n16 F1 up\n17 F2 down\r\n18 F2 up\n19 Tab down\n20 Tab up\n");
  WRITE("key_script", "chooser.keys",
        "1 F4 down\n2 F4 up\n3 Down down\n9 Down up\n10 Enter down\n11 Enter up\n"
        "12 F4 down\n13 F4 up\n14 Escape down\n15 Escape up\n20 Escape down\n");
  WRITE("key_script", "bad_line.keys", "1 Right down\n2 Sideways up\n");
  // Command lines, the arguments separated by NUL bytes.
  using namespace std::string_literals;
  int N = 0;
  for (const std::string& LINE :
       {"--headless\0--frames\0" "600"s, "--png\0shot%05d.png\0--png-every\0" "3"s,
        "--gif=run.gif\0--gif-every=2\0--keys\0k.keys\0--trace\0t.jsonl\0--trace-from\0" "2"s,
        "--png\0%s%n.png"s, "--frames\0" "1\0--frames\0" "2"s})
    WRITE("options", "line" + std::to_string(++N) + ".args", LINE);
}

}  // namespace

int main(int ARGC, char** ARGV) {
  LEAKSCOPE_SET_EXIT_WAIT(false);
  draw2d::set_headless(true);
  if (ARGC != 2) return std::fputs("usage: fuzz_seedgen DIR\n", stderr), 2;
  OUT = ARGV[1];
  ASSETS(VOLLEY_RUN_DIR);
  BARRAGES();
  SCRIPTS_AND_OPTIONS();
  return 0;
}
