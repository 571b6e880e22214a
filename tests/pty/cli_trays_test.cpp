// cadenzor-cli tray-map and trays: output lines and exit codes.
#include "child_process.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using kelvo::pty_test::ChildProcess;
using kelvo::test::TempDir;
using kelvo::test::write_file;

namespace {

const std::string demo_config = std::string(KELVO_SOURCE_DIR) + "/examples/methods/latest_kelvo.kol";

struct TrayCliRun {
    int code;
    std::string out, err;
};

TrayCliRun run(const std::vector<std::string>& args)
{
    ChildProcess p;
    EXPECT_TRUE(p.start(KELVO_CLI_PATH, args));
    const int code = p.wait(60000);
    return TrayCliRun{code, p.out(), p.err()};
}

}  // namespace

TEST(CliTrays, TrayMapPrintsTheNumbersAsTheTopViewShowsThem)
{
    const struct {
        const char* tray;
        const char* out;
    } cases[] = {
        {"Tray3", " 1  4  7 10 13\n 2  5  8 11 14\n 3  6  9 12 15\n"},
        // Reversed ("Col Length Y" below 0): lines counted from the bottom.
        {"Tray4",
         "85 86 87 88 89 90 91 92 93 94 95 96\n73 74 75 76 77 78 79 80 81 82 83 84\n"
         "61 62 63 64 65 66 67 68 69 70 71 72\n49 50 51 52 53 54 55 56 57 58 59 60\n"
         "37 38 39 40 41 42 43 44 45 46 47 48\n25 26 27 28 29 30 31 32 33 34 35 36\n"
         "13 14 15 16 17 18 19 20 21 22 23 24\n 1  2  3  4  5  6  7  8  9 10 11 12\n"},
    };
    for (const auto& c : cases) {
        const TrayCliRun r = run({"tray-map", demo_config, c.tray});
        EXPECT_EQ(r.code, 0) << c.tray;
        EXPECT_EQ(r.out, c.out) << c.tray;
    }
    TrayCliRun r = run({"tray-map", demo_config, "Stack"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Stack is not a tray\n");
    r = run({"tray-map", "/nonexistent/kelvo.kol", "Tray1"});
    EXPECT_EQ(r.code, 2);
}

TEST(CliTrays, TraysPrintsTheHolderTableWithLevels)
{
    TrayCliRun r = run({"trays", demo_config, "stack"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out,
              "0 Tray1 0 0 0 96 60\n"
              "0 Tray2 0 70 0 96 60\n"
              "1 Tray3 0 0 50 72 36\n"
              "1 Tray4 0 70 50 99 63\n");
    r = run({"trays", demo_config, "Tray1"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "Tray1 is not a tray holder\n");

    // Ties keep configuration order; fractions in the program's decimal form.
    TempDir dir;
    const std::string file = dir.file("ties.kol");
    write_file(file,
               "[lists]\r\n[classes]\r\n!SYRINGE\r\n!TRAY_HOLDER\r\n!TRAY_TYPE\r\nRow Length X;0;999999;0;1;\xB5m\r\n"
               "!TRAY\r\nTray Holder;TRAY_HOLDER\r\nTray Type;TRAY_TYPE\r\nOffset X;0;999999;0;1;\xB5m\r\n"
               "[objects]\r\nTRAY_HOLDER;H\r\nTRAY_TYPE;T;12500\r\nTRAY;B;H;T;0\r\nTRAY;A;H;T;0\r\nTRAY;C;H;T;1500\r\n"
               "[atoms]\r\n");
    r = run({"trays", file, "H"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, "0 B 0 0 0 12.5 0\n0 A 0 0 0 12.5 0\n0 C 1.5 0 0 12.5 0\n");
    r = run({"trays", dir.file("missing.kol"), "H"});
    EXPECT_EQ(r.code, 2);
}
