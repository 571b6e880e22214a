#include "config/config_parser.h"

#include "ground/prompts.h"
#include "ground/text_utils.h"

#include <string>
#include <utility>

namespace kelvo {
namespace {

const char* const header_texts[] = {"[lists]", "[classes]", "[objects]", "[atoms]"};

std::string at_line(int line) { return " at line " + std::to_string(line); }

bool starts_with(const std::string& text, char c) { return !text.empty() && text[0] == c; }

}  // namespace

std::vector<std::string> split_config_fields(const std::string& line)
{
    const std::size_t end = line.find('\0') == std::string::npos ? line.size() : line.find('\0');
    std::vector<std::string> fields;
    std::size_t pos = 0;
    while (pos < end) {
        while (pos < end && line[pos] == ' ') ++pos;
        const std::size_t start = pos;
        while (pos < end && line[pos] != ';') ++pos;
        fields.push_back(line.substr(start, pos - start));
        if (pos < end) ++pos;  // past the ";"
    }
    return fields;
}

const std::string& ConfigParser::Record::field(std::size_t n) const
{
    static const std::string empty;
    return n < fields.size() ? fields[n] : empty;
}

bool ConfigParser::fail(const std::string& message) const
{
    prompts_.show_error(message);
    return false;
}

bool ConfigParser::run()
{
    db_.clear();
    return find_sections() && read_lists() && read_classes() && read_objects() && read_atoms();
}

bool ConfigParser::find_sections()
{
    int at[4] = {-1, -1, -1, -1};
    for (int i = 0; i < static_cast<int>(lines_.size()); ++i) {
        const std::string& line = lines_[static_cast<std::size_t>(i)];
        if (!starts_with(line, '[')) continue;
        for (int h = 0; h < 4; ++h)
            if (same_text(line, header_texts[h])) at[h] = i;  // a later header counts
    }
    for (int h = 0; h < 4; ++h) {
        if (at[h] < 0) {
            // No message box for this one; the caller reports the unusable
            // configuration. The debug list says what was missing.
            if (debug_) debug_(std::string("no ") + header_texts[h] + " line in the configuration");
            return false;
        }
    }
    const int count = static_cast<int>(lines_.size());
    lists_ = {at[0] + 1, at[1]};
    classes_ = {at[1] + 1, at[2]};
    objects_ = {at[2] + 1, at[3]};
    atoms_ = {at[3] + 1, count};
    return true;
}

// Lines holding nothing but blanks are skipped (a saved copy may end with
// an empty line).
bool ConfigParser::records_of(const Section& s, std::vector<Record>& out) const
{
    out.clear();
    for (int i = s.first; i < s.end; ++i) {
        const std::string& line = lines_[static_cast<std::size_t>(i)];
        if (line.find_first_not_of(' ') == std::string::npos) continue;
        Record r;
        r.line = i + 1;
        r.position = i - s.first + 1;
        r.fields = split_config_fields(line);
        if (static_cast<int>(r.fields.size()) > field_capacity)
            return fail("Too many fields (at most " + std::to_string(field_capacity) + ")" + at_line(r.line));
        out.push_back(std::move(r));
    }
    return true;
}

bool ConfigParser::read_lists()
{
    std::vector<Record> records;
    if (!records_of(lists_, records)) return false;
    for (const Record& r : records) {
        const std::string label = "list " + std::to_string(r.position);
        int id;
        if (!read_integer(prompts_, r.field(0), label, id)) return false;
        if (id < 0 || id >= ConfigDb::list_capacity) return fail("bad list id " + std::to_string(id));
        int maximum;
        if (!read_integer(prompts_, r.field(1), label, maximum)) return false;
        if (maximum < 0) return fail("bad list max " + std::to_string(id));
        ValueList& list = db_.lists_[static_cast<std::size_t>(id)];
        list = ValueList{};
        list.defined = true;
        list.maximum = maximum;
        for (std::size_t n = 2; n < r.fields.size() && !r.fields[n].empty(); ++n) list.entries.push_back(r.fields[n]);
        ++db_.list_count_;
    }
    return true;
}

bool ConfigParser::read_classes()
{
    std::vector<Record> records;
    if (!records_of(classes_, records)) return false;
    // First pass: the classes, so that properties may name classes defined
    // further down.
    for (const Record& r : records) {
        if (!starts_with(r.field(0), '!')) continue;
        if (db_.class_count() >= ConfigDb::class_capacity)
            return fail("Too many classes (at most " + std::to_string(ConfigDb::class_capacity) + ")" +
                        at_line(r.line));
        ConfigClass c;
        c.name = r.field(0).substr(1);
        if (same_text(c.name, "SYRINGE")) db_.syringe_class_ = db_.class_count();
        db_.classes_.push_back(std::move(c));
    }
    if (db_.syringe_class_ < 0) return fail("No syringe class was found!");

    int current = -1;
    for (const Record& r : records) {
        if (starts_with(r.field(0), '!')) {
            ++current;
            continue;
        }
        if (current < 0) return fail("Property without a class" + at_line(r.line));
        ConfigClass& c = db_.classes_[static_cast<std::size_t>(current)];
        if (static_cast<int>(c.properties.size()) >= ConfigDb::property_capacity)
            return fail("Too many properties in class " + c.name + " (at most " +
                        std::to_string(ConfigDb::property_capacity) + ")" + at_line(r.line));
        if (!read_property(c, r)) return false;
    }
    assign_offsets();
    return true;
}

bool ConfigParser::read_property(ConfigClass& c, const Record& r)
{
    const std::string& head = r.field(0);
    ConfigProperty p;
    if (starts_with(head, '#')) {
        p.kind = PropertyKind::list_index;
        p.name = head.substr(1);
        const std::string label = c.name + ":" + p.name;
        int list_number;
        if (!read_decimal(prompts_, r.field(1), label + " min", p.minimum) ||
            !read_decimal(prompts_, r.field(2), label + " max", p.maximum) ||
            !read_decimal(prompts_, r.field(3), label + " default", p.default_value) ||
            !read_integer(prompts_, r.field(4), label + " list number", list_number))
            return false;
        p.list_or_classes = static_cast<std::uint32_t>(list_number);
    } else if (starts_with(head, '&')) {
        p.kind = PropertyKind::text;
        p.name = head.substr(1);
    } else if (!r.field(1).empty() && db_.class_index(r.field(1)) < db_.class_count()) {
        p.kind = PropertyKind::object_ref;
        p.name = head;
        for (std::size_t n = 1; n < r.fields.size() && !r.fields[n].empty(); ++n) {
            const std::uint32_t bit = db_.class_bit(r.fields[n]);
            if (bit == 0) return fail(r.fields[n] + " in class " + c.name + " is not a class!");
            p.list_or_classes |= bit;
        }
    } else {
        p.kind = PropertyKind::numeric;
        p.name = head;
        const std::string label = c.name + ":" + p.name;
        if (!read_decimal(prompts_, r.field(1), label + " min", p.minimum) ||
            !read_decimal(prompts_, r.field(2), label + " max", p.maximum) ||
            !read_decimal(prompts_, r.field(3), label + " default", p.default_value) ||
            !read_decimal(prompts_, r.field(4), label + " increment", p.increment))
            return false;
        p.unit = translate_unit(r.field(5));
    }
    c.properties.push_back(std::move(p));
    return true;
}

void ConfigParser::assign_offsets()
{
    for (ConfigClass& c : db_.classes_) {
        int offset = 0;
        for (ConfigProperty& p : c.properties) {
            p.offset = offset;
            const bool number = p.kind == PropertyKind::numeric || p.kind == PropertyKind::list_index;
            offset += number ? 8 : ConfigDb::text_value_capacity + 1;
        }
        c.value_size = offset;
    }
}

bool ConfigParser::read_objects()
{
    if (db_.class_count() == 0) return fail("No classes are defined! How then, shall I define objects?!");
    std::vector<Record> records;
    if (!records_of(objects_, records)) return false;
    db_.value_store_.assign(ConfigDb::value_store_capacity, 0);
    db_.value_store_used_ = 0;
    db_.long_texts_.clear();

    for (const Record& r : records) {
        const std::string& class_name = r.field(0);
        const int c = db_.class_index(class_name);
        if (c >= db_.class_count()) return fail(class_name + " is not a known class!");
        if (r.field(1).empty())
            return fail("an object of class " + class_name + " must have a name to be defined");
        if (db_.object_count() >= ConfigDb::object_capacity)
            return fail("Too many objects (at most " + std::to_string(ConfigDb::object_capacity) + ")" +
                        at_line(r.line));
        db_.objects_.push_back(ConfigObject{r.field(1), c, 0});
    }

    for (std::size_t i = 0; i < records.size(); ++i) {
        const Record& r = records[i];
        const int object = static_cast<int>(i);
        ConfigObject& o = db_.objects_[i];
        const ConfigClass& c = db_.classes_[static_cast<std::size_t>(o.class_index)];
        if (db_.value_store_used_ + c.value_size > ConfigDb::value_store_capacity)
            return fail("Too many object values (at most " + std::to_string(ConfigDb::value_store_capacity) +
                        " bytes)" + at_line(r.line));
        o.offset = db_.value_store_used_;
        db_.value_store_used_ += c.value_size;
        for (std::size_t n = 0; n < c.properties.size(); ++n) {
            const ConfigProperty& p = c.properties[n];
            const std::string& text = r.field(n + 2);
            if (p.kind == PropertyKind::text || p.kind == PropertyKind::object_ref) {
                db_.set_text_value(object, static_cast<int>(n), text);
                continue;
            }
            double v;
            if (!read_decimal(prompts_, text, o.name + ":" + p.name, v)) return false;
            v += 0.0;  // no negative zero
            // The instrument sends scaled units as integer thousandths; a
            // value that has a fractional part is already in the unit.
            const std::string written = decimal_text(v);
            if (is_scaled_unit(p.unit) && is_integer(written) && written != "0") v /= scaled_unit_factor;
            db_.set_numeric_value(object, static_cast<int>(n), v);
        }
    }
    return true;
}

bool ConfigParser::read_atoms()
{
    std::vector<Record> records;
    if (!records_of(atoms_, records)) return false;
    constexpr int text_atoms = ConfigDb::atom_capacity - 4;

    // First pass: atoms and the kinds of their arguments, so that the bounds
    // checked below can name any object argument of their atom.
    struct Pending {
        int atom, argument;
        const Record* record;
    };
    std::vector<Pending> pending;
    for (const Record& r : records) {
        const std::string& head = r.field(0);
        if (starts_with(head, '!')) {
            if (db_.atom_count() >= text_atoms)
                return fail("Too many atoms (at most " + std::to_string(text_atoms) + " besides the built-in ones)" +
                            at_line(r.line));
            db_.atoms_.push_back(ConfigAtom{head.substr(1), {}});
            continue;
        }
        if (db_.atoms_.empty()) return fail("Argument without an atom" + at_line(r.line));
        ConfigAtom& atom = db_.atoms_.back();
        if (static_cast<int>(atom.arguments.size()) >= ConfigDb::argument_capacity)
            return fail("Too many arguments in atom " + atom.name + " (at most " +
                        std::to_string(ConfigDb::argument_capacity) + ")" + at_line(r.line));
        AtomArgument a;
        std::size_t at = 0;
        if (starts_with(head, '?')) {
            a.required = false;
            at = 1;
        }
        if (at < head.size() && head[at] == '#') {
            a.kind = ArgumentKind::list_index;
            ++at;
        } else if (!r.field(1).empty() && db_.class_index(r.field(1)) < db_.class_count()) {
            a.kind = ArgumentKind::object;
        } else {
            a.kind = ArgumentKind::numeric;
            a.unit = translate_unit(r.field(5));
        }
        a.name = head.substr(at);
        atom.arguments.push_back(std::move(a));
        pending.push_back({db_.atom_count() - 1, static_cast<int>(atom.arguments.size()) - 1, &r});
    }

    for (const Pending& p : pending) {
        ConfigAtom& atom = db_.atoms_[static_cast<std::size_t>(p.atom)];
        AtomArgument& a = atom.arguments[static_cast<std::size_t>(p.argument)];
        if (!read_argument_bounds(p.atom, a, *p.record)) {
            if (debug_) debug_("problem with " + atom.name + ":" + a.name);
            return false;
        }
    }
    append_built_in_atoms();
    return true;
}

bool ConfigParser::read_argument_bounds(int atom, AtomArgument& a, const Record& r)
{
    const std::string label = db_.atoms_[static_cast<std::size_t>(atom)].name + ":" + a.name;
    if (a.kind == ArgumentKind::object) {
        for (std::size_t n = 1; n < r.fields.size() && !r.fields[n].empty(); ++n) {
            const std::uint32_t bit = db_.class_bit(r.fields[n]);
            if (bit == 0) return fail(r.fields[n] + " in " + label + " is not a class!");
            a.list_or_classes |= bit;
        }
        return true;
    }
    // Fields 1 to 3 are minimum, maximum and default; a numeric argument has
    // its increment in field 4, a list-index one its list number.
    std::string* bounds[] = {&a.minimum, &a.maximum, &a.default_value, &a.increment};
    const std::size_t count = a.kind == ArgumentKind::numeric ? 4 : 3;
    for (std::size_t n = 0; n < count; ++n) {
        const std::string& text = r.field(n + 1);
        // The bounds are kept at their fixed width; cutting an expression
        // would change it, so a longer one is refused.
        if (static_cast<int>(text.size()) > bound_text_capacity)
            return fail("Bound too long (at most " + std::to_string(bound_text_capacity) + " characters) in " + label +
                        at_line(r.line));
        *bounds[n] = text;
    }
    for (std::size_t n = 0; n < count; ++n)
        if (!bound_check_(db_, *bounds[n], a.unit, atom)) return false;
    if (a.kind == ArgumentKind::list_index) {
        int list_number;
        if (!read_integer(prompts_, r.field(4), label + " list number", list_number)) return false;
        a.list_or_classes = static_cast<std::uint32_t>(list_number);
    }
    return true;
}

void ConfigParser::append_built_in_atoms()
{
    db_.atoms_.push_back(ConfigAtom{"INC_INDEX", {}});
    AtomArgument count;
    count.name = "Count";
    count.kind = ArgumentKind::numeric;
    count.minimum = "0";
    count.maximum = "1000000";
    count.default_value = "1";
    count.increment = "1";
    count.required = true;
    db_.atoms_.push_back(ConfigAtom{"REPEAT", {count}});
    db_.atoms_.push_back(ConfigAtom{"END", {}});
    db_.atoms_.push_back(ConfigAtom{"WAIT_FOR_DS", {}});
}

bool ConfigDb::parse(const std::vector<std::string>& lines, const BoundCheck& bound_check, Prompts& prompts,
                     const DebugSink& debug)
{
    ConfigParser parser(*this, lines, bound_check, prompts, debug);
    return parser.run();
}

}  // namespace kelvo
