#include "samplelist/test_parameters.h"

namespace kelvo {

std::vector<TestParameterRow> test_parameter_rows(const ColumnTable& columns)
{
    std::vector<TestParameterRow> rows;
    for (int c = column_no::volume; c <= columns.count(); ++c)
        rows.push_back({c, columns.column(c).heading, columns.column(c).default_text});
    return rows;
}

void apply_test_parameters(const std::vector<TestParameterRow>& rows, const std::vector<std::string>& entries,
                           SampleVariables& variables)
{
    for (std::size_t i = 0; i < rows.size() && i < entries.size(); ++i) {
        const std::string& v = entries[i];
        switch (rows[i].column) {
        case column_no::volume: set_sample_variable(variables, "SL.volume", v); break;
        case column_no::volume2: set_sample_variable(variables, "SL.volume2", v); break;
        case column_no::tray: variables.tray = v; break;
        case column_no::tray2: variables.tray2 = v; break;
        case column_no::injector: variables.injector = v; break;
        case column_no::injector2: variables.injector2 = v; break;
        case column_no::vial: set_sample_variable(variables, "SL.index", v); break;
        default: break;
        }
    }
}

}  // namespace kelvo
