#include "app/qt/column_wiring.h"

#include "app/main_hooks.h"
#include "app/qt/main_form.h"
#include "datasystem/data_system_link.h"
#include "ground/debug_lines.h"
#include "ground/prompts.h"
#include "ground/qt/spread_grid.h"
#include "ground/settings.h"
#include "samplelist/column_definitions.h"
#include "samplelist/column_settings.h"
#include "samplelist/qt/column_form.h"
#include "samplelist/qt/sample_list_page.h"
#include "trays/qt/tray_form.h"

#include <QObject>

#include <memory>

namespace kelvo {

namespace {

void report(const ColumnFileReport& r)
{
    if (r.problems.empty()) return;
    std::string text;
    for (const std::string& problem : r.problems) {
        debug_line(problem);
        text += (text.empty() ? "" : "\n") + problem;
    }
    prompts().show_error(text);
}

class ColumnFormHooks final : public ForwardingMainHooks {
public:
    ColumnFormHooks(MainHooks& next, Tmain_form& main, SampleListPage& page, Ttray_form* tray_form)
        : ForwardingMainHooks(next), main_(main), page_(page), tray_form_(tray_form)
    {
    }
    void format_sample_list() override
    {
        if (!page_.set_up_done()) return;
        Tcolumnform form(page_.document().columns(),
                         [this](ProgramList list) { return page_.program_list(list); }, &main_);
        form.applied = [this] { applied(); };
        form.exec();
    }

private:
    void applied()
    {
        ColumnTable& columns = page_.document().columns();
        page_.refresh_columns();
        // The test values form takes the columns when it opens; the vial
        // dialog's default sheet is set up again when it shows.
        if (tray_form_ && tray_form_->isVisible() && tray_form_->default_sheet)
            page_.set_up_default_sheet(*tray_form_->default_sheet);
        save_column_visibility(settings_store(), columns);
        save_column_defaults(settings_store(), columns);
    }

    Tmain_form& main_;
    SampleListPage& page_;
    Ttray_form* tray_form_;
};

}  // namespace

void install_column_settings(Tmain_form& main, SampleListPage& page, DataSystemLink* data_system,
                             Ttray_form* tray_form, const std::string& columns_file)
{
    // A file named before the grid is set up is read when it is (the fixed
    // columns are built then, and would drop what was added before).
    auto pending = std::make_shared<std::vector<std::string>>();
    if (!columns_file.empty()) pending->push_back(columns_file);
    page.prepare_columns = [pending](ColumnTable& columns) {
        for (const std::string& path : *pending) report(read_column_definition_file(path, columns));
        pending->clear();
        load_column_settings(settings_store(), columns);
    };
    if (data_system) {
        data_system->set_column_reader([&page, pending](const std::string& path) {
            if (!page.set_up_done()) {
                pending->push_back(path);
                return;
            }
            ColumnTable& columns = page.document().columns();
            report(read_column_definition_file(path, columns));
            load_column_settings(settings_store(), columns);
            page.refresh_columns();
        });
    }

    QObject::connect(page.sheet, &SpreadGrid::OnColWidthChange, &page, [&page](int col1, int col2) {
        ColumnTable& columns = page.document().columns();
        for (int col = std::max(col1, 1); col <= std::min(col2, columns.count()); ++col)
            columns.column(col).width = page.sheet->col_width(col);
        save_column_widths(settings_store(), columns);
    });

    auto* hooks = new ColumnFormHooks(main.state().hooks(), main, page, tray_form);
    main.state().set_hooks(hooks);
    QObject::connect(&main, &QObject::destroyed, [hooks] { delete hooks; });
}

}  // namespace kelvo
