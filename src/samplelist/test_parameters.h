#pragma once
// The Test Parameters form of a method run by itself: one row per
// sample-list column from the volume column to the last, with the column's
// heading and an entry; OK sets the sample-list variables from them.
#include "language/sample_variables.h"
#include "samplelist/sample_columns.h"

#include <string>
#include <vector>

namespace kelvo {

inline constexpr const char* test_parameters_caption = "Test Parameters";
inline constexpr const char* test_parameters_text = "Please fill in the following items for testing the method:";

struct TestParameterRow {
    int column = 0;            // column number (from 1)
    std::string heading;
    std::string value;         // the entry's initial value
};

// The rows, from the volume column to the last column.
std::vector<TestParameterRow> test_parameter_rows(const ColumnTable& columns);

// OK: "SL.volume"/"SL.volume2" (decimal), "SL.tray"/"SL.tray2",
// "SL.injector"/"SL.injector2" and "SL.index" (integer, from "Vial") from
// their columns' entries. "SL.injpervial" keeps its value. Entries that are
// no number leave their variable alone.
void apply_test_parameters(const std::vector<TestParameterRow>& rows, const std::vector<std::string>& entries,
                           SampleVariables& variables);

}  // namespace kelvo
