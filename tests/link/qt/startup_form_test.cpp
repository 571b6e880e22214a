// Start-up on the windows: the main window with the link window, the port
// dialogs, the splash and the connection chain against a scripted
// instrument, on the offscreen platform.
#include "app/command_line.h"
#include "qt/wait_until.h"
#include "ground/documents.h"
#include "ground/log.h"
#include "app/qt/about_form.h"
#include "app/qt/install_parts.h"
#include "app/qt/kelvo_splash.h"
#include "app/qt/main_form.h"
#include "ground/qt/qt_text.h"
#include "ground/settings.h"
#include "app/window_title.h"
#include "engine/qt/status_form.h"
#include "link/qt/kelvo_lib_form.h"
#include "link/qt/pchoice_form.h"
#include "link/qt/port_form.h"
#include "link/qt/startup_ui.h"
#include "link/startup_chain.h"

#include "link/qt/scripted_port.h"
#include "recording_prompts.h"
#include "temp_dir.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QLabel>
#include <QListWidget>
#include <QLockFile>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QSysInfo>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <sys/wait.h>
#include <unistd.h>

using namespace kelvo;
using kelvo::link_test::ScriptedPort;

namespace {

namespace fs = std::filesystem;

using test::wait_until;

// Runs f once the widget is visible (a modal dialog runs its own loop).
void when_visible(QWidget* w, std::function<void()> f)
{
    auto* poll = new QTimer(w);
    QObject::connect(poll, &QTimer::timeout, w, [w, poll, f] {
        if (!w->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        f();
    });
    poll->start(5);
}

std::string joined(const std::vector<std::string>& lines)
{
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) out += (i ? "\r\n" : "") + lines[i];
    return out;
}

bool contains(const std::vector<std::string>& texts, const std::string& text)
{
    return std::find(texts.begin(), texts.end(), text) != texts.end();
}

std::vector<std::string> items(const QListWidget* list)
{
    std::vector<std::string> out;
    for (int i = 0; i < list->count(); ++i) out.push_back(from_qstring(list->item(i)->text()));
    return out;
}

class StartupFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = (temp.path() / "methods").string();
        fs::create_directories(folder);
        set_method_folder(folder);
        set_log_path(temp.file("cadenzor.log"));
        ASSERT_TRUE(load_configuration_lines(std::string(KELVO_SOURCE_DIR) + "/examples/methods/latest_kelvo.kol",
                                             port.configuration));
        ASSERT_GT(port.configuration.size(), 10u);
        write_setting_text("Method Folder", folder);
        // Quick time-outs and ticks keep the tests short.
        write_setting_integer("Atom timeout (msec)", 550);
        write_setting_integer("Status timeout (msec)", 550);
        write_setting_integer("Polling interval", 10);
        write_setting_text("Status Box", "True");
    }
    void TearDown() override
    {
        main.reset();
        set_method_folder("");
    }

    // The program's entry as cadenzor_app does it, on the scripted port.
    void create(const std::vector<std::string>& args)
    {
        options = parse_command_line(args);
        main = std::make_unique<Tmain_form>();
        main->apply_command_line(options);
        startup = install_startup(*main, options, &port);
        startup->set_lock_path(QString::fromStdString(temp.file("Kelvo_Mutex.lock")));
    }
    void start(const std::vector<std::string>& args = {})
    {
        create(args);
        main->show();
        ASSERT_TRUE(wait_until([&] { return main->first_activation_done(); }));
    }
    bool chain_done()
    {
        return wait_until([&] { return startup->chain().outcome() != ChainOutcome::running; });
    }
    std::string title() const { return from_qstring(main->windowTitle()); }
    std::string status_bar() const { return main->status_text(); }
    std::string log() const { return test::read_file(temp.file("cadenzor.log")); }
    void save_configuration() { ASSERT_TRUE(save_configuration_lines(saved_configuration_path(), port.configuration)); }

    test::TempDir temp;
    MemorySettingsStore store;
    SettingsScope settings_scope{store};
    test::RecordingPrompts prompts;
    PromptsScope prompts_scope{prompts};
    ScriptedPort port;
    std::string folder;
    CommandLineOptions options;
    std::unique_ptr<Tmain_form> main;
    StartupController* startup = nullptr;
};

TEST_F(StartupFormTest, OnlineStartReadsTheConfigurationAndTheFirmware)
{
    start();
    EXPECT_TRUE(startup->splash_showing());
    EXPECT_TRUE(main->kelvo_splash->isVisible());
    ASSERT_TRUE(chain_done());
    EXPECT_EQ(startup->chain().outcome(), ChainOutcome::online);
    EXPECT_EQ(port.received, (std::vector<std::string>{"GET_STAT", "SET_BAUD 38400", "GET_CONFIG", "SET_BAUD 9600",
                                                       "GET_FW_VERSION"}));
    EXPECT_EQ(port.speed(), normal_speed);

    EXPECT_EQ(title(), "KELVO Cadenzor   (" + folder + ")");
    EXPECT_EQ(title(), window_title(false, false, folder));
    EXPECT_FALSE(main->offline());
    EXPECT_FALSE(startup->splash_showing());
    EXPECT_FALSE(main->kelvo_splash->isVisible());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(main->status_form->isVisible());  // "Status Box" True

    // The saved copy is the answer as received, CR LF between the lines.
    EXPECT_EQ(test::read_file(saved_configuration_path()), joined(port.configuration));
    EXPECT_TRUE(fs::exists(fs::path(folder) / "TrayInfo.txt"));
    EXPECT_NE(log().find(" : Started program\r\n"), std::string::npos);
    EXPECT_TRUE(prompts.shown.empty()) << prompts.shown.front();

    main->about_form->show();
    EXPECT_EQ(from_qstring(main->about_form->firmware_label->text()), "Firmware : KELVO 2.07");
    main->about_form->hide();

    // The lock is held while the program runs, and closing gives it up and
    // stores the settings.
    EXPECT_TRUE(startup->holds_single_instance());
    main->close();
    EXPECT_FALSE(startup->holds_single_instance());
    EXPECT_NE(log().find(" : Closed program\r\n"), std::string::npos);
    ASSERT_TRUE(wait_until([&] { return !main->kelvo_service_timer->isActive(); }));
}

TEST_F(StartupFormTest, SilentInstrumentRunsOfflineFromTheSavedCopy)
{
    save_configuration();
    port.silent = true;
    start();
    ASSERT_TRUE(chain_done());
    EXPECT_EQ(startup->chain().outcome(), ChainOutcome::offline);
    EXPECT_EQ(title(), "KELVO Cadenzor -- offline   (" + folder + ")");
    EXPECT_TRUE(main->offline());
    EXPECT_FALSE(startup->splash_showing());
    EXPECT_TRUE(main->isVisible());
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{"information: " + std::string(running_offline_text)}));
    EXPECT_EQ(status_bar(), running_offline_text);
    EXPECT_EQ(main->status_form->line(StatusLine::running), running_offline_text);
    EXPECT_TRUE(main->status_form->isVisible());

    main->about_form->show();
    EXPECT_EQ(from_qstring(main->about_form->firmware_label->text()), "Not connected to KELVO");
    main->about_form->hide();
}

TEST_F(StartupFormTest, OfflineWithoutSavedCopyReportsBothUnavailable)
{
    port.silent = true;
    start();
    ASSERT_TRUE(chain_done());
    EXPECT_EQ(startup->chain().outcome(), ChainOutcome::unavailable);
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{"error: The Kelvo is not connected and  there is no latest_kelvo.kol in " +
                                                       folder + "!"}));
    EXPECT_EQ(status_bar(), "Kelvo and file both unavailable!");
    EXPECT_EQ(title(), window_title(false, true, folder));
}

TEST_F(StartupFormTest, OffSwitchNeverOpensThePortAndShowsNoNotice)
{
    save_configuration();
    start({"OFF"});
    ASSERT_TRUE(chain_done());
    EXPECT_EQ(startup->chain().outcome(), ChainOutcome::offline);
    EXPECT_TRUE(port.opened_ports.empty());
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_EQ(status_bar(), running_offline_text);
    EXPECT_EQ(title(), window_title(false, true, folder));
}

TEST_F(StartupFormTest, SplashOnlyOutsideChemStationMode)
{
    create({});
    main->first_activation();
    EXPECT_TRUE(startup->splash_showing());
    // The status window waits until the splash has gone.
    EXPECT_FALSE(main->status_form->isVisible());
    ASSERT_TRUE(chain_done());
    EXPECT_TRUE(main->status_form->isVisible());
    main.reset();
    port.received.clear();

    create({"ds:hpcs"});
    main->first_activation();
    EXPECT_FALSE(startup->splash_showing());
    EXPECT_FALSE(main->kelvo_splash->isVisible());
    ASSERT_TRUE(chain_done());
    EXPECT_EQ(startup->chain().outcome(), ChainOutcome::online);
    EXPECT_EQ(title(), "KELVO Ostinar   (" + folder + ")");
}

TEST_F(StartupFormTest, ServiceTimerClosesTheSplashAfterItsTimeLimit)
{
    // An instrument that keeps the chain waiting for a long time.
    port.silent = true;
    write_setting_integer("Status timeout (msec)", 200000);
    create({});
    startup->set_splash_limit_ms(100);
    main->show();
    ASSERT_TRUE(wait_until([&] { return main->first_activation_done(); }));
    EXPECT_TRUE(startup->splash_showing());
    ASSERT_TRUE(wait_until([&] { return !startup->splash_showing(); }));
    EXPECT_FALSE(main->kelvo_splash->isVisible());
    EXPECT_TRUE(main->isVisible());
    EXPECT_TRUE(main->status_form->isVisible());
    EXPECT_EQ(startup->chain().outcome(), ChainOutcome::running);
}

// ---- Single instance

TEST_F(StartupFormTest, SecondCopyIsRefusedAndStoresNothing)
{
    QLockFile first(QString::fromStdString(temp.file("Kelvo_Mutex.lock")));
    ASSERT_TRUE(first.tryLock(0));
    write_setting_text("Macro", "Keep me");
    write_setting_text("Method Folder", folder);
    start();
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{"error: Only one cadenzor allowed!"}));
    EXPECT_FALSE(main->isVisible());
    EXPECT_FALSE(startup->kelvo_lib->isVisible());
    EXPECT_FALSE(main->state().started_program());
    EXPECT_TRUE(port.opened_ports.empty());
    EXPECT_EQ(log(), "");  // neither "Started program" nor "Closed program"
    EXPECT_EQ(read_setting_text("Macro", ""), "Keep me");
    // The first copy's lock is untouched.
    EXPECT_TRUE(first.isLocked());
    EXPECT_FALSE(QLockFile(QString::fromStdString(temp.file("Kelvo_Mutex.lock"))).tryLock(0));
}

TEST_F(StartupFormTest, LockThatCannotBeMadeStopsTheProgram)
{
    create({});
    startup->set_lock_path(QString::fromStdString(temp.file("no such folder/Kelvo_Mutex.lock")));
    main->first_activation();
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{"error: Cant get mutex!"}));
    EXPECT_FALSE(main->state().started_program());
    EXPECT_EQ(log(), "");
}

TEST_F(StartupFormTest, LockOfADeadProcessIsTakenOver)
{
    const pid_t child = fork();
    if (child == 0) _exit(0);
    ASSERT_GT(child, 0);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    std::ofstream(temp.file("Kelvo_Mutex.lock"), std::ios::binary)
        << child << "\ncadenzor\n" << QSysInfo::machineHostName().toStdString() << "\n";
    start();
    EXPECT_TRUE(startup->holds_single_instance());
    EXPECT_TRUE(main->state().started_program());
    ASSERT_TRUE(chain_done());
    EXPECT_EQ(startup->chain().outcome(), ChainOutcome::online);
}

// ---- The link window

TEST_F(StartupFormTest, DebugSwitchShowsTheLinkWindowWithBothLists)
{
    start({"DBG"});
    ASSERT_TRUE(chain_done());
    Tkelvo_lib* lib = startup->kelvo_lib;
    EXPECT_TRUE(lib->isVisible());
    EXPECT_EQ(lib->debug_box->objectName(), "debug_box");
    const std::vector<std::string> debug = items(lib->debug_box);
    for (const char* sent : {"sent GET_STAT", "sent SET_BAUD 38400", "sent GET_CONFIG", "sent SET_BAUD 9600",
                             "sent GET_FW_VERSION"})
        EXPECT_TRUE(contains(debug, sent)) << sent;
    // The answer lines of the last exchange: the firmware version.
    EXPECT_EQ(items(lib->return_box), (std::vector<std::string>{"KELVO 2.07"}));
    EXPECT_EQ(items(lib->return_box), lib->link().return_box());
}

TEST_F(StartupFormTest, WithoutDebugSwitchTheLinkWindowStaysHiddenAndCollectsNothing)
{
    start({"LST"});
    ASSERT_TRUE(chain_done());
    EXPECT_FALSE(startup->kelvo_lib->isVisible());
    EXPECT_EQ(startup->kelvo_lib->debug_box->count(), 0);
    EXPECT_TRUE(startup->link().debug_box().empty());
}

// ---- Ports

TEST_F(StartupFormTest, PortThatCannotBeOpenedLeadsToThePortChooser)
{
    port.open_results[1] = OpenResult::cannot_open;
    port.open_results[3] = OpenResult::cannot_open;
    create({});
    Tport_form* chooser = startup->port_form;
    bool seen = false;
    when_visible(chooser, [&] {
        seen = true;
        EXPECT_EQ(from_qstring(chooser->windowTitle()), "Choose Serial Port");
        EXPECT_EQ(from_qstring(chooser->choose_label->text()), "Please choose the proper serial port:");
        EXPECT_TRUE(chooser->com_buttons[0]->isChecked());
        EXPECT_FALSE(chooser->com_buttons[0]->isEnabled());
        EXPECT_TRUE(chooser->com_buttons[1]->isEnabled());
        EXPECT_FALSE(chooser->com_buttons[2]->isEnabled());
        EXPECT_TRUE(chooser->com_buttons[3]->isEnabled());
        chooser->com_buttons[1]->click();
        chooser->ok_button->click();
    });
    main->show();
    ASSERT_TRUE(wait_until([&] { return main->first_activation_done(); }));
    ASSERT_TRUE(chain_done());
    EXPECT_TRUE(seen);
    EXPECT_EQ(startup->chain().outcome(), ChainOutcome::online);
    EXPECT_EQ(startup->chain().port_number(), 2);
    EXPECT_EQ(read_setting_integer("Port", 0), 2);
    EXPECT_EQ(port.opened_ports.back(), 2);
}

TEST_F(StartupFormTest, CancelledPortChooserRunsOffline)
{
    save_configuration();
    port.open_results[1] = OpenResult::cannot_open;
    create({});
    when_visible(startup->port_form, [&] { startup->port_form->cancel_button->click(); });
    main->show();
    ASSERT_TRUE(wait_until([&] { return main->first_activation_done(); }));
    ASSERT_TRUE(chain_done());
    EXPECT_EQ(startup->chain().outcome(), ChainOutcome::offline);
    EXPECT_EQ(read_setting_integer("Port", 0), 1);
    EXPECT_EQ(title(), window_title(false, true, folder));
}

TEST_F(StartupFormTest, BusyPortDialogOffersItsFourWays)
{
    save_configuration();
    port.open_results[1] = OpenResult::in_use;
    create({});
    Tpchoice_form* busy = startup->pchoice_form;
    int shown = 0;
    std::function<void()> answer;
    // First Retry (the port is still busy), then Another port (COM2).
    answer = [&] {
        ++shown;
        EXPECT_EQ(from_qstring(busy->windowTitle()), "Com Port Selection");
        EXPECT_EQ(from_qstring(busy->message_label->text()),
                  "Port 1 is being used by another program. You may close the other program and press Retry, Exit "
                  "this program, run this program offline, or choose another port");
        if (shown == 1) {
            EXPECT_EQ(from_qstring(busy->retry_button->text()), "Retry");
            EXPECT_EQ(from_qstring(busy->exit_button->text()), "Exit program");
            EXPECT_EQ(from_qstring(busy->offline_button->text()), "Run offline");
            EXPECT_EQ(from_qstring(busy->another_port_button->text()), "Another port");
            busy->retry_button->click();
            QTimer::singleShot(0, [&] { when_visible(busy, answer); });
        } else {
            when_visible(startup->port_form, [&] {
                startup->port_form->com_buttons[1]->click();
                startup->port_form->ok_button->click();
            });
            busy->another_port_button->click();
        }
    };
    when_visible(busy, answer);
    main->show();
    ASSERT_TRUE(chain_done());
    EXPECT_EQ(shown, 2);
    EXPECT_EQ(startup->chain().outcome(), ChainOutcome::online);
    EXPECT_EQ(startup->chain().port_number(), 2);
}

TEST_F(StartupFormTest, BusyPortRunOfflineAndExitProgram)
{
    save_configuration();
    port.open_results[1] = OpenResult::in_use;
    create({});
    when_visible(startup->pchoice_form, [&] { startup->pchoice_form->offline_button->click(); });
    main->show();
    ASSERT_TRUE(chain_done());
    EXPECT_EQ(startup->chain().outcome(), ChainOutcome::offline);
    EXPECT_TRUE(contains(prompts.shown, "information: " + std::string(running_offline_text)));
    main.reset();

    create({});
    when_visible(startup->pchoice_form, [&] { startup->pchoice_form->exit_button->click(); });
    main->show();
    ASSERT_TRUE(chain_done());
    EXPECT_EQ(startup->chain().outcome(), ChainOutcome::exit_program);
    EXPECT_FALSE(main->isVisible());
    // Start-up had begun: closing stored and logged as usual.
    EXPECT_NE(log().find(" : Closed program\r\n"), std::string::npos);
}

TEST_F(StartupFormTest, ClosingTheProgramWhileTheBusyPortDialogIsUpEndsStartUp)
{
    save_configuration();
    port.open_results[1] = OpenResult::in_use;
    create({});
    int shown = 0;
    when_visible(startup->pchoice_form, [&] {
        ++shown;
        // A termination signal closes the main window; the dialog remembers Retry.
        main->set_closing_by_signal();
        main->close();
    });
    main->show();
    ASSERT_TRUE(chain_done());
    EXPECT_EQ(startup->chain().outcome(), ChainOutcome::exit_program);
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(startup->pchoice_form->isVisible());
    EXPECT_FALSE(main->isVisible());
    EXPECT_EQ(port.opened_ports, std::vector<int>{1});  // one probe, no retry
    EXPECT_TRUE(prompts.shown.empty());
}

// ---- Documents

TEST_F(StartupFormTest, LastDocumentsAreReopenedWhenTheirFilesExist)
{
    test::write_file((fs::path(folder) / "Standard Injection.KME").string(), "");
    write_setting_text("Method", "Standard Injection");
    write_setting_text("Sample List", "Gone");
    write_setting_text("Macro", "Wash");
    start();
    ASSERT_TRUE(chain_done());
    EXPECT_EQ(from_qstring(main->method_select_box->currentText()), "Standard Injection");
    EXPECT_EQ(main->list_select_box->currentIndex(), -1);
    EXPECT_EQ(read_setting_text("Sample List", "x"), "");
    // The macro page is not shown without "MAC": its selection is cleared.
    EXPECT_EQ(read_setting_text("Macro", "x"), "");
}

TEST_F(StartupFormTest, ReloadFromTheMenuStaysOfflineAndReadsTheSavedCopyAgain)
{
    save_configuration();
    start({"OFF"});
    ASSERT_TRUE(chain_done());
    EXPECT_TRUE(main->offline());
    main->GetObjectsfromKelvo1->trigger();
    ASSERT_TRUE(chain_done());
    EXPECT_EQ(startup->chain().outcome(), ChainOutcome::offline);
    EXPECT_TRUE(main->offline());
    EXPECT_EQ(title(), window_title(false, true, folder));
    // "OFF" means no serial port at all.
    EXPECT_TRUE(port.opened_ports.empty());
    EXPECT_TRUE(port.received.empty());
}

TEST_F(StartupFormTest, ReloadFromTheMenuReadsTheConfigurationAgainWhenOnline)
{
    start();
    ASSERT_TRUE(chain_done());
    ASSERT_EQ(startup->chain().outcome(), ChainOutcome::online);
    port.received.clear();
    main->GetObjectsfromKelvo1->trigger();
    ASSERT_TRUE(chain_done());
    EXPECT_EQ(startup->chain().outcome(), ChainOutcome::online);
    ASSERT_FALSE(port.received.empty());
    EXPECT_EQ(port.received.front(), "GET_STAT");
}

}  // namespace
