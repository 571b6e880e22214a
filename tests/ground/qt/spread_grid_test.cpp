// The spreadsheet grid as the sample list, the default sheet and the
// test-values sheet drive it: addressed reads and writes, row moves that keep
// the row count, typed cells, cursor events, hit test and printing.
#include "ground/qt/spread_grid.h"
#include "ground/qt/spread_print.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QTest>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPrinter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <QTest>

#include <array>
#include <vector>

using namespace kelvo;

namespace {

void put(SpreadGrid& g, int col, int row, const QString& text)
{
    g.set_block_mode(false);
    g.set_col(col);
    g.set_row(row);
    g.set_text(text);
}

QString at(SpreadGrid& g, int col, int row)
{
    g.set_block_mode(false);
    g.set_col(col);
    g.set_row(row);
    return g.text();
}

void address(SpreadGrid& g, int col, int row, int col2, int row2)
{
    g.set_block_mode(true);
    g.set_col(col);
    g.set_row(row);
    g.set_col2(col2);
    g.set_row2(row2);
}

// Column 1 of row r holds "r<r>", so row moves are easy to follow.
void number_rows(SpreadGrid& g)
{
    for (int row = 1; row <= g.max_rows(); ++row)
        put(g, 1, row, QStringLiteral("r%1").arg(row));
}

QStringList column(SpreadGrid& g, int col)
{
    QStringList texts;
    for (int row = 1; row <= g.max_rows(); ++row)
        texts << at(g, col, row);
    return texts;
}

void press(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = {})
{
    QKeyEvent down(QEvent::KeyPress, key, modifiers, text);
    QCoreApplication::sendEvent(target, &down);
    QKeyEvent up(QEvent::KeyRelease, key, modifiers, text);
    QCoreApplication::sendEvent(target, &up);
}

struct Move {
    int col, row, new_col, new_row;
    bool operator==(const Move&) const = default;
};

// Opens the editor of a cell and returns it.
template <class Editor>
Editor* open_editor(SpreadGrid& g, int col, int row)
{
    g.set_block_mode(false);
    g.set_col(col);
    g.set_row(row);
    g.action(SpreadAction::active_cell);
    g.edit(g.model()->index(row - 1, col - 1));
    // Closed editors linger until deleted later; the open one is shown.
    for (Editor* editor : g.viewport()->findChildren<Editor*>()) {
        if (editor->isVisible())
            return editor;
    }
    return nullptr;
}

void type_letters(QWidget* target, const QString& letters)
{
    for (QChar c : letters)
        press(target, Qt::Key_A + (c.toUpper().unicode() - 'A'), Qt::NoModifier, QString(c));
}

// The page count a PDF file announces in its page tree.
int pdf_page_count(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray pdf = file.readAll();
    const auto match = QRegularExpression(QStringLiteral("/Type\\s*/Pages\\b[^>]*?/Count\\s+(\\d+)"))
                           .match(QString::fromLatin1(pdf));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

}  // namespace

// ---- Rows: inserting and deleting keep max_rows

TEST(SpreadGridRows, InsertPushesRowsDownAndDropsThoseAtTheEnd)
{
    SpreadGrid g;
    g.set_max_cols(2);
    g.set_max_rows(5);
    number_rows(g);

    g.set_block_mode(false);
    g.set_row(2);
    g.action(SpreadAction::insert_row);
    EXPECT_EQ(g.max_rows(), 5);
    EXPECT_EQ(column(g, 1), QStringList({"r1", "", "r2", "r3", "r4"}));

    // A block inserts as many rows as it spans.
    address(g, 1, 1, 1, 2);
    g.action(SpreadAction::insert_row);
    EXPECT_EQ(column(g, 1), QStringList({"", "", "r1", "", "r2"}));

    // At the last row the new row takes the last row's place.
    g.set_block_mode(false);
    g.set_row(5);
    g.action(SpreadAction::insert_row);
    EXPECT_EQ(column(g, 1), QStringList({"", "", "r1", "", ""}));

    // Past the end there is nowhere to insert.
    put(g, 1, 5, "last");
    g.set_row(6);
    g.action(SpreadAction::insert_row);
    EXPECT_EQ(at(g, 1, 5), "last");
}

TEST(SpreadGridRows, InsertedRowsStartWithTheColumnSettingsNotTheDisplacedRow)
{
    SpreadGrid g;
    g.set_max_cols(1);
    g.set_max_rows(3);
    address(g, 1, -1, 1, -1);
    g.set_type_edit_char_case(SpreadCharCase::upper);
    address(g, 1, 2, 1, 2);
    g.set_cell_type(SpreadCellType::static_text);
    g.set_back_color(Qt::cyan);

    g.set_block_mode(false);
    g.set_row(2);
    g.action(SpreadAction::insert_row);

    g.set_row(2);
    EXPECT_EQ(g.cell_type(), SpreadCellType::edit);
    EXPECT_EQ(g.type_edit_char_case(), SpreadCharCase::upper);
    EXPECT_FALSE(g.back_color().isValid());
    g.set_row(3);
    EXPECT_EQ(g.cell_type(), SpreadCellType::static_text);
    EXPECT_EQ(g.back_color(), QColor(Qt::cyan));
}

TEST(SpreadGridRows, DeleteMovesRowsUpAndLeavesBlankRowsAtTheEnd)
{
    SpreadGrid g;
    g.set_max_cols(2);
    g.set_max_rows(5);
    number_rows(g);
    put(g, 2, 5, "x");

    address(g, 1, 2, 1, 3);
    g.action(SpreadAction::delete_row);
    EXPECT_EQ(g.max_rows(), 5);
    EXPECT_EQ(column(g, 1), QStringList({"r1", "r4", "r5", "", ""}));
    EXPECT_EQ(column(g, 2), QStringList({"", "", "x", "", ""}));

    // Without block mode only Row goes, whatever Row2 says.
    g.set_block_mode(false);
    g.set_row(1);
    g.set_row2(3);
    g.action(SpreadAction::delete_row);
    EXPECT_EQ(column(g, 1), QStringList({"r4", "r5", "", "", ""}));

    g.set_row(-1);
    g.action(SpreadAction::delete_row);
    EXPECT_EQ(g.max_rows(), 5);
    EXPECT_EQ(g.data_row_cnt(), 0);
}

TEST(SpreadGridRows, DataRowCountIsTheLastRowHoldingText)
{
    SpreadGrid g;
    g.set_max_cols(3);
    g.set_max_rows(10);
    EXPECT_EQ(g.data_row_cnt(), 0);

    put(g, 1, 0, "Heading");  // headings are no data
    EXPECT_EQ(g.data_row_cnt(), 0);
    put(g, 2, 7, "a");
    put(g, 3, 3, "b");
    EXPECT_EQ(g.data_row_cnt(), 7);
    put(g, 2, 7, "");
    EXPECT_EQ(g.data_row_cnt(), 3);

    g.set_row(3);
    g.action(SpreadAction::delete_row);
    EXPECT_EQ(g.data_row_cnt(), 0);

    // Shrinking drops the rows beyond the new end with their texts.
    put(g, 1, 9, "gone");
    g.set_max_rows(8);
    EXPECT_EQ(g.data_row_cnt(), 0);
    g.set_max_rows(9);
    EXPECT_EQ(at(g, 1, 9), "");
}

// ---- Addressing

TEST(SpreadGridAddress, MinusOneAddressesWholeRowsAndColumns)
{
    SpreadGrid g;
    g.set_max_cols(3);
    g.set_max_rows(4);
    put(g, 1, 0, "A");

    put(g, -1, 2, "row");
    EXPECT_EQ(at(g, 1, 2), "row");
    EXPECT_EQ(at(g, 3, 2), "row");
    EXPECT_EQ(at(g, 1, 1), "");

    put(g, 3, -1, "col");
    EXPECT_EQ(column(g, 3), QStringList({"col", "col", "col", "col"}));
    EXPECT_EQ(at(g, 3, 0), "");  // -1 rows are the data rows, not the headings
    EXPECT_EQ(at(g, 2, 2), "row");

    address(g, 2, 4, 1, 3);  // bounds in any order
    g.set_text("blk");
    EXPECT_EQ(at(g, 1, 3), "blk");
    EXPECT_EQ(at(g, 2, 4), "blk");
    EXPECT_EQ(at(g, 3, 4), "col");

    address(g, -1, -1, -1, -1);
    g.set_back_color(Qt::green);
    g.set_block_mode(false);
    g.set_col(3);
    g.set_row(4);
    EXPECT_EQ(g.back_color(), QColor(Qt::green));
    EXPECT_EQ(at(g, 1, 0), "A");

    // The table never grows by being written to.
    put(g, 4, 1, "outside");
    put(g, 1, 5, "outside");
    EXPECT_EQ(g.max_cols(), 3);
    EXPECT_EQ(g.max_rows(), 4);
    EXPECT_EQ(g.data_row_cnt(), 4);
}

TEST(SpreadGridAddress, WholeColumnSettingsReachRowsAddedLater)
{
    SpreadGrid g;
    g.set_max_cols(2);
    g.set_max_rows(0);
    address(g, 2, -1, 2, -1);
    g.set_cell_type(SpreadCellType::float_number);
    g.set_type_float_decimal_places(1);

    g.set_max_rows(3);
    put(g, 2, 3, "2");
    put(g, 1, 3, "2");
    EXPECT_EQ(at(g, 2, 3), "2.0");
    EXPECT_EQ(at(g, 1, 3), "2");
}

// ---- Cell types

TEST(SpreadGridFloat, ShowsItsDecimalsAndValueIsTheUnformattedNumber)
{
    SpreadGrid g;
    g.set_max_cols(1);
    g.set_max_rows(1);
    put(g, 1, 1, "1.0");  // formatting writes the default first, then the type
    g.set_cell_type(SpreadCellType::float_number);
    g.set_type_float_decimal_places(2);
    g.set_type_float_min(-10);
    g.set_type_float_max(100);
    EXPECT_EQ(g.text(), "1.00");
    EXPECT_EQ(g.value(), "1");

    g.set_text("1.5");
    EXPECT_EQ(g.text(), "1.50");
    EXPECT_EQ(g.value(), "1.5");
    g.set_text("1.006");
    EXPECT_EQ(g.text(), "1.01");
    g.set_value("-0.001");
    EXPECT_EQ(g.text(), "0.00");
    EXPECT_EQ(g.value(), "0");

    // The range is kept: values beyond it are pulled to the nearest bound.
    g.set_text("250");
    EXPECT_EQ(g.value(), "100");
    g.set_value("-99");
    EXPECT_EQ(g.value(), "-10");

    g.set_text("abc");
    EXPECT_EQ(g.text(), "");
    EXPECT_EQ(g.value(), "");
}

TEST(SpreadGridFloat, TextUsesTheDecimalCharacterAndSeparatorsValueDoesNot)
{
    SpreadGrid g;
    g.set_max_cols(1);
    g.set_max_rows(1);
    put(g, 1, 1, "");
    g.set_cell_type(SpreadCellType::float_number);
    g.set_type_float_max(1e9);
    g.set_value("2.5");
    g.set_type_float_decimal_char(',');
    EXPECT_EQ(g.text(), "2,50");
    EXPECT_EQ(g.value(), "2.5");

    g.set_text("3,25");
    EXPECT_EQ(g.value(), "3.25");

    g.set_type_float_separator(true);
    g.set_value("1234567.5");
    EXPECT_EQ(g.text(), "1.234.567,50");
    g.set_text("7.654,3");
    EXPECT_EQ(g.value(), "7654.3");
}

TEST(SpreadGridEdit, LengthLimitAndUpperCaseApplyToWritesAndTyping)
{
    SpreadGrid g;
    g.set_max_cols(1);
    g.set_max_rows(2);
    g.set_edit_enter_action(SpreadEnterAction::next_row);
    address(g, 1, 1, 1, 2);
    g.set_cell_type(SpreadCellType::edit);
    g.set_type_edit_len(4);
    g.set_type_edit_char_case(SpreadCharCase::upper);

    put(g, 1, 1, "abcdef");
    EXPECT_EQ(at(g, 1, 1), "ABCD");

    std::vector<std::pair<int, int>> changes;
    QObject::connect(&g, &SpreadGrid::OnChange, [&](int col, int row) { changes.emplace_back(col, row); });
    g.show();
    auto* editor = open_editor<QLineEdit>(g, 1, 1);
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->maxLength(), 4);
    editor->clear();
    type_letters(editor, "vials");
    EXPECT_EQ(editor->text(), "VIAL");

    press(editor, Qt::Key_Return);
    EXPECT_EQ(at(g, 1, 1), "VIAL");
    EXPECT_EQ(changes, (std::vector<std::pair<int, int>>{{1, 1}}));
    EXPECT_EQ(g.active_row(), 2);  // Enter moved on
}

TEST(SpreadGridEdit, StaticTextAndCheckBoxesAreNotEditedAsText)
{
    SpreadGrid g;
    g.set_max_cols(2);
    g.set_max_rows(1);
    put(g, 1, 1, "Done");
    g.set_cell_type(SpreadCellType::static_text);
    put(g, 2, 1, "1");
    g.set_cell_type(SpreadCellType::check_box);
    g.set_type_check_text("Flag");

    std::vector<std::pair<int, int>> changes;
    QObject::connect(&g, &SpreadGrid::OnChange, [&](int col, int row) { changes.emplace_back(col, row); });

    g.set_col(1);
    g.action(SpreadAction::active_cell);
    press(&g, Qt::Key_Delete);
    press(&g, Qt::Key_X, Qt::NoModifier, "x");
    EXPECT_EQ(at(g, 1, 1), "Done");
    EXPECT_EQ(g.model()->index(0, 0).flags() & Qt::ItemIsEditable, Qt::NoItemFlags);

    g.set_col(2);
    g.action(SpreadAction::active_cell);
    EXPECT_EQ(g.model()->index(0, 1).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(g.model()->index(0, 1).data().toString(), "Flag");
    press(&g, Qt::Key_Space, Qt::NoModifier, " ");
    EXPECT_EQ(at(g, 2, 1), "0");
    EXPECT_EQ(changes, (std::vector<std::pair<int, int>>{{2, 1}}));
}

TEST(SpreadGridEdit, AClickedCheckBoxBecomesTheActiveCell)
{
    SpreadGrid g;
    g.set_max_cols(2);
    g.set_max_rows(2);
    address(g, 2, -1, 2, -1);
    g.set_cell_type(SpreadCellType::check_box);
    g.resize(400, 300);
    g.show();
    g.set_col(1);
    g.set_row(1);
    g.action(SpreadAction::active_cell);
    std::vector<Move> moves;
    QObject::connect(&g, &SpreadGrid::OnLeaveCell,
                     [&](int c, int r, int nc, int nr) { moves.push_back({c, r, nc, nr}); });

    const QRect cell = g.visualRect(g.model()->index(1, 1));
    QTest::mouseClick(g.viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    EXPECT_EQ(g.model()->index(1, 1).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(moves, (std::vector<Move>{{1, 1, 2, 2}}));
    EXPECT_EQ(g.active_col(), 2);
    EXPECT_EQ(g.active_row(), 2);
    // The next key goes to the clicked box, not to the cell active before.
    press(&g, Qt::Key_Space, Qt::NoModifier, " ");
    EXPECT_EQ(g.model()->index(1, 1).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_EQ(at(g, 1, 1), "");
}

TEST(SpreadGridCombo, ListIsTabSeparatedWithItsTrailingTabIgnored)
{
    EXPECT_EQ(spread_parse_combo_list("M1\tM2\tNone"), QStringList({"M1", "M2", "None"}));
    EXPECT_EQ(spread_parse_combo_list("M1\tM2\t"), QStringList({"M1", "M2"}));
    EXPECT_EQ(spread_parse_combo_list("\tNone"), QStringList({"", "None"}));
    EXPECT_TRUE(spread_parse_combo_list("").isEmpty());
}

TEST(SpreadGridCombo, EditorOffersTheListAndFindsTheTextWithoutRegardToCase)
{
    SpreadGrid g;
    g.set_max_cols(2);
    g.set_max_rows(1);
    for (int col : {1, 2}) {
        put(g, col, 1, "water");
        g.set_cell_type(SpreadCellType::combo_box);
        g.set_type_combo_box_list("Blank\tWater\tNone");
        g.set_type_combo_box_editable(col == 2);
    }
    EXPECT_EQ(g.type_combo_box_items(), QStringList({"Blank", "Water", "None"}));
    EXPECT_TRUE(g.type_combo_box_editable());

    g.show();
    auto* combo = open_editor<QComboBox>(g, 1, 1);
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 3);
    EXPECT_FALSE(combo->isEditable());
    EXPECT_EQ(combo->currentText(), "Water");

    combo->setCurrentIndex(2);
    press(combo, Qt::Key_Return);
    EXPECT_EQ(at(g, 1, 1), "None");

    // An editable combo keeps typed text that is not in the list.
    combo = open_editor<QComboBox>(g, 2, 1);
    ASSERT_NE(combo, nullptr);
    ASSERT_TRUE(combo->isEditable());
    combo->setEditText("Std 3");
    press(combo, Qt::Key_Return);
    EXPECT_EQ(at(g, 2, 1), "Std 3");
}

TEST(SpreadGridCombo, ClickOnTheButtonOpensTheList)
{
    SpreadGrid g;
    g.set_max_cols(2);
    g.set_max_rows(2);
    address(g, 2, -1, 2, -1);
    g.set_cell_type(SpreadCellType::combo_box);
    g.set_type_combo_box_list("Blank\tWater\t");
    g.resize(400, 300);
    g.show();

    const auto click = [&](QPoint p) {
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent mouse(type, p, g.viewport()->mapToGlobal(p), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
            QCoreApplication::sendEvent(g.viewport(), &mouse);
        }
        QCoreApplication::processEvents();
    };
    const auto open_list = [&]() -> QComboBox* {
        for (QComboBox* combo : g.viewport()->findChildren<QComboBox*>()) {
            if (combo->isVisible() && combo->view()->isVisible())
                return combo;
        }
        return nullptr;
    };

    const QRect cell = g.visualRect(g.model()->index(1, 1));
    click(cell.topLeft() + QPoint(3, cell.height() / 2));  // on the text: just a move
    EXPECT_EQ(open_list(), nullptr);
    EXPECT_EQ(g.active_col(), 2);
    click(SpreadDelegate::combo_button_rect(cell).center());
    QComboBox* combo = open_list();
    ASSERT_NE(combo, nullptr);
    EXPECT_EQ(combo->count(), 2);
    combo->hidePopup();
}

// ---- Columns

TEST(SpreadGridColumns, HiddenColumnsAreSkippedAndKeepTheirWidth)
{
    SpreadGrid g;
    g.set_max_cols(3);
    g.set_max_rows(2);
    g.set_col_width(2, 14.5);
    g.set_block_mode(false);
    g.set_col(2);
    g.set_col_hidden(true);
    EXPECT_TRUE(g.col_hidden());
    EXPECT_TRUE(g.isColumnHidden(1));
    EXPECT_EQ(g.col_width(2), 14.5);

    // Tab passes over the hidden column.
    g.show();
    g.set_col(1);
    g.set_row(1);
    g.action(SpreadAction::active_cell);
    press(&g, Qt::Key_Tab);
    EXPECT_EQ(g.active_col(), 3);

    // A width set while hidden is the width it shows with.
    g.set_col_width(2, 20);
    g.set_col(2);
    g.set_col_hidden(false);
    EXPECT_FALSE(g.col_hidden());
    const double zero = QFontMetricsF(g.font()).horizontalAdvance(QLatin1Char('0'));
    EXPECT_NEAR(g.horizontalHeader()->sectionSize(1), 20 * zero, 1.0);

    // Width 0 (a column without a stored width) shows nothing and is passed over too.
    g.set_col_width(2, 0);
    EXPECT_EQ(g.horizontalHeader()->sectionSize(1), 0);
    EXPECT_EQ(g.col_width(2), 0.0);
    g.set_col(1);
    g.action(SpreadAction::active_cell);
    press(&g, Qt::Key_Tab);
    EXPECT_EQ(g.active_col(), 3);
}

TEST(SpreadGridColumns, WidthsAreInCharacterUnitsAndOnlyUserChangesAreReported)
{
    SpreadGrid g;
    g.set_max_cols(3);
    std::vector<std::pair<int, int>> reports;
    QObject::connect(&g, &SpreadGrid::OnColWidthChange, [&](int a, int b) { reports.emplace_back(a, b); });

    g.set_col_width(1, 12.5);
    g.set_col_width(-1, 8);
    EXPECT_EQ(g.col_width(1), 8.0);
    EXPECT_EQ(g.col_width(3), 8.0);
    const int before = g.horizontalHeader()->sectionSize(0);

    QFont bigger = g.font();
    bigger.setPointSizeF(bigger.pointSizeF() * 2);
    g.setFont(bigger);
    EXPECT_EQ(g.col_width(1), 8.0);
    EXPECT_GT(g.horizontalHeader()->sectionSize(0), before * 3 / 2);
    EXPECT_TRUE(reports.empty());

    // A resize that does not come from the program is the user's.
    const double zero = QFontMetricsF(g.font()).horizontalAdvance(QLatin1Char('0'));
    g.horizontalHeader()->resizeSection(2, 60);
    EXPECT_EQ(reports, (std::vector<std::pair<int, int>>{{3, 3}}));
    EXPECT_NEAR(g.col_width(3), 60 / zero, 1e-9);
}

// ---- Cursor, selection and keys

TEST(SpreadGridCursor, LeaveCellReportsTheOldAndTheNewCell)
{
    SpreadGrid g;
    g.set_max_cols(3);
    g.set_max_rows(3);
    std::vector<Move> moves;
    QObject::connect(&g, &SpreadGrid::OnLeaveCell,
                     [&](int c, int r, int nc, int nr) { moves.push_back({c, r, nc, nr}); });

    g.set_block_mode(false);
    g.set_col(2);
    g.set_row(3);
    g.action(SpreadAction::active_cell);
    EXPECT_EQ(moves, (std::vector<Move>{{-1, -1, 2, 3}}));  // from no cell

    g.show();
    moves.clear();
    g.set_col(1);
    g.set_row(1);
    g.action(SpreadAction::active_cell);
    g.action(SpreadAction::active_cell);  // no move, no event
    press(&g, Qt::Key_Down);
    press(&g, Qt::Key_Tab);

    const std::vector<Move> expected{{2, 3, 1, 1}, {1, 1, 1, 2}, {1, 2, 2, 2}};
    EXPECT_EQ(moves, expected);
    EXPECT_EQ(g.active_col(), 2);
    EXPECT_EQ(g.active_row(), 2);
}

TEST(SpreadGridCursor, MovingPastTheLastCellAdvancesAndTheHandlerMayAppend)
{
    SpreadGrid g;
    g.set_max_cols(2);
    g.set_max_rows(1);
    g.set_edit_enter_action(SpreadEnterAction::next_row);
    g.show();
    std::vector<bool> advances;
    QObject::connect(&g, &SpreadGrid::OnAdvance, [&](bool next) { advances.push_back(next); });

    g.set_col(1);
    g.set_row(1);
    g.action(SpreadAction::active_cell);
    press(&g, Qt::Key_Backtab, Qt::ShiftModifier);
    EXPECT_EQ(advances, std::vector<bool>{false});
    press(&g, Qt::Key_Tab);
    press(&g, Qt::Key_Tab);
    EXPECT_EQ(advances, (std::vector<bool>{false, true}));
    EXPECT_EQ(g.active_col(), 2);

    // The sample list appends a row and moves to it.
    QObject::connect(&g, &SpreadGrid::OnAdvance, [&](bool) {
        g.set_max_rows(g.max_rows() + 1);
        g.set_col(1);
        g.set_row(g.max_rows());
        g.action(SpreadAction::active_cell);
    });
    press(&g, Qt::Key_Return);
    EXPECT_EQ(g.max_rows(), 2);
    EXPECT_EQ(g.active_col(), 1);
    EXPECT_EQ(g.active_row(), 2);
}

TEST(SpreadGridSelection, WholeRowsAndColumnsReadAsMinusOne)
{
    SpreadGrid g;
    g.set_max_cols(3);
    g.set_max_rows(4);
    const auto block = [&] {
        return std::array<int, 4>{g.sel_block_col(), g.sel_block_col2(), g.sel_block_row(), g.sel_block_row2()};
    };

    address(g, -1, 2, -1, 3);
    g.action(SpreadAction::select_block);
    EXPECT_TRUE(g.is_block_selected());
    EXPECT_EQ(block(), (std::array<int, 4>{-1, -1, 2, 3}));

    address(g, 2, -1, 3, -1);
    g.action(SpreadAction::select_block);
    EXPECT_EQ(block(), (std::array<int, 4>{2, 3, -1, -1}));

    address(g, -1, -1, -1, -1);
    g.action(SpreadAction::select_block);
    EXPECT_EQ(block(), (std::array<int, 4>{-1, -1, -1, -1}));

    address(g, 1, 1, 2, 2);
    g.action(SpreadAction::select_block);
    EXPECT_EQ(block(), (std::array<int, 4>{1, 2, 1, 2}));

    // Making a cell active leaves just that cell: no block.
    g.action(SpreadAction::active_cell);
    EXPECT_FALSE(g.is_block_selected());
}

TEST(SpreadGridKeys, KeyUpReportsCtrlAndTheClipboardIsLeftToTheProgram)
{
    SpreadGrid g;
    g.set_max_cols(1);
    g.set_max_rows(1);
    put(g, 1, 1, "cell");
    g.action(SpreadAction::active_cell);
    std::vector<std::pair<int, int>> keys;
    QObject::connect(&g, &SpreadGrid::OnKeyUp, [&](int key, int shift) { keys.emplace_back(key, shift); });

    QGuiApplication::clipboard()->setText("before");
    g.set_auto_clipboard(false);
    press(&g, Qt::Key_C, Qt::ControlModifier, "\x03");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
    EXPECT_EQ(keys, (std::vector<std::pair<int, int>>{{Qt::Key_C, 2}}));
    EXPECT_EQ(Qt::Key_C, 'C');

    g.set_auto_clipboard(true);
    press(&g, Qt::Key_C, Qt::ControlModifier, "\x03");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "cell");
}

TEST(SpreadGridRedraw, SuspendedDrawingAnnouncesChangesOnceWhenResumed)
{
    SpreadGrid g;
    g.set_max_cols(4);
    g.set_max_rows(50);
    int announcements = 0;
    QObject::connect(g.model(), &QAbstractItemModel::dataChanged, [&] { ++announcements; });

    g.set_redraw(false);
    for (int row = 1; row <= 50; ++row)
        put(g, 2, row, "x");
    EXPECT_EQ(announcements, 0);
    g.set_redraw(true);
    EXPECT_EQ(announcements, 1);
    EXPECT_EQ(g.data_row_cnt(), 50);
}

// ---- Hit test

TEST(SpreadGridHitTest, TwipsPointsFindCellsHeadingsAndNothingOutside)
{
    SpreadGrid g;
    g.set_max_cols(3);
    g.set_max_rows(4);
    g.resize(500, 400);
    g.show();
    const auto twips = [&](QPoint p) { return std::pair{g.to_twips_x(p.x()), g.to_twips_y(p.y())}; };
    const auto hit = [&](QPoint p) {
        const auto [x, y] = twips(p);
        return g.cell_at(x, y);
    };

    const QPoint cell = g.viewport()->mapTo(&g, g.visualRect(g.model()->index(2, 1)).center());
    EXPECT_EQ(hit(cell), (SpreadCellRef{2, 3}));

    const QPoint heading(cell.x(), g.horizontalHeader()->geometry().center().y());
    EXPECT_EQ(hit(heading), (SpreadCellRef{2, 0}));
    const QPoint number(g.verticalHeader()->geometry().center().x(), cell.y());
    EXPECT_EQ(hit(number), (SpreadCellRef{0, 3}));
    const QPoint corner(number.x(), heading.y());
    EXPECT_EQ(hit(corner), (SpreadCellRef{0, 0}));

    const QPoint below(cell.x(), g.viewport()->mapTo(&g, QPoint(0, g.viewport()->height() - 2)).y());
    EXPECT_EQ(hit(below), (SpreadCellRef{-1, -1}));

    // With a column hidden, the point over the third column still finds column 3.
    g.set_block_mode(false);
    g.set_col(2);
    g.set_col_hidden(true);
    const QPoint third = g.viewport()->mapTo(&g, g.visualRect(g.model()->index(0, 2)).center());
    EXPECT_EQ(hit(third), (SpreadCellRef{3, 1}));

    // A mouse press is reported in the same twips.
    std::vector<std::array<int, 4>> downs;
    QObject::connect(&g, &SpreadGrid::OnMouseDown,
                     [&](int button, int shift, int x, int y) { downs.push_back({button, shift, x, y}); });
    const QPoint local = g.visualRect(g.model()->index(2, 0)).center();
    QMouseEvent mouse(QEvent::MouseButtonPress, local, g.viewport()->mapToGlobal(local), Qt::RightButton,
                      Qt::RightButton, Qt::ShiftModifier);
    QCoreApplication::sendEvent(g.viewport(), &mouse);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(downs[0][0], 2);
    EXPECT_EQ(downs[0][1], 1);
    EXPECT_EQ(g.cell_at(downs[0][2], downs[0][3]), (SpreadCellRef{1, 3}));
}

// ---- Printing

TEST(SpreadGridPrint, HeaderCodesGiveFontPageNumberAndLines)
{
    QFont base;
    base.setPointSize(8);
    const auto lines = spread_parse_print_codes(
        "/fn\"Courier New\"/fz\"10\"/r/p/cSample List: S1/nCreated      1/2/2024 10:00//x/nLast/n", base);
    ASSERT_EQ(lines.size(), 4u);  // the closing /n leaves an empty line before the table

    EXPECT_EQ(lines[0].text(SpreadPrintLine::right, 3), "3");
    EXPECT_EQ(lines[0].text(SpreadPrintLine::center, 3), "Sample List: S1");
    EXPECT_EQ(lines[0].text(SpreadPrintLine::left, 3), "");
    const SpreadPrintRun& title = lines[0].parts[SpreadPrintLine::center].front();
    EXPECT_EQ(title.font.family(), "Courier New");
    EXPECT_EQ(title.font.pointSize(), 10);

    // A new line starts at the left, keeps the font, and keeps plain slashes.
    EXPECT_EQ(lines[1].text(SpreadPrintLine::left, 1), "Created      1/2/2024 10:00/x");
    EXPECT_EQ(lines[1].parts[SpreadPrintLine::left].front().font.pointSize(), 10);
    EXPECT_EQ(lines[2].text(SpreadPrintLine::left, 1), "Last");
    EXPECT_EQ(lines[3].font.pointSize(), 10);

    EXPECT_TRUE(spread_parse_print_codes("", base).empty());
}

namespace {

struct PrintedGrid {
    QTemporaryDir dir;
    SpreadGrid grid;

    PrintedGrid(int cols, int rows)
    {
        grid.set_max_cols(cols);
        grid.set_max_rows(rows);
        for (int col = 1; col <= cols; ++col)
            put(grid, col, 0, QStringLiteral("Col %1").arg(col));
        address(grid, -1, -1, -1, -1);
        grid.set_text("sample");
        grid.set_print_header("/fn\"Courier New\"/fz\"10\"/r/p/cSample List: test/nCreated      today/n");
        grid.set_print_margin_top(1440);
        grid.set_print_margin_bottom(1440);
        grid.set_print_margin_left(720);
        grid.set_print_margin_right(720);
    }

    // Prints to a PDF; returns {pages printed, pages in the file}.
    std::pair<int, int> print(const QString& name)
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setOutputFileName(dir.filePath(name));
        const int pages = grid.print(printer);
        return {pages, pdf_page_count(dir.filePath(name))};
    }
};

}  // namespace

TEST(SpreadGridPrint, WholeTableGoesToAPdfOverAsManyPagesAsItNeeds)
{
    PrintedGrid few(4, 10);
    const auto [few_pages, few_in_file] = few.print("few.pdf");
    EXPECT_EQ(few_pages, 1);
    EXPECT_EQ(few_in_file, 1);
    EXPECT_GT(QFileInfo(few.dir.filePath("few.pdf")).size(), 1000);

    PrintedGrid many(4, 1000);
    const auto [many_pages, many_in_file] = many.print("many.pdf");
    EXPECT_GT(many_pages, 5);
    EXPECT_EQ(many_in_file, many_pages);

}

TEST(SpreadGridPrint, EveryRowIsPrintedWithFullPagesBeforeTheLast)
{
    PrintedGrid g(4, 1);
    const auto pages_for = [&](int rows) {
        g.grid.set_max_rows(rows);
        return g.print("rows.pdf").first;
    };
    // The most rows one page holds.
    int fits = 1, too_many = 400;
    ASSERT_EQ(pages_for(fits), 1);
    ASSERT_GT(pages_for(too_many), 1);
    while (too_many - fits > 1) {
        const int middle = (fits + too_many) / 2;
        (pages_for(middle) == 1 ? fits : too_many) = middle;
    }
    EXPECT_EQ(pages_for(2 * fits), 2);
    EXPECT_EQ(pages_for(2 * fits + 1), 3);
    g.grid.set_max_rows(10 * fits);
    const auto [pages, in_file] = g.print("ten.pdf");
    EXPECT_EQ(pages, 10);
    EXPECT_EQ(in_file, 10);
}

TEST(SpreadGridPrint, ASlightlyWideTableIsShrunkAMuchWiderOneGoesOnFurtherPages)
{
    PrintedGrid g(10, 10);
    QPrinter probe(QPrinter::HighResolution);
    probe.setOutputFormat(QPrinter::PdfFormat);
    probe.setPageSize(QPageSize(QPageSize::A4));
    const double zero = QFontMetricsF(g.grid.font(), &probe).horizontalAdvance(QLatin1Char('0'));
    const double page_width = probe.width() - probe.logicalDpiX();  // less two half-inch margins
    const auto units_for = [&](double share) { return page_width * share / zero / 10; };

    g.grid.set_col_width(-1, units_for(1.1));
    const auto [shrunk_pages, shrunk_in_file] = g.print("shrunk.pdf");
    EXPECT_EQ(shrunk_pages, 1);
    EXPECT_EQ(shrunk_in_file, 1);

    g.grid.set_col_width(-1, units_for(3.0));
    const auto [wide_pages, wide_in_file] = g.print("wide.pdf");
    EXPECT_GE(wide_pages, 2);
    EXPECT_EQ(wide_in_file, wide_pages);

    // Hidden columns are not printed, so the rest fits again.
    address(g.grid, 3, 1, 10, 1);
    g.grid.set_col_hidden(true);
    const auto [narrow_pages, narrow_in_file] = g.print("narrow.pdf");
    EXPECT_EQ(narrow_pages, 1);
    EXPECT_EQ(narrow_in_file, 1);
}

TEST(SpreadGridPrint, PrintActionUsesThePrinterGivenToTheGrid)
{
    PrintedGrid g(3, 5);
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(g.dir.filePath("action.pdf"));
    g.grid.set_printer(&printer);
    g.grid.action(SpreadAction::print);
    EXPECT_EQ(pdf_page_count(g.dir.filePath("action.pdf")), 1);
}
