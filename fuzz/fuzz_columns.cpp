// The column-definition reader: the input is the data system's INI file,
// read twice into a table with the fixed columns, as a reload does.
#include "fuzz_support.h"

#include "ground/ini_file.h"
#include "samplelist/column_definitions.h"
#include "samplelist/sample_columns.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace kelvo;
    const IniFile file(fuzz::input_text(data, size));
    ColumnTable columns;
    columns.build_fixed({"Standard Injection", "Tray1", "LCVlv1"});
    (void)read_column_definitions(file, columns);
    (void)read_column_definitions(file, columns);
    return 0;
}
