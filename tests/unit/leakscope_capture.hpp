// Test helper: captures the allocation tracker's two report streams in temporary files.
#pragma once

#include <cstdio>
#include <string>

#include "leakscope/leakscope.hpp"

namespace volley_test {

struct ReportCapture {
  std::FILE *ERR = std::tmpfile(), *OUT = std::tmpfile();
  ReportCapture() { LEAKSCOPE_SET_STREAMS(ERR, OUT); }
  ~ReportCapture() {
    LEAKSCOPE_SET_STREAMS(nullptr, nullptr);
    std::fclose(ERR);
    std::fclose(OUT);
  }
  static std::string TEXT(std::FILE* F) {
    std::fseek(F, 0, SEEK_END);
    std::string S(static_cast<std::size_t>(std::ftell(F)), '\0');
    std::rewind(F);
    S.resize(std::fread(S.data(), 1, S.size(), F));
    return S;
  }
  std::string ERR_TEXT() { return TEXT(ERR); }
  std::string OUT_TEXT() { return TEXT(OUT); }
};

}  // namespace volley_test
