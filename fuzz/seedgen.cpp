// Writes the seed corpora of the fuzz targets into DIR/<target>/ from our own generated assets
// (run directory) and our own writers (barrage files through SAVE_DATA, bitmaps cut from the
// generated bullet sheet). Usage: fuzz_seedgen DIR. Deterministic: the same tree gives the same
// seeds.
#include <algorithm>
#include <cstdint>
#include <limits>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "display/draw2d.hpp"
#include "leakscope/leakscope.hpp"
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

void WRITE(const std::string& TARGET, const std::string& NAME, const BYTES& B) {
  fs::create_directories(OUT / TARGET);
  std::ofstream F(OUT / TARGET / NAME, std::ios::binary);
  F.write(reinterpret_cast<const char*>(B.data()), static_cast<std::streamsize>(B.size()));
}

void WRITE(const std::string& TARGET, const std::string& NAME, const std::string& S) {
  WRITE(TARGET, NAME, BYTES(S.begin(), S.end()));
}

void PUT16(BYTES& B, uint32_t V) {
  B.push_back(static_cast<uint8_t>(V));
  B.push_back(static_cast<uint8_t>(V >> 8));
}
void PUT32(BYTES& B, uint32_t V) {
  PUT16(B, V & 0xFFFF);
  PUT16(B, V >> 16);
}

// A W x H pixel image (palette indices, top row first).
struct PICTURE {
  int W = 0, H = 0;
  BYTES PIX;
};

// Frames of a ".put" sheet, cut side by side into one strip, frame sizes recorded.
PICTURE STRIP_FROM_SHEET(const BYTES& SHEET, int MAX_FRAMES, std::vector<PICTURE>& FRAMES) {
  std::size_t AT = 7;
  while (AT + 4 <= SHEET.size() && static_cast<int>(FRAMES.size()) < MAX_FRAMES) {
    PICTURE P;
    P.W = (SHEET[AT] | SHEET[AT + 1] << 8) / 8;
    P.H = SHEET[AT + 2] | SHEET[AT + 3] << 8;
    const std::size_t N = static_cast<std::size_t>(P.W) * P.H;
    if (AT + 4 + N > SHEET.size()) break;
    P.PIX.assign(SHEET.begin() + static_cast<std::ptrdiff_t>(AT + 4),
                 SHEET.begin() + static_cast<std::ptrdiff_t>(AT + 4 + N));
    FRAMES.push_back(P);
    AT += (N + 5) / 2 * 2;
  }
  PICTURE S;
  for (const PICTURE& F : FRAMES) {
    S.W += F.W;
    S.H = std::max(S.H, F.H);
  }
  S.PIX.assign(static_cast<std::size_t>(S.W) * S.H, 0);
  int X0 = 0;
  for (const PICTURE& F : FRAMES) {
    for (int Y = 0; Y < F.H; ++Y)
      for (int X = 0; X < F.W; ++X) S.PIX[static_cast<std::size_t>(Y) * S.W + X0 + X] = F.PIX[static_cast<std::size_t>(Y) * F.W + X];
    X0 += F.W;
  }
  return S;
}

// An 8-bit Windows bitmap with a 40-byte info header; bottom-up unless TOP_DOWN.
BYTES BMP(const PICTURE& P, const BYTES& PALETTE, bool TOP_DOWN) {
  const uint32_t ROW = (static_cast<uint32_t>(P.W) + 3) & ~3u;
  const uint32_t DATA = 14 + 40 + 1024;
  BYTES B{'B', 'M'};
  PUT32(B, DATA + ROW * static_cast<uint32_t>(P.H));
  PUT32(B, 0);
  PUT32(B, DATA);
  PUT32(B, 40);
  PUT32(B, static_cast<uint32_t>(P.W));
  PUT32(B, TOP_DOWN ? static_cast<uint32_t>(-P.H) : static_cast<uint32_t>(P.H));
  PUT16(B, 1);
  PUT16(B, 8);
  for (int I = 0; I < 6; ++I) PUT32(B, I == 4 ? 256 : 0);
  for (int I = 0; I < 256; ++I) {  // packed 6-bit entries as blue, green, red, 0
    const std::size_t AT = static_cast<std::size_t>(I) * 4;
    const uint8_t R = AT + 2 < PALETTE.size() ? PALETTE[AT] : 0;
    const uint8_t G = AT + 2 < PALETTE.size() ? PALETTE[AT + 1] : 0;
    const uint8_t BL = AT + 2 < PALETTE.size() ? PALETTE[AT + 2] : 0;
    B.insert(B.end(), {static_cast<uint8_t>(BL * 4), static_cast<uint8_t>(G * 4),
                       static_cast<uint8_t>(R * 4), 0});
  }
  for (int I = 0; I < P.H; ++I) {
    const int Y = TOP_DOWN ? I : P.H - 1 - I;
    for (uint32_t X = 0; X < ROW; ++X)
      B.push_back(X < static_cast<uint32_t>(P.W) ? P.PIX[static_cast<std::size_t>(Y) * P.W + X] : 0);
  }
  return B;
}

// Input of the bitmap target: loader, tile size, frame size, frame list, bitmap.
BYTES BITMAP_INPUT(int LOADER, int TW, int TH, int W, int H, const std::string& LIST,
                   const BYTES& FILE) {
  BYTES B{static_cast<uint8_t>(LOADER), static_cast<uint8_t>(TW), static_cast<uint8_t>(TH)};
  PUT16(B, static_cast<uint32_t>(W));
  PUT16(B, static_cast<uint32_t>(H));
  PUT16(B, static_cast<uint32_t>(LIST.size()));
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
  // One 3 x 3 frame (7 words), one empty frame, and a stray byte.
  BYTES ODD{0xFD, 0, 0, 0, 0, 19, 0};
  PUT16(ODD, 3 * 8 + 1);
  PUT16(ODD, 3);
  for (int I = 0; I < 10; ++I) ODD.push_back(static_cast<uint8_t>(I));
  PUT16(ODD, 0);
  PUT16(ODD, 0);
  ODD.push_back(9);
  WRITE("put_sheet", "odd_frames.put", ODD);
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
  // The frame list: store size, last index, then six values per frame.
  std::string LIST;
  uint32_t WORDS = 0;
  std::string ROWS;
  int X = 0;
  for (std::size_t I = 0; I < FRAMES.size(); ++I) {
    ROWS += "frame" + std::to_string(I) + "," + std::to_string(I) + "," + std::to_string(X) +
            "," + std::to_string(FRAMES[I].W) + "," + std::to_string(FRAMES[I].H) + "," +
            std::to_string(WORDS) + "\n";
    X += FRAMES[I].W;
    WORDS += static_cast<uint32_t>((FRAMES[I].W * FRAMES[I].H + 5) / 2);
  }
  LIST = std::to_string(WORDS * 2) + "\n" + std::to_string(FRAMES.size() - 1) + "\n" + ROWS;
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

void OPTIONS() {
  const auto ARGS = [](std::initializer_list<std::string> L) {
    std::string S;
    for (const std::string& A : L) {
      if (!S.empty()) S.push_back('\0');
      S += A;
    }
    return S;
  };
  WRITE("options", "headless.args", ARGS({"--headless", "--frames", "600"}));
  WRITE("options", "trace.args",
        ARGS({"--headless", "--frames=30", "--trace", "t.jsonl", "--trace-from", "2", "--trace-to=9"}));
  WRITE("options", "png.args", ARGS({"--png", "shot%05d.png", "--png-every", "3"}));
  WRITE("options", "gif_keys.args", ARGS({"--gif=run.gif", "--gif-every=2", "--keys", "k.keys"}));
  WRITE("options", "bad_pattern.args", ARGS({"--png", "%s%n.png"}));
  WRITE("options", "help.args", ARGS({"--help"}));
  WRITE("options", "twice.args", ARGS({"--frames", "1", "--frames", "2"}));
}

}  // namespace

int main(int ARGC, char** ARGV) {
  LEAKSCOPE_SET_EXIT_WAIT(false);
  draw2d::set_headless(true);
  if (ARGC != 2) {
    std::fprintf(stderr, "usage: fuzz_seedgen DIR\n");
    return 2;
  }
  OUT = ARGV[1];
  const fs::path RUN = VOLLEY_RUN_DIR;
  SHEETS(RUN);
  PALETTES(RUN);
  BITMAPS(RUN);
  BARRAGES();
  SCRIPTS();
  OPTIONS();
  return 0;
}
