// The property search: the value of a property of an object argument, found
// on the object itself or through up to three object references (a tray's
// "Tray Type", a tray type's ...).
#include "ground/text_utils.h"
#include "config/config_db.h"
#include "language/expression.h"
#include "language/expression_parts.h"

#include <vector>

namespace kelvo {
namespace {

constexpr int deepest = 4;  // the class itself and three links

bool holds_number(PropertyKind kind) { return kind == PropertyKind::numeric || kind == PropertyKind::list_index; }

// One level of a path: the property of the class searched at that level; the
// last level holds the property found, the others the reference followed.
struct Step {
    int class_index;
    int property;
};

class PathSearch {
public:
    PathSearch(const ConfigDb& db, const std::string& property, const std::string& unit)
        : db_(db), property_(property), unit_(unit),
          memo_(static_cast<std::size_t>(db.class_count()) * deepest)
    {
    }

    // The path from class c within the given number of levels. What a class
    // yields depends only on the class and the levels left, so each pair is
    // searched once (a configuration of 32 classes whose references all point
    // at each other would otherwise cost 32^3 walks per level).
    bool search(int c, int levels, std::vector<Step>& path)
    {
        Memo& m = memo_[static_cast<std::size_t>(c) * deepest + static_cast<std::size_t>(levels - 1)];
        if (m.state == 0) {
            m.state = 1;
            std::vector<Step> found;
            if (decide(c, levels, found)) {
                m.state = 2;
                m.path = std::move(found);
            }
        }
        if (m.state != 2) return false;
        path = memo_[static_cast<std::size_t>(c) * deepest + static_cast<std::size_t>(levels - 1)].path;
        return true;
    }

private:
    struct Memo {
        int state = 0;  // 0 unknown, 1 no path, 2 found
        std::vector<Step> path;
    };

    bool decide(int c, int levels, std::vector<Step>& path)
    {
        const auto& properties = db_.classes()[static_cast<std::size_t>(c)].properties;
        // The first property of that name that is no reference decides the
        // class. A text property has no number to give, so it fails the class.
        for (std::size_t i = 0; i < properties.size(); ++i) {
            const ConfigProperty& p = properties[i];
            if (p.kind == PropertyKind::object_ref || !same_text(p.name, property_)) continue;
            if (!holds_number(p.kind) || p.unit != unit_) return false;
            path.assign(1, Step{c, static_cast<int>(i)});
            return true;
        }
        if (levels <= 1) return false;
        for (std::size_t i = 0; i < properties.size(); ++i) {
            const ConfigProperty& p = properties[i];
            if (p.kind != PropertyKind::object_ref) continue;
            for (int k = 0; k < db_.class_count() && k < 32; ++k) {
                if (!ConfigDb::test_bit(p.list_or_classes, k)) continue;
                std::vector<Step> rest;
                if (!search(k, levels - 1, rest)) continue;
                path.assign(1, Step{c, static_cast<int>(i)});
                path.insert(path.end(), rest.begin(), rest.end());
                return true;
            }
        }
        return false;
    }

    const ConfigDb& db_;
    const std::string& property_;
    const std::string& unit_;
    std::vector<Memo> memo_;
};

// The position of the property the step names in the object's own class: the
// step's own when the object is of the class searched, else the first
// property of that name and kind (a reference may name objects of several
// classes, and the path was found on one of them).
int property_of_object(const ConfigDb& db, int object, const Step& step, bool reference)
{
    const int c = db.objects()[static_cast<std::size_t>(object)].class_index;
    if (c == step.class_index) return step.property;
    if (c < 0 || c >= db.class_count()) return -1;
    const ConfigProperty& wanted =
        db.classes()[static_cast<std::size_t>(step.class_index)].properties[static_cast<std::size_t>(step.property)];
    const auto& properties = db.classes()[static_cast<std::size_t>(c)].properties;
    for (std::size_t i = 0; i < properties.size(); ++i) {
        const ConfigProperty& p = properties[i];
        const bool fits = reference ? p.kind == PropertyKind::object_ref
                                    : holds_number(p.kind) && p.unit == wanted.unit;
        if (fits && same_text(p.name, wanted.name)) return static_cast<int>(i);
    }
    return -1;
}

}  // namespace

double property_search(const ConfigDb& db, const std::string& object, const std::string& property,
                       const std::string& unit)
{
    const bool max_index = same_text(property, "Max Index");
    const std::string wanted = max_index ? std::string("Spl Per Col") : property;
    int o = db.object_index(object);
    if (o < 0 || o >= db.object_count()) return 1;
    const int start = db.objects()[static_cast<std::size_t>(o)].class_index;
    if (start < 0 || start >= db.class_count()) return 1;

    PathSearch search(db, wanted, unit);
    std::vector<Step> path;
    bool found = false;
    for (int depth = 1; depth <= deepest && !found; ++depth) found = search.search(start, depth, path);
    if (!found) return 1;

    // Follow the references; an object that is missing on the way has no
    // values, which read as 0.
    for (std::size_t level = 0; level + 1 < path.size(); ++level) {
        const int p = property_of_object(db, o, path[level], true);
        if (p < 0) return 0;
        o = db.object_index(db.text_value(o, p));
        if (o < 0 || o >= db.object_count()) return 0;
    }
    const int p = property_of_object(db, o, path.back(), false);
    const double value = p < 0 ? 0 : db.numeric_value(o, p);
    if (!max_index) return value;
    return value * expression_parts::numeric_property_of(db, o, "Spl Per Row", nullptr);
}

}  // namespace kelvo
