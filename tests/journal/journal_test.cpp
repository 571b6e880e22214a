// The run journal: a list run recorded against the in-process instrument
// (records, the runs read back, the report with an instrument error and the
// operator's answer, resuming after an unexpected end), the file surviving
// a damaged last line, and estimates that are exact for fixed durations.
#include "engine/run_fixture.h"
#include "test_context.h"
#include "journal/estimate.h"
#include "journal/journal_prompts.h"
#include "journal/journal_runs.h"
#include "journal/run_journal.h"
#include "samplelist/sample_list_document.h"
#include "samplelist/sample_list_run.h"

#include <algorithm>
#include <fstream>

namespace kelvo::run_test {
namespace {

class JournalRun : public RunFixture {
protected:
    void SetUp() override
    {
        RunFixture::SetUp();
        write_macro("Wash", "Station;WASH_STATION\r\nVolume (\xB5l);1;0;SYR.Max Volume\r\n"
                            "WASH_SYRINGE(Station,Volume,3,1,1,)\r\n");
        write_macro("SL ENTRY", "SET_SPEED(Slow,)\r\n");
        write_macro("SL EXIT", "SET_SPEED(Fast,)\r\n");
        write_method("Inject", "syringe:Syr10ul\r\nWash(Wash2,SL.volume)\r\n");
        document.columns().build_fixed({"Inject", "Tray1", "LCVlv1"});
        document.start_empty("L");
        view.on_list_method_complete = [this] { list.next_step(); };
        view.on_stop_list = [this] { list.error_stop(); };
        list.add_observer(&journal);
        link.set_trace([this](bool sent, const std::string& line) { journal.line(sent, line); });
    }
    void TearDown() override
    {
        link.set_trace({});
        RunFixture::TearDown();
    }
    void rows(int count)
    {
        std::vector<std::vector<std::string>> cells;
        for (int r = 1; r <= count; ++r)
            cells.push_back({"", "Inject", std::to_string(r), "Tray1", "LCVlv1", "1", "", "", std::to_string(r), "1"});
        ASSERT_TRUE(document.table().assign(cells));
    }
    std::vector<std::string> kinds() const
    {
        std::vector<std::string> out;
        for (const JournalRecord& r : read_journal(path)) out.push_back(r["kind"].get<std::string>());
        return out;
    }

    std::string path = dir.file("journal.jsonl");
    JournalFile file{path};
    kelvo::RunJournal journal{file, clock};
    JournalPrompts journal_prompts{prompts, journal};
    PromptsScope journal_scope{journal_prompts};
    SampleListDocument document{test::context_with(db())};
    SampleListRun list{run, link, document, dialogs, view, sample};
};

TEST_F(JournalRun, AListRunIsRecordedCommandByCommandAndReportedWithItsErrorAndAnswer)
{
    rows(3);
    port.sim.faults().error_atom_number = 3;  // the wash of row 2
    prompts.ari_answers = {AbortRetryIgnore::ignore};
    list.run_sample_list_buttonClick();
    loop();

    const std::vector<std::string> k = kinds();
    ASSERT_FALSE(k.empty());
    EXPECT_EQ(k.front(), "run_start");
    EXPECT_EQ(k.back(), "run_end");
    for (const JournalRecord& r : read_journal(path)) EXPECT_EQ(r["v"], journal_version);
    // Every atom is sent, accepted and finished; polls are left out.
    EXPECT_EQ(std::count(k.begin(), k.end(), "finished"), 4);  // SL ENTRY, two washes, SL EXIT after the error
    EXPECT_EQ(std::count(k.begin(), k.end(), "instrument_error"), 1);
    for (const JournalRecord& r : read_journal(path)) EXPECT_NE(r.value("text", ""), "GET_ATOM_INFO");

    const std::vector<kelvo::JournalRun> runs = journal_runs(read_journal(path));
    ASSERT_EQ(runs.size(), 1u);
    const kelvo::JournalRun& run = runs[0];
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(run.outcome, "completed");
    ASSERT_EQ(run.errors.size(), 1u);
    EXPECT_EQ(run.errors[0].command, "WASH_SYRINGE(Wash2,2000,3,1000,1000,)");
    EXPECT_EQ(run.errors[0].answer, "ignore");
    ASSERT_EQ(run.row_list.size(), 3u);
    EXPECT_EQ(run.row_list[1].volume, 2);
    EXPECT_EQ(run.row_list[1].vial, 2);
    EXPECT_EQ(run.row_list[1].cycles, 1);
    EXPECT_EQ(run.first_unfinished_row(), 0);
    EXPECT_EQ(interrupted_list_run(runs), nullptr);

    const std::vector<std::string> report = run_report_lines(run);
    EXPECT_EQ(report.front(), "Run report of sample list \"L\"");
    const auto has = [&](const std::string& part) {
        return std::any_of(report.begin(), report.end(),
                           [&](const std::string& l) { return l.find(part) != std::string::npos; });
    };
    EXPECT_TRUE(has("WASH_SYRINGE(Wash2,2000,3,1000,1000,)"));
    EXPECT_TRUE(has("answer: ignore"));
    EXPECT_TRUE(has("Totals: "));
    EXPECT_TRUE(has("3 rows run (3 done, 0 stopped) of 3"));
}

TEST_F(JournalRun, ARunCutShortIsOfferedForResumingAtItsFirstUnfinishedRowAndADamagedLineIsSkipped)
{
    rows(4);
    list.run_sample_list_buttonClick();
    // Rows 1 and 2 done, then the program "ends": no end record.
    ASSERT_TRUE([&] {
        for (int i = 0; i < 2000 && document.table().status(3) != RowStatus::running; ++i) loop(1);
        return document.table().status(3) == RowStatus::running;
    }());
    { std::ofstream(path, std::ios::binary | std::ios::app) << "{\"v\":1,\"kind\":\"comm"; }

    const std::vector<kelvo::JournalRun> runs = journal_runs(read_journal(path));
    const kelvo::JournalRun* cut = interrupted_list_run(runs);
    ASSERT_NE(cut, nullptr);
    EXPECT_EQ(cut->list, "L");
    EXPECT_EQ(cut->first_unfinished_row(), 3);
    EXPECT_TRUE(run_report_lines(*cut).at(3).find("no end recorded") != std::string::npos);

    // Once the list has ended, nothing is offered any more.
    list.error_stop();
    EXPECT_EQ(interrupted_list_run(journal_runs(read_journal(path))), nullptr);
    EXPECT_EQ(journal_runs(read_journal(path)).back().outcome, "not_responding");
}

TEST(DurationModel, EstimatesAreExactForFixedDurationsAndNameAtomsWithoutHistory)
{
    DurationModel model;
    model.add("MOVE_TO_HOME", "MOVE_TO_HOME()", 1500);
    model.add("MOVE_TO_HOME", "MOVE_TO_HOME()", 1500);
    model.add("WAIT", "WAIT(1000,)", 1000);
    model.add("WAIT", "WAIT(5000,)", 5000);
    EXPECT_FALSE(model.depends_on_arguments("MOVE_TO_HOME"));
    EXPECT_TRUE(model.depends_on_arguments("WAIT"));
    EXPECT_EQ(model.duration_ms("MOVE_TO_HOME", "MOVE_TO_HOME()"), 1500);
    EXPECT_EQ(model.duration_ms("WAIT", "WAIT(5000,)"), 5000);
    EXPECT_EQ(model.duration_ms("WAIT", "WAIT(3000,)"), 3000);  // unseen arguments: the atom's mean
    EXPECT_FALSE(model.duration_ms("INJECT", "INJECT()").has_value());
    EXPECT_EQ(estimate_text(3'599'600), "1:00:00");
    EXPECT_EQ(estimate_text(61'400), "0:01:01");

    // Learned from journal records, damaged ones left out.
    DurationModel learned;
    learned.learn({JournalRecord{{"kind", "finished"}, {"atom", "SET_SPEED"}, {"text", "SET_SPEED(0,)"}, {"duration_ms", 200}},
                   JournalRecord{{"kind", "finished"}, {"atom", "SET_SPEED"}, {"duration_ms", "x"}},
                   JournalRecord{{"kind", "command"}, {"atom", "SET_SPEED"}, {"text", "SET_SPEED(0,)"}}});
    EXPECT_EQ(learned.duration_ms("SET_SPEED", "SET_SPEED(2,)"), 200);
}

TEST_F(JournalRun, AListEstimateWalksEntryLoopsAndExitAsARunDoes)
{
    write_macro("Homes", "REPEAT(3,)\r\nMOVE_TO_HOME()\r\nEND()\r\n");
    write_method("Homes", "syringe:Syr10ul\r\nHomes()\r\nWash(Wash2,SL.volume)\r\n");
    DurationModel model;
    model.add("MOVE_TO_HOME", "MOVE_TO_HOME()", 1000);
    model.add("SET_SPEED", "SET_SPEED(0,)", 100);
    model.add("WASH_SYRINGE", "WASH_SYRINGE(Wash2,1000,3,1000,1000,)", 2000);
    model.add("WASH_SYRINGE", "WASH_SYRINGE(Wash2,3000,3,1000,1000,)", 6000);
    Estimator estimator(test::context_with(db()), model);

    // First and last: SL ENTRY + 3 homes + the wash (2 µl: the atom's mean) + SL EXIT.
    SampleVariables sl;
    sl.volume = 2;
    Estimate one = estimator.method("Homes", sl, true, true);
    EXPECT_DOUBLE_EQ(one.ms, 100 + 3000 + 4000 + 100);
    EXPECT_TRUE(one.unknown_atoms.empty());
    sl.volume = 3;
    EXPECT_DOUBLE_EQ(estimator.method("Homes", sl, false, false).ms, 3000 + 6000);

    // Rows 1-3 with volumes 1, 2 and 3 and Inj/Vial 1; from row 2 on.
    std::vector<std::vector<std::string>> cells;
    for (int r = 1; r <= 3; ++r)
        cells.push_back({"", "Homes", std::to_string(r), "Tray1", "LCVlv1", "1", "", "", std::to_string(r), r == 3 ? "2" : "1"});
    ASSERT_TRUE(document.table().assign(cells));
    EXPECT_DOUBLE_EQ(estimator.list(document.table()).ms, 100 + (3000 + 2000) + (3000 + 4000) + 2 * (3000 + 6000) + 100);
    EXPECT_DOUBLE_EQ(estimator.list(document.table(), 2).ms, 100 + (3000 + 4000) + 2 * (3000 + 6000) + 100);

    // An atom never seen counts nothing and is named.
    write_method("Inj", "syringe:Syr10ul\r\nHomes()\r\n");
    write_macro("Homes", "REPEAT(2,)\r\nMOVE_TO_HOME()\r\nEND()\r\nVALVE(LCVlv1,Load,)\r\n");
    Estimator fresh(test::context_with(db()), model);
    const Estimate unknown = fresh.method("Inj", sl, false, false);
    EXPECT_DOUBLE_EQ(unknown.ms, 2000);
    EXPECT_EQ(unknown.unknown_atoms, (std::set<std::string>{"VALVE"}));
}

}  // namespace
}  // namespace kelvo::run_test
