#include "app/qt/print_wiring.h"
#include "ground/documents.h"

#include "app/qt/main_form.h"
#include "config/config_db.h"
#include "language/macro.h"
#include "language/method.h"
#include "language/qt/macro_page.h"
#include "language/qt/method_page.h"
#include "print/qt/log_file_form.h"
#include "print/qt/sample_list_print.h"
#include "samplelist/qt/sample_list_page.h"
#include "print/qt/text_printer.h"

#include <QPushButton>

namespace kelvo {

PrintWiring::PrintWiring(Tmain_form& form) : QObject(&form), printer_(std::make_unique<DocumentPrinter>(&form))
{
    setObjectName("print_wiring");
    log_file_form = new Tlog_file_form(*printer_, &form);
}

PrintWiring::~PrintWiring() = default;

PrintWiring* install_printing(Tmain_form& form, MacroEditorPage* macro_page, MethodEditorPage* method_page,
                              SampleListPage* sample_list_page)
{
    auto* wiring = new PrintWiring(form);
    if (macro_page) {
        QObject::connect(macro_page, &MacroEditorPage::print_requested, wiring, [wiring, macro_page] {
            const MacroDocument& macro = macro_page->document();
            wiring->printer().print_macro(config(), macro.name(), [&macro] { return macro_file_lines(macro.text()); });
        });
    }
    if (method_page) {
        QObject::connect(method_page, &MethodEditorPage::print_requested, wiring, [wiring, method_page] {
            const MethodDocument& method = method_page->document();
            wiring->printer().print_method(config(), method.name(),
                                           [&method] { return method_file_lines(program_method_folder(), method.text()); });
        });
    }
    if (sample_list_page) {
        // No print dialog: the grid prints on the printer last chosen.
        QObject::connect(sample_list_page, &SampleListPage::print_requested, wiring, [wiring, sample_list_page] {
            const std::string name = sample_list_page->document().name();
            print_sample_list(*sample_list_page->sheet, wiring->printer().printer(), name, sample_list_dates(name));
        });
    }
    // The window's own handler asks its hooks, which have no viewer.
    QObject::connect(form.log_file_button, &QPushButton::clicked, wiring,
                     [wiring] { wiring->log_file_form->exec(); });
    return wiring;
}

}  // namespace kelvo
