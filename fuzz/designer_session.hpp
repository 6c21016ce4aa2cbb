// Fuzz targets: a headless designer session in the scratch directory (mode 0, the generated
// assets), driven by a key callback, torn down in the program's exit order.
#pragma once

#include <cstdint>
#include <functional>

namespace volley_fuzz {

/// Starts the designer, runs up to FRAMES frames with KEYS(frame) called at the start of each
/// frame (it sets draw2d key states), shuts it down and releases every key. Aborts when the
/// tracker holds more blocks afterwards than before. Returns the frames run.
int32_t run_designer(const std::function<void(int32_t)>& KEYS, int32_t FRAMES);

}  // namespace volley_fuzz
