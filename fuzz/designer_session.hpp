// Fuzz targets that drive the designer: a headless session as the program runs it.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>

#include "draw2d/draw2d.hpp"
#include "fuzz/fuzz_common.hpp"
#include "volleyedit/designer.hpp"

namespace volley_fuzz {

/// A headless designer session in mode 0 of at most FRAMES frames, in the scratch directory
/// (where the generated assets are linked; F1 saves and F2 loads stay there), with BEGIN(F)
/// at the start of frame F, torn down in the program's exit order. Fails unless the session
/// returns every block of the tracker.
inline void run_designer(int32_t FRAMES, const std::function<void(int32_t)>& BEGIN) {
  const std::filesystem::path BACK = std::filesystem::current_path();
  std::filesystem::current_path(scratch_dir());
  const SameBlocks BLOCKS;
  NDESIGNER::FRAME_CLOCK = NDESIGNER::FRAME_CLOCK_TYPE{};
  NDESIGNER::FRAME_CLOCK.HOOKS.BEGIN_FRAME = BEGIN;
  NDESIGNER::FRAME_CLOCK.HOOKS.LAST_FRAME = [FRAMES](int32_t F) { return F >= FRAMES; };
  NDESIGNER::U_KEY = NDESIGNER::D_KEY = {};
  const auto D = std::make_unique<NDESIGNER::DESIGNER_TYPE>();
  NDESIGNER::START(*D, {0, 8, 0});
  while (NDESIGNER::RUN_FRAME(*D)) continue;  // the last frame ends the loop
  NDESIGNER::SHUTDOWN(*D);
  draw2d::close_screen();
  std::filesystem::current_path(BACK);
}

}  // namespace volley_fuzz
