// Test helpers: a scratch directory per test, and a program run with a deadline, capturing its
// output. The child gets its own working directory, standard input from a file (/dev/null by
// default) or a pipe that stays open, to prove that it never waits for input, and standard
// output and error in files.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace e2e {

struct RunResult {
  int EXIT = -1;           ///< exit code, or -1 when killed or signalled
  bool TIMED_OUT = false;  ///< the deadline passed and the program was killed
  std::string OUT, ERR;
};

inline std::string READ_FILE(const std::string& PATH) {
  std::ifstream IN(PATH, std::ios::binary);
  return {std::istreambuf_iterator<char>(IN), std::istreambuf_iterator<char>()};
}

/// A fresh empty directory named after PREFIX and the running test; with ASSETS it holds links to
/// the designer's palette, sprite sheet and fonts.
inline std::filesystem::path SCRATCH_DIR(const std::string& PREFIX, bool ASSETS) {
  namespace fs = std::filesystem;
  const fs::path DIR =
      fs::temp_directory_path() / (PREFIX + "_" + std::to_string(getpid()) + "_" +
                                   ::testing::UnitTest::GetInstance()->current_test_info()->name());
  fs::remove_all(DIR);
  fs::create_directories(DIR);
  for (const char* NAME : {"korvane.pal", "kv_bullet.put", "tiny_font.put", "qzfntdg.put"})
    if (ASSETS) fs::create_symlink(fs::path(VOLLEY_RUN_DIR) / NAME, DIR / NAME);
  return DIR;
}

/// Starts ARGS[0] with ARGS in DIR, its standard input read from STDIN_PATH. WHILE_RUNNING
/// (optional) is called about every 50 ms with the child's pid until it ends or the deadline of
/// TIMEOUT_S seconds passes.
inline RunResult RUN(const std::vector<std::string>& ARGS, const std::string& DIR, double TIMEOUT_S,
                     bool STDIN_OPEN_PIPE = false,
                     const std::function<void(pid_t)>& WHILE_RUNNING = {},
                     const std::string& STDIN_PATH = "/dev/null") {
  RunResult R;
  static int SERIAL = 0;
  const std::string BASE =
      "/tmp/volley_e2e_" + std::to_string(getpid()) + "_" + std::to_string(++SERIAL);
  const std::string OUT_PATH = BASE + ".out", ERR_PATH = BASE + ".err";
  int PIPE[2] = {-1, -1};
  if (STDIN_OPEN_PIPE && pipe(PIPE) != 0) return R;

  std::vector<char*> ARGV;
  for (const std::string& A : ARGS) ARGV.push_back(const_cast<char*>(A.c_str()));
  ARGV.push_back(nullptr);

  const pid_t PID = fork();
  if (PID == 0) {
    const int FD[3] = {STDIN_OPEN_PIPE ? PIPE[0] : open(STDIN_PATH.c_str(), O_RDONLY),
                       open(OUT_PATH.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644),
                       open(ERR_PATH.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)};
    for (int I = 0; I < 3; ++I)
      if (FD[I] < 0 || dup2(FD[I], I) < 0) _exit(126);
    if (chdir(DIR.c_str()) != 0) _exit(126);
    if (STDIN_OPEN_PIPE) close(PIPE[1]);
    execv(ARGV[0], ARGV.data());
    _exit(127);
  }
  if (STDIN_OPEN_PIPE) close(PIPE[0]);  // the write end stays open until the child is gone

  const auto DEADLINE = std::chrono::steady_clock::now() + std::chrono::duration<double>(TIMEOUT_S);
  int STATUS = 0;
  while (waitpid(PID, &STATUS, WNOHANG) != PID) {
    if (std::chrono::steady_clock::now() > DEADLINE) {
      R.TIMED_OUT = kill(PID, SIGKILL) == 0;
      waitpid(PID, &STATUS, 0);
      break;
    }
    if (WHILE_RUNNING) WHILE_RUNNING(PID);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (STDIN_OPEN_PIPE) close(PIPE[1]);
  if (!R.TIMED_OUT && WIFEXITED(STATUS)) R.EXIT = WEXITSTATUS(STATUS);
  R.OUT = READ_FILE(OUT_PATH);
  R.ERR = READ_FILE(ERR_PATH);
  std::remove(OUT_PATH.c_str());
  std::remove(ERR_PATH.c_str());
  return R;
}

/// Output of a shell command (standard output only), for tools such as xdotool.
inline std::string CAPTURE(const std::string& COMMAND) {
  std::string OUT;
  std::FILE* P = popen(COMMAND.c_str(), "r");
  for (int C; P != nullptr && (C = std::fgetc(P)) != EOF;) OUT += static_cast<char>(C);
  if (P != nullptr) pclose(P);
  return OUT;
}

}  // namespace e2e
