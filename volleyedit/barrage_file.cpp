// volleyedit barrage files: encoding, save and load (namespace NDESIGNER).
#include "volleyedit/barrage_file.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "volleyedit/menu.hpp"

namespace NDESIGNER {

namespace {

void REPORT(const std::string& FILENAME, const char* WHAT, int ERR) {
  std::fprintf(stderr, "volleyedit: %s \"%s\": %s\n", WHAT, FILENAME.c_str(), std::strerror(ERR));
}

}  // namespace

bool SAVE_DATA(const std::string& FILENAME) {
  float VALUES[BARRAGE_VALUES];
  for (int32_t K = 0; K < BARRAGE_VALUES; ++K) VALUES[K] = MENU[K].VALUE;
  uint8_t BYTES[BARRAGE_BYTES];
  ENCODE_BARRAGE(VALUES, BYTES);

  // Opened for reading and writing without truncating: bytes beyond 140 of a longer file stay.
  // DEVIATION(save-reports-failures): a file that cannot be opened for writing, a short write
  // and a failed close are reported on standard error instead of passing silently; the 140
  // bytes go out in one write so a failure leaves the old contents. Pinned by
  // BarrageFileTest.SaveRewritesTheFirst140BytesOrLeavesTheFileAsItWas.
  // DEVIATION(save-needs-read-handle): a file that can be written but not read is not opened
  // write-only: without a read handle a short write could not put the old bytes back. It is
  // reported and left as it was. Pinned by the write-only case of the test above.
  struct stat OLD_STAT {};
  const bool EXISTED = ::stat(FILENAME.c_str(), &OLD_STAT) == 0;
  const int FD = ::open(FILENAME.c_str(), O_RDWR | O_CREAT, 0666);
  if (FD < 0) {
    REPORT(FILENAME, "cannot write", errno);
    return false;
  }
  // DEVIATION(save-restores-on-short-write): a write cut short (a full disk, a file-size limit)
  // puts back the bytes it overwrote and the old length, and a file this save created is
  // removed again, so no half-written file is left where a good one was; the file-size signal
  // does not end the designer. Pinned by
  // BarrageFileTest.SaveRewritesTheFirst140BytesOrLeavesTheFileAsItWas.
  uint8_t OLD[BARRAGE_BYTES];
  const ssize_t OLD_GOT = ::pread(FD, OLD, BARRAGE_BYTES, 0);
  struct stat OPEN_STAT {};
  const off_t OLD_SIZE = ::fstat(FD, &OPEN_STAT) == 0 ? OPEN_STAT.st_size : 0;
  struct sigaction IGNORE {}, PREVIOUS {};
  IGNORE.sa_handler = SIG_IGN;
  ::sigaction(SIGXFSZ, &IGNORE, &PREVIOUS);
  // The 35 values from offset 0.
  const ssize_t WRITTEN = ::write(FD, BYTES, BARRAGE_BYTES);
  const int WRITE_ERR = errno;
  if (WRITTEN != static_cast<ssize_t>(BARRAGE_BYTES) && EXISTED) {
    if (WRITTEN > 0 && OLD_GOT > 0)
      (void)!::pwrite(FD, OLD, static_cast<std::size_t>(std::min(WRITTEN, OLD_GOT)), 0);
    if (WRITTEN > 0 && OLD_SIZE < WRITTEN) (void)!::ftruncate(FD, OLD_SIZE);
  }
  ::sigaction(SIGXFSZ, &PREVIOUS, nullptr);
  const int CLOSED = ::close(FD);
  if (WRITTEN != static_cast<ssize_t>(BARRAGE_BYTES)) {
    if (!EXISTED) ::unlink(FILENAME.c_str());
    REPORT(FILENAME, "cannot write", WRITTEN < 0 ? WRITE_ERR : ENOSPC);
    return false;
  }
  if (CLOSED != 0) {
    REPORT(FILENAME, "cannot write", errno);
    return false;
  }
  return true;
}

bool LOAD_DATA(const std::string& FILENAME) {
  // DEVIATION(load-never-creates): loading opens the file for reading only, so a missing file
  // is not created and the menu (and with it the design) stays as it was; one line on
  // standard error says so. Pinned by Golden/DesignerSession.MatchesItsGoldenDigest/missing_load.
  const int FD = ::open(FILENAME.c_str(), O_RDONLY);
  if (FD < 0) {
    if (errno == ENOENT) {
      std::fprintf(stderr, "volleyedit: \"%s\" not found, nothing loaded\n", FILENAME.c_str());
    } else {
      REPORT(FILENAME, "nothing loaded, cannot read", errno);
    }
    return false;
  }
  // Only the first 140 bytes count; a shorter file leaves zeros behind its end.
  uint8_t BYTES[BARRAGE_BYTES] = {};
  std::size_t SIZE = 0;
  while (SIZE < BARRAGE_BYTES) {
    const ssize_t GOT = ::read(FD, BYTES + SIZE, BARRAGE_BYTES - SIZE);
    if (GOT < 0) {
      if (errno == EINTR) continue;
      const int ERR = errno;
      ::close(FD);
      REPORT(FILENAME, "nothing loaded, cannot read", ERR);
      return false;
    }
    if (GOT == 0) break;
    SIZE += static_cast<std::size_t>(GOT);
  }
  ::close(FD);
  // DEVIATION(short-file-notice): a file shorter than 140 bytes still loads (zeros for what
  // is missing), and one line on standard error says how many bytes it held.
  // Pinned by BarrageFileTest.ValuesAreLimitedToTheirRows.
  if (SIZE < BARRAGE_BYTES) {
    std::fprintf(stderr, "volleyedit: \"%s\" holds %zu of %zu bytes; the rest read as 0\n",
                 FILENAME.c_str(), SIZE, BARRAGE_BYTES);
  }

  float VALUES[BARRAGE_VALUES];
  DECODE_BARRAGE(BYTES, SIZE, VALUES);
  for (int32_t K = 0; K < BARRAGE_VALUES; ++K) MENU[K].VALUE = VALUES[K];
  LIMIT_LOADED_VALUES();
  return true;
}

}  // namespace NDESIGNER
