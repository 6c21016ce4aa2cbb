// harness: JSON-lines trace writer (one JSON object per line, one line per traced frame).
// Floats are written with 9 significant digits ("%.9g"), which reads back to the same 32-bit
// value. NaN and the infinities have no JSON form and are written as null (pinned by
// TraceFloat.NonFiniteValuesBecomeNull).
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace harness {

/// Formats V as "%.9g" would (C locale) into BUF; null text for NaN and infinities.
/// Returns the number of characters written (BUF needs 32 bytes).
std::size_t format_float(float V, char* BUF);

/// A buffered writer of JSON values with automatic commas. Objects and arrays nest up to 16
/// levels; a line is ended with end_line() once the outermost object is closed.
class TraceWriter {
 public:
  TraceWriter() = default;
  TraceWriter(const TraceWriter&) = delete;
  TraceWriter& operator=(const TraceWriter&) = delete;
  ~TraceWriter() { close(); }

  /// Opens PATH for writing (truncating it). On failure returns false and sets ERROR.
  bool open(const std::string& PATH, std::string& ERROR);
  /// Writes into an already open stream that the caller keeps owning (tests: a memory file).
  void attach(std::FILE* STREAM);
  /// Flushes and closes the file (a stream given to attach() is only flushed). Returns false
  /// when a write failed anywhere since open().
  bool close();
  bool is_open() const { return FILE_ != nullptr; }

  void begin_object();
  void end_object();
  void begin_array();
  void end_array();
  /// Writes "NAME": inside an object; the value follows with one of the value calls.
  void key(const char* NAME);
  void value(int32_t V);
  void value(uint32_t V);
  void value(float V);
  void value(bool V);
  void value(const char* TEXT);  ///< a JSON string; null TEXT writes null
  void null();
  void end_line();

  // Shorthands for a member of the current object.
  template <class T>
  void field(const char* NAME, T V) {
    key(NAME);
    value(V);
  }

 private:
  void separate();  // writes the comma before a value or key where one is due
  void put(const char* S, std::size_t N);

  std::FILE* FILE_ = nullptr;
  bool OWNED_ = false;
  bool FAILED_ = false;
  int DEPTH_ = 0;
  bool FIRST_[17] = {true};
  bool AFTER_KEY_ = false;
};

}  // namespace harness
