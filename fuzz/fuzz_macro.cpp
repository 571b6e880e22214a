// A macro file loaded as the Macro Editor loads it: the input is the file.
#include "fuzz_support.h"

#include "ground/documents.h"
#include "config/program_context.h"
#include "language/macro_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kelvo;
    const fuzz::DocumentInput input(macro_extension, data, size);
    if (!input.written()) return 0;
    MacroDocument document(program_context());
    (void)document.load("Fuzz");
    return 0;
}
