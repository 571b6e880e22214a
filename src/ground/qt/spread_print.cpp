#include "ground/qt/spread_print.h"

#include "ground/qt/spread_model.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace kelvo {

QString SpreadPrintLine::text(Part part, int page) const
{
    QString out;
    for (const SpreadPrintRun& run : parts[part])
        out += run.page_number ? QString::number(page) : run.text;
    return out;
}

namespace {

// Reads header codes into lines (see spread_parse_print_codes): the text
// gathers in `pending` until a code changes the font, the part or the line.
class PrintCodeReader {
public:
    PrintCodeReader(const QString& codes, const QFont& base) : codes_(codes), n_(codes.size()), font_(base) {}

    std::vector<SpreadPrintLine> read()
    {
        for (qsizetype i = 0; i < n_;) {
            if (codes_[i] != QLatin1Char('/')) {
                pending_ += codes_[i++];
                continue;
            }
            if (read_font_code(i) || read_style_code(i))
                continue;
            read_layout_code(i);
        }
        end_line();
        return std::move(lines_);
    }

private:
    QChar at(qsizetype i) const { return i < n_ ? codes_[i].toLower() : QChar(); }

    void flush()
    {
        if (!pending_.isEmpty())
            line_.parts[part_].push_back({font_, pending_, false});
        pending_.clear();
    }

    void end_line()
    {
        flush();
        line_.font = font_;
        lines_.push_back(std::move(line_));
        line_ = {};
        part_ = SpreadPrintLine::left;
    }

    // The argument of /fn and /fz, between double quotes; i is just after the code.
    QString quoted(qsizetype& i) const
    {
        if (i >= n_ || codes_[i] != QLatin1Char('"'))
            return QString();
        qsizetype close = codes_.indexOf(QLatin1Char('"'), i + 1);
        if (close < 0)
            close = n_;
        const QString arg = codes_.mid(i + 1, close - i - 1);
        i = std::min(close + 1, n_);
        return arg;
    }

    // /fn"name" and /fz"size" at i; false when there is none.
    bool read_font_code(qsizetype& i)
    {
        const QChar code = at(i + 1);
        const QChar sub = at(i + 2);
        if (code != QLatin1Char('f') || (sub != QLatin1Char('n') && sub != QLatin1Char('z')))
            return false;
        flush();
        i += 3;
        const QString arg = quoted(i);
        if (sub == QLatin1Char('n')) {
            if (!arg.isEmpty())
                font_.setFamily(arg);
        } else {
            bool ok = false;
            const double points = arg.trimmed().toDouble(&ok);
            if (ok && points > 0)
                font_.setPointSizeF(points);
        }
        return true;
    }

    // /fb, /fi and /fu with 1 or 0 at i; false when there is none.
    bool read_style_code(qsizetype& i)
    {
        const QChar code = at(i + 1);
        const QChar sub = at(i + 2);
        const QChar flag = at(i + 3);
        if (!(code == QLatin1Char('f') && (sub == QLatin1Char('b') || sub == QLatin1Char('i') || sub == QLatin1Char('u'))
              && (flag == QLatin1Char('0') || flag == QLatin1Char('1'))))
            return false;
        flush();
        const bool on = flag == QLatin1Char('1');
        if (sub == QLatin1Char('b'))
            font_.setBold(on);
        else if (sub == QLatin1Char('i'))
            font_.setItalic(on);
        else
            font_.setUnderline(on);
        i += 4;
        return true;
    }

    // /l /c /r, /p, /n and // at i; any other slash is kept as text.
    void read_layout_code(qsizetype& i)
    {
        const QChar code = at(i + 1);
        switch (code.unicode()) {
        case 'l':
        case 'c':
        case 'r':
            flush();
            part_ = code == QLatin1Char('l') ? SpreadPrintLine::left
                  : code == QLatin1Char('c') ? SpreadPrintLine::center
                                             : SpreadPrintLine::right;
            i += 2;
            return;
        case 'p':
            flush();
            line_.parts[part_].push_back({font_, {}, true});
            i += 2;
            return;
        case 'n':
            end_line();
            i += 2;
            return;
        case '/':
            pending_ += QLatin1Char('/');
            i += 2;
            return;
        default:
            pending_ += codes_[i++];
            return;
        }
    }

    const QString& codes_;
    const qsizetype n_;
    QFont font_;
    SpreadPrintLine line_;
    int part_ = SpreadPrintLine::left;
    QString pending_;
    std::vector<SpreadPrintLine> lines_;
};

}  // namespace

std::vector<SpreadPrintLine> spread_parse_print_codes(const QString& codes, const QFont& base)
{
    if (codes.isEmpty())
        return {};
    return PrintCodeReader(codes, base).read();
}

namespace {

const QColor shade_color(224, 224, 224);
// Down to this size a table is shrunk to fit across the page.
constexpr qreal min_print_scale = 0.75;

qreal line_height(const SpreadPrintLine& line, const QPaintDevice* device, qreal* ascent = nullptr)
{
    QFontMetricsF fm(line.font, device);
    qreal height = fm.height();
    qreal asc = fm.ascent();
    for (const auto& part : line.parts) {
        for (const SpreadPrintRun& run : part) {
            QFontMetricsF run_fm(run.font, device);
            height = std::max(height, run_fm.height());
            asc = std::max(asc, run_fm.ascent());
        }
    }
    if (ascent)
        *ascent = asc;
    return height;
}

qreal lines_height(const std::vector<SpreadPrintLine>& lines, const QPaintDevice* device)
{
    qreal h = 0;
    for (const SpreadPrintLine& line : lines)
        h += line_height(line, device);
    return h;
}

// Draws the lines from `top` down across [left, right]; returns the bottom.
qreal draw_lines(QPainter& p, const std::vector<SpreadPrintLine>& lines, qreal left, qreal right, qreal top, int page)
{
    const QPaintDevice* device = p.device();
    for (const SpreadPrintLine& line : lines) {
        qreal ascent = 0;
        const qreal height = line_height(line, device, &ascent);
        for (int part = 0; part < 3; ++part) {
            const auto& runs = line.parts[part];
            qreal width = 0;
            std::vector<QString> texts;
            for (const SpreadPrintRun& run : runs) {
                texts.push_back(run.page_number ? QString::number(page) : run.text);
                width += QFontMetricsF(run.font, device).horizontalAdvance(texts.back());
            }
            qreal x = left;
            if (part == SpreadPrintLine::center)
                x = (left + right - width) / 2;
            else if (part == SpreadPrintLine::right)
                x = right - width;
            for (std::size_t k = 0; k < runs.size(); ++k) {
                p.setFont(runs[k].font);
                p.drawText(QPointF(x, top + ascent), texts[k]);
                x += QFontMetricsF(runs[k].font, device).horizontalAdvance(texts[k]);
            }
        }
        top += height;
    }
    return top;
}

// Page geometry in printer pixels.
struct PageLayout {
    QRectF content;
    QFont font;  // the cells' font, made smaller when that lets the table fit
    qreal header_height = 0;
    qreal footer_height = 0;
    qreal table_top = 0;
    qreal table_bottom = 0;
    qreal row_height = 0;
    qreal padding = 0;
    qreal row_header_width = 0;
    std::vector<qreal> widths;             // per sheet column
    std::vector<std::vector<int>> bands;   // sheet column positions printed together
    int rows_per_page = 1;
    int row_pages = 1;
};

// The printed column widths, and the bands of columns that fit across the
// page; a column wider than the page gets a band of its own and is cut at
// the margin.
void place_columns(PageLayout& l, const SpreadPrintSheet& sheet, qreal char_width, qreal scale)
{
    const qreal room = l.content.width() - l.row_header_width;
    std::vector<int> band;
    qreal used = 0;
    for (std::size_t k = 0; k < sheet.columns.size(); ++k) {
        const qreal w = std::floor(std::max(0.0, sheet.widths[k]) * char_width * scale);
        l.widths.push_back(w);
        if (w <= 0)
            continue;
        if (!band.empty() && used + w > room) {
            l.bands.push_back(std::move(band));
            band.clear();
            used = 0;
        }
        band.push_back(static_cast<int>(k));
        used += w;
    }
    if (!band.empty() || l.bands.empty())
        l.bands.push_back(std::move(band));
}

PageLayout lay_out(const QPrinter& printer, const SpreadPrintSheet& sheet, const SpreadPrintSettings& settings,
                   const std::vector<SpreadPrintLine>& header, const std::vector<SpreadPrintLine>& footer)
{
    PageLayout l;
    const qreal dpi_x = printer.logicalDpiX();
    const qreal dpi_y = printer.logicalDpiY();
    const qreal left = settings.margin_left * dpi_x / 1440.0;
    const qreal right = printer.width() - settings.margin_right * dpi_x / 1440.0;
    const qreal top = settings.margin_top * dpi_y / 1440.0;
    const qreal bottom = printer.height() - settings.margin_bottom * dpi_y / 1440.0;
    l.content = QRectF(QPointF(left, top), QPointF(std::max(left + 1, right), std::max(top + 1, bottom)));

    // A table a little wider than the page is printed smaller rather than
    // split; only a much wider one goes over to further pages.
    const QFontMetricsF fm(sheet.font, &printer);
    const qreal char_width = fm.horizontalAdvance(QLatin1Char('0'));
    qreal row_header_width = 0;
    if (settings.row_headers)
        row_header_width = fm.horizontalAdvance(QString::number(std::max(sheet.row2, 1))) + 2 * char_width;
    qreal total = row_header_width;
    for (double units : sheet.widths)
        total += std::max(0.0, units) * char_width;
    const qreal scale = total > l.content.width() ? std::max(min_print_scale, l.content.width() / total) : 1.0;
    l.font = sheet.font;
    if (scale < 1.0) {
        if (l.font.pointSizeF() > 0)
            l.font.setPointSizeF(l.font.pointSizeF() * scale);
        else
            l.font.setPixelSize(std::max(1, static_cast<int>(l.font.pixelSize() * scale)));
    }

    l.row_height = std::ceil(QFontMetricsF(l.font, &printer).height() * 1.4);
    l.padding = char_width * scale / 2;
    l.row_header_width = std::floor(row_header_width * scale);

    l.header_height = lines_height(header, &printer);
    l.footer_height = lines_height(footer, &printer);
    const qreal gap = l.row_height / 2;
    l.table_top = l.content.top() + l.header_height + (header.empty() ? 0 : gap);
    l.table_bottom = l.content.bottom() - l.footer_height - (footer.empty() ? 0 : gap);

    place_columns(l, sheet, char_width, scale);

    const qreal body = l.table_bottom - l.table_top - (settings.col_headers ? l.row_height : 0);
    l.rows_per_page = std::max(1, static_cast<int>(body / l.row_height));
    const int rows = std::max(0, sheet.row2 - sheet.row1 + 1);
    l.row_pages = std::max(1, (rows + l.rows_per_page - 1) / l.rows_per_page);
    return l;
}

void draw_text_cell(QPainter& p, const QRectF& cell, qreal padding, Qt::Alignment align, const QString& text)
{
    if (text.isEmpty())
        return;
    p.save();
    p.setClipRect(cell);
    p.drawText(cell.adjusted(padding, 0, -padding, 0), int(align | Qt::TextSingleLine), text);
    p.restore();
}

void draw_check_cell(QPainter& p, const QRectF& cell, qreal padding, const SpreadCellFormat& f, bool checked)
{
    const qreal side = cell.height() * 0.5;
    qreal x = cell.left() + padding;
    if (f.h_align == SpreadHAlign::center || (f.h_align == SpreadHAlign::automatic && f.check_text.isEmpty()))
        x = cell.center().x() - side / 2;
    else if (f.h_align == SpreadHAlign::right)
        x = cell.right() - padding - side;
    const QRectF box(x, cell.center().y() - side / 2, side, side);
    p.drawRect(box);
    if (checked) {
        QPainterPath tick;
        tick.moveTo(box.left() + side * 0.2, box.top() + side * 0.55);
        tick.lineTo(box.left() + side * 0.42, box.top() + side * 0.78);
        tick.lineTo(box.left() + side * 0.82, box.top() + side * 0.22);
        p.drawPath(tick);
    }
    draw_text_cell(p, QRectF(QPointF(box.right(), cell.top()), cell.bottomRight()), padding,
                   Qt::AlignLeft | Qt::AlignVCenter, f.check_text);
}

// Draws the table of one page: the rows of one band of columns, and the
// lines between and around the cells.
struct TablePainter {
    QPainter& p;
    const SpreadPrintSheet& sheet;
    const SpreadPrintSettings& settings;
    const PageLayout& l;
    QPen line_pen;

    void draw(const std::vector<int>& band, qreal table_width, int first, int last) const
    {
        qreal y = l.table_top;
        p.setFont(l.font);
        if (settings.col_headers)
            y = draw_row(band, 0, y);
        for (int row = first; row <= last; ++row)
            y = draw_row(band, row, y);

        p.setPen(line_pen);
        draw_rules(band, table_width, y);
        if (settings.border)
            p.drawRect(QRectF(l.content.left(), l.table_top, table_width, y - l.table_top));
        p.setPen(Qt::black);
    }

    // One table row (0: the heading row) at y: the row-header cell (row
    // number or corner) and the cells; returns the y below it.
    qreal draw_row(const std::vector<int>& band, int row, qreal y) const
    {
        const bool heading = row == 0;
        const qreal left = l.content.left();
        QRectF cell(left, y, l.row_header_width, l.row_height);
        if (settings.row_headers) {
            if (settings.shadows)
                p.fillRect(cell, shade_color);
            draw_text_cell(p, cell, l.padding, Qt::AlignCenter, heading ? QString() : QString::number(row));
        }
        qreal x = left + l.row_header_width;
        for (int k : band) {
            const int col = sheet.columns[k];
            cell = QRectF(x, y, l.widths[k], l.row_height);
            x += l.widths[k];
            if (heading) {
                if (settings.shadows)
                    p.fillRect(cell, shade_color);
                draw_text_cell(p, cell, l.padding, Qt::AlignCenter, sheet.model->text(col, 0));
                continue;
            }
            draw_cell(col, row, cell);
        }
        return y + l.row_height;
    }

    void draw_cell(int col, int row, const QRectF& cell) const
    {
        const SpreadModel& model = *sheet.model;
        const QColor back = model.back_color(col, row);
        if (settings.color && back.isValid())
            p.fillRect(cell, back);
        const SpreadCellFormat& f = model.format(col, row);
        if (f.cell_type == SpreadCellType::check_box) {
            p.setPen(line_pen);
            draw_check_cell(p, cell, l.padding, f, spread_is_checked(model.value(col, row)));
            p.setPen(Qt::black);
        } else {
            draw_text_cell(p, cell, l.padding, spread_alignment(f), model.text(col, row));
        }
    }

    // The grid lines down to `bottom`, or the line under the heading row.
    void draw_rules(const std::vector<int>& band, qreal table_width, qreal bottom) const
    {
        const qreal left = l.content.left();
        if (settings.grid) {
            for (qreal ly = l.table_top + l.row_height; ly < bottom - 0.5; ly += l.row_height)
                p.drawLine(QPointF(left, ly), QPointF(left + table_width, ly));
            // Vertical lines between cells; the border closes the outside.
            qreal lx = left + l.row_header_width;
            if (settings.row_headers)
                p.drawLine(QPointF(lx, l.table_top), QPointF(lx, bottom));
            for (std::size_t k = 0; k + 1 < band.size(); ++k) {
                lx += l.widths[band[k]];
                p.drawLine(QPointF(lx, l.table_top), QPointF(lx, bottom));
            }
        } else if (settings.col_headers) {
            p.drawLine(QPointF(left, l.table_top + l.row_height), QPointF(left + table_width, l.table_top + l.row_height));
        }
    }
};

}  // namespace

int spread_print(QPrinter& printer, const SpreadPrintSheet& sheet, const SpreadPrintSettings& settings)
{
    if (!sheet.model || sheet.columns.size() != sheet.widths.size())
        return 0;
    printer.setFullPage(true);  // the margins are ours
    if (!settings.job_name.isEmpty())
        printer.setDocName(settings.job_name);

    QPainter p;
    if (!p.begin(&printer))
        return 0;

    const auto header = spread_parse_print_codes(settings.header, sheet.font);
    const auto footer = spread_parse_print_codes(settings.footer, sheet.font);
    const PageLayout l = lay_out(printer, sheet, settings, header, footer);

    QPen line_pen(Qt::black);
    line_pen.setWidthF(std::max(1.0, printer.logicalDpiX() / 160.0));
    const TablePainter table{p, sheet, settings, l, line_pen};

    int page = 0;
    for (const std::vector<int>& band : l.bands) {
        qreal table_width = l.row_header_width;
        for (int k : band)
            table_width += l.widths[k];

        for (int chunk = 0; chunk < l.row_pages; ++chunk) {
            if (page > 0)
                printer.newPage();
            ++page;
            p.setPen(Qt::black);
            draw_lines(p, header, l.content.left(), l.content.right(), l.content.top(), page);
            draw_lines(p, footer, l.content.left(), l.content.right(), l.content.bottom() - l.footer_height, page);

            const int first = sheet.row1 + chunk * l.rows_per_page;
            const int last = std::min(sheet.row2, first + l.rows_per_page - 1);
            table.draw(band, table_width, first, last);
        }
    }
    p.end();
    return page;
}

}  // namespace kelvo
