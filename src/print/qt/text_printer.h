#pragma once
// The printer side of the printouts: the printer set-up shared by the
// program and cadenzor-cli, the painter that draws the text pages, the
// file dates, and the method, macro and log prints with their print dialog.
#include "print/document_prints.h"
#include "print/text_pages.h"

#include <QFont>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QPrinter;
class QWidget;

namespace kelvo {

class ConfigDb;

// A4 at the printer's full resolution, the job name "Cadenzor".
std::unique_ptr<QPrinter> make_printer();
// Sends the job to a PDF file instead of a printer.
void set_pdf_output(QPrinter& printer, const QString& path);

// Courier New 10 (or the nearest fixed-pitch font there is).
QFont text_page_font();
TextPageMetrics text_page_metrics(QPrinter& printer);
// Draws the texts page by page; false when the printer could not start.
bool print_text_pages(QPrinter& printer, const TextPages& pages);

// The creation and last-write times of the file in the log's form; "not
// saved" when there is no such file. Where the file system keeps no
// creation time the last-write time stands in.
DocumentDates document_dates(const std::string& path);

// The text prints as the File menu and the log viewer run them.
class DocumentPrinter {
public:
    explicit DocumentPrinter(QWidget* dialog_parent = nullptr);
    ~DocumentPrinter();

    // The print dialog: true to print. Replaceable, so tests and
    // cadenzor-cli print to a PDF file without it.
    std::function<bool(QPrinter&)> choose_printer;
    QPrinter& printer() { return *printer_; }

    // The editor's document as its file would hold it, for a document that
    // was never saved.
    using EditorLines = std::function<std::vector<std::string>()>;
    // Prints the document's file; a document without a file is printed as
    // the editor holds it, "not saved" in place of its dates. False when
    // nothing was printed.
    bool print_method(const ConfigDb& db, const std::string& name, const EditorLines& editor_lines);
    bool print_macro(const ConfigDb& db, const std::string& name, const EditorLines& editor_lines);
    // Lines first to last of the log (after the print dialog).
    bool print_log(const std::vector<std::string>& lines, int first, int last,
                   const std::string& heading = "Log File");

private:
    QWidget* dialog_parent_;
    std::unique_ptr<QPrinter> printer_;
};

}  // namespace kelvo
