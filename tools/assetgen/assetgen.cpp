// assetgen: writes Volley's palettes, sprite sheets and fonts into a directory.
// Everything is computed from code (shapes from formulas, glyphs from glyphs.hpp), so the
// output is the same byte for byte on every run. Usage: volley_assetgen <output directory>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "display/colour_table.hpp"
#include "tools/assetgen/glyphs.hpp"

namespace {

using assetgen::GLYPH_BIT;

struct FRAME {
  int W = 0, H = 0;
  std::vector<uint8_t> PIXELS;  // W x H palette indices, top row first
};

constexpr double PI = 3.14159265358979323846;

// ---- files ----------------------------------------------------------------------------------

bool WRITE_FILE(const std::string& PATH, const std::vector<uint8_t>& BYTES) {
  std::FILE* F = std::fopen(PATH.c_str(), "wb");
  if (!F) return false;
  const bool OK = std::fwrite(BYTES.data(), 1, BYTES.size(), F) == BYTES.size();
  return std::fclose(F) == 0 && OK;
}

void PUT_LE32(std::vector<uint8_t>& OUT, uint32_t V) {
  for (int I = 0; I < 4; ++I) OUT.push_back(static_cast<uint8_t>(V >> (8 * I)));
}

std::vector<uint8_t> PALETTE_BYTES(const uint32_t (&TABLE)[256]) {
  std::vector<uint8_t> OUT;
  for (uint32_t V : TABLE) PUT_LE32(OUT, V);
  return OUT;
}

// A ".put" sheet: 0xFD, segment, offset, data length (file size - 7), then the frames back to
// back, each width x 8 + 1 (one byte per pixel), height, pixels, padded to an even length.
std::vector<uint8_t> SHEET_BYTES(const std::vector<FRAME>& FRAMES) {
  std::vector<uint8_t> DATA;
  for (const FRAME& F : FRAMES) {
    const uint16_t WF = static_cast<uint16_t>(F.W * 8 + 1);
    DATA.push_back(static_cast<uint8_t>(WF));
    DATA.push_back(static_cast<uint8_t>(WF >> 8));
    DATA.push_back(static_cast<uint8_t>(F.H));
    DATA.push_back(static_cast<uint8_t>(F.H >> 8));
    DATA.insert(DATA.end(), F.PIXELS.begin(), F.PIXELS.end());
    if (DATA.size() % 2) DATA.push_back(0);
  }
  if (DATA.size() > 65535) {
    std::fprintf(stderr, "assetgen: a sheet exceeds 65535 data bytes\n");
    std::exit(1);
  }
  std::vector<uint8_t> OUT(7 + DATA.size(), 0);
  OUT[0] = 0xFD;  // segment and offset (bytes 1-4) stay 0
  OUT[5] = static_cast<uint8_t>(DATA.size());
  OUT[6] = static_cast<uint8_t>(DATA.size() >> 8);
  std::copy(DATA.begin(), DATA.end(), OUT.begin() + 7);
  return OUT;
}

// ---- the player's palette -------------------------------------------------------------------

uint32_t PACK(double R, double G, double B) {
  auto C = [](double V) {
    return static_cast<uint32_t>(std::clamp(static_cast<int>(std::lround(V)), 0, 63));
  };
  return C(R) | C(G) << 8 | C(B) << 16;
}

// 16 steps from near black through the base colour (at step 10) to white (step 15).
void RAMP(uint32_t (&TABLE)[256], int FIRST, double R, double G, double B) {
  for (int J = 0; J < 16; ++J) {
    const double T = J / 15.0;
    if (T <= 2.0 / 3.0) {
      const double K = 0.08 + 0.92 * T * 1.5;
      TABLE[FIRST + J] = PACK(R * K, G * K, B * K);
    } else {
      const double K = (T - 2.0 / 3.0) * 3.0;  // 0 at the base colour, 1 at white
      TABLE[FIRST + J] = PACK(R + (63 - R) * K, G + (63 - G) * K, B + (63 - B) * K);
    }
  }
}

// qz.pal: 0 black, 1-14 plain colours, 15 white, a grey ramp, five bullet ramps from dark to
// white (fire, ice, leaf, rose, gold), then a sweep of hues in four brightness bands.
void BUILD_QZ_PALETTE(uint32_t (&TABLE)[256]) {
  const double BASIC[16][3] = {{0, 0, 0},    {0, 0, 40},   {0, 40, 0},   {0, 40, 40},
                               {40, 0, 0},   {40, 0, 40},  {40, 24, 0},  {44, 44, 44},
                               {22, 22, 22}, {20, 20, 63}, {20, 63, 20}, {20, 63, 63},
                               {63, 20, 20}, {63, 20, 63}, {63, 63, 20}, {63, 63, 63}};
  for (int I = 0; I < 16; ++I) TABLE[I] = PACK(BASIC[I][0], BASIC[I][1], BASIC[I][2]);
  for (int J = 0; J < 16; ++J) TABLE[16 + J] = PACK(J * 63 / 15.0, J * 63 / 15.0, J * 63 / 15.0);
  RAMP(TABLE, 32, 63, 22, 4);   // fire
  RAMP(TABLE, 48, 10, 34, 63);  // ice
  RAMP(TABLE, 64, 12, 60, 18);  // leaf
  RAMP(TABLE, 80, 63, 16, 44);  // rose
  RAMP(TABLE, 96, 60, 46, 8);   // gold
  for (int I = 112; I < 256; ++I) {
    const int BAND = (I - 112) / 36, STEP = (I - 112) % 36;
    const double H = STEP / 36.0 * 6.0, V = 63.0 * (0.4 + 0.2 * BAND);
    const double X = V * (1 - std::fabs(std::fmod(H, 2.0) - 1));
    double R = 0, G = 0, B = 0;
    switch (static_cast<int>(H)) {
      case 0: R = V; G = X; break;
      case 1: R = X; G = V; break;
      case 2: G = V; B = X; break;
      case 3: G = X; B = V; break;
      case 4: R = X; B = V; break;
      default: R = V; B = X; break;
    }
    TABLE[I] = PACK(R, G, B);
  }
}

// ---- drawing shapes -------------------------------------------------------------------------

// Intensity 0..1 at a point (pixel units, origin at the frame centre, y down).
using FIELD = std::function<double(double X, double Y)>;
// Palette index for an intensity; 0 keeps the pixel transparent.
using SHADE = std::function<uint8_t(double T)>;

// Renders a field with 4 x 4 samples per pixel, which smooths the edges into the ramps.
FRAME RENDER(int W, int H, const FIELD& F, const SHADE& S) {
  FRAME OUT;
  OUT.W = W;
  OUT.H = H;
  OUT.PIXELS.resize(static_cast<std::size_t>(W) * H);
  for (int Y = 0; Y < H; ++Y) {
    for (int X = 0; X < W; ++X) {
      double SUM = 0;
      for (int SY = 0; SY < 4; ++SY) {
        for (int SX = 0; SX < 4; ++SX) {
          SUM += std::clamp(F(X + (SX + 0.5) / 4 - W / 2.0, Y + (SY + 0.5) / 4 - H / 2.0), 0.0, 1.0);
        }
      }
      OUT.PIXELS[static_cast<std::size_t>(Y) * W + X] = S(SUM / 16);
    }
  }
  return OUT;
}

// A ramp of 16 entries from FIRST; the hottest part turns to CORE.
SHADE RAMP_SHADE(int FIRST, uint8_t CORE, double CORE_FROM = 0.9) {
  return [=](double T) -> uint8_t {
    if (T < 0.06) return 0;
    if (T >= CORE_FROM) return CORE;
    return static_cast<uint8_t>(FIRST + std::clamp(static_cast<int>(std::lround(T * 15)), 1, 15));
  };
}

// A glowing ball: bright core, soft rim.
FIELD ORB(double R) {
  return [=](double X, double Y) {
    const double D = std::hypot(X, Y);
    return std::pow(std::clamp(1.0 - D / R, 0.0, 1.0), 0.6) * 1.15;
  };
}

// A star with ARMS arms turned by ANGLE radians.
FIELD STAR(double R, int ARMS, double ANGLE) {
  return [=](double X, double Y) {
    const double D = std::hypot(X, Y), A = std::atan2(Y, X) - ANGLE;
    const double REACH = R * (0.35 + 0.65 * std::pow(std::fabs(std::cos(ARMS * A / 2)), 4));
    return std::clamp(1.0 - D / REACH, 0.0, 1.0) * 1.3;
  };
}

// A ring with DOTS brighter beads turned by ANGLE radians.
FIELD BEAD_RING(double R, int DOTS, double ANGLE) {
  return [=](double X, double Y) {
    const double D = std::hypot(X, Y), A = std::atan2(Y, X) - ANGLE;
    const double RING = std::clamp(1.0 - std::fabs(D - R) / 1.1, 0.0, 1.0) * 0.55;
    const double BEAD = std::pow(std::fabs(std::cos(DOTS * A / 2)), 12) *
                        std::clamp(1.0 - std::fabs(D - R) / 1.6, 0.0, 1.0);
    return std::max(RING, BEAD * 1.1);
  };
}

// A ball with a highlight that circles its rim.
FIELD GLINT_ORB(double R, double ANGLE) {
  return [=](double X, double Y) {
    const double D = std::hypot(X, Y);
    const double BODY = std::clamp(1.0 - D / R, 0.0, 1.0) * 0.75 + (D < R ? 0.12 : 0.0);
    const double GX = X - std::cos(ANGLE) * R * 0.45, GY = Y - std::sin(ANGLE) * R * 0.45;
    const double GLINT = std::clamp(1.0 - std::hypot(GX, GY) / 1.6, 0.0, 1.0);
    return std::max(BODY, GLINT * 1.2);
  };
}

// A teardrop pointing at ANGLE radians (0 right, pi/2 down): a round bright head ahead of the
// centre and a tail that tapers behind it.
FIELD DART(double ANGLE) {
  return [=](double X, double Y) {
    const double U = X * std::cos(ANGLE) + Y * std::sin(ANGLE);   // along the flight
    const double V = -X * std::sin(ANGLE) + Y * std::cos(ANGLE);  // across it
    const double HEAD = std::clamp(1.0 - std::hypot(U - 1.6, V) / 2.9, 0.0, 1.0) * 1.7;
    double TAIL = 0;
    if (U > -4.8 && U < 1.8) {
      const double HALF = 2.2 * (U + 4.8) / 6.6;
      TAIL = std::clamp(1.0 - std::fabs(V) / (HALF + 0.5), 0.0, 1.0) * (0.45 + 0.5 * (U + 4.8) / 6.6);
    }
    return std::max(HEAD, TAIL);
  };
}

// ---- sheets ---------------------------------------------------------------------------------

// Designer bullets, shown with korvane.pal: ramps 240-255 (dark red to yellow), 96-111 (cyan),
// 64-79 (green); white (15) at the hottest points.
std::vector<FRAME> BUILD_KV_BULLETS() {
  std::vector<FRAME> F;
  // 0-3: a pulsing fire ball
  for (int K = 0; K < 4; ++K) {
    F.push_back(RENDER(9, 9, ORB(3.6 + 0.6 * std::sin(K * PI / 2)), RAMP_SHADE(240, 15)));
  }
  // 4-11: a spinning four-armed star; eight steps of 11.25 degrees make a seamless turn
  for (int K = 0; K < 8; ++K) {
    F.push_back(RENDER(9, 9, STAR(4.4, 4, K * PI / 16), RAMP_SHADE(96, 15)));
  }
  // 26 + d: the dart pointing 15 x d degrees. Frames 12-25 repeat directions 10-23, so a
  // direction index that comes out negative (down to -14) still shows the right way.
  auto DIRECTION = [](int D) {
    return RENDER(11, 11, DART(((D % 24 + 24) % 24) * 15 * PI / 180), RAMP_SHADE(64, 15, 0.95));
  };
  for (int N = 12; N < 26; ++N) F.push_back(DIRECTION(N - 26));
  // 26-49 the 24 directions, 50 again direction 0 (the index 24 of a full turn)
  for (int D = 0; D <= 24; ++D) F.push_back(DIRECTION(D));
  return F;
}

// Player bullets, shown with qz.pal: four-frame animations at 0, 4, 8 and 12, and 15 (frames
// 12 to 18 are one rotating star whose every run of four frames loops seamlessly).
std::vector<FRAME> BUILD_QZ_BULLETS() {
  std::vector<FRAME> F;
  for (int K = 0; K < 4; ++K) {
    F.push_back(RENDER(8, 8, ORB(3.3 + 0.5 * std::sin(K * PI / 2)), RAMP_SHADE(32, 15)));
  }
  for (int K = 0; K < 4; ++K) {
    F.push_back(RENDER(8, 8, GLINT_ORB(3.6, K * PI / 2 - PI * 0.75), RAMP_SHADE(48, 15)));
  }
  for (int K = 0; K < 4; ++K) {
    F.push_back(RENDER(8, 8, BEAD_RING(2.7, 3, K * PI / 6), RAMP_SHADE(64, 15)));
  }
  // A four-armed star turned by 22.5 degrees per frame: four frames make a quarter turn.
  for (int K = 0; K < 7; ++K) {
    F.push_back(RENDER(8, 8, STAR(3.9, 4, K * PI / 8), RAMP_SHADE(96, 15)));
  }
  return F;
}

// tiny_font.put: 5 x 6 cells (glyph of 4 columns plus a gap column, which only m and w use),
// white (15).
std::vector<FRAME> BUILD_TINY_FONT() {
  std::vector<FRAME> F;
  for (int CODE = 32; CODE <= 126; ++CODE) {
    FRAME G;
    G.W = 5;
    G.H = 6;
    G.PIXELS.assign(30, 0);
    for (int Y = 0; Y < 6; ++Y) {
      for (int X = 0; X < 5; ++X) {
        if (GLYPH_BIT(CODE, X, Y)) G.PIXELS[Y * 5 + X] = 15;
      }
    }
    F.push_back(G);
  }
  return F;
}

// qzfntdg.put: 8 x 8 cells; the letter shapes sit at (1, 1), shaded from white at the top
// through bright to deep yellow (korvane.pal 15, then 127 down to 123), with a dark grey drop
// shadow (entry 20) one pixel right and down.
std::vector<FRAME> BUILD_BIG_FONT() {
  std::vector<FRAME> F;
  const uint8_t SHADE_BY_ROW[6] = {15, 127, 126, 125, 124, 123};
  for (int CODE = 32; CODE <= 126; ++CODE) {
    FRAME G;
    G.W = 8;
    G.H = 8;
    G.PIXELS.assign(64, 0);
    for (int Y = 0; Y < 7; ++Y) {
      for (int X = 0; X < 5; ++X) {
        if (GLYPH_BIT(CODE, X, Y)) {
          G.PIXELS[(Y + 1) * 8 + X + 1] = SHADE_BY_ROW[Y];
        } else if (GLYPH_BIT(CODE, X - 1, Y - 1)) {
          G.PIXELS[(Y + 1) * 8 + X + 1] = 20;
        }
      }
    }
    F.push_back(G);
  }
  return F;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: volley_assetgen <output directory>\n");
    return 2;
  }
  const std::string DIR = std::string(argv[1]) + "/";
  uint32_t QZ[256] = {};
  BUILD_QZ_PALETTE(QZ);
  const bool OK = WRITE_FILE(DIR + "korvane.pal", PALETTE_BYTES(BUILTIN_COLOUR_TABLE)) &&
                  WRITE_FILE(DIR + "qz.pal", PALETTE_BYTES(QZ)) &&
                  WRITE_FILE(DIR + "kv_bullet.put", SHEET_BYTES(BUILD_KV_BULLETS())) &&
                  WRITE_FILE(DIR + "bullet.put", SHEET_BYTES(BUILD_QZ_BULLETS())) &&
                  WRITE_FILE(DIR + "tiny_font.put", SHEET_BYTES(BUILD_TINY_FONT())) &&
                  WRITE_FILE(DIR + "qzfntdg.put", SHEET_BYTES(BUILD_BIG_FONT()));
  if (!OK) {
    std::fprintf(stderr, "assetgen: cannot write into %s\n", argv[1]);
    return 1;
  }
  return 0;
}
