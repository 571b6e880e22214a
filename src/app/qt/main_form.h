#pragma once
// The program's main window: the three editor pages, the menu whose document
// commands act on the page in front, and the status bar.
#include <QMainWindow>

class QAction;
class QMenu;
class QStatusBar;
class QTabWidget;
class QWidget;

namespace kelvo {

class Tmain_form : public QMainWindow {
    Q_OBJECT
public:
    explicit Tmain_form(QWidget* parent = nullptr);
    ~Tmain_form() override;

    QTabWidget* PageControl1 = nullptr;
    QWidget* sample_list_page = nullptr;
    QWidget* method_page = nullptr;
    QWidget* macro_page = nullptr;
    QStatusBar* StatusBar1 = nullptr;

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

    // The word of the page in front: "Sample List", "Method" or "Macro".
    QString page_word() const;
    // Builds the captions of the five document items from the page word.
    void prepare_captions();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build_menu();
    bool closed_logged_ = false;
};

// Closes the window as its close button does when the process receives
// SIGTERM or SIGINT.
void close_on_termination_signals(QWidget* window);

}  // namespace kelvo
