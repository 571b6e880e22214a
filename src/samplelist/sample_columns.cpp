#include "samplelist/sample_columns.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace kelvo {

namespace {

SampleColumn text_column(const char* heading, const char* default_text, int length)
{
    SampleColumn c;
    c.heading = heading;
    c.default_text = default_text;
    c.kind = ColumnKind::text;
    c.text_length = length;
    return c;
}

SampleColumn choice_column(const char* heading, const std::string& default_text, ProgramList list)
{
    SampleColumn c;
    c.heading = heading;
    c.default_text = default_text;
    c.kind = ColumnKind::choice;
    c.program_list = list;
    return c;
}

std::string number_text(const SampleColumn& column, const std::string& text)
{
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    std::size_t last = text.find_last_not_of(' ');
    std::string t = text.substr(first, last - first + 1);
    if (!t.empty() && t.front() == '+') t.erase(0, 1);
    if (t.empty()) return {};
    double v = 0;
    const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), v);
    if (ec != std::errc() || end != t.data() + t.size() || !std::isfinite(v)) return {};
    v = std::clamp(v, std::min(column.minimum, column.maximum), std::max(column.minimum, column.maximum));
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed,
                                   std::clamp(column.decimals, 0, 15));
    if (res.ec != std::errc()) return {};
    std::string out(buf, res.ptr);
    if (out.find('.') != std::string::npos) {
        while (out.back() == '0') out.pop_back();
        if (out.back() == '.') out.pop_back();
    }
    if (out == "-0") out = "0";
    return out;
}

}  // namespace

std::string upper_cp1252(const std::string& text)
{
    std::string out = text;
    for (char& ch : out) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= 'a' && c <= 'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7)) ch = static_cast<char>(c - 0x20);
        else if (c == 0x9A || c == 0x9C || c == 0x9E) ch = static_cast<char>(c - 0x10);
        else if (c == 0xFF) ch = static_cast<char>(0x9F);
    }
    return out;
}

void ColumnTable::build_fixed(const FixedColumnDefaults& d)
{
    columns_.clear();
    list_items_.clear();
    SampleColumn status = text_column("Status", "", 12);
    status.kind = ColumnKind::status;
    columns_.push_back(status);
    columns_.push_back(choice_column("Method", d.method, ProgramList::methods));
    columns_.back().width = 22;  // method names are long
    columns_.push_back(text_column("Volume", "1.0", 10));
    columns_.push_back(choice_column("Tray", d.tray, ProgramList::trays));
    columns_.push_back(choice_column("Injector", d.injector, ProgramList::injectors));
    columns_.push_back(text_column("Volume 2", "1.0", 10));
    columns_.push_back(choice_column("Tray 2", d.tray, ProgramList::trays));
    columns_.push_back(choice_column("Injector 2", d.injector, ProgramList::injectors));
    columns_.push_back(text_column("Vial", "1", 4));
    columns_.push_back(text_column("Inj/Vial", "1", 4));
}

bool ColumnTable::add_column(const SampleColumn& column)
{
    if (count() >= capacity) return false;
    columns_.push_back(column);
    return true;
}

bool ColumnTable::add_list_item(const std::string& item)
{
    if (static_cast<int>(list_items_.size()) >= list_item_capacity) return false;
    list_items_.push_back(item);
    return true;
}

std::vector<std::string> ColumnTable::items_of(int col) const
{
    std::vector<std::string> items;
    if (!valid(col) || column(col).kind != ColumnKind::list) return items;
    const SampleColumn& c = column(col);
    for (int i = c.first_item; i < c.first_item + c.item_count; ++i)
        if (i >= 0 && i < static_cast<int>(list_items_.size())) items.push_back(list_items_[static_cast<std::size_t>(i)]);
    return items;
}

std::string normalise_cell(const SampleColumn& column, const std::string& text)
{
    switch (column.kind) {
    case ColumnKind::text: {
        std::string t = upper_cp1252(text);
        if (column.text_length > 0 && static_cast<int>(t.size()) > column.text_length)
            t.resize(static_cast<std::size_t>(column.text_length));
        return t;
    }
    case ColumnKind::numeric: return number_text(column, text);
    case ColumnKind::status: return {};
    default: return text;
    }
}

}  // namespace kelvo
