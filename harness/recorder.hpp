// harness: records the presented frames of a run as PNG files and/or an animated GIF.
// Frames 1, 1 + K, 1 + 2K, ... are recorded (K from --png-every / --gif-every), so
// the first frame of a run is always in a recording (pinned by HarnessRecorder.
// RecordsFramesOneAndEveryKthAfter).
#pragma once

#include <cstdint>
#include <string>

#include "harness/image_writers.hpp"
#include "harness/options.hpp"

namespace harness {

/// True when frame F (from 1) is recorded at every EVERY-th frame.
inline bool recorded_frame(int32_t F, int32_t EVERY) { return F >= 1 && EVERY >= 1 && (F - 1) % EVERY == 0; }

class Recorder {
 public:
  /// Prepares the recordings that OPTIONS ask for: creates the GIF file and the PNG of frame 1
  /// (so that an unwritable path fails before the run starts). ERROR on failure.
  bool open(const RunOptions& OPTIONS, std::string& ERROR);
  bool active() const { return !PNG_.empty() || GIF_.is_open(); }
  /// True when frame F goes into at least one recording (callers may skip the capture).
  bool wants(int32_t F) const;

  /// Records frame F from an 8-bit image buffer (header + pixels) with PALETTE.
  bool capture_indexed(int32_t F, const uint8_t* BUFFER, const Palette& PALETTE, std::string& ERROR);
  /// Records frame F from W x H RGBA pixels whose colours come from COLOURMAP.
  bool capture_rgba(int32_t F, const uint8_t* RGBA, int W, int H, const Palette& COLOURMAP,
                    std::string& ERROR);
  /// Records frame F from the drawing library's visible page and palette in force.
  bool capture_screen(int32_t F, std::string& ERROR);

  /// Finishes the GIF. False when anything failed.
  bool close(std::string& ERROR);

 private:
  std::string PNG_;
  int32_t PNG_EVERY_ = 1;
  GifWriter GIF_;
  int32_t GIF_EVERY_ = 1;
  int32_t GIF_COUNT_ = 0;
};

}  // namespace harness
