// harness: recording of presented frames.
#include "harness/recorder.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "draw2d/draw2d.hpp"

namespace harness {

bool Recorder::open(const RunOptions& OPTIONS, std::string& ERROR) {
  PNG_ = OPTIONS.PNG;
  PNG_EVERY_ = OPTIONS.PNG_EVERY;
  GIF_EVERY_ = OPTIONS.GIF_EVERY;
  GIF_COUNT_ = 0;
  if (!PNG_.empty()) {
    // Frame 1 is always recorded, so creating its file now costs nothing and finds a bad
    // directory before the run starts.
    const std::string FIRST = frame_file_name(PNG_, 1);
    std::FILE* PROBE = std::fopen(FIRST.c_str(), "wb");
    if (PROBE == nullptr) {
      ERROR = "cannot write the PNG file '" + FIRST + "': " + std::strerror(errno);
      PNG_.clear();
      return false;
    }
    std::fclose(PROBE);
  }
  if (!OPTIONS.GIF.empty() && !GIF_.open(OPTIONS.GIF, ERROR)) {
    PNG_.clear();
    return false;
  }
  return true;
}

bool Recorder::wants(int32_t F) const {
  return (!PNG_.empty() && recorded_frame(F, PNG_EVERY_)) || (GIF_.is_open() && recorded_frame(F, GIF_EVERY_)) ||
         !SNAPSHOT_.empty() || KEY_GIF_.is_open();
}

bool Recorder::capture_indexed(int32_t F, const uint8_t* BUFFER, const Palette& PALETTE, std::string& ERROR) {
  if (BUFFER == nullptr) return true;
  const int W = draw2d::width_of(BUFFER);
  const int H = draw2d::height_of(BUFFER);
  const uint8_t* PIXELS = BUFFER + draw2d::HEADER_BYTES;
  if (!PNG_.empty() && recorded_frame(F, PNG_EVERY_) &&
      !write_png_indexed(frame_file_name(PNG_, F), W, H, PIXELS, PALETTE, ERROR)) {
    return false;
  }
  if (GIF_.is_open() && recorded_frame(F, GIF_EVERY_)) {
    ++GIF_COUNT_;
    if (!GIF_.add_frame(W, H, PIXELS, PALETTE, gif_delay_cs(GIF_COUNT_, GIF_EVERY_), ERROR)) return false;
  }
  return capture_keys(PIXELS, W, H, PALETTE, false, ERROR);
}

bool Recorder::capture_rgba(int32_t F, const uint8_t* RGBA, int W, int H, const Palette& COLOURMAP,
                            std::string& ERROR) {
  if (!PNG_.empty() && recorded_frame(F, PNG_EVERY_) && !write_png_rgba(frame_file_name(PNG_, F), W, H, RGBA, ERROR)) {
    return false;
  }
  if (GIF_.is_open() && recorded_frame(F, GIF_EVERY_)) {
    ++GIF_COUNT_;
    const std::vector<uint8_t> INDICES = rgba_to_indices(RGBA, W, H, COLOURMAP);
    if (!GIF_.add_frame(W, H, INDICES.data(), COLOURMAP, gif_delay_cs(GIF_COUNT_, GIF_EVERY_), ERROR)) {
      return false;
    }
  }
  return capture_keys(RGBA, W, H, COLOURMAP, true, ERROR);
}

bool Recorder::capture_keys(const uint8_t* PIXELS, int W, int H, const Palette& PALETTE, bool RGBA,
                            std::string& ERROR) {
  if (!SNAPSHOT_.empty()) {
    const std::string PATH = std::move(SNAPSHOT_);
    SNAPSHOT_.clear();
    const bool OK = RGBA ? write_png_rgba(PATH, W, H, PIXELS, ERROR)
                         : write_png_indexed(PATH, W, H, PIXELS, PALETTE, ERROR);
    if (!OK) return false;
  }
  if (KEY_GIF_.is_open()) {
    ++KEY_GIF_COUNT_;
    const int DELAY = gif_delay_cs(KEY_GIF_COUNT_, 1);
    if (RGBA) {
      const std::vector<uint8_t> INDICES = rgba_to_indices(PIXELS, W, H, PALETTE);
      return KEY_GIF_.add_frame(W, H, INDICES.data(), PALETTE, DELAY, ERROR);
    }
    return KEY_GIF_.add_frame(W, H, PIXELS, PALETTE, DELAY, ERROR);
  }
  return true;
}

bool Recorder::request_snapshot(const std::string& DIR, std::string& NAME, std::string& ERROR) {
  NAME = claim_capture_name(DIR, "png", ERROR);
  if (NAME.empty()) return false;
  // Two requests before one frame make one file.
  if (!SNAPSHOT_.empty()) std::remove(SNAPSHOT_.c_str());
  SNAPSHOT_ = NAME;
  return true;
}

bool Recorder::toggle_gif(const std::string& DIR, std::string& NAME, bool& STARTED,
                          std::string& ERROR) {
  if (KEY_GIF_.is_open()) {
    STARTED = false;
    NAME = std::move(KEY_GIF_NAME_);
    KEY_GIF_NAME_.clear();
    return KEY_GIF_.close(ERROR);
  }
  STARTED = true;
  NAME = claim_capture_name(DIR, "gif", ERROR);
  if (NAME.empty() || !KEY_GIF_.open(NAME, ERROR)) return false;
  KEY_GIF_NAME_ = NAME;
  KEY_GIF_COUNT_ = 0;
  return true;
}

bool capture_key_presses(Recorder& REC, bool F12_PRESSED, bool F11_PRESSED,
                         std::vector<std::string>& LINES, std::string& ERROR) {
  std::string NAME;
  if (F12_PRESSED) {
    if (!REC.request_snapshot(".", NAME, ERROR)) return false;
    LINES.push_back("wrote " + NAME);
  }
  if (F11_PRESSED) {
    bool STARTED = false;
    if (!REC.toggle_gif(".", NAME, STARTED, ERROR)) return false;
    LINES.push_back((STARTED ? "recording " : "wrote ") + NAME);
  }
  return true;
}

std::string claim_capture_name(const std::string& DIR, const std::string& EXT, std::string& ERROR) {
  // CHOICE: the lowest free number is taken, so a directory that was cleared starts again at
  // 0001; pinned by HarnessCaptureKeys.NamesTakeTheLowestFreeNumber.
  constexpr int LAST = 99999;
  for (int N = 1; N <= LAST; ++N) {
    char NAME[32];
    std::snprintf(NAME, sizeof NAME, "volley_%04d.", N);
    const std::string PATH = (DIR.empty() || DIR == "." ? "" : DIR + "/") + NAME + EXT;
    const int FD = ::open(PATH.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
    if (FD >= 0) {
      ::close(FD);
      return PATH;
    }
    if (errno != EEXIST) {
      ERROR = "cannot write the capture file '" + PATH + "': " + std::strerror(errno);
      return {};
    }
  }
  ERROR = "no free capture name volley_NNNN." + EXT + " is left in '" + DIR + "'";
  return {};
}

bool Recorder::capture_screen(int32_t F, std::string& ERROR) {
  if (!wants(F)) return true;
  return capture_indexed(F, draw2d::visible_buffer(), current_palette(), ERROR);
}

bool Recorder::close(std::string& ERROR) {
  PNG_.clear();
  if (!SNAPSHOT_.empty()) std::remove(SNAPSHOT_.c_str());  // requested after the last frame
  SNAPSHOT_.clear();
  bool OK = true;
  if (KEY_GIF_.is_open()) {
    KEY_GIF_NAME_.clear();
    OK = KEY_GIF_.close(ERROR);
  }
  return GIF_.close(ERROR) && OK;
}

}  // namespace harness
