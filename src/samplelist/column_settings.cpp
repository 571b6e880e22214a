#include "samplelist/column_settings.h"

#include "ground/settings.h"
#include "ground/text_utils.h"
#include "samplelist/sample_columns.h"

#include <cmath>
#include <optional>

namespace kelvo {

namespace {

const SettingValue* value_named(const std::vector<NamedSettingValue>& values, const std::string& heading)
{
    for (const auto& [name, value] : values)
        if (same_text(name, heading)) return &value;
    return nullptr;
}

long long number_of(const SettingValue& v)
{
    switch (v.kind) {
    case SettingValue::Kind::dword: return v.dword;
    case SettingValue::Kind::text: return integer_or_zero(v.text);
    case SettingValue::Kind::binary: break;
    }
    return 1;
}

double width_of(const SettingValue& v)
{
    double w = 0;
    if (const std::optional<double> d = setting_double(v)) w = *d;
    else if (v.kind == SettingValue::Kind::dword) w = v.dword;
    else if (v.kind == SettingValue::Kind::text) w = decimal_or_zero(v.text);
    return std::isfinite(w) && w > 0 ? w : 0;
}

template <typename Value>
void write_all(SettingsStore& store, const char* key, const ColumnTable& columns, Value value_of)
{
    std::vector<NamedSettingValue> values;
    for (int col = 1; col <= columns.count(); ++col) values.emplace_back(columns.column(col).heading, value_of(col));
    store.replace_values(key, values);
}

SettingValue shown_value(const ColumnTable& columns, int col)
{
    return SettingValue::of_dword(columns.column(col).hidden ? 0 : 1);
}

}  // namespace

void load_column_settings(SettingsStore& store, ColumnTable& columns)
{
    for (int col = 1; col <= columns.count(); ++col) columns.column(col).hidden = false;
    if (!store.available()) return;

    const std::vector<NamedSettingValue> shown = store.values(visibility_key);
    if (shown.empty()) {
        write_all(store, visibility_key, columns, [&](int col) { return shown_value(columns, col); });
    } else {
        for (int col = 1; col <= columns.count(); ++col)
            if (const SettingValue* v = value_named(shown, columns.column(col).heading))
                columns.column(col).hidden = number_of(*v) == 0;
    }

    const std::vector<NamedSettingValue> widths = store.values(widths_key);
    if (widths.empty()) {
        for (int col = 1; col <= columns.count(); ++col) columns.column(col).width = default_column_width;
        write_all(store, widths_key, columns, [](int) { return double_setting(default_column_width); });
    } else {
        for (int col = 1; col <= columns.count(); ++col) {
            const SettingValue* v = value_named(widths, columns.column(col).heading);
            columns.column(col).width = v ? width_of(*v) : 0;
        }
    }

    const std::vector<NamedSettingValue> defaults = store.values(defaults_key);
    if (defaults.empty()) {
        save_column_defaults(store, columns);
    } else {
        for (int col = 1; col <= columns.count(); ++col)
            if (const SettingValue* v = value_named(defaults, columns.column(col).heading))
                columns.column(col).default_text = v->text;
    }
}

void save_column_visibility(SettingsStore& store, const ColumnTable& columns)
{
    if (!store.available()) return;
    write_all(store, visibility_key, columns, [&](int col) { return shown_value(columns, col); });
}

void save_column_widths(SettingsStore& store, const ColumnTable& columns)
{
    if (!store.available()) return;
    write_all(store, widths_key, columns, [&](int col) { return double_setting(columns.column(col).width); });
}

void save_column_defaults(SettingsStore& store, const ColumnTable& columns)
{
    if (!store.available()) return;
    write_all(store, defaults_key, columns,
              [&](int col) { return SettingValue::of_text(columns.column(col).default_text); });
}

bool is_tray_page_column(const ColumnTable& columns, int col)
{
    return columns.valid(col) && col != column_no::status && col != column_no::tray && col != column_no::vial;
}

void load_tray_page_defaults(SettingsStore& store, const ColumnTable& columns, std::vector<std::string>& values)
{
    values.resize(static_cast<std::size_t>(columns.count()));
    if (!store.available()) return;
    const std::vector<NamedSettingValue> stored = store.values(tray_page_defaults_key);
    if (stored.empty()) {
        save_tray_page_defaults(store, columns, values);
        return;
    }
    for (int col = 1; col <= columns.count(); ++col) {
        if (!is_tray_page_column(columns, col)) continue;
        if (const SettingValue* v = value_named(stored, columns.column(col).heading))
            values[static_cast<std::size_t>(col - 1)] = v->text;
    }
}

void save_tray_page_defaults(SettingsStore& store, const ColumnTable& columns, const std::vector<std::string>& values)
{
    if (!store.available()) return;
    std::vector<NamedSettingValue> out;
    for (int col = 1; col <= columns.count(); ++col) {
        if (!is_tray_page_column(columns, col)) continue;
        const auto i = static_cast<std::size_t>(col - 1);
        out.emplace_back(columns.column(col).heading, SettingValue::of_text(i < values.size() ? values[i] : ""));
    }
    store.replace_values(tray_page_defaults_key, out);
}

}  // namespace kelvo
