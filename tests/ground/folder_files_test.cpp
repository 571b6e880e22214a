#include "ground/folder_files.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace kelvo;
namespace fs = std::filesystem;

TEST(FolderFiles, OnlyRegularFilesAndLinksToThemAreListed)
{
    test::TempDir dir;
    test::write_file(dir.file("Wash.kma"), "");
    test::write_file(dir.file("Upper.KMA"), "");
    test::write_file(dir.file("Method.KME"), "");
    fs::create_directory(dir.path() / "Dir.kma");
    fs::create_symlink(dir.path() / "Wash.kma", dir.path() / "Linked.kma");
    fs::create_symlink(dir.path() / "Dir.kma", dir.path() / "LinkedDir.kma");
    fs::create_symlink(dir.path() / "nowhere", dir.path() / "Dangling.kma");
    std::vector<std::string> titles = folder_file_titles(dir.path().string(), ".kma");
    std::sort(titles.begin(), titles.end());
    EXPECT_EQ(titles, (std::vector<std::string>{"Linked", "Upper", "Wash"}));
}
