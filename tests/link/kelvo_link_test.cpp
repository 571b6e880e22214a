#include "link/kelvo_link.h"

#include "config/program_context.h"
#include "ground/debug_lines.h"
#include "link/fake_serial_port.h"
#include "link/prompt_log.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

using link_test::FakeSerialPort;
using link_test::PromptLog;

struct RecordingRun : RunHooks {
    bool running = false, error_path = false, remain = false;
    std::vector<std::string> calls;
    bool method_running() const override { return running; }
    bool on_error_path() const override { return error_path; }
    bool commands_remain() const override { return remain; }
    void send_next_command() override { calls.push_back("send_next"); }
    void continue_error_path() override { calls.push_back("continue_error_path"); }
    void start_error_path(const std::string& line) override { calls.push_back("start_error_path " + line); }
    void method_complete_step() override { calls.push_back("method_complete_step"); }
    void atom_info_completion() override { calls.push_back("atom_info_completion"); }
    void stop_sample_list() override { calls.push_back("stop_sample_list"); }
    void abort_run_position() override { calls.push_back("abort_run_position"); }
    void refresh_changed_rows() override { calls.push_back("refresh_changed_rows"); }
};

struct RecordingUi : LinkUi {
    std::vector<std::string> calls;
    void status_text(const std::string& t) override { calls.push_back("status " + t); }
    void restore_cursor() override { calls.push_back("restore_cursor"); }
    void close_splash_and_show_main() override { calls.push_back("close_splash"); }
};

struct RecordingDataSystem : DataSystemHooks {
    std::vector<std::string> calls;
    void create_links() override { calls.push_back("create_links"); }
    void send_current_row() override { calls.push_back("send_current_row"); }
    void reload_columns() override { calls.push_back("reload_columns"); }
    void request_table() override { calls.push_back("request_table"); }
};

class LinkTest : public ::testing::Test {
protected:
    // The link asks whatever prompts are installed when a box comes up: a
    // test may install its own over the log.
    LinkTest() : scope(prompts), link(port, program_context().prompts)
    {
        port.open(1);
        link.set_run_hooks(&run);
        link.set_ui(&ui);
        link.set_data_system_hooks(&ds);
        link.set_atom_timeout_ticks(20);
        link.set_status_timeout_ticks(10);
    }

    // A status command that records its completion and time-out.
    void send_status(const std::string& text, bool errors_count = false)
    {
        link.send_command(CommandKind::status, text, [this, text] { events.push_back("done " + text); }, errors_count,
                          [this, text] { events.push_back("timeout " + text); });
    }

    PromptLog prompts;
    PromptsScope scope;
    FakeSerialPort port;
    RecordingRun run;
    RecordingUi ui;
    RecordingDataSystem ds;
    KelvoLink link;
    std::vector<std::string> events;
};

TEST(LinkTicks, SettingsBecomeTicksAndZeroTicksStillTimeOut)
{
    EXPECT_EQ(ticks_from_ms(3000), 54);
    EXPECT_EQ(ticks_from_ms(100), 1);
    EXPECT_EQ(ticks_from_ms(50), 0);
    EXPECT_EQ(ticks_from_ms(-5), 0);

    FakeSerialPort port;
    port.open(1);
    KelvoLink link(port, prompts());
    link.set_status_timeout_ticks(ticks_from_ms(50));
    bool timed_out = false;
    link.send_command(CommandKind::status, "GET_STAT", {}, false, [&] { timed_out = true; });
    EXPECT_EQ(port.armed_ticks, 1);
    ASSERT_TRUE(port.fire());
    EXPECT_TRUE(timed_out);
}

TEST(LinkDisplayBytes, InstrumentCharactersBecomeAnsi)
{
    EXPECT_EQ(translate_display_byte(0x7E), 0xBB);
    EXPECT_EQ(translate_display_byte(0x7F), 0xAB);
    EXPECT_EQ(translate_display_byte(0x91), 0xB0);
    EXPECT_EQ(translate_display_byte(0x9B), 0xB1);
    EXPECT_EQ(translate_display_byte(0x9D), 0xB5);
    EXPECT_EQ(translate_display_byte(0x9E), 0x78);
    EXPECT_EQ(translate_display_byte('A'), 'A');
    EXPECT_EQ(translate_display_byte(0x0A), 0x0A);
    EXPECT_EQ(translate_display_byte(0xB5), 0xB5);
}

TEST_F(LinkTest, CommandKindsSendTextWithCrAndArmTheirTimeOut)
{
    struct Case {
        CommandKind kind;
        const char* text;
        WaitState state;
        int ticks;
    } cases[] = {
        {CommandKind::reply, "???", WaitState::awaiting_reply, 20},
        {CommandKind::status, "GET_STAT", WaitState::awaiting_reply, 10},
        {CommandKind::status_poll, "GET_STAT", WaitState::awaiting_status, 10},
        {CommandKind::atom_info, "GET_ATOM_INFO", WaitState::awaiting_atom_info, 10},
        {CommandKind::atom, "ASPIRATE(1,)", WaitState::awaiting_acceptance, 20},
    };
    for (const Case& c : cases) {
        port.writes.clear();
        link.send_command(c.kind, c.text, {}, false, {});
        ASSERT_EQ(port.writes.size(), 1u) << c.text;
        EXPECT_EQ(port.writes[0].bytes, std::string(c.text) + "\r");
        EXPECT_EQ(link.wait_state(), c.state) << c.text;
        EXPECT_TRUE(port.armed);
        EXPECT_EQ(port.armed_ticks, c.ticks) << c.text;
        EXPECT_EQ(link.pending().text, c.text);
    }
}

TEST_F(LinkTest, DebugLinesOnlyWhileVisibleAndNotForAtomInfo)
{
    send_status("GET_STAT");
    EXPECT_TRUE(link.debug_box().empty());
    link.set_debug_visible(true);
    send_status("GET_CONFIG");
    link.send_command(CommandKind::atom_info, "GET_ATOM_INFO", {}, false, {});
    link.status_poll();
    EXPECT_EQ(link.debug_box(), (std::vector<std::string>{"sent GET_CONFIG", "sent GET_STAT"}));

    DebugLineRoute route([this](const std::string& text) { link.add_debug_line(text); });
    debug_line("problem with X:Y");
    EXPECT_EQ(link.debug_box().back(), "problem with X:Y");
    link.set_debug_visible(false);
    debug_line("hidden");
    EXPECT_EQ(link.debug_box().back(), "problem with X:Y");
}

TEST_F(LinkTest, OfflineCommandSendsNothingAndNeverCompletes)
{
    link.set_offline(true);
    send_status("GET_STAT");
    link.status_poll();
    link.cancel();
    EXPECT_TRUE(port.writes.empty());
    EXPECT_FALSE(port.fire());
    EXPECT_FALSE(link.service_completion_step());
    EXPECT_TRUE(events.empty());
}

TEST_F(LinkTest, LinesAssembleAcrossDataEvents)
{
    send_status("GET_FW_VERSION");
    port.deliver("V1.");
    port.deliver("2\rREA");
    EXPECT_EQ(link.return_box(), std::vector<std::string>{"V1.2"});
    EXPECT_EQ(link.line_buffer(), "REA");
    EXPECT_FALSE(link.answer_complete());
    port.deliver("DY\rGET");
    EXPECT_TRUE(link.answer_complete());
    EXPECT_EQ(link.wait_state(), WaitState::idle);
    EXPECT_EQ(link.line_buffer(), "GET");
    EXPECT_TRUE(link.service_completion_step());
    EXPECT_EQ(events, std::vector<std::string>{"done GET_FW_VERSION"});
    EXPECT_EQ(link.first_answer_line(), "V1.2");
}

TEST_F(LinkTest, LfStaysInTheNextLineWhichIsThenData)
{
    send_status("GET_STAT");
    port.deliver("X\r\nREADY\r");
    EXPECT_EQ(link.return_box(), (std::vector<std::string>{"X", "\nREADY"}));
    EXPECT_FALSE(link.answer_complete());
    EXPECT_EQ(link.wait_state(), WaitState::awaiting_reply);
}

TEST_F(LinkTest, DisplayBytesAreTranslatedInLines)
{
    send_status("GET_SYR");
    port.deliver(std::string("10\x9Dl 25\x91" "C\r"));
    EXPECT_EQ(link.first_answer_line(), "10\xB5l 25\xB0" "C");
}

TEST_F(LinkTest, BarAnswersByWaitState)
{
    send_status("GET_STAT");
    port.deliver("|\r");
    EXPECT_TRUE(link.answer_complete());
    EXPECT_EQ(link.wait_state(), WaitState::idle);

    EXPECT_TRUE(link.service_completion_step());  // consumes the flag
    EXPECT_FALSE(link.answer_complete());
    link.send_command(CommandKind::atom, "WASH(1,)", {}, false, {});
    port.deliver("|\r");
    EXPECT_EQ(link.wait_state(), WaitState::atom_running);
    EXPECT_FALSE(link.answer_complete());
    EXPECT_FALSE(port.armed);  // a running atom has no time-out

    port.deliver("|\r");  // nothing happens while the atom runs
    EXPECT_EQ(link.wait_state(), WaitState::atom_running);
    EXPECT_FALSE(link.answer_complete());

    link.send_command(CommandKind::atom_info, "GET_ATOM_INFO", {}, false, {});
    port.deliver("WASH 40%\r|\r");
    EXPECT_EQ(link.wait_state(), WaitState::atom_running);
    EXPECT_TRUE(link.answer_complete());
    EXPECT_EQ(link.first_answer_line(), "WASH 40%");
}

TEST_F(LinkTest, AtSignAloneOnlyEndsAnAtomBeingPolled)
{
    send_status("GET_STAT");
    port.deliver("@\r");
    EXPECT_EQ(link.wait_state(), WaitState::awaiting_reply);
    EXPECT_FALSE(link.answer_complete());
    EXPECT_TRUE(link.return_box().empty());

    link.send_command(CommandKind::atom_info, "GET_ATOM_INFO", {}, false, {});
    port.deliver("@\r");
    EXPECT_EQ(link.wait_state(), WaitState::idle);
    EXPECT_TRUE(link.answer_complete());
}

TEST_F(LinkTest, AtSignDuringARunStepsTheRun)
{
    run.running = true;
    struct Case {
        bool error_path, remain;
        const char* call;
    } cases[] = {{true, true, "continue_error_path"}, {false, true, "send_next"}, {false, false, ""}};
    for (const Case& c : cases) {
        link.service_completion_step();  // consumes the last case's flag
        run.calls.clear();
        run.error_path = c.error_path;
        run.remain = c.remain;
        link.send_command(CommandKind::atom_info, "GET_ATOM_INFO", {}, false, {});
        port.deliver("@\r");
        EXPECT_FALSE(link.answer_complete());
        if (*c.call) {
            EXPECT_EQ(run.calls, std::vector<std::string>{c.call});
            EXPECT_FALSE(link.method_complete());
        } else {
            EXPECT_TRUE(run.calls.empty());
            EXPECT_TRUE(link.method_complete());
        }
    }
}

TEST_F(LinkTest, ErrorEndsTheExchangeWithoutCompletionOrTimeOut)
{
    send_status("GET_CONFIG");
    port.deliver("ERROR\r");
    EXPECT_EQ(prompts.errors, std::vector<std::string>{"The KELVO had an error! Please check the terminal"});
    EXPECT_EQ(link.condition(), LinkCondition::error);
    EXPECT_EQ(link.wait_state(), WaitState::awaiting_reply);
    EXPECT_FALSE(link.answer_complete());
    EXPECT_FALSE(port.fire());
    EXPECT_TRUE(events.empty());
    // The next command goes out as usual.
    send_status("GET_STAT");
    EXPECT_EQ(port.writes.back().bytes, "GET_STAT\r");
}

TEST_F(LinkTest, ErrorLineOutsideARun)
{
    send_status("GET_SYR");
    port.deliver("@E12 no syringe\r");
    EXPECT_EQ(prompts.errors, std::vector<std::string>{"The kelvo has an error: @E12 no syringe. Please check the terminal."});
    EXPECT_EQ(link.wait_state(), WaitState::idle);
    EXPECT_FALSE(link.answer_complete());
}

TEST_F(LinkTest, ErrorLineCountsAsAnswerWhenAsked)
{
    link.send_command(CommandKind::reply, "???", [this] { events.push_back("done"); }, true, {});
    port.deliver("@?\r");
    EXPECT_TRUE(prompts.errors.empty());
    EXPECT_TRUE(link.answer_complete());
    link.service_completion_step();
    EXPECT_EQ(events, std::vector<std::string>{"done"});
}

TEST_F(LinkTest, ErrorLineDuringARunStartsTheErrorPath)
{
    run.running = true;
    link.send_command(CommandKind::atom, "WASH(1,)", {}, false, {});
    port.deliver("@E3 vial missing\r");
    EXPECT_EQ(run.calls, std::vector<std::string>{"start_error_path @E3 vial missing"});
    EXPECT_TRUE(prompts.errors.empty());
    EXPECT_EQ(link.wait_state(), WaitState::idle);
}

TEST_F(LinkTest, BusyShowsOneBoxInTheProgramsLifeAndResendsAfterReady)
{
    link.set_last_command_text("WASH(1,)");
    link.send_command(CommandKind::atom, "WASH(1,)", {}, false, {});
    port.writes.clear();
    port.deliver("BUSY\r");
    EXPECT_EQ(prompts.errors, std::vector<std::string>{"WASH(1,) The Kelvo is busy! Please check the terminal!"});
    EXPECT_EQ(link.condition(), LinkCondition::busy);
    EXPECT_EQ(link.wait_state(), WaitState::awaiting_status);
    // The poll waits for the next tick of the trigger, then has the status
    // time-out.
    EXPECT_TRUE(port.written_texts().empty());
    EXPECT_EQ(port.armed_ticks, 1);
    ASSERT_TRUE(port.fire());
    EXPECT_EQ(port.armed_ticks, 10);
    EXPECT_EQ(port.written_texts(), std::vector<std::string>{"GET_STAT\r"});

    // Still busy: polled again on the next tick, no second box.
    port.deliver("BUSY\r");
    EXPECT_EQ(port.written_texts().size(), 1u);
    ASSERT_TRUE(port.fire());
    EXPECT_EQ(prompts.errors.size(), 1u);
    port.deliver("READY\r");
    EXPECT_EQ(link.condition(), LinkCondition::ready);
    EXPECT_FALSE(link.answer_complete());
    EXPECT_EQ(port.written_texts(), (std::vector<std::string>{"GET_STAT\r", "GET_STAT\r", "WASH(1,)\r"}));
    EXPECT_EQ(link.wait_state(), WaitState::awaiting_acceptance);

    // A second busy period later in the program's life: no box, resent again.
    port.deliver("BUSY\r");
    ASSERT_TRUE(port.fire());
    port.deliver("READY\r");
    EXPECT_EQ(prompts.errors.size(), 1u);
    EXPECT_EQ(port.written_texts().back(), "WASH(1,)\r");
}

TEST_F(LinkTest, CommandWhileBusyPollsFirst)
{
    send_status("GET_STAT");
    port.deliver("BUSY\r");
    port.writes.clear();
    send_status("GET_SYR");
    EXPECT_EQ(port.written_texts(), std::vector<std::string>{"GET_STAT\r"});
    port.deliver("READY\r");
    EXPECT_EQ(port.written_texts(), (std::vector<std::string>{"GET_STAT\r", "GET_SYR\r"}));
    port.deliver("SYR10\rREADY\r");
    link.service_completion_step();
    EXPECT_EQ(events, std::vector<std::string>{"done GET_SYR"});
}

TEST_F(LinkTest, CancelSuppressesTheBusyNoticeForOneLineOnly)
{
    link.send_command(CommandKind::atom_info, "GET_ATOM_INFO", {}, false, {});
    const WaitState before = link.wait_state();
    link.post_user_message(user_message::cancel);
    EXPECT_EQ(port.writes.back().bytes, "CANCEL\r");
    EXPECT_EQ(link.wait_state(), before);
    EXPECT_TRUE(link.busy_notice_suppressed());
    port.deliver("BUSY\r");
    EXPECT_TRUE(prompts.errors.empty());
    EXPECT_FALSE(link.busy_notice_pending());  // used up all the same
    EXPECT_FALSE(link.busy_notice_suppressed());

    link.reset();
    link.cancel();
    port.deliver("xyz\r");  // any line clears the suppression
    EXPECT_FALSE(link.busy_notice_suppressed());
    port.deliver("BUSY\r");
    EXPECT_EQ(prompts.errors.size(), 1u);
}

TEST_F(LinkTest, TimeOutGoesIdleAndRunsTheTimeOutAction)
{
    send_status("GET_STAT");
    ASSERT_TRUE(port.fire());
    EXPECT_EQ(link.wait_state(), WaitState::idle);
    EXPECT_EQ(events, std::vector<std::string>{"timeout GET_STAT"});
    // A firing already under way when the trigger was disarmed is ignored.
    EXPECT_FALSE(port.armed);
    port.fire_late();
    EXPECT_EQ(events.size(), 1u);
}

TEST_F(LinkTest, FirstByteDisarmsAndSilenceMidAnswerStillTimesOut)
{
    send_status("GET_CONFIG");
    port.arm_history.clear();
    port.deliver("[lists]\r0;3;A");
    // Re-armed for the rest of the answer.
    EXPECT_TRUE(port.armed);
    EXPECT_EQ(port.arm_history, std::vector<int>{10});
    ASSERT_TRUE(port.fire());
    EXPECT_EQ(events, std::vector<std::string>{"timeout GET_CONFIG"});

    // The abandoned half line does not spoil the next answer, and a
    // complete answer leaves nothing armed.
    EXPECT_EQ(link.line_buffer(), "");
    send_status("GET_STAT");
    port.deliver("READY\r");
    EXPECT_TRUE(link.answer_complete());
    EXPECT_FALSE(port.armed);
}

TEST_F(LinkTest, CompletionRunsOnlyFromTheServiceStepAndMayChainCommands)
{
    int step = 0;
    link.send_command(
        CommandKind::status, "A",
        [&] {
            ++step;
            // Replaces the pending command while its own action runs.
            link.send_command(CommandKind::status, "B", [&] { step += 10; }, false, {});
        },
        false, {});
    port.deliver("READY\r");
    EXPECT_EQ(step, 0);
    EXPECT_TRUE(link.service_completion_step());
    EXPECT_EQ(step, 1);
    EXPECT_EQ(port.writes.back().bytes, "B\r");
    EXPECT_FALSE(link.service_completion_step());
    port.deliver("READY\r");
    link.service_completion_step();
    EXPECT_EQ(step, 11);
}

TEST_F(LinkTest, MethodCompleteGoesBeforeAnswerComplete)
{
    send_status("GET_STAT");
    port.deliver("READY\r");
    run.running = true;
    link.send_command(CommandKind::atom_info, "GET_ATOM_INFO", {}, false, {});
    port.deliver("@\r");  // the run's last atom finished
    ASSERT_TRUE(link.answer_complete());
    ASSERT_TRUE(link.method_complete());
    link.service_completion_step();
    EXPECT_EQ(run.calls, std::vector<std::string>{"method_complete_step"});
    EXPECT_TRUE(events.empty());
    EXPECT_TRUE(link.answer_complete());
}

TEST_F(LinkTest, PartialAnswerReArmsTheTimeOutOfWhatIsAwaited)
{
    // The fixture's atom time-out is 20 ticks, the status time-out 10.
    struct Case {
        CommandKind kind;
        const char* text;
        bool busy_first;
        int ticks;
    } cases[] = {
        {CommandKind::reply, "???", false, 20},
        {CommandKind::atom, "ASPIRATE(1,)", false, 20},
        {CommandKind::status, "GET_CONFIG", false, 10},
        {CommandKind::atom_info, "GET_ATOM_INFO", false, 10},
        // Given while the instrument is busy: the status poll is awaited.
        {CommandKind::atom, "ASPIRATE(1,)", true, 10},
    };
    for (const Case& c : cases) {
        link.reset();
        if (c.busy_first) {
            send_status("GET_STAT");
            port.deliver("BUSY\r");
        }
        link.send_command(c.kind, c.text, {}, false, {});
        port.arm_history.clear();
        port.deliver("par");
        EXPECT_EQ(port.arm_history, std::vector<int>{c.ticks}) << c.text;
        port.deliver("tial\r");  // a whole data line: the answer goes on
        EXPECT_EQ(port.arm_history, (std::vector<int>{c.ticks, c.ticks})) << c.text;
        EXPECT_TRUE(port.armed) << c.text;
    }
}

TEST_F(LinkTest, NotRespondingStopsTheRun)
{
    link.send_command(CommandKind::status, "GET_SYR", {}, false, link.not_responding_action());
    port.fire();
    EXPECT_EQ(prompts.errors, std::vector<std::string>{"The kelvo is not responding!"});
    EXPECT_EQ(ui.calls, (std::vector<std::string>{"status The kelvo is not responding -- operation stopped", "restore_cursor"}));
    EXPECT_EQ(run.calls, (std::vector<std::string>{"stop_sample_list", "abort_run_position"}));
}

TEST_F(LinkTest, VanishedPortCountsAsSilence)
{
    link.set_debug_visible(true);
    send_status("GET_STAT");
    port.lose("Input/output error");
    EXPECT_EQ(events, std::vector<std::string>{"timeout GET_STAT"});
    EXPECT_EQ(link.debug_box().back(), "port lost: Input/output error");
    EXPECT_FALSE(port.armed);
    // Later commands go nowhere and time out as for a silent instrument.
    send_status("GET_SYR");
    EXPECT_TRUE(port.fire());
    EXPECT_EQ(events.back(), "timeout GET_SYR");
}

TEST_F(LinkTest, LinesDeliveredDuringAMessageBoxKeepTheirOrder)
{
    struct NestingPrompts : PromptLog {
        FakeSerialPort* port = nullptr;
        void show_error(const std::string& text) override
        {
            PromptLog::show_error(text);
            port->deliver("AFTER\r");  // arrives while the box is open
        }
    } nesting;
    nesting.port = &port;
    PromptsScope inner(nesting);
    send_status("GET_STAT");
    port.deliver("ERROR\rBEFORE\r");
    EXPECT_EQ(link.return_box(), (std::vector<std::string>{"BEFORE", "AFTER"}));
}

TEST_F(LinkTest, UserMessages)
{
    link.set_debug_visible(true);
    EXPECT_FALSE(link.post_user_message(0x58F));
    EXPECT_FALSE(link.post_user_message(0x5A1));

    link.post_user_message(0x590);
    link.post_user_message(0x593);
    link.post_user_message(0x59F);
    link.post_user_message(0x5A0);
    EXPECT_EQ(ds.calls, (std::vector<std::string>{"create_links", "send_current_row", "reload_columns", "request_table"}));
    EXPECT_EQ(link.debug_box().back(), "requesting columns");

    link.post_user_message(0x591);
    link.post_user_message(0x594);
    link.post_user_message(0x595);
    link.post_user_message(0x598);
    EXPECT_EQ(run.calls, (std::vector<std::string>{"method_complete_step", "send_next", "refresh_changed_rows",
                                                   "continue_error_path"}));
    EXPECT_EQ(ui.calls, std::vector<std::string>{"restore_cursor"});

    link.post_user_message(0x597);
    EXPECT_EQ(port.writes.back().bytes, "GET_ATOM_INFO\r");
    EXPECT_EQ(link.wait_state(), WaitState::awaiting_atom_info);
    port.deliver("ASPIRATE 10%\r|\r");
    link.post_user_message(0x592);
    EXPECT_EQ(run.calls.back(), "atom_info_completion");
    link.post_user_message(0x59A);
    EXPECT_EQ(link.return_box().back(), "|");

    link.post_user_message(0x59B);
    EXPECT_EQ(port.writes.back().bytes, "GET_ATOM_INFO\r");
    link.post_user_message(0x59C);
    EXPECT_EQ(port.writes.back().bytes, "GET_STAT\r");
    EXPECT_EQ(link.wait_state(), WaitState::awaiting_status);

    link.set_last_command_text("GET_SYR");
    link.post_user_message(0x599);
    link.post_user_message(0x59D);
    EXPECT_EQ(prompts.errors, (std::vector<std::string>{"The KELVO had an error! Please check the terminal",
                                                        "GET_SYR The Kelvo is busy! Please check the terminal!"}));
    link.post_user_message(0x59E);
    EXPECT_EQ(ui.calls.back(), "close_splash");
    link.post_user_message(0x596);
    EXPECT_EQ(port.writes.back().bytes, "CANCEL\r");
    EXPECT_EQ(link.debug_box().back(), "sending cancel");
}

}  // namespace
}  // namespace kelvo

namespace kelvo {
namespace {

// A device that keeps talking, or keeps answering "BUSY", must not hold the
// program: an answer has bounds, polls are paced, Stop ends the busy wait.
TEST(LinkBounds, AnOverlongLineOrAnswerIsAFailedAnswer)
{
    link_test::FakeSerialPort port;
    port.open(1);
    KelvoLink link(port, prompts());
    int timeouts = 0;
    link.send_command(CommandKind::status, "GET_CONFIG", {}, false, [&] { ++timeouts; });
    port.deliver(std::string(max_line_bytes, 'x'));
    EXPECT_EQ(timeouts, 0);
    port.deliver("y");
    EXPECT_EQ(timeouts, 1);
    EXPECT_EQ(link.wait_state(), WaitState::idle);
    EXPECT_TRUE(link.line_buffer().empty());
    // The rest of the long line is dropped; the next line counts again.
    port.deliver("zzz\rREADY\r");
    EXPECT_TRUE(link.return_box().empty());

    link.send_command(CommandKind::status, "GET_CONFIG", {}, false, [&] { ++timeouts; });
    const std::string line(1023, 'a');
    for (std::size_t sent = 0; sent <= max_answer_bytes; sent += 1024) port.deliver(line + "\r");
    EXPECT_EQ(timeouts, 2);
    EXPECT_LT(link.return_box().size(), 16u);
}

TEST(LinkBounds, StopEndsTheWaitForReady)
{
    link_test::FakeSerialPort port;
    port.open(1);
    KelvoLink link(port, prompts());
    EXPECT_FALSE(link.end_busy_wait());
    link.send_command(CommandKind::atom, "WASH(1,)", {}, false, {});
    for (int i = 0; i < 5; ++i) {
        port.deliver("BUSY\r");
        ASSERT_TRUE(port.fire());
    }
    // One poll per tick, never more.
    EXPECT_EQ(port.written_texts().size(), 6u);
    EXPECT_TRUE(link.end_busy_wait());
    EXPECT_EQ(link.condition(), LinkCondition::ready);
    EXPECT_EQ(link.wait_state(), WaitState::idle);
    EXPECT_FALSE(port.armed);
    port.deliver("READY\r");
    EXPECT_EQ(port.written_texts().size(), 6u);  // the dropped command is not sent
}

}  // namespace
}  // namespace kelvo
