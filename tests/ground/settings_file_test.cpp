// The settings file as other hands leave it: unreadable, exported by Windows
// in UTF-16, commented or shared with other keys.
#include "ground/reg_file_store.h"
#include "ground/settings.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <unistd.h>

using namespace kelvo;
using kelvo::test::read_file;
using kelvo::test::TempDir;
using kelvo::test::write_file;
namespace fs = std::filesystem;

namespace {

const std::string seeded = "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor]\r\n"
                           "\"Method Folder\"=\"/home/lab/methods\"\r\n\"Port\"=dword:00000002\r\n";

// Text as UTF-16 little-endian with its byte order mark (ASCII and Latin-1 only).
std::string utf16le(const std::string& latin1)
{
    std::string out = "\xFF\xFE";
    for (char c : latin1) {
        out += c;
        out += '\0';
    }
    return out;
}

}  // namespace

TEST(SettingsFile, AFileThatCannotBeReadIsNeverWrittenOver)
{
    if (::geteuid() == 0) GTEST_SKIP() << "root reads every file";
    TempDir dir;
    const std::string path = dir.file("Cadenzor.reg");
    write_file(path, seeded);
    fs::permissions(path, fs::perms::none);
    RegFileSettingsStore store(path);
    {
        SettingsScope scope(store);
        EXPECT_FALSE(store.available());
        EXPECT_EQ(read_setting_text("Method Folder", ""), "");
        EXPECT_EQ(read_setting_integer("Port", 1), 1);
        write_setting_text("Method Folder", "/elsewhere");
        write_folder_list({"/elsewhere"});
    }
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(read_file(path), seeded);
    // Readable again: the store sees it.
    EXPECT_TRUE(store.available());
    EXPECT_EQ(store.read("", "port")->dword, 2u);
}

TEST(SettingsFile, AFileBeyondTheSizeBoundIsUnavailableAndKept)
{
    TempDir dir;
    const std::string path = dir.file("Cadenzor.reg");
    fs::resize_file((write_file(path, seeded), path), settings_file_limit + 1);
    RegFileSettingsStore store(path);
    SettingsScope scope(store);
    EXPECT_FALSE(store.available());
    write_setting_integer("Port", 3);
    EXPECT_EQ(fs::file_size(path), settings_file_limit + 1);
}

TEST(SettingsFile, AWindowsExportInUtf16IsReadAndRewrittenAsRegedit4)
{
    TempDir dir;
    const std::string path = dir.file("Cadenzor.reg");
    write_file(path, utf16le("Windows Registry Editor Version 5.00\r\n\r\n"
                             "[HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor]\r\n"
                             "\"Method Folder\"=\"C:\\\\Lab \xB5l\"\r\n"
                             "\"Port\"=dword:00000003\r\n"
                             "\"Expand\"=hex(2):25,00,00,00\r\n"
                             "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor\\Folder List]\r\n"
                             "\"C:\\\\Lab \xB5l\"=dword:00000000\r\n"));
    RegFileSettingsStore store(path);
    SettingsScope scope(store);
    ASSERT_TRUE(store.available());
    EXPECT_EQ(read_setting_text("Method Folder", ""), "C:\\Lab \xB5l");
    EXPECT_EQ(read_setting_integer("Port", 1), 3);
    EXPECT_EQ(read_folder_list(), std::vector<std::string>{"C:\\Lab \xB5l"});
    write_setting_integer("Port", 4);
    EXPECT_EQ(read_file(path), "REGEDIT4\r\n"
                               "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor]\r\n"
                               "\"Method Folder\"=\"C:\\\\Lab \xC2\xB5l\"\r\n"
                               "\"Port\"=dword:00000004\r\n"
                               "\"Expand\"=hex(2):25,00,00,00\r\n"
                               "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor\\Folder List]\r\n"
                               "\"C:\\\\Lab \xC2\xB5l\"=dword:00000000\r\n");
}

TEST(SettingsFile, DecodeKnowsTheByteOrderMarksAndTheMarklessExport)
{
    EXPECT_EQ(RegFileSettingsStore::decode("\xEF\xBB\xBFREGEDIT4"), "REGEDIT4");
    EXPECT_EQ(RegFileSettingsStore::decode(std::string("\xFE\xFF\0W\0i", 6)), "Wi");
    EXPECT_EQ(RegFileSettingsStore::decode(std::string("W\0i\0", 4)), "Wi");
    EXPECT_EQ(RegFileSettingsStore::decode(std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6)), "\xF0\x9F\x98\x80");
    EXPECT_EQ(RegFileSettingsStore::decode("REGEDIT4\r\n"), "REGEDIT4\r\n");
}

TEST(SettingsFile, CommentsOtherKeysAndUnreadableValuesAreKeptInPlace)
{
    TempDir dir;
    const std::string path = dir.file("Cadenzor.reg");
    const std::string before =
        "REGEDIT4\r\n"
        "; seeded by the lab's script\r\n"
        "\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n"
        "\"Port\"=dword:00000009\r\n"
        "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor]\r\n"
        "; the instrument is on the second port\r\n"
        "\"Port\"=dword:00000002\r\n"
        "\"Future\"=qword:0000000000000001\r\n"
        "\"Width\"=hex:00,00,00,00,\\\r\n  00,00,1d,40\r\n"
        "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor\\Folder List]\r\n"
        "\"/lab/a\"=dword:00000000\r\n"
        "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor\\Other List]\r\n"
        "\"x\"=dword:00000000\r\n";
    write_file(path, before);
    RegFileSettingsStore store(path);
    SettingsScope scope(store);
    write_setting_integer("Port", 2);  // unchanged: nothing is rewritten
    EXPECT_EQ(read_file(path), before);
    write_setting_integer("Port", 3);
    write_setting_text("Method Folder", "/lab/b");
    write_folder_list({"/lab/b", "/lab/a"});
    EXPECT_EQ(read_file(path),
              "REGEDIT4\r\n"
              "; seeded by the lab's script\r\n"
              "\r\n[HKEY_CURRENT_USER\\Software\\Other]\r\n"
              "\"Port\"=dword:00000009\r\n"
              "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor]\r\n"
              "; the instrument is on the second port\r\n"
              "\"Port\"=dword:00000003\r\n"
              "\"Future\"=qword:0000000000000001\r\n"
              "\"Width\"=hex:00,00,00,00,\\\r\n  00,00,1d,40\r\n"
              "\"Method Folder\"=\"/lab/b\"\r\n"
              "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor\\Folder List]\r\n"
              "\"/lab/b\"=dword:00000000\r\n"
              "\"/lab/a\"=dword:00000001\r\n"
              "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor\\Other List]\r\n"
              "\"x\"=dword:00000000\r\n");
}

TEST(SettingsFile, ChangesByAnotherHandAreSeenAndAValueNamedTwiceCountsOnce)
{
    TempDir dir;
    const std::string path = dir.file("Cadenzor.reg");
    write_file(path, seeded);
    RegFileSettingsStore store(path);
    SettingsScope scope(store);
    EXPECT_EQ(read_setting_integer("Port", 1), 2);
    write_file(path, seeded + "\"Port\"=dword:00000004\r\n\"PORT\"=dword:00000005\r\n");
    EXPECT_EQ(read_setting_integer("Port", 1), 5);
    EXPECT_EQ(store.values("").size(), 2u);
    fs::remove(path);
    EXPECT_EQ(read_setting_integer("Port", 1), 1);
    EXPECT_EQ(read_file(path), "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor]\r\n"
                               "\"Port\"=dword:00000001\r\n");
}
