// Writes the seed corpora of the fuzz targets into DIR/<target>/ from our own generated assets
// (run directory) and our own writers (barrage files through SAVE_DATA, bitmaps cut from the
// generated bullet sheet). Usage: fuzz_seedgen DIR. Deterministic: the same tree gives the same
// seeds.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <string>
#include <string_view>
#include <vector>

#include "display/draw2d.hpp"
#include "leakscope/leakscope.hpp"
#include "lib/src/formats.hpp"
#include "volleyedit/barrage_file.hpp"
#include "volleyedit/designer_state.hpp"
#include "volleyedit/menu.hpp"

namespace {

namespace fs = std::filesystem;
using BYTES = std::vector<uint8_t>;

fs::path OUT;

BYTES READ(const fs::path& P) {
  std::ifstream IN(P, std::ios::binary);
  return BYTES(std::istreambuf_iterator<char>(IN), std::istreambuf_iterator<char>());
}

void WRITE(const std::string& TARGET, const std::string& NAME, std::string_view S) {
  fs::create_directories(OUT / TARGET);
  std::ofstream(OUT / TARGET / NAME, std::ios::binary).write(S.data(), static_cast<std::streamsize>(S.size()));
}
void WRITE(const std::string& TARGET, const std::string& NAME, const BYTES& B) {
  WRITE(TARGET, NAME, std::string_view(reinterpret_cast<const char*>(B.data()), B.size()));
}

void PUT16(BYTES& B, uint32_t V) { B.insert(B.end(), {static_cast<uint8_t>(V), static_cast<uint8_t>(V >> 8)}); }
void PUT32(BYTES& B, uint32_t V) { PUT16(B, V), PUT16(B, V >> 16); }

// A W x H pixel image (palette indices, top row first).
struct PICTURE { int W = 0, H = 0; BYTES PIX; };

// Frames of a ".put" sheet, cut side by side into one strip, frame sizes recorded.
PICTURE STRIP_FROM_SHEET(const BYTES& SHEET, std::size_t MAX_FRAMES, std::vector<PICTURE>& FRAMES) {
  for (std::size_t AT = 7; AT + 4 <= SHEET.size() && FRAMES.size() < MAX_FRAMES;) {
    PICTURE P{(SHEET[AT] | SHEET[AT + 1] << 8) / 8, SHEET[AT + 2] | SHEET[AT + 3] << 8, {}};
    const std::size_t N = static_cast<std::size_t>(P.W) * P.H;
    if (AT + 4 + N > SHEET.size()) break;
    const auto FROM = SHEET.begin() + static_cast<std::ptrdiff_t>(AT + 4);
    P.PIX.assign(FROM, FROM + static_cast<std::ptrdiff_t>(N));
    FRAMES.push_back(P);
    AT += (N + 5) / 2 * 2;
  }
  PICTURE S;
  for (const PICTURE& F : FRAMES) S.W += F.W, S.H = std::max(S.H, F.H);
  S.PIX.assign(static_cast<std::size_t>(S.W) * S.H, 0);
  for (int X0 = 0; const PICTURE& F : FRAMES) {
    for (int Y = 0; Y < F.H; ++Y) std::copy_n(F.PIX.begin() + Y * F.W, F.W, S.PIX.begin() + Y * S.W + X0);
    X0 += F.W;
  }
  return S;
}

// An 8-bit Windows bitmap with a 40-byte info header; bottom-up unless TOP_DOWN.
BYTES BMP(const PICTURE& P, const BYTES& PALETTE, bool TOP_DOWN) {
  const uint32_t ROW = (static_cast<uint32_t>(P.W) + 3) & ~3u;
  const uint32_t DATA = 14 + 40 + 1024;
  const uint32_t W = static_cast<uint32_t>(P.W), H = static_cast<uint32_t>(P.H);
  BYTES B{'B', 'M'};
  for (uint32_t V : {DATA + ROW * H, 0u, DATA, 40u, W, TOP_DOWN ? 0u - H : H}) PUT32(B, V);
  PUT16(B, 1), PUT16(B, 8);  // planes, bits per pixel; then 256 palette entries
  for (uint32_t V : {0u, 0u, 0u, 0u, 256u, 0u}) PUT32(B, V);
  for (std::size_t AT = 0; AT < 1024; AT += 4) {  // packed 6-bit entries as blue, green, red, 0
    const auto C = [&](std::size_t I) -> uint8_t { return AT + 2 < PALETTE.size() ? PALETTE[AT + I] * 4 : 0; };
    B.insert(B.end(), {C(2), C(1), C(0), 0});
  }
  for (int I = 0; I < P.H; ++I) {
    const int Y = TOP_DOWN ? I : P.H - 1 - I;
    for (uint32_t X = 0; X < ROW; ++X)
      B.push_back(X < static_cast<uint32_t>(P.W) ? P.PIX[static_cast<std::size_t>(Y) * P.W + X] : 0);
  }
  return B;
}

// Input of the bitmap target: loader, tile size, frame size, frame list, bitmap.
BYTES BITMAP_INPUT(int LOADER, int TW, int TH, int W, int H, const std::string& LIST, const BYTES& FILE) {
  BYTES B{static_cast<uint8_t>(LOADER), static_cast<uint8_t>(TW), static_cast<uint8_t>(TH)};
  for (std::size_t V : {static_cast<std::size_t>(W), static_cast<std::size_t>(H), LIST.size()})
    PUT16(B, static_cast<uint32_t>(V));
  B.insert(B.end(), LIST.begin(), LIST.end());
  B.insert(B.end(), FILE.begin(), FILE.end());
  return B;
}

// The menu as SAVE_DATA writes it.
BYTES SAVED_MENU(const std::string& NAME) {
  const fs::path P = OUT / ("." + NAME);
  NDESIGNER::SAVE_DATA(P.string());
  BYTES B = READ(P);
  fs::remove(P);
  return B;
}

void SHEETS(const fs::path& RUN) {
  for (const char* NAME : {"kv_bullet.put", "bullet.put", "tiny_font.put"})
    WRITE("put_sheet", NAME, READ(RUN / NAME));
  const BYTES SHEET = READ(RUN / "bullet.put");
  WRITE("put_sheet", "cut_short.put", BYTES(SHEET.begin(), SHEET.begin() + 100));
  WRITE("put_sheet", "header_only.put", BYTES(SHEET.begin(), SHEET.begin() + 7));
  WRITE("put_sheet", "three_bytes.put", BYTES{0xFD, 0, 0});
  // One 3 x 3 frame of 7 words (width field 3 * 8 + 1, nine pixels and a pad), one empty
  // frame, and a stray byte.
  WRITE("put_sheet", "odd_frames.put",
        BYTES{0xFD, 0, 0, 0, 0, 19, 0, 25, 0, 3, 0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 0, 9});
}

void PALETTES(const fs::path& RUN) {
  for (const char* NAME : {"korvane.pal", "qz.pal"}) WRITE("palette", NAME, READ(RUN / NAME));
  const BYTES P = READ(RUN / "qz.pal");
  WRITE("palette", "short.pal", BYTES(P.begin(), P.begin() + 10));
  WRITE("palette", "empty.pal", BYTES{});
}

void BITMAPS(const fs::path& RUN) {
  const BYTES PALETTE = READ(RUN / "korvane.pal");
  std::vector<PICTURE> FRAMES;
  const PICTURE STRIP = STRIP_FROM_SHEET(READ(RUN / "bullet.put"), 6, FRAMES);
  // The frame list: store size, last index, then a name and five values per frame.
  std::string ROWS;
  long X = 0, WORDS = 0;
  for (std::size_t I = 0; I < FRAMES.size(); X += FRAMES[I].W, ++I) {
    ROWS += "frame" + std::to_string(I);
    for (long V : {static_cast<long>(I), X, long{FRAMES[I].W}, long{FRAMES[I].H}, WORDS})
      ROWS += "," + std::to_string(V);
    ROWS += "\n";
    WORDS += (FRAMES[I].W * FRAMES[I].H + 5) / 2;
  }
  const std::string LIST = std::to_string(WORDS * 2) + "\n" + std::to_string(FRAMES.size() - 1) + "\n" + ROWS;
  const BYTES UP = BMP(STRIP, PALETTE, false), DOWN = BMP(STRIP, PALETTE, true);
  for (const char* T : {"bitmap_edit", "bitmap_play"}) {
    WRITE(T, "single.bin", BITMAP_INPUT(0, 0, 0, STRIP.W, STRIP.H, "", UP));
    WRITE(T, "single_small.bin", BITMAP_INPUT(0, 0, 0, 4, 4, "", DOWN));
    WRITE(T, "tiles.bin", BITMAP_INPUT(1, FRAMES[0].W, FRAMES[0].H, 0, 0, "", UP));
    WRITE(T, "tiles_odd.bin", BITMAP_INPUT(1, 3, 3, 0, 0, "", DOWN));
    WRITE(T, "tiles_too_big.bin", BITMAP_INPUT(1, 200, 200, 0, 0, "", UP));
    WRITE(T, "list.bin", BITMAP_INPUT(2, 0, 0, 0, 0, LIST, UP));
    WRITE(T, "list_outside.bin",
          BITMAP_INPUT(2, 0, 0, 0, 0, "64,1\n\"a,b\",0,-4,8,8,0\nb,1,0,8,99,900\n", DOWN));
    WRITE(T, "list_missing_values.bin", BITMAP_INPUT(2, 0, 0, 0, 0, "100,5\nx,", UP));
    WRITE(T, "not_a_bitmap.bin", BITMAP_INPUT(2, 4, 4, 8, 8, LIST, BYTES{'B', 'M', 1, 2}));
  }
}

void BARRAGES() {
  NBARRAGE::TURRET_PARAM_TYPE PARAMETERS{};
  NDESIGNER::CREATE_CANNONS(PARAMETERS);
  const BYTES START = SAVED_MENU("start.vly");
  WRITE("barrage_load", "startup.vly", START);
  WRITE("barrage_load", "six_bytes.vly", BYTES(START.begin(), START.begin() + 6));
  WRITE("barrage_load", "empty.vly", BYTES{});
  BYTES LONG = START;
  for (int I = 0; I < 60; ++I) LONG.push_back(static_cast<uint8_t>(I));
  WRITE("barrage_load", "longer.vly", LONG);
  using NDESIGNER::MENU;
  MENU[19].VALUE = 1e9f;                                    // MAXBULLET
  MENU[22].VALUE = -5.0f;                                   // BULLETS_PER_SHOT
  MENU[32].VALUE = 998.0f;                                  // CURRENT_MIN_FRAME past the sheet
  MENU[24].VALUE = std::numeric_limits<float>::infinity();  // BULLETSPEED
  MENU[6].VALUE = std::numeric_limits<float>::quiet_NaN();  // XV
  MENU[34].VALUE = 1.0f;                                    // the bouncing rotation rule
  WRITE("barrage_load", "extremes.vly", SAVED_MENU("extremes.vly"));
  NDESIGNER::DESTROY_CANNONS();

  // Round trip: raw values, then (operation, row) pairs; operation 4 loads the next 140 bytes.
  NDESIGNER::CREATE_CANNONS(PARAMETERS);
  BYTES EDITS = START;
  for (int ROW : {6, 24, 25, 26, 11, 19, 22}) EDITS.insert(EDITS.end(), {0, static_cast<uint8_t>(ROW)});
  for (int ROW : {6, 24, 4}) EDITS.insert(EDITS.end(), {1, static_cast<uint8_t>(ROW)});
  EDITS.insert(EDITS.end(), {2, 6, 2, 24, 3, 0});
  WRITE("barrage_roundtrip", "edits.bin", EDITS);
  BYTES LOADS = START;
  LOADS.insert(LOADS.end(), {4, 0});
  LOADS.insert(LOADS.end(), LONG.begin(), LONG.begin() + 140);
  LOADS.insert(LOADS.end(), {0, 33, 1, 12});
  WRITE("barrage_roundtrip", "load_then_edit.bin", LOADS);
  NDESIGNER::DESTROY_CANNONS();

  // Programmes: the designer's start-up file, and as .json with a second, delayed set.
  WRITE("programme_vly", "startup.vly", START);
  volley::Programme P = volley::detail::parse_vly(START.data(), START.size(), "start");
  P.push_back(P[0]);
  P[1].DELAY = 90;
  WRITE("programme_json", "two_sets.json", volley::programme_json(P));
}

void SCRIPTS() {
  WRITE("key_script", "edit_and_save.keys",
        "# hold Right on row 0, then F1\n1 Down down\n2 Down up\n3 Right down\n14 Right up\n"
        "15 F1 down\n16 F1 up\n");
  WRITE("key_script", "load_and_round.keys",
        "1 F2 down\n2 F2 up\n3 Up down\r\n4 Up up\r\n5 F3 down\n6 F3 up\n7 Tab down\n8 Tab up\n");
  WRITE("key_script", "chooser.keys",
        "1 F4 down\n2 F4 up\n3 Down down\n9 Down up\n10 Enter down\n11 Enter up\n"
        "12 F4 down\n13 F4 up\n14 Escape down\n15 Escape up\n20 Escape down\n");
  WRITE("key_script", "bad_line.keys", "1 Right down\n2 Sideways up\n");
  WRITE("key_script", "late.keys", "150 Escape down\n");
}

// Command lines, the arguments separated by NUL bytes.
void OPTIONS() {
  const std::pair<const char*, std::vector<std::string>> LINES[] = {
      {"headless.args", {"--headless", "--frames", "600"}},
      {"trace.args", {"--headless", "--frames=30", "--trace", "t.jsonl", "--trace-from", "2", "--trace-to=9"}},
      {"png.args", {"--png", "shot%05d.png", "--png-every", "3"}},
      {"gif_keys.args", {"--gif=run.gif", "--gif-every=2", "--keys", "k.keys"}},
      {"bad_pattern.args", {"--png", "%s%n.png"}},
      {"help.args", {"--help"}},
      {"twice.args", {"--frames", "1", "--frames", "2"}}};
  for (const auto& [NAME, ARGS] : LINES) {
    std::string S = ARGS[0];
    for (std::size_t I = 1; I < ARGS.size(); ++I) S += '\0' + ARGS[I];
    WRITE("options", NAME, S);
  }
}

}  // namespace

int main(int ARGC, char** ARGV) {
  LEAKSCOPE_SET_EXIT_WAIT(false);
  draw2d::set_headless(true);
  if (ARGC != 2) return std::fputs("usage: fuzz_seedgen DIR\n", stderr), 2;
  OUT = ARGV[1];
  const fs::path RUN = VOLLEY_RUN_DIR;
  SHEETS(RUN), PALETTES(RUN), BITMAPS(RUN), BARRAGES(), SCRIPTS(), OPTIONS();
  return 0;
}
