// Tests of the asset search path: the order of the places, when $VOLLEY_DATA_DIR counts, and
// the message that names every place searched (with three places: InstalledPrograms).
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "image/asset_path.hpp"

namespace fs = std::filesystem;

// Places in order: the current directory, $VOLLEY_DATA_DIR when set and not empty, the
// installation's data directory.
TEST(AssetPath, PlacesComeInOrderAndTheMessageNamesEveryOne) {
  const fs::path ROOT = fs::temp_directory_path() / ("volley_assets_" + std::to_string(getpid()));
  for (const char* FILE : {"here/a.pal", "env/a.pal", "env/b.put", "inst/b.put", "inst/c.put",
                           "inst/d.put", "here/d.put/"}) {  // a directory d.put is not the file
    fs::create_directories((ROOT / FILE).parent_path());
    if (!fs::is_directory(ROOT / FILE)) std::ofstream(ROOT / FILE) << "x";
  }
  const fs::path OLD_DIR = fs::current_path();
  fs::current_path(ROOT / "here");
  const std::vector<fs::path> PLACES{".", ROOT / "env", ROOT / "inst"};
  EXPECT_EQ(assets::find("a.pal", PLACES), "a.pal") << "the current directory's name is unchanged";
  EXPECT_EQ(assets::find("b.put", PLACES), (ROOT / "env" / "b.put").string());
  EXPECT_EQ(assets::find("c.put", PLACES), (ROOT / "inst" / "c.put").string());
  EXPECT_EQ(assets::find("d.put", PLACES), (ROOT / "inst" / "d.put").string());
  EXPECT_EQ(assets::find("e.put", PLACES), std::nullopt) << "no place holds e.put";
  fs::current_path(OLD_DIR);
  fs::remove_all(ROOT);
  const fs::path INSTALLED = assets::installed_data_dir();
  EXPECT_EQ(assets::search_places(nullptr), (std::vector<fs::path>{".", INSTALLED}));
  EXPECT_EQ(assets::search_places(""), (std::vector<fs::path>{".", INSTALLED}));
  EXPECT_EQ(assets::search_places("/opt/v"), (std::vector<fs::path>{".", "/opt/v", INSTALLED}));
  EXPECT_EQ(assets::not_found_message("qz.pal", {".", "/usr/share/volley"}),
            "cannot find qz.pal in the current directory or /usr/share/volley");
}
