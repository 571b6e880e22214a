#pragma once
// The instrument's configuration: value lists, classes of objects with their
// properties, the named objects with their values, and the atoms with their
// typed arguments. Filled only by parsing a configuration text.
#include "ground/debug_lines.h"
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace kelvo {

enum class PropertyKind { numeric = 0, list_index = 1, text = 2, object_ref = 3 };

struct ConfigProperty {
    std::string name;                 // at most 20 characters
    PropertyKind kind = PropertyKind::numeric;
    double minimum = 0, maximum = 0, increment = 0, default_value = 0;
    std::string unit;                 // stored unit (after translation)
    std::uint32_t list_or_classes = 0;  // list number, or the set of allowed classes
    int offset = 0;                   // offset of the value within an object's block
};

struct ConfigClass {
    std::string name;
    std::vector<ConfigProperty> properties;
    int value_size = 0;
};

struct ConfigObject {
    std::string name;
    int class_index = 0;
    int offset = 0;  // of its block in the value store
};

enum class ArgumentKind { numeric = 0, list_index = 1, object = 3 };

struct AtomArgument {
    std::string name;
    ArgumentKind kind = ArgumentKind::numeric;
    // Bounds are parameter expressions, kept as read (at most 42 characters).
    std::string minimum, maximum, increment, default_value;
    std::string unit;
    std::uint32_t list_or_classes = 0;
    bool required = true;
};

struct ConfigAtom {
    std::string name;
    std::vector<AtomArgument> arguments;
};

struct ValueList {
    bool defined = false;
    int maximum = 0;
    std::vector<std::string> entries;
};

class ConfigDb;
class Prompts;

// The check a bound text (minimum, maximum, default, increment) of a
// list-index or numeric atom argument must pass: the parameter expressions
// decide it, a layer above this one, so the caller hands it in.
using BoundCheck = std::function<bool(const ConfigDb& db, const std::string& text, const std::string& unit, int atom)>;

class ConfigDb {
public:
    static constexpr int list_capacity = 100;      // ids 0 to 99
    static constexpr int class_capacity = 32;      // the class set is a 32-bit word
    static constexpr int property_capacity = 24;
    static constexpr int object_capacity = 200;
    static constexpr int value_store_capacity = 40000;
    static constexpr int atom_capacity = 40;       // built-in atoms included
    static constexpr int argument_capacity = 40;
    static constexpr int list_entry_capacity = 40;
    static constexpr int text_value_capacity = 19;

    ConfigDb();

    // Parses a configuration text given as its lines (without line ends).
    // On failure a message has been shown through prompts (error box) and the
    // database must not be used. debug receives what made an unusable
    // configuration fail (empty: nowhere).
    bool parse(const std::vector<std::string>& lines, const BoundCheck& bound_check, Prompts& prompts,
               const DebugSink& debug);

    // --- the data, read only ---
    const ValueList& list(int id) const;          // an undefined list for ids out of range
    int list_count() const { return list_count_; }  // lists read
    const std::vector<ConfigClass>& classes() const { return classes_; }
    const std::vector<ConfigObject>& objects() const { return objects_; }
    const std::vector<ConfigAtom>& atoms() const { return atoms_; }
    int class_count() const { return static_cast<int>(classes_.size()); }
    int object_count() const { return static_cast<int>(objects_.size()); }
    int atom_count() const { return static_cast<int>(atoms_.size()); }
    int value_store_used() const { return value_store_used_; }
    const std::vector<unsigned char>& value_store() const { return value_store_; }
    int syringe_class() const { return syringe_class_; }  // -1 when none
    bool has_syringe_class() const { return syringe_class_ >= 0; }

    // --- queries; names compared without regard to case, the last definition wins ---
    int class_index(const std::string& name) const;   // class_count() when unknown
    // 1 << index of the first class of that name, 0 when unknown.
    std::uint32_t class_bit(const std::string& name) const;
    std::uint32_t syringe_bit() const { return class_bit("SYRINGE"); }
    std::uint32_t tray_bit() const { return class_bit("TRAY"); }
    std::uint32_t injector_bit() const { return class_bit("INJECTOR"); }
    std::uint32_t sync_signal_bit() const { return class_bit("SYNC_SIGNAL"); }
    std::uint32_t out_signal_bit() const { return class_bit("OUT_SIGNAL"); }
    static bool test_bit(std::uint32_t set, int n) { return n >= 0 && n < 32 && ((set >> n) & 1u) != 0; }

    int object_index(const std::string& name) const;  // object_count() when unknown
    std::string class_name_of_object(const std::string& object) const;  // empty when unknown
    std::string class_name_of_object(int object) const;
    bool is_tray(const std::string& object) const;
    bool is_tray_holder(const std::string& object) const;
    bool is_tray_type(const std::string& object) const;
    bool is_injector(const std::string& object) const;
    // A "TRAY" whose "Tray Holder" value equals the holder name.
    bool is_tray_on_holder(const std::string& object, const std::string& holder) const;
    std::string tray_type(const std::string& object) const;
    // Values by property name: empty text / 0 when the object or property is unknown.
    std::string text_value(const std::string& object, const std::string& property) const;
    double numeric_value(const std::string& object, const std::string& property) const;
    // Direct access to an object's value block by property position.
    double numeric_value(int object, int property) const;
    void set_numeric_value(int object, int property, double value);
    std::string text_value(int object, int property) const;
    void set_text_value(int object, int property, const std::string& value);

    int atom_index(const std::string& name) const;    // atom_count() when unknown
    int list_position(int list, const std::string& name) const;  // -1 when absent
    bool atom_has_object_argument(int atom, const std::string& name) const;
    // A.B with unit u: the atom has an object argument A and some class has a
    // property B with unit u; "Max Index" with the empty unit is always valid.
    bool is_valid_property_reference(int atom, const std::string& reference, const std::string& unit) const;
    // A syringe class exists and the part before the first "." is "SYR".
    bool is_syr_reference(const std::string& name) const;

    // The object written back as an objects-section line.
    std::string object_line(int object, const std::string& name = {}) const;

private:
    friend class ConfigParser;
    void clear();

    std::vector<ValueList> lists_;
    int list_count_ = 0;
    std::vector<ConfigClass> classes_;
    std::vector<ConfigObject> objects_;
    std::vector<unsigned char> value_store_;
    int value_store_used_ = 0;
    // A text slot holds 19 characters; longer texts (object names may have
    // more) are kept whole here, by store offset, so nothing is cut.
    std::map<int, std::string> long_texts_;
    std::vector<ConfigAtom> atoms_;
    int syringe_class_ = -1;
};

// The program-wide configuration.
ConfigDb& config();

// Dotted names: the part before the first "." (empty when there is none)
// and the part after it (the whole name when there is none).
std::string dotted_head(const std::string& name);
std::string dotted_tail(const std::string& name);

// Scaled units travel to and from the instrument as integer thousandths.
bool is_scaled_unit(const std::string& unit);
inline constexpr double scaled_unit_factor = 1000;
// Unit code of the configuration text to the unit shown and stored.
std::string translate_unit(const std::string& code);

// Names that may stand for a numeric value of the unit, in menu order, with
// repeated names left out. Fill 1 starts at the second item of its menu,
// fill 2 at the first, fill 3 at the second.
std::vector<std::string> reference_fill_1(const std::string& unit);
std::vector<std::string> reference_fill_2(const ConfigDb& db, const std::string& unit);
// macro_parameter_lines: the parameter lines of the macro being edited.
std::vector<std::string> reference_fill_3(const ConfigDb& db, const std::string& unit,
                                          const std::vector<std::string>& macro_parameter_lines);

// Names of all objects whose class has the given name, in object order.
std::vector<std::string> objects_of_class(const ConfigDb& db, const std::string& class_name);

}  // namespace kelvo
