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

namespace {

class AssetPath : public ::testing::Test {
 protected:
  void SetUp() override {
    ROOT = fs::temp_directory_path() / ("volley_asset_path_" + std::to_string(getpid()));
    fs::remove_all(ROOT);
    for (const char* D : {"here", "env", "inst"}) fs::create_directories(ROOT / D);
    OLD_DIR = fs::current_path();
    fs::current_path(ROOT / "here");
  }
  void TearDown() override {
    fs::current_path(OLD_DIR);
    fs::remove_all(ROOT);
  }
  void TOUCH(const fs::path& P) { std::ofstream(P) << "x"; }

  fs::path ROOT, OLD_DIR;
};

TEST_F(AssetPath, CurrentDirectoryFirstThenEnvironmentThenInstallation) {
  const std::vector<fs::path> PLACES{".", ROOT / "env", ROOT / "inst"};
  TOUCH(ROOT / "here" / "a.pal");
  TOUCH(ROOT / "env" / "a.pal");
  TOUCH(ROOT / "env" / "b.put");
  TOUCH(ROOT / "inst" / "b.put");
  TOUCH(ROOT / "inst" / "c.put");
  fs::create_directory(ROOT / "here" / "d.put");  // a directory is not the file
  TOUCH(ROOT / "inst" / "d.put");

  EXPECT_EQ(assets::find("a.pal", PLACES), "a.pal") << "the current directory's name is unchanged";
  EXPECT_EQ(assets::find("b.put", PLACES), (ROOT / "env" / "b.put").string());
  EXPECT_EQ(assets::find("c.put", PLACES), (ROOT / "inst" / "c.put").string());
  EXPECT_EQ(assets::find("d.put", PLACES), (ROOT / "inst" / "d.put").string());
  EXPECT_EQ(assets::find("e.put", PLACES), std::nullopt) << "no place holds e.put";
}

TEST(AssetPathPlaces, EnvironmentCountsOnlyWhenSetAndNotEmptyAndTheMessageNamesEveryPlace) {
  const fs::path INSTALLED = assets::installed_data_dir();
  EXPECT_EQ(assets::search_places(nullptr), (std::vector<fs::path>{".", INSTALLED}));
  EXPECT_EQ(assets::search_places(""), (std::vector<fs::path>{".", INSTALLED}));
  EXPECT_EQ(assets::search_places("/opt/v"), (std::vector<fs::path>{".", "/opt/v", INSTALLED}));
  EXPECT_EQ(assets::not_found_message("qz.pal", {".", "/usr/share/volley"}),
            "cannot find qz.pal in the current directory or /usr/share/volley");
}

}  // namespace
