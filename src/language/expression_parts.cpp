#include "language/expression_parts.h"

#include "ground/text_utils.h"
#include "config/config_db.h"
#include "ground/duration.h"

namespace kelvo::expression_parts {
namespace {

char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }
bool digit(char c) { return c >= '0' && c <= '9'; }
bool holds_number(PropertyKind kind) { return kind == PropertyKind::numeric || kind == PropertyKind::list_index; }

}  // namespace

bool iequal(std::string_view a, std::string_view b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

bool plain_number(std::string_view text, double* value)
{
    // Most operands are names: look before building a string.
    for (char c : text)
        if (!digit(c) && c != '.' && c != '-') return false;
    double v;
    if (!parse_decimal(std::string(text), v)) return false;
    if (value) *value = v;
    return true;
}

bool time_form(std::string_view text, double* seconds)
{
    const auto colon = text.find(':');
    if (colon == std::string_view::npos) return false;
    const std::string t(text);
    if (!is_duration(t)) return false;
    if (seconds) *seconds = duration_seconds(t);
    return true;
}

std::string head_of(std::string_view text)
{
    const auto dot = text.find('.');
    return dot == std::string_view::npos ? std::string() : std::string(text.substr(0, dot));
}

std::string tail_of(std::string_view text)
{
    const auto dot = text.find('.');
    return dot == std::string_view::npos ? std::string(text) : std::string(text.substr(dot + 1));
}

int syringe_property(const ConfigDb& db, std::string_view text, const std::string& unit)
{
    if (!db.has_syringe_class()) return -1;
    const auto dot = text.find('.');
    if (dot == std::string_view::npos || !iequal(text.substr(0, dot), "SYR")) return -1;
    const std::string_view name = text.substr(dot + 1);
    const auto& properties = db.classes()[static_cast<std::size_t>(db.syringe_class())].properties;
    for (std::size_t i = 0; i < properties.size(); ++i)
        if (properties[i].kind == PropertyKind::numeric && properties[i].unit == unit && iequal(properties[i].name, name))
            return static_cast<int>(i);
    return -1;
}

int argument_position(const ConfigDb& db, int atom, std::string_view name)
{
    if (atom < 0 || atom >= db.atom_count()) return -1;
    const auto& arguments = db.atoms()[static_cast<std::size_t>(atom)].arguments;
    for (std::size_t i = 0; i < arguments.size(); ++i)
        if (iequal(arguments[i].name, name)) return static_cast<int>(i);
    return -1;
}

bool object_property_fits(const ConfigDb& db, int atom, std::string_view text, const std::string& unit)
{
    if (atom < 0 || atom >= db.atom_count()) return false;
    const auto dot = text.find('.');
    if (dot == std::string_view::npos) return false;
    const int position = argument_position(db, atom, text.substr(0, dot));
    if (position < 0 ||
        db.atoms()[static_cast<std::size_t>(atom)].arguments[static_cast<std::size_t>(position)].kind != ArgumentKind::object)
        return false;
    const std::string_view property = text.substr(dot + 1);
    if (unit.empty() && iequal(property, "Max Index")) return true;
    // Text and object-reference properties have no unit, but no number either.
    for (const ConfigClass& c : db.classes())
        for (const ConfigProperty& p : c.properties)
            if (holds_number(p.kind) && p.unit == unit && iequal(p.name, property)) return true;
    return false;
}

double numeric_property_of(const ConfigDb& db, int object, const std::string& property, const std::string* unit)
{
    if (object < 0 || object >= db.object_count()) return 0;
    const int c = db.objects()[static_cast<std::size_t>(object)].class_index;
    if (c < 0 || c >= db.class_count()) return 0;
    const auto& properties = db.classes()[static_cast<std::size_t>(c)].properties;
    for (std::size_t i = 0; i < properties.size(); ++i) {
        const ConfigProperty& p = properties[i];
        if (holds_number(p.kind) && (!unit || p.unit == *unit) && iequal(p.name, property))
            return db.numeric_value(object, static_cast<int>(i));
    }
    return 0;
}

double numeric_property_of(const ConfigDb& db, const std::string& object, const std::string& property,
                           const std::string* unit)
{
    return numeric_property_of(db, db.object_index(object), property, unit);
}

}  // namespace kelvo::expression_parts
