#include "ground/clock.h"
#include "ground/log.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

using namespace kelvo;
using kelvo::test::read_file;
using kelvo::test::TempDir;
using kelvo::test::write_file;

namespace {
struct LogFixture : ::testing::Test {
    TempDir dir;
    ManualClock manual;
    Clock* previous = nullptr;
    std::string old_path;
    void SetUp() override
    {
        previous = install_clock(&manual);
        manual.now = LocalTime{2026, 12, 8, 9, 5, 7};
        old_path = log_path();
        set_log_path(dir.file("cadenzor.log"));
    }
    void TearDown() override
    {
        install_clock(previous);
        set_log_path(old_path);
        set_status_sink({});
    }
};
}  // namespace

TEST_F(LogFixture, CreatesTheFileAndAppendsLines)
{
    std::string status;
    set_status_sink([&](const std::string& t) { status = t; });
    log_message("Started program");
    log_only("Closed program");
    EXPECT_EQ(read_file(log_path()), "2026-12-08 09:05:07 : Started program\r\n2026-12-08 09:05:07 : Closed program\r\n");
    EXPECT_EQ(status, "Started program");
}

TEST_F(LogFixture, KeepsEarlierLines)
{
    write_file(log_path(), "earlier\r\n");
    log_only("rewrote macro Wash");
    EXPECT_EQ(read_file(log_path()), "earlier\r\n2026-12-08 09:05:07 : rewrote macro Wash\r\n");
}

TEST_F(LogFixture, AnUnwritableLogIsSilentButTheStatusBarStillShows)
{
    set_log_path(dir.file("no/such/folder/cadenzor.log"));
    std::string status;
    set_status_sink([&](const std::string& t) { status = t; });
    log_message("Sample list completed.");
    EXPECT_EQ(status, "Sample list completed.");
}
