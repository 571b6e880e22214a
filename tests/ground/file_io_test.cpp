#include "ground/file_io.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>

using namespace kelvo;
namespace fs = std::filesystem;

TEST(FileIo, ReadersTakeRegularFilesOnlyAndNoMoreThanTheBound)
{
    test::TempDir dir;
    test::write_file(dir.file("ten.txt"), "0123456789");
    fs::create_symlink(dir.path() / "ten.txt", dir.path() / "link.txt");
    fs::create_directory(dir.path() / "folder.kol");
    ASSERT_EQ(::mkfifo(dir.file("pipe.kol").c_str(), 0600), 0);

    std::string bytes = "old";
    EXPECT_TRUE(read_file_bytes(dir.file("ten.txt"), bytes, 10));
    EXPECT_EQ(bytes, "0123456789");
    EXPECT_TRUE(read_file_bytes(dir.file("link.txt"), bytes));
    EXPECT_EQ(bytes, "0123456789");
    EXPECT_FALSE(read_file_bytes(dir.file("ten.txt"), bytes, 9));
    EXPECT_EQ(bytes, "");
    struct Case {
        std::string path;
        const char* what;
    };
    for (const Case& c : {Case{"/dev/zero", "a device that never ends"}, Case{dir.file("folder.kol"), "a folder"},
                          Case{dir.file("pipe.kol"), "a pipe (opening it would wait for a writer)"},
                          Case{dir.file("missing.kol"), "nothing"}}) {
        EXPECT_FALSE(read_file_bytes(c.path, bytes)) << c.what;
        std::vector<std::string> lines{"x"};
        EXPECT_FALSE(read_text_lines(c.path, lines)) << c.what;
        EXPECT_TRUE(lines.empty()) << c.what;
    }
}
