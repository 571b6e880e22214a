// The names offered by the reference menus and the object pickers.
#include "ground/text_utils.h"
#include "config/config_db.h"
#include "config/config_parser.h"

namespace kelvo {

std::vector<std::string> reference_fill_1(const std::string& unit)
{
    std::vector<std::string> names;
    if (unit.empty()) add_unique_name(names, "SL.index");
    if (unit == "\xB5l") {
        add_unique_name(names, "SL.volume");
        add_unique_name(names, "SL.volume2");
    }
    if (unit.empty()) add_unique_name(names, "SL.injpervial");
    return names;
}

std::vector<std::string> reference_fill_2(const ConfigDb& db, const std::string& unit)
{
    std::vector<std::string> names = reference_fill_1(unit);
    if (db.has_syringe_class()) {
        const ConfigClass& syringe = db.classes()[static_cast<std::size_t>(db.syringe_class())];
        for (const ConfigProperty& p : syringe.properties)
            if (p.kind == PropertyKind::numeric && p.unit == unit) add_unique_name(names, "SYR." + p.name);
    }
    return names;
}

std::vector<std::string> reference_fill_3(const ConfigDb& db, const std::string& unit,
                                          const std::vector<std::string>& macro_parameter_lines)
{
    std::vector<std::string> names = reference_fill_2(db, unit);
    for (const std::string& line : macro_parameter_lines) {
        const std::vector<std::string> fields = split_config_fields(line);
        const std::string first = fields.empty() ? std::string() : fields[0];
        const std::string second = fields.size() < 2 ? std::string() : fields[1];
        // An object parameter names a class in its second field.
        if (!second.empty() && db.class_index(second) < db.class_count()) continue;
        // "Name (unit)": the name less the blank before "(".
        const auto open = first.find('(');
        std::string name = first.substr(0, open);
        if (!name.empty()) name.pop_back();
        std::string parameter_unit;
        if (open != std::string::npos) {
            const auto close = first.find(')', open + 1);
            parameter_unit = first.substr(open + 1, close == std::string::npos ? std::string::npos : close - open - 1);
        }
        if (parameter_unit == unit && !name.empty()) add_unique_name(names, name);
    }
    return names;
}

std::vector<std::string> objects_of_class(const ConfigDb& db, const std::string& class_name)
{
    std::vector<std::string> names;
    for (int i = 0; i < db.object_count(); ++i)
        if (same_text(db.class_name_of_object(i), class_name)) names.push_back(db.objects()[static_cast<std::size_t>(i)].name);
    return names;
}

}  // namespace kelvo
