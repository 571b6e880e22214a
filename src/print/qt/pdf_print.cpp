#include "print/qt/pdf_print.h"
#include "ground/documents.h"

#include "config/config_db.h"
#include "language/method.h"
#include "print/qt/sample_list_print.h"
#include "print/qt/text_printer.h"
#include "samplelist/qt/sample_list_page.h"

#include <QApplication>
#include <QPrinter>

#include <memory>

namespace kelvo {
namespace {

// Fonts and the PDF engine need an application; nothing is shown.
class PrintApplication {
public:
    PrintApplication()
    {
        if (QCoreApplication::instance()) return;
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        app_ = std::make_unique<QApplication>(argc_, argv_);
    }

private:
    int argc_ = 1;
    char name_[13] = "cadenzor-cli";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
};

// A printer whose print dialog is the PDF file.
class PdfPrinter {
public:
    explicit PdfPrinter(const std::string& pdf)
    {
        printer.choose_printer = [pdf](QPrinter& p) {
            set_pdf_output(p, QString::fromStdString(pdf));
            return true;
        };
    }
    PrintApplication app;
    DocumentPrinter printer;
};

}  // namespace

bool print_method_pdf(const ConfigDb& db, const std::string& name, const std::string& pdf)
{
    PdfPrinter p(pdf);
    return p.printer.print_method(db, name, {});
}

bool print_macro_pdf(const ConfigDb& db, const std::string& name, const std::string& pdf)
{
    PdfPrinter p(pdf);
    return p.printer.print_macro(db, name, {});
}

bool print_sample_list_pdf(const ConfigDb& db, const std::string& name, const std::string& pdf)
{
    PdfPrinter p(pdf);
    // The page set up as at start.
    SampleListPage page(db);
    page.set_program_list(ProgramList::methods, method_names_in_folder(program_method_folder()));
    page.set_program_list(ProgramList::trays, objects_of_class(db, "TRAY"));
    page.set_program_list(ProgramList::injectors, objects_of_class(db, "INJECTOR"));
    page.set_up();
    if (!page.document().load(name)) return false;
    set_pdf_output(p.printer.printer(), QString::fromStdString(pdf));
    return print_sample_list(*page.sheet, p.printer.printer(), name, sample_list_dates(name)) > 0;
}

bool print_log_pdf(const std::vector<std::string>& lines, int first, int last, const std::string& pdf)
{
    PdfPrinter p(pdf);
    return p.printer.print_log(lines, first, last);
}

bool print_text_pdf(const std::string& heading, const std::vector<std::string>& lines, const std::string& pdf)
{
    PdfPrinter p(pdf);
    return p.printer.print_log(lines, 0, static_cast<int>(lines.size()) - 1, heading);
}

}  // namespace kelvo
