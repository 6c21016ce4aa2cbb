// harness: the version every program prints for --version: the project's version number and
// the git commit its build came from (recorded by the build, see cmake/VolleyCommit.cmake).
#pragma once

#include <string>

namespace harness {

/// The project's version number, "MAJOR.MINOR.PATCH" (CMake's project version).
const char* version();

/// The commit the build came from: 12 hexadecimal digits, followed by "-modified" when the
/// build's tracked files differed from that commit; "unknown" when built outside a checkout.
const char* build_commit();

/// The --version text of PROGRAM: "PROGRAM VERSION (commit COMMIT)" and a line break.
std::string version_text(const std::string& PROGRAM);

}  // namespace harness
