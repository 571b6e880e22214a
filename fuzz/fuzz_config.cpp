// The configuration parser over arbitrary text: the lines an instrument
// answers to "GET_CONFIG" or a saved latest_kelvo.kol holds.
#include "fuzz_support.h"

#include "ground/prompts.h"
#include "language/bound_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kelvo;
    static fuzz::QuietPrompts prompts;
    PromptsScope scope(prompts);
    ConfigDb db;
    if (parse_configuration(db, fuzz::input_lines(data, size), prompts, [](const std::string&) {})) {
        // What the program reads from a parsed configuration at once.
        for (int a = 0; a < db.atom_count(); ++a) (void)db.atoms()[static_cast<std::size_t>(a)].name;
        for (int o = 0; o < db.object_count(); ++o) (void)db.object_index(db.objects()[static_cast<std::size_t>(o)].name);
    }
    return 0;
}
