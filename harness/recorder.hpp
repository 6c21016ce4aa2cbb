// harness: records the presented frames of a run as PNG files and/or an animated GIF.
// Frames 1, 1 + K, 1 + 2K, ... are recorded (K from --png-every / --gif-every), so
// the first frame of a run is always in a recording (pinned by HarnessRecorder.
// RecordsFramesOneAndEveryKthAfter).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

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

  /// Finishes the GIF (and a capture-key GIF still running). False when anything failed.
  bool close(std::string& ERROR);

  // Capture keys: a snapshot on request and a GIF switched on and off, written into the next
  // free volley_NNNN.png / volley_NNNN.gif of a directory, from the frames captured above.

  /// Claims the next free DIR/volley_NNNN.png (its path in NAME); the next captured frame is
  /// written into it. False (ERROR) when no name can be claimed.
  bool request_snapshot(const std::string& DIR, std::string& NAME, std::string& ERROR);
  /// Starts a GIF into the next free DIR/volley_NNNN.gif, or finishes the running one; NAME is
  /// its path and STARTED tells which happened. Every captured frame goes into a running one.
  bool toggle_gif(const std::string& DIR, std::string& NAME, bool& STARTED, std::string& ERROR);
  /// Path of the running capture-key GIF, "" when none runs.
  const std::string& key_gif() const { return KEY_GIF_NAME_; }

 private:
  bool capture_keys(const uint8_t* PIXELS, int W, int H, const Palette& PALETTE, bool RGBA,
                    std::string& ERROR);

  std::string PNG_;
  int32_t PNG_EVERY_ = 1;
  GifWriter GIF_;
  int32_t GIF_EVERY_ = 1;
  int32_t GIF_COUNT_ = 0;
  std::string SNAPSHOT_;  // claimed PNG waiting for the next frame
  GifWriter KEY_GIF_;
  std::string KEY_GIF_NAME_;
  int32_t KEY_GIF_COUNT_ = 0;
};

/// One frame of the capture keys: F12_PRESSED asks for a snapshot of the next captured frame,
/// F11_PRESSED starts or finishes the GIF, both in the current directory. LINES gets what the
/// program prints: "wrote volley_0001.png", "recording volley_0002.gif", "wrote volley_0002.gif".
/// False (ERROR) when a file cannot be made.
bool capture_key_presses(Recorder& REC, bool F12_PRESSED, bool F11_PRESSED,
                         std::vector<std::string>& LINES, std::string& ERROR);

/// Claims the lowest free DIR/volley_NNNN.EXT (NNNN from 0001, four places or more) by
/// creating it empty, so two programs in one directory never take the same name. Returns its
/// path, or "" with ERROR when the directory cannot take a new file.
std::string claim_capture_name(const std::string& DIR, const std::string& EXT, std::string& ERROR);

}  // namespace harness
