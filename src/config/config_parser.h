#pragma once
// The configuration text reader behind ConfigDb::parse. Private to config/.
#include "ground/debug_lines.h"
#include "config/config_db.h"

#include <string>
#include <vector>

namespace kelvo {

class Prompts;

// The fields of one configuration line: each field starts after any
// leading blanks and runs to the next ";" or the end of the line (a NUL
// ends the line). "A;B;" has two fields, "A;;C" three, "" none.
std::vector<std::string> split_config_fields(const std::string& line);

class ConfigParser {
public:
    static constexpr int field_capacity = 41;  // the head field and 40 more
    static constexpr int bound_text_capacity = 42;

    // The messages of a failing text go to prompts (error box), the reasons
    // for an unusable configuration to debug.
    ConfigParser(ConfigDb& db, const std::vector<std::string>& lines, const BoundCheck& bound_check,
                 Prompts& prompts, const DebugSink& debug)
        : db_(db), lines_(lines), bound_check_(bound_check), prompts_(prompts), debug_(debug)
    {
    }
    bool run();

private:
    struct Record {
        int line = 0;      // in the whole text, from 1
        int position = 0;  // in its section, from 1
        std::vector<std::string> fields;
        const std::string& field(std::size_t n) const;
    };
    struct Section {
        int first = 0, end = 0;  // line indexes, end excluded
    };

    // Shows the message (error box); false.
    bool fail(const std::string& message) const;
    bool find_sections();
    bool records_of(const Section& s, std::vector<Record>& out) const;
    bool read_lists();
    bool read_classes();
    bool read_property(ConfigClass& c, const Record& r);
    void assign_offsets();
    bool read_objects();
    bool read_atoms();
    bool read_argument_bounds(int atom, AtomArgument& a, const Record& r);
    void append_built_in_atoms();

    ConfigDb& db_;
    const std::vector<std::string>& lines_;
    const BoundCheck& bound_check_;
    Prompts& prompts_;
    const DebugSink& debug_;
    Section lists_, classes_, objects_, atoms_;
};

}  // namespace kelvo
