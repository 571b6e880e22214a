#pragma once
// A method run wired to the in-process instrument simulator: the demo
// configuration on both sides, a temporary method folder, scripted dialogs
// and a recording view, and a small event loop in which the service timer
// ticks every 500 ms of virtual time, the instrument's answers arrive before
// the next tick and the link's time-out fires only on a silent line.
#include "engine/method_run.h"
#include "test_context.h"
#include "ground/clock.h"
#include "language/method_test_support.h"
#include "link/sim_wire.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace kelvo::run_test {

using Lines = std::vector<std::string>;

class ScriptedDialogs : public RunDialogs {
public:
    double ask(const std::string& context, const std::string& unit, double maximum, double minimum, double proposed,
               double value) override
    {
        calls.push_back("out of range " + context + " " + decimal_text(value) + " (" + decimal_text(minimum) + " - " +
                        decimal_text(maximum) + " " + unit + ")");
        return proposed;
    }
    StepAnswer step(const StepDialogContent& content) override
    {
        calls.push_back("step " + content.command);
        if (step_answers.empty()) return StepAnswer::step;
        const StepAnswer a = step_answers.front();
        step_answers.pop_front();
        return a;
    }
    bool test_parameters(SampleVariables& variables) override
    {
        calls.push_back("test parameters");
        if (!test_ok) return false;
        variables.volume = test_volume;
        return true;
    }
    bool syringe_mismatch(const std::string& method, const std::string& needed, const std::string& mounted) override
    {
        calls.push_back("syringe mismatch " + syringe_mismatch_text(method, needed, mounted));
        if (on_mismatch) on_mismatch();
        if (mismatch_answers.empty()) return false;
        const bool a = mismatch_answers.front();
        mismatch_answers.pop_front();
        return a;
    }
    std::vector<std::string> calls;
    std::deque<StepAnswer> step_answers;
    std::deque<bool> mismatch_answers;  // "&Continue" (true) or "C&ancel Method"
    std::function<void()> on_mismatch;  // runs while the dialog is open
    bool test_ok = true;
    double test_volume = 2.5;
};

class RecordingView : public RunView {
public:
    std::string method_name() const override { return name; }
    Lines method_lines() const override { return lines; }
    std::string chosen_syringe() const override { return syringe; }
    void show_run_caption(const std::string& c) override { events.push_back("run caption " + c); }
    void enable_step(bool on) override { events.push_back(on ? "step on" : "step off"); }
    void status_text(const std::string& t) override { status.push_back(t); }
    void log_message(const std::string& t) override { log.push_back(t); status.push_back(t); }
    void status_line(StatusLine line, const std::string& t) override
    {
        lines_shown[static_cast<int>(line)] = t;
    }
    void enable_run(bool on) override { run_enabled = on; }
    void enable_start(bool on) override { start_enabled = on; }
    void busy_cursor() override { busy = true; }
    void restore_cursor() override { busy = false; }
    // The sample-list run takes these when it is wired.
    void sample_list_method_complete() override
    {
        if (on_list_method_complete) on_list_method_complete();
    }
    void stop_sample_list() override
    {
        if (on_stop_list) on_stop_list();
    }
    std::function<void()> on_list_method_complete, on_stop_list;
    std::string name = "M";
    Lines lines;
    std::string syringe = "Syr10ul";
    Lines events, status, log;
    bool run_enabled = true, start_enabled = true, busy = false;
    std::string lines_shown[4];
};

class RunFixture : public method_test::MethodFixture {
protected:
    void SetUp() override
    {
        MethodFixture::SetUp();
        Lines config;
        read_text_lines(method_test::demo_folder() + "/latest_kelvo.kol", config);
        port.sim.set_configuration(config);
        port.sim.set_atom_time_ms(1000);
        port.open(1);
        link.set_atom_timeout_ticks(3000 / tick_ms);
        link.set_status_timeout_ticks(3000 / tick_ms);
        previous_clock = install_clock(&clock);
        write_macro("Two A", method_test::two_atoms);
        write_macro("Two B", method_test::station_wash);
    }
    void TearDown() override
    {
        install_clock(previous_clock);
        MethodFixture::TearDown();
    }

    // Lets the run go on until nothing more happens (or the limit of ticks).
    void loop(int ticks = 2000)
    {
        std::size_t arms_seen = port.arm_history.size();
        int armed_ms = 0;
        for (int i = 0; i < ticks; ++i) {
            if (port.sim.has_output()) {
                port.deliver(port.sim.take_output(port.speed()));
                continue;
            }
            if (idle()) return;
            clock.ms += 500;
            port.sim.advance(500);
            run.service_tick();
            if (port.sim.has_output() || !port.armed) continue;
            if (port.arm_history.size() != arms_seen) {
                arms_seen = port.arm_history.size();
                armed_ms = 0;
            }
            armed_ms += 500;
            if (armed_ms >= port.armed_ticks * tick_ms) {
                armed_ms = 0;
                port.fire();
            }
        }
    }
    bool idle() const
    {
        return !run.running() && !link.answer_complete() && !link.method_complete() && !port.armed &&
               link.wait_state() == WaitState::idle;
    }
    // The lines the instrument received, without the polling.
    Lines sent() const
    {
        Lines out;
        for (const std::string& l : port.sim.transcript())
            if (l != "GET_ATOM_INFO") out.push_back(l);
        return out;
    }
    void press_run(const Lines& method)
    {
        view.lines = method;
        run.run_method_buttonClick();
    }

    link_test::SimWiredPort port;
    KelvoLink link{port, program_context().prompts};
    ManualClock clock;
    Clock* previous_clock = nullptr;
    ScriptedDialogs dialogs;
    RecordingView view;
    SampleVariables sample;
    Context context{test::context_with(db(), clock)};
    MethodRun run{context, link, dialogs, view, sample};
};

}  // namespace kelvo::run_test
