// The Sample List page driven by mouse and keys: typed cells, "None",
// status colours, the cyan active cell, header clicks, the keyboard
// clipboard with its edit check, Enter past the last cell, the buttons, the
// selector and leaving a row.
#include "ground/qt/qt_text.h"
#include "ground/qt/spread_grid.h"
#include "samplelist/qt/sample_list_page.h"
#include "../sample_list_support.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>

namespace kelvo::samplelist_test {
namespace {

void press(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {})
{
    QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
    QCoreApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
    QCoreApplication::sendEvent(target, &up);
}

void type_text(QWidget* target, const QString& text)
{
    for (QChar c : text) {
        const int key = c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A') : c.unicode();
        press(target, key, Qt::NoModifier, QString(c));
    }
}

void click(QWidget* target, const QPoint& at)
{
    QMouseEvent down(QEvent::MouseButtonPress, at, target->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &down);
    QMouseEvent up(QEvent::MouseButtonRelease, at, target->mapToGlobal(at), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &up);
}

class SampleListPageTest : public SampleListFixture {
protected:
    void SetUp() override
    {
        SampleListFixture::SetUp();
        page = std::make_unique<SampleListPage>(demo_db());
        page->set_program_list(ProgramList::methods, {"Big", "Standard Injection"});
        page->set_program_list(ProgramList::trays, {"Tray1", "Tray2"});
        page->set_program_list(ProgramList::injectors, {"LCVlv1", "LCVlv2"});
        page->set_up();
        page->open_method = [this](const std::string& m) { opened.push_back(m); };
        page->resize(1100, 500);
        page->show();
        QApplication::clipboard()->clear();
    }
    void TearDown() override
    {
        page.reset();
        SampleListFixture::TearDown();
    }
    SpreadGrid& sheet() { return *page->sheet; }
    SampleTable& table() { return page->table(); }
    void rows(int n)
    {
        for (int i = 1; i <= n; ++i)
            page->table().append_line();
        opened.clear();
    }
    QString shown_text(int col, int row)
    {
        sheet().set_block_mode(false);
        sheet().set_col(col);
        sheet().set_row(row);
        return sheet().text();
    }
    QColor colour(int col, int row)
    {
        sheet().set_block_mode(false);
        sheet().set_col(col);
        sheet().set_row(row);
        return sheet().back_color();
    }
    QPoint cell_centre(int col, int row) { return sheet().visualRect(sheet().model()->index(row - 1, col - 1)).center(); }
    // Clicks the cell, then opens its editor with F2.
    template <class Editor>
    Editor* open_editor(int col, int row)
    {
        click(sheet().viewport(), cell_centre(col, row));
        press(&sheet(), Qt::Key_F2);
        for (Editor* e : sheet().viewport()->findChildren<Editor*>())
            if (e->isVisible()) return e;
        return nullptr;
    }
    void click_row_header(int row)
    {
        QHeaderView* h = sheet().verticalHeader();
        click(h->viewport(), QPoint(h->width() / 2, h->sectionViewportPosition(row - 1) + h->sectionSize(row - 1) / 2));
    }
    void click_col_header(int col)
    {
        QHeaderView* h = sheet().horizontalHeader();
        click(h->viewport(), QPoint(h->sectionViewportPosition(col - 1) + h->sectionSize(col - 1) / 2, h->height() / 2));
    }
    // Ctrl+key. A key press sets the application's modifier state, which
    // later header clicks read: a plain key press elsewhere lets Ctrl go.
    void ctrl(int key)
    {
        press(&sheet(), key, Qt::ControlModifier);
        QWidget elsewhere;
        press(&elsewhere, Qt::Key_F24);
    }

    std::unique_ptr<SampleListPage> page;
    std::vector<std::string> opened;
};

TEST_F(SampleListPageTest, TheGridShowsTheColumnsAndTheirCellTypes)
{
    ASSERT_EQ(sheet().max_cols(), 10);
    EXPECT_EQ(sheet().max_rows(), 0);
    EXPECT_EQ(sheet().model()->headerData(1, Qt::Horizontal, Qt::DisplayRole).toString(), "Method");
    rows(1);
    sheet().set_row(1);
    struct Case {
        int col, type;
    };
    for (const Case c : {Case{1, SpreadCellType::static_text}, Case{2, SpreadCellType::combo_box},
                         Case{3, SpreadCellType::edit}, Case{9, SpreadCellType::edit}}) {
        sheet().set_col(c.col);
        EXPECT_EQ(sheet().cell_type(), c.type) << c.col;
    }
    sheet().set_col(column_no::method);
    EXPECT_EQ(sheet().type_combo_box_items(), QStringList({"Big", "Standard Injection", "None"}));
    sheet().set_col(column_no::vial);
    EXPECT_EQ(sheet().type_edit_len(), 4);
    EXPECT_EQ(shown_text(column_no::method, 1), "Big");
    EXPECT_EQ(shown_text(column_no::vial, 1), "2");
    EXPECT_EQ(page->insert_line_button->text(), "&Insert Line");
    EXPECT_EQ(page->append_line_button->text(), "&Append line");
    EXPECT_EQ(page->delete_line_button->text(), "&Delete line");
}

TEST_F(SampleListPageTest, TypedCellsRefuseWhatTheirTypeRefuses)
{
    rows(2);
    auto* edit = open_editor<QLineEdit>(column_no::vial, 1);
    ASSERT_NE(edit, nullptr);
    edit->clear();
    type_text(edit, "12345");
    press(edit, Qt::Key_Return);
    EXPECT_EQ(table().cell(column_no::vial, 1), "1234");
    edit = open_editor<QLineEdit>(column_no::volume, 1);
    ASSERT_NE(edit, nullptr);
    edit->clear();
    type_text(edit, "abc");
    press(edit, Qt::Key_Return);
    EXPECT_EQ(table().cell(column_no::volume, 1), "ABC");
    // A ";" would split the cell when the file is read back: refused, and
    // the cell shows what it held.
    edit = open_editor<QLineEdit>(column_no::volume, 1);
    ASSERT_NE(edit, nullptr);
    edit->clear();
    type_text(edit, "1;5");
    press(edit, Qt::Key_Return);
    EXPECT_EQ(table().cell(column_no::volume, 1), "ABC");
    EXPECT_EQ(shown_text(column_no::volume, 1), "ABC");
    EXPECT_EQ(shown(), std::vector<std::string>{"error: A sample list cell cannot hold \";\" or a tab"});
    // The Status cell is not edited.
    click(sheet().viewport(), cell_centre(column_no::status, 1));
    press(&sheet(), Qt::Key_F2);
    for (QLineEdit* e : sheet().viewport()->findChildren<QLineEdit*>()) EXPECT_FALSE(e->isVisible());
}

TEST_F(SampleListPageTest, ChoosingNoneEmptiesAComboCell)
{
    rows(1);
    auto* combo = open_editor<QComboBox>(column_no::tray2, 1);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->currentText(), "Tray1");
    combo->setCurrentIndex(combo->findText("None"));
    press(combo, Qt::Key_Return);
    EXPECT_EQ(table().cell(column_no::tray2, 1), "");
    EXPECT_EQ(shown_text(column_no::tray2, 1), "");
    combo = open_editor<QComboBox>(column_no::tray, 1);
    ASSERT_NE(combo, nullptr);
    combo->setCurrentIndex(combo->findText("Tray2"));
    press(combo, Qt::Key_Return);
    EXPECT_EQ(table().cell(column_no::tray, 1), "Tray2");
}

TEST_F(SampleListPageTest, StatusCellsTakeTheirColoursAndTheActiveCellIsCyan)
{
    rows(3);
    table().set_status(1, RowStatus::done);
    table().set_status(2, RowStatus::running);
    table().set_status(3, RowStatus::stopped);
    page->repaint_statuses();
    struct Case {
        int row;
        QString text;
        QColor colour;
    };
    for (const Case& c : {Case{1, "Done", QColor(0, 255, 0)}, Case{2, "Running", QColor(255, 255, 0)},
                          Case{3, "Stopped", QColor(255, 0, 0)}}) {
        EXPECT_EQ(shown_text(column_no::status, c.row), c.text);
        EXPECT_EQ(colour(column_no::status, c.row), c.colour);
    }
    table().clear_statuses();
    page->repaint_statuses();
    EXPECT_EQ(shown_text(column_no::status, 2), "");
    EXPECT_EQ(colour(column_no::status, 2), QColor(255, 255, 255));

    click(sheet().viewport(), cell_centre(4, 2));
    EXPECT_EQ(colour(4, 2), QColor(0, 255, 255));
    click(sheet().viewport(), cell_centre(5, 3));
    EXPECT_EQ(colour(5, 3), QColor(0, 255, 255));
    EXPECT_FALSE(colour(4, 2).isValid());
}

TEST_F(SampleListPageTest, HeaderClicksSelectRowsColumnsOrEverything)
{
    rows(3);
    click_row_header(2);
    TableSelection s = page->selection();
    EXPECT_TRUE(s.whole_rows());
    EXPECT_EQ(s.row1, 2);
    click_col_header(4);
    s = page->selection();
    EXPECT_TRUE(s.whole_columns());
    EXPECT_EQ(s.col1, 4);
    QWidget* corner = sheet().findChild<QAbstractButton*>();
    ASSERT_NE(corner, nullptr);
    click(corner, QPoint(2, 2));
    s = page->selection();
    EXPECT_EQ(s.col1, -1);
    EXPECT_EQ(s.row1, -1);
}

TEST_F(SampleListPageTest, CtrlCAndCtrlVCopyAndInsertWholeRows)
{
    rows(3);
    table().set_cell(column_no::method, 1, "Standard Injection");
    click_row_header(1);
    ctrl(Qt::Key_C);

    EXPECT_EQ(QApplication::clipboard()->text(), "\tStandard Injection\t1.0\tTray1\tLCVlv1\t1.0\tTray1\tLCVlv1\t2\t1\r\n");
    click_row_header(3);
    ctrl(Qt::Key_V);
    ASSERT_EQ(table().rows(), 4);
    EXPECT_EQ(table().cell(column_no::method, 3), "Standard Injection");
    EXPECT_EQ(table().cell(column_no::vial, 4), "4");
    EXPECT_EQ(sheet().max_rows(), 4);
    EXPECT_EQ(shown_text(column_no::method, 3), "Standard Injection");
    // Ctrl+X takes whole rows away.
    click_row_header(3);
    ctrl(Qt::Key_X);
    EXPECT_EQ(table().rows(), 3);
    EXPECT_EQ(sheet().max_rows(), 3);
    EXPECT_EQ(shown_text(column_no::vial, 3), "4");
    EXPECT_TRUE(shown().empty());
}

TEST_F(SampleListPageTest, CtrlXIsRefusedAboveTheRunningLine)
{
    rows(3);
    table().set_run_position({true, 2});
    QApplication::clipboard()->setText("kept");
    click_row_header(1);
    ctrl(Qt::Key_X);
    EXPECT_EQ(shown(), std::vector<std::string>{"error: You may not edit lines above the running line!"});
    EXPECT_EQ(table().rows(), 3);
    EXPECT_EQ(QApplication::clipboard()->text(), "kept");
    click_row_header(3);
    ctrl(Qt::Key_X);
    EXPECT_EQ(table().rows(), 2);
}

TEST_F(SampleListPageTest, TheButtonsInsertAppendAndDeleteRows)
{
    click(page->append_line_button, QPoint(5, 5));
    click(page->append_line_button, QPoint(5, 5));
    EXPECT_EQ(sheet().max_rows(), 2);
    EXPECT_EQ(shown_text(column_no::vial, 2), "3");
    EXPECT_EQ(sheet().active_row(), 2);
    EXPECT_EQ(sheet().active_col(), column_no::method);
    click(sheet().viewport(), cell_centre(3, 1));
    click(page->insert_line_button, QPoint(5, 5));
    EXPECT_EQ(table().rows(), 3);
    EXPECT_EQ(shown_text(column_no::method, 1), "");
    EXPECT_EQ(shown_text(column_no::method, 2), "Big");
    click_row_header(2);
    click(page->delete_line_button, QPoint(5, 5));
    EXPECT_EQ(table().rows(), 2);
    EXPECT_EQ(sheet().max_rows(), 2);
    EXPECT_EQ(shown_text(column_no::vial, 2), "3");
}

TEST_F(SampleListPageTest, EnterOnTheLastRowAppendsOnlyWhenValidationPasses)
{
    rows(1);
    click(sheet().viewport(), cell_centre(column_no::vial, 1));
    press(&sheet(), Qt::Key_Return);
    EXPECT_EQ(table().rows(), 2);
    EXPECT_EQ(sheet().active_row(), 2);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);  // the hourglass is gone again
    table().set_cell(column_no::tray, 2, "Nowhere");
    click(sheet().viewport(), cell_centre(column_no::vial, 2));
    press(&sheet(), Qt::Key_Return);
    EXPECT_EQ(table().rows(), 2);
    EXPECT_EQ(shown(), std::vector<std::string>{"error: In row 2,Nowhereis not a tray"});
}

TEST_F(SampleListPageTest, LeavingARowOpensItsMethod)
{
    rows(2);
    table().set_cell(column_no::method, 1, "Standard Injection");
    click(sheet().viewport(), cell_centre(4, 1));
    click(sheet().viewport(), cell_centre(5, 1));
    click(sheet().viewport(), cell_centre(4, 2));
    EXPECT_EQ(opened, (std::vector<std::string>{"Standard Injection", "Big"}));
}

TEST_F(SampleListPageTest, TheSelectorLoadsThePickedList)
{
    QComboBox box;
    page->adopt_name_box(&box);
    write_list("Demo", fixed_header + "\r\nBig;2;Tray2;LCVlv2;1;;;5;1;\r\n");
    box.addItem("Demo");
    box.addItem("Empty");
    box.setCurrentIndex(-1);
    box.show();
    press(&box, Qt::Key_Down);
    EXPECT_EQ(page->document().name(), "Demo");
    ASSERT_EQ(sheet().max_rows(), 1);
    EXPECT_EQ(shown_text(column_no::vial, 1), "5");
    EXPECT_EQ(sheet().active_col(), column_no::method);
    press(&box, Qt::Key_Down);
    EXPECT_EQ(sheet().max_rows(), 0);
    EXPECT_EQ(read_setting_text("Sample List", ""), "Empty");
}

}  // namespace
}  // namespace kelvo::samplelist_test
