// The Test Parameters rows come from the sample-list columns from the volume
// column on; OK sets the sample-list variables from them.
#include "samplelist/test_parameters.h"

#include <gtest/gtest.h>

namespace kelvo {
namespace {

TEST(TestParameters, RowsFromTheVolumeColumnAndTheVariablesTheySet)
{
    ColumnTable columns;
    columns.build_fixed({"M", "Tray1", "LCVlv1"});
    ASSERT_EQ(columns.count(), 10);
    const auto rows = test_parameter_rows(columns);
    std::vector<std::string> headings, values;
    for (const auto& r : rows) {
        headings.push_back(r.heading);
        values.push_back(r.value);
    }
    EXPECT_EQ(headings, (std::vector<std::string>{"Volume", "Tray", "Injector", "Volume 2", "Tray 2", "Injector 2",
                                                  "Vial", "Inj/Vial"}));
    EXPECT_EQ(values, (std::vector<std::string>{"1.0", "Tray1", "LCVlv1", "1.0", "Tray1", "LCVlv1", "1", "1"}));

    SampleVariables v;
    v.injpervial = 4;
    apply_test_parameters(rows, {"2.5", "Tray2", "LCVlv1", "x", "", "LCVlv2", "7", "9"}, v);
    EXPECT_EQ(v.volume, 2.5);
    EXPECT_EQ(v.tray, "Tray2");
    EXPECT_EQ(v.injector, "LCVlv1");
    EXPECT_EQ(v.volume2, 0);  // not a number: left alone
    EXPECT_EQ(v.tray2, "");
    EXPECT_EQ(v.injector2, "LCVlv2");
    EXPECT_EQ(v.index, 7);
    EXPECT_EQ(v.injpervial, 4);  // keeps its value
}

}  // namespace
}  // namespace kelvo
