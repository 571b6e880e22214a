#include "samplelist/column_table.h"

namespace kelvo {

namespace {
SampleColumn text_column(const char* heading, const char* default_value, int length)
{
    SampleColumn c;
    c.heading = heading;
    c.default_value = default_value;
    c.text_length = length;
    return c;
}
SampleColumn choice_column(const char* heading, ProgramList list, const std::vector<std::string>& names)
{
    SampleColumn c;
    c.heading = heading;
    c.kind = ColumnKind::choice;
    c.program_list = list;
    c.default_value = names.empty() ? std::string() : names.front();
    return c;
}
}  // namespace

std::vector<SampleColumn> fixed_columns(const std::vector<std::string>& method_names,
                                        const std::vector<std::string>& tray_names,
                                        const std::vector<std::string>& injector_names)
{
    SampleColumn status = text_column("Status", "", 12);
    status.kind = ColumnKind::status;
    return {
        status,
        choice_column("Method", ProgramList::method_names, method_names),
        text_column("Volume", "1.0", 10),
        choice_column("Tray", ProgramList::tray_names, tray_names),
        choice_column("Injector", ProgramList::injector_names, injector_names),
        text_column("Volume 2", "1.0", 10),
        choice_column("Tray 2", ProgramList::tray_names, tray_names),
        choice_column("Injector 2", ProgramList::injector_names, injector_names),
        text_column("Vial", "1", 4),
        text_column("Inj/Vial", "1", 4),
    };
}

}  // namespace kelvo
