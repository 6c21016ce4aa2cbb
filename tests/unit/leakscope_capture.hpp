// Test helper: captures the allocation tracker's two report streams in temporary files.
#pragma once

#include <cstdio>
#include <string>

#include "leakscope/leakscope.hpp"

namespace volley_test {

/// Captures the tracker's two report streams.
class ReportCapture {
 public:
  ReportCapture() : ERR(std::tmpfile()), OUT(std::tmpfile()) { LEAKSCOPE_SET_STREAMS(ERR, OUT); }
  ~ReportCapture() {
    LEAKSCOPE_SET_STREAMS(nullptr, nullptr);
    std::fclose(ERR);
    std::fclose(OUT);
  }
  std::string ERR_TEXT() { return READ(ERR); }
  std::string OUT_TEXT() { return READ(OUT); }

 private:
  static std::string READ(std::FILE* F) {
    std::fflush(F);
    std::rewind(F);
    std::string S;
    int C;
    while ((C = std::fgetc(F)) != EOF) S.push_back(static_cast<char>(C));
    return S;
  }
  std::FILE* ERR;
  std::FILE* OUT;
};

}  // namespace volley_test
