// The run of a sample list on the main window, driven with mouse clicks
// against a scripted instrument: "&Start" runs the list, "&Pause" and
// "Res&ume" hold and release it, "Ru&n" and "&Step" stay disabled while it
// runs, "&Stop" with Yes ends it, and the Status column shows the rows;
// with the run journal: the list estimate before Start, "Start from &Row..."
// by keyboard with the time left shown while it runs, and the offer to
// resume a list the program ended under.
#include "app/command_line.h"
#include "app/qt/install_parts.h"
#include "app/qt/journal_wiring.h"
#include "engine/qt/status_form.h"
#include "app/qt/main_form.h"
#include "app/qt/run_controller.h"
#include "app/qt/sample_list_run_wiring.h"
#include "app/qt/sample_list_wiring.h"
#include "ground/documents.h"
#include "ground/log.h"
#include "ground/qt/qt_text.h"
#include "ground/qt/spread_grid.h"
#include "ground/settings.h"
#include "language/qt/macro_page.h"
#include "language/qt/method_page.h"
#include "link/qt/scripted_port.h"
#include "link/qt/startup_ui.h"
#include "link/startup_chain.h"
#include "qt/wait_until.h"
#include "recording_prompts.h"
#include "samplelist/qt/sample_list_page.h"
#include "samplelist/sample_list_run.h"
#include "temp_dir.h"

#include <QApplication>
#include <QInputDialog>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>

using namespace kelvo;

namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;
using test::wait_until;

class SampleListRunWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = (temp.path() / "methods").string();
        fs::create_directories(folder);
        set_method_folder(folder);
        set_log_path(temp.file("cadenzor.log"));
        ASSERT_TRUE(load_configuration_lines(std::string(KELVO_SOURCE_DIR) + "/examples/methods/latest_kelvo.kol",
                                             port.configuration));
        write(folder + "/Home.kma", "MOVE_TO_HOME()\r\n");
        write(folder + "/Home.KME", "syringe:Syr10ul\r\nHome()\r\nHome()\r\n");
        write(folder + "/L.ksl", "Method;Volume;Tray;Injector;Volume 2;Tray 2;Injector 2;Vial;Inj/Vial;\r\n"
                                 "Home;1;Tray1;LCVlv1;1;;;1;1;\r\nHome;1;Tray1;LCVlv1;1;;;2;1;\r\n"
                                 "Home;1;Tray1;LCVlv1;1;;;3;1;\r\n");
        write_setting_text("Method Folder", folder);
        write_setting_text("Sample List", "L");
        // The scripted port's ticks last 2 ms: 55 s are 2 s here, room enough for a
        // loaded machine (these tests never wait for a time-out).
        write_setting_integer("Atom timeout (msec)", 55000);
        write_setting_integer("Status timeout (msec)", 55000);
        write_setting_integer("Polling interval", 10);
        before_start();
        const CommandLineOptions options = parse_command_line({});
        main = std::make_unique<Tmain_form>();
        main->apply_command_line(options);
        startup = install_startup(*main, options, &port);
        startup->set_lock_path(QString::fromStdString(temp.file("Kelvo_Mutex.lock")));
        MacroEditorPage* macro_page = install_macro_editor(*main);
        MethodEditorPage* method_page = install_method_editor(*main, macro_page);
        startup->add_configuration_listener([method_page] { method_page->refresh_from_configuration(); });
        page = install_sample_list_page(*main, startup, method_page);
        controller = install_run_controller(*main, *startup, *method_page);
        list = install_sample_list_run(*main, *startup, *controller, *page);
        install_run_journal(*main, *startup, *controller, *list, *page);
        start_button = main->findChild<QPushButton*>("run_sample_list_button");
        ASSERT_NE(start_button, nullptr);
        main->show();
        ASSERT_TRUE(wait_until([&] { return startup->chain().outcome() == ChainOutcome::online; }));
        ASSERT_TRUE(wait_until([&] { return main->isVisible() && !startup->splash_showing(); }));
        ASSERT_TRUE(wait_until([&] { return page->table().rows() == 3; }));
        main->show_page(Page::sample_list);
        port.received.clear();
    }
    void TearDown() override
    {
        main.reset();
        set_method_folder("");
    }
    virtual void before_start() {}
    static void write(const std::string& path, const std::string& bytes) { std::ofstream(path, std::ios::binary) << bytes; }
    std::string journal_path() const { return temp.file("cadenzor-journal.jsonl"); }
    std::string estimate_panel() const
    {
        return from_qstring(main->StatusBar1->findChild<QLabel*>("estimate_panel")->text());
    }
    void click(QPushButton* b) { QTest::mouseClick(b, Qt::LeftButton); }
    Lines commands() const
    {
        Lines out;
        for (const std::string& l : port.received)
            if (l != "GET_ATOM_INFO") out.push_back(l);
        return out;
    }
    std::string caption(QPushButton* b) const { return from_qstring(b->text()); }
    // What the Status column shows.
    Lines status_column() const
    {
        Lines out;
        for (int row = 1; row <= page->sheet->max_rows(); ++row) {
            page->sheet->set_col(column_no::status);
            page->sheet->set_row(row);
            out.push_back(from_qstring(page->sheet->text()));
        }
        return out;
    }

    test::TempDir temp;
    MemorySettingsStore settings;
    SettingsScope settings_scope{settings};
    test::RecordingPrompts prompts;
    PromptsScope prompts_scope{prompts};
    link_test::ScriptedPort port;
    std::string folder;
    std::unique_ptr<Tmain_form> main;
    StartupController* startup = nullptr;
    SampleListPage* page = nullptr;
    RunController* controller = nullptr;
    SampleListRun* list = nullptr;
    QPushButton* start_button = nullptr;
};

TEST_F(SampleListRunWindowTest, StartPauseResumeAndStopByMouse)
{
    port.polls_per_atom = 3;
    EXPECT_EQ(caption(start_button), "&Start");
    click(start_button);
    EXPECT_EQ(caption(start_button), "&Stop");
    EXPECT_FALSE(controller->run_method_button->isEnabled());
    EXPECT_FALSE(controller->step_button->isEnabled());
    ASSERT_TRUE(wait_until([&] { return status_column() == Lines{"Running", "", ""}; }));

    // Pause holds the run at the next command boundary.
    ASSERT_TRUE(wait_until([&] { return commands().size() >= 2; }));
    click(controller->pause_button);
    EXPECT_EQ(caption(controller->pause_button), "Res&ume");
    ASSERT_TRUE(wait_until([&] { return controller->run().engine().paused_at_boundary; }));
    const std::size_t held = commands().size();
    QTest::qWait(100);
    EXPECT_EQ(commands().size(), held);
    click(controller->pause_button);
    EXPECT_EQ(caption(controller->pause_button), "&Pause");
    ASSERT_TRUE(wait_until([&] { return commands().size() > held; }));

    // Stop in row 2, confirmed: row 2 stopped, row 3 untouched.
    ASSERT_TRUE(wait_until([&] { return list->current_row() == 2 && controller->run().running(); }));
    prompts.yes_no_answers = {true};
    click(start_button);
    ASSERT_TRUE(wait_until([&] { return !list->running(); }));
    EXPECT_EQ(caption(start_button), "&Start");
    EXPECT_TRUE(controller->run_method_button->isEnabled());
    EXPECT_TRUE(controller->step_button->isEnabled());
    EXPECT_TRUE(start_button->isEnabled());
    ASSERT_TRUE(wait_until([&] { return status_column() == Lines{"Done", "Stopped", ""}; }));
    EXPECT_EQ(prompts.shown, (Lines{"question: Do you really want to stop the execution of the whole sample list?"}));
    // Row 2's method went to its end after its first command; row 3 never began.
    const Lines sent = commands();
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "MOVE_TO_HOME()"), 3) << ::testing::PrintToString(sent);
    EXPECT_EQ(std::count(sent.begin(), sent.end(), "GET_SYR"), 2);
}

TEST_F(SampleListRunWindowTest, ClosingWhileAListRunsAsksOnceAndEndsTheList)
{
    port.polls_per_atom = 1000;
    click(start_button);
    ASSERT_TRUE(wait_until([&] { return controller->run().running(); }));
    prompts.yes_no_answers = {false};
    main->close();
    EXPECT_TRUE(list->running());
    prompts.yes_no_answers = {true};
    main->close();
    EXPECT_FALSE(list->running());
    EXPECT_EQ(prompts.shown,
              (Lines{"question: Exiting the program now will stop the execution of the sample list. Do you really "
                     "want to exit?",
                     "question: Exiting the program now will stop the execution of the sample list. Do you really "
                     "want to exit?"}));
}

}  // namespace

namespace {

// Two earlier MOVE_TO_HOME atoms of 2 s each, and, after them, the given records.
std::string journal_with(const std::string& more)
{
    const std::string home =
        "{\"v\":1,\"kind\":\"finished\",\"atom\":\"MOVE_TO_HOME\",\"text\":\"MOVE_TO_HOME()\",\"duration_ms\":2000}\n";
    return home + home + more;
}

TEST_F(SampleListRunWindowTest, EstimateThenStartFromRowTwoByKeyboardShowsTheTimeLeft)
{
    write(journal_path(), journal_with(""));
    click(main->findChild<QPushButton*>("estimate_button"));
    // Three rows of two homes.
    EXPECT_EQ(estimate_panel().rfind("List estimate 0:00:12, ends about ", 0), 0u) << estimate_panel();

    // The dialog takes the row from the keyboard.
    port.polls_per_atom = 3;
    QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        QWidget* entry = dialog->focusWidget();
        QTest::keyClick(entry, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(entry, "2");
        QTest::keyClick(entry, Qt::Key_Return);
    });
    click(main->findChild<QPushButton*>("start_from_row_button"));
    EXPECT_EQ(caption(start_button), "&Stop");
    ASSERT_TRUE(wait_until([&] { return estimate_panel().rfind("About 0:00:", 0) == 0; })) << estimate_panel();
    EXPECT_EQ(from_qstring(main->status_form->estimate_line->text()), estimate_panel());
    ASSERT_TRUE(wait_until([&] { return caption(start_button) == "&Start"; }));
    EXPECT_EQ(commands(), (Lines{"GET_SYR", "MOVE_TO_HOME()", "MOVE_TO_HOME()", "GET_SYR", "MOVE_TO_HOME()",
                                 "MOVE_TO_HOME()"}));
    EXPECT_EQ(status_column(), (Lines{"", "Done", "Done"}));
    EXPECT_EQ(estimate_panel(), "");
    const std::string journal = test::read_file(journal_path());
    EXPECT_NE(journal.find("\"kind\":\"resumed\""), std::string::npos) << journal;
    EXPECT_NE(journal.find("\"outcome\":\"completed\""), std::string::npos) << journal;
}

class ResumeOfferTest : public SampleListRunWindowTest {
protected:
    void before_start() override
    {
        // A run of L whose first row was done when the program ended.
        write(journal_path(), journal_with("{\"v\":1,\"kind\":\"run_start\",\"run\":\"list\",\"list\":\"L\",\"rows\":3}\n"
                                           "{\"v\":1,\"kind\":\"row_start\",\"row\":1,\"method\":\"Home\"}\n"
                                           "{\"v\":1,\"kind\":\"row_end\",\"row\":1,\"status\":\"done\"}\n"
                                           "{\"v\":1,\"kind\":\"row_start\",\"row\":2,\"meth"));
        prompts.yes_no_answers = {true};
    }
};

TEST_F(ResumeOfferTest, AListTheProgramEndedUnderIsOfferedAndResumedAtItsFirstUnfinishedRow)
{
    ASSERT_TRUE(wait_until([&] { return status_column() == Lines{"", "Done", "Done"}; })) << status_column().size();
    ASSERT_TRUE(wait_until([&] { return caption(start_button) == "&Start"; }));
    EXPECT_EQ(prompts.shown.front(), "question: " + resume_question_text("L", 2));
    // Rows 2 and 3 only (the start may have come before the test cleared the lines).
    const Lines sent = commands();
    EXPECT_LE(std::count(sent.begin(), sent.end(), "MOVE_TO_HOME()"), 4);
    EXPECT_EQ(test::read_file(journal_path()).find("\"from_row\":2") != std::string::npos, true);
}

}  // namespace
