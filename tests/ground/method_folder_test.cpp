#include "ground/method_folder.h"

#include "ground/file_io.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace kelvo;
namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

namespace {

struct PathCase {
    FolderDocument kind;
    bool masslynx;
    std::string name;
    std::string file;
};

}  // namespace

TEST(MethodFolder, MapsEveryKindAndNameToItsFile)
{
    const PathCase cases[] = {
        {FolderDocument::macro, false, "Wash", "Wash.kma"},
        {FolderDocument::macro, false, "Wash.old.x", "Wash.kma"},
        {FolderDocument::macro, true, "SL ENTRY", "SL ENTRY.kma"},
        {FolderDocument::method, false, "Assay", "Assay.KME"},
        {FolderDocument::method, true, "Assay", "Assay.CDZ"},
        {FolderDocument::method, true, "Assay.KME", "Assay.CDZ"},
        {FolderDocument::sample_list, false, "Run 1", "Run 1.ksl"},
        {FolderDocument::sample_list, true, "Run.2", "Run.ksl"},
        {FolderDocument::export_table, false, "Out", "Out.txt"},
        {FolderDocument::export_table, false, "Out.csv", "Out.txt"},
        {FolderDocument::tray_report, false, "", "TrayInfo.txt"},
        {FolderDocument::tray_report, false, "ignored", "TrayInfo.txt"},
        {FolderDocument::saved_configuration, true, "", "latest_kelvo.kol"},
    };
    for (const PathCase& c : cases) {
        for (const std::string& folder : {std::string("/lab/methods"), std::string("/lab/methods/"),
                                          std::string("C:\\lab\\")}) {
            const MethodFolder methods(folder, c.masslynx);
            const std::string separator = folder.back() == '/' || folder.back() == '\\' ? "" : "/";
            EXPECT_EQ(methods.path(c.kind, c.name), folder + separator + c.file) << c.name << " in " << folder;
        }
        EXPECT_EQ(MethodFolder("", c.masslynx).path(c.kind, c.name), c.file) << c.name;
    }
}

TEST(MethodFolder, ExtensionsFollowTheMassLynxMode)
{
    MethodFolder methods("/m");
    EXPECT_EQ(methods.extension(FolderDocument::macro), ".kma");
    EXPECT_EQ(methods.extension(FolderDocument::method), ".KME");
    EXPECT_EQ(methods.extension(FolderDocument::sample_list), ".ksl");
    EXPECT_EQ(methods.extension(FolderDocument::export_table), ".txt");
    EXPECT_EQ(methods.extension(FolderDocument::tray_report), "");
    methods.set_masslynx(true);
    EXPECT_TRUE(methods.masslynx());
    EXPECT_EQ(methods.extension(FolderDocument::method), ".CDZ");
    EXPECT_EQ(methods.extension(FolderDocument::macro), ".kma");
    EXPECT_EQ(folder_document(DocumentKind::method), FolderDocument::method);
    EXPECT_EQ(folder_document(DocumentKind::macro), FolderDocument::macro);
    EXPECT_EQ(folder_document(DocumentKind::sample_list), FolderDocument::sample_list);
}

TEST(MethodFolder, FindsFilesAlsoUnderAnotherLetterCase)
{
    test::TempDir dir;
    test::write_file(dir.file("Zeta.KMA"), "//z\r\nA\r\n");
    test::write_file(dir.file("Assay.KME"), "");
    fs::create_directory(dir.path() / "Dir.kma");
    const MethodFolder methods(dir.path().string());
    EXPECT_TRUE(methods.exists(FolderDocument::macro, "zeta"));
    EXPECT_EQ(methods.existing_path(FolderDocument::macro, "ZETA"), dir.file("Zeta.KMA"));
    EXPECT_EQ(methods.existing_path(FolderDocument::macro, "Other"), dir.file("Other.kma"));
    EXPECT_FALSE(methods.exists(FolderDocument::macro, "Other"));
    EXPECT_FALSE(methods.exists(FolderDocument::macro, "Dir"));
    EXPECT_TRUE(methods.exists(FolderDocument::method, "Assay.anything"));
    EXPECT_FALSE(MethodFolder(dir.path().string(), true).exists(FolderDocument::method, "Assay"));
    EXPECT_FALSE(methods.exists(FolderDocument::tray_report));
}

TEST(MethodFolder, ListsTheNamesOfOneKind)
{
    test::TempDir dir;
    for (const char* file : {"b.kma", "A.kma", "a.KMA", "Wash.old.kma", "M.KME", "N.CDZ", "L.ksl", "E.txt",
                             "TrayInfo.txt", "latest_kelvo.kol", "plain"})
        test::write_file(dir.file(file), "");
    fs::create_directory(dir.path() / "Dir.kma");
    MethodFolder methods(dir.path().string());
    const Lines macros = methods.names(FolderDocument::macro);
    ASSERT_EQ(macros.size(), 3u);
    EXPECT_TRUE(macros[0] == "A" || macros[0] == "a");
    EXPECT_EQ(macros[1], "b");
    EXPECT_EQ(macros[2], "Wash");
    EXPECT_EQ(methods.names(FolderDocument::method), Lines{"M"});
    EXPECT_EQ(methods.names(FolderDocument::sample_list), Lines{"L"});
    EXPECT_EQ(methods.names(FolderDocument::export_table), (Lines{"E", "TrayInfo"}));
    EXPECT_EQ(methods.names(FolderDocument::tray_report), Lines{"TrayInfo"});
    EXPECT_EQ(methods.names(FolderDocument::saved_configuration), Lines{"latest_kelvo"});
    methods.set_masslynx(true);
    EXPECT_EQ(methods.names(FolderDocument::method), Lines{"N"});
    EXPECT_TRUE(MethodFolder(dir.file("missing")).names(FolderDocument::macro).empty());
}

TEST(MethodFolder, ReportsNamesItCannotShow)
{
    test::TempDir dir;
    test::write_file(dir.file("Good.kma"), "");
    test::write_file(dir.file("\xE2\x82\xAC\xE4\xB8\xAD.kma"), "");
    MethodFolder methods(dir.path().string());
    Lines debug;
    methods.set_debug_sink([&](const std::string& text) { debug.push_back(text); });
    EXPECT_EQ(methods.names(FolderDocument::macro), Lines{"Good"});
    ASSERT_EQ(debug.size(), 1u);
    EXPECT_EQ(debug[0].rfind("skipped file ", 0), 0u);
}

TEST(MethodFolder, WritesAtomicallyAndReadsBack)
{
    test::TempDir dir;
    const MethodFolder methods(dir.path().string());
    ASSERT_TRUE(methods.write(FolderDocument::sample_list, "List.1", "a;\r\nb;\r\n"));
    EXPECT_EQ(test::read_file(dir.file("List.ksl")), "a;\r\nb;\r\n");
    Lines lines;
    ASSERT_TRUE(methods.read_lines(FolderDocument::sample_list, "list", lines));
    EXPECT_EQ(lines, (Lines{"a;", "b;"}));
    std::string bytes;
    ASSERT_TRUE(methods.read_bytes(FolderDocument::sample_list, "List", bytes));
    EXPECT_EQ(bytes, "a;\r\nb;\r\n");
    // An existing file under another case is replaced, not doubled.
    test::write_file(dir.file("Upper.KMA"), "old");
    ASSERT_TRUE(methods.write(FolderDocument::macro, "upper", "new"));
    EXPECT_EQ(test::read_file(dir.file("Upper.KMA")), "new");
    EXPECT_EQ(methods.names(FolderDocument::macro), Lines{"Upper"});
    int entries = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir.path())) ++entries;
    EXPECT_EQ(entries, 2);
}

TEST(MethodFolder, MissingOrUnreadableFilesAreRefused)
{
    test::TempDir dir;
    const MethodFolder methods(dir.path().string());
    Lines lines{"stale"};
    EXPECT_FALSE(methods.read_lines(FolderDocument::macro, "Missing", lines));
    EXPECT_TRUE(lines.empty());
    fs::create_directory(dir.path() / "Dir.kma");
    EXPECT_FALSE(methods.read_lines(FolderDocument::macro, "Dir", lines));
    EXPECT_FALSE(MethodFolder(dir.file("no such folder")).write(FolderDocument::macro, "A", "x"));
    EXPECT_FALSE(fs::exists(dir.path() / "no such folder"));
}
