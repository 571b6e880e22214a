// A sample-list document loaded as the sample list page loads it and
// validated as Save validates it. The input is the file; the demo methods
// and macros are beside it.
#include "fuzz_support.h"

#include "config/program_context.h"
#include "ground/documents.h"
#include "samplelist/sample_columns.h"
#include "samplelist/sample_list_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kelvo;
    const fuzz::DocumentInput input(sample_list_extension, data, size);
    if (!input.written()) return 0;
    SampleListDocument document(program_context());
    document.columns().build_fixed({"Standard Injection", "Tray1", "LCVlv1"});
    if (document.load("Fuzz")) (void)document.validate();
    return 0;
}
