#include "language/parameter_line.h"

#include "ground/prompts.h"
#include "ground/text_utils.h"
#include "config/config_db.h"
#include "config/context.h"
#include "language/value_checks.h"

namespace kelvo {

namespace {

// Fields as the configuration reader takes them: leading blanks skipped, text
// up to the next ";". A ";" at the very end leaves one more, empty, field.
class FieldReader {
public:
    explicit FieldReader(const std::string& line) : line_(line) {}
    bool more() const { return more_; }
    std::string next()
    {
        if (!more_) return {};
        const std::size_t start = pos_;
        std::string field = next_field(line_, pos_, ';');
        more_ = pos_ > start && line_[pos_ - 1] == ';';
        return field;
    }
private:
    const std::string& line_;
    std::size_t pos_ = 0;
    bool more_ = true;
};

}  // namespace

bool read_parameter_line(const ConfigDb& db, Prompts& prompts, const std::string& line, MacroParameter& parameter)
{
    parameter = MacroParameter{};
    FieldReader fields(line);
    const std::string field1 = fields.next();
    const std::string field2 = fields.next();
    // A parameter without a name would match every empty value.
    if (field1.empty()) return false;

    if (!field2.empty() && db.class_index(field2) < db.class_count()) {
        parameter.name = field1;
        parameter.classes = db.class_bit(field2);
        while (fields.more()) {
            const std::string field = fields.next();
            if (db.class_index(field) >= db.class_count()) {
                prompts.show_error(field + " is not a class");
                return false;
            }
            parameter.classes |= db.class_bit(field);
        }
        return true;
    }

    // Numeric: "NAME (UNIT)"; the name less the blank the form puts before "(".
    const auto open = field1.find('(');
    if (open == std::string::npos || open < 2) return false;
    const auto close = field1.find(')', open + 1);
    if (close == std::string::npos) return false;
    parameter.name = field1.substr(0, open - 1);
    parameter.unit = field1.substr(open + 1, close - open - 1);
    parameter.default_value = field2;
    parameter.minimum = fields.next();
    parameter.maximum = fields.next();
    for (const std::string* value : {&parameter.default_value, &parameter.minimum, &parameter.maximum}) {
        if (!value_check(db, *value, parameter.unit, parameter_bound_context())) {
            prompts.show_error(parameter.name + ": " + *value + " makes no sense ");
            return false;
        }
    }
    return true;
}

bool read_parameter_table(const Context& context, const std::vector<std::string>& lines, ParameterTable& table,
                          std::vector<int>* failed_lines)
{
    table.clear();
    bool all = true;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        MacroParameter p;
        if (read_parameter_line(context.config, context.prompts, lines[i], p)) {
            table.push_back(p);
        } else {
            all = false;
            // Keep the slots in line order; a failed line holds an empty slot.
            table.push_back(MacroParameter{});
            if (failed_lines) failed_lines->push_back(static_cast<int>(i) + 1);
        }
    }
    return all;
}

std::string numeric_parameter_line(const std::string& name, const std::string& unit, const std::string& default_value,
                                   const std::string& minimum, const std::string& maximum)
{
    return name + " (" + unit + ");" + default_value + ";" + minimum + ";" + maximum;
}

std::string object_parameter_line(const ConfigDb& db, const std::string& name, std::uint32_t classes)
{
    std::string line = name;
    for (int c = 0; c < db.class_count(); ++c)
        if (ConfigDb::test_bit(classes, c)) line += ";" + db.classes()[static_cast<std::size_t>(c)].name;
    return line;
}

const MacroParameter* find_parameter(const ParameterTable& table, const std::string& name)
{
    const int i = parameter_position(table, name);
    return i < 0 ? nullptr : &table[static_cast<std::size_t>(i)];
}

int parameter_position(const ParameterTable& table, const std::string& name)
{
    for (std::size_t i = 0; i < table.size(); ++i)
        if (!table[i].name.empty() && same_text(table[i].name, name)) return static_cast<int>(i);
    return -1;
}

std::vector<std::string> parameter_names(const ParameterTable& table)
{
    std::vector<std::string> names;
    for (const MacroParameter& p : table) names.push_back(p.name);
    return names;
}

}  // namespace kelvo
