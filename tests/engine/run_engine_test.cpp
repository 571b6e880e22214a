// A method run against the in-process simulator: what the instrument
// receives command by command for the edge cases of the run (the frame of
// special macros, loops, scaling, the error path with Retry and Abort,
// Stop, step mode, pause, the syringe check), the send-time resolution, and
// the bounds that keep a runaway method from hanging the program.
#include "engine/resolve.h"
#include "run_fixture.h"

namespace kelvo::run_test {
namespace {

class Run : public RunFixture {};

TEST_F(Run, FourAtomLinesAreSentInOrderAndTheMethodCompletes)
{
    press_run({"Two A()", "Two B(Wash1,2)"});
    loop();
    EXPECT_EQ(sent(), (Lines{"GET_SYR", "MOVE_TO_HOME()", "SET_SPEED(2,)", "WASH_SYRINGE(Wash1,2000,3,1000,1000,)",
                             "MOVE_TO_OBJECT(Wash1,,5000,)"}));
    EXPECT_TRUE(shown().empty());
    EXPECT_EQ(run.engine().lists.body_start, 0);
    EXPECT_EQ(run.engine().lists.body_end, 4);
    EXPECT_FALSE(run.running());
    EXPECT_EQ(run.run_button_caption(), "Ru&n");
    ASSERT_FALSE(view.log.empty());
    // Four atoms of a second each, polled every 500 ms.
    EXPECT_EQ(view.log.back(), "Method \"M\" completed, elapsed time: 0:05");
    EXPECT_EQ(view.lines_shown[1], view.log.back());
    EXPECT_EQ(link.last_command_text(), "MOVE_TO_OBJECT(Wash1,,5000,)");
    // Progress went to the status bar while atoms ran.
    EXPECT_NE(std::find(view.status.begin(), view.status.end(), "Running method \"M\"."), view.status.end());
    EXPECT_NE(std::find(view.status.begin(), view.status.end(), "MOVE_TO_HOME running, 500 ms left"), view.status.end());
}

TEST_F(Run, ElapsedTimeIsRoundedToWholeSeconds)
{
    EXPECT_EQ(method_completed_text("M", 600), "Method \"M\" completed, elapsed time: 0:01");
    EXPECT_EQ(method_completed_text("M", 400), "Method \"M\" completed, elapsed time: 0:00");
    EXPECT_EQ(method_completed_text("M", 61500), "Method \"M\" completed, elapsed time: 1:02");
}

TEST_F(Run, SlEntryIsSkippedForLaterSamplesAndSlExitForEarlierOnes)
{
    write_macro("SL ENTRY", "SET_SPEED(Slow,)\r\n");
    write_macro("SL EXIT", "SET_SPEED(Normal,)\r\n");
    write_macro("METHOD EXIT", "MOVE_TO_HOME()\r\n");
    ASSERT_TRUE(run.engine().expand("Syr10ul", {"Two A()"}));
    run.engine().first_sample = false;
    run.engine().last_sample = false;
    run.engine().start(0);
    loop();
    EXPECT_EQ(sent(), (Lines{"MOVE_TO_HOME()", "SET_SPEED(2,)", "MOVE_TO_HOME()"}));
}

TEST_F(Run, RepeatSendsItsBlockCountTimesAndZeroTimesSkipsIt)
{
    write_macro("Loop", "Count ();3;0;10\r\nREPEAT(Count,)\r\nMOVE_TO_HOME()\r\nSET_SPEED(Fast,)\r\nEND()\r\nSET_SPEED(Slow,)\r\n");
    press_run({"Loop(3)"});
    loop();
    EXPECT_EQ(sent(), (Lines{"GET_SYR", "MOVE_TO_HOME()", "SET_SPEED(2,)", "MOVE_TO_HOME()", "SET_SPEED(2,)",
                             "MOVE_TO_HOME()", "SET_SPEED(2,)", "SET_SPEED(0,)"}));
    port.sim = {};
    Lines config;
    read_text_lines(method_test::demo_folder() + "/latest_kelvo.kol", config);
    port.sim.set_configuration(config);
    press_run({"Loop(0)"});
    loop();
    EXPECT_EQ(sent(), (Lines{"GET_SYR", "SET_SPEED(0,)"}));
    EXPECT_TRUE(shown().empty());
}

TEST_F(Run, RunawayLoopsAndCountsAreBounded)
{
    EXPECT_EQ(repeat_argument("REPEAT(1000000,)"), 1000000);
    EXPECT_EQ(repeat_argument("REPEAT(-7,)"), -7);
    EXPECT_EQ(repeat_argument("REPEAT(x1,)"), 0);
    EXPECT_EQ(repeat_argument("REPEAT(1000001,)"), std::nullopt);
    EXPECT_EQ(repeat_argument("REPEAT(99999999999999999999999,)"), std::nullopt);

    // An END without REPEAT goes on; a loop of pseudo-commands only stops
    // with a message instead of spinning.
    write_macro("Spin", "END()\r\nREPEAT(1000000,)\r\nINC_INDEX()\r\nINC_INDEX()\r\nEND()\r\nMOVE_TO_HOME()\r\n");
    press_run({"Spin()"});
    loop();
    EXPECT_EQ(sent(), (Lines{"GET_SYR"}));
    EXPECT_EQ(shown(), (Lines{"error: The method steps through more than 1000000 lines without sending a command."}));
    // Failed at its first command: the run is over, the buttons are back.
    EXPECT_TRUE(run.engine().stalled);
    EXPECT_FALSE(run.running());
    EXPECT_EQ(run.run_button_caption(), "Ru&n");
}

TEST_F(Run, RetryInTheErrorDialogSendsTheFailedCommandAgain)
{
    write_macro("ERROR ENTRY", "SET_SPEED(Slow,)\r\n");
    port.sim.faults().error_atom_number = 2;
    prompts.ari_answers = {AbortRetryIgnore::retry};
    press_run({"Two A()", "Two B(Wash1,2)"});
    loop();
    EXPECT_EQ(sent(), (Lines{"GET_SYR", "MOVE_TO_HOME()", "SET_SPEED(2,)", "SET_SPEED(0,)", "SET_SPEED(2,)",
                             "WASH_SYRINGE(Wash1,2000,3,1000,1000,)", "MOVE_TO_OBJECT(Wash1,,5000,)"}));
    EXPECT_EQ(shown(), (Lines{"abort-retry-ignore: SET_SPEED(2,): error :error in atom SET_SPEED"}));
    EXPECT_FALSE(run.running());
}

TEST_F(Run, AbortInTheErrorDialogRunsTheExitPartOnly)
{
    write_macro("METHOD EXIT", "SET_SPEED(Normal,)\r\n");
    port.sim.faults().error_atom_number = 1;
    prompts.ari_answers = {AbortRetryIgnore::abort};
    press_run({"Two A()", "Two B(Wash1,2)"});
    loop();
    EXPECT_EQ(sent(), (Lines{"GET_SYR", "MOVE_TO_HOME()", "SET_SPEED(1,)"}));
    EXPECT_EQ(view.log.back(), "Method \"M\" completed, elapsed time: 0:02");
}

TEST_F(Run, IgnoreGoesOnWithTheNextCommand)
{
    port.sim.faults().error_atom_names = {"SET_SPEED"};
    prompts.ari_answers = {AbortRetryIgnore::ignore};
    press_run({"Two A()"});
    loop();
    EXPECT_EQ(sent(), (Lines{"GET_SYR", "MOVE_TO_HOME()", "SET_SPEED(2,)"}));
    EXPECT_FALSE(run.running());
}

TEST_F(Run, StopCancelsTheRunningAtomOnceAndMethodExitStillRuns)
{
    write_macro("METHOD EXIT", "SET_SPEED(Normal,)\r\n");
    port.sim.set_atom_time_ms(60000);
    press_run({"Two A()", "Two B(Wash1,2)"});
    for (int i = 0; i < 10 && port.sim.transcript().size() < 3; ++i) loop(1);
    ASSERT_EQ(sent(), (Lines{"GET_SYR", "MOVE_TO_HOME()"}));
    run.run_method_buttonClick();
    EXPECT_EQ(view.log.back(), "Method \"M\" stopped");
    EXPECT_EQ(run.run_button_caption(), "Ru&n");
    port.sim.set_atom_time_ms(100);
    loop();
    EXPECT_EQ(sent(), (Lines{"GET_SYR", "MOVE_TO_HOME()", "CANCEL", "SET_SPEED(1,)"}));
    EXPECT_EQ(view.log.back().rfind("Method \"M\" completed", 0), 0u);
    EXPECT_FALSE(run.running());
}

TEST_F(Run, ASyringeMismatchSendsOnlyGetSyr)
{
    view.syringe = "Syr100ul";
    press_run({"Two A()"});
    loop();
    EXPECT_EQ(sent(), (Lines{"GET_SYR"}));
    EXPECT_EQ(shown(), (Lines{"error: The method uses syringe Syr100ul but syringe Syr10ul is in the kelvo!"}));
    EXPECT_EQ(view.events.back(), "step on");
    EXPECT_FALSE(run.running());
}

TEST_F(Run, AnEmptyMethodDoesNotStart)
{
    press_run({});
    loop();
    EXPECT_EQ(shown(), (Lines{"error: Method is empty!"}));
    EXPECT_FALSE(run.running());
}

TEST_F(Run, TestParametersOpenWhenTheMethodNamesSampleListValues)
{
    write_macro("Take", "ASPIRATE(SL.volume,1,)\r\n");
    press_run({"Take()"});
    loop();
    EXPECT_EQ(dialogs.calls, (Lines{"test parameters"}));
    EXPECT_EQ(sent(), (Lines{"GET_SYR", "ASPIRATE(2500,1000,)"}));

    dialogs.test_ok = false;
    dialogs.calls.clear();
    press_run({"Take()"});
    loop();
    EXPECT_EQ(dialogs.calls, (Lines{"test parameters"}));
    EXPECT_EQ(sent(), (Lines{"GET_SYR", "ASPIRATE(2500,1000,)", "GET_SYR"}));
    EXPECT_EQ(view.events.back(), "step on");
}

TEST_F(Run, LeaveStepModeRunsTheRestWithoutDialogs)
{
    dialogs.step_answers = {StepAnswer::step, StepAnswer::leave_step_mode};
    view.lines = {"Two A()", "Two B(Wash1,2)"};
    run.step_buttonClick();
    loop();
    EXPECT_EQ(dialogs.calls, (Lines{"step MOVE_TO_HOME()", "step SET_SPEED(2,)"}));
    EXPECT_EQ(sent(), (Lines{"GET_SYR", "MOVE_TO_HOME()", "SET_SPEED(2,)", "WASH_SYRINGE(Wash1,2000,3,1000,1000,)",
                             "MOVE_TO_OBJECT(Wash1,,5000,)"}));
    EXPECT_NE(std::find(view.events.begin(), view.events.end(), "step off"), view.events.end());
}

TEST_F(Run, CancelMethodInTheStepDialogGoesToTheExitPart)
{
    write_macro("METHOD EXIT", "SET_SPEED(Normal,)\r\n");
    dialogs.step_answers = {StepAnswer::step, StepAnswer::cancel_method};
    view.lines = {"Two A()", "Two B(Wash1,2)"};
    run.step_buttonClick();
    loop();
    EXPECT_EQ(dialogs.calls, (Lines{"step MOVE_TO_HOME()", "step SET_SPEED(2,)"}));
    EXPECT_EQ(sent(), (Lines{"GET_SYR", "MOVE_TO_HOME()", "SET_SPEED(1,)"}));
}

TEST_F(Run, PauseActsOnlyWhileASampleListRunsAndResumesAtTheBoundary)
{
    press_run({"Two A()", "Two B(Wash1,2)"});
    loop(3);
    run.pause_buttonClick();
    EXPECT_EQ(run.pause_button_caption(), "&Pause");
    EXPECT_FALSE(run.engine().pause_request);

    // As a sample-list run: the pause holds the run before its next command.
    run.engine().sample_list_running = true;
    run.pause_buttonClick();
    EXPECT_EQ(run.pause_button_caption(), "Res&ume");
    loop(40);
    EXPECT_TRUE(run.engine().paused_at_boundary);
    const Lines before = sent();
    EXPECT_EQ(before, (Lines{"GET_SYR", "MOVE_TO_HOME()"}));
    run.pause_buttonClick();
    run.pause_buttonClick();  // a second Pause/Resume before the next boundary
    run.pause_buttonClick();
    run.engine().sample_list_running = false;
    loop();
    // Nothing lost, nothing twice.
    EXPECT_EQ(sent(), (Lines{"GET_SYR", "MOVE_TO_HOME()", "SET_SPEED(2,)", "WASH_SYRINGE(Wash1,2000,3,1000,1000,)",
                             "MOVE_TO_OBJECT(Wash1,,5000,)"}));
}

TEST_F(Run, ASendTimeFailureStallsTheRunAndStopEndsIt)
{
    write_macro("Bad", "MOVE_TO_HOME()\r\nASPIRATE(,1,)\r\nMOVE_TO_HOME()\r\n");
    press_run({"Bad()"});
    loop();
    EXPECT_EQ(sent(), (Lines{"GET_SYR", "MOVE_TO_HOME()"}));
    EXPECT_EQ(shown(), (Lines{"error: ASPIRATE:Volume cannot be defaulted"}));
    EXPECT_TRUE(run.running());
    EXPECT_TRUE(run.engine().stalled);
    run.run_method_buttonClick();
    EXPECT_FALSE(run.running());
    loop();
    EXPECT_EQ(sent(), (Lines{"GET_SYR", "MOVE_TO_HOME()"}));
}

TEST_F(Run, AnInstrumentThatFallsSilentEndsTheRun)
{
    press_run({"Two A()", "Two B(Wash1,2)"});
    loop(4);
    port.sim.faults().silent = true;
    loop();
    EXPECT_EQ(shown(), (Lines{"error: The kelvo is not responding!"}));
    EXPECT_FALSE(run.running());
    EXPECT_EQ(run.run_button_caption(), "Ru&n");
}

TEST_F(Run, OfflineRunAndStepOnlyTellTheUser)
{
    link.set_offline(true);
    press_run({"Two A()"});
    run.step_buttonClick();
    EXPECT_EQ(shown(), (Lines{"error: It is not possible to run the method because the KELVO is not connected",
                              "error: It is not possible to step through the method because the KELVO is not connected"}));
    EXPECT_TRUE(port.sim.transcript().empty());
}

TEST_F(Run, ResetSendsCleanupAndReportsIt)
{
    run.reset_buttonClick();
    loop();
    EXPECT_EQ(sent(), (Lines{"CLEANUP(Wash1,1,1,1,1,1,1,1,,)"}));
    EXPECT_EQ(link.last_command_text(), "CLEANUP(Wash1,1,1,1,1,1,1,1,,)");
    EXPECT_EQ(view.status.back(), "Kelvo Reset");
    EXPECT_EQ(view.lines_shown[3], "Kelvo Reset");
}

TEST_F(Run, BusyDuringARunIsPolledOncePerTickAndTheCommandFollowsReady)
{
    // Reset while an atom runs: the instrument answers "BUSY".
    port.sim.set_atom_time_ms(3000);
    press_run({"Two A()"});
    loop(3);
    run.reset_buttonClick();
    const std::size_t writes = port.writes.size();
    port.deliver(port.sim.take_output(port.speed()));
    // The poll waits for the trigger's next tick.
    EXPECT_EQ(port.writes.size(), writes);
    EXPECT_TRUE(link.status_poll_due());
    port.fire();
    EXPECT_EQ(port.writes.back().bytes, "GET_STAT\r");
    EXPECT_EQ(shown(), (Lines{"error: CLEANUP(Wash1,1,1,1,1,1,1,1,,) The Kelvo is busy! Please check the terminal!"}));
}

// --- send-time resolution ---

class Resolve : public RunFixture {
protected:
    std::optional<std::string> resolve_line(const std::string& line)
    {
        RunValues values;
        values.sl.tray = "Tray2";
        values.mounted_syringe = "Syr10ul";
        RunLists lists;
        lists.syringe = "Syr10ul";
        return resolve_error_command(ResolveInput{db(), lists, values, dialogs, context.prompts}, line);
    }
};

TEST_F(Resolve, ArgumentsBecomeWhatTheInstrumentTakes)
{
    const struct {
        const char* line;
        const char* command;
    } cases[] = {
        {"ASPIRATE(2.5,1,)", "ASPIRATE(2500,1000,)"},               // µl and µl/s times 1000
        {"MOVE_Z(0.0015,)", "MOVE_Z(1,)"},                         // mm times 1000, cut toward zero
        {"MOVE_Z(-0.0015,)", "MOVE_Z(-1,)"},
        {"ASPIRATE(0.29,1,)", "ASPIRATE(290,1000,)"},              // not 289 from a binary fraction
        {"SET_SPEED(Bogus,)", "SET_SPEED(-1,)"},                   // list miss
        {"SET_SPEED(fast,)", "SET_SPEED(2,)"},
        {"MOVE_TO_OBJECT(Wash1,,5,)", "MOVE_TO_OBJECT(Wash1,,5000,)"},  // optional left empty
        {"MOVE_TO_OBJECT(SL.tray,3,0,)", "MOVE_TO_OBJECT(Tray2,3,0,)"},
        {"CHECK_SYRINGE(SYR,)", "CHECK_SYRINGE(Syr10ul,)"},
        {"WAIT(1:30,)", "WAIT(90,)"},
        {"ASPIRATE(SYR.Max Volume,1,)", "ASPIRATE(10000,1000,)"},  // at the maximum: no dialog
        {"NO_SUCH_ATOM(1,2,)", "NO_SUCH_ATOM(1,2,)"},              // no atom: sent unchanged
    };
    for (const auto& c : cases) EXPECT_EQ(resolve_line(c.line), std::string(c.command)) << c.line;
    EXPECT_TRUE(dialogs.calls.empty());
    EXPECT_TRUE(shown().empty());
}

TEST_F(Resolve, OutOfRangeValuesGoThroughTheDialog)
{
    EXPECT_EQ(resolve_line("ASPIRATE(10.5,1,)"), std::string("ASPIRATE(10000,1000,)"));
    EXPECT_EQ(resolve_line("SET_TEMP(Stack Zone,2,)"), std::string("SET_TEMP(Stack Zone,4000,)"));
    EXPECT_EQ(dialogs.calls, (Lines{"out of range ASPIRATE:Volume 10.5 (0 - 10 \xB5l)",
                                    "out of range SET_TEMP:Temperature 2 (4 - 80 \xB0" "C)"}));
}

TEST_F(Resolve, FailuresNameTheAtomAndArgument)
{
    EXPECT_EQ(resolve_line("ASPIRATE(,1,)"), std::nullopt);
    EXPECT_EQ(resolve_line("ASPIRATE(abc,1,)"), std::nullopt);
    EXPECT_EQ(shown(), (Lines{"error: ASPIRATE:Volume cannot be defaulted", "error: ASPIRATE:Volume: cant understand abc"}));
}

TEST_F(Resolve, InstrumentIntegersRefuseWhatCannotBeSent)
{
    std::string out;
    EXPECT_TRUE(instrument_integer(2.5, "\xB5l", out));
    EXPECT_EQ(out, "2500");
    EXPECT_TRUE(instrument_integer(-7.9, "", out));
    EXPECT_EQ(out, "-7");
    EXPECT_FALSE(instrument_integer(1e300, "", out));
    EXPECT_FALSE(instrument_integer(3e6, "mm", out));
}

}  // namespace
}  // namespace kelvo::run_test
