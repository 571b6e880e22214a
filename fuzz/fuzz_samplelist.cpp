// A sample-list document loaded as the sample list page loads it and
// validated as Save validates it. The input is the file; the demo methods
// and macros are beside it.
#include "fuzz_support.h"

#include "config/program_context.h"
#include "ground/documents.h"
#include "ground/settings.h"
#include "samplelist/sample_columns.h"
#include "samplelist/sample_list_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kelvo;
    static fuzz::QuietPrompts prompts;
    PromptsScope scope(prompts);
    MemorySettingsStore settings;
    SettingsScope settings_scope(settings);
    (void)fuzz::demo_config();
    const std::string& folder = fuzz::scratch_folder();
    if (!fuzz::write_file(folder + "/Fuzz" + sample_list_extension, fuzz::input_text(data, size))) return 0;
    SampleListDocument document(program_context());
    document.columns().build_fixed({"Standard Injection", "Tray1", "LCVlv1"});
    if (document.load("Fuzz")) (void)document.validate();
    return 0;
}
