#include "print/qt/text_printer.h"
#include "ground/documents.h"

#include "ground/clock.h"
#include "ground/log.h"
#include "ground/prompts.h"
#include "ground/qt/qt_text.h"
#include "language/macro.h"
#include "language/method.h"

#include <QDateTime>
#include <QFileInfo>
#include <QFontMetrics>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>

namespace kelvo {
namespace {

std::string date_text(const QDateTime& time)
{
    const QDateTime local = time.toLocalTime();
    LocalTime t;
    t.year = local.date().year();
    t.month = local.date().month();
    t.day = local.date().day();
    t.hour = local.time().hour();
    t.minute = local.time().minute();
    t.second = local.time().second();
    return log_time_text(t);
}

// The document's file, or the editor's lines with "not saved".
void document_lines(const std::string& path, const DocumentPrinter::EditorLines& editor_lines,
                    std::vector<std::string>& lines, DocumentDates& dates)
{
    if (document_file_exists(path) && read_document_lines(path, lines)) {
        dates = document_dates(path);
        return;
    }
    lines = editor_lines ? editor_lines() : std::vector<std::string>{};
    dates = unsaved_dates();
}

}  // namespace

std::unique_ptr<QPrinter> make_printer()
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageOrientation(QPageLayout::Portrait);
    printer->setDocName("Cadenzor");
    printer->setCreator("Cadenzor");
    return printer;
}

void set_pdf_output(QPrinter& printer, const QString& path)
{
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
}

QFont text_page_font()
{
    QFont font(QString::fromLatin1(text_page_font_name));
    font.setPointSize(text_page_font_size);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

TextPageMetrics text_page_metrics(QPrinter& printer)
{
    TextPageMetrics metrics;
    metrics.font_size = text_page_font_size;
    metrics.pixels_per_inch = printer.logicalDpiY();
    metrics.page_width = printer.width();
    metrics.page_height = printer.height();
    metrics.char_width = QFontMetrics(text_page_font(), &printer).horizontalAdvance(QLatin1Char('A'));
    return metrics;
}

bool print_text_pages(QPrinter& printer, const TextPages& pages)
{
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    QFont plain = text_page_font();
    QFont heading = plain;
    heading.setBold(true);
    heading.setUnderline(true);
    const int plain_ascent = QFontMetrics(plain, &printer).ascent();
    const int heading_ascent = QFontMetrics(heading, &printer).ascent();
    int page = 1;
    for (const TextPageItem& item : pages.items()) {
        while (page < item.page) {
            printer.newPage();
            ++page;
        }
        painter.setFont(item.heading ? heading : plain);
        // The layout gives the top of the line; Qt draws on the base line.
        painter.drawText(item.x, item.y + (item.heading ? heading_ascent : plain_ascent), to_qstring(item.text));
    }
    // Pages the layout moved to without drawing on them (a break before
    // an empty line) still count.
    while (page < pages.pages_used()) {
        printer.newPage();
        ++page;
    }
    return painter.end();
}

DocumentDates document_dates(const std::string& path)
{
    const QFileInfo info(to_qstring(path));
    if (!info.exists()) return unsaved_dates();
    const QDateTime changed = info.lastModified();
    const QDateTime created = info.birthTime().isValid() ? info.birthTime() : changed;
    return {date_text(created), date_text(changed), true};
}

// ---------------------------------------------------------------------------

DocumentPrinter::DocumentPrinter(QWidget* dialog_parent) : dialog_parent_(dialog_parent), printer_(make_printer())
{
    choose_printer = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, dialog_parent_);
        return dialog.exec() == QDialog::Accepted;
    };
}

DocumentPrinter::~DocumentPrinter() = default;

bool DocumentPrinter::print_method(const ConfigDb& db, const std::string& name, const EditorLines& editor_lines)
{
    if (name.empty()) {
        show_error("There is no currently loaded method");
        return false;
    }
    if (!choose_printer(*printer_)) return false;
    std::vector<std::string> lines;
    DocumentDates dates;
    document_lines(method_path(program_method_folder(), name), editor_lines, lines, dates);
    return print_text_pages(*printer_, method_pages(text_page_metrics(*printer_), db, program_method_folder(), name, lines, dates));
}

bool DocumentPrinter::print_macro(const ConfigDb& db, const std::string& name, const EditorLines& editor_lines)
{
    if (name.empty()) {
        show_error("There is no currently loaded macro");
        return false;
    }
    if (!choose_printer(*printer_)) return false;
    std::vector<std::string> lines;
    DocumentDates dates;
    document_lines(macro_path(program_method_folder(), name), editor_lines, lines, dates);
    return print_text_pages(*printer_, macro_pages(text_page_metrics(*printer_), db, name, lines, dates));
}

bool DocumentPrinter::print_log(const std::vector<std::string>& lines, int first, int last,
                                const std::string& heading)
{
    if (!choose_printer(*printer_)) return false;
    return print_text_pages(*printer_, log_pages(text_page_metrics(*printer_), lines, first, last, heading));
}

}  // namespace kelvo
