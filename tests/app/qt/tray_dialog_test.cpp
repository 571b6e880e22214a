// The vial selection dialog in the program: opened by "&Trays", refreshed by
// the configuration read at start-up, and changing a tray type on the
// (scripted) instrument.
#include "app/command_line.h"
#include "qt/wait_until.h"
#include "app/qt/install_parts.h"
#include "app/qt/main_form.h"
#include "app/qt/sample_list_wiring.h"
#include "app/qt/tray_dialog_hooks.h"
#include "ground/documents.h"
#include "ground/log.h"
#include "ground/qt/qt_text.h"
#include "ground/settings.h"
#include "link/qt/startup_ui.h"
#include "link/startup_chain.h"
#include "samplelist/qt/sample_list_page.h"
#include "samplelist/sample_columns.h"
#include "trays/qt/tray_form.h"

#include "link/qt/scripted_port.h"
#include "recording_prompts.h"
#include "temp_dir.h"

#include <QAction>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

using namespace kelvo;

namespace {

using test::wait_until;

class TrayDialogTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = (temp.path() / "methods").string();
        std::filesystem::create_directories(folder);
        set_method_folder(folder);
        set_log_path(temp.file("cadenzor.log"));
        ASSERT_TRUE(load_configuration_lines(std::string(KELVO_SOURCE_DIR) + "/examples/methods/latest_kelvo.kol",
                                             port.configuration));
        write_setting_text("Method Folder", folder);
        // The scripted port's ticks last 2 ms: 55 s are 2 s here, room enough for a
        // loaded machine (these tests never wait for a time-out).
        write_setting_integer("Atom timeout (msec)", 55000);
        write_setting_integer("Status timeout (msec)", 55000);
        write_setting_integer("Polling interval", 10);
        main = std::make_unique<Tmain_form>();
        const CommandLineOptions options = parse_command_line({});
        main->apply_command_line(options);
        startup = install_startup(*main, options, &port);
        startup->set_lock_path(QString::fromStdString(temp.file("Kelvo_Mutex.lock")));
        sample_list = install_sample_list_page(*main, startup, nullptr);
        trays = install_tray_dialog(*main, *startup, sample_list);
        main->show();
        ASSERT_TRUE(wait_until([&] { return main->first_activation_done(); }));
        ASSERT_TRUE(wait_until([&] { return startup->chain().outcome() != ChainOutcome::running; }));
        ASSERT_EQ(startup->chain().outcome(), ChainOutcome::online);
    }
    void TearDown() override
    {
        main.reset();
        set_method_folder("");
    }

    test::TempDir temp;
    MemorySettingsStore store;
    SettingsScope settings_scope{store};
    test::RecordingPrompts prompts;
    PromptsScope prompts_scope{prompts};
    link_test::ScriptedPort port;
    std::string folder;
    std::unique_ptr<Tmain_form> main;
    StartupController* startup = nullptr;
    SampleListPage* sample_list = nullptr;
    Ttray_form* trays = nullptr;
};

TEST_F(TrayDialogTest, TraysButtonOpensTheDialogOnTheConfigurationRead)
{
    EXPECT_FALSE(trays->isVisible());
    QTest::mouseClick(main->tray_button, Qt::LeftButton);
    ASSERT_TRUE(trays->isVisible());
    EXPECT_FALSE(trays->isModal());
    EXPECT_EQ(trays->tray_holder_box->count(), 2);
    EXPECT_EQ(trays->tray_holder_box->itemText(1), "Cooler");
    EXPECT_EQ(trays->current_tray(), "Tray1");
    // The main window keeps working beside it.
    EXPECT_TRUE(main->isEnabled());
}

TEST_F(TrayDialogTest, ATrayTypeChangeGoesToTheInstrumentAndIntoTheLog)
{
    QTest::mouseClick(main->tray_button, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(trays));
    const HolderTrayShape tray2 = trays->holder_layout().trays[1];
    ASSERT_EQ(trays->holder_table().trays[1].name, "Tray2");
    QTest::mouseClick(trays->tray_holder_picture, Qt::RightButton, {},
                      QPoint(tray2.hit.left + 2, tray2.hit.top + 2));
    ASSERT_TRUE(trays->tray_type_popup->isVisible());
    QAction* vt15 = nullptr;
    for (QAction* a : trays->tray_type_popup->actions())
        if (a->isVisible() && a->text() == "VT15") vt15 = a;
    ASSERT_TRUE(vt15);
    QTest::mouseClick(trays->tray_type_popup, Qt::LeftButton, {}, trays->tray_type_popup->actionGeometry(vt15).center());
    const std::string command = "DLD_OBJ TRAY;Tray2;Stack;VT15;0;70000;0;0;0;0;AB";
    ASSERT_TRUE(wait_until([&] {
        return std::find(port.received.begin(), port.received.end(), command) != port.received.end();
    }));
    EXPECT_TRUE(wait_until([&] {
        return test::read_file(temp.file("cadenzor.log")).find(" : Tray type of Tray2 set to VT15\r\n") != std::string::npos;
    }, 3000)) << test::read_file(temp.file("cadenzor.log")) << main->status_text();
    EXPECT_EQ(trays->tray_label->text(), "Tray2:VT15");
    EXPECT_TRUE(prompts.shown.empty()) << prompts.shown.front();
}

TEST_F(TrayDialogTest, AddPutsTheSelectedVialsIntoTheSampleList)
{
    QTest::mouseClick(main->tray_button, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(trays));
    const int before = sample_list->table().rows();
    for (int i : {6, 2, 4}) {  // vials 7, 3 and 5 of Tray1's first line
        const IntPoint c = trays->selection().picture().centre(i, 0);
        QTest::mouseClick(trays->tray_picture, Qt::LeftButton, {}, QPoint(c.x, c.y));
    }
    QTest::mouseClick(trays->add_button, Qt::LeftButton);
    ASSERT_EQ(sample_list->table().rows(), before + 3);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(sample_list->table().cell(column_no::tray, before + 1 + k), "Tray1");
        EXPECT_EQ(sample_list->table().cell(column_no::vial, before + 1 + k), std::to_string(3 + 2 * k));
    }
    EXPECT_FALSE(trays->selection().any_selected());
    EXPECT_TRUE(prompts.shown.empty()) << prompts.shown.front();
}

}  // namespace
