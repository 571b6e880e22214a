// The run of a sample list against the in-process instrument simulator:
// the SL variables of a row, the texts of the log and the status window,
// Start's checks, cycles and rows, Stop answered Yes and No (with an atom
// finishing while the question is open), a syringe mismatch confirmed and
// declined, Abort in the error dialog, an instrument that falls silent,
// and a method that expands to nothing.
#include "engine/run_fixture.h"
#include "ground/documents.h"
#include "test_context.h"
#include "samplelist/sample_list_document.h"
#include "samplelist/sample_list_run.h"

#include <functional>

namespace kelvo::run_test {
namespace {

// The events an observer sees, as text.
class RecordingObserver : public SampleListRunObserver {
public:
    void list_started(const std::string& name, int rows) override
    {
        events.push_back("list " + name + " " + std::to_string(rows));
    }
    void row_started(int row, const std::string& method) override
    {
        events.push_back("row " + std::to_string(row) + " " + method);
    }
    void cycle_started(int row, int cycle, int of) override
    {
        events.push_back("cycle " + std::to_string(row) + " " + std::to_string(cycle) + "/" + std::to_string(of));
    }
    void row_finished(int row, RowStatus status) override
    {
        events.push_back("end row " + std::to_string(row) + " " + status_text(status));
    }
    void list_ended(ListOutcome outcome) override { events.push_back("end " + std::to_string(int(outcome))); }
    Lines events;
};

// Questions answered from a script, with an action while the question is open.
class QuestionPrompts final : public Prompts {
public:
    void show_error(const std::string& text) override { shown.push_back("error: " + text); }
    void show_information(const std::string& text) override { shown.push_back("information: " + text); }
    AbortRetryIgnore ask_abort_retry_ignore(const std::string& text) override
    {
        shown.push_back("abort-retry-ignore: " + text);
        return AbortRetryIgnore::abort;
    }
    bool ask_yes_no(const std::string& text) override
    {
        shown.push_back("question: " + text);
        if (while_open) while_open();
        return answer;
    }
    Lines shown;
    bool answer = true;
    std::function<void()> while_open;
};

class ListRun : public RunFixture {
protected:
    void SetUp() override
    {
        RunFixture::SetUp();
        write_macro("Wash", "Station;WASH_STATION\r\nVolume (\xB5l);1;0;SYR.Max Volume\r\n"
                            "WASH_SYRINGE(Station,Volume,3,1,1,)\r\n");
        write_macro("Homes", "REPEAT(4,)\r\nMOVE_TO_HOME()\r\nEND()\r\n");
        write_method("Inject", "//a wash of the row's volume\r\nsyringe:Syr10ul\r\nWash(Wash2,SL.volume)\r\n");
        write_method("Homes", "syringe:Syr10ul\r\nHomes()\r\n");
        write_method("Big", "syringe:Syr100ul\r\nWash(Wash2,SL.volume)\r\n");
        write_method("Empty", "syringe:Syr10ul\r\n");
        document.columns().build_fixed({"Inject", "Tray1", "LCVlv1"});
        document.start_empty("L");
        view.on_list_method_complete = [this] { list.next_step(); };
        view.on_stop_list = [this] { list.error_stop(); };
        list.add_observer(&observer);
        list.start_caption_changed = [this](const std::string& c) { captions.push_back(c); };
    }
    // Rows of method, volume, Inj/Vial (Tray1, LCVlv1, vial = row number).
    void rows(const std::vector<std::tuple<std::string, std::string, std::string>>& r)
    {
        std::vector<std::vector<std::string>> cells;
        for (const auto& [method, volume, count] : r)
            cells.push_back({"", method, volume, "Tray1", "LCVlv1", "1", "", "", std::to_string(cells.size() + 1),
                             count});
        ASSERT_TRUE(document.table().assign(cells));
    }
    Lines statuses() const
    {
        Lines out;
        for (int r = 1; r <= document.table().rows(); ++r) out.push_back(status_text(document.table().status(r)));
        return out;
    }
    static std::string wash(const std::string& ul) { return "WASH_SYRINGE(Wash2," + ul + ",3,1000,1000,)"; }
    // Steps the loop until the condition holds; false when it never does.
    bool loop_until(const std::function<bool()>& condition)
    {
        for (int i = 0; i < 2000; ++i) {
            if (condition()) return true;
            loop(1);
        }
        return condition();
    }
    void press_start()
    {
        list.run_sample_list_buttonClick();
        loop();
    }

    SampleListDocument document{test::context_with(db())};
    SampleListRun list{run, link, document, dialogs, view, sample};
    RecordingObserver observer;
    Lines captions;
};

TEST_F(ListRun, TheRowGivesTheSampleListVariablesHiddenColumnsIncluded)
{
    struct Case {
        std::string volume, volume2, vial, count;
        double sl_volume, sl_volume2;
        int index, injpervial;
    };
    const Case cases[] = {
        {"5", "7", "3", "2", 5, 7, 3, 2},
        {"2.5", "x", "007", "", 2.5, 0, 7, 1},
        {"", "-1.5", "v1", "4", 0, -1.5, 0, 4},
    };
    for (const Case& c : cases) {
        document.columns().column(column_no::volume).hidden = true;
        ASSERT_TRUE(document.table().assign(
            {{"", "M", c.volume, "Tray1", "LCVlv1", c.volume2, "Tray2", "LCVlv2", c.vial, c.count}}));
        const SampleVariables sl = sample_variables_of_row(document.table(), 1);
        EXPECT_EQ(sl.volume, c.sl_volume) << c.volume;
        EXPECT_EQ(sl.volume2, c.sl_volume2) << c.volume2;
        EXPECT_EQ(sl.index, c.index) << c.vial;
        EXPECT_EQ(sl.injpervial, c.injpervial) << c.count;
        EXPECT_EQ(sl.tray, "Tray1");
        EXPECT_EQ(sl.tray2, "Tray2");
        EXPECT_EQ(sl.injector2, "LCVlv2");
    }
}

TEST_F(ListRun, LogAndStatusWindowTextsKeepTheirBlanks)
{
    SampleVariables sl;
    sl.volume = 2.5;
    sl.tray = "Tray1";
    sl.index = 4;
    EXPECT_EQ(running_line_log(3, "Std", "Syr10ul", sl, 1, 3),
              "Running Line 3: Method \"Std,\" Syringe Syr10ul,   Volume 2.5,  Tray Tray1,   Vial 4    (cycle  2 of 3 cycles)");
    sl.volume = 10;
    EXPECT_EQ(running_line_log(1, "Std", "S", sl, 0, 1),
              "Running Line 1: Method \"Std,\" Syringe S,   Volume 10,  Tray Tray1,   Vial 4    (cycle  1 of 1 cycles)");
    EXPECT_EQ(tray_and_vial_text(sl, 1, 3), "Tray : Tray1, Vial : 4 (2 of 3)");
    EXPECT_EQ(tray_and_vial_text(sl, 0, 1), "Tray : Tray1, Vial : 4");

    // The syringe line is the first line not beginning with "//", read from its ninth character.
    write_method("Odd", "//a\r\n//b\r\nSYRINGE:Syr10ul\r\nWash(Wash2,1)\r\n");
    std::string syringe;
    Lines calls;
    ASSERT_TRUE(read_list_method(program_method_folder(), "Odd", syringe, calls));
    EXPECT_EQ(syringe, "Syr10ul");
    EXPECT_EQ(calls, (Lines{"Wash(Wash2,1)"}));
    EXPECT_FALSE(read_list_method(program_method_folder(), "Missing", syringe, calls));
}

TEST_F(ListRun, StartRefusesWithoutInstrumentRowsOrNameInChemStationMode)
{
    link.set_offline(true);
    list.run_sample_list_buttonClick();
    link.set_offline(false);
    list.run_sample_list_buttonClick();  // no rows
    rows({{"Inject", "1", "1"}});
    document.start_empty("");
    rows({{"Inject", "1", "1"}});
    list.set_chemstation(true);
    list.run_sample_list_buttonClick();
    EXPECT_EQ(shown(), (Lines{"error: It is not possible to start the list because the KELVO is not connected",
                              "error: The list is empty!",
                              "error: Please name the sample list and save it before running it"}));
    EXPECT_FALSE(list.running());
    EXPECT_TRUE(sent().empty());
}

TEST_F(ListRun, RowsRunTheirCyclesThenTheListCompletes)
{
    rows({{"Inject", "1", "2"}, {"Inject", "2.5", ""}});
    list.run_sample_list_buttonClick();
    EXPECT_EQ(list.start_button_caption(), "&Stop");
    EXPECT_FALSE(view.run_enabled);
    EXPECT_EQ(view.lines_shown[0], "Started sample list \"L\".");
    EXPECT_EQ(statuses(), (Lines{"Running", ""}));
    loop();
    EXPECT_EQ(sent(), (Lines{"GET_SYR", wash("1000"), wash("1000"), "GET_SYR", wash("2500")}));
    EXPECT_EQ(statuses(), (Lines{"Done", "Done"}));
    EXPECT_EQ(observer.events, (Lines{"list L 2", "row 1 Inject", "cycle 1 1/2", "cycle 1 2/2", "end row 1 Done",
                                      "row 2 Inject", "cycle 2 1/1", "end row 2 Done", "end 0"}));
    EXPECT_EQ(captions, (Lines{"&Stop", "&Start"}));
    EXPECT_TRUE(view.run_enabled);
    EXPECT_EQ(view.log.front(), "Started execution of sample list");
    EXPECT_EQ(view.log.back(), "Sample list completed.");
    EXPECT_EQ(view.lines_shown[0], "Sample list completed.");
    EXPECT_EQ(view.lines_shown[2], "");
    EXPECT_FALSE(run.engine().sample_list_running);
    EXPECT_FALSE(document.running());
    EXPECT_TRUE(shown().empty());
}

TEST_F(ListRun, TheStatusWindowFollowsTheCycle)
{
    rows({{"Homes", "1", "3"}});
    list.run_sample_list_buttonClick();
    loop(3);  // "GET_SYR" answered, the first method started
    EXPECT_EQ(view.lines_shown[0], "Running sample list line 1");
    EXPECT_EQ(view.lines_shown[1], "Method : Homes");
    EXPECT_EQ(view.lines_shown[2], "Tray : Tray1, Vial : 1 (1 of 3)");
    EXPECT_EQ(list.injections_per_vial(), 3);
    EXPECT_TRUE(list.first_sample());
    loop();
}

TEST_F(ListRun, StopAnsweredNoResumesAndSendsTheCommandThatBecameDue)
{
    rows({{"Homes", "1", "1"}});
    QuestionPrompts questions;
    PromptsScope scope(questions);
    questions.answer = false;
    // While the question is open, the running atom finishes: its successor
    // is held back by the pause.
    questions.while_open = [this] {
        port.sim.advance(2000);
        for (int i = 0; i < 3; ++i) {
            run.service_tick();
            while (port.sim.has_output()) port.deliver(port.sim.take_output(port.speed()));
        }
        EXPECT_TRUE(run.engine().paused_at_boundary);
    };
    list.run_sample_list_buttonClick();
    loop(4);
    ASSERT_TRUE(run.running());
    list.run_sample_list_buttonClick();
    EXPECT_EQ(run.pause_button_caption(), "&Pause");
    loop();
    EXPECT_EQ(sent(), (Lines{"GET_SYR", "MOVE_TO_HOME()", "MOVE_TO_HOME()", "MOVE_TO_HOME()", "MOVE_TO_HOME()"}));
    EXPECT_EQ(questions.shown, (Lines{"question: Do you really want to stop the execution of the whole sample list?"}));
    EXPECT_EQ(statuses(), (Lines{"Done"}));
}

TEST_F(ListRun, StopAnsweredYesRunsTheExitAndEndsTheList)
{
    write_macro("METHOD EXIT", "SET_SPEED(Normal,)\r\n");
    write_macro("SL EXIT", "SET_SPEED(Fast,)\r\n");
    rows({{"Inject", "1", "1"}, {"Homes", "1", "2"}, {"Inject", "3", "1"}});
    QuestionPrompts questions;
    PromptsScope scope(questions);
    list.run_sample_list_buttonClick();
    ASSERT_TRUE(loop_until([this] { return list.current_row() == 2 && run.running(); }));
    list.run_sample_list_buttonClick();
    EXPECT_TRUE(view.busy);
    EXPECT_EQ(view.log.back(), "Sample List Execution Stopped");
    loop();
    EXPECT_EQ(sent(), (Lines{"GET_SYR", wash("1000"), "SET_SPEED(1,)", "GET_SYR", "MOVE_TO_HOME()", "CANCEL",
                             "SET_SPEED(1,)", "SET_SPEED(2,)"}));
    EXPECT_EQ(statuses(), (Lines{"Done", "Stopped", ""}));
    EXPECT_EQ(view.log.back(), "Sample list completed.");
    EXPECT_EQ(observer.events.back(), "end 1");
    EXPECT_FALSE(view.busy);
}

TEST_F(ListRun, ASyringeChangeIsAskedForUntilTheNamesMatchOrTheUserDeclines)
{
    rows({{"Inject", "1", "1"}, {"Big", "1", "1"}});
    dialogs.mismatch_answers = {true};
    dialogs.on_mismatch = [this] { port.sim.set_syringe("Syr100ul"); };
    press_start();
    EXPECT_EQ(sent(), (Lines{"GET_SYR", wash("1000"), "GET_SYR", "GET_SYR", wash("1000")}));
    EXPECT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(statuses(), (Lines{"Done", "Done"}));

    // Declined: the row stops, the list ends at once (no SL EXIT).
    port.sim = {};
    Lines config;
    read_text_lines(method_test::demo_folder() + "/latest_kelvo.kol", config);
    port.sim.set_configuration(config);
    dialogs.on_mismatch = nullptr;
    press_start();
    EXPECT_EQ(sent(), (Lines{"GET_SYR", wash("1000"), "GET_SYR"}));
    EXPECT_EQ(dialogs.calls.back(),
              "syringe mismatch Method \"Big\" uses syringe \"Syr100ul\" but syringe \"Syr10ul\" is in the KELVO. "
              "Please insert syringe \"Syr100ul\" into the KELVO.");
    EXPECT_EQ(statuses(), (Lines{"Done", "Stopped"}));
    EXPECT_EQ(observer.events.back(), "end 2");
    EXPECT_EQ(list.start_button_caption(), "&Start");
}

TEST_F(ListRun, AbortInTheErrorDialogStopsTheRowAndTheListCompletesThroughSlExit)
{
    write_macro("SL EXIT", "SET_SPEED(Fast,)\r\n");
    rows({{"Inject", "1", "1"}, {"Inject", "2", "2"}, {"Inject", "3", "1"}});
    port.sim.faults().error_atom_number = 2;
    press_start();
    EXPECT_EQ(sent(), (Lines{"GET_SYR", wash("1000"), "GET_SYR", wash("2000"), "SET_SPEED(2,)"}));
    EXPECT_EQ(statuses(), (Lines{"Done", "Stopped", ""}));
    EXPECT_TRUE(list.had_instrument_error());
    EXPECT_EQ(view.log.back(), "Sample list completed.");
    EXPECT_EQ(observer.events.back(), "end 0");
}

TEST_F(ListRun, AnInstrumentFallingSilentStopsTheRowAndEndsTheList)
{
    rows({{"Inject", "1", "1"}, {"Inject", "2", "1"}, {"Inject", "3", "1"}});
    port.sim.faults().silent_on = {wash("2000")};
    press_start();
    EXPECT_EQ(sent(), (Lines{"GET_SYR", wash("1000"), "GET_SYR", wash("2000")}));
    EXPECT_EQ(statuses(), (Lines{"Done", "Stopped", ""}));
    EXPECT_EQ(observer.events.back(), "end 3");
    EXPECT_TRUE(list.stop_requested());
    EXPECT_FALSE(list.running());
    EXPECT_TRUE(view.run_enabled);
    EXPECT_EQ(list.start_button_caption(), "&Start");
}

TEST_F(ListRun, AMethodThatExpandsToNothingStallsUntilStopEndsIt)
{
    rows({{"Empty", "1", "1"}, {"Inject", "1", "1"}});
    QuestionPrompts questions;
    PromptsScope scope(questions);
    press_start();
    EXPECT_EQ(questions.shown, (Lines{"error: Method Empty is empty!"}));
    EXPECT_TRUE(list.running());
    EXPECT_TRUE(list.stalled());
    EXPECT_EQ(statuses(), (Lines{"Running", ""}));
    list.run_sample_list_buttonClick();
    EXPECT_FALSE(list.running());
    EXPECT_EQ(statuses(), (Lines{"Stopped", ""}));
    EXPECT_EQ(view.log.back(), "Sample list completed.");
    EXPECT_EQ(observer.events.back(), "end 1");
    EXPECT_EQ(sent(), (Lines{"GET_SYR"}));
}

TEST_F(ListRun, TheDataSystemGetsTheCurrentRow)
{
    rows({{"Inject", "1", "1"}, {"Inject", "2.5", "1"}});
    list.run_sample_list_buttonClick();
    ASSERT_TRUE(loop_until([this] { return list.current_row() == 2; }));
    const SequenceRow row = list.current_sequence_row();
    EXPECT_EQ(row.sequence_name, "L");
    ASSERT_EQ(row.cells.size(), 9u);
    EXPECT_EQ(row.cells[0], (std::pair<std::string, std::string>{"Method", "Inject"}));
    EXPECT_EQ(row.cells[1], (std::pair<std::string, std::string>{"Volume", "2.5"}));
    loop();
}

}  // namespace
}  // namespace kelvo::run_test

namespace kelvo::run_test {
namespace {

TEST_F(ListRun, StartFromRowThreeRunsRowsThreeToFiveFramedBySlEntryAndSlExit)
{
    write_macro("SL ENTRY", "SET_SPEED(Slow,)\r\n");
    write_macro("SL EXIT", "SET_SPEED(Fast,)\r\n");
    rows({{"Inject", "1", "1"}, {"Inject", "2", "1"}, {"Inject", "3", "1"}, {"Inject", "4", "2"}, {"Inject", "5", "1"}});
    document.table().set_status(1, RowStatus::done);
    document.table().set_status(2, RowStatus::stopped);

    ASSERT_TRUE(list.start_from_row(3));
    loop();
    EXPECT_EQ(sent(), (Lines{"GET_SYR", "SET_SPEED(0,)", wash("3000"), "GET_SYR", wash("4000"), wash("4000"),
                             "GET_SYR", wash("5000"), "SET_SPEED(2,)"}));
    // The rows before keep what they had.
    EXPECT_EQ(statuses(), (Lines{"Done", "Stopped", "Done", "Done", "Done"}));
    EXPECT_EQ(observer.events.front(), "list L 5");
    EXPECT_EQ(observer.events[1], "row 3 Inject");

    // A row outside the list is refused; Start begins at row 1 again.
    EXPECT_FALSE(list.start_from_row(6));
    EXPECT_EQ(shown().back(), "error: The sample list has no row 6 to start from (rows 1 to 5).");
    const std::size_t before = sent().size();
    press_start();
    EXPECT_EQ(sent().at(before + 2), wash("1000"));
    EXPECT_EQ(statuses(), (Lines{"Done", "Done", "Done", "Done", "Done"}));
}

}  // namespace
}  // namespace kelvo::run_test
