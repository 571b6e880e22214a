#include "config/config_db.h"

#include "ground/text_utils.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace kelvo {
namespace {

// "\xB0" "C" is split so that the C of the unit is not read as a hex digit.
const std::string degrees_c = "\xB0" "C";
const std::string scaled_units[] = {"mm", "\xB5l", degrees_c, "\xB5l/s"};

// Index of the last property of that name, -1 when none.
int property_index(const ConfigClass& c, const std::string& name)
{
    for (int i = static_cast<int>(c.properties.size()) - 1; i >= 0; --i)
        if (same_text(c.properties[static_cast<std::size_t>(i)].name, name)) return i;
    return -1;
}

// Whole numbers in plain digits, however large (never an exponent form).
std::string integer_text(double v)
{
    if (!std::isfinite(v)) return "0";
    char buf[400];
    std::snprintf(buf, sizeof buf, "%.0f", v);
    return buf;
}

bool holds_number(PropertyKind kind) { return kind == PropertyKind::numeric || kind == PropertyKind::list_index; }

}  // namespace

ConfigDb::ConfigDb()
{
    clear();
}

void ConfigDb::clear()
{
    lists_.assign(list_capacity, ValueList{});
    list_count_ = 0;
    classes_.clear();
    objects_.clear();
    value_store_.assign(value_store_capacity, 0);
    value_store_used_ = 0;
    long_texts_.clear();
    atoms_.clear();
    syringe_class_ = -1;
}

const ValueList& ConfigDb::list(int id) const
{
    static const ValueList undefined;
    if (id < 0 || id >= list_capacity) return undefined;
    return lists_[static_cast<std::size_t>(id)];
}

int ConfigDb::class_index(const std::string& name) const
{
    for (int i = class_count() - 1; i >= 0; --i)
        if (same_text(classes_[static_cast<std::size_t>(i)].name, name)) return i;
    return class_count();
}

std::uint32_t ConfigDb::class_bit(const std::string& name) const
{
    for (int i = 0; i < class_count() && i < 32; ++i)
        if (same_text(classes_[static_cast<std::size_t>(i)].name, name)) return std::uint32_t{1} << i;
    return 0;
}

int ConfigDb::object_index(const std::string& name) const
{
    for (int i = object_count() - 1; i >= 0; --i)
        if (same_text(objects_[static_cast<std::size_t>(i)].name, name)) return i;
    return object_count();
}

std::string ConfigDb::class_name_of_object(const std::string& object) const
{
    return class_name_of_object(object_index(object));
}

std::string ConfigDb::class_name_of_object(int object) const
{
    if (object < 0 || object >= object_count()) return {};
    const int c = objects_[static_cast<std::size_t>(object)].class_index;
    if (c < 0 || c >= class_count()) return {};
    return classes_[static_cast<std::size_t>(c)].name;
}

bool ConfigDb::is_tray(const std::string& object) const { return same_text(class_name_of_object(object), "TRAY"); }
bool ConfigDb::is_tray_holder(const std::string& object) const
{
    return same_text(class_name_of_object(object), "TRAY_HOLDER");
}
bool ConfigDb::is_tray_type(const std::string& object) const
{
    return same_text(class_name_of_object(object), "TRAY_TYPE");
}
bool ConfigDb::is_injector(const std::string& object) const
{
    return same_text(class_name_of_object(object), "INJECTOR");
}

bool ConfigDb::is_tray_on_holder(const std::string& object, const std::string& holder) const
{
    return is_tray(object) && same_text(text_value(object, "Tray Holder"), holder);
}

std::string ConfigDb::tray_type(const std::string& object) const { return text_value(object, "Tray Type"); }

std::string ConfigDb::text_value(const std::string& object, const std::string& property) const
{
    const int o = object_index(object);
    if (o >= object_count()) return {};
    const ConfigClass& c = classes_[static_cast<std::size_t>(objects_[static_cast<std::size_t>(o)].class_index)];
    return text_value(o, property_index(c, property));
}

double ConfigDb::numeric_value(const std::string& object, const std::string& property) const
{
    const int o = object_index(object);
    if (o >= object_count()) return 0;
    const ConfigClass& c = classes_[static_cast<std::size_t>(objects_[static_cast<std::size_t>(o)].class_index)];
    return numeric_value(o, property_index(c, property));
}

// The direct accessors check object, property and kind, so that a wrong
// index can never read or write beyond the object's block.
namespace {
const ConfigProperty* property_of(const std::vector<ConfigClass>& classes, const std::vector<ConfigObject>& objects,
                                  int object, int property)
{
    if (object < 0 || object >= static_cast<int>(objects.size())) return nullptr;
    const int c = objects[static_cast<std::size_t>(object)].class_index;
    if (c < 0 || c >= static_cast<int>(classes.size())) return nullptr;
    const auto& props = classes[static_cast<std::size_t>(c)].properties;
    if (property < 0 || property >= static_cast<int>(props.size())) return nullptr;
    return &props[static_cast<std::size_t>(property)];
}
}  // namespace

double ConfigDb::numeric_value(int object, int property) const
{
    const ConfigProperty* p = property_of(classes_, objects_, object, property);
    if (!p || !holds_number(p->kind)) return 0;
    const int at = objects_[static_cast<std::size_t>(object)].offset + p->offset;
    if (at < 0 || at + 8 > value_store_capacity) return 0;
    double v;
    std::memcpy(&v, value_store_.data() + at, sizeof v);
    return v;
}

void ConfigDb::set_numeric_value(int object, int property, double value)
{
    const ConfigProperty* p = property_of(classes_, objects_, object, property);
    if (!p || !holds_number(p->kind)) return;
    const int at = objects_[static_cast<std::size_t>(object)].offset + p->offset;
    if (at < 0 || at + 8 > value_store_capacity) return;
    std::memcpy(value_store_.data() + at, &value, sizeof value);
}

std::string ConfigDb::text_value(int object, int property) const
{
    const ConfigProperty* p = property_of(classes_, objects_, object, property);
    if (!p || holds_number(p->kind)) return {};
    const int at = objects_[static_cast<std::size_t>(object)].offset + p->offset;
    if (at < 0 || at + text_value_capacity + 1 > value_store_capacity) return {};
    const auto whole = long_texts_.find(at);
    if (whole != long_texts_.end()) return whole->second;
    const char* slot = reinterpret_cast<const char*>(value_store_.data() + at);
    return std::string(slot, strnlen(slot, text_value_capacity));
}

void ConfigDb::set_text_value(int object, int property, const std::string& value)
{
    const ConfigProperty* p = property_of(classes_, objects_, object, property);
    if (!p || holds_number(p->kind)) return;
    const int at = objects_[static_cast<std::size_t>(object)].offset + p->offset;
    if (at < 0 || at + text_value_capacity + 1 > value_store_capacity) return;
    // The slot keeps what fits (up to a NUL), zero-terminated; the whole text
    // is kept aside when it is longer.
    const std::size_t stop = value.find('\0');
    const std::string text = stop == std::string::npos ? value : value.substr(0, stop);
    const std::size_t n = text.size() < static_cast<std::size_t>(text_value_capacity) ? text.size()
                                                                                     : text_value_capacity;
    unsigned char* slot = value_store_.data() + at;
    std::memset(slot, 0, text_value_capacity + 1);
    std::memcpy(slot, text.data(), n);
    if (text.size() > n)
        long_texts_[at] = text;
    else
        long_texts_.erase(at);
}

int ConfigDb::atom_index(const std::string& name) const
{
    for (int i = atom_count() - 1; i >= 0; --i)
        if (same_text(atoms_[static_cast<std::size_t>(i)].name, name)) return i;
    return atom_count();
}

int ConfigDb::list_position(int id, const std::string& name) const
{
    const ValueList& l = list(id);
    for (int i = static_cast<int>(l.entries.size()) - 1; i >= 0; --i)
        if (same_text(l.entries[static_cast<std::size_t>(i)], name)) return i;
    return -1;
}

bool ConfigDb::atom_has_object_argument(int atom, const std::string& name) const
{
    if (atom < 0 || atom >= atom_count()) return false;
    for (const AtomArgument& a : atoms_[static_cast<std::size_t>(atom)].arguments)
        if (a.kind == ArgumentKind::object && same_text(a.name, name)) return true;
    return false;
}

bool ConfigDb::is_valid_property_reference(int atom, const std::string& reference, const std::string& unit) const
{
    if (!atom_has_object_argument(atom, dotted_head(reference))) return false;
    const std::string property = dotted_tail(reference);
    if (unit.empty() && same_text(property, "Max Index")) return true;
    for (const ConfigClass& c : classes_)
        for (const ConfigProperty& p : c.properties)
            if (same_text(p.name, property) && p.unit == unit) return true;
    return false;
}

bool ConfigDb::is_syr_reference(const std::string& name) const
{
    return has_syringe_class() && same_text(dotted_head(name), "SYR");
}

std::string ConfigDb::object_line(int object, const std::string& name) const
{
    if (object < 0 || object >= object_count()) return {};
    const ConfigObject& o = objects_[static_cast<std::size_t>(object)];
    const ConfigClass& c = classes_[static_cast<std::size_t>(o.class_index)];
    std::string line = c.name + ";" + (name.empty() ? o.name : name);
    for (int n = 0; n < static_cast<int>(c.properties.size()); ++n) {
        const ConfigProperty& p = c.properties[static_cast<std::size_t>(n)];
        line += ';';
        if (!holds_number(p.kind)) {
            line += text_value(object, n);
            continue;
        }
        double v = numeric_value(object, n);
        if (is_scaled_unit(p.unit)) v *= scaled_unit_factor;
        // The default rounding mode rounds half to even; + 0.0 turns -0 into 0.
        v = std::nearbyint(v) + 0.0;
        line += integer_text(v);
    }
    return line;
}

ConfigDb& config()
{
    static ConfigDb instance;
    return instance;
}

std::string dotted_head(const std::string& name)
{
    const auto dot = name.find('.');
    return dot == std::string::npos ? std::string() : name.substr(0, dot);
}

std::string dotted_tail(const std::string& name)
{
    const auto dot = name.find('.');
    return dot == std::string::npos ? name : name.substr(dot + 1);
}

bool is_scaled_unit(const std::string& unit)
{
    for (const std::string& u : scaled_units)
        if (unit == u) return true;
    return false;
}

std::string translate_unit(const std::string& code)
{
    if (code == "E") return {};
    if (code == "nl") return "\xB5l";
    if (code == "\xB5m") return "mm";
    if (code == "nl/s") return "\xB5l/s";
    if (code == "m" + degrees_c) return degrees_c;
    return code;
}

}  // namespace kelvo
