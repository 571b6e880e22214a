// The run on the main window, driven with mouse clicks against a scripted
// instrument: Run and Stop, Step with "&Leave Step Mode", Pause (which does
// nothing without a sample list), Reset, and the question before closing
// while a method runs.
#include "app/command_line.h"
#include "qt/wait_until.h"
#include "app/qt/install_parts.h"
#include "app/qt/main_form.h"
#include "app/qt/run_controller.h"
#include "engine/qt/run_forms.h"
#include "ground/documents.h"
#include "ground/log.h"
#include "ground/qt/qt_text.h"
#include "ground/settings.h"
#include "language/qt/macro_page.h"
#include "language/qt/method_page.h"
#include "link/qt/scripted_port.h"
#include "link/qt/startup_ui.h"
#include "link/startup_chain.h"
#include "recording_prompts.h"
#include "temp_dir.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

using namespace kelvo;

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

using test::wait_until;

class RunControllerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = (temp.path() / "methods").string();
        fs::create_directories(folder);
        set_method_folder(folder);
        set_log_path(temp.file("cadenzor.log"));
        ASSERT_TRUE(load_configuration_lines(std::string(KELVO_SOURCE_DIR) + "/examples/methods/latest_kelvo.kol",
                                             port.configuration));
        write(folder + "/Two A.kma", "//Home, then fast\r\nMOVE_TO_HOME()\r\nSET_SPEED(Fast,)\r\n");
        write(folder + "/METHOD EXIT.kma", "SET_SPEED(Normal,)\r\n");
        write(folder + "/Two.KME", "//two\r\nsyringe:Syr10ul\r\nTwo A()\r\nTwo A()\r\n");
        write_setting_text("Method Folder", folder);
        write_setting_text("Method", "Two");
        // The scripted port's ticks last 2 ms: 55 s are 2 s here, room enough for a
        // loaded machine (these tests never wait for a time-out).
        write_setting_integer("Atom timeout (msec)", 55000);
        write_setting_integer("Status timeout (msec)", 55000);
        write_setting_integer("Polling interval", 10);
        const CommandLineOptions options = parse_command_line({});
        main = std::make_unique<Tmain_form>();
        main->apply_command_line(options);
        startup = install_startup(*main, options, &port);
        startup->set_lock_path(QString::fromStdString(temp.file("Kelvo_Mutex.lock")));
        MacroEditorPage* macro_page = install_macro_editor(*main);
        startup->add_configuration_listener([macro_page] { macro_page->refresh_from_configuration(); });
        method_page = install_method_editor(*main, macro_page);
        startup->add_configuration_listener([this] { method_page->refresh_from_configuration(); });
        startup->set_reopener(DocumentKind::method, [this] { method_page->reopen_last_method(); });
        controller = install_run_controller(*main, *startup, *method_page);
        main->show();
        ASSERT_TRUE(wait_until([&] { return startup->chain().outcome() == ChainOutcome::online; }));
        ASSERT_TRUE(wait_until([&] { return main->isVisible() && !startup->splash_showing(); }));
        ASSERT_EQ(method_page->document().calls().size(), 2u);
        port.received.clear();
    }
    void TearDown() override
    {
        main.reset();
        set_method_folder("");
    }
    static void write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    Lines commands() const
    {
        Lines out;
        for (const std::string& l : port.received)
            if (l != "GET_ATOM_INFO") out.push_back(l);
        return out;
    }
    std::string caption(QPushButton* b) const { return from_qstring(b->text()); }

    test::TempDir temp;
    MemorySettingsStore settings;
    SettingsScope settings_scope{settings};
    test::RecordingPrompts prompts;
    PromptsScope prompts_scope{prompts};
    link_test::ScriptedPort port;
    std::string folder;
    std::unique_ptr<Tmain_form> main;
    StartupController* startup = nullptr;
    MethodEditorPage* method_page = nullptr;
    RunController* controller = nullptr;
};

TEST_F(RunControllerTest, RunThenStopGoesThroughTheExitPart)
{
    port.polls_per_atom = 1000;
    main->PageControl1->setCurrentIndex(1);
    EXPECT_EQ(caption(controller->run_method_button), "Ru&n");
    click(controller->run_method_button);
    ASSERT_TRUE(wait_until([&] { return commands().size() >= 2; }));
    EXPECT_EQ(caption(controller->run_method_button), "S&top");
    EXPECT_FALSE(controller->step_button->isEnabled());
    EXPECT_EQ(main->status_text().rfind("MOVE_TO_HOME running", 0) == 0 || main->status_text() == "Running method \"Two\".", true)
        << main->status_text();
    // Pause acts only while a sample list runs.
    click(controller->pause_button);
    EXPECT_EQ(caption(controller->pause_button), "&Pause");
    port.polls_per_atom = 1;
    click(controller->run_method_button);
    EXPECT_EQ(caption(controller->run_method_button), "Ru&n");
    ASSERT_TRUE(wait_until([&] { return !controller->run().running(); }));
    EXPECT_EQ(commands(), (Lines{"GET_SYR", "MOVE_TO_HOME()", "CANCEL", "SET_SPEED(1,)"}));
    EXPECT_EQ(main->status_text().rfind("Method \"Two\" completed, elapsed time: ", 0), 0u) << main->status_text();
    EXPECT_TRUE(controller->step_button->isEnabled());
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(RunControllerTest, StepShowsEachCommandUntilLeaveStepMode)
{
    int dialogs = 0;
    auto* poll = new QTimer(main.get());
    QObject::connect(poll, &QTimer::timeout, main.get(), [&] {
        if (!controller->step_dialog->isVisible()) return;
        ++dialogs;
        click(dialogs == 1 ? controller->step_dialog->step_button : controller->step_dialog->leave_button);
    });
    poll->start(5);
    click(controller->step_button);
    ASSERT_TRUE(wait_until([&] { return commands().size() == 6 && !controller->run().running(); }));
    EXPECT_EQ(dialogs, 2);
    EXPECT_EQ(commands(), (Lines{"GET_SYR", "MOVE_TO_HOME()", "SET_SPEED(2,)", "MOVE_TO_HOME()", "SET_SPEED(2,)",
                                 "SET_SPEED(1,)"}));
    EXPECT_EQ(from_qstring(controller->step_dialog->command_label->text()), "SET_SPEED(2,)");
}

TEST_F(RunControllerTest, ClosingWhileAMethodRunsAsksFirst)
{
    port.polls_per_atom = 1000;
    click(controller->run_method_button);
    ASSERT_TRUE(wait_until([&] { return commands().size() >= 2; }));
    prompts.yes_no_answers = {false};
    main->close();
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(prompts.shown, (Lines{"question: " + std::string(exit_while_method_runs_text)}));
    EXPECT_TRUE(controller->run().running());
}

TEST_F(RunControllerTest, ResetSendsCleanupAndReportsIt)
{
    click(controller->reset_button);
    ASSERT_TRUE(wait_until([&] { return main->status_text() == "Kelvo Reset"; }));
    EXPECT_EQ(commands(), (Lines{"CLEANUP(Wash1,1,1,1,1,1,1,1,,)"}));
}

}  // namespace
