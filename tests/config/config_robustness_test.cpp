// Mutated configuration texts: the parse may fail, but it must never crash,
// hang or touch memory outside its tables (run under the sanitizers too).
#include "ground/file_io.h"
#include "ground/debug_lines.h"
#include "config_test_support.h"
#include "ground/prompts.h"
#include "language/bound_check.h"
#include "trays/tray_report.h"

#include <random>

namespace kelvo::config_test {
namespace {

class CountingPrompts final : public Prompts {
public:
    void show_error(const std::string&) override { ++errors; }
    void show_information(const std::string&) override {}
    AbortRetryIgnore ask_abort_retry_ignore(const std::string&) override { return AbortRetryIgnore::abort; }
    bool ask_yes_no(const std::string&) override { return false; }
    int errors = 0;
};

class Mutator {
public:
    explicit Mutator(std::uint32_t seed) : rng_(seed) {}

    void mutate(std::vector<std::string>& lines)
    {
        const int count = 1 + pick(4);
        for (int i = 0; i < count; ++i) mutate_once(lines);
    }

private:
    int pick(int n) { return n <= 0 ? 0 : static_cast<int>(rng_() % static_cast<std::uint32_t>(n)); }
    std::size_t any_line(const std::vector<std::string>& lines) { return static_cast<std::size_t>(pick(static_cast<int>(lines.size()))); }

    char interesting_byte()
    {
        static const char bytes[] = {';', '!', '#', '?', '&', '[', ']', '.', '-', ' ', '0', '9', '\0', '\xB5', '\xB0', 'E'};
        return pick(2) ? bytes[pick(sizeof bytes)] : static_cast<char>(pick(256));
    }

    std::string huge_field()
    {
        switch (pick(4)) {
        case 0: return std::string(static_cast<std::size_t>(1 + pick(5000)), 'x');
        case 1: return std::string(static_cast<std::size_t>(1 + pick(400)), '9');  // overflows a double
        case 2: return std::string(static_cast<std::size_t>(1 + pick(200)), ';');
        default: {
            std::string s;
            for (int i = pick(100); i >= 0; --i) s += ";TRAY";
            return s;
        }
        }
    }

    void mutate_once(std::vector<std::string>& lines)
    {
        if (lines.empty()) {
            lines.push_back("[lists]");
            return;
        }
        std::string& line = lines[any_line(lines)];
        switch (pick(10)) {
        case 0: lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(any_line(lines))); break;
        case 1: {  // splice a copy of one line elsewhere
            const std::string copy = line;
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(any_line(lines)), copy);
            break;
        }
        case 2: std::swap(line, lines[any_line(lines)]); break;
        case 3: line.resize(static_cast<std::size_t>(pick(static_cast<int>(line.size()) + 1))); break;
        case 4:
            if (!line.empty()) line[static_cast<std::size_t>(pick(static_cast<int>(line.size())))] = interesting_byte();
            break;
        case 5: line.insert(static_cast<std::size_t>(pick(static_cast<int>(line.size()) + 1)), huge_field()); break;
        case 6: lines.resize(any_line(lines) + 1); break;
        case 7: {
            static const char* const headers[] = {"[lists]", "[classes]", "[objects]", "[atoms]"};
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(any_line(lines)), headers[pick(4)]);
            break;
        }
        case 8: line.insert(static_cast<std::size_t>(pick(static_cast<int>(line.size()) + 1)), 1, interesting_byte()); break;
        default: {  // a whole block of lines repeated: capacities
            const std::size_t from = any_line(lines);
            const std::vector<std::string> block(lines.begin() + static_cast<std::ptrdiff_t>(from),
                                                 lines.begin() + static_cast<std::ptrdiff_t>(std::min(lines.size(), from + 8)));
            for (int r = pick(40); r >= 0; --r) lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(from), block.begin(), block.end());
            break;
        }
        }
    }

    std::mt19937 rng_;
};

// Reads everything a parsed database offers, as the other parts would.
std::size_t exercise(const ConfigDb& db)
{
    std::size_t sum = 0;
    for (int o = 0; o < db.object_count(); ++o) {
        sum += db.object_line(o).size();
        const std::string& name = db.objects()[static_cast<std::size_t>(o)].name;
        const auto& c = db.classes()[static_cast<std::size_t>(db.objects()[static_cast<std::size_t>(o)].class_index)];
        for (int p = 0; p < static_cast<int>(c.properties.size()); ++p) {
            sum += db.text_value(o, p).size() + static_cast<std::size_t>(db.numeric_value(o, p) != 0);
            sum += db.text_value(name, c.properties[static_cast<std::size_t>(p)].name).size();
        }
        sum += db.is_tray_on_holder(name, db.text_value(name, "Tray Holder"));
    }
    for (int a = 0; a < db.atom_count(); ++a)
        for (const AtomArgument& g : db.atoms()[static_cast<std::size_t>(a)].arguments)
            sum += db.is_valid_property_reference(a, g.name + ".Max Index", g.unit);
    for (int l = 0; l < ConfigDb::list_capacity; ++l) sum += db.list(l).entries.size();
    sum += tray_report_text(db).size();
    sum += reference_fill_2(db, "\xB5l").size() + reference_fill_2(db, "").size();
    return sum;
}

TEST(ConfigRobustness, MutatedTextsNeverBreakTheParser)
{
    std::vector<std::string> demo;
    ASSERT_TRUE(read_text_lines(demo_config_path(), demo));
    const std::vector<std::vector<std::string>> bases = {
        demo,
        lines_of(config_text("3;10;A;B;;C\n", "!SYRINGE\nMax Volume;0;1;0;1;nl\n&Name\nWhere;TRAY\n!TRAY\n#T;0;1;0;3\n",
                             "SYRINGE;S;1500;abc;T1\nTRAY;T1;1\n", "!A\n?#Tray;0;1;0;3\nX;TRAY;SYRINGE\nV;0;9;1;1;nl\n")),
    };
    CountingPrompts prompts;
    PromptsScope scope(prompts);
    set_debug_sink([](const std::string&) {});
    Mutator mutator(20240611u);
    ConfigDb db;
    int parsed = 0, refused = 0;
    std::size_t sum = 0;
    for (int i = 0; i < 3000; ++i) {
        std::vector<std::string> lines = bases[static_cast<std::size_t>(i) % bases.size()];
        mutator.mutate(lines);
        if (parse_configuration(db, lines, prompts, debug_line)) {
            ++parsed;
            sum += exercise(db);
        } else {
            ++refused;
        }
        EXPECT_LE(db.value_store_used(), ConfigDb::value_store_capacity);
        EXPECT_LE(db.class_count(), ConfigDb::class_capacity);
        EXPECT_LE(db.object_count(), ConfigDb::object_capacity);
        EXPECT_LE(db.atom_count(), ConfigDb::atom_capacity);
    }
    set_debug_sink({});
    // Both outcomes must be reached, or the mutations test nothing.
    EXPECT_GT(parsed, 100);
    EXPECT_GT(refused, 100);
    EXPECT_GT(prompts.errors, 0);
    EXPECT_GT(sum, 0u);
}

}  // namespace
}  // namespace kelvo::config_test
