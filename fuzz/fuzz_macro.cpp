// A macro file loaded as the Macro Editor loads it: the input is the file.
#include "fuzz_support.h"

#include "ground/documents.h"
#include "config/program_context.h"
#include "ground/settings.h"
#include "language/macro_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kelvo;
    static fuzz::QuietPrompts prompts;
    PromptsScope scope(prompts);
    MemorySettingsStore settings;
    SettingsScope settings_scope(settings);
    (void)fuzz::demo_config();
    const std::string& folder = fuzz::scratch_folder();
    if (!fuzz::write_file(folder + "/Fuzz" + macro_extension, fuzz::input_text(data, size))) return 0;
    MacroDocument document(program_context());
    (void)document.load("Fuzz");
    return 0;
}
