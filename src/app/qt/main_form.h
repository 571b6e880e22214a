#pragma once
// The program's main window: the three editor pages with their name boxes,
// the menu whose document commands act on the page in front, the status bar,
// and the dialogs it opens (new name, method folder, about), the status
// window and the splash. The rules live in MainState; the form is its view.
//
// Start-up (the connection chain, the single-instance lock, the splash) is
// wired from outside through:
//   - on_first_activation: run once, queued after the window is first shown
//     (without it, standalone_first_activation() runs);
//   - state(): set_hooks(), set_document_ops(), set_offline(), ...;
//   - StartupWindow, the calls start-up makes of the window.
#include "app/command_line.h"
#include "app/main_state.h"
#include "link/qt/startup_window.h"

#include <QMainWindow>
#include <QStringList>

#include <functional>
#include <string>

class QAction;
class QComboBox;
class QGroupBox;
class QHBoxLayout;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTimer;
class QToolButton;
class QVBoxLayout;
class QWidget;

namespace kelvo {

class StatusDisplay;
class Tabout_form;
class Tfolder_form;
class Tkelvo_splash;
class Tstatus_form;

class Tmain_form : public QMainWindow, public MainView, public StartupWindow {
    Q_OBJECT
public:
    explicit Tmain_form(QWidget* parent = nullptr);
    ~Tmain_form() override;

    // ---- Pages
    QTabWidget* PageControl1 = nullptr;
    QWidget* sample_list_page = nullptr;
    QWidget* method_page = nullptr;
    QWidget* macro_page = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    // The status bar's single simple-text panel: it keeps its text until the
    // program writes another (menu status tips do not replace it).
    QLabel* status_panel = nullptr;

    // Sample list page: the name box, "&Trays" and "View &Log file".
    QGroupBox* list_name_group = nullptr;
    QComboBox* list_select_box = nullptr;
    QPushButton* tray_button = nullptr;
    QPushButton* log_file_button = nullptr;
    // Method page.
    QGroupBox* method_name_group = nullptr;
    QComboBox* method_select_box = nullptr;
    // Macro page: the lock button left of the name box.
    QGroupBox* macro_name_group = nullptr;
    QToolButton* lock_button = nullptr;
    QComboBox* macro_select_box = nullptr;

    // ---- Menu
    QMenuBar* MainMenu1 = nullptr;
    QMenu* File1 = nullptr;
    QAction* new_item = nullptr;
    QAction* save_item = nullptr;
    QAction* save_as_item = nullptr;
    QAction* delete_item = nullptr;
    QAction* print_item = nullptr;
    QAction* import_item = nullptr;
    QMenu* options_item = nullptr;
    QAction* port_item = nullptr;
    QAction* GetObjectsfromKelvo1 = nullptr;
    QAction* choose_method_folder = nullptr;
    QAction* status_item = nullptr;
    QAction* format_item = nullptr;
    QAction* Exit1 = nullptr;
    QMenu* help_item = nullptr;
    QAction* About2 = nullptr;

    // ---- Forms created with the window
    Tstatus_form* status_form = nullptr;
    Tabout_form* about_form = nullptr;
    Tfolder_form* folder_form = nullptr;
    Tkelvo_splash* kelvo_splash = nullptr;

    // The service timer: completion actions of the instrument link run on
    // its ticks (interval "Polling interval"; start-up sets and starts it).
    QTimer* kelvo_service_timer = nullptr;

    // ---- For the editors of later parts
    // The name box of a kind of document.
    QComboBox* name_box(DocumentKind kind) const;
    QWidget* page(Page page) const;
    // Adds a control to the top row of a page, after the name group.
    void add_to_top_row(Page page, QWidget* control);
    // Puts the editor below the top row of a page, in place of the
    // placeholder.
    void set_editor(Page page, QWidget* editor);

    // ---- Rules and hooks
    MainState& state() { return state_; }
    const MainState& state() const { return state_; }
    // Start-up's first activation; when empty, standalone_first_activation().
    std::function<void()> on_first_activation;
    bool first_activation_done() const { return first_activation_done_; }
    // Runs the first activation now (normally queued from the first show).
    void first_activation();
    // The first activation without an instrument link: "Started program",
    // captions, name boxes, the folder dialog when there is no method
    // folder, the status window, running offline.
    void standalone_first_activation();

    // The command line's decisions: tabs shown, the page in front, "&Options"
    // hidden in MassLynx mode, the method extension, offline by switch.
    void apply_command_line(const CommandLineOptions& options);
    // Writes "Started program" (log and status bar) and marks start-up as
    // complete, so that closing asks to save and stores the settings.
    void mark_started_program() override;
    void set_offline(bool offline) override { state_.set_offline(offline); }
    bool offline() const { return state_.offline(); }
    void set_title() override { state_.set_title(); }
    void set_firmware_version(const std::string& version) override;
    const std::string& firmware_version() const { return firmware_version_; }
    // Refills all three name boxes from the method folder.
    void fill_name_boxes() override { state_.refresh_all_names(); }
    // At the first activation with no method folder: the folder dialog
    // (the list as stored), then empty documents whether OK or not.
    void choose_method_folder_at_start() override;

    // The status window: on/off by the "Status Box" setting (check mark and
    // window, nothing written), or switched by the menu item (written).
    void apply_status_box_setting() override;
    void set_status_window(bool on);
    StatusDisplay& status_display();
    void set_status_text(const std::string& text) override;
    std::string status_text() const;

    // ---- StartupWindow (the rest)
    QWidget* window_widget() override { return this; }
    QTimer* service_timer() override { return kelvo_service_timer; }
    QWidget* splash_widget() override;
    bool window_closed() const override { return state_.closed(); }
    void reset_status_window() override;
    void status_window_first_line(const std::string& text) override;
    void choose_method_folder_dialog() override;
    bool document_page_enabled(DocumentKind kind) const override { return state_.page_enabled(kind); }
    DocumentOps& document_ops(DocumentKind kind) override { return state_.ops(kind); }

    // The word of the page in front: "Sample List", "Method" or "Macro".
    QString page_word() const;

    // The import file dialog: the chosen files, empty when cancelled.
    // Replaceable for tests.
    std::function<QStringList(const QString& folder)> choose_import_files;
    // The Qt filter of the import dialog: shows "Kelvo files (*.ksl;*.KME;*.kma)"
    // and matches the three extensions in either case.
    static QString import_name_filter();

    // ---- Handlers
    void new_itemClick();
    void save_itemClick();
    void save_as_itemClick();
    void delete_itemClick();
    void print_itemClick();
    void import_itemClick();
    void port_itemClick();
    void GetObjectsfromKelvo1Click();
    void choose_method_folderClick();
    void status_itemClick();
    void format_itemClick();
    void About2Click();
    void lock_buttonClick();
    void tray_buttonClick();
    void log_file_buttonClick();
    void PageControl1Change();

    // Closing by SIGTERM / SIGINT asks nothing.
    void set_closing_by_signal() { closing_by_signal_ = true; }

    // ---- MainView
    Page front_page() const override;
    void show_page(Page page) override;
    void prepare_captions() override;
    void set_title(const std::string& title) override;
    void refill_names(DocumentKind kind) override;
    std::string selected_name(DocumentKind kind) const override;
    void show_name(DocumentKind kind, const std::string& name) override;
    void show_write_protection(bool read_only) override;
    bool status_window_on() const override { return status_window_on_; }
    void store_status_position() override;
    void store_window_centre() override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void build_menu();
    void build_pages();
    QWidget* build_page(Page page, QGroupBox* name_group);
    void install_hint_handler();
    bool show_hint(QWidget* control, QEvent* event);

    MainState state_;
    QHBoxLayout* top_rows_[3] = {};
    QVBoxLayout* page_layouts_[3] = {};
    QWidget* editors_[3] = {};
    bool changing_pages_ = false;
    bool first_activation_queued_ = false;
    bool first_activation_done_ = false;
    bool status_window_on_ = false;
    bool closing_by_signal_ = false;
    std::string firmware_version_;
};

// Closes the window as its close button does when the process receives
// SIGTERM or SIGINT.
void close_on_termination_signals(QWidget* window);

}  // namespace kelvo
