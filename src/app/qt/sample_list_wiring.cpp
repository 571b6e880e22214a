#include "app/qt/sample_list_wiring.h"
#include "ground/documents.h"

#include "ground/document_ops.h"
#include "app/qt/main_form.h"
#include "app/qt/print_wiring.h"
#include "config/config_db.h"
#include "ground/qt/qt_text.h"
#include "ground/settings.h"
#include "ground/text_utils.h"
#include "language/method.h"
#include "language/qt/method_page.h"
#include "print/qt/sample_list_print.h"
#include "print/qt/text_printer.h"
#include "link/qt/startup_ui.h"
#include "samplelist/column_settings.h"
#include "samplelist/qt/sample_list_page.h"
#include "trays/qt/tray_form.h"

#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QTabWidget>
#include <QTimer>

#include <memory>

namespace kelvo {

namespace {

// The window's document commands on the sample list.
class SampleListOps final : public DocumentOps {
public:
    explicit SampleListOps(SampleListPage& page) : page_(page) {}
    void save(const std::string& selected_name) override { page_.document().save(selected_name); }
    void save_as(const std::string&) override { page_.document().save_as(); }
    void print(const std::string&) override { emit page_.print_requested(); }
    void ask_to_save() override { page_.document().ask_to_save(); }
    void start_empty(const std::string& name) override { page_.document().start_empty(name); }
    // The page takes the selector's choices itself.
    void name_selected(const std::string&) override {}
    void names_refreshed() override { page_.set_program_list(ProgramList::methods, method_names_in_folder(program_method_folder())); }

private:
    SampleListPage& page_;
};

}  // namespace

SampleListPage* install_sample_list_page(Tmain_form& form, StartupController* startup, MethodEditorPage* method_page)
{
    auto* page = new SampleListPage(config(), form.sample_list_page);
    form.set_editor(Page::sample_list, page);
    page->adopt_name_box(form.list_select_box);
    // The window's own connection of the selector goes to the (empty)
    // name_selected above; the page's does the work.
    auto* ops = new SampleListOps(*page);
    QObject::connect(page, &QObject::destroyed, page, [ops] { delete ops; });
    form.state().set_document_ops(DocumentKind::sample_list, ops);

    page->set_program_list(ProgramList::methods, method_names_in_folder(program_method_folder()));
    if (method_page)
        QObject::connect(method_page, &MethodEditorPage::method_names_changed, page,
                         [page, method_page] { page->set_program_list(ProgramList::methods, method_page->method_names()); });

    const auto configuration_read = [page] {
        page->set_program_list(ProgramList::trays, objects_of_class(config(), "TRAY"));
        page->set_program_list(ProgramList::injectors, objects_of_class(config(), "INJECTOR"));
        page->set_up();
    };
    if (startup) {
        startup->add_configuration_listener(configuration_read);
        // Only at start: a later reload keeps the list being edited.
        auto restored = std::make_shared<bool>(false);
        startup->set_reopener(DocumentKind::sample_list, [page, configuration_read, restored] {
            if (!page->set_up_done()) configuration_read();
            if (*restored) return;
            *restored = true;
            page->document().restore_at_start(true);
        });
    }

    page->open_method = [&form, method_page](const std::string& method) {
        if (!method_page || !form.state().page_enabled(Page::method) || !method_file_exists(program_method_folder(), method)) return;
        if (same_text(from_qstring(form.method_select_box->currentText()), method)) return;
        method_page->select_method(method);
    };
    QObject::connect(form.kelvo_service_timer, &QTimer::timeout, page, [page] { page->repaint_statuses(); });

    auto* export_item = new QAction("E&xport Sample List...", &form);
    export_item->setObjectName("export_item");
    form.File1->insertAction(form.import_item, export_item);
    QObject::connect(export_item, &QAction::triggered, page, [page] { page->document().export_list(); });
    const auto follow_page = [&form, export_item] {
        export_item->setVisible(form.front_page() == Page::sample_list);
    };
    QObject::connect(form.PageControl1, &QTabWidget::currentChanged, export_item, follow_page);
    follow_page();
    return page;
}

void connect_vial_dialog(SampleListPage& page, Ttray_form& dialog)
{
    TrayFormHooks& hooks = dialog.hooks();
    hooks.add_rows = [&page, &dialog](const std::vector<int>& vials, const std::string& tray, bool insert) {
        page.add_vial_rows(vials, tray, insert, dialog.default_sheet);
    };
    // The sheet keeps its values in the settings from one opening to the next.
    hooks.load_defaults = [&page](SpreadGrid& sheet) {
        page.set_up_default_sheet(sheet);
        std::vector<std::string> values = page.tray_page_values(sheet);
        load_tray_page_defaults(settings_store(), page.document().columns(), values);
        page.show_default_sheet_values(sheet, values);
    };
    hooks.save_defaults = [&page](SpreadGrid& sheet) {
        save_tray_page_defaults(settings_store(), page.document().columns(), page.tray_page_values(sheet));
    };
}

}  // namespace kelvo
