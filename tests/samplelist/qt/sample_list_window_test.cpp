// The Sample List page inside the main window with the demo folder: the
// window's selector, File commands and export item reach the list. With
// CADENZOR_SCREENSHOT set, the window is also rendered into that file
// (docs/sample_list.png is made this way).
#include "app/qt/main_form.h"
#include "ground/debug_lines.h"
#include "ground/prompts.h"
#include "language/bound_check.h"
#include "app/qt/sample_list_wiring.h"
#include "config/config_db.h"
#include "ground/file_io.h"
#include "ground/qt/spread_grid.h"
#include "samplelist/qt/sample_list_page.h"
#include "trays/qt/tray_form.h"
#include "../sample_list_support.h"
#include "language/bound_check.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPixmap>
#include <QTimer>

#include <cstdlib>
#include <filesystem>

namespace kelvo::samplelist_test {
namespace {

class SampleListWindowTest : public SampleListFixture {
protected:
    void SetUp() override
    {
        SampleListFixture::SetUp();
        const std::filesystem::path demo = std::filesystem::path(KELVO_SOURCE_DIR) / "examples" / "methods";
        for (const auto& entry : std::filesystem::directory_iterator(demo))
            std::filesystem::copy_file(entry.path(), dir.path() / entry.path().filename(),
                                       std::filesystem::copy_options::overwrite_existing);
        std::vector<std::string> lines;
        ASSERT_TRUE(read_text_lines(dir.file("latest_kelvo.kol"), lines));
        ASSERT_TRUE(parse_configuration(config(), lines, prompts, debug_line));
    }
};

TEST_F(SampleListWindowTest, TheWindowsCommandsReachTheDemoList)
{
    Tmain_form form;
    form.on_first_activation = [] {};
    SampleListPage* page = install_sample_list_page(form, nullptr, nullptr);
    page->set_program_list(ProgramList::trays, objects_of_class(config(), "TRAY"));
    page->set_program_list(ProgramList::injectors, objects_of_class(config(), "INJECTOR"));
    page->set_up();
    form.resize(1280, 800);
    form.show_page(Page::sample_list);
    form.prepare_captions();
    form.state().refresh_names(DocumentKind::sample_list);
    form.show();
    QApplication::processEvents();

    // The selector offers the demo lists; picking one by key loads it.
    ASSERT_GE(form.list_select_box->count(), 2);
    form.list_select_box->setCurrentIndex(-1);
    QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
    QCoreApplication::sendEvent(form.list_select_box, &down);
    EXPECT_EQ(page->document().name(), "Cooled Samples");
    EXPECT_EQ(page->sheet->max_rows(), 6);
    QCoreApplication::sendEvent(form.list_select_box, &down);
    EXPECT_EQ(page->document().name(), "Demo Batch");
    EXPECT_EQ(page->sheet->max_rows(), 8);
    page->table().set_status(1, RowStatus::done);
    page->table().set_status(2, RowStatus::done);
    page->table().set_status(3, RowStatus::running);
    // The service timer's tick repaints the status cells.
    form.kelvo_service_timer->start(0);
    QApplication::processEvents();
    form.kelvo_service_timer->stop();
    page->sheet->set_col(column_no::status);
    page->sheet->set_row(3);
    EXPECT_EQ(page->sheet->text(), "Running");

    // "&Save Sample List" writes the list as it was read.
    const std::string before = read_list("Demo Batch");
    EXPECT_EQ(form.save_item->text(), "&Save Sample List");
    form.save_item->trigger();
    EXPECT_EQ(read_list("Demo Batch"), before);
    auto* export_item = form.findChild<QAction*>("export_item");
    ASSERT_NE(export_item, nullptr);
    EXPECT_TRUE(export_item->isVisible());
    page->export_file_dialog = [](const std::string&, const std::string&, const std::string&, const std::string& name) {
        return std::optional<std::string>(name);
    };
    export_item->trigger();
    EXPECT_TRUE(std::filesystem::exists(dir.file("Demo Batch.txt")));
    EXPECT_TRUE(shown().empty()) << shown().front();

    const QPixmap shot = form.grab();
    ASSERT_FALSE(shot.isNull());
    if (const char* path = std::getenv("CADENZOR_SCREENSHOT")) {
        EXPECT_TRUE(shot.save(QString::fromLocal8Bit(path)));
    }

    // The vial dialog's default sheet shows the other columns; its values
    // go into the rows it adds.
    Ttray_form dialog(&form);
    connect_vial_dialog(*page, dialog);
    dialog.hooks().load_defaults(*dialog.default_sheet);
    SpreadGrid& defaults = *dialog.default_sheet;
    ASSERT_EQ(defaults.max_cols(), 7);
    EXPECT_EQ(defaults.model()->headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Method");
    EXPECT_EQ(defaults.model()->headerData(6, Qt::Horizontal, Qt::DisplayRole).toString(), "Inj/Vial");
    defaults.set_col(1);
    defaults.set_row(1);
    defaults.set_value("Wash Cycles");
    dialog.hooks().save_defaults(defaults);  // closed and opened again: the value stays
    EXPECT_EQ(settings.read("Tray Page Column defaults", "Method")->text, "Wash Cycles");
    EXPECT_FALSE(settings.read("Tray Page Column defaults", "Tray").has_value());
    defaults.set_value("Something Else");
    dialog.hooks().load_defaults(defaults);
    defaults.set_col(1);
    defaults.set_row(1);
    EXPECT_EQ(defaults.value(), "Wash Cycles");
    dialog.hooks().add_rows({3, 4}, "Tray3", false);
    ASSERT_EQ(page->table().rows(), 10);
    EXPECT_EQ(page->table().cell(column_no::method, 10), "Wash Cycles");
    EXPECT_EQ(page->table().cell(column_no::tray, 10), "Tray3");
    EXPECT_EQ(page->table().cell(column_no::vial, 9), "3");
    EXPECT_EQ(page->sheet->max_rows(), 10);

    // Leaving the page for the method page hides the export item.
    form.PageControl1->setCurrentWidget(form.method_page);
    EXPECT_FALSE(export_item->isVisible());
}

}  // namespace
}  // namespace kelvo::samplelist_test
