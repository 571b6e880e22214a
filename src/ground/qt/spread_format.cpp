#include "ground/qt/spread_format.h"

#include <QHashFunctions>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace kelvo {

std::size_t SpreadCellFormatHash::operator()(const SpreadCellFormat& f) const noexcept
{
    std::size_t seed = 0;
    seed = qHashMulti(seed, f.cell_type, f.h_align, f.edit_len, f.edit_char_case, f.float_decimals,
                      f.float_min, f.float_max, f.float_decimal_char, f.float_separator);
    seed = qHashMulti(seed, f.combo_items, f.combo_editable, f.check_text);
    return seed;
}

QStringList spread_parse_combo_list(const QString& tab_separated)
{
    if (tab_separated.isEmpty())
        return {};
    QStringList items = tab_separated.split(QLatin1Char('\t'));
    if (items.last().isEmpty())
        items.removeLast();
    return items;
}

namespace {

// The character that groups thousands when separators are shown: a comma,
// unless the comma is the decimal character.
QChar group_char(const SpreadCellFormat& f)
{
    return f.float_decimal_char == QLatin1Char(',') ? QLatin1Char('.') : QLatin1Char(',');
}

int clamped_decimals(const SpreadCellFormat& f)
{
    return std::clamp(f.float_decimals, 0, 15);
}

QString normalise_float(const QString& text, const SpreadCellFormat& f, bool shown_form)
{
    QString t = text.trimmed();
    if (shown_form) {
        if (f.float_separator)
            t.remove(group_char(f));
        t.replace(f.float_decimal_char, QLatin1Char('.'));
    }
    if (t.startsWith(QLatin1Char('+')))
        t.remove(0, 1);
    if (t.isEmpty())
        return {};

    const std::string bytes = t.toStdString();
    double v = 0;
    const auto [end, ec] = std::from_chars(bytes.data(), bytes.data() + bytes.size(), v);
    if (ec != std::errc() || end != bytes.data() + bytes.size() || !std::isfinite(v))
        return {};

    const double lo = std::min(f.float_min, f.float_max);
    const double hi = std::max(f.float_min, f.float_max);
    v = std::clamp(v, lo, hi);

    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, clamped_decimals(f));
    if (res.ec != std::errc())
        return {};
    QString out = QString::fromLatin1(buf, res.ptr - buf);
    // "-0.00" is no different from "0.00" to a user.
    const bool all_zero = std::all_of(out.cbegin() + 1, out.cend(),
                                      [](QChar c) { return c == QLatin1Char('0') || c == QLatin1Char('.'); });
    if (out.startsWith(QLatin1Char('-')) && all_zero)
        out.remove(0, 1);
    return out;
}

}  // namespace

QString spread_normalise(const QString& text, const SpreadCellFormat& f, bool shown_form)
{
    switch (f.cell_type) {
    case SpreadCellType::edit: {
        QString t = text;
        if (f.edit_char_case == SpreadCharCase::upper)
            t = t.toUpper();
        else if (f.edit_char_case == SpreadCharCase::lower)
            t = t.toLower();
        if (f.edit_len > 0 && t.size() > f.edit_len)
            t.truncate(f.edit_len);
        return t;
    }
    case SpreadCellType::float_number:
        return normalise_float(text, f, shown_form);
    default:
        return text;
    }
}

QString spread_shown_text(const QString& stored, const SpreadCellFormat& f)
{
    if (f.cell_type != SpreadCellType::float_number || stored.isEmpty())
        return stored;
    qsizetype point = stored.indexOf(QLatin1Char('.'));
    QString out = stored;
    if (point >= 0)
        out[point] = f.float_decimal_char;
    else
        point = out.size();
    if (f.float_separator) {
        const qsizetype first_digit = out.startsWith(QLatin1Char('-')) ? 1 : 0;
        for (qsizetype i = point - 3; i > first_digit; i -= 3)
            out.insert(i, group_char(f));
    }
    return out;
}

QString spread_editor_text(const QString& stored, const SpreadCellFormat& f)
{
    if (f.cell_type != SpreadCellType::float_number)
        return stored;
    QString out = stored;
    out.replace(QLatin1Char('.'), f.float_decimal_char);
    return out;
}

QString spread_value_text(const QString& stored, const SpreadCellFormat& f)
{
    if (f.cell_type != SpreadCellType::float_number || !stored.contains(QLatin1Char('.')))
        return stored;
    qsizetype end = stored.size();
    while (stored[end - 1] == QLatin1Char('0'))
        --end;
    if (stored[end - 1] == QLatin1Char('.'))
        --end;
    return stored.left(end);
}

bool spread_is_checked(const QString& stored)
{
    const QString t = stored.trimmed();
    bool ok = false;
    const double d = t.toDouble(&ok);
    if (ok)
        return d != 0;
    return t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0;
}

Qt::Alignment spread_alignment(const SpreadCellFormat& f)
{
    Qt::Alignment h = Qt::AlignLeft;
    if (f.h_align == SpreadHAlign::right
        || (f.h_align == SpreadHAlign::automatic && f.cell_type == SpreadCellType::float_number))
        h = Qt::AlignRight;
    else if (f.h_align == SpreadHAlign::center)
        h = Qt::AlignHCenter;
    return h | Qt::AlignVCenter;
}

}  // namespace kelvo
