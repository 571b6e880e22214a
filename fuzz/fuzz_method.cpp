// A method file loaded as the Method Editor loads it (with its expansion
// test), then read and expanded as a run does. The input is the file; the
// demo macros are beside it.
#include "fuzz_support.h"

#include "engine/expand.h"
#include "engine/run_lists.h"
#include "ground/documents.h"
#include "config/program_context.h"
#include "language/method.h"
#include "language/method_document.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kelvo;
    const fuzz::DocumentInput input(method_extension(), data, size);
    if (!input.written()) return 0;
    {
        MethodDocument document(program_context(), test_expansion);
        (void)document.load("Fuzz");
    }
    std::string syringe;
    std::vector<std::string> lines;
    if (read_method_for_run(program_method_folder(), "Fuzz", syringe, lines)) {
        RunLists lists;
        (void)expand(program_context(), syringe, lines, lists);
    }
    return 0;
}
