#include "samplelist/sample_validation.h"

#include "config/config_db.h"
#include "ground/text_utils.h"
#include "language/macro.h"
#include "language/method.h"
#include "samplelist/sample_table.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <string>
#include <unordered_map>
#include <vector>

namespace kelvo {

namespace {

struct Limits {
    double minimum = 0;
    double maximum = 0;
};

// The value of a positive integer text ("007" is 7); a number too long for
// the type counts as the largest.
long long positive_value(const std::string& text)
{
    long long v = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), v);
    if (ec == std::errc::result_out_of_range) return LLONG_MAX;
    return end == text.data() + text.size() ? v : 0;
}

// Reads the method's file once: false when there is none.
bool method_limits(const ConfigDb& db, const MethodFolder& folder, const std::string& method, Limits& limits)
{
    if (!is_plain_document_name(method)) return false;
    std::vector<std::string> lines;
    if (!folder.exists(FolderDocument::method, method) || !folder.read_lines(FolderDocument::method, method, lines))
        return false;
    std::string syringe;
    for (const std::string& line : lines)
        if (is_syringe_line(line)) {
            syringe = syringe_of_line(line);
            break;
        }
    limits.minimum = db.numeric_value(syringe, "Min Volume");
    limits.maximum = db.numeric_value(syringe, "Max Volume");
    return true;
}

std::string volume_failure(const std::string& prefix, const std::string& label, const std::string& text,
                           const Limits& limits)
{
    double v = 0;
    if (!parse_decimal(text, v)) return prefix + label + " (" + text + ") is not a number";
    if (v > limits.maximum) return prefix + label + " (" + text + ") is too big for the syringe.";
    if (v < limits.minimum) return prefix + label + " (" + text + ") is too small for the syringe.";
    return {};
}

}  // namespace

long long tray_capacity(const ConfigDb& db, const std::string& tray)
{
    if (tray.empty() || !db.is_tray(tray)) return 0;
    const std::string type = db.tray_type(tray);
    const double c = db.numeric_value(type, "Spl Per Row") * db.numeric_value(type, "Spl Per Col");
    return std::isfinite(c) ? static_cast<long long>(std::trunc(c)) : 0;
}

std::string validation_failure(const SampleTable& table, const ConfigDb& db, const MethodFolder& folder)
{
    const int rows = table.rows();
    if (rows == 0) return empty_list_text;
    const ColumnTable& columns = table.columns();
    const auto shown = [&](int col) { return columns.valid(col) && !columns.hidden(col); };

    // One file read per distinct method, in the order of first use.
    std::unordered_map<std::string, std::size_t> method_of_key;
    std::vector<Limits> limits;
    std::vector<std::size_t> row_method(static_cast<std::size_t>(rows));
    for (int row = 1; row <= rows; ++row) {
        const std::string method = table.cell(column_no::method, row);
        const auto [it, first] = method_of_key.try_emplace(upper_text(method), limits.size());
        if (first) {
            Limits l;
            if (!method_limits(db, folder, method, l))
                return "In row " + std::to_string(row) + ", \"" + method + "\" is not a method";
            limits.push_back(l);
        }
        row_method[static_cast<std::size_t>(row - 1)] = it->second;
    }

    for (int row = 1; row <= rows; ++row) {
        const std::string p = "In row " + std::to_string(row) + ",";
        const Limits& l = limits[row_method[static_cast<std::size_t>(row - 1)]];
        const std::string tray = table.cell(column_no::tray, row);
        long long capacity = 0;
        if (shown(column_no::tray)) {
            if (!tray.empty() && !db.is_tray(tray)) return p + tray + "is not a tray";
            capacity = tray_capacity(db, tray);
        }
        if (shown(column_no::injector)) {
            const std::string injector = table.cell(column_no::injector, row);
            if (!injector.empty() && !db.is_injector(injector)) return p + injector + "is not an injector";
        }
        if (shown(column_no::volume)) {
            const std::string f = volume_failure(p, "Volume", table.cell(column_no::volume, row), l);
            if (!f.empty()) return f;
        }
        long long vial = 0;
        if (shown(column_no::vial)) {
            const std::string text = table.cell(column_no::vial, row);
            if (!is_positive_integer(text)) return p + "The vial is not a positive integer";
            vial = positive_value(text);
            if (shown(column_no::tray) && vial > capacity) return p + "The vial number is too large for the tray";
        }
        if (shown(column_no::inj_per_vial)) {
            const std::string count = table.cell(column_no::inj_per_vial, row);
            if (!count.empty() && !is_positive_integer(count)) return p + "The count is not a positive integer";
        }
        if (shown(column_no::tray2)) {
            const std::string tray2 = table.cell(column_no::tray2, row);
            if (!tray2.empty()) {
                if (!db.is_tray(tray2)) return p + tray2 + "is not a tray";
                if (shown(column_no::vial) && tray_capacity(db, tray2) < vial)
                    return p + "The vial number is too big for tray 2";
            }
        }
        if (shown(column_no::injector2)) {
            const std::string injector2 = table.cell(column_no::injector2, row);
            if (!injector2.empty() && !db.is_injector(injector2)) return p + injector2 + "is not an injector";
        }
        if (shown(column_no::volume2)) {
            const std::string f = volume_failure(p, "Volume 2", table.cell(column_no::volume2, row), l);
            if (!f.empty()) return f;
        }
    }
    return {};
}

}  // namespace kelvo
