// The log viewer and the File menu's prints, driven as a user does, printed
// into PDF files and read back.
#include "app/qt/main_form.h"
#include "app/qt/print_wiring.h"
#include "ground/log.h"
#include "language/macro.h"
#include "language/qt/macro_editor_fixture.h"
#include "language/qt/macro_page.h"
#include "language/qt/method_page.h"
#include "ground/qt/spread_grid.h"
#include "print/qt/log_file_form.h"
#include "print/qt/sample_list_print.h"
#include "print/qt/text_printer.h"
#include "pdf_text.h"

#include <QComboBox>
#include <QLabel>
#include <QPrinter>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <filesystem>

namespace kelvo::test {
namespace {

class PrintFormsTest : public MacroEditorFixture {
protected:
    void SetUp() override
    {
        MacroEditorFixture::SetUp();
        previous_log = log_path();
        pdf = dir.file("out.pdf");
        printer.choose_printer = [this](QPrinter& p) {
            ++dialogs;
            set_pdf_output(p, QString::fromStdString(pdf));
            return !cancel_dialog;
        };
    }
    void TearDown() override
    {
        set_log_path(previous_log);
        MacroEditorFixture::TearDown();
    }
    void write_log(const std::vector<std::string>& lines)
    {
        std::string bytes;
        for (const std::string& l : lines) bytes += l + "\r\n";
        write_file(dir.file("cadenzor.log"), bytes);
        set_log_path(dir.file("cadenzor.log"));
    }
    bool printed() const { return std::filesystem::exists(pdf); }
    void forget_printout() { std::filesystem::remove(pdf); }

    std::string previous_log;
    std::string pdf;
    int dialogs = 0;
    bool cancel_dialog = false;
    DocumentPrinter printer;
};

const std::vector<std::string> log_lines = {
    "2026-12-09 05:00:00 : Started program",
    "2026-12-09 05:00:01 : rewrote macro",
    "2026-12-09 05:00:02 : Sample list completed.",
    "2026-12-09 05:00:03 : Closed program",
};

TEST_F(PrintFormsTest, LogViewerShowsTheLogAndPrintsItWholeOnlyWhenAskedYes)
{
    write_log(log_lines);
    Tlog_file_form form(printer);
    form.show();
    EXPECT_EQ(form.windowTitle(), "Log File");
    EXPECT_EQ(form.Label1->text(), "Contents of Log File");
    EXPECT_EQ(form.print_button->text(), "&Print");
    EXPECT_EQ(form.log_file_box->toPlainText().toStdString(),
              log_lines[0] + "\n" + log_lines[1] + "\n" + log_lines[2] + "\n" + log_lines[3]);

    // No selection: the question; No prints nothing.
    QTest::mouseClick(form.print_button, Qt::LeftButton);
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{"question: Do you want to print the whole log file?"}));
    EXPECT_EQ(dialogs, 0);
    EXPECT_FALSE(printed());

    // Yes, then a cancelled print dialog: still nothing.
    prompts.yes_no_answers = {true};
    cancel_dialog = true;
    QTest::mouseClick(form.print_button, Qt::LeftButton);
    EXPECT_EQ(dialogs, 1);
    EXPECT_FALSE(printed());

    prompts.yes_no_answers = {true};
    cancel_dialog = false;
    QTest::mouseClick(form.print_button, Qt::LeftButton);
    ASSERT_TRUE(printed());
    EXPECT_EQ(pdf_pages(pdf), 1);
    const std::string text = pdf_text(pdf);
    EXPECT_NE(text.find("Page 1 of 1"), std::string::npos) << text;
    EXPECT_NE(text.find("Log File"), std::string::npos) << text;
    for (const std::string& line : log_lines) EXPECT_NE(text.find(line), std::string::npos) << line;

    QTest::mouseClick(form.ok_button, Qt::LeftButton);
    EXPECT_FALSE(form.isVisible());
}

TEST_F(PrintFormsTest, LogViewerPrintsTheLinesTheSelectionTouches)
{
    write_log(log_lines);
    Tlog_file_form form(printer);
    form.show();
    QWidget* box = form.log_file_box->viewport();
    QTest::mouseClick(box, Qt::LeftButton);

    struct Case {
        int right, shift_right;
        std::vector<int> lines;
    };
    const int first_line = static_cast<int>(log_lines[0].size());
    const Case cases[] = {
        {3, 5, {0}},                            // within the first line
        {3, first_line - 3, {0}},               // up to the line break
        {3, first_line - 2, {0, 1}},            // just after the line break
        {first_line + 4, first_line + 6, {1, 2}},
    };
    for (const Case& c : cases) {
        forget_printout();
        QTest::keyClick(form.log_file_box, Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < c.right; ++i) QTest::keyClick(form.log_file_box, Qt::Key_Right);
        for (int i = 0; i < c.shift_right; ++i) QTest::keyClick(form.log_file_box, Qt::Key_Right, Qt::ShiftModifier);
        ASSERT_TRUE(form.log_file_box->textCursor().hasSelection());
        QTest::mouseClick(form.print_button, Qt::LeftButton);
        ASSERT_TRUE(printed());
        const std::string text = pdf_text(pdf);
        for (int i = 0; i < static_cast<int>(log_lines.size()); ++i) {
            const bool wanted = std::find(c.lines.begin(), c.lines.end(), i) != c.lines.end();
            EXPECT_EQ(text.find(log_lines[static_cast<std::size_t>(i)]) != std::string::npos, wanted)
                << "line " << i << " for " << c.right << "+" << c.shift_right << "\n" << text;
        }
    }
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(PrintFormsTest, LogViewerOnAnUnreadableLogSaysSo)
{
    set_log_path(dir.file("no such folder/cadenzor.log"));
    Tlog_file_form form(printer);
    form.show();
    EXPECT_EQ(form.log_file_box->toPlainText().toStdString(),
              "The log file " + dir.file("no such folder/cadenzor.log") + " could not be read.");
    EXPECT_FALSE(form.print_button->isEnabled());
}

TEST_F(PrintFormsTest, FileMenuPrintsTheMacroFromItsFileOrAsTheEditorHoldsIt)
{
    write_macro("Alpha", {"//Waits a while.", "Pause (s);90;0;600", "WAIT(Pause,5,)"});
    Tmain_form form;
    MacroEditorPage* page = install_macro_editor(form);
    PrintWiring* wiring = install_printing(form, page, nullptr);
    wiring->printer().choose_printer = printer.choose_printer;
    form.show_page(Page::macro);
    form.prepare_captions();
    ASSERT_EQ(form.print_item->text(), "&Print Macro");

    // No current macro.
    form.print_itemClick();
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{"error: There is no currently loaded macro"}));
    EXPECT_EQ(dialogs, 0);

    form.state().refresh_names(DocumentKind::macro);
    const int alpha = form.macro_select_box->findText("Alpha");
    ASSERT_GE(alpha, 0);
    form.macro_select_box->setCurrentIndex(alpha);
    emit form.macro_select_box->activated(alpha);
    ASSERT_EQ(page->document().name(), "Alpha");
    form.print_itemClick();
    ASSERT_TRUE(printed());
    std::string text = pdf_text(pdf);
    for (const char* expected : {"Page 1 of 1", "Macro: Alpha", "Macro Description:", "Waits a while.", "Parameters:",
                                 "Pause (s);90;0;600", " Time Pause", " Extra 5"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    EXPECT_EQ(text.find("not saved"), std::string::npos);

    // A new macro that was never saved: the editor's lines, "not saved".
    forget_printout();
    page->document().new_macro("Fresh");
    page->document().atom_lines().push_back("SIGNAL(Out1,)");
    form.print_itemClick();
    ASSERT_TRUE(printed());
    text = pdf_text(pdf);
    for (const char* expected : {"Macro: Fresh", "Created not saved", "Last changed not saved", "SIGNAL", " Signal Out1"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
}

TEST_F(PrintFormsTest, MainWindowOpensTheLogViewerAndPrintsTheMethod)
{
    write_log(log_lines);
    write_macro("Alpha", {"Pause (s);90;0;600", "WAIT(Pause,5,)"});
    write_file(dir.file("Beta.KME"), "//Two waits.\r\nsyringe:Syr10\r\nAlpha(75)\r\nAlpha(3)\r\n");
    Tmain_form form;
    MacroEditorPage* macro_page = install_macro_editor(form);
    MethodEditorPage* method_page = install_method_editor(form, macro_page);
    PrintWiring* wiring = install_printing(form, macro_page, method_page);
    wiring->printer().choose_printer = printer.choose_printer;

    // "View &Log file" opens the viewer modally with the log in it.
    std::string shown;
    QTimer::singleShot(0, [&] {
        shown = wiring->log_file_form->log_file_box->toPlainText().toStdString();
        QTest::mouseClick(wiring->log_file_form->ok_button, Qt::LeftButton);
    });
    QTest::mouseClick(form.log_file_button, Qt::LeftButton);
    EXPECT_EQ(shown.substr(0, log_lines[0].size()), log_lines[0]);
    EXPECT_FALSE(wiring->log_file_form->isVisible());

    form.show_page(Page::method);
    form.prepare_captions();
    ASSERT_EQ(form.print_item->text(), "&Print Method");
    form.print_itemClick();
    EXPECT_EQ(prompts.shown, (std::vector<std::string>{"error: There is no currently loaded method"}));

    method_page->select_method("Beta");
    ASSERT_EQ(method_page->document().name(), "Beta");
    prompts.shown.clear();
    form.print_itemClick();
    ASSERT_TRUE(printed());
    const std::string text = pdf_text(pdf);
    for (const char* expected : {"Method: Beta", "Method Description:", "Two waits.", "Syringe: Syr10", "Alpha",
                                 " Pause (m:ss) 1:15", " Pause (m:ss) 0:03"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
}

TEST_F(PrintFormsTest, SampleListGridPrintsUnderTheComposedHeader)
{
    SpreadGrid sheet;
    sheet.set_max_cols(3);
    sheet.set_max_rows(4);
    const char* cells[2][3] = {{"Standard Injection", "Tray1", "7"}, {"Wash Cycles", "Tray2", "12"}};
    for (int row = 1; row <= 2; ++row)
        for (int col = 1; col <= 3; ++col) {
            sheet.set_col(col);
            sheet.set_row(row);
            sheet.set_text(cells[row - 1][col - 1]);
        }
    auto printer = make_printer();
    set_pdf_output(*printer, QString::fromStdString(pdf));
    EXPECT_EQ(print_sample_list(sheet, *printer, "Run 7", {"2026-01-02 03:04:05", "2026-02-03 04:05:06", true}), 1);
    ASSERT_TRUE(printed());
    EXPECT_EQ(pdf_pages(pdf), 1);
    const std::string text = pdf_text(pdf);
    for (const char* expected : {"Sample List: Run 7", "Created 2026-01-02 03:04:05",
                                 "Last changed 2026-02-03 04:05:06", "Standard Injection", "Wash Cycles", "Tray2", "12"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    // The page number at the right of the first header line.
    const std::string first_line = text.substr(0, text.find('\n'));
    EXPECT_EQ(first_line.back(), '1') << first_line;
    EXPECT_EQ(sample_list_dates("Never Saved").created, "not saved");
}

}  // namespace
}  // namespace kelvo::test
