#include "ground/ini_file.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

using namespace kelvo;

TEST(IniFile, ReadsLikeTheProfileFunctions)
{
    const IniFile ini("; made by hand\r\n[System]\r\n Numberofcolumns = 2 \r\n[column1]\r\nSpec=Name#1#Blank#text\r\n"
                      "spec=second\r\n[COLUMN1]\r\nSpec=later section\r\n");
    struct Case { const char* section; const char* key; const char* expected; };
    const Case cases[] = {
        {"system", "NUMBEROFCOLUMNS", "2"},             // names without regard to case, blanks trimmed
        {"column1", "Spec", "Name#1#Blank#text"},       // the first key and the first section win
        {"column1", "Settings", "fallback"},            // missing key
        {"column2", "Spec", "fallback"},                // missing section
    };
    for (const Case& c : cases) EXPECT_EQ(ini.read(c.section, c.key, "fallback"), c.expected) << c.section << "/" << c.key;
    EXPECT_TRUE(ini.has_section("SYSTEM"));
    EXPECT_FALSE(ini.has_section("sequence info"));
    EXPECT_EQ(ini.section_lines("column1"), (std::vector<std::string>{"Spec=Name#1#Blank#text", "spec=second"}));
    EXPECT_TRUE(ini.section_lines("none").empty());
}

TEST(IniFile, WritesKeepTheRestOfTheFileAndItsLineEnds)
{
    IniFile lf("[system]\nNumberofcolumns=1\n\n[column1]\nSpec=A#0##text\n");
    lf.write("System", "numberofcolumns", "2");  // replaced in place
    lf.write("system", "Extra", "x");            // after the section's last entry, before the blank line
    lf.write("sequence info", "numcolumns", "10");
    lf.write("sequence info", "sequencename", "");
    EXPECT_EQ(lf.text(), "[system]\nnumberofcolumns=2\nExtra=x\n\n[column1]\nSpec=A#0##text\n"
                         "[sequence info]\nnumcolumns=10\nsequencename=\n");

    IniFile fresh("");
    fresh.write("a", "k", "v");
    EXPECT_EQ(fresh.text(), "[a]\r\nk=v\r\n");
}

TEST(IniFile, EraseSectionRemovesEveryCopyWithItsLines)
{
    IniFile ini("[sequence info]\r\ncolumn11=old\r\n[system]\r\nNumberofcolumns=0\r\n[Sequence Info]\r\nnumcolumns=3\r\n");
    ini.erase_section("SEQUENCE INFO");
    EXPECT_EQ(ini.text(), "[system]\r\nNumberofcolumns=0\r\n");
    ini.erase_section("nothing");
    EXPECT_EQ(ini.text(), "[system]\r\nNumberofcolumns=0\r\n");
}

TEST(IniFile, LoadAndSave)
{
    test::TempDir dir;
    IniFile ini;
    EXPECT_FALSE(ini.load(dir.file("missing.ini")));
    EXPECT_EQ(ini.read("system", "Numberofcolumns", "0"), "0");
    EXPECT_FALSE(ini.load(dir.path().string()));  // a folder is no file
    test::write_file(dir.file("x.ini"), "[s]\nk=v\n");
    ASSERT_TRUE(ini.load(dir.file("x.ini")));
    ini.write("s", "k2", "\xB5l");
    ASSERT_TRUE(ini.save(dir.file("x.ini")));
    EXPECT_EQ(test::read_file(dir.file("x.ini")), "[s]\nk=v\nk2=\xB5l\n");
}
