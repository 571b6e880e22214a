#pragma once
// The modal dialogs a run opens and the gate of the data-system handshake.
// The shell shows forms; the command-line companion and the tests answer
// from a script. Dialogs keep the message loop running: answers and timer
// ticks go on arriving while one is open.
#include "language/sample_variables.h"
#include "language/value_checks.h"

#include <string>
#include <vector>

namespace kelvo {

// The step dialog (`Tstep_dialog`): what it shows.
struct StepDialogContent {
    std::string command;               // resolved as for sending when that succeeded, else as listed
    std::vector<std::string> names;    // the atom's argument names (at most 14 shown)
    std::vector<std::string> values;   // the command's argument values (at most 14 shown)
};

enum class StepAnswer { step, cancel_method, leave_step_mode };

class RunDialogs : public OutOfRangeDialog {
public:
    // The out-of-range dialog (`Tsyringe_change`): the value to take.
    double ask(const std::string& context, const std::string& unit, double maximum, double minimum, double proposed,
               double value) override
    {
        (void)context, (void)unit, (void)maximum, (void)minimum, (void)value;
        return proposed;
    }
    // The step dialog; closing it otherwise counts as "&Step".
    virtual StepAnswer step(const StepDialogContent& content)
    {
        (void)content;
        return StepAnswer::step;
    }
    // The Test Parameters form (`Ttest_params_form`): sets the sample-list
    // variables on OK; false on Cancel.
    virtual bool test_parameters(SampleVariables& variables)
    {
        (void)variables;
        return true;
    }
    // The syringe-mismatch dialog (`Tnew_syr`): true for "&Continue" (check
    // again), false for "C&ancel Method".
    virtual bool syringe_mismatch(const std::string& method, const std::string& needed, const std::string& mounted)
    {
        (void)method, (void)needed, (void)mounted;
        return false;
    }
};

// "Syringe mismatch!" text of `Tnew_syr`.
std::string syringe_mismatch_text(const std::string& method, const std::string& needed, const std::string& mounted);

// The data system as a run waits for it ("WAIT_FOR_DS"). Outside the
// data-system mode the gate is inactive and the run does not stop there.
class DataSystemGate {
public:
    virtual ~DataSystemGate() = default;
    // ChemStation mode with a conversation to talk to.
    virtual bool active() const { return false; }
    // Sends the current sample-list row.
    virtual void send_row() {}
    // The data system's sequence status begins with "READY".
    virtual bool ready() { return false; }
};

}  // namespace kelvo
