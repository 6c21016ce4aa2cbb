// image: the search path of the programs' asset files.
#include "image/asset_path.hpp"

#include <cstdlib>
#include <system_error>

#include "draw2d/draw2d.hpp"

namespace assets {

const char* installed_data_dir() { return VOLLEY_INSTALLED_DATA_DIR; }

std::vector<std::filesystem::path> search_places(const char* ENV_DATA_DIR) {
  std::vector<std::filesystem::path> PLACES{"."};
  if (ENV_DATA_DIR != nullptr && ENV_DATA_DIR[0] != '\0') PLACES.emplace_back(ENV_DATA_DIR);
  PLACES.emplace_back(installed_data_dir());
  return PLACES;
}

std::vector<std::filesystem::path> search_places() {
  return search_places(std::getenv("VOLLEY_DATA_DIR"));
}

std::optional<std::string> find(const std::string& NAME,
                                const std::vector<std::filesystem::path>& PLACES) {
  for (const std::filesystem::path& PLACE : PLACES) {
    const std::filesystem::path CANDIDATE =
        PLACE == "." ? std::filesystem::path(NAME) : PLACE / NAME;
    std::error_code EC;
    const std::filesystem::file_status S = std::filesystem::status(CANDIDATE, EC);
    if (!EC && std::filesystem::exists(S) && !std::filesystem::is_directory(S)) {
      return CANDIDATE.string();
    }
  }
  return std::nullopt;
}

std::string not_found_message(const std::string& NAME,
                              const std::vector<std::filesystem::path>& PLACES) {
  std::string LINE = "cannot find " + NAME + " in ";
  for (std::size_t I = 0; I < PLACES.size(); ++I) {
    if (I > 0) LINE += I + 1 == PLACES.size() ? " or " : ", ";
    LINE += PLACES[I] == "." ? "the current directory" : PLACES[I].string();
  }
  return LINE;
}

// DEVIATION(asset-search-path): the current directory, then $VOLLEY_DATA_DIR, then the
// installed data directory; a file in none of them is a fatal load error naming the places.
std::string locate_or_stop(const std::string& NAME) {
  const std::vector<std::filesystem::path> PLACES = search_places();
  if (std::optional<std::string> PATH = find(NAME, PLACES)) return *PATH;
  draw2d::console_print(not_found_message(NAME, PLACES));
  if (!draw2d::headless()) {
    if (draw2d::screen_is_open()) {
      draw2d::wait_key();
    } else {
      draw2d::console_read_key();
    }
  }
  draw2d::end(0);
}

}  // namespace assets
