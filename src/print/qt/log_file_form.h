#pragma once
// The log viewer: the whole log file in a read-only text box, printed whole
// or by the lines the selection touches.
#include <QDialog>

#include <string>
#include <vector>

class QLabel;
class QPushButton;
class QTextEdit;

namespace kelvo {

class DocumentPrinter;

class Tlog_file_form : public QDialog {
    Q_OBJECT
public:
    // The printer (with its print dialog) is shared with the File menu's
    // prints and not owned.
    explicit Tlog_file_form(DocumentPrinter& printer, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QTextEdit* log_file_box = nullptr;
    QPushButton* print_button = nullptr;
    QPushButton* ok_button = nullptr;

    // Reads the whole log file into the box (each time the viewer opens).
    void load_log();
    void print_buttonClick();

    // The lines the box shows.
    const std::vector<std::string>& lines() const { return lines_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    DocumentPrinter& printer_;
    std::vector<std::string> lines_;
};

// The text the box shows when the log file cannot be read.
std::string unreadable_log_text(const std::string& path);

}  // namespace kelvo
