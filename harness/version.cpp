// harness: version number and build commit for --version.
#include "harness/version.hpp"

namespace harness {

const char* version() { return VOLLEY_VERSION; }

std::string version_text(const std::string& PROGRAM) {
  return PROGRAM + " " + version() + " (commit " + build_commit() + ")\n";
}

}  // namespace harness
