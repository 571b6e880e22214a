// "Define columns of sample list" by mouse and keyboard, on its own and
// from the main window's "&Format Sample List...", with the column settings
// it saves and the data system's columns read at grid set-up.
#include "app/qt/column_wiring.h"
#include "app/qt/main_form.h"
#include "app/qt/sample_list_wiring.h"
#include "ground/ini_file.h"
#include "ground/qt/spread_grid.h"
#include "samplelist/column_definitions.h"
#include "samplelist/column_settings.h"
#include "samplelist/qt/column_form.h"
#include "samplelist/qt/sample_list_page.h"
#include "../sample_list_support.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace kelvo::samplelist_test {
namespace {

const char* const ten_more =
    "[system]\nNumberofcolumns=10\n"
    "[column1]\nSpec=Sample Name#1#Blank#text\nSettings=20\n"
    "[column2]\nSpec=Dilution#0#1#numeric\nSettings=0#100#2\n"
    "[column3]\nSpec=Sample Type#0#Y#list\nSettings=0#1#3#1\nLine1=X#Y#Z#\n"
    "[column4]\nSpec=Bracket#0#1#checkbox\n"
    "[column5]\nSpec=C5#0##text\n[column6]\nSpec=C6#0##text\n[column7]\nSpec=C7#0##text\n"
    "[column8]\nSpec=C8#0##text\n[column9]\nSpec=C9#0##text\n[column10]\nSpec=C10#0##text\n";

class ColumnFormTest : public SampleListFixture {
protected:
    std::vector<std::string> entries(ProgramList list) const
    {
        if (list == ProgramList::methods) return {"Big", "Standard Injection"};
        return {};
    }
};

TEST_F(ColumnFormTest, TenColumnsShowTheLeftHalfAndApplyTakesTheControls)
{
    ColumnTable& columns = document.columns();
    Tcolumnform form(columns, [this](ProgramList l) { return entries(l); });
    int applied = 0;
    form.applied = [&] { ++applied; };
    form.show();
    QApplication::processEvents();

    EXPECT_EQ(form.width(), Tcolumnform::designed_width / 2);
    EXPECT_EQ(form.windowTitle(), "Define columns of sample list");
    EXPECT_EQ(form.StaticText[0]->text(), "Status");
    EXPECT_TRUE(form.CheckBox[0]->isChecked());
    EXPECT_TRUE(form.StaticText[9]->isVisible());
    EXPECT_FALSE(form.StaticText[10]->isVisible());
    EXPECT_FALSE(form.CheckBox[10]->isVisible());
    // Method is a choice column: its combo, with the default selected.
    EXPECT_TRUE(form.ComboBox[1]->isVisible());
    EXPECT_FALSE(form.Edit[1]->isVisible());
    EXPECT_EQ(form.ComboBox[1]->currentText(), "Standard Injection");
    // Volume is a text column: its edit.
    EXPECT_TRUE(form.Edit[2]->isVisible());
    EXPECT_EQ(form.Edit[2]->text(), "1.0");

    QTest::mouseClick(form.CheckBox[2], Qt::LeftButton);
    form.Edit[2]->selectAll();
    QTest::keyClicks(form.Edit[2], "2.5");
    QTest::keyClick(form.ComboBox[1], Qt::Key_Up);
    QTest::mouseClick(form.apply_button, Qt::LeftButton);
    EXPECT_EQ(applied, 1);
    EXPECT_TRUE(columns.column(column_no::volume).hidden);
    EXPECT_EQ(columns.column(column_no::volume).default_text, "2.5");
    EXPECT_EQ(columns.column(column_no::method).default_text, "Big");
    EXPECT_FALSE(columns.column(column_no::tray).hidden);

    // Cancel leaves everything as it is.
    QTest::mouseClick(form.CheckBox[3], Qt::LeftButton);
    QTest::mouseClick(form.cancel_button, Qt::LeftButton);
    EXPECT_FALSE(columns.column(column_no::tray).hidden);
    EXPECT_EQ(applied, 1);
}

TEST_F(ColumnFormTest, TwentyColumnsUseTheFullWidth)
{
    ColumnTable& columns = document.columns();
    read_column_definitions(IniFile(ten_more), columns);
    ASSERT_EQ(columns.count(), 20);
    columns.column(12).default_text = "7";  // Dilution
    columns.column(13).default_text = "W";  // not among X, Y, Z
    Tcolumnform form(columns, [this](ProgramList l) { return entries(l); });
    form.show();
    QApplication::processEvents();

    EXPECT_EQ(form.width(), Tcolumnform::designed_width);
    EXPECT_TRUE(form.StaticText[19]->isVisible());
    EXPECT_EQ(form.StaticText[16]->text(), "C7");
    EXPECT_FALSE(form.StaticText[20]->isVisible());
    EXPECT_GE(form.StaticText[16]->x(), Tcolumnform::designed_width / 2);  // the right half
    EXPECT_EQ(form.Edit[11]->text(), "7");
    EXPECT_TRUE(form.ComboBox[12]->isVisible());
    EXPECT_EQ(form.ComboBox[12]->count(), 3);
    EXPECT_EQ(form.ComboBox[12]->currentIndex(), -1);
    // A check box column has neither edit nor combo.
    EXPECT_FALSE(form.Edit[13]->isVisible());
    EXPECT_FALSE(form.ComboBox[13]->isVisible());

    QTest::mouseClick(form.CheckBox[16], Qt::LeftButton);
    QTest::mouseClick(form.ok_button, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
    EXPECT_TRUE(columns.column(17).hidden);
    EXPECT_EQ(columns.column(12).default_text, "7");
    EXPECT_EQ(columns.column(13).default_text, "W");  // no entry chosen: kept
    EXPECT_EQ(columns.column(14).default_text, "");   // check box: the (empty) edit
}

TEST_F(ColumnFormTest, TheMainWindowReadsSavesAndAppliesColumnSettings)
{
    test::write_file(dir.file("columns.ini"), ten_more);
    settings.write(widths_key, "Sample Name", double_setting(14));
    settings.write(visibility_key, "Dilution", SettingValue::of_dword(0));

    Tmain_form form;
    form.on_first_activation = [] {};
    SampleListPage* page = install_sample_list_page(form, nullptr, nullptr);
    install_column_settings(form, *page, nullptr, nullptr, dir.file("columns.ini"));
    page->set_up();
    form.show_page(Page::sample_list);
    form.show();
    QApplication::processEvents();

    const ColumnTable& columns = page->document().columns();
    ASSERT_EQ(columns.count(), 20);
    EXPECT_EQ(page->sheet->max_cols(), 20);
    EXPECT_EQ(columns.column(11).width, 14);
    EXPECT_EQ(columns.column(3).width, 0);  // known key, no value for Volume
    EXPECT_TRUE(columns.column(12).hidden);
    page->sheet->set_col(12);
    EXPECT_TRUE(page->sheet->col_hidden());

    // "&Format Sample List...": hide Vial, show Dilution, OK.
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<Tcolumnform*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        seen = true;
        QTest::mouseClick(dialog->CheckBox[column_no::vial - 1], Qt::LeftButton);
        QTest::mouseClick(dialog->CheckBox[11], Qt::LeftButton);
        QTest::mouseClick(dialog->ok_button, Qt::LeftButton);
    });
    form.format_item->trigger();
    EXPECT_TRUE(seen);
    EXPECT_TRUE(columns.column(column_no::vial).hidden);
    EXPECT_FALSE(columns.column(12).hidden);
    page->sheet->set_col(column_no::vial);
    EXPECT_TRUE(page->sheet->col_hidden());
    EXPECT_EQ(settings.read(visibility_key, "Vial"), SettingValue::of_dword(0));
    EXPECT_EQ(settings.read(visibility_key, "Dilution"), SettingValue::of_dword(1));
    EXPECT_EQ(settings.read(defaults_key, "Sample Name")->text, "Blank");

    // A width the user changes is saved at once.
    page->sheet->horizontalHeader()->resizeSection(10, 300);
    EXPECT_EQ(setting_double(*settings.read(widths_key, "Sample Name")), page->sheet->col_width(11));
}

}  // namespace
}  // namespace kelvo::samplelist_test
