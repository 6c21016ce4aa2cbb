// volleyview watch: pattern files and their changes on disk (namespace NVIEW).
#include "volleyview/watch.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <set>
#include <system_error>

namespace NVIEW {

namespace fs = std::filesystem;

std::optional<FILE_STAMP> STAMP_OF(const fs::path& PATH) {
  struct stat S {};
  if (::stat(PATH.c_str(), &S) != 0 || !S_ISREG(S.st_mode)) return std::nullopt;
  FILE_STAMP T;
  T.MTIME_NS = static_cast<int64_t>(S.st_mtim.tv_sec) * 1000000000 + S.st_mtim.tv_nsec;
  T.SIZE = static_cast<int64_t>(S.st_size);
  T.INODE = static_cast<uint64_t>(S.st_ino);
  T.DEVICE = static_cast<uint64_t>(S.st_dev);
  return T;
}

bool IS_PATTERN_NAME(const fs::path& PATH) {
  const std::string NAME = PATH.filename().string();
  // CHOICE: hidden names are left out, so an editor's lock and swap files never play;
  // pinned by ViewWatch.PollSeesRenamesRewritesAndDeletions.
  if (NAME.empty() || NAME[0] == '.') return false;
  const std::string EXT = PATH.extension().string();
  return EXT == ".vly" || EXT == ".json";
}

std::vector<fs::path> LIST_PATTERN_FILES(const std::vector<std::string>& ARGS) {
  std::vector<fs::path> OUT;
  std::set<fs::path> SEEN;
  auto ADD = [&](const fs::path& P) {
    if (SEEN.insert(P.lexically_normal()).second) OUT.push_back(P);
  };
  const std::vector<std::string> ALL = ARGS.empty() ? std::vector<std::string>{"."} : ARGS;
  for (const std::string& ARG : ALL) {
    std::error_code EC;
    if (fs::is_directory(ARG, EC)) {
      std::vector<fs::path> IN_DIR;
      for (fs::directory_iterator IT(ARG, EC), END; !EC && IT != END; IT.increment(EC)) {
        const fs::path P = ARG == "." ? IT->path().filename() : IT->path();
        if (IS_PATTERN_NAME(P) && STAMP_OF(P)) IN_DIR.push_back(P);
      }
      std::sort(IN_DIR.begin(), IN_DIR.end());
      for (const fs::path& P : IN_DIR) ADD(P);
    } else if (STAMP_OF(ARG)) {
      ADD(ARG);
    }
  }
  return OUT;
}

std::vector<FILE_CHANGE> WATCHER::POLL() {
  std::vector<fs::path> NOW;
  std::vector<FILE_STAMP> NOW_STAMPS;
  for (const fs::path& P : LIST_PATTERN_FILES(ARGS_)) {
    // A file may vanish between the listing and its stamp: it is then simply not listed.
    if (const std::optional<FILE_STAMP> S = STAMP_OF(P)) {
      NOW.push_back(P);
      NOW_STAMPS.push_back(*S);
    }
  }
  std::vector<FILE_CHANGE> CHANGES;
  for (std::size_t I = 0; I < FILES_.size(); ++I) {
    if (std::find(NOW.begin(), NOW.end(), FILES_[I]) == NOW.end())
      CHANGES.push_back({FILE_CHANGE::KIND::REMOVED, FILES_[I]});
  }
  for (std::size_t I = 0; I < NOW.size(); ++I) {
    const auto OLD = std::find(FILES_.begin(), FILES_.end(), NOW[I]);
    if (OLD == FILES_.end()) {
      CHANGES.push_back({FILE_CHANGE::KIND::ADDED, NOW[I]});
    } else if (STAMPS_[static_cast<std::size_t>(OLD - FILES_.begin())] != NOW_STAMPS[I]) {
      CHANGES.push_back({FILE_CHANGE::KIND::CHANGED, NOW[I]});
    }
  }
  FILES_ = std::move(NOW);
  STAMPS_ = std::move(NOW_STAMPS);
  return CHANGES;
}

}  // namespace NVIEW
