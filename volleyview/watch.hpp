// volleyview watch: the pattern files that the command line names, and their changes on disk
// (namespace NVIEW). Files are told apart by their stamp (modification time, size, inode), so
// an editor that writes a temporary file and renames it over the old one is seen as a change.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace NVIEW {

/// What tells one version of a file from another without reading it.
struct FILE_STAMP {
  int64_t MTIME_NS = 0;
  int64_t SIZE = 0;
  uint64_t INODE = 0;
  uint64_t DEVICE = 0;
  bool operator==(const FILE_STAMP&) const = default;
};

/// The stamp of the regular file PATH (symbolic links followed); nothing when there is none.
std::optional<FILE_STAMP> STAMP_OF(const std::filesystem::path& PATH);

/// True for a file the previewer plays: a name ending in ".vly" or ".json" that does not start
/// with a dot (editors keep their hidden lock and swap files beside the pattern).
bool IS_PATTERN_NAME(const std::filesystem::path& PATH);

/// The pattern files the arguments name, as they are on disk now: a file stands for itself
/// (when it exists), a directory for every pattern file in it sorted by name, in the order of
/// the arguments; no argument means the current directory. A path is listed once.
std::vector<std::filesystem::path> LIST_PATTERN_FILES(const std::vector<std::string>& ARGS);

/// One difference between two polls.
struct FILE_CHANGE {
  enum class KIND { ADDED, CHANGED, REMOVED };
  KIND WHAT;
  std::filesystem::path PATH;
};

/// The list of pattern files and their stamps, polled for changes.
class WATCHER {
 public:
  explicit WATCHER(std::vector<std::string> ARGS) : ARGS_(std::move(ARGS)) {}

  /// Lists the files again and compares every stamp with the last poll's. The first poll
  /// reports every file as ADDED. A file that cannot be stamped any more is REMOVED.
  std::vector<FILE_CHANGE> POLL();
  /// The files of the last poll, in list order.
  const std::vector<std::filesystem::path>& FILES() const { return FILES_; }

 private:
  std::vector<std::string> ARGS_;
  std::vector<std::filesystem::path> FILES_;
  std::vector<FILE_STAMP> STAMPS_;  // parallel to FILES_
};

}  // namespace NVIEW
