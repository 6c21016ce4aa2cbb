// volley_icongen: draws Volley's menu icon, a cannon firing a three-armed spiral of bullets,
// from geometry alone and writes it as RGBA PNGs of the sizes a desktop menu asks for.
// Usage: volley_icongen OUT_DIR SIZE...   writes OUT_DIR/SIZExSIZE/apps/volley.png for each SIZE.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "harness/image_writers.hpp"

namespace {

struct Rgba {
  double R = 0, G = 0, B = 0, A = 0;  // straight (not premultiplied) components, 0 to 1
};

// Paints SRC over DST.
Rgba OVER(const Rgba& DST, const Rgba& SRC) {
  const double A = SRC.A + DST.A * (1.0 - SRC.A);
  if (A <= 0.0) return {};
  auto MIX = [&](double S, double D) { return (S * SRC.A + D * DST.A * (1.0 - SRC.A)) / A; };
  return {MIX(SRC.R, DST.R), MIX(SRC.G, DST.G), MIX(SRC.B, DST.B), A};
}

// Distance from (X, Y) to a rounded square of half side H and corner radius C, centred at 0.
double ROUNDED_SQUARE(double X, double Y, double H, double C) {
  const double QX = std::fabs(X) - (H - C), QY = std::fabs(Y) - (H - C);
  const double OUTSIDE = std::hypot(std::max(QX, 0.0), std::max(QY, 0.0));
  return OUTSIDE + std::min(std::max(QX, QY), 0.0) - C;
}

// Colour of the icon at (X, Y), both from -1 (left, top) to 1 (right, bottom).
Rgba SAMPLE(double X, double Y) {
  Rgba P;
  // Backdrop: a dark blue rounded square, lighter towards the cannon.
  if (ROUNDED_SQUARE(X, Y, 0.96, 0.22) <= 0.0) {
    const double GLOW = std::max(0.0, 1.0 - std::hypot(X, Y + 0.1) / 1.3);
    P = {0.06 + 0.10 * GLOW, 0.08 + 0.12 * GLOW, 0.20 + 0.22 * GLOW, 1.0};
  }
  // Bullets: three arms of a spiral leaving the cannon, growing and warming as they travel.
  constexpr double PI = 3.14159265358979323846;
  for (int ARM = 0; ARM < 3; ++ARM) {
    for (int K = 0; K < 6; ++K) {
      const double T = K / 5.0;
      const double RADIUS = 0.26 + 0.56 * T;
      const double ANGLE = ARM * 2.0 * PI / 3.0 + 1.5 * T - PI / 2.0;
      const double BX = RADIUS * std::cos(ANGLE), BY = 0.06 + RADIUS * std::sin(ANGLE);
      const double SIZE = 0.055 + 0.045 * T;
      const double D = std::hypot(X - BX, Y - BY);
      if (D <= SIZE) {
        const double CORE = D / SIZE;  // white-hot centre, coloured rim
        const Rgba RIM{1.0, 0.85 - 0.5 * T, 0.25 - 0.2 * T, 1.0};
        P = OVER(P, {RIM.R, RIM.G + (1.0 - RIM.G) * (1.0 - CORE) * 0.7,
                     RIM.B + (1.0 - RIM.B) * (1.0 - CORE) * 0.7, 1.0});
      }
    }
  }
  // Cannon: a pale disc with a dark ring, centred a little below the middle.
  const double C = std::hypot(X, Y - 0.06);
  if (C <= 0.17) P = OVER(P, C >= 0.13 ? Rgba{0.10, 0.12, 0.22, 1.0} : Rgba{0.80, 0.90, 1.0, 1.0});
  return P;
}

// SIZE x SIZE RGBA pixels, each the average of 4 x 4 samples.
std::vector<uint8_t> RENDER(int SIZE) {
  constexpr int SUB = 4;
  std::vector<uint8_t> OUT(static_cast<std::size_t>(SIZE) * SIZE * 4);
  for (int PY = 0; PY < SIZE; ++PY) {
    for (int PX = 0; PX < SIZE; ++PX) {
      double R = 0, G = 0, B = 0, A = 0;  // premultiplied sums
      for (int SY = 0; SY < SUB; ++SY) {
        for (int SX = 0; SX < SUB; ++SX) {
          const double X = ((PX + (SX + 0.5) / SUB) / SIZE) * 2.0 - 1.0;
          const double Y = ((PY + (SY + 0.5) / SUB) / SIZE) * 2.0 - 1.0;
          const Rgba S = SAMPLE(X, Y);
          R += S.R * S.A;
          G += S.G * S.A;
          B += S.B * S.A;
          A += S.A;
        }
      }
      uint8_t* P = &OUT[(static_cast<std::size_t>(PY) * SIZE + PX) * 4];
      auto BYTE = [](double V) {
        return static_cast<uint8_t>(std::lround(std::clamp(V, 0.0, 1.0) * 255.0));
      };
      P[0] = A > 0 ? BYTE(R / A) : 0;
      P[1] = A > 0 ? BYTE(G / A) : 0;
      P[2] = A > 0 ? BYTE(B / A) : 0;
      P[3] = BYTE(A / (SUB * SUB));
    }
  }
  return OUT;
}

}  // namespace

int main(int ARGC, char** ARGV) {
  if (ARGC < 3) {
    std::fprintf(stderr, "usage: volley_icongen OUT_DIR SIZE...\n");
    return 2;
  }
  for (int I = 2; I < ARGC; ++I) {
    const int SIZE = std::atoi(ARGV[I]);
    if (SIZE < 8 || SIZE > 1024) {
      std::fprintf(stderr, "volley_icongen: size %s is not between 8 and 1024\n", ARGV[I]);
      return 2;
    }
    const std::string S = std::to_string(SIZE);
    const std::filesystem::path DIR = std::filesystem::path(ARGV[1]) / (S + "x" + S) / "apps";
    std::error_code EC;
    std::filesystem::create_directories(DIR, EC);
    std::string ERROR;
    const std::vector<uint8_t> PIXELS = RENDER(SIZE);
    if (!harness::write_png_rgba((DIR / "volley.png").string(), SIZE, SIZE, PIXELS.data(), ERROR)) {
      std::fprintf(stderr, "volley_icongen: %s\n", ERROR.c_str());
      return 1;
    }
  }
  return 0;
}
