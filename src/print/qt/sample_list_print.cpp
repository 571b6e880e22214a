#include "print/qt/sample_list_print.h"

#include "ground/documents.h"
#include "ground/qt/qt_text.h"
#include "ground/qt/spread_grid.h"
#include "language/macro.h"
#include "print/qt/text_printer.h"

namespace kelvo {

int print_sample_list(SpreadGrid& sheet, QPrinter& printer, const std::string& name, const DocumentDates& dates)
{
    sheet.set_print_job_name("Cadenzor");
    sheet.set_print_header(to_qstring(sample_list_print_header(name, dates)));
    sheet.set_print_footer(QString());
    sheet.set_print_border(true);
    sheet.set_print_col_headers(true);
    sheet.set_print_color(false);
    sheet.set_print_grid(true);
    sheet.set_print_margin_top(1440);
    sheet.set_print_margin_bottom(1440);
    sheet.set_print_margin_left(720);
    sheet.set_print_margin_right(720);
    sheet.set_print_row_headers(true);
    sheet.set_print_shadows(false);
    // The whole sheet, as the grid's print action does it.
    return sheet.print(printer);
}

DocumentDates sample_list_dates(const std::string& name)
{
    return document_dates(program_method_folder().existing_path(FolderDocument::sample_list, name));
}

}  // namespace kelvo
