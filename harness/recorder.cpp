// harness: recording of presented frames.
#include "harness/recorder.hpp"

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
  return (!PNG_.empty() && recorded_frame(F, PNG_EVERY_)) || (GIF_.is_open() && recorded_frame(F, GIF_EVERY_));
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
  return true;
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
  return true;
}

bool Recorder::capture_screen(int32_t F, std::string& ERROR) {
  if (!wants(F)) return true;
  return capture_indexed(F, draw2d::visible_buffer(), current_palette(), ERROR);
}

bool Recorder::close(std::string& ERROR) {
  PNG_.clear();
  return GIF_.close(ERROR);
}

}  // namespace harness
