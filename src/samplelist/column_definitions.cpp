#include "samplelist/column_definitions.h"

#include "ground/ini_file.h"
#include "ground/text_utils.h"
#include "samplelist/sample_columns.h"

#include <algorithm>
#include <map>

namespace kelvo {

namespace {

ColumnKind kind_of(const std::string& type)
{
    if (same_text(type, "text")) return ColumnKind::text;
    if (same_text(type, "numeric")) return ColumnKind::numeric;
    if (same_text(type, "list")) return ColumnKind::list;
    if (same_text(type, "checkbox")) return ColumnKind::check_box;
    return ColumnKind::none;
}

int field_number(const std::string& value, int index)
{
    return integer_or_zero(definition_field(value, index));
}

// The number N of a name "<prefix>N" (N written without leading zeros, as
// the reader asks for it, the prefix in any case), or 0.
int numbered(const std::string& name, const std::string& prefix)
{
    if (name.size() <= prefix.size() || name.size() > prefix.size() + 9) return 0;
    if (!same_text(name.substr(0, prefix.size()), prefix)) return 0;
    int n = 0;
    for (std::size_t i = prefix.size(); i < name.size(); ++i) {
        const char c = name[i];
        if (c < '0' || c > '9' || (i == prefix.size() && c == '0')) return 0;
        n = n * 10 + (c - '0');
    }
    return n;
}

// The items of a list column: the values of "Line1" to "Line<line_count>"
// joined (a missing one is empty), split at "#". The keys are looked up in
// one pass over the section, so that a huge count costs nothing and a key
// anywhere in the section (Line9 before Line1) is found.
std::vector<std::string> list_items(const IniFile& file, const std::string& section, int item_count, int line_count)
{
    std::map<int, std::string> lines;
    for (const auto& [key, value] : file.section_entries(section)) {
        const int k = numbered(key, "Line");
        if (k >= 1 && k <= line_count) lines.emplace(k, value);  // the first of a key counts
    }
    std::string joined;
    for (const auto& [k, value] : lines) joined += value;
    const int wanted = std::min(item_count, ColumnTable::list_item_capacity + 1);
    std::vector<std::string> items;
    for (int i = 0; i < wanted; ++i) items.push_back(definition_field(joined, i));
    return items;
}

int column_with_heading(const ColumnTable& columns, const std::string& heading)
{
    for (int col = 1; col <= columns.count(); ++col)
        if (same_text(columns.column(col).heading, heading)) return col;
    return 0;
}

}  // namespace

std::string definition_field(const std::string& value, int index)
{
    std::size_t start = 0;
    for (int i = 0; i < index; ++i) {
        const std::size_t hash = value.find('#', start);
        if (hash == std::string::npos) return {};
        start = hash + 1;
    }
    const std::size_t end = value.find('#', start);
    return value.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

ColumnFileReport read_column_definitions(const IniFile& file, ColumnTable& columns)
{
    ColumnFileReport report;
    // A count beyond the file's last column section reads as far as that
    // section: the columns after it have no definition.
    int n = integer_or_zero(file.read("system", "Numberofcolumns"));
    int last = 0;
    for (const std::string& name : file.section_names()) {
        const int k = numbered(name, "column");
        if (k <= n && k > last) last = k;
    }
    n = std::min(n, last);
    for (int i = 1; i <= n; ++i) {
        const std::string section = "column" + std::to_string(i);
        const std::string spec = file.read(section, "Spec");
        const std::string settings = file.read(section, "Settings");
        SampleColumn c;
        c.heading = definition_field(spec, 0);
        c.flag_a = definition_field(spec, 1) == "1";
        c.default_text = definition_field(spec, 2);
        c.kind = kind_of(definition_field(spec, 3));
        std::vector<std::string> items;
        switch (c.kind) {
        case ColumnKind::text: c.text_length = field_number(settings, 0); break;
        case ColumnKind::numeric:
            c.minimum = field_number(settings, 0);
            c.maximum = field_number(settings, 1);
            c.decimals = field_number(settings, 2);
            break;
        case ColumnKind::list:
            c.flag_b = definition_field(settings, 0) == "1";
            c.editable = definition_field(settings, 1) == "1";
            items = list_items(file, section, field_number(settings, 2), field_number(settings, 3));
            break;
        default: break;
        }

        const int existing = column_with_heading(columns, c.heading);
        if (existing >= 1 && existing <= fixed_column_count) {
            report.problems.push_back("Column \"" + c.heading +
                                      "\" is one of the sample list's own columns and was not added");
            continue;
        }
        if (existing == 0 && columns.count() >= ColumnTable::capacity) {
            report.problems.push_back("The sample list holds at most " + std::to_string(ColumnTable::capacity) +
                                      " columns: column \"" + c.heading + "\" was not added");
            continue;
        }

        if (c.kind == ColumnKind::list) {
            const bool same_items = existing > 0 && columns.column(existing).kind == ColumnKind::list &&
                                    columns.items_of(existing) == items;
            if (same_items) {
                c.first_item = columns.column(existing).first_item;
                c.item_count = columns.column(existing).item_count;
            } else {
                c.first_item = static_cast<int>(columns.list_items().size());
                for (const std::string& item : items) {
                    if (!columns.add_list_item(item)) break;
                    ++c.item_count;
                }
                if (c.item_count < static_cast<int>(items.size()))
                    report.problems.push_back("The sample list holds at most " +
                                              std::to_string(ColumnTable::list_item_capacity) +
                                              " list items: column \"" + c.heading + "\" got " +
                                              std::to_string(c.item_count) + " of its items");
            }
        }

        if (existing > 0) {
            // Redefined in its place; what the user chose for it stays.
            SampleColumn& old = columns.column(existing);
            c.width = old.width;
            c.hidden = old.hidden;
            old = c;
            ++report.redefined;
        } else {
            columns.add_column(c);
            ++report.added;
        }
    }
    return report;
}

ColumnFileReport read_column_definition_file(const std::string& path, ColumnTable& columns)
{
    IniFile file;
    if (path.empty() || !file.load(path)) return {};
    return read_column_definitions(file, columns);
}

}  // namespace kelvo
