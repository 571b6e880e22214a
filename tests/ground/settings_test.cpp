#include "ground/reg_file_store.h"
#include "ground/settings.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kelvo;
using kelvo::test::read_file;
using kelvo::test::TempDir;
using kelvo::test::write_file;

TEST(Settings, ReadsWriteTheirDefaultsBack)
{
    MemorySettingsStore store;
    SettingsScope scope(store);
    EXPECT_EQ(read_setting_integer("Atom timeout (msec)", 3000), 3000);
    EXPECT_EQ(read_setting_text("Status Box", "True"), "True");
    ASSERT_TRUE(store.read("", "atom timeout (MSEC)"));  // names are matched without regard to case
    EXPECT_EQ(store.read("", "Atom timeout (msec)")->dword, 3000u);
    write_setting_integer("Atom timeout (msec)", 100);
    EXPECT_EQ(read_setting_integer("Atom timeout (msec)", 3000), 100);
    write_setting_integer("Window Left", -20);
    EXPECT_EQ(read_setting_integer("Window Left", 0), -20);

    // An unavailable key: defaults, nothing written, nothing reported.
    store.set_available(false);
    EXPECT_EQ(read_setting_integer("Polling interval", 500), 500);
    store.set_available(true);
    EXPECT_FALSE(store.read("", "Polling interval"));
}

TEST(Settings, FolderListKeepsOrderAndDropsOutOfRangePositions)
{
    MemorySettingsStore store;
    SettingsScope scope(store);
    const std::vector<std::string> folders = {"/lab/b", "/lab/a", "/lab/c"};
    write_folder_list(folders);
    EXPECT_EQ(read_folder_list(), folders);

    store.delete_all_values(folder_list_key);
    store.write(folder_list_key, "/x", SettingValue::of_dword(0));
    store.write(folder_list_key, "/y", SettingValue::of_dword(0));
    store.write(folder_list_key, "/z", SettingValue::of_dword(5));
    EXPECT_EQ(read_folder_list(), (std::vector<std::string>{"/x", "/y"}));

    store.write(folder_list_key, "/neg", SettingValue::of_dword(0xFFFFFFFF));
    EXPECT_EQ(read_folder_list(), (std::vector<std::string>{"/x", "/y"}));
    write_folder_list({});
    EXPECT_TRUE(read_folder_list().empty());
}

TEST(Settings, DoublesTravelAsEightBytes)
{
    MemorySettingsStore store;
    SettingsScope scope(store);
    write_setting_double("Sample List Column widths", "Vial", 7.25);
    EXPECT_DOUBLE_EQ(read_setting_double("Sample List Column widths", "Vial", 1), 7.25);
    EXPECT_EQ(store.read("Sample List Column widths", "Vial")->bytes.size(), 8u);
}

TEST(RegFileStore, WritesTheRegistryExportSyntax)
{
    TempDir dir;
    RegFileSettingsStore store(dir.file("sub/Cadenzor.reg"));
    SettingsScope scope(store);
    ASSERT_TRUE(store.available());
    read_setting_integer("Atom timeout (msec)", 3000);
    write_setting_text("Method Folder", "C:\\lab \"A\"\xB5");
    write_folder_list({"/home/lab/methods"});
    const std::string text = read_file(store.path());
    EXPECT_EQ(text,
              "REGEDIT4\r\n"
              "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor]\r\n"
              "\"Atom timeout (msec)\"=dword:00000bb8\r\n"
              "\"Method Folder\"=\"C:\\\\lab \\\"A\\\"\xC2\xB5\"\r\n"
              "\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor\\Folder List]\r\n"
              "\"/home/lab/methods\"=dword:00000000\r\n");
    EXPECT_EQ(read_setting_text("Method Folder", ""), "C:\\lab \"A\"\xB5");
    // No temporary file is left behind.
    int files = 0;
    for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path() / "sub")) ++files;
    EXPECT_EQ(files, 1);
}

TEST(RegFileStore, HonoursAHandSeededFileAndSkipsDamage)
{
    TempDir dir;
    const std::string path = dir.file("Cadenzor.reg");
    write_file(path,
               "REGEDIT4\n\n"
               "[HKEY_CURRENT_USER\\Software\\Other]\n\"Port\"=dword:00000004\n"
               "[HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor]\n"
               "\"Port\"=dword:00000002\n"
               "garbage line without quotes\n"
               "\"Broken\"=dword:xyz\n"
               "\"Unterminated=\"x\n"
               "\"Polling interval\"=dword:000001f4\n"
               "\"Width\"=hex:00,00,00,00,\\\n  00,00,1d,40\n"
               "[HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor\\Folder List\n"
               "\"Status Box\"=\"TRUE\"\n");
    RegFileSettingsStore store(path);
    SettingsScope scope(store);
    EXPECT_EQ(read_setting_integer("Port", 1), 2);
    EXPECT_EQ(read_setting_integer("Polling interval", 1), 500);
    EXPECT_DOUBLE_EQ(read_setting_double("", "Width", 0), 7.25);
    // The unterminated section header ended the key: the value after it is not ours.
    EXPECT_EQ(read_setting_text("Status Box", "True"), "True");
}

TEST(RegFileStore, OddValueNamesRoundTrip)
{
    TempDir dir;
    RegFileSettingsStore store(dir.file("Cadenzor.reg"));
    SettingsScope scope(store);
    const std::vector<std::string> folders = {"C:\\a\\b", "/x=y", "[z]", "line\nbreak", "q\"uote", "cr\rhere"};
    write_folder_list(folders);
    EXPECT_EQ(read_folder_list(), folders);
    RegFileSettingsStore again(dir.file("Cadenzor.reg"));
    EXPECT_EQ(again.values(folder_list_key).size(), folders.size());
}

TEST(RegFileStore, UnwritableOrUnreadableNeverFails)
{
    TempDir dir;
    // A folder where the file should be: the key cannot be opened.
    std::filesystem::create_directories(dir.path() / "Cadenzor.reg");
    RegFileSettingsStore blocked(dir.file("Cadenzor.reg"));
    {
        SettingsScope scope(blocked);
        EXPECT_FALSE(blocked.available());
        EXPECT_EQ(read_setting_integer("Port", 1), 1);
        write_setting_integer("Port", 3);
        EXPECT_TRUE(read_folder_list().empty());
    }
    // Binary garbage is read as far as it makes sense.
    const std::string path = dir.file("garbage.reg");
    std::string junk = "REGEDIT4\n[HKEY_CURRENT_USER\\SOFTWARE\\Qerant\\Kelvo\\Cadenzor]\n\"Port\"=dword:00000003\n";
    for (int i = 0; i < 2000; ++i) junk += static_cast<char>((i * 7919) % 256);
    write_file(path, junk);
    RegFileSettingsStore damaged(path);
    SettingsScope scope(damaged);
    EXPECT_EQ(read_setting_integer("Port", 1), 3);
    write_setting_integer("Window Top", 400);
    EXPECT_EQ(read_setting_integer("Window Top", 0), 400);
}
