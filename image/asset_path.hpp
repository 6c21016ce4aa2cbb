// image: where the programs find their palettes and sprite sheets. Each file is looked for in
// the current directory first, then in $VOLLEY_DATA_DIR when it is set, then in the data
// directory of the installation (compiled in), so an installed program runs from anywhere.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace assets {

/// The data directory of the installation, "<prefix>/share/volley", fixed at build time.
const char* installed_data_dir();

/// The directories searched, in order: "." (the current directory), ENV_DATA_DIR when it is
/// neither null nor empty, then installed_data_dir().
std::vector<std::filesystem::path> search_places(const char* ENV_DATA_DIR);

/// search_places() with the environment's VOLLEY_DATA_DIR.
std::vector<std::filesystem::path> search_places();

/// The path to open for NAME: NAME itself when the current directory holds it (so what a
/// program opens from there is unchanged), else PLACE / NAME for the first other place that
/// holds it. A directory of that name does not count. No value when no place holds it.
std::optional<std::string> find(const std::string& NAME,
                                const std::vector<std::filesystem::path>& PLACES);

/// The one-line message for a NAME that no place holds; it names every place searched.
std::string not_found_message(const std::string& NAME,
                              const std::vector<std::filesystem::path>& PLACES);

/// For program start-up: the path to open for NAME (see find). When no place holds it, the
/// program stops as every fatal load error does: not_found_message on the console, a key
/// (skipped in headless runs), end of the program with exit code 0.
std::string locate_or_stop(const std::string& NAME);

}  // namespace assets
