// The D-Bus backend against the real ds-sim process on the session bus (the
// tests run under dbus-run-session).
#include "datasystem/data_system_link.h"
#include "qt/wait_until.h"
#include "datasystem/dde_dbus_names.h"
#include "datasystem/qt/dbus_dde_client.h"
#include "ground/debug_lines.h"

#include "recording_prompts.h"
#include "temp_dir.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QElapsedTimer>
#include <QProcess>

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>

using namespace kelvo;

namespace {

// Runs the event loop until pred holds or ms have passed.
using test::wait_until;

int count_of(const std::string& text, const std::string& piece)
{
    int n = 0;
    for (std::size_t p = text.find(piece); p != std::string::npos; p = text.find(piece, p + 1)) ++n;
    return n;
}

class DbusDdeTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!QDBusConnection::sessionBus().isConnected()) GTEST_SKIP() << "no session bus (run under dbus-run-session)";
        set_debug_sink([this](const std::string& line) { debug.push_back(line); });
        static int counter = 0;
        service = "T" + std::to_string(QCoreApplication::applicationPid()) + "-" + std::to_string(++counter);
    }
    void TearDown() override
    {
        link.reset();
        stop_sim();
        set_debug_sink({});
    }

    void start_sim(QStringList extra = {})
    {
        sim = std::make_unique<QProcess>();
        sim->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList args{"--service", QString::fromStdString(service), "--exchange", QString::fromStdString(exchange),
                         "--transcript", QString::fromStdString(transcript), "--control",
                         QString::fromStdString(control), "--ready-after-ms", "300"};
        sim->start(DS_SIM_PATH, args + extra);
        ASSERT_TRUE(sim->waitForStarted(5000));
        ASSERT_TRUE(sim->waitForReadyRead(10000)) << "ds-sim did not come up";
        EXPECT_EQ(sim->readLine().trimmed().toStdString(), "org.qerant.dde." + dde_escaped_name(service));
    }
    void stop_sim()
    {
        if (!sim) return;
        if (sim->state() != QProcess::NotRunning) {
            sim->terminate();
            if (!sim->waitForFinished(5000)) sim->kill();
            sim->waitForFinished(2000);
        }
        sim.reset();
    }
    // Hands the simulator a fault line and waits until it is in force (the
    // line would otherwise race the next call on the bus).
    void control_line(const std::string& line)
    {
        std::ofstream(control) << line << "\n";
        if (line == "exit") return;
        std::string confirmed;
        ASSERT_TRUE(wait_until([&] {
            if (sim->canReadLine()) confirmed = sim->readLine().trimmed().toStdString();
            return confirmed == "applied " + line;
        }, 5000)) << line << ": " << confirmed;
    }
    DataSystemLink& make(const std::string& in = "")
    {
        link = std::make_unique<DataSystemLink>(data_system_mode("HPCS", service, in), &client, prompts, debug_line);
        link->set_column_reader([this](const std::string& path) { columns_read.push_back(path); });
        link->set_current_row([this] {
            return SequenceRow{"List " + std::to_string(++rows), {{"Method", "Inject"}, {"Tray", ""}, {"Vial", "3"}}};
        });
        return *link;
    }
    bool has_debug(const std::string& line) const { return std::count(debug.begin(), debug.end(), line) > 0; }
    // Ticks as the service timer does until the wait releases the run.
    bool tick_until_released(int ms)
    {
        bool released = false;
        wait_until([&] { return released = link->tick(); }, ms);
        return released;
    }

    test::TempDir dir;
    std::string exchange = dir.file("exchange.ini");
    std::string transcript = dir.file("transcript.txt");
    std::string control = dir.file("control");
    std::string service;
    test::RecordingPrompts prompts;
    PromptsScope prompts_scope{prompts};
    DbusDdeClient client;
    std::unique_ptr<QProcess> sim;
    std::unique_ptr<DataSystemLink> link;
    std::vector<std::string> debug;
    std::vector<std::string> columns_read;
    int rows = 0;
};

}  // namespace

TEST_F(DbusDdeTest, NoDataSystemOnTheBusGivesTheCantTexts)
{
    make().create_links();
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{"error: cant create SYSTEM:STATUS",
                                                       "error: cant create CPWAIT:Qerant_SequenceStatus$",
                                                       "error: cant create CPWAIT:Qerant_TableInfo$",
                                                       "error: cant link to CPWAIT"}));
    EXPECT_EQ(debug, std::vector<std::string>{"creating links"});
    // Not even a bus name can be made of an empty service.
    prompts.shown.clear();
    DataSystemLink empty(data_system_mode("HPCS", "", ""), &client, prompts, debug_line);
    empty.create_links();
    EXPECT_EQ(prompts.shown.size(), 4u);
}

TEST_F(DbusDdeTest, RowsGoOutAtEachWaitAndTheRunGoesOnOnlyAfterReady)
{
    start_sim();
    make().create_links();
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(link->system_status(), "IDLE");  // the value requested when the link was made
    EXPECT_EQ(link->sequence_status(), "IDLE");
    // Qerant_CollectTableInfo made the data system announce its exchange file.
    ASSERT_TRUE(wait_until([&] { return !columns_read.empty(); }));
    EXPECT_EQ(columns_read, std::vector<std::string>{exchange});
    EXPECT_TRUE(has_debug("saw good file name:" + exchange));
    EXPECT_NE(test::read_file(exchange).find("Spec=Sample Type#1#Sample#list"), std::string::npos);

    for (int row = 1; row <= 2; ++row) {
        debug.clear();
        link->begin_wait();
        EXPECT_FALSE(link->tick()) << row;  // the row goes out; no READY for it yet
        ASSERT_TRUE(tick_until_released(5000)) << row;
        // The data system went busy before it was ready again.
        const auto busy = std::find(debug.begin(), debug.end(), "Sequence Status:RUN");
        const auto ready = std::find(debug.begin(), debug.end(), "Sequence Status:READY");
        EXPECT_LT(busy, ready) << row;
        EXPECT_NE(ready, debug.end()) << row;
        EXPECT_EQ(count_of(test::read_file(transcript), "[sequence info]"), row);
    }
    EXPECT_EQ(test::read_file(transcript),
              "[sequence info]\nnumcolumns=4\nsequencename=List 1\ncolumn01=Method#Inject\ncolumn02=Tray#\ncolumn03=Vial#3\n\n"
              "[sequence info]\nnumcolumns=4\nsequencename=List 2\ncolumn01=Method#Inject\ncolumn02=Tray#\ncolumn03=Vial#3\n\n");
}

TEST_F(DbusDdeTest, GcMsItemsAndAFollowedRestart)
{
    start_sim({"--gc-ms"});
    make("gc-ms").create_links();
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_TRUE(has_debug("Sequence Status:READY"));  // the GC-MS idle word, from Qerant_SeqStat$
    ASSERT_TRUE(wait_until([&] { return columns_read.size() == 1; }));

    // The data system goes away and comes back: the links follow it.
    stop_sim();
    start_sim({"--gc-ms"});
    link->request_table();
    ASSERT_TRUE(wait_until([&] { return columns_read.size() == 2; }));
}

TEST_F(DbusDdeTest, FaultsBlankStatusNeverReadyAndExit)
{
    start_sim();
    make().create_links();
    ASSERT_TRUE(wait_until([&] { return !columns_read.empty(); }));

    control_line("blank-status on");
    ASSERT_TRUE(wait_until([&] { return prompts.shown.size() == 2; }));
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{"error: got blank cs status", "error: got blank sequence status"}));
    EXPECT_EQ(link->sequence_status(), "IDLE");
    control_line("blank-status off");

    // A data system that never gets ready holds the run until Stop.
    control_line("never-ready on");
    std::vector<std::string> texts;
    link->set_status_text([&](const std::string& t) { texts.push_back(t); });
    link->begin_wait();
    EXPECT_FALSE(tick_until_released(1500));
    EXPECT_TRUE(link->waiting_for_ready());
    EXPECT_EQ(texts.back(), "Waiting for the data system to report READY (sequence status: RUN)");
    EXPECT_TRUE(link->end_wait());
    EXPECT_FALSE(link->tick());

    // Gone at once: a later execute is dropped without a word.
    control_line("exit");
    ASSERT_TRUE(sim->waitForFinished(5000));
    prompts.shown.clear();
    link->request_table();
    EXPECT_TRUE(link->send_row(SequenceRow{}));  // written, and the execute dropped
    EXPECT_TRUE(prompts.shown.empty());
}
