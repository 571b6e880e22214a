#include "app/qt/main_form.h"
#include "ground/qt/termination_signals.h"

#include "ground/cp1252.h"
#include "ground/debug_lines.h"
#include "ground/documents.h"
#include "app/demo_folder.h"
#include "app/hints.h"
#include "ground/import_files.h"
#include "ground/log.h"
#include "app/qt/about_form.h"
#include "app/qt/folder_form.h"
#include "app/qt/kelvo_splash.h"
#include "ground/qt/list_ops.h"
#include "ground/qt/qt_text.h"
#include "ground/qt/sorted_box.h"
#include "ground/qt/resources.h"
#include "ground/qt/window_place.h"
#include "ground/settings.h"
#include "ground/text_utils.h"
#include "app/window_title.h"
#include "engine/qt/status_form.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>
#include <QVBoxLayout>


namespace kelvo {

namespace {
// Image 0: write-protected, image 1: writable.
const char* const lock_images[] = {":/images/lock_closed.png", ":/images/lock_open.png"};

std::size_t index_of(Page page) { return static_cast<std::size_t>(page); }

QComboBox* make_name_box(const char* name)
{
    auto* box = new QComboBox;
    box->setObjectName(name);
    box->setMinimumWidth(280);
    box->setMaxVisibleItems(25);
    box->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    keep_sorted(box);
    return box;
}

QGroupBox* make_group(const char* name, const char* title)
{
    auto* group = new QGroupBox(title);
    group->setObjectName(name);
    return group;
}
}  // namespace

Tmain_form::Tmain_form(QWidget* parent) : QMainWindow(parent), state_(*this)
{
    init_resources();
    setObjectName("main_form");
    setWindowTitle(initial_window_title);
    setWindowIcon(QIcon(":/images/cadenzor_icon.png"));
    resize(1180, 720);

    build_pages();

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(true);
    status_panel = new QLabel(StatusBar1);
    status_panel->setObjectName("status_panel");
    StatusBar1->addPermanentWidget(status_panel, 1);
    setStatusBar(StatusBar1);
    set_status_sink([this](const std::string& text) { set_status_text(text); });

    build_menu();

    status_form = new Tstatus_form(this);
    status_form->on_closed_by_user = [this] { set_status_window(false); };
    about_form = new Tabout_form(this);
    folder_form = new Tfolder_form(this);
    kelvo_splash = new Tkelvo_splash(this);
    kelvo_service_timer = new QTimer(this);
    kelvo_service_timer->setObjectName("kelvo_service_timer");
    kelvo_service_timer->setInterval(500);

    choose_import_files = [this](const QString& folder) {
        QFileDialog dialog(this, import_dialog_title, folder);
        dialog.setFileMode(QFileDialog::ExistingFiles);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setNameFilter(import_name_filter());
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        if (dialog.exec() != QDialog::Accepted) return QStringList();
        return dialog.selectedFiles();
    };

    // Until the command line is applied every page is offered.
    CommandLineOptions all_pages;
    all_pages.sample_list_page = all_pages.method_page = all_pages.macro_page = true;
    state_.set_options(all_pages);
    state_.set_previous_page(front_page());
    prepare_captions();
    show_write_protection(false);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] { PageControl1Change(); });
}

Tmain_form::~Tmain_form()
{
    set_status_sink({});
    qApp->removeEventFilter(this);
}

// ---- Building

void Tmain_form::build_pages()
{
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    PageControl1->setDocumentMode(false);

    list_name_group = make_group("list_name_group", "Sample List Name");
    list_select_box = make_name_box("list_select_box");
    auto* list_row = new QHBoxLayout(list_name_group);
    list_row->addWidget(list_select_box);
    sample_list_page = build_page(Page::sample_list, list_name_group);
    tray_button = new QPushButton("&Trays");
    tray_button->setObjectName("tray_button");
    log_file_button = new QPushButton("View &Log file");
    log_file_button->setObjectName("log_file_button");
    add_to_top_row(Page::sample_list, tray_button);
    add_to_top_row(Page::sample_list, log_file_button);
    connect(tray_button, &QPushButton::clicked, this, [this] { tray_buttonClick(); });
    connect(log_file_button, &QPushButton::clicked, this, [this] { log_file_buttonClick(); });

    method_name_group = make_group("method_name_group", "Method Name");
    method_select_box = make_name_box("method_select_box");
    auto* method_row = new QHBoxLayout(method_name_group);
    method_row->addWidget(method_select_box);
    method_page = build_page(Page::method, method_name_group);

    macro_name_group = make_group("macro_name_group", "Macro Name");
    lock_button = new QToolButton;
    lock_button->setObjectName("lock_button");
    lock_button->setIconSize(QSize(20, 20));
    lock_button->setAutoRaise(false);
    macro_select_box = make_name_box("macro_select_box");
    auto* macro_row = new QHBoxLayout(macro_name_group);
    macro_row->addWidget(lock_button);
    macro_row->addWidget(macro_select_box);
    macro_page = build_page(Page::macro, macro_name_group);
    connect(lock_button, &QToolButton::clicked, this, [this] { lock_buttonClick(); });

    for (DocumentKind kind : all_document_kinds) {
        QComboBox* box = name_box(kind);
        connect(box, &QComboBox::activated, this, [this, kind] { state_.ops(kind).name_selected(selected_name(kind)); });
    }

    PageControl1->addTab(sample_list_page, page_caption(Page::sample_list));
    PageControl1->addTab(method_page, page_caption(Page::method));
    PageControl1->addTab(macro_page, page_caption(Page::macro));
    setCentralWidget(PageControl1);
}

QWidget* Tmain_form::build_page(Page which, QGroupBox* name_group)
{
    static const char* const page_names[] = {"sample_list_page", "method_page", "macro_page"};
    static const char* const placeholders[] = {
        "The sample list table is not available yet.",
        "The method editor is not available yet.",
        "The macro editor is not available yet.",
    };
    const std::size_t i = index_of(which);
    auto* p = new QWidget;
    p->setObjectName(page_names[i]);
    auto* layout = new QVBoxLayout(p);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(8);
    auto* top = new QHBoxLayout;
    top->setSpacing(10);
    top->addWidget(name_group, 0, Qt::AlignBottom);
    top->addStretch(1);
    layout->addLayout(top);
    auto* placeholder = new QLabel(placeholders[i]);
    placeholder->setObjectName("editor_placeholder");
    placeholder->setAlignment(Qt::AlignCenter);
    placeholder->setFrameShape(QFrame::StyledPanel);
    placeholder->setEnabled(false);
    layout->addWidget(placeholder, 1);
    top_rows_[i] = top;
    page_layouts_[i] = layout;
    editors_[i] = placeholder;
    return p;
}

void Tmain_form::add_to_top_row(Page which, QWidget* control)
{
    QHBoxLayout* row = top_rows_[index_of(which)];
    QWidget* item = control;
    if (!qobject_cast<QGroupBox*>(control)) {
        // A plain control lines up with the name box inside its group.
        item = new QWidget;
        auto* wrap = new QVBoxLayout(item);
        const QGroupBox* group = qobject_cast<QGroupBox*>(row->itemAt(0)->widget());
        const int bottom = group && group->layout() ? group->layout()->contentsMargins().bottom() + 1 : 0;
        wrap->setContentsMargins(0, 0, 0, bottom);
        wrap->addStretch(1);
        wrap->addWidget(control);
    }
    row->insertWidget(row->count() - 1, item, 0, Qt::AlignBottom);  // before the stretch
}

void Tmain_form::set_editor(Page which, QWidget* editor)
{
    const std::size_t i = index_of(which);
    delete page_layouts_[i]->replaceWidget(editors_[i], editor);
    delete editors_[i];
    editors_[i] = editor;
    page_layouts_[i]->setStretchFactor(editor, 1);
}

void Tmain_form::build_menu()
{
    MainMenu1 = menuBar();
    MainMenu1->setObjectName("MainMenu1");
    auto action = [this](QMenu* menu, const char* name, const QString& caption, void (Tmain_form::*handler)()) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        if (handler) connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return a;
    };
    File1 = MainMenu1->addMenu("&File");
    File1->setObjectName("File1");
    new_item = action(File1, "new_item", "&New Method", &Tmain_form::new_itemClick);
    save_item = action(File1, "save_item", "&Save Method", &Tmain_form::save_itemClick);
    save_as_item = action(File1, "save_as_item", "Save Method &As...", &Tmain_form::save_as_itemClick);
    delete_item = action(File1, "delete_item", "&Delete Method", &Tmain_form::delete_itemClick);
    print_item = action(File1, "print_item", "&Print Method", &Tmain_form::print_itemClick);
    File1->addSeparator();
    import_item = action(File1, "import_item", "&Import...", &Tmain_form::import_itemClick);
    options_item = File1->addMenu("&Options");
    options_item->setObjectName("options_item");
    port_item = action(options_item, "port_item", "&Port...", &Tmain_form::port_itemClick);
    GetObjectsfromKelvo1 = action(options_item, "GetObjectsfromKelvo1", "&Reload Kelvo Configuration",
                                  &Tmain_form::GetObjectsfromKelvo1Click);
    choose_method_folder = action(options_item, "choose_method_folder", "&Choose method folder...",
                                  &Tmain_form::choose_method_folderClick);
    status_item = action(options_item, "status_item", "&Status Box", &Tmain_form::status_itemClick);
    status_item->setCheckable(true);
    format_item = action(options_item, "format_item", "&Format Sample List...", &Tmain_form::format_itemClick);
    File1->addSeparator();
    Exit1 = action(File1, "Exit1", "E&xit", nullptr);
    connect(Exit1, &QAction::triggered, this, &QWidget::close);
    help_item = MainMenu1->addMenu("&Help");
    help_item->setObjectName("help_item");
    About2 = action(help_item, "About2", "&About", &Tmain_form::About2Click);
}

// ---- Accessors

QComboBox* Tmain_form::name_box(DocumentKind kind) const
{
    switch (kind) {
    case DocumentKind::sample_list: return list_select_box;
    case DocumentKind::macro: return macro_select_box;
    case DocumentKind::method: break;
    }
    return method_select_box;
}

QWidget* Tmain_form::page(Page which) const
{
    switch (which) {
    case Page::sample_list: return sample_list_page;
    case Page::macro: return macro_page;
    case Page::method: break;
    }
    return method_page;
}

QString Tmain_form::page_word() const { return kelvo::page_word(front_page()); }

// ---- Command line and start-up

void Tmain_form::apply_command_line(const CommandLineOptions& options)
{
    state_.set_options(options);
    set_masslynx_mode(options.masslynx());
    if (options.offline) state_.set_offline(true);
    options_item->menuAction()->setVisible(!options.masslynx());

    const QSignalBlocker block(PageControl1);
    const bool any_tab = options.sample_list_page || options.method_page || options.macro_page;
    for (Page p : all_document_kinds)
        PageControl1->setTabVisible(PageControl1->indexOf(page(p)), !any_tab || options.page_shown(p));
    // No tab at all: the bar goes, the method page stays in front.
    PageControl1->tabBar()->setVisible(any_tab);
    PageControl1->setCurrentWidget(page(options.first_page()));
    state_.set_previous_page(options.first_page());
    prepare_captions();
}

void Tmain_form::first_activation()
{
    if (first_activation_done_) return;
    first_activation_done_ = true;
    if (on_first_activation) on_first_activation();
    else standalone_first_activation();
}

void Tmain_form::standalone_first_activation()
{
    mark_started_program();
    prepare_captions();
    fill_name_boxes();
    if (method_folder().empty()) choose_method_folder_at_start();
    status_display().first_line_only(no_sample_list_text);
    // Without the instrument link nothing can reach the instrument.
    set_offline(true);
    set_title();
    apply_status_box_setting();
}

void Tmain_form::mark_started_program()
{
    log_message("Started program");
    state_.set_started_program(true);
}

void Tmain_form::set_firmware_version(const std::string& version)
{
    firmware_version_ = version;
    about_form->set_firmware_version(version);
}

void Tmain_form::choose_method_folder_at_start()
{
    folder_form->offer_demo_folder(installed_demo_folder(QCoreApplication::applicationDirPath().toStdString()),
                                   demo_copy_folder());
    if (folder_form->exec() == QDialog::Accepted && !folder_form->selected_folder().empty())
        state_.store_folder_choice(folder_form->selected_folder(), folder_form->folders());
    state_.empty_documents_for_folder();
}

// ---- Status window and bar

void Tmain_form::apply_status_box_setting()
{
    status_window_on_ = same_text(read_setting_text("Status Box", "True"), "True");
    status_item->setChecked(status_window_on_);
    status_form->setVisible(status_window_on_);
}

void Tmain_form::set_status_window(bool on)
{
    status_window_on_ = on;
    status_item->setChecked(on);
    status_form->setVisible(on);
    write_setting_text("Status Box", on ? "True" : "False");
}

StatusDisplay& Tmain_form::status_display() { return *status_form; }

QWidget* Tmain_form::splash_widget() { return kelvo_splash; }

void Tmain_form::reset_status_window() { status_display().first_line_only(no_sample_list_text); }

void Tmain_form::status_window_first_line(const std::string& text) { status_display().first_line_only(text); }

void Tmain_form::choose_method_folder_dialog()
{
    if (folder_form->exec() != QDialog::Accepted || folder_form->selected_folder().empty()) return;
    state_.store_folder_choice(folder_form->selected_folder(), folder_form->folders());
    fill_name_boxes();
}

void Tmain_form::set_status_text(const std::string& text) { status_panel->setText(to_qstring(text)); }

std::string Tmain_form::status_text() const { return from_qstring(status_panel->text()); }

void Tmain_form::store_status_position() { status_form->store_position(); }

void Tmain_form::store_window_centre() { kelvo::store_window_centre(this); }

// ---- MainView

Page Tmain_form::front_page() const
{
    QWidget* front = PageControl1->currentWidget();
    if (front == sample_list_page) return Page::sample_list;
    if (front == macro_page) return Page::macro;
    return Page::method;
}

void Tmain_form::show_page(Page which)
{
    changing_pages_ = true;
    PageControl1->setCurrentWidget(page(which));
    changing_pages_ = false;
}

void Tmain_form::prepare_captions()
{
    const DocumentKind kind = front_page();
    new_item->setText(to_qstring(document_caption(DocumentCommand::new_document, kind)));
    save_item->setText(to_qstring(document_caption(DocumentCommand::save, kind)));
    save_as_item->setText(to_qstring(document_caption(DocumentCommand::save_as, kind)));
    delete_item->setText(to_qstring(document_caption(DocumentCommand::delete_document, kind)));
    print_item->setText(to_qstring(document_caption(DocumentCommand::print, kind)));
    const bool sample_lists = state_.page_enabled(Page::sample_list);
    import_item->setVisible(sample_lists);
    format_item->setVisible(sample_lists);
}

void Tmain_form::set_title(const std::string& title) { setWindowTitle(to_qstring(title)); }

void Tmain_form::refill_names(DocumentKind kind)
{
    QComboBox* box = name_box(kind);
    if (method_folder().empty()) {
        // No folder, no documents: only a selected (unsaved) name stays.
        const std::string name = selected_name(kind);
        const QSignalBlocker block(box);
        box->clear();
        show_name(kind, name);
        return;
    }
    refill_keeping_selection(box, program_method_folder().path(folder_document(kind), "*"));
}

std::string Tmain_form::selected_name(DocumentKind kind) const { return kelvo::selected_name(name_box(kind)); }

void Tmain_form::show_name(DocumentKind kind, const std::string& name)
{
    QComboBox* box = name_box(kind);
    const QSignalBlocker block(box);
    if (name.empty()) {
        box->setCurrentIndex(-1);
        return;
    }
    add_name(box, name);
    select_name(box, name);
}

void Tmain_form::show_write_protection(bool read_only)
{
    lock_button->setIcon(QIcon(lock_images[read_only ? 0 : 1]));
    lock_button->setToolTip(read_only ? "Remove macro write protection" : "Write protect macro");
}

// ---- Handlers

void Tmain_form::new_itemClick() { state_.dispatch(DocumentCommand::new_document, from_qstring(new_item->text())); }
void Tmain_form::save_itemClick() { state_.dispatch(DocumentCommand::save, from_qstring(save_item->text())); }
void Tmain_form::save_as_itemClick() { state_.dispatch(DocumentCommand::save_as, from_qstring(save_as_item->text())); }
void Tmain_form::delete_itemClick()
{
    state_.dispatch(DocumentCommand::delete_document, from_qstring(delete_item->text()));
}
void Tmain_form::print_itemClick() { state_.dispatch(DocumentCommand::print, from_qstring(print_item->text())); }

QString Tmain_form::import_name_filter()
{
    const std::string ext = method_extension();
    // Qt reads the patterns from the last parentheses and splits them at
    // blanks; the details are hidden, so the description reads as intended.
    QStringList patterns;
    for (const std::string& e : {std::string(sample_list_extension), ext, std::string(macro_extension)}) {
        const QString q = to_qstring(e);
        for (const QString& v : {q, q.toLower(), q.toUpper()})
            if (!patterns.contains("*" + v)) patterns << "*" + v;
    }
    return to_qstring(import_filter_description(ext)) + " (" + patterns.join(' ') + ")";
}

void Tmain_form::import_itemClick()
{
    const QStringList chosen = choose_import_files(to_qstring(method_folder()));
    if (chosen.isEmpty()) return;
    std::vector<std::string> files;
    for (const QString& f : chosen) {
        const QString native = QDir::toNativeSeparators(f);
        bool ok = true;
        const std::string name = utf8_to_cp1252(native.toStdString(), &ok);
        // A name Windows-1252 cannot hold could not be named in documents.
        if (ok) files.push_back(name);
        else debug_line("skipped file " + native.toStdString());
    }
    state_.import_files(files);
}

void Tmain_form::port_itemClick() { state_.choose_port(); }

void Tmain_form::GetObjectsfromKelvo1Click() { state_.reload_configuration(); }

void Tmain_form::choose_method_folderClick()
{
    if (!method_folder().empty()) folder_form->put_on_top(method_folder());
    if (folder_form->exec() != QDialog::Accepted || folder_form->selected_folder().empty()) return;
    state_.store_folder_choice(folder_form->selected_folder(), folder_form->folders());
    state_.folder_chosen_from_menu();
}

void Tmain_form::status_itemClick() { set_status_window(!status_window_on_); }

void Tmain_form::format_itemClick() { state_.hooks().format_sample_list(); }

void Tmain_form::About2Click() { about_form->exec(); }

void Tmain_form::lock_buttonClick() { state_.toggle_macro_lock(); }

void Tmain_form::tray_buttonClick() { state_.hooks().show_trays(); }

void Tmain_form::log_file_buttonClick() { state_.hooks().show_log_viewer(); }

void Tmain_form::PageControl1Change()
{
    if (changing_pages_) return;
    changing_pages_ = true;
    state_.page_changed(front_page());
    changing_pages_ = false;
}

// ---- Events

void Tmain_form::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    if (!first_activation_queued_) {
        first_activation_queued_ = true;
        // Queued, so that the window is up before any dialog of start-up.
        QTimer::singleShot(0, this, [this] { first_activation(); });
    }
}

void Tmain_form::closeEvent(QCloseEvent* event)
{
    if (!closing_by_signal_ && !state_.confirm_close()) {
        event->ignore();
        return;
    }
    state_.close();
    status_form->hide();  // hidden, not closed: that would switch it off
    event->accept();
}

bool Tmain_form::event(QEvent* event)
{
    // Status tips of menus and controls would cover the panel's text.
    if (event->type() == QEvent::StatusTip) return true;
    return QMainWindow::event(event);
}

void Tmain_form::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) install_hint_handler();
}

// The handler goes in front of the others (the vial dialog installs its
// own) each time the window is activated.
void Tmain_form::install_hint_handler()
{
    qApp->removeEventFilter(this);
    qApp->installEventFilter(this);
}

bool Tmain_form::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip && watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        if (w->window() == this && show_hint(w, event)) return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

bool Tmain_form::show_hint(QWidget* control, QEvent* event)
{
    // A list's hint event arrives at its viewport.
    if (control->objectName().isEmpty()) {
        if (auto* area = qobject_cast<QAbstractScrollArea*>(control->parentWidget());
            area && area->viewport() == control)
            control = area;
    }
    const QString text = control->toolTip();
    if (text.isEmpty()) return false;  // item hints and the like: Qt's own
    auto* help = static_cast<QHelpEvent*>(event);
    const QPoint local = control->mapFromGlobal(help->globalPos());
    const HintTiming t = hint_timing(from_qstring(control->objectName()), local.y());
    const QRect rect = t.narrowed ? QRect(0, t.band_top, control->width(), t.band_bottom - t.band_top + 1)
                                  : control->rect();
    QToolTip::showText(help->globalPos(), text, control, rect, t.display_ms);
    return true;
}

// ---- Signals

void close_on_termination_signals(QWidget* window)
{
    on_termination_signals(window, [window] {
        if (auto* main = qobject_cast<Tmain_form*>(window)) main->set_closing_by_signal();
        window->close();
    });
}

}  // namespace kelvo
