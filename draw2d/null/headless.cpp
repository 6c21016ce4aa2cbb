// draw2d null back-end: headless runs. Every screen is a memory screen (the runtime opens no
// window), and the clock is virtual: it starts at 0.0 when headless mode is switched on and
// moves by exactly one frame (1/60 s) per retrace wait or presented frame.
#include <cstdint>

#include "draw2d/draw2d.hpp"
#include "draw2d/internal.hpp"

namespace draw2d {

namespace {

bool HEADLESS = false;
uint64_t TICKS = 0;  // frames since headless mode was switched on

}  // namespace

void set_headless(bool ON) {
  HEADLESS = ON;
  TICKS = 0;  // the virtual clock starts at 0.0 whenever headless mode is switched on
}

bool headless() { return HEADLESS; }

void tick_frame() {
  if (HEADLESS) ++TICKS;
}

namespace detail {

double virtual_time() { return static_cast<double>(TICKS) / FRAMES_PER_SECOND; }

}  // namespace detail

}  // namespace draw2d
