#include "app/command_line.h"
#include "ground/debug_lines.h"
#include "ground/documents.h"
#include "ground/file_attributes.h"
#include "ground/log.h"
#include "app/qt/about_form.h"
#include "app/qt/folder_form.h"
#include "app/qt/form_name_dialogs.h"
#include "app/qt/kelvo_splash.h"
#include "ground/qt/list_ops.h"
#include "app/qt/main_form.h"
#include "app/qt/new_form.h"
#include "app/qt/save_dialog.h"
#include "ground/settings.h"
#include "engine/qt/status_form.h"

#include "recording_prompts.h"
#include "temp_dir.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <gtest/gtest.h>

#include <functional>

using namespace kelvo;

namespace {

using Texts = std::vector<std::string>;

// Runs f on the modal dialog once it is up.
void when_modal(std::function<void(QWidget*)> f)
{
    QTimer::singleShot(0, [f] {
        QWidget* w = QApplication::activeModalWidget();
        ASSERT_NE(w, nullptr);
        f(w);
    });
}

void press_key(QWidget* w, int key)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(w, &press);
}

class RecordingOps final : public DocumentOps {
public:
    RecordingOps(std::string kind, Texts& c) : kind_(std::move(kind)), calls(c) {}
    void save(const std::string& n) override { calls.push_back(kind_ + " save " + n); }
    void save_as(const std::string& n) override { calls.push_back(kind_ + " save as " + n); }
    void print(const std::string& n) override { calls.push_back(kind_ + " print " + n); }
    void ask_to_save() override { calls.push_back(kind_ + " ask to save"); }
    bool write_back() override
    {
        calls.push_back(kind_ + " write back");
        return true;
    }
    void start_empty(const std::string& n) override { calls.push_back(kind_ + " start empty '" + n + "'"); }
    void name_selected(const std::string& n) override { calls.push_back(kind_ + " selected " + n); }

private:
    std::string kind_;
    Texts& calls;
};

class Hooks final : public MainHooks {
public:
    bool running = false;
    int trays = 0, log_viewer = 0, columns = 0, mutex_released = 0;
    bool sample_list_running() const override { return running; }
    void show_trays() override { ++trays; }
    void show_log_viewer() override { ++log_viewer; }
    void format_sample_list() override { ++columns; }
    void release_single_instance() override { ++mutex_released; }
};

class MainFormTest : public ::testing::Test {
protected:
    MainFormTest() : settings_scope(store), prompts_scope(prompts)
    {
        set_method_folder(dir.path().string());
        set_log_path(dir.file("cadenzor.log"));
    }
    ~MainFormTest() override
    {
        set_method_folder("");
        set_masslynx_mode(false);
    }

    // A form wired to recording document operations and hooks.
    std::unique_ptr<Tmain_form> make_form(const std::vector<std::string>& args = {})
    {
        auto form = std::make_unique<Tmain_form>();
        form->apply_command_line(parse_command_line(args));
        form->state().set_document_ops(DocumentKind::sample_list, &list_ops);
        form->state().set_document_ops(DocumentKind::method, &method_ops);
        form->state().set_document_ops(DocumentKind::macro, &macro_ops);
        form->state().set_hooks(&hooks);
        return form;
    }

    std::string setting(const std::string& name)
    {
        const auto v = store.read("", name);
        return !v ? "<missing>" : v->kind == SettingValue::Kind::text ? v->text : std::to_string(v->dword);
    }

    test::TempDir dir;
    MemorySettingsStore store;
    SettingsScope settings_scope;
    test::RecordingPrompts prompts;
    PromptsScope prompts_scope;
    Texts calls;
    RecordingOps list_ops{"list", calls}, method_ops{"method", calls}, macro_ops{"macro", calls};
    Hooks hooks;
};

QStringList item_texts(const QComboBox* box)
{
    QStringList list;
    for (int i = 0; i < box->count(); ++i) list << box->itemText(i);
    return list;
}

}  // namespace

// ---- Pages, captions, menu

TEST_F(MainFormTest, MenuItemsCarryTheirNamesAndCaptions)
{
    auto form = make_form();
    const std::pair<QObject*, const char*> items[] = {
        {form->File1->menuAction(), "&File"}, {form->import_item, "&Import..."},
        {form->options_item->menuAction(), "&Options"}, {form->port_item, "&Port..."},
        {form->GetObjectsfromKelvo1, "&Reload Kelvo Configuration"},
        {form->choose_method_folder, "&Choose method folder..."}, {form->status_item, "&Status Box"},
        {form->format_item, "&Format Sample List..."}, {form->Exit1, "E&xit"},
        {form->help_item->menuAction(), "&Help"}, {form->About2, "&About"}};
    for (const auto& [object, caption] : items) EXPECT_EQ(static_cast<QAction*>(object)->text(), caption);
    EXPECT_EQ(form->MainMenu1->objectName(), "MainMenu1");
    EXPECT_EQ(form->findChild<QAction*>("GetObjectsfromKelvo1"), form->GetObjectsfromKelvo1);
    EXPECT_TRUE(form->status_item->isCheckable());
    EXPECT_EQ(form->list_name_group->title(), "Sample List Name");
    EXPECT_EQ(form->method_name_group->title(), "Method Name");
    EXPECT_EQ(form->macro_name_group->title(), "Macro Name");
    EXPECT_EQ(form->tray_button->text(), "&Trays");
    EXPECT_EQ(form->log_file_button->text(), "View &Log file");
    EXPECT_EQ(form->windowTitle(), "KELVO Cadenzor");
}

TEST_F(MainFormTest, DocumentCaptionsFollowEveryPageChange)
{
    auto form = make_form({"LST", "MET", "MAC"});
    EXPECT_EQ(form->new_item->text(), "&New Sample List");
    form->PageControl1->setCurrentWidget(form->macro_page);
    const QStringList macro{"&New Macro", "&Save Macro", "Save Macro &As...", "&Delete Macro", "&Print Macro"};
    const QStringList shown{form->new_item->text(), form->save_item->text(), form->save_as_item->text(),
                            form->delete_item->text(), form->print_item->text()};
    EXPECT_EQ(shown, macro);
    form->PageControl1->setCurrentWidget(form->method_page);
    EXPECT_EQ(form->save_as_item->text(), "Save Method &As...");
    EXPECT_EQ(form->print_item->text(), "&Print Method");
    EXPECT_EQ(form->state().previous_page(), Page::method);
}

TEST_F(MainFormTest, CommandLineDecidesTabsFrontPageAndHiddenItems)
{
    auto plain = make_form();
    EXPECT_TRUE(plain->PageControl1->isTabVisible(0));
    EXPECT_TRUE(plain->PageControl1->isTabVisible(1));
    EXPECT_FALSE(plain->PageControl1->isTabVisible(2));
    EXPECT_EQ(plain->PageControl1->currentWidget(), plain->sample_list_page);
    EXPECT_TRUE(plain->import_item->isVisible());
    EXPECT_TRUE(plain->format_item->isVisible());

    // Only "OFF": no tab at all, the method page in front, no sample list items.
    auto off = make_form({"OFF"});
    EXPECT_FALSE(off->PageControl1->tabBar()->isVisibleTo(off.get()));
    EXPECT_EQ(off->PageControl1->currentWidget(), off->method_page);
    EXPECT_EQ(off->new_item->text(), "&New Method");
    EXPECT_FALSE(off->import_item->isVisible());
    EXPECT_FALSE(off->format_item->isVisible());
    EXPECT_TRUE(off->offline());

    auto mac = make_form({"MAC", "DS:MASSLYNX"});
    EXPECT_EQ(mac->PageControl1->currentWidget(), mac->macro_page);
    EXPECT_FALSE(mac->PageControl1->isTabVisible(0));
    EXPECT_TRUE(mac->PageControl1->isTabVisible(2));
    EXPECT_FALSE(mac->options_item->menuAction()->isVisible());
    EXPECT_EQ(method_extension(), ".CDZ");
    EXPECT_EQ(Tmain_form::import_name_filter().left(31), "Kelvo files (*.ksl;*.CDZ;*.kma)");
}

TEST_F(MainFormTest, TitleShowsModeOfflineMarkAndShortenedFolder)
{
    auto form = make_form({"DS:HPCS"});
    EXPECT_EQ(form->windowTitle(), "KELVO Cadenzor");  // until it is set
    const std::string fifty = "/" + std::string(49, 'f');
    set_method_folder(fifty);
    form->set_title();
    EXPECT_EQ(form->windowTitle().toStdString(), "KELVO Ostinar   (" + fifty + ")");
    std::string sixty = "/data/laboratory/instrument-12/methods/";
    while (sixty.size() < 60) sixty += 'x';
    set_method_folder(sixty);
    form->set_offline(true);
    form->set_title();
    EXPECT_EQ(form->windowTitle().toStdString(),
              "KELVO Ostinar -- offline   (" + sixty.substr(0, 24) + "..." + sixty.substr(35) + ")");
}

// ---- Dispatch

TEST_F(MainFormTest, DocumentItemsDispatchByTheirCaption)
{
    auto form = make_form({"LST", "MET", "MAC"});
    test::write_file(dir.file("Wash.kma"), "A()\r\n");
    form->fill_name_boxes();
    form->PageControl1->setCurrentWidget(form->macro_page);
    select_name(form->macro_select_box, "Wash");
    calls.clear();
    form->save_item->trigger();
    form->save_as_item->trigger();
    form->print_item->trigger();
    EXPECT_EQ(calls, (Texts{"macro save Wash", "macro save as Wash", "macro print Wash"}));

    // A caption that matches none of the three does nothing.
    calls.clear();
    form->save_item->setText("&Save Tray");
    form->save_item->trigger();
    form->print_item->setText("&print macro");
    form->print_item->trigger();
    EXPECT_TRUE(calls.empty());
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(MainFormTest, NewThroughTheRealDialogAddsAndSelectsTheName)
{
    auto form = make_form();
    FormNameDialogs dialogs(form.get());
    NameDialogsScope scope(dialogs);
    test::write_file(dir.file("Rack B.ksl"), "");
    form->fill_name_boxes();
    when_modal([](QWidget* w) {
        auto* dialog = qobject_cast<Tnew_form*>(w);
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), "Choose name of new sample list");
        EXPECT_EQ(dialog->choose_label->text(), "Name of new sample list");
        dialog->potential_name->setText("rack a");
        press_key(dialog->potential_name, Qt::Key_Return);  // Enter acts as OK
    });
    form->new_item->trigger();
    EXPECT_EQ(item_texts(form->list_select_box), (QStringList{"rack a", "Rack B"}));
    EXPECT_EQ(form->list_select_box->currentText(), "rack a");
    EXPECT_EQ(setting("Sample List"), "rack a");
    EXPECT_EQ(calls, (Texts{"list ask to save", "list start empty 'rack a'"}));

    // Escape cancels; nothing changes.
    calls.clear();
    when_modal([](QWidget* w) {
        static_cast<Tnew_form*>(w)->potential_name->setText("Other");
        press_key(w, Qt::Key_Escape);
    });
    form->new_item->trigger();
    EXPECT_EQ(form->list_select_box->currentText(), "rack a");
    EXPECT_EQ(calls, (Texts{"list ask to save"}));
}

TEST_F(MainFormTest, DeleteSampleListRemovesTheFileAndEmptiesTheName)
{
    auto form = make_form();
    test::write_file(dir.file("Old.ksl"), "Method;\r\n");
    form->fill_name_boxes();
    select_name(form->list_select_box, "Old");
    prompts.yes_no_answers = {true};
    form->delete_item->trigger();
    EXPECT_EQ(prompts.shown, (Texts{"question: Do you really want to delete sample list Old"}));
    EXPECT_FALSE(std::filesystem::exists(dir.file("Old.ksl")));
    EXPECT_EQ(form->list_select_box->count(), 0);
    EXPECT_EQ(form->list_select_box->currentIndex(), -1);
    EXPECT_EQ(setting("Sample List"), "");

    prompts.shown.clear();
    form->delete_item->trigger();
    EXPECT_EQ(prompts.shown, (Texts{"error: No sample list to delete"}));
}

// ---- Page change rules

TEST_F(MainFormTest, MacroPageRefusedWhileASampleListRunsReturnsToThePreviousPage)
{
    auto form = make_form({"LST", "MET", "MAC"});
    hooks.running = true;
    form->PageControl1->setCurrentWidget(form->macro_page);
    EXPECT_EQ(prompts.shown, (Texts{"information: Macro editing is not allowed while the sample list is executing"}));
    EXPECT_EQ(form->PageControl1->currentWidget(), form->sample_list_page);
    EXPECT_EQ(form->new_item->text(), "&New Sample List");
    EXPECT_TRUE(calls.empty());

    // Allowed again once the run is over; leaving the method page asks for the method.
    hooks.running = false;
    form->PageControl1->setCurrentWidget(form->method_page);
    calls.clear();
    form->PageControl1->setCurrentWidget(form->macro_page);
    EXPECT_EQ(calls, (Texts{"method write back", "method ask to save"}));
    EXPECT_EQ(form->PageControl1->currentWidget(), form->macro_page);
}

// ---- Closing

TEST_F(MainFormTest, ClosingStoresNamesFolderCentreAndStatusPosition)
{
    auto form = make_form({"LST", "MET", "MAC"});
    test::write_file(dir.file("Wash.kma"), "");
    test::write_file(dir.file("Assay.KME"), "");
    form->fill_name_boxes();
    select_name(form->macro_select_box, "Wash");
    select_name(form->method_select_box, "Assay");
    form->mark_started_program();
    form->set_status_window(true);
    form->status_form->move(40, 50);
    form->move(100, 200);
    form->resize(800, 600);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(setting("Macro"), "Wash");
    EXPECT_EQ(setting("Method"), "Assay");
    EXPECT_EQ(setting("Sample List"), "");
    EXPECT_EQ(setting("Method Folder"), dir.path().string());
    EXPECT_EQ(read_setting_integer("Status Left", -1), form->status_form->x());
    EXPECT_EQ(read_setting_integer("Status Top", -1), form->status_form->y());
    EXPECT_EQ(read_setting_integer("Window Left", -1), form->x() + form->width() / 2);
    EXPECT_EQ(read_setting_integer("Window Top", -1), form->y() + form->height() / 2);
    EXPECT_FALSE(form->status_form->isVisible());
    EXPECT_EQ(setting("Status Box"), "True");  // closing the program does not switch it off
    EXPECT_EQ(calls, (Texts{"list ask to save"}));
    const std::string log = test::read_file(dir.file("cadenzor.log"));
    EXPECT_NE(log.find(" : Started program\r\n"), std::string::npos);
    EXPECT_NE(log.find(" : Closed program\r\n"), std::string::npos);
}

TEST_F(MainFormTest, ClosingBeforeStartUpCompletedStoresNothing)
{
    auto form = make_form();
    const auto before = store.keys.size() ? store.keys.front().values : std::vector<NamedSettingValue>{};
    EXPECT_TRUE(form->close());
    const auto after = store.keys.size() ? store.keys.front().values : std::vector<NamedSettingValue>{};
    EXPECT_EQ(after, before);
    EXPECT_EQ(setting("Method Folder"), "<missing>");
    EXPECT_FALSE(std::filesystem::exists(dir.file("cadenzor.log")));
    EXPECT_EQ(hooks.mutex_released, 1);
    EXPECT_TRUE(calls.empty());
}

TEST_F(MainFormTest, ClosingWhileASampleListRunsAsksFirst)
{
    auto form = make_form();
    form->mark_started_program();
    hooks.running = true;
    prompts.yes_no_answers = {false, true};
    EXPECT_FALSE(form->close());
    EXPECT_EQ(hooks.mutex_released, 0);
    EXPECT_TRUE(form->close());
    EXPECT_EQ(hooks.mutex_released, 1);
    EXPECT_EQ(prompts.shown.size(), 2u);
}

// ---- Method folder dialog

TEST_F(MainFormTest, FolderDialogMovesTheChosenFolderToTheTopAndStoresTheOrder)
{
    test::TempDir other;
    write_folder_list({"/lab/a", other.path().string(), "/lab/c"});
    auto form = make_form();
    EXPECT_EQ(form->folder_form->windowTitle(), "Method Folder");
    EXPECT_EQ(form->folder_form->text_label->text(), "Please choose folder for macros, methods, and sample lists.");
    EXPECT_FALSE(form->folder_form->folder_combo_box->isEditable());
    when_modal([&](QWidget* w) {
        auto* dialog = qobject_cast<Tfolder_form*>(w);
        ASSERT_NE(dialog, nullptr);
        // The method folder in use is on top and selected.
        EXPECT_EQ(dialog->selected_folder(), dir.path().string());
        dialog->browse_for_folder = [&](const QString& start) {
            EXPECT_EQ(start.toStdString(), dir.path().string());
            return QString::fromStdString(other.path().string());
        };
        dialog->browse_button->click();
        dialog->ok_button->click();
    });
    form->choose_method_folderClick();
    const Texts expected{other.path().string(), dir.path().string(), "/lab/a", "/lab/c"};
    EXPECT_EQ(read_folder_list(), expected);
    EXPECT_EQ(method_folder(), other.path().string());
    EXPECT_EQ(setting("Method Folder"), other.path().string());
    EXPECT_EQ(calls, (Texts{"list start empty ''", "method start empty ''", "macro start empty ''"}));
    EXPECT_EQ(form->windowTitle().toStdString(), "KELVO Cadenzor   (" + other.path().string() + ")");
    // Read back in the same order next time.
    Tfolder_form next;
    EXPECT_EQ(next.folders(), expected);
}

TEST_F(MainFormTest, FolderDialogCancelAndOkWithoutAFolder)
{
    auto form = make_form();
    when_modal([](QWidget* w) {
        auto* dialog = static_cast<Tfolder_form*>(w);
        // An empty list: nothing to choose, so OK waits for Browse.
        EXPECT_EQ(dialog->folder_combo_box->count(), 0);
        EXPECT_FALSE(dialog->ok_button->isEnabled());
        dialog->cancel_button->click();
    });
    form->choose_method_folder_at_start();
    EXPECT_EQ(setting("Method Folder"), "<missing>");
    EXPECT_TRUE(read_folder_list().empty());
    // The documents are emptied whether OK or Cancel was pressed.
    EXPECT_EQ(calls, (Texts{"list start empty ''", "method start empty ''", "macro start empty ''"}));

    calls.clear();
    when_modal([](QWidget* w) { static_cast<Tfolder_form*>(w)->cancel_button->click(); });
    form->choose_method_folderClick();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(method_folder(), dir.path().string());
}

// ---- Import

TEST_F(MainFormTest, ImportNeverOverwritesAndCopiesNothingFromTheMethodFolder)
{
    auto form = make_form();
    test::TempDir elsewhere;
    test::write_file(dir.file("Wash.kma"), "mine");
    test::write_file(elsewhere.file("Wash.kma"), "theirs");
    test::write_file(elsewhere.file("Rack.ksl"), "list");
    clear_buffered_debug_lines();
    QString asked_folder;
    form->choose_import_files = [&](const QString& folder) {
        asked_folder = folder;
        return QStringList{QString::fromStdString(elsewhere.file("Wash.kma")),
                           QString::fromStdString(elsewhere.file("Rack.ksl"))};
    };
    form->import_item->trigger();
    EXPECT_EQ(asked_folder.toStdString(), dir.path().string());
    EXPECT_EQ(test::read_file(dir.file("Wash.kma")), "mine");
    EXPECT_EQ(test::read_file(dir.file("Rack.ksl")), "list");
    EXPECT_EQ(buffered_debug_lines().size(), 2u);
    EXPECT_EQ(buffered_debug_lines()[1], elsewhere.file("Rack.ksl") + " -> " + dir.file("Rack.ksl"));
    EXPECT_EQ(item_texts(form->list_select_box), QStringList{"Rack"});  // lists refreshed
    EXPECT_EQ(item_texts(form->macro_select_box), QStringList{"Wash"});

    // From the method folder itself: nothing is copied, nothing announced.
    clear_buffered_debug_lines();
    std::filesystem::remove(dir.file("Rack.ksl"));
    form->choose_import_files = [&](const QString&) {
        return QStringList{QString::fromStdString(dir.file("Wash.kma"))};
    };
    form->import_item->trigger();
    EXPECT_TRUE(buffered_debug_lines().empty());
    EXPECT_EQ(form->list_select_box->count(), 0);

    // Cancelled: not even the lists are touched.
    calls.clear();
    form->choose_import_files = [](const QString&) { return QStringList(); };
    test::write_file(dir.file("Late.ksl"), "");
    form->import_item->trigger();
    EXPECT_EQ(form->list_select_box->count(), 0);
}

// ---- Name boxes, lock, buttons, hints

TEST_F(MainFormTest, NameBoxesAreSortedWithoutRegardToCaseAndKeepTheirSelection)
{
    auto form = make_form();
    for (const char* f : {"zeta.kma", "Alpha.kma", "beta.kma", "Gamma.kma"}) test::write_file(dir.file(f), "");
    form->fill_name_boxes();
    EXPECT_EQ(item_texts(form->macro_select_box), (QStringList{"Alpha", "beta", "Gamma", "zeta"}));
    EXPECT_EQ(form->macro_select_box->currentIndex(), -1);
    select_name(form->macro_select_box, "gamma");
    add_name(form->macro_select_box, "Delta");
    EXPECT_EQ(item_texts(form->macro_select_box), (QStringList{"Alpha", "beta", "Delta", "Gamma", "zeta"}));
    EXPECT_EQ(form->macro_select_box->currentText(), "Gamma");
    // Choosing a name goes to the document's editor.
    emit form->macro_select_box->activated(form->macro_select_box->currentIndex());
    EXPECT_EQ(calls.back(), "macro selected Gamma");
}

TEST_F(MainFormTest, LockButtonTogglesTheMacroFileAndItsHint)
{
    auto form = make_form({"MAC"});
    test::write_file(dir.file("Wash.kma"), "A()\r\n");
    form->fill_name_boxes();
    select_name(form->macro_select_box, "Wash");
    EXPECT_EQ(form->lock_button->toolTip(), "Write protect macro");
    form->lock_button->click();
    EXPECT_TRUE(is_read_only(dir.file("Wash.kma")));
    EXPECT_EQ(form->lock_button->toolTip(), "Remove macro write protection");
    form->lock_button->click();
    EXPECT_FALSE(is_read_only(dir.file("Wash.kma")));
    EXPECT_EQ(form->lock_button->toolTip(), "Write protect macro");
}

TEST_F(MainFormTest, PageButtonsAndItemsReachTheirHooks)
{
    auto form = make_form();
    form->tray_button->click();
    form->log_file_button->click();
    form->format_item->trigger();
    EXPECT_EQ(hooks.trays, 1);
    EXPECT_EQ(hooks.log_viewer, 1);
    EXPECT_EQ(hooks.columns, 1);
}

TEST_F(MainFormTest, HintsStayUpByControl)
{
    auto form = make_form({"MET"});
    auto* macros_of_method = new QComboBox;
    macros_of_method->setObjectName("macros_of_method");
    macros_of_method->setToolTip("Washes the syringe");
    form->add_to_top_row(Page::method, macros_of_method);
    form->show();
    QApplication::processEvents();
    form->activateWindow();
    QApplication::setActiveWindow(form.get());
    QApplication::processEvents();
    QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), macros_of_method->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(macros_of_method, &help);
    EXPECT_EQ(QToolTip::text(), "Washes the syringe");
    QToolTip::hideText();
    form->state().set_started_program(false);
    form->close();
}

// ---- Status window

TEST_F(MainFormTest, StatusBoxItemTogglesTheWindowAndTheSetting)
{
    auto form = make_form();
    form->apply_status_box_setting();  // default "True"
    EXPECT_TRUE(form->status_item->isChecked());
    EXPECT_TRUE(form->status_form->isVisible());
    form->status_item->trigger();
    EXPECT_FALSE(form->status_item->isChecked());
    EXPECT_FALSE(form->status_form->isVisible());
    EXPECT_EQ(setting("Status Box"), "False");
    form->status_item->trigger();
    EXPECT_TRUE(form->status_item->isChecked());
    EXPECT_EQ(setting("Status Box"), "True");

    // Closed by its own close button: position stored, switched off.
    form->status_form->move(70, 80);
    form->status_form->close();
    EXPECT_FALSE(form->status_item->isChecked());
    EXPECT_EQ(setting("Status Box"), "False");
    EXPECT_EQ(read_setting_integer("Status Left", -1), 70);
    EXPECT_EQ(read_setting_integer("Status Top", -1), 80);

    write_setting_text("Status Box", "tRUE");
    form->apply_status_box_setting();
    EXPECT_TRUE(form->status_item->isChecked());
    write_setting_text("Status Box", "yes");
    form->apply_status_box_setting();
    EXPECT_FALSE(form->status_form->isVisible());
}

TEST_F(MainFormTest, StatusWindowLinesAndDefaultPlace)
{
    Tstatus_form status;
    EXPECT_EQ(status.windowTitle(), "KELVO Status");
    EXPECT_TRUE(status.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(status.minimumSize(), status.maximumSize());  // no resizing
    const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
    EXPECT_EQ(status.pos(), QPoint(screen.width() - status.width(), screen.height() - status.height()));
    EXPECT_EQ(read_setting_integer("Status Left", -1), screen.width() - status.width());
    status.set_line(StatusLine::method, "Method : Assay \xB5l");
    EXPECT_EQ(status.method_line->text(), QString::fromUtf8("Method : Assay \xC2\xB5l"));
    status.first_line_only(no_sample_list_text);
    EXPECT_EQ(status.line(StatusLine::running), "No sample list in progress");
    EXPECT_EQ(status.line(StatusLine::method), "");
    EXPECT_EQ(status.atom_status_line->objectName(), "atom_status_line");
    EXPECT_EQ(status.tray_and_vial_line->objectName(), "tray_and_vial_line");
}

// ---- Dialogs

TEST_F(MainFormTest, SaveDialogTakesTheNameAsTyped)
{
    Tsave_dialog dialog;
    EXPECT_EQ(dialog.name_label->text(), "Name:");
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowSystemMenuHint);
    when_modal([](QWidget* w) {
        auto* d = static_cast<Tsave_dialog*>(w);
        EXPECT_EQ(d->windowTitle(), "Save Macro");
        EXPECT_EQ(d->name_to_save->text(), "Wash");
        EXPECT_EQ(d->focusWidget(), d->name_to_save);
        d->name_to_save->setText("  Wash 2 ");
        press_key(d->name_to_save, Qt::Key_Return);
    });
    QString chosen;
    EXPECT_TRUE(dialog.run("Save Macro", "Wash", chosen));
    EXPECT_EQ(chosen, "  Wash 2 ");
    // Escape clears the OK flag; so does Cancel.
    when_modal([](QWidget* w) { press_key(w, Qt::Key_Escape); });
    EXPECT_FALSE(dialog.run("Save Sample list", "x", chosen));
    when_modal([](QWidget* w) { static_cast<Tsave_dialog*>(w)->cancel_button->click(); });
    EXPECT_FALSE(dialog.run("Save Sample list", "x", chosen));
    EXPECT_EQ(chosen, "  Wash 2 ");
}

TEST_F(MainFormTest, NewFormIsTrueOnlyWithOkAndAName)
{
    Tnew_form dialog;
    QString chosen;
    when_modal([](QWidget* w) {
        auto* d = static_cast<Tnew_form*>(w);
        EXPECT_EQ(d->focusWidget(), d->potential_name);
        d->potential_name->clear();
        d->ok_button->click();
    });
    EXPECT_FALSE(dialog.run("Choose name of new Macro", "Name of new Macro", "Wash", chosen));
    EXPECT_TRUE(dialog.ok_pressed());
    // Enter acts as OK, also with the focus on Cancel.
    when_modal([](QWidget* w) {
        auto* d = static_cast<Tnew_form*>(w);
        d->cancel_button->setFocus();
        press_key(d->cancel_button, Qt::Key_Return);
    });
    EXPECT_TRUE(dialog.run("Choose name of new Macro", "Name of new Macro", "Wash", chosen));
    EXPECT_EQ(chosen, "Wash");
}

TEST_F(MainFormTest, AboutBoxShowsSoftwareAndFirmwareInBold)
{
    auto form = make_form();
    when_modal([](QWidget* w) {
        auto* about = qobject_cast<Tabout_form*>(w);
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(about->windowTitle(), "About");
        EXPECT_EQ(about->software_label->text(), "Software : Cadenzor Version 1.0");
        EXPECT_EQ(about->firmware_label->text(), "Not connected to KELVO");
        EXPECT_TRUE(about->software_label->font().bold());
        EXPECT_TRUE(about->firmware_label->font().bold());
        about->accept();
    });
    form->About2->trigger();
    form->set_firmware_version("KELVO 2.31");
    when_modal([](QWidget* w) {
        EXPECT_EQ(static_cast<Tabout_form*>(w)->firmware_label->text(), "Firmware : KELVO 2.31");
        static_cast<QDialog*>(w)->accept();
    });
    form->About2->trigger();
}

TEST_F(MainFormTest, SplashIsABorderlessPictureOnTheStoredCentre)
{
    write_setting_integer("Window Left", 600);
    write_setting_integer("Window Top", 400);
    Tkelvo_splash splash;
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    ASSERT_FALSE(splash.picture->pixmap().isNull());
    EXPECT_EQ(splash.pos(), QPoint(600 - splash.width() / 2, 400 - splash.height() / 2));
}

// ---- First activation without the instrument link

TEST_F(MainFormTest, StandaloneFirstActivationStartsOfflineAndMarksStartUp)
{
    auto form = make_form();
    write_setting_text("Status Box", "False");
    form->first_activation();
    EXPECT_TRUE(form->state().started_program());
    EXPECT_TRUE(form->offline());
    EXPECT_EQ(form->windowTitle().toStdString(), "KELVO Cadenzor -- offline   (" + dir.path().string() + ")");
    EXPECT_EQ(form->status_form->line(StatusLine::running), "No sample list in progress");
    EXPECT_FALSE(form->status_item->isChecked());
    // Only once; a start-up hook replaces it.
    int hooked = 0;
    auto other = make_form();
    other->on_first_activation = [&] { ++hooked; };
    other->first_activation();
    other->first_activation();
    EXPECT_EQ(hooked, 1);
    EXPECT_FALSE(other->state().started_program());
}

namespace {

TEST_F(MainFormTest, StatusBarKeepsItsTextWhileMenusAreOpened)
{
    auto form = make_form();
    form->show();
    form->set_status_text("Started program");
    // Open the File menu with the keyboard and walk its items: their status
    // tips must not replace the text.
    form->new_item->setStatusTip("a tip");
    QKeyEvent alt_f(QEvent::KeyPress, Qt::Key_F, Qt::AltModifier, "f");
    QApplication::sendEvent(form.get(), &alt_f);
    form->File1->popup(form->mapToGlobal(QPoint(0, 0)));
    QApplication::processEvents();
    for (int i = 0; i < 3; ++i) {
        press_key(form->File1, Qt::Key_Down);
        QApplication::processEvents();
        EXPECT_EQ(form->status_text(), "Started program");
    }
    form->new_item->hover();
    QApplication::processEvents();
    EXPECT_EQ(form->status_text(), "Started program");
    press_key(form->File1, Qt::Key_Escape);
    form->File1->hide();
    EXPECT_EQ(form->status_text(), "Started program");
    EXPECT_TRUE(form->StatusBar1->currentMessage().isEmpty());
}

}  // namespace
