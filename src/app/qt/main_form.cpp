#include "app/qt/main_form.h"

#include "app/log.h"
#include "app/qt/qt_text.h"
#include "app/qt/window_place.h"

#include <QCloseEvent>
#include <QMenuBar>
#include <QSocketNotifier>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace kelvo {

Tmain_form::Tmain_form(QWidget* parent) : QMainWindow(parent)
{
    setObjectName("main_form");
    setWindowTitle("KELVO Cadenzor");
    resize(1100, 720);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    sample_list_page = new QWidget;
    sample_list_page->setObjectName("sample_list_page");
    method_page = new QWidget;
    method_page->setObjectName("method_page");
    macro_page = new QWidget;
    macro_page->setObjectName("macro_page");
    PageControl1->addTab(sample_list_page, "Sample List");
    PageControl1->addTab(method_page, "Method Editor");
    PageControl1->addTab(macro_page, "Macro Editor");
    setCentralWidget(PageControl1);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    setStatusBar(StatusBar1);
    set_status_sink([this](const std::string& text) { StatusBar1->showMessage(to_qstring(text)); });

    build_menu();
    prepare_captions();
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] { prepare_captions(); });
}

Tmain_form::~Tmain_form() { set_status_sink({}); }

void Tmain_form::build_menu()
{
    auto action = [this](QMenu* menu, const char* name, const QString& caption) {
        QAction* a = menu->addAction(caption);
        a->setObjectName(name);
        return a;
    };
    File1 = menuBar()->addMenu("&File");
    File1->setObjectName("File1");
    new_item = action(File1, "new_item", "&New Method");
    save_item = action(File1, "save_item", "&Save Method");
    save_as_item = action(File1, "save_as_item", "Save Method &As...");
    delete_item = action(File1, "delete_item", "&Delete Method");
    print_item = action(File1, "print_item", "&Print Method");
    File1->addSeparator();
    import_item = action(File1, "import_item", "&Import...");
    options_item = File1->addMenu("&Options");
    options_item->setObjectName("options_item");
    port_item = action(options_item, "port_item", "&Port...");
    GetObjectsfromKelvo1 = action(options_item, "GetObjectsfromKelvo1", "&Reload Kelvo Configuration");
    choose_method_folder = action(options_item, "choose_method_folder", "&Choose method folder...");
    status_item = action(options_item, "status_item", "&Status Box");
    status_item->setCheckable(true);
    format_item = action(options_item, "format_item", "&Format Sample List...");
    File1->addSeparator();
    Exit1 = action(File1, "Exit1", "E&xit");
    connect(Exit1, &QAction::triggered, this, &QWidget::close);
    help_item = menuBar()->addMenu("&Help");
    help_item->setObjectName("help_item");
    About2 = action(help_item, "About2", "&About");
}

QString Tmain_form::page_word() const
{
    QWidget* front = PageControl1->currentWidget();
    if (front == sample_list_page) return "Sample List";
    if (front == macro_page) return "Macro";
    return "Method";
}

void Tmain_form::prepare_captions()
{
    const QString word = page_word();
    new_item->setText("&New " + word);
    save_item->setText("&Save " + word);
    save_as_item->setText("Save " + word + " &As...");
    delete_item->setText("&Delete " + word);
    print_item->setText("&Print " + word);
}

void Tmain_form::closeEvent(QCloseEvent* event)
{
    if (!closed_logged_) {
        store_window_centre(this);
        log_only("Closed program");
        closed_logged_ = true;
    }
    event->accept();
}

namespace {
int signal_fds[2] = {-1, -1};

void on_signal(int)
{
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(signal_fds[1], &c, 1);
}
}  // namespace

void close_on_termination_signals(QWidget* window)
{
    if (signal_fds[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM, 0, signal_fds) != 0) return;
    auto* notifier = new QSocketNotifier(signal_fds[0], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char c;
        [[maybe_unused]] const auto n = ::read(signal_fds[0], &c, 1);
        window->close();
    });
    struct sigaction sa {};
    sa.sa_handler = on_signal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
}

}  // namespace kelvo
