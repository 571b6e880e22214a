#include "trays/tray_types.h"

#include "ground/text_utils.h"

namespace kelvo {

std::vector<std::string> offered_tray_types(const ConfigDb& db, const std::string& tray)
{
    const std::string accepted = db.text_value(tray, "TrayTypeGroup");
    std::vector<std::string> types;
    for (int o = 0; o < db.object_count(); ++o) {
        if (!same_text(db.class_name_of_object(o), "TRAY_TYPE")) continue;
        const std::string& name = db.objects()[static_cast<std::size_t>(o)].name;
        const std::string group = db.text_value(name, "TrayTypeGroup");
        if (group.empty() || accepted.find(group[0]) != std::string::npos) types.push_back(name);
    }
    return types;
}

std::optional<std::string> change_tray_type(ConfigDb& db, const std::string& tray, const std::string& type)
{
    const int o = db.object_index(tray);
    if (o >= db.object_count()) return std::nullopt;
    const int c = db.objects()[static_cast<std::size_t>(o)].class_index;
    const auto& props = db.classes()[static_cast<std::size_t>(c)].properties;
    for (int p = 0; p < static_cast<int>(props.size()); ++p) {
        if (!same_text(props[static_cast<std::size_t>(p)].name, "TRAY TYPE")) continue;
        db.set_text_value(o, p, type);
        return "DLD_OBJ " + db.object_line(o);
    }
    return std::nullopt;
}

std::string tray_type_changed_text(const ConfigDb& db, const std::string& tray)
{
    return "Tray type of " + tray + " set to " + db.tray_type(tray);
}

std::string first_tray_on_holder(const ConfigDb& db, const std::string& holder)
{
    for (int o = 0; o < db.object_count(); ++o) {
        const std::string& name = db.objects()[static_cast<std::size_t>(o)].name;
        if (same_text(db.class_name_of_object(o), "TRAY") && db.is_tray_on_holder(name, holder)) return name;
    }
    return {};
}

}  // namespace kelvo
