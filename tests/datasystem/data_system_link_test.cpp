#include "datasystem/data_system_gate.h"
#include "datasystem/data_system_link.h"
#include "datasystem/dde_dbus_names.h"
#include "ground/debug_lines.h"
#include "link/kelvo_link.h"

#include "datasystem/fake_dde_client.h"
#include "link/fake_serial_port.h"
#include "recording_prompts.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>

using namespace kelvo;

namespace {

// The ten fixed columns from Method on, as a run hands them over.
SequenceRow fixed_row(const std::string& tray)
{
    return SequenceRow{"List A",
                       {{"Method", "Inject"}, {"Volume", "1.0"}, {"Tray", tray}, {"Injector", "Inj1"},
                        {"Volume 2", "1.0"}, {"Tray 2", "Tray2"}, {"Injector 2", "Inj2"}, {"Vial", "1"},
                        {"Inj/Vial", "1"}}};
}

class DataSystemLinkTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        set_debug_sink([this](const std::string& line) { debug.push_back(line); });
        dde.topics["SYSTEM"];
        dde.topics["CPWAIT"];
        exchange = dir.file("exchange.ini");
        test::write_file(exchange, "[system]\r\nNumberofcolumns=0\r\n");
    }
    void TearDown() override { set_debug_sink({}); }

    DataSystemLink& make(const std::string& ds = "hpcs", const std::string& in = "")
    {
        link = std::make_unique<DataSystemLink>(data_system_mode(ds, "HPCS1", in), &dde, prompts, debug_line);
        link->set_column_reader([this](const std::string& path) { columns_read.push_back(path); });
        link->set_status_text([this](const std::string& text) { status_texts.push_back(text); });
        link->set_current_row([] { return fixed_row("Tray1"); });
        return *link;
    }

    test::TempDir dir;
    std::string exchange;
    test::FakeDdeClient dde;
    test::RecordingPrompts prompts;
    PromptsScope prompts_scope{prompts};
    std::vector<std::string> debug;
    std::vector<std::string> columns_read;
    std::vector<std::string> status_texts;
    std::unique_ptr<DataSystemLink> link;
};

}  // namespace

TEST_F(DataSystemLinkTest, CreateLinksWatchesThreeItemsThenAsksForTheTable)
{
    struct Case { const char* in; const char* sequence_item; };
    const Case cases[] = {{"gc-ms", "Qerant_SeqStat$"}, {"GC-MS", "Qerant_SeqStat$"}, {"", "Qerant_SequenceStatus$"},
                          {"LC", "Qerant_SequenceStatus$"}, {"gc-ms ", "Qerant_SequenceStatus$"}};
    for (const Case& c : cases) {
        dde = test::FakeDdeClient{};
        dde.topics["SYSTEM"];
        dde.topics["CPWAIT"];
        debug.clear();
        make("HPCS", c.in).create_links();
        EXPECT_EQ(dde.log, (std::vector<std::string>{
                               "connect HPCS1|SYSTEM", "advise SYSTEM:STATUS", "request SYSTEM:STATUS",
                               "connect HPCS1|CPWAIT", "advise CPWAIT:" + std::string(c.sequence_item),
                               "request CPWAIT:" + std::string(c.sequence_item), "connect HPCS1|CPWAIT",
                               "advise CPWAIT:Qerant_TableInfo$", "request CPWAIT:Qerant_TableInfo$",
                               "connect HPCS1|CPWAIT", "execute CPWAIT:Qerant_CollectTableInfo"}))
            << c.in;
        EXPECT_EQ(debug, std::vector<std::string>{"creating links"});
        EXPECT_TRUE(prompts.shown.empty());
    }
}

TEST_F(DataSystemLinkTest, NoDataSystemGivesTheCantTextsAndExecutesNothing)
{
    dde.topics.clear();
    make().create_links();
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{"error: cant create SYSTEM:STATUS",
                                                       "error: cant create CPWAIT:Qerant_SequenceStatus$",
                                                       "error: cant create CPWAIT:Qerant_TableInfo$",
                                                       "error: cant link to CPWAIT"}));
    EXPECT_TRUE(dde.executed.empty());
    // Without a sequence-status link the wait lasts until Stop.
    link->begin_wait();
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(link->tick());
    EXPECT_EQ(status_texts.back(), "Waiting for the data system to report READY (no sequence status link)");
    EXPECT_TRUE(link->end_wait());
    EXPECT_FALSE(link->waiting());
    EXPECT_FALSE(link->end_wait());

    // A data system with the status topic only.
    prompts.shown.clear();
    dde.topics["SYSTEM"];
    make().create_links();
    EXPECT_EQ(prompts.shown.size(), 3u);
    EXPECT_EQ(prompts.shown.front(), "error: cant create CPWAIT:Qerant_SequenceStatus$");
    EXPECT_TRUE(link->has_status_link());
}

TEST_F(DataSystemLinkTest, ItemHandlersKeepTheLastNonEmptyText)
{
    dde.topics["SYSTEM"].items["STATUS"] = "IDLE";  // taken when the link is made
    make().create_links();
    EXPECT_EQ(link->system_status(), "IDLE");
    debug.clear();
    struct Step { const char* topic; const char* item; const char* value; const char* debug; const char* error; };
    const Step steps[] = {
        {"SYSTEM", "STATUS", "RUN", "Status:RUN", nullptr},
        {"SYSTEM", "STATUS", "", "Status:RUN", "error: got blank cs status"},
        {"CPWAIT", "Qerant_SequenceStatus$", "PRERUN", "Sequence Status:PRERUN", nullptr},
        {"CPWAIT", "Qerant_SequenceStatus$", "", "Sequence Status:PRERUN", "error: got blank sequence status"},
        {"CPWAIT", "Qerant_SeqStat$", "READY", nullptr, nullptr},  // not watched without IN:GC-MS
        {"CPWAIT", "Qerant_TableInfo$", "   ", "saw spacy file name", nullptr},
        {"CPWAIT", "Qerant_TableInfo$", "", "saw spacy file name", nullptr},
    };
    for (const Step& s : steps) {
        debug.clear();
        prompts.shown.clear();
        dde.change(s.topic, s.item, s.value);
        EXPECT_EQ(debug, s.debug ? std::vector<std::string>{s.debug} : std::vector<std::string>{}) << s.value;
        EXPECT_EQ(prompts.shown, s.error ? std::vector<std::string>{s.error} : std::vector<std::string>{}) << s.value;
    }
    EXPECT_EQ(link->system_status(), "RUN");
    EXPECT_EQ(link->sequence_status(), "PRERUN");
    EXPECT_EQ(link->table_info_path(), "");
    EXPECT_TRUE(columns_read.empty());
}

TEST_F(DataSystemLinkTest, TableInfoTakesTheWholeTextAndRefusesWhatIsNoRegularFile)
{
    make().create_links();
    // A leading blank belongs to the path.
    const std::string spaced = dir.file(" lead.ini");
    test::write_file(spaced, "");
    debug.clear();
    dde.change("CPWAIT", "Qerant_TableInfo$", spaced);
    EXPECT_EQ(debug, std::vector<std::string>{"saw good file name:" + spaced});
    EXPECT_EQ(link->table_info_path(), spaced);
    EXPECT_EQ(columns_read, std::vector<std::string>{spaced});

    std::filesystem::create_symlink(exchange, dir.file("link.ini"));
    ASSERT_EQ(mkfifo(dir.file("fifo").c_str(), 0600), 0);
    struct Case { std::string path; const char* why; };
    const Case cases[] = {{dir.path().string(), "a folder"}, {dir.file("gone.ini"), "no such file"},
                          {dir.file("link.ini"), "a symbolic link"}, {dir.file("fifo"), "not a regular file"},
                          {"/dev/null", "not a regular file"}};
    for (const Case& c : cases) {
        debug.clear();
        columns_read.clear();
        dde.change("CPWAIT", "Qerant_TableInfo$", c.path);
        EXPECT_EQ(debug, (std::vector<std::string>{"saw good file name:" + c.path,
                                                   "refused exchange file " + c.path + ": " + c.why}));
        EXPECT_TRUE(columns_read.empty()) << c.path;
        // The row is refused as well, and no sequence is asked for.
        debug.clear();
        dde.executed.clear();
        EXPECT_FALSE(link->send_row(fixed_row("T")));
        EXPECT_EQ(debug, (std::vector<std::string>{"sending row to chemstation",
                                                   "refused exchange file " + c.path + ": " + c.why}));
        EXPECT_TRUE(dde.executed.empty());
    }
    EXPECT_EQ(test::read_file(exchange), "[system]\r\nNumberofcolumns=0\r\n");
}

TEST_F(DataSystemLinkTest, SendRowRewritesTheSequenceInfoSection)
{
    make().create_links();
    test::write_file(exchange, "[system]\r\nNumberofcolumns=1\r\n[sequence info]\r\ncolumn11=Old#x\r\nnumcolumns=11\r\n"
                               "[column1]\r\nSpec=Sample#1##text\r\n");
    dde.change("CPWAIT", "Qerant_TableInfo$", exchange);
    dde.executed.clear();
    debug.clear();
    ASSERT_TRUE(link->send_row(fixed_row("")));  // an empty Tray cell gives "Tray#"
    EXPECT_EQ(debug, std::vector<std::string>{"sending row to chemstation"});
    EXPECT_EQ(test::read_file(exchange),
              "[system]\r\nNumberofcolumns=1\r\n[column1]\r\nSpec=Sample#1##text\r\n"
              "[sequence info]\r\nnumcolumns=10\r\nsequencename=List A\r\ncolumn01=Method#Inject\r\n"
              "column02=Volume#1.0\r\ncolumn03=Tray#\r\ncolumn04=Injector#Inj1\r\ncolumn05=Volume 2#1.0\r\n"
              "column06=Tray 2#Tray2\r\ncolumn07=Injector 2#Inj2\r\ncolumn08=Vial#1\r\ncolumn09=Inj/Vial#1\r\n");
    EXPECT_EQ(dde.executed, std::vector<std::string>{"CPWAIT:Qerant_CreateSequence"});

    // Column keys keep two digits at least and grow beyond.
    SequenceRow wide = fixed_row("T");
    wide.cells.push_back({"Sample Name", "S\xB5"});
    wide.cells.push_back({"Check", ""});
    ASSERT_TRUE(link->send_row(wide));
    const std::string text = test::read_file(exchange);
    EXPECT_NE(text.find("numcolumns=12\r\n"), std::string::npos);
    EXPECT_NE(text.find("column09=Inj/Vial#1\r\ncolumn10=Sample Name#S\xB5\r\ncolumn11=Check#\r\n"), std::string::npos);
    EXPECT_EQ(text.find("column11=Old"), std::string::npos);
}

TEST_F(DataSystemLinkTest, TheWaitSendsTheRowOnceAndGoesOnOnlyAfterAFreshReady)
{
    dde.topics["CPWAIT"].items["Qerant_SequenceStatus$"] = "READY";  // left from the row before
    make().create_links();
    dde.change("CPWAIT", "Qerant_TableInfo$", exchange);
    EXPECT_TRUE(link->wait_for_ds_stops());
    debug.clear();
    dde.executed.clear();

    link->begin_wait();
    EXPECT_TRUE(link->waiting_for_data_system());
    EXPECT_FALSE(link->tick());  // the row goes out; the old READY does not count
    EXPECT_EQ(debug, (std::vector<std::string>{"sending row to chemstation", "sending row to chemstation"}));
    EXPECT_EQ(dde.executed, std::vector<std::string>{"CPWAIT:Qerant_CreateSequence"});
    EXPECT_TRUE(link->waiting_for_ready());
    EXPECT_EQ(status_texts.back(), "Waiting for the data system to report READY");
    EXPECT_FALSE(link->tick());
    dde.change("CPWAIT", "Qerant_SequenceStatus$", "PRERUN");
    EXPECT_EQ(status_texts.back(), "Waiting for the data system to report READY (sequence status: PRERUN)");
    EXPECT_FALSE(link->tick());
    dde.change("CPWAIT", "Qerant_SequenceStatus$", "Ready for injection");
    EXPECT_TRUE(link->tick());
    EXPECT_FALSE(link->waiting());
    EXPECT_FALSE(link->tick());  // once only
    EXPECT_EQ(dde.executed.size(), 1u);
    EXPECT_EQ(test::read_file(exchange).find("numcolumns=10"), test::read_file(exchange).find("[sequence info]") + 17);

    // Stop before the row has gone out: nothing is sent.
    link->begin_wait();
    EXPECT_EQ(status_texts.back(), "Waiting for the data system: sending the sample");
    EXPECT_TRUE(link->end_wait());
    EXPECT_FALSE(link->tick());
    EXPECT_EQ(dde.executed.size(), 1u);

    // A run that keeps its own wait flags takes the two steps one by one.
    link->send_row_for_run();
    EXPECT_EQ(dde.executed.size(), 2u);
    EXPECT_FALSE(link->ready_for_run());
    dde.change("CPWAIT", "Qerant_SequenceStatus$", "READY");
    EXPECT_TRUE(link->ready_for_run());
    EXPECT_FALSE(link->ready_for_run());

    // The same through the run engine's gate.
    DataSystemLinkGate gate(*link);
    EXPECT_TRUE(gate.active());
    gate.send_row();
    EXPECT_EQ(dde.executed.size(), 3u);
    EXPECT_FALSE(gate.ready());
    dde.change("CPWAIT", "Qerant_SequenceStatus$", "READY");
    EXPECT_TRUE(gate.ready());
}

TEST_F(DataSystemLinkTest, OutsideChemStationModeNothingIsMadeAndNothingWaits)
{
    for (const char* ds : {"", "Standalone", "MASSLYNX", "HPCS2"}) {
        dde.log.clear();
        debug.clear();
        make(ds).create_links();
        EXPECT_FALSE(link->wait_for_ds_stops());
        link->begin_wait();
        EXPECT_FALSE(link->waiting());
        EXPECT_FALSE(link->tick());
        link->send_row_for_run();
        EXPECT_FALSE(link->ready_for_run());
        EXPECT_FALSE(DataSystemLinkGate(*link).active());
        EXPECT_FALSE(link->send_row(fixed_row("T")));
        link->send_current_row();
        link->request_table();
        EXPECT_TRUE(dde.log.empty()) << ds;
        EXPECT_TRUE(debug.empty()) << ds;
        EXPECT_TRUE(prompts.shown.empty()) << ds;
    }
}

TEST_F(DataSystemLinkTest, UserMessagesReachTheLink)
{
    link_test::FakeSerialPort port;
    KelvoLink kelvo(port, prompts);
    make();
    kelvo.set_data_system_hooks(link.get());
    int reopened = 0;
    link->set_documents_reopener([&] { ++reopened; });

    ASSERT_TRUE(kelvo.post_user_message(user_message::create_data_system_links));  // 0x590
    EXPECT_TRUE(link->links_created());
    dde.change("CPWAIT", "Qerant_TableInfo$", exchange);
    columns_read.clear();
    dde.executed.clear();
    ASSERT_TRUE(kelvo.post_user_message(user_message::send_row_to_data_system));  // 0x593
    EXPECT_NE(test::read_file(exchange).find("sequencename=List A"), std::string::npos);
    ASSERT_TRUE(kelvo.post_user_message(user_message::reload_columns));  // 0x59F
    EXPECT_EQ(columns_read, std::vector<std::string>{exchange});
    EXPECT_EQ(reopened, 1);
    kelvo.set_debug_visible(true);
    ASSERT_TRUE(kelvo.post_user_message(user_message::request_columns));  // 0x5A0
    EXPECT_EQ(kelvo.debug_box(), std::vector<std::string>{"requesting columns"});
    EXPECT_EQ(dde.executed, (std::vector<std::string>{"CPWAIT:Qerant_CreateSequence", "CPWAIT:Qerant_CollectTableInfo"}));
}

TEST(DdeDbusNames, EscapeOutsideLettersDigitsAndUnderscore)
{
    struct Case { const char* service; const char* bus; const char* path; };
    const Case cases[] = {
        {"HPCS1", "org.qerant.dde.HPCS1", "/HPCS1"},
        {"hp-cs 1.x", "org.qerant.dde.hp_cs_1_x", "/hp_cs_1_x"},
        {"1HPCS", "org.qerant.dde._1HPCS", "/_1HPCS"},
        {"\xB5S/$", "org.qerant.dde._S__", "/_S__"},
        {"", "org.qerant.dde.", "/"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(dde_bus_name(c.service), c.bus);
        EXPECT_EQ(dde_object_path(c.service), c.path);
    }
}
