#pragma once
// Time estimates learned from the run journal: how long each atom took
// from being sent to its "@", per atom name and, for atoms whose durations
// depend on their arguments (a wait, a move of a chosen distance), per
// command text. A method or a sample list is estimated by walking its
// expansion as a run walks it (the SL ENTRY and SL EXIT parts where a run
// takes them, REPEAT loops, INC_INDEX), summing what each atom took before.
// Atoms never seen count nothing and are reported as "no history".
#include "config/context.h"
#include "journal/journal_file.h"
#include "language/sample_variables.h"

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

namespace kelvo {

class ConfigDb;
class SampleTable;

class DurationModel {
public:
    // Every "finished" record of the journal.
    void learn(const std::vector<JournalRecord>& records);
    void add(const std::string& atom, const std::string& text, std::int64_t duration_ms);

    // The expected duration of the command text of that atom; nullopt when
    // the atom has no history.
    std::optional<double> duration_ms(const std::string& atom, const std::string& text) const;
    // Whether the atom's durations differ with its arguments (so that the
    // command has to be resolved to be estimated).
    bool depends_on_arguments(const std::string& atom) const;
    bool knows(const std::string& atom) const;

private:
    struct Mean {
        double sum = 0;
        std::int64_t count = 0;
        double value() const { return count ? sum / static_cast<double>(count) : 0; }
    };
    struct AtomHistory {
        Mean all;
        std::unordered_map<std::string, Mean> by_text;
        bool varies = false;
    };
    std::unordered_map<std::string, AtomHistory> atoms_;  // by upper-case atom name
};

struct Estimate {
    double ms = 0;
    std::set<std::string> unknown_atoms;  // atom names without history
    bool failed = false;                  // a method could not be read or expanded
    Estimate& operator+=(const Estimate& other);
};

// "H:MM:SS" of a duration (rounded to the second).
std::string estimate_text(double ms);

// Estimates of methods and lists against one configuration and model. The
// expansion of each method is made once and kept. Resolution messages are
// kept from the screen.
class Estimator {
public:
    Estimator(const Context& context, const DurationModel& model);
    ~Estimator();
    Estimator(const Estimator&) = delete;
    Estimator& operator=(const Estimator&) = delete;

    // One run of the method of the method folder with these SL values;
    // first/last: whether SL ENTRY / SL EXIT run.
    Estimate method(const std::string& name, const SampleVariables& sl, bool first, bool last);
    // The rows from first_row on, each as many times as its Inj/Vial says.
    Estimate list(const SampleTable& table, int first_row = 1);
    // What a running list has left from the start of cycle from_cycle (from 1)
    // of row from_row, the run having started at first_row.
    Estimate remaining(const SampleTable& table, int from_row, int from_cycle, int first_row);

private:
    struct Expanded;
    Expanded* expanded(const std::string& name);

    Context context_;
    const ConfigDb& db_;
    const DurationModel& model_;
    std::map<std::string, std::unique_ptr<Expanded>> cache_;
};

}  // namespace kelvo
