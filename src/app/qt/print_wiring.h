#pragma once
// Printing in the main window: "&Print Method" and "&Print Macro" of the
// File menu print the current method or macro, and "View &Log file" opens
// the log viewer. The sample list print joins here too.
#include <QObject>

#include <memory>

namespace kelvo {

class DocumentPrinter;
class MacroEditorPage;
class MethodEditorPage;
class Tlog_file_form;
class Tmain_form;

// Owns the printer (one print dialog for all prints) and the log viewer;
// a child of the main window.
class PrintWiring final : public QObject {
    Q_OBJECT
public:
    explicit PrintWiring(Tmain_form& form);
    ~PrintWiring() override;

    DocumentPrinter& printer() { return *printer_; }
    Tlog_file_form* log_file_form = nullptr;

private:
    std::unique_ptr<DocumentPrinter> printer_;
};

// Connects the pages' print commands and the log viewer's button.
PrintWiring* install_printing(Tmain_form& form, MacroEditorPage* macro_page, MethodEditorPage* method_page);

}  // namespace kelvo
