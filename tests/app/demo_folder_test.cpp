#include "app/demo_folder.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace kelvo;
namespace fs = std::filesystem;

namespace {

// Sets an environment variable for one test and restores it afterwards.
class EnvScope {
public:
    EnvScope(const char* name, const char* value) : name_(name)
    {
        if (const char* old = std::getenv(name)) old_ = old, had_ = true;
        if (value) ::setenv(name, value, 1); else ::unsetenv(name);
    }
    ~EnvScope() { if (had_) ::setenv(name_, old_.c_str(), 1); else ::unsetenv(name_); }
private:
    const char* name_;
    std::string old_;
    bool had_ = false;
};

}  // namespace

TEST(DemoFolder, FoundBesideAnInstalledProgramOnly)
{
    test::TempDir prefix;
    fs::create_directories(prefix.path() / "bin");
    const fs::path demo = prefix.path() / "share/cadenzor/examples/methods";
    // A build tree: no demo folder next to the program.
    EXPECT_EQ(installed_demo_folder((prefix.path() / "bin").string()), "");
    fs::create_directories(demo);
    EXPECT_EQ(installed_demo_folder((prefix.path() / "bin").string()), "") << "a folder without configuration";
    test::write_file((demo / "latest_kelvo.kol").string(), "LIST\r\n");
    EXPECT_EQ(installed_demo_folder((prefix.path() / "bin").string()), demo.string());
    EXPECT_EQ(installed_demo_folder(""), "");
}

TEST(DemoFolder, CopyFolderFollowsXdgDataHome)
{
    {
        EnvScope data("XDG_DATA_HOME", "/data/u");
        EXPECT_EQ(demo_copy_folder(), "/data/u/Qerant/Cadenzor/Demo Methods");
    }
    EnvScope data("XDG_DATA_HOME", nullptr);
    {
        EnvScope home("HOME", "/home/lab");
        EXPECT_EQ(demo_copy_folder(), "/home/lab/.local/share/Qerant/Cadenzor/Demo Methods");
    }
    EnvScope home("HOME", nullptr);
    EXPECT_EQ(demo_copy_folder(), "");
}

TEST(DemoFolder, CopyAddsMissingFilesKeepsTheUsersAndMakesThemWritable)
{
    test::TempDir root;
    const fs::path from = root.path() / "installed";
    fs::create_directories(from / "sub");
    test::write_file((from / "A.kma").string(), "installed A");
    test::write_file((from / "latest_kelvo.kol").string(), "installed kol");
    fs::permissions(from / "A.kma", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const fs::path to = root.path() / "user/Qerant/Cadenzor/Demo Methods";
    fs::create_directories(to);
    test::write_file((to / "latest_kelvo.kol").string(), "the user's kol");

    EXPECT_TRUE(copy_demo_folder(from.string(), to.string()));
    EXPECT_EQ(test::read_file((to / "A.kma").string()), "installed A");
    EXPECT_EQ(test::read_file((to / "latest_kelvo.kol").string()), "the user's kol");
    EXPECT_FALSE(fs::exists(to / "sub"));
    EXPECT_NE(fs::status(to / "A.kma").permissions() & fs::perms::owner_write, fs::perms::none);

    EXPECT_FALSE(copy_demo_folder((root.path() / "missing").string(), (root.path() / "x").string()));
}
