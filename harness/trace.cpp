// harness: JSON-lines trace writer.
#include "harness/trace.hpp"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>

namespace harness {

std::size_t format_float(float V, char* BUF) {
  if (!std::isfinite(V)) {
    std::memcpy(BUF, "null", 4);
    return 4;
  }
  // to_chars with a precision behaves as printf("%.9g") in the C locale, without its cost.
  auto [P, EC] = std::to_chars(BUF, BUF + 31, V, std::chars_format::general, 9);
  (void)EC;  // 31 characters always suffice for a float at 9 digits
  return static_cast<std::size_t>(P - BUF);
}

bool TraceWriter::open(const std::string& PATH, std::string& ERROR) {
  close();
  FILE_ = std::fopen(PATH.c_str(), "wb");
  if (FILE_ == nullptr) {
    ERROR = "cannot write the trace file '" + PATH + "': " + std::strerror(errno);
    return false;
  }
  OWNED_ = true;
  FAILED_ = false;
  // A large buffer: a traced frame is a few tens of kilobytes.
  std::setvbuf(FILE_, nullptr, _IOFBF, 1 << 20);
  return true;
}

void TraceWriter::attach(std::FILE* STREAM) {
  close();
  FILE_ = STREAM;
  OWNED_ = false;
  FAILED_ = false;
}

bool TraceWriter::close() {
  if (FILE_ == nullptr) return !FAILED_;
  if (std::fflush(FILE_) != 0 || std::ferror(FILE_)) FAILED_ = true;
  if (OWNED_ && std::fclose(FILE_) != 0) FAILED_ = true;
  FILE_ = nullptr;
  OWNED_ = false;
  DEPTH_ = 0;
  FIRST_[0] = true;
  AFTER_KEY_ = false;
  return !FAILED_;
}

void TraceWriter::put(const char* S, std::size_t N) {
  if (FILE_ != nullptr && std::fwrite(S, 1, N, FILE_) != N) FAILED_ = true;
}

void TraceWriter::separate() {
  if (AFTER_KEY_) {
    AFTER_KEY_ = false;
    return;
  }
  if (!FIRST_[DEPTH_]) put(",", 1);
  FIRST_[DEPTH_] = false;
}

void TraceWriter::begin_object() {
  separate();
  put("{", 1);
  if (DEPTH_ < 16) ++DEPTH_;
  FIRST_[DEPTH_] = true;
}

void TraceWriter::end_object() {
  put("}", 1);
  if (DEPTH_ > 0) --DEPTH_;
}

void TraceWriter::begin_array() {
  separate();
  put("[", 1);
  if (DEPTH_ < 16) ++DEPTH_;
  FIRST_[DEPTH_] = true;
}

void TraceWriter::end_array() {
  put("]", 1);
  if (DEPTH_ > 0) --DEPTH_;
}

void TraceWriter::key(const char* NAME) {
  separate();
  put("\"", 1);
  put(NAME, std::strlen(NAME));
  put("\":", 2);
  AFTER_KEY_ = true;
}

// Decimal text of a 32-bit integer (at most 11 characters, so the buffer always suffices).
template <typename INTEGER>
static std::size_t integer_text(INTEGER V, char (&BUF)[16]) {
  return static_cast<std::size_t>(std::to_chars(BUF, BUF + sizeof BUF, V).ptr - BUF);
}

void TraceWriter::value(int32_t V) {
  separate();
  char BUF[16];
  put(BUF, integer_text(V, BUF));
}

void TraceWriter::value(uint32_t V) {
  separate();
  char BUF[16];
  put(BUF, integer_text(V, BUF));
}

void TraceWriter::value(float V) {
  separate();
  char BUF[32];
  put(BUF, format_float(V, BUF));
}

void TraceWriter::value(bool V) {
  separate();
  if (V) {
    put("true", 4);
  } else {
    put("false", 5);
  }
}

void TraceWriter::value(const char* TEXT) {
  separate();
  if (TEXT == nullptr) {
    put("null", 4);
    return;
  }
  put("\"", 1);
  for (const char* C = TEXT; *C != '\0'; ++C) {
    const unsigned char U = static_cast<unsigned char>(*C);
    if (U == '"' || U == '\\') {
      const char ESC[2] = {'\\', static_cast<char>(U)};
      put(ESC, 2);
    } else if (U < 0x20) {
      char ESC[8];
      const int N = std::snprintf(ESC, sizeof ESC, "\\u%04x", U);
      put(ESC, static_cast<std::size_t>(N));
    } else {
      put(C, 1);
    }
  }
  put("\"", 1);
}

void TraceWriter::null() {
  separate();
  put("null", 4);
}

void TraceWriter::end_line() {
  put("\n", 1);
  DEPTH_ = 0;
  FIRST_[0] = true;
  AFTER_KEY_ = false;
}

}  // namespace harness
