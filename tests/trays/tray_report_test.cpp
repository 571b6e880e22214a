// The tray report "TrayInfo.txt".
#include "trays/tray_report.h"
#include "ground/debug_lines.h"

#include "ground/file_io.h"
#include "config/config_test_support.h"
#include "ground/prompts.h"
#include "language/bound_check.h"

#include <unistd.h>

#include <clocale>
#include <filesystem>
#include <fstream>

namespace kelvo::config_test {
namespace {

const std::string geometry_classes =
    "!SYRINGE\n"
    "!TRAY_HOLDER\nPosition X;0;1;0;1;\xB5m\nPosition Y;0;1;0;1;\xB5m\nPosition Z;0;1;0;1;\xB5m\n"
    "!TRAY_TYPE\nRow Length X;0;1;0;1;\xB5m\nRow Length Y;0;1;0;1;\xB5m\nCol Length X;0;1;0;1;\xB5m\n"
    "Col Length Y;0;1;0;1;\xB5m\nSpl Per Row;0;1;0;1;E\nSpl Per Col;0;1;0;1;E\nRef Offset X;0;1;0;1;\xB5m\n"
    "Ref Offset Y;0;1;0;1;\xB5m\nRef Offset Z;0;1;0;1;\xB5m\n&TrayTypeGroup\n"
    "!TRAY\nTray Holder;TRAY_HOLDER\nTray Type;TRAY_TYPE\nOffset X;0;1;0;1;\xB5m\nOffset Y;0;1;0;1;\xB5m\n"
    "Offset Z;0;1;0;1;\xB5m\nPath Offset X;0;1;0;1;\xB5m\nPath Offset Y;0;1;0;1;\xB5m\nPath Offset Z;0;1;0;1;\xB5m\n";

const std::string holder_head = "Tray holders     X        Y        Z\r\n\r\n";
const std::string type_head =
    "\r\nTray types RowLenX  RowLenY  ColLenX  ColLenY Vial/Row Vial/Col     RefX     RefY     RefZ\r\n\r\n";
const std::string tray_head =
    "\r\nTrays       Holder     Type        X        Y        Z   Path X   Path Y   Path Z\r\n\r\n";

class TrayReport : public ConfigFixture {};

TEST_F(TrayReport, LayoutLineByLine)
{
    ASSERT_TRUE(parse(config_text("", geometry_classes,
                                  "TRAY_HOLDER;Stack;120000;-2500;80004\n"
                                  "TRAY;Tray1;Stack;VT54;0;70000;50000;-1;0;1234567\n"
                                  "TRAY_TYPE;VT54;96000;0;0;-60000;9;6;8000;8000;2000;A\n"
                                  "TRAY_HOLDER;Cooler;1.5;0;0\n"
                                  "SYRINGE;S1\n"
                                  "TRAY;Tray2;Cooler;VT54;0;0;0;0;0;0\n")));
    EXPECT_EQ(tray_report_text(db),
              holder_head +
                  "Stack       120.00    -2.50    80.00\r\n"
                  "Cooler        1.50     0.00     0.00\r\n" +
                  type_head +
                  "VT54         96.00     0.00     0.00   -60.00     9.00     6.00     8.00     8.00     2.00\r\n" +
                  tray_head +
                  "Tray1        Stack     VT54     0.00    70.00    50.00    -0.00     0.00  1234.57\r\n"
                  "Tray2       Cooler     VT54     0.00     0.00     0.00     0.00     0.00     0.00\r\n");
}

TEST_F(TrayReport, EmptyConfigurationGivesTheHeadingsOnly)
{
    ASSERT_TRUE(parse(config_text("", "!SYRINGE\n")));
    EXPECT_EQ(tray_report_text(db), holder_head + type_head + tray_head);
}

TEST_F(TrayReport, LongTextsWidenTheirFieldAndMissingPropertiesGiveZeroOrBlanks)
{
    // A tray class without a type or any numbers; a holder with only X.
    ASSERT_TRUE(parse(config_text("", "!SYRINGE\n!TRAY_HOLDER\nPosition X;0;1;0;1;\xB5m\n!TRAY\n&Tray Holder\n",
                                  "TRAY_HOLDER;HolderTwelve;2000\n"
                                  "TRAY;T;A_very_long_holder\n")));
    EXPECT_EQ(tray_report_text(db), holder_head +
                                        "HolderTwelve     2.00     0.00     0.00\r\n" + type_head + tray_head +
                                        "T        A_very_long_holder         "
                                        "     0.00     0.00     0.00     0.00     0.00     0.00\r\n");
}

TEST_F(TrayReport, NumbersUseAPointWhateverTheLocale)
{
    if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE"))
        GTEST_SKIP() << "no German locale installed";
    ASSERT_TRUE(parse(config_text("", geometry_classes, "TRAY_HOLDER;Stack;1500;0;0\n")));
    const std::string text = tray_report_text(db);
    std::setlocale(LC_NUMERIC, "C");
    EXPECT_NE(text.find("Stack         1.50     0.00     0.00\r\n"), std::string::npos);
}

TEST_F(TrayReport, WriteReplacesTheFile)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / ("tray_report_test_" + std::to_string(::getpid()));
    fs::remove_all(folder);
    fs::create_directories(folder);
    const std::string path = tray_report_path(folder.string());
    EXPECT_EQ(path, (folder / "TrayInfo.txt").string());
    EXPECT_EQ(tray_report_path(folder.string() + "/"), path);

    ASSERT_TRUE(parse(config_text("", geometry_classes, "TRAY_HOLDER;Stack;1500;0;0\n")));
    {
        std::ofstream old(path, std::ios::binary);
        old << "an earlier and much longer report that must disappear entirely\r\n";
    }
    ASSERT_TRUE(write_tray_report(db, path, debug_line));
    EXPECT_EQ(file_bytes(path), tray_report_text(db));
    EXPECT_FALSE(fs::exists(path + ".tmp"));

    EXPECT_FALSE(write_tray_report(db, (folder / "missing" / "TrayInfo.txt").string(), debug_line));
    EXPECT_EQ(debug.back(), "could not write " + (folder / "missing" / "TrayInfo.txt").string());
    fs::remove_all(folder);
}

TEST_F(TrayReport, DemoConfigurationReport)
{
    std::vector<std::string> lines;
    ASSERT_TRUE(read_text_lines(demo_config_path(), lines));
    ASSERT_TRUE(parse_configuration(db, lines, prompts, debug_line));
    const std::string text = tray_report_text(db);
    EXPECT_EQ(text.rfind(holder_head, 0), 0u);
    EXPECT_NE(text.find("\r\nStack       120.00    25.00    80.00\r\n"), std::string::npos);
    EXPECT_NE(text.find("\r\nMT96         99.00     0.00     0.00   -63.00    12.00     8.00    14.38    11.24     1.50\r\n"),
              std::string::npos);
    EXPECT_NE(text.find("\r\nTray4        Stack     MT96     0.00    70.00    50.00     0.00     0.00    50.00\r\n"),
              std::string::npos);
    // Every line ends with CR LF and there is no bare LF.
    std::size_t lf = 0, crlf = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n') {
            ++lf;
            if (i > 0 && text[i - 1] == '\r') ++crlf;
        }
    EXPECT_EQ(lf, crlf);
    EXPECT_EQ(lf, 8u + 2 + 3 + 6);  // three headings, five empty lines, 2 holders, 3 types, 6 trays
}

}  // namespace
}  // namespace kelvo::config_test
