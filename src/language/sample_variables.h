#pragma once
// The sample-list variables: the values of the current sample-list row that
// parameter expressions ("SL.volume", ...) and object arguments ("SL.tray",
// ...) read. One program-wide instance; the sample-list run sets it for each
// row, the Test Parameters dialog before a method runs by itself. The
// expression functions never read it directly: callers copy it into the run
// values they pass in.
#include <string>

namespace kelvo {

struct SampleVariables {
    double volume = 1;       // "SL.volume", in µl
    double volume2 = 0;      // "SL.volume2", in µl
    int index = 0;           // "SL.index"
    int injpervial = 0;      // "SL.injpervial"
    std::string tray = "ABC";  // the object names "SL.tray" ... stand for
    std::string tray2;
    std::string injector;
    std::string injector2;
};

// The program-wide values; they keep their last setting until the next row
// or the next Test Parameters dialog.
SampleVariables& sample_variables();

// Sets the variable of that name ("SL.volume", "SL.tray2", ...; without
// regard to case) from its text: volumes in the decimal form, counters as
// integers, object names as written. False, and nothing changed, for an
// unknown name or a value that is no number.
bool set_sample_variable(SampleVariables& variables, const std::string& name, const std::string& value);

}  // namespace kelvo
