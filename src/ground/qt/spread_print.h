#pragma once
// Printing of a spreadsheet grid: the page header and footer codes, and the
// page layout that spreads the table over as many pages as it needs (down
// the rows first, then over to the next band of columns).
#include <QFont>
#include <QString>

#include <array>
#include <vector>

class QPrinter;

namespace kelvo {

class SpreadModel;

// One stretch of header text in one font; a page-number run shows the page.
struct SpreadPrintRun {
    QFont font;
    QString text;
    bool page_number = false;
};

// A header or footer line: runs placed at the left, in the centre and at the
// right of the line.
struct SpreadPrintLine {
    enum Part { left = 0, center = 1, right = 2 };
    std::array<std::vector<SpreadPrintRun>, 3> parts;
    QFont font;  // the font in force at the end of the line; an empty line is that high

    // The text of one part with the page number filled in.
    QString text(Part part, int page) const;
};

// Reads header codes: /fn"name" font name, /fz"size" font size in points,
// /fb1 /fb0 bold, /fi1 /fi0 italic, /fu1 /fu0 underline, /l /c /r the text
// that follows goes left, centred or right, /p the page number, /n a new
// line (which starts at the left again), // a slash. A slash before
// anything else is kept as it is, so dates like 1/2/2024 need no escaping.
std::vector<SpreadPrintLine> spread_parse_print_codes(const QString& codes, const QFont& base);

struct SpreadPrintSettings {
    QString header;
    QString footer;
    QString job_name;
    // Margins in twips (1440 to the inch).
    int margin_top = 720;
    int margin_bottom = 720;
    int margin_left = 720;
    int margin_right = 720;
    bool border = true;       // a frame around the table
    bool col_headers = true;  // the heading row on every page
    bool row_headers = true;  // row numbers on every page
    bool grid = true;         // lines between cells
    bool color = false;       // cell background colours
    bool shadows = true;      // headings shaded grey
};

// What to print: the cells of `rows` x `columns` (grid coordinates), each
// column with its width in the grid's character units.
struct SpreadPrintSheet {
    const SpreadModel* model = nullptr;
    QFont font;
    std::vector<int> columns;
    std::vector<double> widths;
    int row1 = 1;
    int row2 = 0;
};

// Prints the sheet and returns the number of pages, 0 when the printer
// could not be started.
int spread_print(QPrinter& printer, const SpreadPrintSheet& sheet, const SpreadPrintSettings& settings);

}  // namespace kelvo
