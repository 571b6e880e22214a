#include "samplelist/test_parameters.h"

namespace kelvo {

std::vector<TestParameterRow> test_parameter_rows(const std::vector<SampleColumn>& columns)
{
    std::vector<TestParameterRow> rows;
    for (int i = column::volume; i < static_cast<int>(columns.size()); ++i)
        rows.push_back({i, columns[static_cast<std::size_t>(i)].heading, columns[static_cast<std::size_t>(i)].default_value});
    return rows;
}

void apply_test_parameters(const std::vector<TestParameterRow>& rows, const std::vector<std::string>& entries,
                           SampleVariables& variables)
{
    for (std::size_t i = 0; i < rows.size() && i < entries.size(); ++i) {
        const std::string& v = entries[i];
        switch (rows[i].column) {
        case column::volume: set_sample_variable(variables, "SL.volume", v); break;
        case column::volume2: set_sample_variable(variables, "SL.volume2", v); break;
        case column::tray: variables.tray = v; break;
        case column::tray2: variables.tray2 = v; break;
        case column::injector: variables.injector = v; break;
        case column::injector2: variables.injector2 = v; break;
        case column::vial: set_sample_variable(variables, "SL.index", v); break;
        default: break;
        }
    }
}

}  // namespace kelvo
